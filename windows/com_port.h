#pragma once

// A serial port on the Windows API alone, opened read-only by device name, that tells its owner
// when bytes are waiting without a timer or a thread of its own.

#include <windows.h>

#include "owned.h"
#include "serial_link.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace cronalba::windows {

// Sets every field of dcb that matters, whatever a driver reported in it: baudRate, 8 data bits,
// no parity, 1 stop bit, no flow control, DTR and RTS on, no error or end-of-file characters.
void describeLine(DCB &dcb, DWORD baudRate);

// Keeps one overlapped read of a single byte waiting; its event is signalled when that byte
// arrives or the line goes away, and the owner's message loop then calls onNotified(), which
// calls the callback on the owner's thread. How to wait, and why so: docs/WINDOWS.md.
class ComPort {
public:
    ComPort();
    ~ComPort();
    ComPort(const ComPort &) = delete;
    ComPort &operator=(const ComPort &) = delete;

    // Called from onNotified() when bytes are waiting, and once when the line is lost (the port
    // is closed by then). The callback may read, close or reopen the port, not destroy it.
    void setCallback(std::function<void()> callback) { notify = std::move(callback); }

    // Opens the device name ("COM12") as \\.\name, closing the port first if it is open.
    bool open(const std::wstring &name, const PortSettings &settings);
    void close();
    bool isOpen() const { return device != nullptr; }
    bool applySettings(const PortSettings &settings);

    // Every byte received and not yet read, in order; empty when none waits. Never blocks.
    std::string readAvailable();

    // The same handle for the port's whole life, signalled only when onNotified() has work.
    HANDLE notificationEvent() const { return event.get(); }
    void onNotified();

private:
    bool startRead();
    // Ends the waiting read, keeping its byte; false when that shows the line has gone. Without
    // cancelled, a read that hasn't ended yet stays waiting.
    bool finishRead(bool cancelled);
    // Closes the port, keeping what was received, and signals the event to report the loss.
    void loseLine();

    OwnedHandle device;     // the port, open or null
    OwnedHandle event;      // the waiting read's, given to the owner
    OwnedHandle drainEvent; // reads of what is already queued
    OVERLAPPED waiting{};
    char waitingByte = 0;
    bool reading = false; // the single-byte read is in flight
    bool lostUnreported = false;
    std::string received; // collected, not yet handed out
    std::function<void()> notify;
};

} // namespace cronalba::windows
