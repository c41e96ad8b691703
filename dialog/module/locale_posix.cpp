#include "dialog/module/conversions.h"

// Natively the Russian formats that the Windows tests run with.
const TLocaleFormats& UserLocaleFormats() {
    static const TLocaleFormats formats;
    return formats;
}
