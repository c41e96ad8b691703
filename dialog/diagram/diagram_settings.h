#pragma once
#include <string>

#include "dialog/diagram/diagram_data.h"
#include "dialog/module/conversions.h"

class TIniFile;

// The diagram's choices in section "Diagramm" of the settings file. What is read is made
// valid for the window's fields: a date or time that is none, or a width outside the
// eight, falls back to its default, so that the window always opens with a choice it can
// draw.
struct TDiagramSettings {
    std::string BeginDate = "01.01.04";
    std::string BeginTime = "00:00:00";
    int Length = 0;
    TSeriesFlags Visible = {Series[0].Checked, Series[1].Checked, Series[2].Checked,
                            Series[3].Checked, Series[4].Checked, Series[5].Checked};
};

inline constexpr char DiagramSection[] = "Diagramm";

TDiagramSettings ReadDiagramSettings(const TIniFile& ini, int currentYear,
                                     const TLocaleFormats& formats = UserLocaleFormats());
// Written as the fields hold them, into the file only at the ini file's Save.
void WriteDiagramSettings(TIniFile& ini, const TDiagramSettings& settings);

// A date as the date field's mask holds it: two digits each for day, month and year, in
// the order and with the separator of the short date format.
std::string MaskDateText(double date, const TLocaleFormats& formats = UserLocaleFormats());
// A time of day as the time field's mask holds it: "HH:MM:SS" with the time separator.
std::string MaskTimeText(double time, const TLocaleFormats& formats = UserLocaleFormats());

// The separators the masks use for their "/" and ":".
char DateSeparator(const TLocaleFormats& formats = UserLocaleFormats());
char TimeSeparator(const TLocaleFormats& formats = UserLocaleFormats());
