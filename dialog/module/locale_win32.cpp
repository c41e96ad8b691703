#include <windows.h>

#include "dialog/module/conversions.h"

namespace {

std::string LocaleText(LCTYPE what, const char* fallback) {
    char buf[128];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf);
    return n > 1 ? std::string(buf) : std::string(fallback);
}

} // namespace

// Read once: the user's formats do not change while a window is open.
const TLocaleFormats& UserLocaleFormats() {
    static const TLocaleFormats formats{LocaleText(LOCALE_SSHORTDATE, "dd.MM.yyyy"),
                                        LocaleText(LOCALE_STIMEFORMAT, "H:mm:ss")};
    return formats;
}
