#include "monitor/runtime/kovrin.h"

bool TKovrin::ExecuteCommand(std::uint8_t number, const char* argument, void* output,
                             std::size_t outputSize) {
    return PerformCommand(number, argument, output, outputSize);
}
bool TKovrin::Identify(TUpsRating&, TUpsInfo&) { return false; }
void TKovrin::BeginDeviceLog() {}
void TKovrin::EndDeviceLog() {}
void TKovrin::WriteDeviceLog(std::string_view) {}
void TKovrin::SetDevLog(const std::string& value) { devLogPath_ = value; }
