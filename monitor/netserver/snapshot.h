#pragma once
#include "common/records.h"

// What the network UPS server knows of the UPS: the monitor's records as the control loop
// left them after its last poll. Stale while the link is lost, the port is not open, or no
// poll has succeeded since the port was opened: clients then get DATA-STALE rather than
// old values.
struct TNetSnapshot {
    bool Stale = true;
    TUpsStatus Status{};
    TUpsInfo Info{};
    TUpsRating Rating{};
};
