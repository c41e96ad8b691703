#include "ups_model.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace upssim {

namespace {

constexpr double kEps = 1e-9;
constexpr double kNever = std::numeric_limits<double>::infinity();

std::string seconds_text(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g s", s);
    return buf;
}

} // namespace

UpsModel::UpsModel(const ModelConfig& config)
    : config_(config), input_(config.nominal_voltage), frequency_(config.nominal_frequency),
      load_(config.load_percent), temperature_(config.temperature), battery_(config.battery_full),
      beeper_(config.beeper) {
    was_failing_ = utility_fail();
}

bool UpsModel::utility_fail() const {
    return !mains_ || input_ < config_.transfer_low || input_ > config_.transfer_high;
}

Status UpsModel::status() const {
    Status s;
    s.input_voltage = shown_input();
    s.fault_voltage = fault_latched_ ? fault_voltage_ : shown_input();
    bool avr = false;
    if (!output_on_) {
        s.output_voltage = 0;
    } else if (discharging()) {
        s.output_voltage = config_.nominal_voltage;
    } else if (input_ < config_.boost_below) {
        s.output_voltage = input_ * (1 + config_.avr_factor);
        avr = true;
    } else if (input_ > config_.buck_above) {
        s.output_voltage = input_ * (1 - config_.avr_factor);
        avr = true;
    } else {
        s.output_voltage = input_;
    }
    s.load_percent = output_on_ ? load_ : 0;
    s.frequency = mains_ ? frequency_ : config_.nominal_frequency;
    s.battery_voltage = battery_;
    s.per_cell = config_.per_cell;
    s.cells = config_.cells;
    s.temperature = temperature_;

    std::uint8_t bits = 0;
    if (utility_fail()) bits |= kUtilityFail;
    if (battery_low_) bits |= kBatteryLow;
    if (avr) bits |= kAvrActive;
    if (failed_) bits |= kUpsFailed;
    if (config_.standby_type) bits |= kStandbyType;
    if (testing()) bits |= kTestInProgress;
    if (shutdown_pending() || (!output_on_ && off_by_command_)) bits |= kShutdownActive;
    if (beeper_) bits |= kBeeperOn;
    s.bits = bits;
    return s;
}

void UpsModel::execute(const Command& c) {
    switch (c.kind) {
    case CommandKind::Test:
        start_test(c.test_seconds);
        break;
    case CommandKind::TestUntilLow:
        start_test(0);
        break;
    case CommandKind::CancelTest:
        cancel_test();
        break;
    case CommandKind::ToggleBeeper:
        beeper_ = !beeper_;
        note(beeper_ ? "beeper on" : "beeper off");
        break;
    case CommandKind::Shutdown:
        shutdown(c.shutdown_seconds, c.restore_minutes);
        break;
    case CommandKind::Cancel:
        cancel_shutdown();
        break;
    case CommandKind::Status:
    case CommandKind::Rating:
    case CommandKind::Info:
    case CommandKind::Unknown:
        break;
    }
}

void UpsModel::set_mains(bool present) {
    mains_ = present;
    settle();
}

void UpsModel::set_input_voltage(double v) {
    input_ = v;
    settle();
}

void UpsModel::set_fault_voltage(double v) {
    fault_voltage_ = v;
    fault_latched_ = true;
}

void UpsModel::set_frequency(double hz) {
    frequency_ = hz;
}

void UpsModel::set_battery(double v) {
    battery_ = v;
    // An explicit value means "the battery is now like this": no hysteresis memory.
    battery_low_ = v <= config_.battery_low + kEps;
    settle();
}

void UpsModel::start_test(double seconds) {
    if (!output_on_) {
        note("test refused: output is off");
        return;
    }
    if (utility_fail()) {
        note("test refused: running on battery");
        return;
    }
    if (battery_low_) {
        note("test refused: battery low");
        return;
    }
    if (seconds > 0) {
        test_ = Test::Timed;
        test_timer_ = seconds;
        note("test started for " + seconds_text(seconds));
    } else {
        test_ = Test::UntilLow;
        test_timer_ = -1;
        note("test started until battery low");
    }
    settle();
}

void UpsModel::cancel_test() {
    if (testing()) end_test("cancelled");
}

void UpsModel::end_test(const char* why) {
    test_ = Test::None;
    test_timer_ = -1;
    note(std::string("test ended: ") + why);
}

void UpsModel::shutdown(double delay_seconds, int restore_minutes) {
    shutdown_timer_ = std::max(0.0, delay_seconds);
    restore_minutes_ = restore_minutes;
    std::string text = "shutdown in " + seconds_text(delay_seconds);
    if (restore_minutes >= 0) text += ", restore " + std::to_string(restore_minutes) + " min later";
    note(text);
    if (shutdown_timer_ <= kEps) fire_due();
}

void UpsModel::cancel_shutdown() {
    if (shutdown_pending()) {
        shutdown_timer_ = -1;
        note("shutdown cancelled");
    }
    if (!output_on_ && off_by_command_) {
        restore_ = Restore::Armed;
        restore_timer_ = -1;
        settle();
    }
}

void UpsModel::switch_off(bool by_command, Restore restore) {
    output_on_ = false;
    off_by_command_ = by_command;
    restore_ = restore;
    restore_timer_ = restore == Restore::AfterTimer ? restore_minutes_ * 60.0 : -1;
    if (restore == Restore::OnMainsReturn && utility_fail()) restore_ = Restore::Armed;
    if (testing()) end_test("output switched off");
    note(by_command ? "output off (shutdown)" : "output off (battery exhausted)");
}

void UpsModel::settle() {
    bool failing = utility_fail();
    if (failing != was_failing_) {
        was_failing_ = failing;
        if (failing) {
            fault_voltage_ = shown_input();
            fault_latched_ = true;
            note(output_on_ ? "utility fail: running on battery" : "utility fail");
            if (testing()) end_test("utility failed");
            if (!output_on_ && restore_ == Restore::OnMainsReturn) restore_ = Restore::Armed;
        } else {
            fault_latched_ = false;
            note("utility back");
        }
    }

    if (!battery_low_ && battery_ <= config_.battery_low + kEps) {
        battery_low_ = true;
        note("battery low");
    } else if (battery_low_ && battery_ >= config_.battery_low_clear - kEps) {
        battery_low_ = false;
        note("battery low cleared");
    }
    if (testing() && battery_low_ && config_.test_stops_at_low) end_test("battery low");

    if (discharging() && battery_ <= config_.battery_cutoff + kEps)
        switch_off(false, Restore::OnMainsReturn);

    if (!output_on_ && restore_ == Restore::Armed && !failing) {
        output_on_ = true;
        off_by_command_ = false;
        restore_ = Restore::None;
        note("output restored");
    }
}

double UpsModel::next_internal_event() const {
    double t = kNever;
    if (test_ == Test::Timed) t = std::min(t, test_timer_);
    if (shutdown_timer_ >= 0) t = std::min(t, shutdown_timer_);
    if (restore_timer_ >= 0) t = std::min(t, restore_timer_);
    if (discharging() && config_.drain_rate > 0) {
        if (!battery_low_ && battery_ > config_.battery_low)
            t = std::min(t, (battery_ - config_.battery_low) / config_.drain_rate);
        if (battery_ > config_.battery_cutoff)
            t = std::min(t, (battery_ - config_.battery_cutoff) / config_.drain_rate);
    } else if (!utility_fail() && config_.charge_rate > 0 && battery_low_ &&
               battery_ < config_.battery_low_clear) {
        t = std::min(t, (config_.battery_low_clear - battery_) / config_.charge_rate);
    }
    return std::max(0.0, t);
}

void UpsModel::integrate(double dt) {
    auto run_down = [dt](double& timer) {
        if (timer >= 0) timer = std::max(0.0, timer - dt);
    };
    if (test_ == Test::Timed) run_down(test_timer_);
    run_down(shutdown_timer_);
    run_down(restore_timer_);

    if (discharging()) {
        battery_ = std::max(0.0, battery_ - config_.drain_rate * dt);
    } else if (!utility_fail() && battery_ < config_.battery_full) {
        battery_ = std::min(config_.battery_full, battery_ + config_.charge_rate * dt);
    }
}

void UpsModel::fire_due() {
    if (test_ == Test::Timed && test_timer_ <= kEps) end_test("finished");
    if (shutdown_timer_ >= 0 && shutdown_timer_ <= kEps) {
        shutdown_timer_ = -1;
        switch_off(true, restore_minutes_ >= 0 ? Restore::AfterTimer : Restore::OnMainsReturn);
    }
    if (restore_timer_ >= 0 && restore_timer_ <= kEps) {
        restore_timer_ = -1;
        restore_ = Restore::Armed;
        if (utility_fail()) note("restore delay over, waiting for mains");
    }
    settle();
}

void UpsModel::advance_to(double t) {
    // Each pass stops at the next timer or battery threshold; the bound only
    // protects against a pathological configuration.
    for (int guard = 0; now_ < t && guard < 100000; ++guard) {
        double step = std::min(t - now_, next_internal_event());
        integrate(step);
        now_ += step;
        fire_due();
    }
    now_ = std::max(now_, t);
}

std::vector<Note> UpsModel::take_notes() {
    std::vector<Note> out;
    out.swap(notes_);
    return out;
}

} // namespace upssim
