#pragma once
#include <cstdint>

#include "monitor/link/com_mon.h"

// Speaks the Megatec protocol over the open port: one command per call, the answer
// awaited in idle steps up to the time-out, validated and parsed into the records.
class TMegaTecMon : public TCOMMon {
public:
    static constexpr std::size_t AnswerBufferSize = 1024;

    explicit TMegaTecMon(TPlatform& platform);
    ~TMegaTecMon() override;

    bool PerformCommand(std::uint8_t number, const char* argument, void* output,
                        std::size_t outputSize) override;
    bool Open() override;

    void SetAltTransDiff(std::uint8_t volts) { altTransDiff_ = volts; }
    std::uint8_t AltTransDiff() const { return altTransDiff_; }

private:
    void DrainStaleInput();

    std::uint8_t altTransDiff_ = 0;
};
