// The UPS itself: mains, battery, inverter, self-test and shutdown timers.
// Time is simulated seconds; the caller decides how fast it passes.
#pragma once

#include <string>
#include <vector>

#include "protocol.hpp"

namespace upssim {

struct ModelConfig {
    double nominal_voltage = 220.0; // mains nominal and inverter output
    double nominal_frequency = 50.0;
    double battery_full = 13.6;      // float charge voltage
    double battery_low = 11.0;       // b6 set at or below this
    double battery_low_clear = 11.5; // b6 clears only above this, so it does not flicker
    double battery_cutoff = 10.5;    // inverter gives up and the output drops
    double drain_rate = 0.01;        // V/s on battery: full to cut-off in about five minutes
    double charge_rate = 0.002;      // V/s on mains
    double boost_below = 195.0;
    double buck_above = 245.0;
    double transfer_low = 170.0; // outside these the UPS runs on battery although mains are there
    double transfer_high = 280.0;
    double avr_factor = 0.12; // boost raises, buck lowers the output by this fraction
    int cells = 6;
    int load_percent = 25;
    double temperature = 25.0;
    bool standby_type = true;
    bool beeper = true;
    bool per_cell = false;
    // A self-test ends at battery low, as most UPSes do; off, it runs on until the inverter
    // gives up (a UPS whose deep test drains the battery, for calibrating the battery).
    bool test_stops_at_low = true;
};

struct Note {
    double time; // simulated seconds
    std::string text;
};

class UpsModel {
public:
    explicit UpsModel(const ModelConfig& config = {});

    double now() const { return now_; }
    // Moves the clock forward, firing timers and battery thresholds at their
    // exact times even when called with large steps.
    void advance_to(double t);

    Status status() const;
    void execute(const Command& c);

    void set_mains(bool present);
    void set_input_voltage(double v);
    void set_fault_voltage(double v);
    void set_frequency(double hz);
    void set_load(int percent) { load_ = percent; }
    void set_temperature(double c) { temperature_ = c; }
    void set_battery(double v);
    void set_drain_rate(double v_per_s) { config_.drain_rate = v_per_s; }
    void set_charge_rate(double v_per_s) { config_.charge_rate = v_per_s; }
    void set_failed(bool failed) { failed_ = failed; }
    void set_standby_type(bool standby) { config_.standby_type = standby; }
    void set_beeper(bool on) { beeper_ = on; }
    void set_per_cell(bool on) { config_.per_cell = on; }
    void start_test(double seconds); // seconds <= 0: until battery low
    void cancel_test();
    void shutdown(double delay_seconds, int restore_minutes); // restore_minutes < 0: none
    void cancel_shutdown();

    bool mains_present() const { return mains_; }
    bool utility_fail() const;
    bool output_on() const { return output_on_; }
    bool testing() const { return test_ != Test::None; }
    bool discharging() const { return output_on_ && (utility_fail() || testing()); }
    bool shutdown_pending() const { return shutdown_timer_ >= 0; }
    bool battery_low() const { return battery_low_; }
    bool beeper() const { return beeper_; }
    double battery() const { return battery_; }
    const ModelConfig& config() const { return config_; }

    // What happened since the last call, in words, for the log.
    std::vector<Note> take_notes();

private:
    enum class Test { None, Timed, UntilLow };
    enum class Restore { None, OnMainsReturn, AfterTimer, Armed };

    double next_internal_event() const;
    void integrate(double dt);
    void fire_due();
    void settle(); // reacts to the current state after any change
    void switch_off(bool by_command, Restore restore);
    void end_test(const char* why);
    double shown_input() const { return mains_ ? input_ : 0.0; }
    void note(std::string text) { notes_.push_back({now_, std::move(text)}); }

    ModelConfig config_;
    double now_ = 0;

    bool mains_ = true;
    double input_;
    double frequency_;
    double fault_voltage_ = 0;
    bool fault_latched_ = false;
    bool was_failing_ = false;
    int load_;
    double temperature_;
    double battery_;
    bool battery_low_ = false;
    bool failed_ = false;
    bool beeper_;

    Test test_ = Test::None;
    double test_timer_ = -1;

    double shutdown_timer_ = -1;
    int restore_minutes_ = -1;
    bool output_on_ = true;
    bool off_by_command_ = false;
    Restore restore_ = Restore::None;
    double restore_timer_ = -1;

    std::vector<Note> notes_;
};

} // namespace upssim
