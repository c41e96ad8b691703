#!/usr/bin/env bash
# The window library with the real monitor: a click on the tray icon opens the main
# window (once, however often it is clicked), which shows what the simulated UPS reports;
# a mains failure lights its indicator and runs the time on battery; the menu's close
# item closes it and unloads the library, and the next click opens a fresh window.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=500"
start_simulator --company "Test Power Co" --model "Sim-1000" --firmware "2.01" -- "40 mains off"
start_kovrin
sleep 3

tray_click
tray_click
check "the window opens" ui_ok wait-main 20
sleep 1
check "one window for two clicks" [ "$(ui count-main)" = 1 ]
check "the caption" [ "$(ui caption)" = "Tarvo [version 0.35b]" ]
# The UPS pads its texts to their columns; the window shows them as they came.
maker() { ui_text 200 | sed 's/ *$//'; }
wait_maker() { local i; for i in $(seq 1 50); do [ "$(maker)" = "Test Power Co" ] && return 0; sleep 0.2; done; return 1; }
check "the maker from the UPS" wait_maker
check "the model" [ "$(ui_text 201 | sed 's/ *$//')" = "Sim-1000" ]
check "the version" [ "$(ui_text 202 | sed 's/ *$//')" = "2.01" ]
check "the rated voltage" [ "$(ui_text 204)" = "220.0" ]
check "the rated frequency" [ "$(ui_text 206)" = "50.0" ]
check "the input voltage on its dial" [ -n "$(ui_text 100)" ]
input_dial=$(ui_text 100)
check "reads like the simulator's input ($input_dial)" awk -v v="$input_dial" 'BEGIN { exit !(v > 200 && v < 260) }'
check "mains present: 'Сбой сети' not lit" [ "$(ui color 120)" != FF0000 ]
check "the library is loaded" ui_ok has-module DIALOG.DLL
ui tab 0
screenshot "$WORK/state.png" || true

# The simulator's mains fail at 40 s.
lit=
for _ in $(seq 1 240); do
    [ "$(ui color 120)" = FF0000 ] && { lit=1; break; }
    sleep 0.25
done
check "mains failure lights 'Сбой сети'" [ -n "$lit" ]
t1=$(ui_text 107)
sleep 2.5
t2=$(ui_text 107)
check "the time on battery runs ($t1, then $t2)" [ "$t1" != "$t2" ]

# Menu item 2: the dialog is closed and the library unloaded.
post_message 273 2 0
check "menu item 2 closes the window" ui_ok wait-gone 20
sleep 1
check "and the library is unloaded" [ "$(wine "$KOVRIN_UI" has-module DIALOG.DLL >/dev/null 2>&1; echo $?)" = 1 ]

check "the next click opens a fresh window" open_dialog 20
check "with the UPS's maker again" wait_maker
check "and the mains failure lit" [ "$(ui color 120)" = FF0000 ]
post_message 273 2 0
ui_ok wait-gone 20

stop_kovrin
check "ended in order" [ "$(journal_count "Выход.")" = 1 ]
finish
