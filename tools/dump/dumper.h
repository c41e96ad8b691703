#pragma once
#include <functional>
#include <iosfwd>

#include "tools/dump/options.h"

// How the follow mode waits between two looks at the files, and when it ends. The
// program waits 200 ms and never ends by itself; tests script both.
struct FollowControl {
    std::function<void()> Wait;
    std::function<bool()> Done;
};

// Prints every file of the options to `out` (problems to `err`) and, when following,
// goes on printing new records until `follow.Done()`. Returns the exit code: 0, or 1 when
// a file could not be read.
int RunDump(const DumpOptions& options, std::ostream& out, std::ostream& err,
            const FollowControl& follow);
