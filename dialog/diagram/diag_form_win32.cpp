#include "dialog/diagram/diag_form_win32.h"

#include <cmath>
#include <limits>

#include "common/clock.h"
#include "common/files.h"
#include "dialog/diagram/diagram_ids.h"
#include "dialog/diagram/range_form_win32.h"
#include "dialog/meters/gdi_canvas_win32.h"
#include "dialog/module/window_host_win32.h"

namespace {

constexpr int ClientWidth = 680, ClientHeight = 440;
constexpr int PanelHeight = 96;
constexpr int GroupLeft = 336;
constexpr char StatFile[] = "Stat.ups";
constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

// The framework's conversion errors, as the user has always seen them.
std::string NotValid(const std::string& text, const char* what) {
    return "'" + text + "' is not a valid " + what;
}

} // namespace

HBRUSH TColorCheck::OnCtlColor(HDC dc) {
    if (color_ == CLR_INVALID || !Enabled()) return nullptr;
    ::SetTextColor(dc, color_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

TDiagForm::TDiagForm(TWindowHost& host) : host_(host) {}

TDiagForm::~TDiagForm() {
    if (created_) SaveSettings();
    chartPanel_.OnPaint = nullptr;
    chartPanel_.ReadoutText = nullptr;
    Destroy();
}

bool TDiagForm::Create() {
    if (!CreateForm({.Caption = "Диаграмма",
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Sizeable,
                     .Place = TFormPlace::ScreenCenter,
                     .Owner = host_.Owner()}))
        return false;

    if (!chartPanel_.Create({.Parent = Handle(),
                             .Rect = {0, 0, ClientWidth, ClientHeight - PanelHeight},
                             .Id = ID_DIAG_CHART},
                            {.Bevel = TBevel::Sunken}))
        return false;
    chartPanel_.OnPaint = [this](HDC dc, int width, int height) {
        TGdiCanvas canvas(dc);
        chart_.Paint(canvas, width, height);
    };
    chartPanel_.ReadoutText = [this] { return chart_.ReadoutText(); };
    if (!CreatePanel()) return false;

    // The settings as the file holds them now.
    host_.Settings().Load();
    const TDiagramSettings s = ReadDiagramSettings(host_.Settings(), CurrentYear());
    date_.SetText(s.BeginDate);
    time_.SetText(s.BeginTime);
    width_.Select(s.Length);
    for (std::size_t i = 0; i < checks_.size(); ++i)
        checks_[i].SetChecked(s.Visible[i]);

    tips_.Create(Handle());
    tips_.Add(range_.Handle(), "Просмотр допустимого диапазона");
    tips_.Add(refresh_.Handle(), "Обновить диаграмму");
    created_ = true;
    return true;
}

bool TDiagForm::CreatePanel() {
    if (!controls_.Create({.Parent = Handle(),
                           .Rect = {0, ClientHeight - PanelHeight, ClientWidth, PanelHeight},
                           .Font = Font()}))
        return false;
    const HWND parent = controls_.Handle();

    if (!startLabel_.Create({.Parent = parent,
                             .Rect = {8, 14, 90, 13},
                             .Id = ID_DIAG_STARTLABEL,
                             .Text = "Начальная точка:"}))
        return false;
    const char dateSeparator = DateSeparator(), timeSeparator = TimeSeparator();
    if (!date_.Create({.Parent = parent, .Rect = {100, 10, 64, 21}, .Id = ID_DIAG_DATE},
                      {.Mask = "!99/99/00;1;_",
                       .DateSeparator = dateSeparator,
                       .TimeSeparator = timeSeparator}))
        return false;
    if (!time_.Create({.Parent = parent, .Rect = {168, 10, 64, 21}, .Id = ID_DIAG_TIME},
                      {.Mask = "!90:00:00;1;_",
                       .DateSeparator = dateSeparator,
                       .TimeSeparator = timeSeparator}))
        return false;

    if (!range_.Create({.Parent = parent,
                        .Rect = {240, 9, 88, 23},
                        .Id = ID_DIAG_RANGE,
                        .Text = "Диапазон..."}))
        return false;
    range_.OnClick = [this] { RangeClick(); };

    if (!widthLabel_.Create({.Parent = parent,
                             .Rect = {8, 48, 90, 13},
                             .Id = ID_DIAG_WIDTHLABEL,
                             .Text = "Ширина:"}))
        return false;
    std::vector<std::string> widths;
    for (const TWidthDef& width : Widths)
        widths.emplace_back(width.Caption);
    if (!width_.Create({.Parent = parent, .Rect = {100, 44, 132, 21}, .Id = ID_DIAG_WIDTH},
                       {.DropHeight = 140, .Items = widths}))
        return false;

    if (!refresh_.Create({.Parent = parent,
                          .Rect = {240, 43, 88, 23},
                          .Id = ID_DIAG_REFRESH,
                          .Text = "Обновить"},
                         {.Kind = TButtonKind::Default}))
        return false;
    refresh_.OnClick = [this] { RefreshClick(); };

    if (!group_.Create({.Parent = parent,
                        .Rect = {GroupLeft, 2, ClientWidth - GroupLeft - 8, PanelHeight - 8},
                        .Text = " Видимые параметры ",
                        .Font = Font()},
                       {.Frame = true}))
        return false;
    boldFont_ = MakeFont({.Bold = true});
    for (int i = 0; i < SeriesCount; ++i) {
        TColorCheck& check = checks_[static_cast<std::size_t>(i)];
        check.SetTextColor(ResolveColor(Series[i].CheckColor));
        if (!check.Create({.Parent = group_.Handle(),
                           .Id = ID_DIAG_SERIES + i,
                           .Text = Series[i].Caption,
                           .Font = boldFont_.Get()},
                          {.Kind = TButtonKind::Check}))
            return false;
    }
    Layout(ClientWidth, ClientHeight);
    return true;
}

void TDiagForm::Layout(int width, int height) {
    if (!controls_.Handle()) return;
    const int chartHeight = std::max(height - PanelHeight, 40);
    MoveWindow(chartPanel_.Handle(), 0, 0, width, chartHeight, TRUE);
    MoveWindow(controls_.Handle(), 0, chartHeight, width, PanelHeight, TRUE);
    const int groupWidth = std::max(width - GroupLeft - 8, 200);
    MoveWindow(group_.Handle(), GroupLeft, 2, groupWidth, PanelHeight - 8, TRUE);
    // Two columns of three, in the order of the series.
    const int column = (groupWidth - 16) / 2;
    for (int i = 0; i < SeriesCount; ++i)
        checks_[static_cast<std::size_t>(i)].Move(
            {8 + (i / 3) * column, 18 + (i % 3) * 22, column - 4, 18});
}

LRESULT TDiagForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        // Never smaller than it opens: every control keeps its place.
        RECT r{0, 0, ClientWidth, ClientHeight - 160};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
        return 0;
    }
    default:
        return TForm::OnMessage(msg, wParam, lParam);
    }
}

bool TDiagForm::HandleDialogKey(const MSG& msg) {
    // An open drop-down list takes Escape itself.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
        !SendMessageA(width_.Handle(), CB_GETDROPPEDSTATE, 0, 0)) {
        Close();
        return true;
    }
    return TForm::HandleDialogKey(msg);
}

int TDiagForm::ShowModal() {
    return host_.RunModal(*this);
}

int TDiagForm::CurrentYear() const {
    return DecodeDateTime(SystemClock().Now()).Year;
}

void TDiagForm::DrawDiagram(int maxPoints, const TSeriesFlags& visible, double length,
                            double start) {
    const auto records = ReadStatWindow(SystemFiles(), host_.FilePath(StatFile), start, length);
    if (!records || records->empty()) return;
    chart_.SetPoints(BucketAverages(*records, maxPoints, visible));
    chartPanel_.Invalidate();
}

void TDiagForm::RefreshClick() {
    TSeriesFlags visible{};
    for (std::size_t i = 0; i < checks_.size(); ++i)
        visible[i] = checks_[i].Checked();
    const std::string dateText = date_.Value(), timeText = time_.Value();
    const double date = DateWithDefault(dateText, NoValue, CurrentYear());
    if (std::isnan(date)) {
        MessageBoxA(Handle(), NotValid(dateText, "date").c_str(), "Ошибка", MB_OK | MB_ICONERROR);
        return;
    }
    const double time = TimeWithDefault(timeText, NoValue);
    if (std::isnan(time)) {
        MessageBoxA(Handle(), NotValid(timeText, "time").c_str(), "Ошибка", MB_OK | MB_ICONERROR);
        return;
    }
    const int width = width_.Selected() >= 0 ? width_.Selected() : 0;
    DrawDiagram(MaxPoints, visible, Widths[width].Days, date + time);
}

void TDiagForm::RangeClick() {
    const double chosen = DateWithDefault(date_.Value(), 0, CurrentYear());
    TRangeForm range(host_.FilePath(StatFile));
    if (!range.Create(Handle(), chosen)) return;
    if (range.Run() == MR_OK && range.ChosenDay() != 0)
        date_.SetText(MaskDateText(range.ChosenDay()));
}

TDiagramSettings TDiagForm::CurrentSettings() const {
    TDiagramSettings s;
    s.BeginDate = date_.Value();
    s.BeginTime = time_.Value();
    s.Length = width_.Selected() >= 0 ? width_.Selected() : 0;
    for (std::size_t i = 0; i < checks_.size(); ++i)
        s.Visible[i] = checks_[i].Checked();
    return s;
}

void TDiagForm::SaveSettings() {
    WriteDiagramSettings(host_.Settings(), CurrentSettings());
    if (!host_.Settings().Save())
        host_.ShowMessageBox("Не удалось сохранить настройки диаграммы в файле Kovrin.ini.",
                             "Ошибка", MB_OK | MB_ICONERROR);
}
