#!/usr/bin/env bash
# StatInterval 0 writes no statistics at all (not even at a transition or at exit);
# StatInterval 2500 writes about one record per 2.5 s.
source "$(dirname "$0")/lib.sh"

new_program_dir "StatInterval=0"
start_simulator -- "6 mains off" "9 mains on" "40 quit"
start_kovrin
sleep 14
stop_kovrin
check "StatInterval 0: empty Stat.ups" [ ! -s "$WORK/Stat.ups" ]
stop_simulator

new_program_dir "StatInterval=2500"
start_simulator -- "60 quit"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link"
sleep 15
stop_kovrin
n=$(stats_csv | wc -l)
first=$(stats_csv | head -n1 | cut -d, -f1)
last=$(stats_csv | tail -n1 | cut -d, -f1)
echo "StatInterval 2500: $n records from $first to $last"
check "about one record per 2.5 s ($n in ~15 s)" test "$n" -ge 6 -a "$n" -le 10
finish
