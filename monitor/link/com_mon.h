#pragma once
#include <cstdint>
#include <string>

#include "monitor/runtime/kovrin.h"

// Adds the serial port to the monitor: opens and closes it as the monitor's Open and
// Close, sets speed, framing, time-outs and the DTR/RTS lines, and traces every step in
// the device log. The protocol driver uses the open port directly.
class TCOMMon : public TKovrin {
public:
    static constexpr std::uint32_t AcceptedSpeeds[] = {110,   300,   600,   1200,   2400,
                                                       4800,  9600,  14400, 19200,  38400,
                                                       56000, 57600, 115200, 128000, 256000};

    explicit TCOMMon(TPlatform& platform);
    ~TCOMMon() override;

    bool Open() override;
    void Close() override;

    void SetPort(const std::string& name);
    void SetSpeed(std::uint32_t baud);
    void SetDTR(std::uint8_t state);
    void SetRTS(std::uint8_t state);
    void SetTimeOut(std::int32_t ms) { timeOut_ = ms; }
    // The line states the next opening applies (the setters above act only on an open port).
    void PresetLines(std::uint8_t dtr, std::uint8_t rts);

    const std::string& Port() const { return portName_; }
    std::uint32_t Speed() const { return speed_; }
    std::uint8_t DTR() const { return dtr_; }
    std::uint8_t RTS() const { return rts_; }

protected:
    std::string PortName() const override { return portName_; }
    ISerialPort& SerialPort() { return platform_.Port; }

    std::string portName_ = "COM2";
    std::uint32_t speed_ = 2400;
    std::uint8_t dtr_ = 1;
    std::uint8_t rts_ = 1;
};
