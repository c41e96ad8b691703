#!/usr/bin/env bash
# The journal page and the diagram with the real monitor: the journal's entries newest
# first, live ones at the top, the filter, clearing while the monitor keeps writing (its
# next entry starts the file again), and the diagram over the statistics it records,
# whose choices the settings file keeps.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=1000"
start_driven_simulator --
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 60 || fail "no link"
sleep 3
check "the window opens" open_dialog 30
ui tab 3

texts() { ui list 400 | cut -f4; }
top_text() { texts | head -n1; }

check "the oldest entry at the bottom" [ "$(texts | tail -n1)" = "Запуск..." ]
check "one row per entry" [ "$(texts | wc -l)" = "$(journal_texts | wc -l)" ]
check "the port column" [ "$(ui list 400 | head -n1 | cut -f2)" = COM1 ]

sim_do mains off
failure_on_top() { [ "$(top_text)" = "Сбой питающей сети." ]; }
check "a live entry comes in at the top" wait_until 20 failure_on_top

ui select 401 2 # "Предупреждения"
warnings() { journal_csv | awk -F, '$2 == 2' | journal_texts_of | sort; }
filtered() { [ "$(texts | sort)" = "$(warnings)" ]; }
check "the filter shows the warnings only ($(warnings | tr '\n' ';'))" wait_until 10 filtered
check "the failure among them" grep -qxF "Сбой питающей сети." <(texts)
ui select 401 0

# Clearing while the monitor is on battery and writing.
ui_ok click 402
check "a question box" wait_until 10 find_box
check "clear asks" [ "$(box_text | head -n1)" = "Внимание" ]
answer_box 6
empty_list() { [ -z "$(texts)" ]; }
check "the list is emptied" wait_until 10 empty_list
check "the journal file is gone" [ ! -f "$WORK/Kovrin.lgb" ]
sim_do mains on
return_on_top() { [ "$(top_text)" = "Работа питающей сети возобновлена." ]; }
check "the next entry shows alone" wait_until 20 return_on_top
one_record() { [ "$(file_size "$WORK/Kovrin.lgb")" = 116 ]; }
check "and starts the file again with that entry" wait_until 10 one_record

# ---- The diagram over the day's statistics.
today=$(date +%d.%m.%y)
ui_ok click 403
diagram_open() { ui windows | grep -q $'\tДиаграмма\t'; }
check "the diagram opens" wait_until 10 diagram_open
ui set-text 1201 "$today"
ui set-text 1202 00:00:00
ui select 1204 6 # "сутки"
ui_ok click 1205
drawn() { ui text 1200 | head -n1 | grep -q '^Точек: [1-9]'; }
check "the day's statistics are drawn ($(ui text 1200 | head -n1))" wait_until 10 drawn
input=$(ui text 1200 | grep '^Входное напряжение:' | cut -d' ' -f3)
check "input voltage near the simulator's ($input)" awk -v v="$input" 'BEGIN { exit !(v > 200 && v < 240) }'

ui_ok click 1203
range_open() { ui windows | grep -q "Выбор начальной точки"; }
check "the range window opens" wait_until 10 range_open
check "its days are today's" [ "$(ui text 1301)" = "$(date +%d.%m.%Y)" ]
ui_ok click 1305
range_gone() { ! range_open; }
check "and closes" wait_until 10 range_gone
ui key 1201 27 # Escape
diagram_gone() { ! diagram_open; }
check "Escape closes the diagram" wait_until 10 diagram_gone
check "its choices are in the settings file" \
    grep -q "^Length=6" <(tr -d '\r' <"$WORK/Kovrin.ini")
check "beside the monitor's" grep -q "^StatInterval=1000" <(tr -d '\r' <"$WORK/Kovrin.ini")

post_message 273 2 0
ui_ok wait-gone 20
stop_kovrin
finish
