#!/usr/bin/env bash
# Mains failure and return: the journal entries with their kinds, polls every FailInterval
# on battery and every Interval again after the return, one statistics record at each
# transition, and the time on battery growing in the statistics.
source "$(dirname "$0")/lib.sh"

new_program_dir "Interval=2500
FailInterval=1000
StatInterval=3000"
start_simulator -- "8 mains off" "20 mains on" "45 quit"
start_kovrin
sleep 36
stop_kovrin

check "one mains failure entry" [ "$(journal_count "Сбой питающей сети.")" = 1 ]
check "one mains return entry" [ "$(journal_count "Работа питающей сети возобновлена.")" = 1 ]
check "failure is kind 2" grep -q ',2,COM1,Сбой питающей сети\.$' <(journal_csv)
check "return is kind 1" grep -q ',1,COM1,Работа питающей сети возобновлена\.$' <(journal_csv)

off=$(sim_event_time "mains off")
on=$(sim_event_time "mains on")
battery_gaps=$(poll_gaps "$(awk -v t="$off" 'BEGIN { print t + 2.8 }')" "$on")
mains_gaps=$(poll_gaps "$(awk -v t="$on" 'BEGIN { print t + 3 }')" 100)
echo "poll gaps on battery: $(echo $battery_gaps)"
echo "poll gaps on mains after the return: $(echo $mains_gaps)"
# Bounds wide enough for a busy machine, still far apart for the two intervals.
check "polls every ~1 s on battery" awk '{ if ($1 < 0.8 || $1 > 1.7) bad = 1; n++ } END { exit bad || n < 5 }' <<<"$battery_gaps"
check "polls every ~2.5 s after the return" awk '{ if ($1 < 2.2 || $1 > 3.3) bad = 1; n++ } END { exit bad || n < 3 }' <<<"$mains_gaps"

# Records on battery: the first is the transition's (time 0), later ones grow.
onbatt=$(stats_csv | awk -F, '$10 % 2 == 1 { print $12 }')
echo "time on battery in the records (s): $(echo $onbatt)"
check "transition record starts the period at 0 s" [ "$(head -n1 <<<"$onbatt")" = 0 ]
check "time on battery grows" awk 'NR > 1 && $1 <= p { bad = 1 } { p = $1 } END { exit bad || NR < 3 }' <<<"$onbatt"
# A transition or the quit may fall in the same second as a record of the interval;
# a flood would be a record on every poll (1 s on battery), far more than the interval's.
stamps=$(stats_csv | cut -d, -f1)
span=$(record_epochs stats "$WORK/Stat.ups" | awk 'NR == 1 { f = $1 } { l = $1 } END { printf "%d", l - f }')
echo "records: $(wc -l <<<"$stamps") over $span s"
check "no second holds more than two records" [ -z "$(uniq -c <<<"$stamps" | awk '$1 > 2')" ]
check "no flood of records at a transition" [ "$(wc -l <<<"$stamps")" -le $((span / 3 + 5)) ]
finish
