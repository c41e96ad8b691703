#include <windows.h>

#include <cstdint>
#include <string>

#include "monitor/link/serial_port.h"
#include "monitor/runtime/win32_platform.h"

namespace {

// Handshakes only: a line the driver merely raises at opening (ENABLE) is no flow
// control, and Wine reports ENABLE on a pseudo-terminal whatever was set.
bool DriverControlsLines(const DCB& dcb) {
    return dcb.fOutxCtsFlow || dcb.fOutxDsrFlow || dcb.fOutX || dcb.fInX || dcb.fDsrSensitivity ||
           dcb.fDtrControl == DTR_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE ||
           dcb.fRtsControl == RTS_CONTROL_TOGGLE;
}

// Every option off: the lines stay where the program puts them, no character is
// replaced or dropped, and an error does not stop the traffic.
void ClearOptions(DCB& dcb) {
    dcb.fBinary = TRUE; // the only mode Windows supports
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
}

class Win32SerialPort final : public ISerialPort {
public:
    ~Win32SerialPort() override { Close(); }

    bool Open(const std::string& name) override {
        Close();
        const HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return Failed();
        handle_ = h;
        return true;
    }

    void Close() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool SetReadIntervalTimeout(std::uint32_t ms) override {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = ms;
        return SetCommTimeouts(handle_, &timeouts) || Failed();
    }

    bool GetLineConfig(LineConfig& config) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return Failed();
        config.BaudRate = dcb.BaudRate;
        config.DataBits = dcb.ByteSize;
        config.Parity = dcb.Parity != NOPARITY;
        config.TwoStopBits = dcb.StopBits == TWOSTOPBITS;
        config.FlowControl = DriverControlsLines(dcb);
        return true;
    }

    // Asking for flow control keeps the port's own flow settings; the monitor always
    // asks for none.
    bool SetLineConfig(const LineConfig& config) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return Failed();
        dcb.BaudRate = config.BaudRate;
        dcb.ByteSize = config.DataBits;
        dcb.Parity = config.Parity ? EVENPARITY : NOPARITY;
        dcb.StopBits = config.TwoStopBits ? TWOSTOPBITS : ONESTOPBIT;
        if (!config.FlowControl) ClearOptions(dcb);
        return SetCommState(handle_, &dcb) || Failed();
    }

    bool SetDTR(bool raised) override {
        return EscapeCommFunction(handle_, raised ? SETDTR : CLRDTR) || Failed();
    }
    bool SetRTS(bool raised) override {
        return EscapeCommFunction(handle_, raised ? SETRTS : CLRRTS) || Failed();
    }

    bool QueryStatus(std::uint32_t& errors, std::uint32_t& waiting) override {
        DWORD flags = 0;
        COMSTAT stat{};
        if (!ClearCommError(handle_, &flags, &stat)) return Failed();
        errors = flags;
        waiting = stat.cbInQue;
        return true;
    }

    bool Read(void* buffer, std::uint32_t size, std::uint32_t& got) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(handle_, buffer, size, &n, nullptr);
        got = n;
        return ok || Failed();
    }

    bool Write(const void* data, std::uint32_t size, std::uint32_t& written) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(handle_, data, size, &n, nullptr);
        written = n;
        return ok || Failed();
    }

    // Kept from the failing call: the device log writes files between the failure and
    // the question, and those calls reset the thread's last error.
    std::uint32_t LastError() override { return lastError_; }

private:
    bool Failed() {
        lastError_ = GetLastError();
        return false;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::uint32_t lastError_ = 0;
};

} // namespace

std::unique_ptr<ISerialPort> MakeWin32SerialPort() {
    return std::make_unique<Win32SerialPort>();
}
