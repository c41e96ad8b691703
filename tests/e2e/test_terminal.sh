#!/usr/bin/env bash
# The terminal with the real monitor and the simulated UPS: a typed "Q1" reaches the UPS
# and its answer comes back in yellow; a UPS that keeps silent gives the grey line and the
# window is usable again; the exchanges are there again at the next opening.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000"
start_driven_simulator --company "Test Power Co" --model "Sim-1000" --firmware "2.01" --
start_kovrin
sleep 3
check "the window opens" open_dialog 30
ui tab 4 >/dev/null

terminal_lines() { ui_text 500; }
# Waits until the terminal's line N (from 0) is the given text.
wait_line() { # n text [seconds]
    local i
    for i in $(seq 1 $((${3:-10} * 5))); do
        [ "$(terminal_lines | sed -n "$(($1 + 1))p")" = "$2" ] && return 0
        sleep 0.2
    done
    return 1
}
wait_line_like() { # n pattern [seconds]
    local i
    for i in $(seq 1 $((${3:-10} * 5))); do
        terminal_lines | sed -n "$(($1 + 1))p" | grep -qE "$2" && return 0
        sleep 0.2
    done
    return 1
}
enter() { ui key 500 13 >/dev/null; }
no_wait_window() { ! ui windows | grep -q "Ожидайте!"; }

ui type 500 "Q1" >/dev/null
sleep 0.5
enter
check "the typed Q1 stays as the first line" wait_line 0 "Q1"
check "the UPS's status line comes back under it" wait_line_like 1 '^\(2[0-9]{2}\.[0-9] ' 10
check "the command went to the UPS as a user command" grep -q "#!Perform command (11" <(devlog_lines)
check "the answer is yellow" [ "$(ui line-color 500 1)" = FFFF00 ]
check "the command line is white" [ "$(ui line-color 500 0)" = FFFFFF ]
check "no wait window is left" no_wait_window
check "the window takes input again" ui_ok enabled 500

# A UPS that keeps silent for a while: no answer within the monitor's wait.
sim_do "silent 4"
ui type 500 "F" >/dev/null
sleep 0.3
enter
sleep 0.5
check "while the command waits, the wait window shows" bash -c 'wine "$KOVRIN_UI" windows 2>/dev/null | iconv -f CP1251 -t UTF-8 | grep -q "Ожидайте!"'
check "the grey line appears" wait_line 3 "<нет ответа от UPS>" 15
check "in grey" [ "$(ui line-color 500 3)" = 808080 ]
check "and the wait window is gone" no_wait_window
sleep 5
ui type 500 "I" >/dev/null
sleep 0.3
enter
check "the next command is answered again" wait_line_like 5 '^#Test Power Co' 15
check "in yellow" [ "$(ui line-color 500 5)" = FFFF00 ]

# The final close keeps the history; the next opening shows it with its colours.
post_message 273 2 0
check "the window closes" ui_ok wait-gone 20
check "the history is kept as RTF" grep -q '^{\\rtf' "$WORK/Term.ups"
check "the window opens again" open_dialog 30
ui tab 4 >/dev/null
check "with the history" wait_line 0 "Q1" 5
check "its answer still yellow" [ "$(ui line-color 500 1)" = FFFF00 ]
check "its grey line still grey" [ "$(ui line-color 500 3)" = 808080 ]
check "and the empty line for the next command" [ "$(terminal_lines | sed -n 7p)" = "" ]

# The information command asked for directly (no argument): the monitor answers with the
# record of the identification, 38 bytes of three length-prefixed fields, which the
# terminal shows as it shows every answer (the length byte 10 reads as a line break).
post_message 1032 9 0
info_lines() { terminal_lines | grep -A2 $'^\x0f'; }
info_shown() { [ "$(info_lines | wc -l)" = 3 ]; }
check "the information command is answered in the terminal" wait_until 10 info_shown
check "with the 38-byte record: 15, maker; 10, model; 10, version" \
    [ "$(info_lines | od -An -c | tr -s ' ' | tr -d '\n')" = \
      "$(printf '\x0fTest Power Co  \nSim-1000  \n2.01      \n' | od -An -c | tr -s ' ' | tr -d '\n')" ]
check "the UPS was asked with I" grep -q '#!Perform command (9' <(devlog_lines)
post_message 273 2 0
ui_ok wait-gone 20

stop_kovrin
finish
