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
    if (!CreateForm({.Caption = "Выбор начальной точки",
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Dialog,
                     .Place = TFormPlace::ScreenCenter,
                     .Owner = owner}))
        return false;

    if (!slider_.Create(
            {.Parent = Handle(), .Rect = {8, 6, ClientWidth - 16, 30}, .Id = ID_RANGE_SLIDER},
            {.ManualTicks = true}))
        return false;
    slider_.OnChange = [this] { SliderMoved(); };

    if (!first_.Create({.Parent = Handle(), .Rect = {8, 38, 100, 13}, .Id = ID_RANGE_FIRST}))
        return false;
    if (!last_.Create(
            {.Parent = Handle(), .Rect = {ClientWidth - 8 - 100, 38, 100, 13}, .Id = ID_RANGE_LAST},
            {.Align = TAlign::Right}))
        return false;
    if (!chosenLabel_.Create({.Parent = Handle(),
                              .Rect = {ClientWidth / 2 - 50, 38, 100, 13},
                              .Id = ID_RANGE_CHOSEN},
                             {.Align = TAlign::Center, .TextColor = RGB(255, 0, 0)}))
        return false;

    if (!ok_.Create({.Parent = Handle(),
                     .Rect = {ClientWidth - 8 - 75 - 4 - 75, 55, 75, 23},
                     .Id = ID_RANGE_OK,
                     .Text = "OK"},
                    {.Kind = TButtonKind::Default}))
        return false;
    ok_.OnClick = [this] { SetModalResult(MR_OK); };
    if (!cancel_.Create({.Parent = Handle(),
                         .Rect = {ClientWidth - 8 - 75, 55, 75, 23},
                         .Id = ID_RANGE_CANCEL,
                         .Text = "Отмена"},
                        {.Kind = TButtonKind::Cancel}))
        return false;
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
