#pragma once

#include "com_port.h"
#include "services.h"

namespace cronalba::windows {

// comNMEA over a COM port: port n is COMn. The program's message loop waits on
// notificationEvent() and calls onNotified(), which raises OnComm on the window's thread.
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
    int portNumber = 0;
};

} // namespace cronalba::windows
