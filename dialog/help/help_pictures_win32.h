#pragma once
#include <windows.h>

// The pictures of the help viewer's tool bar buttons, drawn into a button's face
// (about 16 x 16 pixels, centred in the area), greyed when the button is disabled.
enum class THelpPicture { Back, Forward, Contents, Home, Stop };
void DrawHelpPicture(THelpPicture picture, HDC dc, const RECT& area, bool enabled);
