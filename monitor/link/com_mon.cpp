#include "monitor/link/com_mon.h"

#include <algorithm>
#include <string>

#include "common/clock.h"
#include "monitor/link/link_texts.h"
#include "monitor/link/serial_port.h"

TCOMMon::TCOMMon(TPlatform& platform) : TKovrin(platform) {}

TCOMMon::~TCOMMon() {
    // Normally closed by the shut-down; never leave the device held by a dead monitor.
    TCOMMon::Close();
}

bool TCOMMon::Open() {
    if (opened_) return true;
    if (!TKovrin::Open()) return false;

    ISerialPort& port = SerialPort();
    if (!port.Open(portName_)) {
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::PortOpenError, port.LastError()));
        return false;
    }
    opened_ = true;
    WriteDeviceLog(LinkTexts::LogLine(LinkTexts::PortOpened, portName_));

    // A negative time-out from the settings means no wait at all, never an endless one.
    const auto timeOut = static_cast<std::uint32_t>(std::max<std::int32_t>(timeOut_, 0));
    if (port.SetReadIntervalTimeout(timeOut))
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::TimeoutsSet, timeOut_));
    else
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::TimeoutsSetError, port.LastError(), timeOut_));

    SetSpeed(speed_);
    SetDTR(dtr_);
    SetRTS(rts_);

    // Let the UPS settle on the raised lines before the first command.
    platform_.Clock.Sleep(timeOut);
    WriteDeviceLog(LinkTexts::InitFinished);
    return true;
}

void TCOMMon::Close() {
    if (!opened_) return;
    SerialPort().Close();
    opened_ = false;
    WriteDeviceLog(LinkTexts::LogLine(LinkTexts::PortClosed, portName_));
    TKovrin::Close();
}

void TCOMMon::SetPort(const std::string& name) {
    if (opened_) {
        platform_.Desktop.MessageBox(window_, LinkTexts::ChangeWhileOpened,
                                     LinkTexts::InvalidOperation, MBX_OK);
        return;
    }
    portName_ = name;
}

void TCOMMon::SetSpeed(std::uint32_t baud) {
    if (!opened_) return;
    if (std::find(std::begin(AcceptedSpeeds), std::end(AcceptedSpeeds), baud) ==
        std::end(AcceptedSpeeds)) {
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::InvalidPortSpeed, baud));
        platform_.Desktop.MessageBox(window_, LinkTexts::InvalidSpeed, LinkTexts::InvalidOperation,
                                     MBX_OK);
        return;
    }
    ISerialPort& port = SerialPort();
    LineConfig config;
    if (!port.GetLineConfig(config)) return;
    config.BaudRate = baud;
    config.DataBits = 8;
    config.Parity = false;
    config.TwoStopBits = false;
    config.FlowControl = false;
    if (port.SetLineConfig(config)) {
        speed_ = baud;
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::SpeedSet, baud));
    } else {
        WriteDeviceLog(LinkTexts::LogLine(LinkTexts::SpeedSetError, port.LastError(), baud));
    }
}

void TCOMMon::SetDTR(std::uint8_t state) {
    if (!opened_) return;
    const std::uint8_t raised = state != 0 ? 1 : 0;
    if (!SerialPort().SetDTR(raised != 0)) return;
    dtr_ = raised;
    WriteDeviceLog(LinkTexts::LogLine(LinkTexts::DtrSet, raised));
}

void TCOMMon::SetRTS(std::uint8_t state) {
    if (!opened_) return;
    const std::uint8_t raised = state != 0 ? 1 : 0;
    if (!SerialPort().SetRTS(raised != 0)) return;
    rts_ = raised;
    WriteDeviceLog(LinkTexts::LogLine(LinkTexts::RtsSet, raised));
}

void TCOMMon::PresetLines(std::uint8_t dtr, std::uint8_t rts) {
    dtr_ = dtr;
    rts_ = rts;
}
