#!/usr/bin/env bash
# Data files beyond their limits at start: 51 rules and 51 custom commands (only the
# first 50 of each count), a statistics file torn inside its last record, and a journal
# of an earlier run. Nothing is asked, the 51st rule never runs, the 51st command is
# never sent, and the earlier records stay as they were.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
StatInterval=1000
Interval=1000"
for i in $(seq 1 48); do add_rule "$i" 11 9 "R$i"; done
add_rule 49 14 8 50 # link established: send custom command 50
add_rule 50 14 8 51 # and 51, which is not loaded
add_rule 51 11 9 R51
for i in $(seq 1 51); do add_command "$i" 11 "Команда $i" "X$i"; done
check "Events.ups holds 51 records" [ "$(file_size "$WORK/Events.ups")" = $((51 * 516)) ]
# Three whole statistics records and the first 20 bytes of a fourth; two journal entries.
python3 - "$WORK" <<'PY'
import struct, sys
d = sys.argv[1]
rec = lambda t: struct.pack("<d6fBBHdd", t, 230, 230, 230, 13.5, 50, 20, 10, 90, 0x20, 0, 0)
open(d + "/Stat.ups", "wb").write(rec(46000.5) + rec(46000.6) + rec(46000.7) + rec(46000.8)[:20])
def entry(text):
    t = text.encode("cp1251")
    return struct.pack("<Bd", 1, 46000.5) + bytes([4]) + b"COM7\0" + bytes([len(t)]) + t.ljust(100, b"\0")
open(d + "/Kovrin.lgb", "wb").write(entry("old one") + entry("old two"))
PY
cp "$WORK/Stat.ups" "$WORK/Stat.before"
start_simulator -- "60 quit"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link"
sleep 4
check "no question box" not find_box
stop_kovrin

mapfile -t texts < <(journal_texts)
check "the earlier entries kept first" [ "${texts[0]}|${texts[1]}" = "old one|old two" ]
rules=$(journal_texts | grep '^R[0-9]*$' | tr '\n' ' ')
check "rules 1 to 48 ran in file order" [ "$rules" = "$(printf 'R%s ' $(seq 1 48))" ]
check "rule 51 did not run" [ "$(journal_count R51)" = 0 ]
check "custom command 50 sent" grep -qF 'RX "X50"' "$WORK/sim.log"
check "custom command 51 not sent" not grep -qF 'RX "X51"' "$WORK/sim.log"
size=$(file_size "$WORK/Stat.ups")
check "statistics whole records again ($size bytes)" [ $((size % 52)) = 0 ]
check "the three whole records unchanged" cmp -s -n 156 "$WORK/Stat.ups" "$WORK/Stat.before"
check "new records follow them" [ "$(stats_csv | tail -n +4 | awk -F, '$2 == "220.0"' | wc -l)" -ge 3 ]
check "ended in order" [ "$(journal_texts | tail -n3 | tr '\n' '|')" = "Завершение работы...|Выход.||" ]
finish
