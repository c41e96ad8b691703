#!/usr/bin/env bash
# The configured port is not there at start: "Не удалось открыть порт." once, the monitor
# keeps running, and applying the settings once a port is there brings the link.
# (Under Wine a mapped COM port opens even while its device is missing, so the settings
# name an unmapped port first and the simulator's port when they are applied.)
source "$(dirname "$0")/lib.sh"

new_program_dir "Port=COM8
DevLog=dev.log"
start_simulator -- "90 quit"
start_kovrin
wait_for_journal "Не удалось открыть порт." 30 || fail "no port error within 30 s"
sleep 5
check "no polls while the port is missing" [ -z "$(sim_poll_times)" ]
printf 'Port=COM1\r\nDevLog=dev.log\r\n' >"$WORK/Kovrin.ini"
post_message 1025 0 0 # UM_APPLYSETTINGS, all settings
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link after applying the settings"
sleep 3
stop_kovrin

check "port error journaled once" [ "$(journal_count "Не удалось открыть порт.")" = 1 ]
check "settings applied" [ "$(journal_count "Применение настроек...")" = 1 ]
check "open error in the device log" grep -q '^!?Port open error (2)$' <(devlog_lines)
check "polls after the recovery" [ -n "$(sim_poll_times)" ]
check "ended in order" [ "$(journal_texts | tail -n2 | head -n1)" = "Выход." ]
finish
