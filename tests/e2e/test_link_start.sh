#!/usr/bin/env bash
# A normal start against the simulator: the device log shows the port steps and the
# identification in order, and a status poll lands in the records with the simulator's values.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
StatInterval=2500"
start_simulator -- "0 load 25" "0 temp 31.5" "60 quit"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link within 30 s"
sleep 4
stop_kovrin

# The start's lines in order (DTR/RTS cannot be set on a pty, so their lines are absent).
expected=(
    "!!Port opened (COM1)"
    "!!Port timeouts set (2000)"
    "!!Port speed set (2400)"
    "#!Port initialization finished"
    "#!Perform command (9):"
    "<<I"
    ">>#SIMULATED CO.   UPSSIM-600 1.0.0     "
    "#!Perform command (10):"
    "<<F"
    ">>#220.0 003 12.00 50.0"
    "#!Perform command (9):"
    "<<I"
    ">>#SIMULATED CO.   UPSSIM-600 1.0.0     "
)
mapfile -t lines < <(devlog_lines | grep -v '^$' | sed -n '/=== Device log session/,$p' | tail -n +2)
for i in "${!expected[@]}"; do
    check "device log line $((i + 1)): ${expected[$i]}" [ "${lines[$i]:-}" = "${expected[$i]}" ]
done
check "device log has a status poll" grep -q '<<Q1' <(devlog_lines)
check "device log session ends with a footer" grep -q '^=== End log session \[' <(devlog_lines)

# The last statistics record (written as the loop ends) holds the parsed status.
last=$(stats_csv | tail -n1)
IFS=, read -r _ input fault output battery frequency temperature load _ flags _ <<<"$last"
check "input voltage 220.0 (got $input)" [ "$input" = "220.0" ]
check "output voltage 220.0 (got $output)" [ "$output" = "220.0" ]
check "battery voltage 13.60 (got $battery)" [ "$battery" = "13.60" ]
check "frequency 50.0 (got $frequency)" [ "$frequency" = "50.0" ]
check "temperature 31.5 (got $temperature)" [ "$temperature" = "31.5" ]
check "load 25 (got $load)" [ "$load" = "25" ]
check "flags: standby type and beeper (got $flags)" [ "$flags" = "$((0x0120))" ]
finish
