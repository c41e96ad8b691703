#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "tools/dump/dumper.h"
#include "tools/dump/options.h"

// Exit codes: 0 done, 1 a file could not be read, 2 the command line was wrong.
int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = ParseArguments(args, error);
    if (!options) {
        std::cerr << "kovrin-dump: " << error << "\n" << UsageText;
        return 2;
    }
    if (options->Help) {
        std::cout << UsageText;
        return 0;
    }
    // The monitor appends at most a few records a second; a look every 200 ms keeps up.
    const FollowControl follow{
        [] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); },
        [] { return false; },
    };
    return RunDump(*options, std::cout, std::cerr, follow);
}
