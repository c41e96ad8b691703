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
    TFormArgs f;
    f.Caption = "Диаграмма";
    f.ClientWidth = ClientWidth;
    f.ClientHeight = ClientHeight;
    f.Border = TFormBorder::Sizeable;
    f.Place = TFormPlace::ScreenCenter;
    f.Owner = host_.Owner();
    if (!CreateForm(f)) return false;

    TPanelArgs p;
    p.Parent = Handle();
    p.Rect = {0, 0, ClientWidth, ClientHeight - PanelHeight};
    p.Id = ID_DIAG_CHART;
    p.Bevel = TBevel::Sunken;
    if (!chartPanel_.Create(p)) return false;
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
    TContainerArgs c;
    c.Parent = Handle();
    c.Rect = {0, ClientHeight - PanelHeight, ClientWidth, PanelHeight};
    c.Font = Font();
    if (!controls_.Create(c)) return false;
    const HWND parent = controls_.Handle();

    TLabelArgs l;
    l.Parent = parent;
    l.Rect = {8, 14, 90, 13};
    l.Text = "Начальная точка:";
    l.Id = ID_DIAG_STARTLABEL;
    if (!startLabel_.Create(l)) return false;
    TMaskEditArgs m;
    m.Parent = parent;
    m.Rect = {100, 10, 64, 21};
    m.Mask = "!99/99/00;1;_";
    m.DateSeparator = DateSeparator();
    m.TimeSeparator = TimeSeparator();
    m.Id = ID_DIAG_DATE;
    if (!date_.Create(m)) return false;
    m.Rect = {168, 10, 64, 21};
    m.Mask = "!90:00:00;1;_";
    m.Id = ID_DIAG_TIME;
    if (!time_.Create(m)) return false;

    TButtonArgs b;
    b.Parent = parent;
    b.Rect = {240, 9, 88, 23};
    b.Text = "Диапазон...";
    b.Id = ID_DIAG_RANGE;
    if (!range_.Create(b)) return false;
    range_.OnClick = [this] { RangeClick(); };

    l.Rect = {8, 48, 90, 13};
    l.Text = "Ширина:";
    l.Id = ID_DIAG_WIDTHLABEL;
    if (!widthLabel_.Create(l)) return false;
    TComboArgs w;
    w.Parent = parent;
    w.Rect = {100, 44, 132, 21};
    w.Id = ID_DIAG_WIDTH;
    w.DropHeight = 140;
    for (const TWidthDef& width : Widths)
        w.Items.emplace_back(width.Caption);
    if (!width_.Create(w)) return false;

    b.Rect = {240, 43, 88, 23};
    b.Text = "Обновить";
    b.Kind = TButtonKind::Default;
    b.Id = ID_DIAG_REFRESH;
    if (!refresh_.Create(b)) return false;
    refresh_.OnClick = [this] { RefreshClick(); };

    TContainerArgs g;
    g.Parent = parent;
    g.Rect = {GroupLeft, 2, ClientWidth - GroupLeft - 8, PanelHeight - 8};
    g.Caption = " Видимые параметры ";
    g.Frame = true;
    g.Font = Font();
    if (!group_.Create(g)) return false;
    TFontSpec bold;
    bold.Bold = true;
    boldFont_ = MakeFont(bold);
    for (int i = 0; i < SeriesCount; ++i) {
        TButtonArgs cb;
        cb.Parent = group_.Handle();
        cb.Kind = TButtonKind::Check;
        cb.Text = Series[i].Caption;
        cb.Id = ID_DIAG_SERIES + i;
        cb.Font = boldFont_.Get();
        TColorCheck& check = checks_[static_cast<std::size_t>(i)];
        check.SetTextColor(ResolveColor(Series[i].CheckColor));
        if (!check.Create(cb)) return false;
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
