#pragma once
#include <windows.h>

#include <array>

#include "common/net_settings.h"
#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

// "Сетевой сервер ИБП": the six settings of the network UPS server, edited modally over
// the main window. OK keeps them for the settings page, which writes them with its other
// settings on "Применить"; nothing is written here.
class TNetworkForm : public TForm {
public:
    bool Create(HWND owner, const TNetServerSettings& settings);
    const TNetServerSettings& Settings() const { return settings_; }

private:
    TNetServerSettings ReadFields() const;
    void EnabledClick();
    void ShowFirewallHint();
    void OkClick();

    TNetServerSettings settings_;
    TButton enabled_;
    TContainer group_;
    std::array<TLabel, 7> labels_;
    TEdit listen_, upsName_, user_, password_;
    TSpinEdit port_;
    TLabel firewall_;
    TButton ok_, cancel_;
};
