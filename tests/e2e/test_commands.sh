#!/usr/bin/env bash
# The custom command list with the real monitor and the simulated UPS: a command made in
# the editor ("Автоматическое выключение и включение", ".5", 10) is stored, the monitor
# reloads the list, and executed it reaches the UPS as "S.5R0010"; a user command echoes
# its text in the terminal before the UPS's answer.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000"
start_simulator --company "Test Power Co" --model "Sim-1000" --firmware "2.01" -- "600 quit"
start_kovrin
sleep 3
check "the window opens" open_dialog 30
ui tab 1 >/dev/null

editor_open() { local i; for i in $(seq 1 50); do ui windows | grep -q "Редактор команд" && return 0; sleep 0.2; done; return 1; }
editor_gone() { local i; for i in $(seq 1 50); do ui windows | grep -q "Редактор команд" || return 0; sleep 0.2; done; return 1; }
list_has() { local i; for i in $(seq 1 50); do ui list 250 | grep -qxF "$1" && return 0; sleep 0.2; done; return 1; }
commands_dump() { "$DUMP" --commands "$WORK/CustCmds.ups"; }

ui click 252 >/dev/null
check "Новая... opens the editor" editor_open
ui set-text 1000 "Выключение на 10 минут" >/dev/null
ui select 1001 5 >/dev/null
ui select 1032 3 >/dev/null # ".5"
ui set-text 1033 10 >/dev/null
ui click 1098 >/dev/null
check "OK closes it" editor_gone
check "the list shows the command" list_has "1	Выключение на 10 минут"
check "the file holds it" grep -qF 'code 6 CMD_SHUTDOWNRESTORE  description "Выключение на 10 минут"  parameter ".5 0010"' <(commands_dump)
check "the monitor reloaded the list" wait_for_journal "Применение настроек команд." 10

ui click 252 >/dev/null
check "the editor again" editor_open
ui set-text 1000 "Состояние" >/dev/null
ui select 1001 8 >/dev/null
ui set-text 1034 "Q1" >/dev/null
ui click 1098 >/dev/null
check "the user command is made" list_has "2	Состояние"

ui select-row 250 0 >/dev/null
ui click 251 >/dev/null
sim_received() { local i; for i in $(seq 1 50); do grep -q "RX \"$1\"" "$WORK/sim.log" && return 0; sleep 0.2; done; return 1; }
check "Выполнить sends S.5R0010 to the UPS" sim_received "S.5R0010"
sleep 1
check "a switch-off shows nothing in the terminal" [ -z "$(ui_text 500 | tr -d '\n')" ]

ui select-row 250 1 >/dev/null
ui click 251 >/dev/null
terminal_has_answer() { local i; for i in $(seq 1 50); do [ "$(ui_text 500 | sed -n 2p | cut -c1)" = "(" ] && return 0; sleep 0.2; done; return 1; }
check "the user command's answer arrives" terminal_has_answer
check "after its echo" [ "$(ui_text 500 | sed -n 1p)" = "Q1" ]
ui tab 4 >/dev/null
sleep 0.5
check "the echo in the terminal's colour" [ "$(ui line-color 500 0)" = FFFFFF ]
check "the answer in yellow" [ "$(ui line-color 500 1)" = FFFF00 ]

# Cancel the switch-off that was started, with a command made for it.
ui tab 1 >/dev/null
ui click 252 >/dev/null
editor_open
ui set-text 1000 "Отмена" >/dev/null
ui select 1001 6 >/dev/null
ui click 1098 >/dev/null
list_has "3	Отмена"
ui select-row 250 2 >/dev/null
ui click 251 >/dev/null
check "the cancel reaches the UPS as C" sim_received "C"

post_message 273 2 0
ui_ok wait-gone 20
stop_kovrin
finish
