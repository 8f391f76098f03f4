#include "com_port.h"

#include <utility>

namespace cronalba::windows {

namespace {

// The waiting read returns once its byte has come, however long that takes...
COMMTIMEOUTS kWaitForByte{};
// ...and readAvailable() takes what is queued and returns at once.
COMMTIMEOUTS kTakeQueued{MAXDWORD, 0, 0, 0, 0};

} // namespace

void describeLine(DCB &dcb, DWORD baudRate) {
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = baudRate;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = PortSettings::kDataBits;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    // DTR and RTS stay on as an open on Linux leaves them, but steer nothing: some USB receivers
    // send only while the host holds DTR.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // No software flow control; its characters and limits are set all the same, because some
    // drivers report XonChar and XoffChar both 0, and SetCommState refuses them equal.
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.fErrorChar = FALSE;
    dcb.ErrorChar = 0;
    dcb.fNull = FALSE;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
    // Otherwise one framing error stops every later read until ClearCommError.
    dcb.fAbortOnError = FALSE;
}

ComPort::ComPort()
    : event(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    , drainEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ComPort::~ComPort() {
    close();
}

bool ComPort::open(const std::wstring &name, const PortSettings &settings) {
    close();
    if (event == nullptr || drainEvent == nullptr) {
        return false;
    }
    // The \\.\ form, because the bare names stop at COM9.
    const std::wstring path = L"\\\\.\\" + name;
    device.reset(nullIfInvalid(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_OVERLAPPED, nullptr)));
    if (!isOpen()) {
        return false;
    }
    if (!SetCommTimeouts(device.get(), &kWaitForByte) || !applySettings(settings) || !startRead()) {
        close();
        return false;
    }
    return true;
}

void ComPort::close() {
    if (isOpen()) {
        if (reading) {
            CancelIoEx(device.get(), &waiting);
            DWORD count = 0;
            GetOverlappedResult(device.get(), &waiting, &count, TRUE);
            reading = false;
        }
        device.reset();
    }
    received.clear();
    lostUnreported = false;
    ResetEvent(event.get());
}

bool ComPort::applySettings(const PortSettings &settings) {
    if (!isOpen()) {
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (settings.baudRate <= 0 || !GetCommState(device.get(), &dcb)) {
        return false;
    }
    describeLine(dcb, static_cast<DWORD>(settings.baudRate));
    return SetCommState(device.get(), &dcb) != FALSE;
}

std::string ComPort::readAvailable() {
    if (!isOpen()) {
        return std::exchange(received, {});
    }
    if (reading) {
        // Takes the waiting read back, so that its byte comes before those queued after it.
        CancelIoEx(device.get(), &waiting);
        if (!finishRead(true)) {
            loseLine();
            return std::exchange(received, {});
        }
    }
    COMSTAT status{};
    DWORD errors = 0;
    bool alive = ClearCommError(device.get(), &errors, &status) != FALSE;
    if (alive && status.cbInQue > 0) {
        const std::size_t start = received.size();
        received.resize(start + status.cbInQue);
        OVERLAPPED drain{};
        drain.hEvent = drainEvent.get();
        DWORD count = 0;
        alive = SetCommTimeouts(device.get(), &kTakeQueued) &&
                (ReadFile(device.get(), received.data() + start, status.cbInQue, nullptr, &drain) ||
                 GetLastError() == ERROR_IO_PENDING) &&
                GetOverlappedResult(device.get(), &drain, &count, TRUE) &&
                SetCommTimeouts(device.get(), &kWaitForByte);
        received.resize(start + (alive ? count : 0));
    }
    if (!alive || !startRead()) {
        loseLine();
    }
    return std::exchange(received, {});
}

void ComPort::onNotified() {
    if (reading && !finishRead(false)) {
        loseLine();
    }
    if (reading) {
        return; // the read hasn't ended: nothing to tell
    }
    if (lostUnreported) {
        lostUnreported = false;
        ResetEvent(event.get());
        if (notify) {
            notify();
        }
        return;
    }
    if (!isOpen()) {
        ResetEvent(event.get());
        return;
    }
    if (!received.empty() && notify) {
        notify();
    }
    // The callback usually has read, which starts the next wait; if not, the byte stays kept.
    if (isOpen() && !reading && !startRead()) {
        loseLine();
    }
}

bool ComPort::startRead() {
    waiting = OVERLAPPED{};
    waiting.hEvent = event.get();
    if (!ReadFile(device.get(), &waitingByte, 1, nullptr, &waiting) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    reading = true;
    return true;
}

bool ComPort::finishRead(bool cancelled) {
    DWORD count = 0;
    const bool done = GetOverlappedResult(device.get(), &waiting, &count, cancelled) != FALSE;
    const DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!done && error == ERROR_IO_INCOMPLETE) {
        return true; // still waiting
    }
    reading = false;
    if (done && count == 1) {
        received.push_back(waitingByte);
        return true;
    }
    // Uncancelled, a read without time limits ends short only when the device has gone: wine
    // fails it, and some USB drivers complete it with nothing.
    return cancelled && (done || error == ERROR_OPERATION_ABORTED);
}

void ComPort::loseLine() {
    const std::string kept = std::exchange(received, {});
    close();
    received = kept;
    // Reported once, from onNotified(), even when found inside readAvailable().
    lostUnreported = true;
    SetEvent(event.get());
}

} // namespace cronalba::windows
