#!/usr/bin/env bash
# A normal run: start, link, the battery-limit warning when no limits are set, and on a
# close request the shutdown entries, "Выход." and the end-of-run record, in that order.
source "$(dirname "$0")/lib.sh"

new_program_dir ""
start_simulator -- "60 quit"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link within 30 s"
sleep 3
stop_kovrin

mapfile -t texts < <(journal_texts)
mapfile -t kinds < <(journal_csv | cut -d, -f2)
n=${#texts[@]}
check "first entry Запуск... (got ${texts[0]:-})" [ "${texts[0]:-}" = "Запуск..." ]
check "then the link" [ "${texts[1]:-}" = "Связь с UPS успешно установлена." ]
check "then the battery-limit warning" [ "${texts[2]:-}" = "Напряжения батареи не уточнены, загружены умолчания." ]
check "warning is kind 2" [ "${kinds[2]:-}" = 2 ]
check "Завершение работы... third from last" [ "${texts[$((n - 3))]:-}" = "Завершение работы..." ]
check "Выход. second from last" [ "${texts[$((n - 2))]:-}" = "Выход." ]
check "end-of-run record last (kind ${kinds[$((n - 1))]:-})" [ "${kinds[$((n - 1))]:-}" = 0 ]
check "port name in the records" [ "$(journal_csv | head -n1 | cut -d, -f3)" = "COM1" ]
finish
