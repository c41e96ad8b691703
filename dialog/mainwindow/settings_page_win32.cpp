#include "dialog/mainwindow/settings_page_win32.h"

#include "common/commands.h"
#include "common/messages.h"
#include "dialog/mainwindow/autorun.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/mainwindow/monitor_link.h"
#include "dialog/mainwindow/network_form_win32.h"
#include "dialog/mainwindow/network_settings.h"
#include "dialog/mainwindow/status_view.h"
#include "dialog/module/ini_file.h"
#include "dialog/module/window_host_win32.h"

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

} // namespace

bool TSettingsPage::CreateControls() {
    if (!group_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 181}, .Text = " Монитор "},
                       {.Frame = true}))
        return false;
    const HWND parent = group_.Handle();

    for (std::size_t i = 0; i < labels_.size(); ++i) {
        if (!labels_[i].Create(
                {.Parent = parent, .Rect = PageLabels[i].Rect, .Text = PageLabels[i].Text}))
            return false;
    }

    auto spin = [&](TSpinEdit& field, int row, const TSpinRange& range, int id) {
        return field.Create(
            {.Parent = parent, .Rect = {SpinLeft, RowTop[row], SpinWidth, FieldHeight}, .Id = id},
            {.Min = range.Min, .Max = range.Max, .Step = range.Step, .Value = range.Min});
    };
    if (!spin(interval_, 0, IntervalRange, ID_SETTINGS_INTERVAL) ||
        !spin(failInterval_, 1, FailIntervalRange, ID_SETTINGS_FAILINTERVAL) ||
        !spin(statInterval_, 2, StatIntervalRange, ID_SETTINGS_STATINTERVAL) ||
        !spin(timeOut_, 3, TimeOutRange, ID_SETTINGS_TIMEOUT))
        return false;

    if (!port_.Create(
            {.Parent = parent,
             .Rect = {SpinLeft, RowTop[4], SpinWidth + 34, FieldHeight},
             .Id = ID_SETTINGS_PORT},
            {.Editable = true, .DropHeight = 90, .Items = {std::begin(Ports), std::end(Ports)}}))
        return false;
    // A device name fits the monitor's line reader with room to spare.
    SendMessageA(port_.Handle(), CB_LIMITTEXT, 100, 0);

    auto box = [&](TButton& button, const TRect& rect, const char* text, int id, bool left) {
        return button.Create({.Parent = parent, .Rect = rect, .Id = id, .Text = text},
                             {.Kind = TButtonKind::Check, .LeftText = left});
    };
    if (!box(dtr_, {LabelLeft, 152, 44, 17}, "DTR", ID_SETTINGS_DTR, true) ||
        !box(rts_, {LabelLeft + 58, 152, 44, 17}, "RTS", ID_SETTINGS_RTS, true))
        return false;

    auto voltage = [&](TEdit& field, int row, int id) {
        if (!field.Create({.Parent = parent,
                           .Rect = {VoltageLeft, RowTop[row], VoltageWidth, FieldHeight},
                           .Id = id},
                          {.MaxLength = 12}))
            return false;
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

    if (!calibrate_.Create({.Parent = parent,
                            .Rect = {ButtonLeft, RowTop[0], 75, 45},
                            .Id = ID_SETTINGS_CALIBRATE,
                            .Text = CalibrateCaption}))
        return false;
    calibrate_.OnClick = [this] { CalibrateClick(); };

    if (!box(altDetection_, {RightLabel, 80, 150, 17}, "Альт. опретеление пов.",
             ID_SETTINGS_ALTDETECTION, false))
        return false;
    altDetection_.OnClick = [this] { AltDetectionClick(); };
    if (!altDiff_.Create({.Parent = parent,
                          .Rect = {ButtonLeft, 78, 50, FieldHeight},
                          .Id = ID_SETTINGS_ALTDIFF,
                          .Enabled = false},
                         {.Min = AltTransDiffRange.Min,
                          .Max = AltTransDiffRange.Max,
                          .Step = AltTransDiffRange.Step,
                          .Value = AltTransDiffInitial}))
        return false;

    if (!apply_.Create({.Parent = parent,
                        .Rect = {ButtonLeft, 148, 75, 25},
                        .Id = ID_SETTINGS_APPLY,
                        .Text = "Применить"},
                       {.Kind = TButtonKind::Default}))
        return false;
    apply_.OnClick = [this] { Apply(); };

    if (!extra_.Create({.Parent = Parent(), .Rect = {0, 184, 473, 37}, .Text = " Дополнительно "},
                       {.Frame = true}))
        return false;
    if (!autorun_.Create({.Parent = extra_.Handle(),
                          .Rect = {LabelLeft, 14, 200, 17},
                          .Id = ID_SETTINGS_AUTORUN,
                          .Text = "Автозапуск монитора"},
                         {.Kind = TButtonKind::Check}))
        return false;
    autorun_.OnClick = [this] { AutorunClick(); };
    if (!networkButton_.Create({.Parent = extra_.Handle(),
                                .Rect = {ButtonLeft - 45, 10, 120, 21},
                                .Id = ID_SETTINGS_NETWORK,
                                .Text = "Сетевой сервер..."}))
        return false;
    networkButton_.OnClick = [this] { NetworkClick(); };
    return true;
}

// ---- Reading, placing, writing

void TSettingsPage::Load() {
    settings_ = ReadMonitorSettings(host_.Settings());
    network_ = ReadNetworkSettings(host_.Settings());
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
    GetWindowRect(host_.Owner(), &r);
    const TScreenArea screen{
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // A place remembered on a screen that is no longer there would leave the window out
    // of reach.
    const TPoint2 at = ReachablePosition(settings_.FormLeft, settings_.FormTop, r.right - r.left,
                                         r.bottom - r.top, screen);
    SetWindowPos(host_.Owner(), nullptr, at.X, at.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSettingsPage::RememberPosition() {
    RECT r{};
    if (!host_.Owner() || !GetWindowRect(host_.Owner(), &r)) return;
    settings_.FormLeft = r.left;
    settings_.FormTop = r.top;
}

void TSettingsPage::Save() {
    RememberPosition();
    WriteMonitorSettings(host_.Settings(), settings_, altDetection_.Checked(),
                         TWriteScope::Destruction);
    // Nobody is left to tell of a failure here: the window is going. SaveForClose told
    // the user when it was the user who closed it; the file stays as it was either way.
    host_.Settings().Save();
}

void TSettingsPage::SaveForClose() {
    RememberPosition();
    WriteMonitorSettings(host_.Settings(), settings_, altDetection_.Checked(),
                         TWriteScope::Destruction);
    while (!host_.Settings().Save()) {
        const std::string text = "Не удалось записать файл настроек\r\"" + host_.Settings().Path() +
                                 "\".\rПоложение окна и настройки в нем не сохранятся; "
                                 "прежнее содержимое файла не тронуто.";
        if (host_.ShowMessageBox(text, "Ошибка", MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) return;
    }
}

bool TSettingsPage::SaveNow(bool quietAfterFirst) {
    if (host_.Settings().Save()) {
        writeFailureTold_ = false;
        return true;
    }
    if (!quietAfterFirst || !writeFailureTold_) ReportWriteFailure();
    writeFailureTold_ = true;
    return false;
}

void TSettingsPage::ReportWriteFailure() {
    host_.ShowMessageBox(
        "Не удалось записать файл настроек\r\"" + host_.Settings().Path() +
            "\".\rПрежнее содержимое файла не тронуто; изменения будут записаны при "
            "следующей попытке.",
        "Ошибка", MB_OK | MB_ICONERROR);
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
        host_.ShowMessageBox(NotANumberMessage(taken.BadText), "Ошибка", MB_OK | MB_ICONERROR);
        TEdit& field = taken.BadIsMax ? maxVoltage_ : minVoltage_;
        field.Focus();
        field.SelectAll();
        return;
    }
    WriteMonitorSettings(host_.Settings(), settings_, altDetection_.Checked(), TWriteScope::Apply);
    WriteNetworkSettings(host_.Settings(), network_);
    // The monitor would only read the old file again.
    if (!SaveNow(false)) return;
    link_.ApplySettings(APPLY_ALL);
}

// The values stay in memory until "Применить" writes them with the page's others.
void TSettingsPage::NetworkClick() {
    TNetworkForm form;
    if (!form.Create(host_.Owner(), network_)) return;
    if (host_.RunModal(form) == MR_OK) network_ = form.Settings();
}

void TSettingsPage::AltDetectionClick() {
    altDiff_.EnableSpin(altDetection_.Checked());
}

void TSettingsPage::CalibrateClick() {
    if (calibration_.Running()) {
        StopCalibration();
        host_.SetCaption(MainCaption);
        host_.ShowMessageBox(CalibrationInterrupted, "Внимание!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!TCalibration::UsableReading(lastBatteryVoltage_)) {
        host_.ShowMessageBox(NoBatteryReading, "Внимание!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (host_.ShowMessageBox(CalibrationQuestion, "Внимание!", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The reading of now: status records went on arriving while the question was open.
    if (!calibration_.Start(lastBatteryVoltage_))
        host_.ShowMessageBox(NoBatteryReading, "Внимание!", MB_OK | MB_ICONINFORMATION);
}

void TSettingsPage::StopCalibration() {
    calibration_.Stop(lastBatteryVoltage_);
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
    host_.ShowMessageBox(wanted ? "Не удалось добавить монитор в список автозапуска Windows."
                                : "Не удалось убрать монитор из списка автозапуска Windows.",
                         "Ошибка", MB_OK | MB_ICONERROR);
}

// ---- The monitor's news

void TSettingsPage::OnLinkState(bool up) {
    calibrate_.Enable(up);
}

void TSettingsPage::OnStatus(const TUpsStatus& status) {
    lastBatteryVoltage_ = status.BatteryVoltage;
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
    link_.Suspend(suspend);
}

void TSettingsPage::PostCommand(std::uint8_t command, std::string_view argument) {
    // In line with the window's other commands, for the one command buffer; the user typed
    // none of them, so no answer of theirs shows in the terminal.
    link_.RunCommand({.Code = command,
                      .Text = std::string(argument),
                      .WithText = !argument.empty(),
                      .ShowAnswer = false});
}

void TSettingsPage::PostApplySettings() {
    link_.ApplySettings(APPLY_ALL);
}

void TSettingsPage::StoreMaxVoltage() {
    host_.Settings().WriteString(SettingsSection, "MaxBattVoltage",
                                 StoredVoltage(settings_.MaxBattVoltage));
    SaveNow(true);
    maxVoltage_.SetText(ShownVoltage(settings_.MaxBattVoltage));
}

void TSettingsPage::StoreMinVoltage() {
    host_.Settings().WriteString(SettingsSection, "MinBattVoltage",
                                 StoredVoltage(settings_.MinBattVoltage));
    SaveNow(true);
    minVoltage_.SetText(ShownVoltage(settings_.MinBattVoltage));
}

void TSettingsPage::SetButtonCaption(std::string_view caption) {
    calibrate_.SetText(caption);
}

void TSettingsPage::SetWindowCaption(std::string_view caption) {
    host_.SetCaption(caption);
}
