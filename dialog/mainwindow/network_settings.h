#pragma once
#include <string>

#include "common/net_settings.h"

class TIniFile;

// The network UPS server's settings as the settings page holds them: read with the page's
// other settings, changed in their own window, written by "Применить" with the others.
// Read with the monitor's rules, so the window shows what the monitor would use.
TNetServerSettings ReadNetworkSettings(const TIniFile& ini);
// The six keys into section "Main"; nothing reaches the disk before the file's Save.
void WriteNetworkSettings(TIniFile& ini, const TNetServerSettings& settings);

// What the window refuses on OK: the first field that is wrong, in the window's order, and
// what to tell the user. A clear "serve" box lets any values through: they mean nothing
// then, and the user may be halfway through them.
enum class TNetworkField { None, Listen, UpsName, User, Password };
struct TNetworkCheck {
    TNetworkField Field;
    std::string Message;
};
TNetworkCheck CheckNetworkSettings(const TNetServerSettings& settings);

// Whether other computers may reach the server: the firewall must then let the port in.
bool ListensBeyondThisComputer(const TNetServerSettings& settings);
