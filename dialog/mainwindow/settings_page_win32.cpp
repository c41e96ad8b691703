#include "dialog/mainwindow/settings_page_win32.h"

#include "common/commands.h"
#include "common/messages.h"
#include "dialog/mainwindow/autorun.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/mainwindow/main_form_win32.h"
#include "dialog/mainwindow/network_form_win32.h"
#include "dialog/mainwindow/network_settings.h"
#include "dialog/mainwindow/status_view.h"
#include "dialog/module/ini_file.h"

namespace {

constexpr int LabelLeft = 8, SpinLeft = 112, SpinWidth = 64, FieldHeight = 21;
constexpr int RightLabel = 236, VoltageLeft = 338, VoltageWidth = 50, ButtonLeft = 392;
constexpr int RowTop[] = {18, 44, 70, 96, 122}; // the four spin fields and the port

struct TLabelDef {
    const char* Text;
    TRect Rect;
};
const TLabelDef PageLabels[] = {
    {"Интервал опроса:", {LabelLeft, RowTop[0] + 4, 102, 13}},
    {"Быстрый опрос:", {LabelLeft, RowTop[1] + 4, 102, 13}},
    {"Слепок состояния:", {LabelLeft, RowTop[2] + 4, 102, 13}},
    {"Таймаут:", {LabelLeft, RowTop[3] + 4, 102, 13}},
    {"мсек.", {SpinLeft + SpinWidth + 4, RowTop[0] + 4, 30, 13}},
    {"мсек.", {SpinLeft + SpinWidth + 4, RowTop[1] + 4, 30, 13}},
    {"мсек.", {SpinLeft + SpinWidth + 4, RowTop[2] + 4, 30, 13}},
    {"мсек.", {SpinLeft + SpinWidth + 4, RowTop[3] + 4, 30, 13}},
    {"Порт:", {LabelLeft, RowTop[4] + 4, 102, 13}},
    {"Напряжение 0%:", {RightLabel, RowTop[0] + 4, 100, 13}},
    {"Напряжение 100%:", {RightLabel, RowTop[1] + 4, 100, 13}},
    {"В", {ButtonLeft + 54, 82, 16, 13}}, // volts, behind the alternative detection's field
};

const char* const Ports[] = {"COM1", "COM2", "COM3", "COM4"};

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n < sizeof path ? n : 0);
}

} // namespace

bool TSettingsPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 473, 181};
    g.Caption = " Монитор ";
    g.Frame = true;
    if (!group_.Create(g)) return false;
    const HWND parent = group_.Handle();

    for (std::size_t i = 0; i < labels_.size(); ++i) {
        TLabelArgs l;
        l.Parent = parent;
        l.Rect = PageLabels[i].Rect;
        l.Text = PageLabels[i].Text;
        if (!labels_[i].Create(l)) return false;
    }

    auto spin = [&](TSpinEdit& field, int row, const TSpinRange& range, int id) {
        TSpinArgs s;
        s.Parent = parent;
        s.Rect = {SpinLeft, RowTop[row], SpinWidth, FieldHeight};
        s.Id = id;
        s.Min = range.Min;
        s.Max = range.Max;
        s.Step = range.Step;
        s.Value = range.Min;
        return field.Create(s);
    };
    if (!spin(interval_, 0, IntervalRange, ID_SETTINGS_INTERVAL) ||
        !spin(failInterval_, 1, FailIntervalRange, ID_SETTINGS_FAILINTERVAL) ||
        !spin(statInterval_, 2, StatIntervalRange, ID_SETTINGS_STATINTERVAL) ||
        !spin(timeOut_, 3, TimeOutRange, ID_SETTINGS_TIMEOUT))
        return false;

    TComboArgs c;
    c.Parent = parent;
    c.Rect = {SpinLeft, RowTop[4], SpinWidth + 34, FieldHeight};
    c.Id = ID_SETTINGS_PORT;
    c.Editable = true;
    c.DropHeight = 90;
    c.Items.assign(std::begin(Ports), std::end(Ports));
    if (!port_.Create(c)) return false;
    // A device name fits the monitor's line reader with room to spare.
    SendMessageA(port_.Handle(), CB_LIMITTEXT, 100, 0);

    auto box = [&](TButton& button, const TRect& rect, const char* text, int id, bool left) {
        TButtonArgs b;
        b.Parent = parent;
        b.Rect = rect;
        b.Text = text;
        b.Id = id;
        b.Kind = TButtonKind::Check;
        b.LeftText = left;
        return button.Create(b);
    };
    if (!box(dtr_, {LabelLeft, 152, 44, 17}, "DTR", ID_SETTINGS_DTR, true) ||
        !box(rts_, {LabelLeft + 58, 152, 44, 17}, "RTS", ID_SETTINGS_RTS, true))
        return false;

    auto voltage = [&](TEdit& field, int row, int id) {
        TEditArgs e;
        e.Parent = parent;
        e.Rect = {VoltageLeft, RowTop[row], VoltageWidth, FieldHeight};
        e.Id = id;
        e.MaxLength = 12;
        if (!field.Create(e)) return false;
        field.OnCharFilter = [](char ch) {
            if (VoltageCharAllowed(ch)) return true;
            MessageBeep(0);
            return false;
        };
        return true;
    };
    if (!voltage(minVoltage_, 0, ID_SETTINGS_MINVOLTAGE) ||
        !voltage(maxVoltage_, 1, ID_SETTINGS_MAXVOLTAGE))
        return false;

    TButtonArgs cal;
    cal.Parent = parent;
    cal.Rect = {ButtonLeft, RowTop[0], 75, 45};
    cal.Text = CalibrateCaption;
    cal.Id = ID_SETTINGS_CALIBRATE;
    if (!calibrate_.Create(cal)) return false;
    calibrate_.OnClick = [this] { CalibrateClick(); };

    if (!box(altDetection_, {RightLabel, 80, 150, 17}, "Альт. опретеление пов.",
             ID_SETTINGS_ALTDETECTION, false))
        return false;
    altDetection_.OnClick = [this] { AltDetectionClick(); };
    TSpinArgs alt;
    alt.Parent = parent;
    alt.Rect = {ButtonLeft, 78, 50, FieldHeight};
    alt.Id = ID_SETTINGS_ALTDIFF;
    alt.Min = AltTransDiffRange.Min;
    alt.Max = AltTransDiffRange.Max;
    alt.Step = AltTransDiffRange.Step;
    alt.Value = AltTransDiffInitial;
    alt.Enabled = false;
    if (!altDiff_.Create(alt)) return false;

    TButtonArgs a;
    a.Parent = parent;
    a.Rect = {ButtonLeft, 148, 75, 25};
    a.Text = "Применить";
    a.Id = ID_SETTINGS_APPLY;
    a.Kind = TButtonKind::Default;
    if (!apply_.Create(a)) return false;
    apply_.OnClick = [this] { Apply(); };

    TContainerArgs e;
    e.Parent = Parent();
    e.Rect = {0, 184, 473, 37};
    e.Caption = " Дополнительно ";
    e.Frame = true;
    if (!extra_.Create(e)) return false;
    TButtonArgs ar;
    ar.Parent = extra_.Handle();
    ar.Rect = {LabelLeft, 14, 200, 17};
    ar.Text = "Автозапуск монитора";
    ar.Id = ID_SETTINGS_AUTORUN;
    ar.Kind = TButtonKind::Check;
    if (!autorun_.Create(ar)) return false;
    autorun_.OnClick = [this] { AutorunClick(); };
    TButtonArgs net;
    net.Parent = extra_.Handle();
    net.Rect = {ButtonLeft - 45, 10, 120, 21};
    net.Text = "Сетевой сервер...";
    net.Id = ID_SETTINGS_NETWORK;
    if (!networkButton_.Create(net)) return false;
    networkButton_.OnClick = [this] { NetworkClick(); };
    return true;
}

// ---- Reading, placing, writing

void TSettingsPage::Load() {
    settings_ = ReadMonitorSettings(main_.Settings());
    network_ = ReadNetworkSettings(main_.Settings());
    PlaceMainWindow();
    Fill();
}

void TSettingsPage::Fill() {
    interval_.SetValue(settings_.Interval);
    failInterval_.SetValue(settings_.FailInterval);
    statInterval_.SetValue(settings_.StatInterval);
    timeOut_.SetValue(settings_.TimeOut);
    port_.SetText(settings_.Port);
    dtr_.SetChecked(settings_.Dtr);
    rts_.SetChecked(settings_.Rts);
    minVoltage_.SetText(ShownVoltage(settings_.MinBattVoltage));
    maxVoltage_.SetText(ShownVoltage(settings_.MaxBattVoltage));
    const bool alt = settings_.AltTransDiff != 0;
    altDetection_.SetChecked(alt);
    altDiff_.SetValue(alt ? settings_.AltTransDiff : AltTransDiffInitial);
    altDiff_.EnableSpin(alt);
}

void TSettingsPage::PlaceMainWindow() {
    RECT r{};
    GetWindowRect(main_.Handle(), &r);
    const TScreenArea screen{
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // A place remembered on a screen that is no longer there would leave the window out
    // of reach.
    const TPoint2 at = ReachablePosition(settings_.FormLeft, settings_.FormTop, r.right - r.left,
                                         r.bottom - r.top, screen);
    SetWindowPos(main_.Handle(), nullptr, at.X, at.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSettingsPage::RememberPosition() {
    RECT r{};
    if (!main_.Handle() || !GetWindowRect(main_.Handle(), &r)) return;
    settings_.FormLeft = r.left;
    settings_.FormTop = r.top;
}

void TSettingsPage::Save() {
    RememberPosition();
    WriteMonitorSettings(main_.Settings(), settings_, altDetection_.Checked(),
                         TWriteScope::Destruction);
    // Nobody is left to tell of a failure here: the window is going. SaveForClose told
    // the user when it was the user who closed it; the file stays as it was either way.
    main_.Settings().Save();
}

void TSettingsPage::SaveForClose() {
    RememberPosition();
    WriteMonitorSettings(main_.Settings(), settings_, altDetection_.Checked(),
                         TWriteScope::Destruction);
    while (!main_.Settings().Save()) {
        const std::string text = "Не удалось записать файл настроек\r\"" + main_.Settings().Path() +
                                 "\".\rПоложение окна и настройки в нем не сохранятся; "
                                 "прежнее содержимое файла не тронуто.";
        if (Ask(text, "Ошибка", MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) return;
    }
}

bool TSettingsPage::SaveNow(bool quietAfterFirst) {
    if (main_.Settings().Save()) {
        writeFailureTold_ = false;
        return true;
    }
    if (!quietAfterFirst || !writeFailureTold_) ReportWriteFailure();
    writeFailureTold_ = true;
    return false;
}

void TSettingsPage::ReportWriteFailure() {
    Ask("Не удалось записать файл настроек\r\"" + main_.Settings().Path() +
            "\".\rПрежнее содержимое файла не тронуто; изменения будут записаны при "
            "следующей попытке.",
        "Ошибка", MB_OK | MB_ICONERROR);
}

int TSettingsPage::Ask(std::string_view text, std::string_view caption, unsigned type) {
    // The monitor may be waiting in a send (a status record, a close request): it goes on
    // while the box waits for the user.
    if (InSendMessage()) ReplyMessage(0);
    return main_.ShowMessageBox(text, caption, type);
}

// ---- The page's controls

void TSettingsPage::Apply() {
    // A typed value is shown as it is taken: brought into its field's range.
    for (TSpinEdit* field : {&interval_, &failInterval_, &statInterval_, &timeOut_, &altDiff_})
        field->SetValue(field->Value());
    const TSettingsInput input{interval_.Value(),     failInterval_.Value(), timeOut_.Value(),
                               statInterval_.Value(), port_.Text(),          dtr_.Checked(),
                               rts_.Checked(),        minVoltage_.Text(),    maxVoltage_.Text(),
                               altDiff_.Value()};
    const TTakeResult taken = TakeIntoMemory(settings_, input);
    if (!taken.Ok) {
        Ask(NotANumberMessage(taken.BadText), "Ошибка", MB_OK | MB_ICONERROR);
        TEdit& field = taken.BadIsMax ? maxVoltage_ : minVoltage_;
        field.Focus();
        field.SelectAll();
        return;
    }
    WriteMonitorSettings(main_.Settings(), settings_, altDetection_.Checked(), TWriteScope::Apply);
    WriteNetworkSettings(main_.Settings(), network_);
    // The monitor would only read the old file again.
    if (!SaveNow(false)) return;
    main_.PostToMonitor(UM_APPLYSETTINGS, APPLY_ALL, 0);
}

// The values stay in memory until "Применить" writes them with the page's others.
void TSettingsPage::NetworkClick() {
    TNetworkForm form;
    if (!form.Create(main_.Handle(), network_)) return;
    if (main_.RunModalOver(form) == MR_OK) network_ = form.Settings();
}

void TSettingsPage::AltDetectionClick() {
    altDiff_.EnableSpin(altDetection_.Checked());
}

void TSettingsPage::CalibrateClick() {
    if (calibration_.Running()) {
        StopCalibration();
        main_.SetCaption(MainCaption);
        Ask(CalibrationInterrupted, "Внимание!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!TCalibration::UsableReading(main_.LastStatus().BatteryVoltage)) {
        Ask(NoBatteryReading, "Внимание!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (Ask(CalibrationQuestion, "Внимание!", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    // The reading of now: status records went on arriving while the question was open.
    if (!calibration_.Start(main_.LastStatus().BatteryVoltage))
        Ask(NoBatteryReading, "Внимание!", MB_OK | MB_ICONINFORMATION);
}

void TSettingsPage::StopCalibration() {
    calibration_.Stop(main_.LastStatus().BatteryVoltage);
}

void TSettingsPage::LoadAutorun() {
    IAutorunList& list = SystemAutorun();
    if (!list.Has(AutorunName)) return;
    autorun_.SetChecked(true);
    // As a click: the entry is written again with the path the program runs from now.
    AutorunClick();
}

void TSettingsPage::AutorunClick() {
    IAutorunList& list = SystemAutorun();
    const bool wanted = autorun_.Checked();
    if (ApplyAutorun(list, wanted, ProgramPath())) return;
    autorun_.SetChecked(list.Has(AutorunName));
    Ask(wanted ? "Не удалось добавить монитор в список автозапуска Windows."
               : "Не удалось убрать монитор из списка автозапуска Windows.",
        "Ошибка", MB_OK | MB_ICONERROR);
}

// ---- The monitor's news

void TSettingsPage::OnLinkState(bool up) {
    calibrate_.Enable(up);
}

void TSettingsPage::OnStatus(const TUpsStatus& status) {
    calibration_.OnBatteryVoltage(status.BatteryVoltage);
}

void TSettingsPage::SetBatteryLimits(float min, float max) {
    settings_.MinBattVoltage = min;
    settings_.MaxBattVoltage = max;
    minVoltage_.SetText(ShownVoltage(min));
    maxVoltage_.SetText(ShownVoltage(max));
}

// ---- What the calibration does

void TSettingsPage::PostSuspend(bool suspend) {
    main_.PostToMonitor(UM_SUSPEND, suspend ? 1 : 0, 0);
}

void TSettingsPage::PostCommand(std::uint8_t command, std::string_view argument) {
    LPARAM text = 0;
    if (!argument.empty()) {
        main_.SetCommandText(argument);
        text = main_.CommandTextAddress();
    }
    main_.PostToMonitor(UM_RUNCOMMAND, command, text);
    // Every command is followed by a refresh, so that the status shows its effect at once.
    main_.PostToMonitor(UM_REFRESH, 0, 0);
}

void TSettingsPage::PostApplySettings() {
    main_.PostToMonitor(UM_APPLYSETTINGS, APPLY_ALL, 0);
}

void TSettingsPage::StoreMaxVoltage() {
    main_.Settings().WriteString(SettingsSection, "MaxBattVoltage",
                                 StoredVoltage(settings_.MaxBattVoltage));
    SaveNow(true);
    maxVoltage_.SetText(ShownVoltage(settings_.MaxBattVoltage));
}

void TSettingsPage::StoreMinVoltage() {
    main_.Settings().WriteString(SettingsSection, "MinBattVoltage",
                                 StoredVoltage(settings_.MinBattVoltage));
    SaveNow(true);
    minVoltage_.SetText(ShownVoltage(settings_.MinBattVoltage));
}

void TSettingsPage::SetButtonCaption(std::string_view caption) {
    calibrate_.SetText(caption);
}

void TSettingsPage::SetWindowCaption(std::string_view caption) {
    main_.SetCaption(caption);
}
