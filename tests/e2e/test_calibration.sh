#!/usr/bin/env bash
# Battery calibration with the real monitor: the question answered, the UPS receives the
# long test "T99", the monitor's rules and statistics rest while the battery runs down,
# the UPS falls silent at its cut-off, and the window reports success with the voltages
# seen stored in Kovrin.ini; the monitor then reloads its settings.
source "$(dirname "$0")/lib.sh"

new_program_dir "[Main]
DevLog=dev.log
Interval=1000
FailInterval=500
StatInterval=1000"
# A rule that would journal the battery's low level: it must not run while suspended.
add_rule 1 2 9 "Правило сработало: батарея"
# A test that drains the battery to the cut-off, ten simulated seconds a second: full to
# empty in some 15 s.
start_simulator --deep-test --off-comm silent --speed 10 -- "0 drain 0.02"
start_kovrin
sleep 3
check "the window opens" open_dialog 30
ui tab 5 >/dev/null
ini() { tr -d '\r' <"$WORK/Kovrin.ini" | awk -F= -v k="$1" '$1 == k { print $2 }'; }
battery_known() { local i; for i in $(seq 1 60); do
    v=$(ui_text 102); awk -v v="$v" 'BEGIN { exit !(v > 13) }' && return 0; sleep 0.25; done; return 1; }
check "the battery voltage is known" battery_known
check "'Определить' is enabled" ui_ok enabled 609

ui click 609 >/dev/null
sleep 1
question=$(box_text || true)
check "the question is asked" grep -q "Эта функция позволяет экспериментальным путем" <<<"$question"
answer_box 6
got_t99() { local i; for i in $(seq 1 50); do grep -q 'RX "T99"' "$WORK/sim.log" && return 0; sleep 0.2; done; return 1; }
check "the UPS receives T99" got_t99
t99_at=$(date +%s.%N)
check "the button reads 'Остановить'" wait_ui_text 609 "Остановить" 5
check "the caption tells of the calibration" [ "$(ui caption)" = "Tarvo [version 0.35b]: Калибровка батареи." ]
check "MaxBattVoltage written at once ($(ini MaxBattVoltage))" [ "$(ini MaxBattVoltage)" = "13.6" ]

# The battery runs down; at the cut-off the UPS stops answering and the window says so.
box=
for _ in $(seq 1 240); do
    text=$(box_text || true)
    if grep -q "успешно завершена" <<<"$text"; then box=$text; box_at=$(date +%s.%N); break; fi
    sleep 0.5
done
check "the success message after the UPS fell silent" [ -n "$box" ]
check "its caption is 'Внимание!'" grep -q "^Внимание!" <<<"$box"
check "the simulator ran the battery down to its cut-off" grep -q "output off (battery exhausted)" "$WORK/sim.log"
check "the battery went low during the test" [ "$(journal_count "Батарея разряжена до минимального уровня.")" -ge 1 ]
check "no rule ran while the monitor was suspended" [ "$(journal_count "Правило сработало: батарея")" = 0 ]
stats=$(record_epochs stats "$WORK/Stat.ups")
check "statistics were written before the calibration" [ "$(awk -v a="$t99_at" '$1 < a' <<<"$stats" | wc -l)" -gt 0 ]
during=$(awk -v a="$t99_at" -v b="${box_at:-0}" '$1 > a && $1 < b' <<<"$stats" | wc -l)
check "no statistics written while it ran ($during records)" [ "$during" = 0 ]
answer_box 1
sleep 1
min=$(ini MinBattVoltage)
check "MinBattVoltage holds the last voltage seen ($min)" awk -v v="$min" 'BEGIN { exit !(v >= 10.4 && v <= 11.2) }'
check "MaxBattVoltage stays ($(ini MaxBattVoltage))" [ "$(ini MaxBattVoltage)" = "13.6" ]
check "the button reads 'Определить' again" [ "$(ui_text 609)" = "Определить" ]
# The monitor works off the posted cancel and refresh against the silent UPS first.
check "the monitor reloaded the settings" wait_for_journal "Применение настроек..." 30
# The reconnection finds the UPS silent still: its "no answer" box is closed.
sleep 3
close_box || true

post_message 273 2 0
ui_ok wait-gone 20 || true
stop_kovrin
finish
