#!/usr/bin/env bash
# The window never holds the monitor: its closes by the tray menu leave no gap in the
# polls, and neither does the question a close asks while a battery calibration runs, for
# as long as it waits for the user.
source "$(dirname "$0")/lib.sh"

new_program_dir "[Main]
DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=10000"
start_simulator -- "0 load 20"
start_kovrin
sleep 3
last_poll() { sim_poll_times | tail -n 1; }
# The longest gap between polls in [from, to] (simulator seconds), and their count.
longest_gap() { poll_gaps "$1" "$2" | sort -n | tail -n 1; }
gap_count() { poll_gaps "$1" "$2" | wc -l; }
# On a busy machine a poll may come late; a held monitor misses whole seconds.
within() { awk -v g="${1:-99}" 'BEGIN { exit !(g < 1.7) }'; }

from=$(last_poll)
for i in 1 2 3; do
    check "opening $i" open_dialog 30
    sleep 1.5
    post_message 273 2 0
    check "closing $i by the menu" ui_ok wait-gone 20
    sleep 1.5
done
to=$(last_poll)
gap=$(longest_gap "$from" "$to")
check "three openings and closes held no poll (longest gap ${gap} s over $(gap_count "$from" "$to"))" within "$gap"

# A calibration, and the menu's close asks whether to end it; the question waits 10 s.
check "the window opens for the calibration" open_dialog 30
ui tab 5 >/dev/null
battery_known() { local i; for i in $(seq 1 60); do
    v=$(ui_text 102); awk -v v="$v" 'BEGIN { exit !(v > 13) }' && return 0; sleep 0.25; done; return 1; }
check "the battery voltage is known" battery_known
ui click 609 >/dev/null
answer_box 6
got_t99() { local i; for i in $(seq 1 50); do grep -q 'RX "T99"' "$WORK/sim.log" && return 0; sleep 0.2; done; return 1; }
check "the calibration runs (the UPS got T99)" got_t99
post_message 273 2 0
asked() { local i; for i in $(seq 1 50); do box_text | grep -q "во время калибровки" && return 0; sleep 0.2; done; return 1; }
check "the close asks about the calibration" asked
from=$(last_poll)
sleep 10
check "the question is still there after 10 s" asked
to=$(last_poll)
gap=$(longest_gap "$from" "$to")
count=$(gap_count "$from" "$to")
check "the polls went on meanwhile ($count polls, longest gap ${gap} s)" within "$gap"
check "at their interval" [ "$count" -ge 8 ]
answer_box 6
check "Yes ends the calibration and the window" ui_ok wait-gone 20
got_cancel() { local i; for i in $(seq 1 50); do grep -q 'RX "CT"' "$WORK/sim.log" && return 0; sleep 0.2; done; return 1; }
check "the UPS's test was cancelled" got_cancel

stop_kovrin
check "ended in order" [ "$(journal_count "Выход.")" = 1 ]
finish
