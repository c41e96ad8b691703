#include "options.hpp"

#include <cmath>
#include <cstdlib>

namespace upssim {

namespace {

double number(const std::string& option, const std::string& value, double min, double max) {
    char* end = nullptr;
    double v = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(v) || v < min || v > max)
        throw std::invalid_argument(option + ": bad value '" + value + "'");
    return v;
}

} // namespace

Options parse_options(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool has_inline = false;
        if (name.rfind("--", 0) == 0) {
            std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.erase(eq);
                has_inline = true;
            }
        }
        auto arg = [&]() -> std::string {
            if (has_inline) return value;
            if (i + 1 >= args.size()) throw std::invalid_argument(name + " needs a value");
            return args[++i];
        };
        auto flag = [&] {
            if (has_inline) throw std::invalid_argument(name + " takes no value");
        };

        if (name == "-h" || name == "--help") {
            flag();
            o.help = true;
        } else if (name == "--device") {
            o.device = arg();
        } else if (name == "--scenario") {
            o.scenario = arg();
        } else if (name == "-e" || name == "--event") {
            o.events.push_back(arg());
        } else if (name == "--speed") {
            o.sim.speed = number(name, arg(), 0.001, 100000);
        } else if (name == "--log") {
            o.log_file = arg();
        } else if (name == "--unknown") {
            std::string v = arg();
            auto r = parse_unknown_reaction(v);
            if (!r)
                throw std::invalid_argument("--unknown: expected echo, nak, nak-paren or silent");
            o.sim.unknown = *r;
        } else if (name == "--off-comm") {
            std::string v = arg();
            if (v != "answer" && v != "silent")
                throw std::invalid_argument("--off-comm: expected answer or silent");
            o.sim.off_silent = v == "silent";
        } else if (name == "--reply-delay") {
            o.sim.reply_delay = number(name, arg(), 0, 10000) / 1000.0;
        } else if (name == "--seed") {
            o.sim.seed = static_cast<unsigned>(number(name, arg(), 0, 4294967295.0));
        } else if (name == "--nominal") {
            double v = number(name, arg(), 50, 400);
            o.sim.model.nominal_voltage = v;
            o.sim.rating.voltage = v;
        } else if (name == "--frequency") {
            double v = number(name, arg(), 40, 70);
            o.sim.model.nominal_frequency = v;
            o.sim.rating.frequency = v;
        } else if (name == "--cells") {
            flag();
            o.sim.model.per_cell = true;
        } else if (name == "--deep-test") {
            flag();
            o.sim.model.test_stops_at_low = false;
        } else if (name == "--online") {
            flag();
            o.sim.model.standby_type = false;
        } else if (name == "--company") {
            o.sim.info.company = arg();
        } else if (name == "--model") {
            o.sim.info.model = arg();
        } else if (name == "--firmware") {
            o.sim.info.version = arg();
        } else if (name == "--quiet") {
            flag();
            o.quiet = true;
        } else if (name == "--interactive") {
            flag();
            o.interactive = true;
        } else {
            throw std::invalid_argument("unknown option '" + args[i] + "'");
        }
    }
    return o;
}

std::string usage_text() {
    return R"(Usage: upssim [OPTIONS]
Simulates a Megatec (Q1) UPS on a serial line at 2400 baud 8N1.

Without --device it creates a pseudo-terminal and prints the path a client
should open (e.g. /dev/pts/3) as the first line on stdout.

  --device PATH        serve on this serial device instead of a new pty
  --scenario FILE      play the timed events in FILE
  -e, --event EVENT    one more timed event, e.g. -e "2 mains off" (repeatable)
  --speed F            simulated seconds per real second (default 1)
  --log FILE           log commands, answers and events to FILE (default stderr)
  --quiet              no log on stderr (a --log file still gets everything)
  --interactive        read untimed events from stdin, e.g. "mains off"
  --unknown REACTION   unknown commands: echo (default), nak, nak-paren, silent
  --off-comm MODE      while the output is switched off: answer (default), silent
  --reply-delay MS     from the command's CR to the answer (default 20)
  --seed N             seed for garbled and stale bytes (default 1)
  --nominal VOLTS      mains and inverter voltage, also the rating (default 220)
  --frequency HZ       mains and inverter frequency (default 50)
  --cells              report the battery voltage per cell (2.27 instead of 13.6)
  --online             clear the standby-type bit (b3)
  --deep-test          self-tests run on past battery low until the battery is exhausted
  --company TEXT, --model TEXT, --firmware TEXT   what 'I' reports
  -h, --help           this text

Commands understood: Q1, F, I, Q, T, TL, T<nn>, S<n>, S<n>R<mmmm>, C, CT.

)";
}

} // namespace upssim
