#include "dialog/help/help_win32.h"

void OpenHelpTopic(TMainForm&, int) {}
