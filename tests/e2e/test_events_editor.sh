#!/usr/bin/env bash
# Rules made in the event editor, with the real monitor: a journal rule for the mains
# failure runs at the simulator's next failure and its entry comes in at the top of the
# journal page while the window is open; "Тест" runs a rule at once; an expression rule
# "%BATT < 12.5" fires as the simulated battery falls through 12.5 V.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000"
start_driven_simulator --
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 60 || fail "no link"
check "the window opens" open_dialog 30

rules() { "$DUMP" --csv --rules "$WORK/Events.ups" 2>/dev/null | tail -n +2; }
editor_open() { ui windows | grep -q "Редактор событий"; }
editor_gone() { ! editor_open; }
# The journal page's top row: kind image column, port, time, text.
top_text() { ui list 400 | head -n1 | cut -f4; }

# ---- A journal rule for the mains failure, made in the editor.
ui tab 2
ui_ok click 304 # "Новое..."
check "the editor opens" wait_until 10 editor_open
ui select 1100 0 # "Сбой питающей сети"
ui select 1101 9 # the journal action
ui set-text 1109 'MAINS $BATT'
ui_ok click 1110 # OK
check "the editor closes with OK" wait_until 10 editor_gone
check "the rule is in Events.ups" [ "$(rules | cut -d, -f1,2,4,6)" = '1,0,9,MAINS $BATT' ]
check "the list shows it" [ "$(ui list 300)" = "$(printf '1\tСбой питающей сети\tЗапись в протокол')" ]
check "the monitor reloads its rules" wait_for_journal "Применение настроек событий." 10

ui tab 3
sim_do mains off
mains_entry() { [[ "$(top_text)" =~ ^MAINS\ [0-9]+\.[0-9]{2}$ ]]; }
check "the rule's entry tops the journal page at the failure" wait_until 20 mains_entry
echo "top of the journal page: $(top_text)"
check "and it is in the journal file" [ "$(journal_texts | grep -c '^MAINS ')" = 1 ]
sim_do mains on
wait_for_journal "Работа питающей сети возобновлена." 20 || fail "mains did not return"

# ---- "Тест" runs the selected rule at once.
ui tab 2
ui_ok select-row 300 0
ui_ok click 301
two_entries() { [ "$(journal_texts | grep -c '^MAINS ')" = 2 ]; }
check "Тест runs the rule" wait_until 10 two_entries

# ---- An expression rule: the battery falling through 12.5 V.
ui_ok click 304
check "the editor opens again" wait_until 10 editor_open
ui select 1100 10 # "Справедливость выражения"
ui select 1102 2  # "Напряжение батареи"
ui select 1103 3  # "<"
ui set-text 1104 12.5
ui select 1101 9
ui set-text 1109 'LOW $BATT'
ui_ok click 1110
check "the second editor closes" wait_until 10 editor_gone
check "the expression as the monitor reads it" \
    [ "$(rules | sed -n 2p | cut -d, -f1,2,6,7)" = '2,10,LOW $BATT,%BATT < 12.5' ]
sleep 2
ui tab 3
sim_do drain 0.2
sim_do mains off
low_entry() { journal_texts | grep -q '^LOW '; }
check "the expression fires as the battery falls" wait_until 40 low_entry
low=$(journal_texts | grep '^LOW ' | head -n1 | cut -d' ' -f2)
echo "expression entry: LOW $low"
check "just below 12.5 V ($low)" awk -v v="$low" 'BEGIN { exit !(v < 12.5 && v >= 12.0) }'
check "once" [ "$(journal_texts | grep -c '^LOW ')" = 1 ]
low_on_page() { ui list 400 | head -n3 | grep -q $'\tLOW '; }
check "and on the journal page" wait_until 10 low_on_page
sim_do mains on

post_message 273 2 0
ui_ok wait-gone 20
stop_kovrin
finish
