#pragma once
#include "dialog/meters/metter_control.h"
#include "dialog/ui/containers_win32.h"

// Puts a meter on a panel: the panel paints it in two layers, the face kept as a bitmap
// until the meter's look changes and the indicator drawn over a copy of it, reads as the
// meter's readout, and is asked for a paint whenever the meter changes what it shows.
void HostMetter(TPanel& panel, TMetterControl& control);
// Takes the meter off again; the panel shows its own face until something is hosted anew.
void UnhostMetter(TPanel& panel);
