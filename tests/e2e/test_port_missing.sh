#!/usr/bin/env bash
# COM1 names a device that is not there at start: "Не удалось открыть порт." once, the
# monitor keeps running, and applying the settings after the device appeared brings the link.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log"
link=$WORK/ups-device
map_com1 "$link"
start_kovrin
wait_for_journal "Не удалось открыть порт." 30 || fail "no port error within 30 s"
sleep 4
SIM_NO_MAP=1 start_simulator -- "60 quit"
ln -sf "$SIM_PTY" "$link"
sleep 1
post_message 1025 0 0 # UM_APPLYSETTINGS, all settings
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link after applying the settings"
sleep 3
stop_kovrin

check "port error journaled once" [ "$(journal_count "Не удалось открыть порт.")" = 1 ]
check "settings applied" [ "$(journal_count "Применение настроек...")" = 1 ]
check "polls after the recovery" grep -q '<<Q1' <(devlog_lines)
check "ended in order" [ "$(journal_texts | tail -n2 | head -n1)" = "Выход." ]
finish
