#include <csignal>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "options.hpp"
#include "port.hpp"
#include "scenario.hpp"
#include "simulator.hpp"

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void on_signal(int) {
    g_stop = 1;
}

void install_signals() {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: poll() must return so the loop sees the flag
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    using namespace upssim;

    Options opt;
    try {
        opt = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "upssim: %s\nTry 'upssim --help'.\n", e.what());
        return 2;
    }
    if (opt.help) {
        std::printf("%s%s", usage_text().c_str(), scenario_keywords_help());
        return 0;
    }

    std::vector<Event> events;
    if (!opt.scenario.empty()) {
        std::ifstream in(opt.scenario);
        if (!in) {
            std::fprintf(stderr, "upssim: cannot open scenario %s\n", opt.scenario.c_str());
            return 2;
        }
        try {
            events = parse_scenario(in);
        } catch (const ScenarioError& e) {
            std::fprintf(stderr, "upssim: %s:%d: %s\n", opt.scenario.c_str(), e.line(), e.what());
            return 2;
        }
    }
    for (const std::string& text : opt.events) {
        Event e;
        try {
            if (!parse_event(text, 0, e)) throw ScenarioError(0, "empty event");
        } catch (const ScenarioError& err) {
            std::fprintf(stderr, "upssim: -e \"%s\": %s\n", text.c_str(), err.what());
            return 2;
        }
        events.push_back(std::move(e));
    }

    Logger log;
    std::FILE* log_file = nullptr;
    if (!opt.log_file.empty()) {
        log_file = std::fopen(opt.log_file.c_str(), "w");
        if (!log_file) {
            std::perror(("upssim: " + opt.log_file).c_str());
            return 2;
        }
        log.set_output(log_file);
    } else if (!opt.quiet) {
        log.set_output(stderr);
    }

    Port port;
    try {
        port = opt.device.empty() ? open_pty() : open_serial(opt.device);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "upssim: %s\n", e.what());
        return 1;
    }
    std::printf("%s\n", port.path.c_str());
    std::fflush(stdout);

    install_signals();
    Simulator sim(opt.sim, std::move(events), log);
    log.line(0, "--", "serving on " + port.path);
    int rc = serve(sim, port, opt.interactive, &g_stop);
    port.close();
    if (log_file) std::fclose(log_file);
    return rc;
}
