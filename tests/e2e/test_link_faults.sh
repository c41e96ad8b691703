#!/usr/bin/env bash
# Stale bytes, then garbage, then silence: each is logged as such, no wrong value reaches
# the records, and the link comes back when the UPS answers properly again.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
StatInterval=1000"
start_simulator -- "8 stale 1500" "12 garble 4" "20 silent 6" "40 quit"
start_kovrin
sleep 34
stop_kovrin

log=$(devlog_lines)
check "stale input drained under ?>" grep -q '^?>' <<<"$log"
check "garbage rejected with an answer error" grep -qE '^#\?Answer error \([0-9]+, [0-9]+, [0-9]+, [0-9]+\)$' <<<"$log"
check "silence logged as 2000, 0, 0, 0" grep -qF '#?Answer error (2000, 0, 0, 0)' <<<"$log"
# Four seconds of garbage and six of silence at a 1 s poll: the link is lost each time
# (three failed polls in a row) and comes back each time.
check "link lost twice" [ "$(journal_count "Нет ответа от UPS.")" = 2 ]
check "link regained twice" [ "$(journal_count "Связь с UPS успешно установлена.")" = 3 ]
# Every statistics record holds the simulator's steady values.
bad=$(stats_csv | awk -F, '$2 != "220.0" || $4 != "220.0" || $7 != "25.0" { print }')
check "no wrong values in the statistics" [ -z "$bad" ]
finish
