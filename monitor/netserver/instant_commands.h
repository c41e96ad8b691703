#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The instant commands the server offers, each one of the monitor's own commands (with a
// fixed argument, or one taken from the client's parameter), sent through the control
// loop like any other.
enum class TCommandParameter {
    None,    // a parameter the client sends is ignored
    Minutes, // required: 1-99 minutes, sent as two digits
};

struct TInstantCommandDef {
    std::string_view Name;
    std::string_view Description; // GET CMDDESC
    std::uint8_t Command;         // the driver's command number
    std::string_view Argument;    // for the commands that take a fixed one
    TCommandParameter Parameter;
};

std::span<const TInstantCommandDef> InstantCommandTable();
const TInstantCommandDef* FindInstantCommand(std::string_view name); // ASCII case does not matter

// The argument the driver gets for the command and the client's parameter (if it sent
// one); none when the parameter the command needs is missing or out of its range.
std::optional<std::string> CommandArgument(const TInstantCommandDef& command,
                                           const std::optional<std::string>& parameter);
