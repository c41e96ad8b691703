#!/usr/bin/env bash
# The settings page with the real monitor: "Применить" writes Kovrin.ini (keeping what the
# user and the diagram wrote there) and the monitor reloads it and polls at the new
# interval; the autorun box adds and removes the Run key's "Kovrin" value; closing the
# window writes its position.
source "$(dirname "$0")/lib.sh"

new_program_dir "; kept by hand
[Main]
DevLog=dev.log
Interval=2500
FailInterval=1000

[Diagramm]
BeginDate=01.12.2026"
start_simulator --company "Test Power Co" -- "600 quit"
RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
wine reg delete "$RUN" /v Kovrin /f >/dev/null 2>&1 || true
start_kovrin
sleep 3
check "the window opens" open_dialog 30
ui tab 5 >/dev/null
check "the poll interval from the file" [ "$(ui_text 600)" = "2500" ]
check "the port" [ "$(ui_text 604)" = "COM1" ]

polls_in() { # seconds: status polls the simulator receives meanwhile
    local a b
    a=$(grep -c 'RX "Q1"' "$WORK/sim.log")
    sleep "$1"
    b=$(grep -c 'RX "Q1"' "$WORK/sim.log")
    echo $((b - a))
}
slow=$(polls_in 6)
ui set-text 600 1000 >/dev/null
ui set-text 608 13.66 >/dev/null
ui click 612 >/dev/null
check "the monitor reloads the settings" wait_for_journal "Применение настроек..." 20
ini() { tr -d '\r' <"$WORK/Kovrin.ini"; }
check "Interval written" grep -qx "Interval=1000" <(ini)
check "the voltage with one decimal" grep -qx "MaxBattVoltage=13.7" <(ini)
check "the user's comment kept" grep -qx "; kept by hand" <(ini)
check "the diagram's section kept" grep -qx "BeginDate=01.12.2026" <(ini)
check "DevLog kept" grep -qx "DevLog=dev.log" <(ini)
sleep 2
fast=$(polls_in 6)
check "the monitor polls at the new interval ($slow, then $fast polls in 6 s)" [ "$fast" -ge $((slow + 2)) ]

ui click 613 >/dev/null
sleep 1
entry=$(wine reg query "$RUN" /v Kovrin 2>/dev/null | tr -d '\r' || true)
check "autorun ticked: the Run key holds Kovrin.exe's path" grep -qi 'Kovrin[[:space:]]*REG_SZ.*Kovrin\.exe' <<<"$entry"
ui click 613 >/dev/null
sleep 1
check "autorun cleared: the value is gone" not wine reg query "$RUN" /v Kovrin

post_message 273 2 0
check "the window closes" ui_ok wait-gone 20
check "its position written" grep -qx "FormLeft=[0-9-]*" <(ini)
check "and its top" grep -qx "FormTop=[0-9-]*" <(ini)
stop_kovrin
wine reg delete "$RUN" /v Kovrin /f >/dev/null 2>&1 || true
finish
