#!/usr/bin/env bash
# The UPS goes silent for 10 s: exactly one "no answer" entry, one "link established"
# when it answers again, and no statistics while the link is lost.
source "$(dirname "$0")/lib.sh"

new_program_dir "StatInterval=2500"
start_simulator -- "8 silent 12" "45 quit"
start_kovrin
sleep 30
stop_kovrin

check "one link-loss entry" [ "$(journal_count "Нет ответа от UPS.")" = 1 ]
check "link established at start and once more" [ "$(journal_count "Связь с UPS успешно установлена.")" = 2 ]
lost=$(journal_csv | awk -F, '$4 == "Нет ответа от UPS." { print $1 }')
back=$(journal_csv | awk -F, '$4 == "Связь с UPS успешно установлена." { t = $1 } END { print t }')
inside=$(stats_csv | awk -F, -v a="$lost" -v b="$back" '$1 > a && $1 < b')
check "no statistics between $lost and $back" [ -z "$inside" ]
finish
