#include "monitor/link/com_mon.h"

TCOMMon::TCOMMon(TPlatform& platform) : TKovrin(platform) {}
TCOMMon::~TCOMMon() = default;
bool TCOMMon::Open() { return false; }
void TCOMMon::Close() {}
void TCOMMon::SetPort(const std::string& name) { portName_ = name; }
void TCOMMon::SetSpeed(std::uint32_t) {}
void TCOMMon::SetDTR(std::uint8_t) {}
void TCOMMon::SetRTS(std::uint8_t) {}
void TCOMMon::PresetLines(std::uint8_t dtr, std::uint8_t rts) {
    dtr_ = dtr;
    rts_ = rts;
}
