#include "monitor/link/megatec_mon.h"

TMegaTecMon::TMegaTecMon(TPlatform& platform) : TCOMMon(platform) {}
TMegaTecMon::~TMegaTecMon() = default;
bool TMegaTecMon::PerformCommand(std::uint8_t, const char*, void*, std::size_t) { return false; }
bool TMegaTecMon::Open() { return TCOMMon::Open(); }
void TMegaTecMon::DrainStaleInput() {}
