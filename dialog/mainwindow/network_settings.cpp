#include "dialog/mainwindow/network_settings.h"

#include "dialog/mainwindow/settings_model.h"
#include "dialog/module/ini_file.h"

namespace {

constexpr char CredentialRule[] =
    "латинские буквы, цифры и знаки, кроме пробела, кавычек, \\, ; и =.";

} // namespace

TNetServerSettings ReadNetworkSettings(const TIniFile& ini) {
    return NetServerSettingsFrom(
        [&ini](std::string_view key) { return ini.ReadString(SettingsSection, key, ""); });
}

void WriteNetworkSettings(TIniFile& ini, const TNetServerSettings& s) {
    const std::string_view section = SettingsSection;
    ini.WriteInteger(section, NutServerKey, s.Enabled ? 1 : 0);
    ini.WriteString(section, NutListenKey, s.Listen);
    ini.WriteInteger(section, NutTcpPortKey, s.Port);
    ini.WriteString(section, NutUpsNameKey, s.UpsName);
    ini.WriteString(section, NutUserKey, s.User);
    ini.WriteString(section, NutPasswordKey, s.Password);
}

TNetworkCheck CheckNetworkSettings(const TNetServerSettings& s) {
    if (!s.Enabled) return {TNetworkField::None, {}};
    const TListenList list = ParseListenList(s.Listen);
    if (!list.Bad.empty() && ParseIpv4(list.Bad.front()))
        return {TNetworkField::Listen, "Не больше восьми адресов."};
    if (!list.Bad.empty())
        return {TNetworkField::Listen,
                "\"" + list.Bad.front() +
                    "\" не является адресом IPv4 этого компьютера.\rАдреса пишутся через "
                    "запятую, например 127.0.0.1, 192.168.1.10; 0.0.0.0 - все адреса."};
    if (list.Addresses.empty())
        return {TNetworkField::Listen,
                "Укажите адрес, на котором сервер ждет клиентов, например 127.0.0.1."};
    if (!IsValidUpsName(s.UpsName))
        return {TNetworkField::UpsName,
                "Имя ИБП: от 1 до 32 латинских букв, цифр и знаков - _ . без пробелов."};
    if (!IsValidUserName(s.User))
        return {TNetworkField::User,
                std::string("Имя пользователя: от 1 до 32 символов; ") + CredentialRule};
    if (!IsValidPassword(s.Password))
        return {TNetworkField::Password, std::string("Пароль: до 32 символов; ") + CredentialRule};
    return {TNetworkField::None, {}};
}

bool ListensBeyondThisComputer(const TNetServerSettings& s) {
    for (const std::uint32_t address : ParseListenList(s.Listen).Addresses)
        if (address >> 24 != 127) return true;
    return false;
}
