#pragma once
#include "dialog/meters/canvas.h"

// The 16 x 16 pictures of the journal's kinds: 0 the end of a run (a stop square),
// 1 information (a blue "i"), 2 a warning (a yellow triangle with "!"), 3 an error (a red
// circle with a cross), 4 a user's message (a written note). Drawn over whatever ground
// the canvas holds; a kind of no meaning draws nothing.
inline constexpr int JournalImageSize = 16;
void DrawJournalImage(ICanvas& canvas, int kind);
