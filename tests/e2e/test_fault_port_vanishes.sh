#!/usr/bin/env bash
# The serial device disappears while the monitor runs: the link is declared lost once,
# however long the device stays away, the monitor keeps running, and applying the
# settings brings the link back once a port is there again.
#
# Under Wine a COM port is mapped to its device only when the Wine server starts, and
# remapping needs `wineserver -k`, which would end the monitor too. So COM2 is mapped at
# the start to a second simulator that outlives the first, and the settings are pointed
# at COM2 when they are applied. (Reopening COM1 after its pty has gone is not tried:
# the freed pty number may already belong to somebody else's program by then.)
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=1000"
add_rule 1 13 9 'LOST'
add_rule 2 14 9 'UP'
start_simulator -- "0 load 30" "9 quit"
start_named_simulator spare -- "0 load 40" "0 temp 30" "120 quit"
map_port COM2 "$NAMED_SIM_PTY"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link at the start"
wait_for_journal "Нет ответа от UPS." 30 || fail "the vanished device was not noticed"
lost_at=$(date +%s)
# Well beyond three polls: further failed polls must add nothing.
sleep 8
check "the monitor still runs with the device gone" kill -0 "$KOVRIN_PID"
check "link lost once after $(($(date +%s) - lost_at)) s without the device" \
    [ "$(journal_count "Нет ответа от UPS.")" = 1 ]
check "event 13 ran once" [ "$(journal_count "LOST")" = 1 ]
check "polls went on failing (write errors in the device log)" \
    [ "$(devlog_lines | grep -c '^!?Write error\|^#?Answer error')" -ge 5 ]
stats_before=$(stats_csv | wc -l)
sleep 2
check "no statistics while the link is lost" [ "$(stats_csv | wc -l)" = "$stats_before" ]

printf 'Port=COM2\r\nDevLog=dev.log\r\nInterval=1000\r\nStatInterval=1000\r\n' >"$WORK/Kovrin.ini"
post_message 1025 0 0 # UM_APPLYSETTINGS, all settings
for i in $(seq 1 60); do
    [ "$(journal_count "Связь с UPS успешно установлена.")" -ge 2 ] && break
    sleep 0.5
done
check "link back on the new port" [ "$(journal_count "Связь с UPS успешно установлена.")" = 2 ]
sleep 4
check "the second simulator is polled" [ "$(sim_log_poll_times "$WORK/spare.log" | wc -l)" -ge 3 ]
stats_after=$(stats_csv | wc -l)
check "statistics resumed ($stats_before, then $stats_after records)" [ "$stats_after" -gt "$stats_before" ]
check "the new records hold the second UPS's load" \
    [ "$(stats_csv | tail -n1 | cut -d, -f8)" = 40 ]
stop_kovrin

check "still one link-loss entry" [ "$(journal_count "Нет ответа от UPS.")" = 1 ]
check "applying the settings raised no link event" [ "$(journal_count "UP")" = 1 ]
check "the closed port is logged before the new one opens" \
    grep -qx '!!Port opened (COM2)' <(devlog_lines | sed -n '/^!!Port closed (COM1)$/,$p')
mapfile -t texts < <(journal_texts)
n=${#texts[@]}
check "\"Выход.\" before the end-of-run record" [ "${texts[$((n - 2))]:-}" = "Выход." ]
check "end-of-run record last" [ "$(journal_csv | tail -n1 | cut -d, -f2)" = 0 ]
check "statistics are whole records" [ $(($(file_size "$WORK/Stat.ups") % 52)) = 0 ]
finish
