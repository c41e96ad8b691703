#!/usr/bin/env bash
# Data files of a size no layout explains, and of the previous layout, at start. A
# journal torn inside a record asks whether to convert: No, and Yes followed by the
# error box, both end in "Аварийное завершение работы." without touching the port; so
# does a journal that cannot be opened at all. Rules of the previous layout are
# converted on Yes and then run.
source "$(dirname "$0")/lib.sh"

INI="DevLog=dev.log"
# Three whole journal entries and 50 bytes of a fourth.
torn_journal() {
    python3 - "$WORK/Kovrin.lgb" <<'PY'
import struct, sys
def entry(text):
    t = text.encode("cp1251")
    return struct.pack("<Bd", 1, 46000.5) + bytes([4]) + b"COM1\0" + bytes([len(t)]) + t.ljust(100, b"\0")
open(sys.argv[1], "wb").write(entry("one") + entry("two") + entry("three") + entry("four")[:50])
PY
    cp "$WORK/Kovrin.lgb" "$WORK/journal.before"
}
wait_box() { local i; for i in $(seq 1 100); do find_box && return 0; sleep 0.2; done; return 1; }
QUESTION="Внимание!|Версия файлов данных отличается от текущей версии программы, попытаться сконвертировать?|"
UNKNOWN="Ошибка!|Не удалось определить версию файлов данных, продолжение работы невозможно.|"

# Answered No: the monitor ends at once.
new_program_dir "$INI"
torn_journal
add_rule 1 11 9 'STARTED'
start_simulator -- "60 quit"
start_kovrin
wait_box || fail "no question"
check "the question" [ "$(box_text | tr '\n' '|')" = "$QUESTION" ]
answer_box 7
check "No: the monitor ends by itself" wait_kovrin_exit 15
check "with exit status 0 (got ${KOVRIN_STATUS:-none})" [ "${KOVRIN_STATUS:-}" = 0 ]
check "the earlier entries unchanged" cmp -s -n 348 "$WORK/Kovrin.lgb" "$WORK/journal.before"
check "then the emergency entry alone, kind 3" \
    [ "$(journal_csv | tail -n +4 | cut -d, -f2,4 | tr '\n' '|')" = "3,Аварийное завершение работы.|" ]
check "no rule ran" [ "$(journal_count STARTED)" = 0 ]
check "the port was never opened" [ ! -e "$WORK/dev.log" ]
check "nothing sent to the UPS" [ -z "$(awk '$2 == "RX"' "$WORK/sim.log")" ]
check "the rules file untouched" [ "$(file_size "$WORK/Events.ups")" = 516 ]
stop_simulator
wineserver -k 2>/dev/null || true

# Answered Yes: no layout fits, the error box, the same end.
new_program_dir "$INI"
torn_journal
start_simulator -- "60 quit"
start_kovrin
wait_box || fail "no question"
answer_box 6
sleep 1
check "Yes: the error box" [ "$(box_text | tr '\n' '|')" = "$UNKNOWN" ]
answer_box 1
check "the monitor ends by itself" wait_kovrin_exit 15
check "with exit status 0 (got ${KOVRIN_STATUS:-none})" [ "${KOVRIN_STATUS:-}" = 0 ]
check "then the emergency entry alone" \
    [ "$(journal_texts | tail -n +4 | tr '\n' '|')" = "Аварийное завершение работы.|" ]
check "no conversion left behind" [ -z "$(ls "$WORK" | grep '\.tmp$')" ]
check "nothing sent to the UPS" [ -z "$(awk '$2 == "RX"' "$WORK/sim.log")" ]
stop_simulator
wineserver -k 2>/dev/null || true

# A directory where the journal should be: the error box, then the same end; the
# emergency entry has nowhere to go, and the directory is left alone.
new_program_dir "$INI"
mkdir "$WORK/Kovrin.lgb"
start_simulator -- "60 quit"
start_kovrin
wait_box || fail "no box"
check "the error box names the journal" \
    [ "$(box_text | tr '\n' '|')" = "Ошибка!|Нет доступа к файлу данных $(wine winepath -w "$WORK" 2>/dev/null | tr -d '\r')\\Kovrin.lgb, продолжение работы невозможно.|" ]
answer_box 1
check "the monitor ends by itself" wait_kovrin_exit 15
check "with exit status 0 (got ${KOVRIN_STATUS:-none})" [ "${KOVRIN_STATUS:-}" = 0 ]
check "the directory is still there" [ -d "$WORK/Kovrin.lgb" ]
check "nothing sent to the UPS" [ -z "$(awk '$2 == "RX"' "$WORK/sim.log")" ]
stop_simulator
wineserver -k 2>/dev/null || true
rmdir "$WORK/Kovrin.lgb"

# Rules of the previous layout (260 bytes each): converted on Yes, then run.
new_program_dir "$INI"
python3 - "$WORK/Events.ups" <<'PY'
import struct, sys
def rule(rid, source, action, text):
    t = text.encode("cp1251")
    return struct.pack("<HBB", rid, source, action) + bytes([len(t)]) + t.ljust(255, b"\0")
open(sys.argv[1], "wb").write(rule(1, 11, 9, "СТАРТ") + rule(2, 14, 9, "СВЯЗЬ"))
PY
start_simulator -- "60 quit"
start_kovrin
wait_box || fail "no question"
answer_box 6
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link after the conversion"
sleep 2
check "no second box" not find_box
stop_kovrin
check "rules converted to two records of 516 bytes" [ "$(file_size "$WORK/Events.ups")" = 1032 ]
check "both converted rules ran" [ "$(journal_texts | grep -x 'СТАРТ\|СВЯЗЬ' | tr '\n' '|')" = "СТАРТ|СВЯЗЬ|" ]
check "no conversion left behind" [ -z "$(ls "$WORK" | grep '\.tmp$')" ]
check "ended in order" [ "$(journal_texts | tail -n3 | tr '\n' '|')" = "Завершение работы...|Выход.||" ]
finish
