#!/usr/bin/env bash
# Another program takes "Kovrin.lgb" away again and again while the monitor writes
# entries fast (the mains toggle every second, each transition writes its entry and two
# rule texts): every entry lands in the file that has the name at the moment, whole; the
# file is a whole number of records at every look; the monitor goes on.
#
# The file is taken away by renaming it, which is what deleting does from the monitor's
# side (the name is gone, a handle still open writes on into the old file), and leaves
# the removed files to be read afterwards, so that no entry can go missing unseen. Then
# a Windows program deletes it as the dialog does, as fast as it can; and once it is
# deleted outright at a quiet moment.
source "$(dirname "$0")/lib.sh"

new_program_dir "Interval=500
FailInterval=500
StatInterval=0
DevLog=dev.log"
add_rule 1 0 9 'OFF A $BATT'
add_rule 2 0 9 'OFF B'
add_rule 3 1 9 'ON A'
add_rule 4 1 9 'ON B'
start_driven_simulator
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link at the start"

watch_record_sizes "$WORK/Kovrin.lgb" 116 "$WORK/torn.txt" "$WORK/stop" "$WORK/samples.txt" &
watcher=$!
moved=0
take_away() { mv "$WORK/Kovrin.lgb" "$WORK/moved.$((moved + 1))" 2>/dev/null && moved=$((moved + 1)) || true; }
for i in $(seq 1 16); do
    sim_do mains off
    sleep 0.4
    take_away
    sleep 0.5
    sim_do mains on
    sleep 0.4
    take_away
    sleep 0.5 # each state outlasts a poll period, even when the timer is late
done
sleep 1
take_away
renamed=$moved
renamed_made=$(sim_mains_changes | wc -l)

# Deleted by a Windows program as the dialog clears the journal (DeleteFileA), as fast
# as it can, while the transitions go on: no entry may fail to be written.
(for i in $(seq 1 6); do sim_do mains off; sleep 0.9; sim_do mains on; sleep 0.9; done) &
toggles=$!
windows_deleted=$(cd "$WORK" && wine "$KOVRIN_POST" --delete-loop Kovrin.lgb 5 2000 | tr -d '\r')
wait "$toggles"
sleep 1
check "deleted ${windows_deleted:-0} times by a Windows program" [ "${windows_deleted:-0}" -ge 5 ]
check "no entry failed to be written" not grep -q '^!?Journal write error' <(devlog_lines)
take_away

# Deleted outright at a quiet moment, after the entries of one mains failure: the
# next entries start a new file.
sim_do mains off
for i in $(seq 1 20); do [ "$(file_size "$WORK/Kovrin.lgb")" = 348 ] && break; sleep 0.1; done
check "a mains failure's three entries in a fresh file" [ "$(file_size "$WORK/Kovrin.lgb")" = 348 ]
sleep 0.5
rm "$WORK/Kovrin.lgb"
sim_do mains on
sleep 1.5
check "after the deletion a new file with the return's entries" \
    [ "$(journal_texts | tr '\n' '|')" = "Работа питающей сети возобновлена.|ON A|ON B|" ]
check "the monitor still runs" kill -0 "$KOVRIN_PID"
stop_kovrin
touch "$WORK/stop"
wait "$watcher"

samples=$(cat "$WORK/samples.txt")
check "$samples looks at the file's size, every one a whole number of records" [ ! -s "$WORK/torn.txt" ]
head -5 "$WORK/torn.txt"
check "the file was taken away $moved times" [ "$moved" -ge 20 ]
whole=0
for f in "$WORK"/moved.* "$WORK/Kovrin.lgb"; do
    [ $(($(file_size "$f") % 116)) = 0 ] && whole=$((whole + 1)) || echo "torn: $f $(file_size "$f")"
done
check "every file left is whole records ($whole of $((moved + 1)))" [ "$whole" = $((moved + 1)) ]
check "the run ends in order in the last file" \
    [ "$(journal_texts | tail -n3 | tr '\n' '|')" = "Завершение работы...|Выход.||" ]
check "the end-of-run record last" [ "$(journal_csv | tail -n1 | cut -d, -f2)" = 0 ]

# The entries up to the Windows program's deletions, file after file in the order they
# were taken away: every one of the run's first part, in order.
renamed_entries() {
    local k
    for k in $(seq 1 "$renamed"); do "$DUMP" --csv --journal "$WORK/moved.$k" | tail -n +2; done
}
entries=$(renamed_entries)
texts=$(awk -F, '{ sub(/^[^,]*,[^,]*,[^,]*,/, ""); print }' <<<"$entries")
check "times never go back from one file to the next" \
    [ "$(cut -d, -f1 <<<"$entries" | awk '{ split($1, d, "."); print d[3] d[2] d[1], $2 }' | sort -c && echo y)" = y ]
check "the run's first entry is there" [ "$(head -n1 <<<"$texts")" = "Запуск..." ]
seen=$(grep -cxF -e 'Сбой питающей сети.' -e 'Работа питающей сети возобновлена.' <<<"$texts")
check "every transition journaled once ($renamed_made made, $seen kept)" [ "$seen" = "$renamed_made" ]
groups=$(awk '
    $0 == "Сбой питающей сети." { want = "OFF A,OFF B"; got = ""; next }
    $0 == "Работа питающей сети возобновлена." { want = "ON A,ON B"; got = ""; next }
    want != "" { sub(/ [0-9.]+$/, ""); got = got (got == "" ? "" : ",") $0
                 if (length(got) >= length(want)) { if (got != want) bad++; want = "" } }
    END { print bad + 0 }' <<<"$texts")
check "every transition entry followed by its two rule texts" [ "$groups" = 0 ]
check "failures and returns alternate" \
    [ "$(grep -xF -e 'Сбой питающей сети.' -e 'Работа питающей сети возобновлена.' <<<"$texts" | uniq -d | wc -l)" = 0 ]
finish
