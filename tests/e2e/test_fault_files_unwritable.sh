#!/usr/bin/env bash
# The journal and the statistics cannot be written for a while: the monitor goes on
# polling and running its rules (a program started at each transition leaves a mark),
# the entries of that time are lost, and writing resumes by itself once the files can
# be written again.
#
# Wine runs as root here, and root ignores permission bits, so a read-only mode proves
# nothing. The immutable attribute (chattr +i) stops root too, also on a file that is
# already open: the statistics file stays open for the whole run. The journal is opened
# anew for every entry, so it is also tried with a directory in its place.
source "$(dirname "$0")/lib.sh"

[ -d "$WORK" ] && chattr -R -i "$WORK" 2>/dev/null || true
trap 'chattr -i "$WORK/Kovrin.lgb" "$WORK/Stat.ups" 2>/dev/null; cleanup' EXIT
new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=1000"
add_rule 1 0 7 '"C:\windows\system32\cmd.exe" /c echo fail>> marks.txt'
add_rule 2 1 7 '"C:\windows\system32\cmd.exe" /c echo back>> marks.txt'
add_rule 3 0 9 'OFF $BATT'
start_driven_simulator
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link at the start"

toggle() { sim_do mains off; sleep 2.5; sim_do mains on; sleep 2.5; }
epoch() { date +%s.%N; }
toggle

# Immutable: neither file can be written, not even through the open handle.
locked_from=$(epoch)
chattr +i "$WORK/Kovrin.lgb" "$WORK/Stat.ups" || fail "chattr +i is not supported here"
toggle
toggle
chattr -i "$WORK/Kovrin.lgb" "$WORK/Stat.ups"
locked_to=$(epoch)
toggle

# A directory where the journal was.
mv "$WORK/Kovrin.lgb" "$WORK/kept.lgb"
mkdir "$WORK/Kovrin.lgb"
dir_from=$(epoch)
toggle
dir_to=$(epoch)
rmdir "$WORK/Kovrin.lgb"
mv "$WORK/kept.lgb" "$WORK/Kovrin.lgb"
toggle
check "the monitor still runs" kill -0 "$KOVRIN_PID"
stop_kovrin
sleep 2 # the last program started

in_window() { # from to < "EPOCH ..." lines: those inside, a quarter second inside each end
    awk -v a="$1" -v b="$2" '$1 > a + 0.25 && $1 < b - 0.25'
}
journal=$(record_epochs journal "$WORK/Kovrin.lgb")
stats=$(record_epochs stats "$WORK/Stat.ups")
made_off=$(sim_mains_changes | grep -c off)
made_on=$(sim_mains_changes | grep -c on)

check "polls went on throughout (longest gap $(poll_gaps 0 1e9 | sort -n | tail -n1) s)" \
    awk '$1 > 1.5 { bad = 1 } END { exit bad }' <(poll_gaps 0 1e9)
check "rules ran at every transition: $made_off off and $made_on on marks" \
    [ "$(tr -d '\r ' <"$WORK/marks.txt" | tr '\n' ' ')" = "$(sim_mains_changes | cut -d' ' -f2 | sed 's/off/fail/; s/on/back/' | tr '\n' ' ')" ]
check "no journal entry while immutable" [ -z "$(in_window "$locked_from" "$locked_to" <<<"$journal")" ]
check "no statistics record while immutable" [ -z "$(in_window "$locked_from" "$locked_to" <<<"$stats")" ]
check "no journal entry while a directory had its name" [ -z "$(in_window "$dir_from" "$dir_to" <<<"$journal")" ]
check "statistics written while the journal was a directory" \
    [ -n "$(in_window "$dir_from" "$dir_to" <<<"$stats")" ]
check "the failed journal writes are in the device log" \
    [ "$(devlog_lines | grep -c '^!?Journal write error (')" -ge 4 ]
after=$(awk -v t="$locked_to" '$1 > t' <<<"$journal")
check "journal written again after the lock" grep -q ' 2 Сбой питающей сети\.$' <<<"$after"
check "statistics written again after the lock" [ -n "$(awk -v t="$locked_to" '$1 > t' <<<"$stats")" ]
check "journal written again into the file put back" \
    grep -q ' 1 Работа питающей сети возобновлена\.$' <(awk -v t="$dir_to" '$1 > t' <<<"$journal")
# Of the six failures, two fell in the immutable time and one in the directory's.
check "three mains failures journaled of $made_off" [ "$(journal_count "Сбой питающей сети.")" = 3 ]
check "their rule texts with them" [ "$(journal_texts | grep -c '^OFF ')" = 3 ]
check "journal is whole records" [ $(($(file_size "$WORK/Kovrin.lgb") % 116)) = 0 ]
check "statistics are whole records" [ $(($(file_size "$WORK/Stat.ups") % 52)) = 0 ]
check "the records hold real values" \
    [ -z "$(awk '($2 != 220.0 && $2 != 0.0) || $3 != 220.0 || $5 != 25' <<<"$stats")" ]
check "ended in order" [ "$(journal_texts | tail -n3 | tr '\n' '|')" = "Завершение работы...|Выход.||" ]
finish
