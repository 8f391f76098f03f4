#pragma once

#include "com_port.h"
#include "serial_link.h"

#include <string>

namespace cronalba::windows {

// comNMEA over a COM port: port n is the device SerialPortNumbering names (COMn). The program's
// message loop waits on notificationEvent() and calls onNotified(), which raises OnComm on the
// window's thread.
class WindowsCommControl final : public CommControl {
public:
    WindowsCommControl();

    bool setSettings(const PortSettings &settings) override;
    bool setCommPort(std::int16_t number) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    Text input() override;
    std::vector<NumberedPort> ports() const override;

    HANDLE notificationEvent() const { return port.notificationEvent(); }
    void onNotified() { port.onNotified(); }

private:
    ComPort port;
    PortSettings lineSettings;
    std::wstring device; // the port chosen, by the name it opens under; empty until then
};

} // namespace cronalba::windows
