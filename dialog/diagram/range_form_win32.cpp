#include "dialog/diagram/range_form_win32.h"

#include "common/datetime.h"
#include "common/files.h"
#include "dialog/diagram/diagram_ids.h"
#include "dialog/module/conversions.h"
#include "dialog/module/modal_loop_win32.h"

namespace {

constexpr int ClientWidth = 328, ClientHeight = 82;
constexpr int MaxTicks = 120;

// The first day of every month within the range (of every year when those are too many).
void SetTicks(HWND slider, int min, int max) {
    for (bool yearly : {false, true}) {
        int count = 0;
        for (int day = min + 1; day < max; ++day) {
            const DateTimeParts p = DecodeDateTime(day);
            if (p.Day == 1 && (!yearly || p.Month == 1)) ++count;
        }
        if (count > MaxTicks && !yearly) continue;
        for (int day = min + 1; day < max; ++day) {
            const DateTimeParts p = DecodeDateTime(day);
            if (p.Day == 1 && (!yearly || p.Month == 1)) SendMessageA(slider, TBM_SETTIC, 0, day);
        }
        return;
    }
}

} // namespace

TRangeForm::~TRangeForm() {
    Destroy();
}

bool TRangeForm::Create(HWND owner, double chosenDay) {
    owner_ = owner;
    chosen_ = chosenDay;
    TFormArgs f;
    f.Caption = "Выбор начальной точки";
    f.ClientWidth = ClientWidth;
    f.ClientHeight = ClientHeight;
    f.Border = TFormBorder::Dialog;
    f.Place = TFormPlace::ScreenCenter;
    f.Owner = owner;
    if (!CreateForm(f)) return false;

    TTrackBarArgs t;
    t.Parent = Handle();
    t.Rect = {8, 6, ClientWidth - 16, 30};
    t.Id = ID_RANGE_SLIDER;
    t.ManualTicks = true;
    if (!slider_.Create(t)) return false;
    slider_.OnChange = [this] { SliderMoved(); };

    TLabelArgs l;
    l.Parent = Handle();
    l.Rect = {8, 38, 100, 13};
    l.Id = ID_RANGE_FIRST;
    if (!first_.Create(l)) return false;
    l.Rect = {ClientWidth - 8 - 100, 38, 100, 13};
    l.Align = TAlign::Right;
    l.Id = ID_RANGE_LAST;
    if (!last_.Create(l)) return false;
    l.Rect = {ClientWidth / 2 - 50, 38, 100, 13};
    l.Align = TAlign::Center;
    l.TextColor = RGB(255, 0, 0);
    l.Id = ID_RANGE_CHOSEN;
    if (!chosenLabel_.Create(l)) return false;

    TButtonArgs b;
    b.Parent = Handle();
    b.Rect = {ClientWidth - 8 - 75 - 4 - 75, 55, 75, 23};
    b.Text = "OK";
    b.Kind = TButtonKind::Default;
    b.Id = ID_RANGE_OK;
    if (!ok_.Create(b)) return false;
    ok_.OnClick = [this] { SetModalResult(MR_OK); };
    b.Rect = {ClientWidth - 8 - 75, 55, 75, 23};
    b.Text = "Отмена";
    b.Kind = TButtonKind::Cancel;
    b.Id = ID_RANGE_CANCEL;
    if (!cancel_.Create(b)) return false;
    cancel_.OnClick = [this] { SetModalResult(MR_CANCEL); };
    return true;
}

int TRangeForm::Run() {
    // An empty file spans no days: the same as none.
    const auto span = ReadStatSpan(SystemFiles(), statPath_);
    if (!span) {
        MessageBoxA(owner_, "Файл статистики отсутствует!", "Ошибка", MB_OK | MB_ICONERROR);
        chosen_ = 0;
        return MR_CANCEL;
    }
    const TSliderSetup s = SliderFor(*span, chosen_);
    slider_.SetRange(s.Min, s.Max);
    slider_.SetPosition(s.Position);
    SetTicks(slider_.Handle(), s.Min, s.Max);
    first_.SetText(FormatDate(span->First));
    last_.SetText(FormatDate(span->Last));
    SliderMoved();
    return RunModal(*this, owner_);
}

void TRangeForm::SliderMoved() {
    chosen_ = slider_.Position();
    chosenLabel_.SetText(FormatDate(chosen_));
}
