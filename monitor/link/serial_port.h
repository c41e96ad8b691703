#pragma once
#include <cstdint>
#include <string>

// Line settings of a serial port, as far as the monitor uses them.
struct LineConfig {
    std::uint32_t BaudRate = 0;
    std::uint8_t DataBits = 8;
    bool Parity = false;       // false: no parity
    bool TwoStopBits = false;  // false: one stop bit
    bool FlowControl = false;  // any hardware or software flow control or driver-driven lines
};

// The serial port behind the platform boundary. One instance per monitor; every call
// reports the platform's success, and LastError() the platform's error number after a
// failure.
class ISerialPort {
public:
    virtual ~ISerialPort() = default;
    // Opens an existing device by name for reading and writing, without sharing.
    virtual bool Open(const std::string& name) = 0;
    virtual void Close() = 0;
    // Read-interval time-out in ms; all total time-outs 0.
    virtual bool SetReadIntervalTimeout(std::uint32_t ms) = 0;
    virtual bool GetLineConfig(LineConfig& config) = 0;
    virtual bool SetLineConfig(const LineConfig& config) = 0;
    virtual bool SetDTR(bool raised) = 0;
    virtual bool SetRTS(bool raised) = 0;
    // Clears and reports the port's error flags and the number of bytes waiting.
    virtual bool QueryStatus(std::uint32_t& errors, std::uint32_t& waiting) = 0;
    virtual bool Read(void* buffer, std::uint32_t size, std::uint32_t& got) = 0;
    virtual bool Write(const void* data, std::uint32_t size, std::uint32_t& written) = 0;
    virtual std::uint32_t LastError() = 0;
};
