// Command line of the upssim program.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "simulator.hpp"

namespace upssim {

struct Options {
    std::string device;   // empty: create a pty
    std::string scenario; // file name, empty for none
    std::vector<std::string> events;
    std::string log_file;
    bool quiet = false;
    bool interactive = false;
    bool help = false;
    SimConfig sim;
};

// Throws std::invalid_argument with a message for the user.
Options parse_options(const std::vector<std::string>& args);

std::string usage_text();

} // namespace upssim
