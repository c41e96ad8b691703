#!/usr/bin/env bash
# Rules on a mains failure: a journal text with macros, a program started with arguments,
# a custom command sent to the UPS, and an on-screen message that does not stop the polls.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log"
add_rule 1 0 9 'Батарея $BATT В, нагрузка $LOAD%'
add_rule 2 0 7 '"C:\windows\system32\cmd.exe" /c echo $INPUT> out.txt'
add_rule 3 0 8 '5'
add_rule 4 0 6 'Сбой сети! Батарея $BATT В'
add_rule 5 1 9 'RETURN'
add_command 5 6 'Выключить с восстановлением' '.5 0010'
start_simulator -- "0 drain 0" "0 load 25" "6 mains off" "14 mains on" "60 quit"
start_kovrin
sleep 10
check "the message box is shown" find_box
sleep 6
check "the mains returned while the box was open" wait_for_journal "RETURN" 5
check "the box is still open" find_box
close_box || true
sleep 1
stop_kovrin

check "journal text with macros, kind 4" grep -qx '[^,]*,4,COM1,"Батарея 13.60 В, нагрузка 25%"' <(journal_csv)
input=$(stats_csv | awk -F, '$10 % 2 == 1 { print $2; exit }')
[ -n "$input" ] || input=$(journal_csv >/dev/null; echo "?")
check "program ran: out.txt holds the input voltage ($(tr -d '\r' <"$WORK/out.txt" 2>/dev/null))" \
    grep -q "^$input" "$WORK/out.txt"
check "simulator received S.5R0010" grep -qF 'RX "S.5R0010"' "$WORK/sim.log"
check "device log shows the command" grep -qx '<<S.5R0010' <(devlog_lines)
fail_at=$(sim_event_time "mains off")
gaps=$(poll_gaps "$(awk -v t="$fail_at" 'BEGIN { print t + 3 }')" "$(awk -v t="$fail_at" 'BEGIN { print t + 8 }')")
echo "poll gaps while the box was open: $(echo $gaps)"
# Room for a busy machine; a poll held up by the box would leave a gap of seconds.
check "polls went on while the box was open" awk '{ n++; if ($1 > 1.7) bad = 1 } END { exit bad || n < 3 }' <<<"$gaps"
finish
