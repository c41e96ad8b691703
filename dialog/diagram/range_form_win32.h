#pragma once
#include <windows.h>

#include <string>

#include "dialog/diagram/diagram_data.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

// "Выбор начальной точки": a slider over the days that "Stat.ups" spans, with the first
// and last day at its ends and the chosen one in red between them. Created by the
// diagram's range button for one use.
class TRangeForm : public TForm {
public:
    explicit TRangeForm(std::string statPath) : statPath_(std::move(statPath)) {}
    ~TRangeForm() override;

    // The window over its owner, with the day the date field holds (0 for none).
    bool Create(HWND owner, double chosenDay);
    // Modal over the owner. Without statistics the user is told so and the result is
    // MR_CANCEL with no day chosen.
    int Run();
    // The day chosen (a date-time without a time of day); 0 when none.
    double ChosenDay() const { return chosen_; }

private:
    void SliderMoved();

    std::string statPath_;
    HWND owner_ = nullptr;
    double chosen_ = 0;
    TTrackBar slider_;
    TLabel first_, last_, chosenLabel_;
    TButton ok_, cancel_;
};
