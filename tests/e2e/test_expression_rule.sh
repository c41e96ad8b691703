#!/usr/bin/env bash
# "%BATT < 11.5" fires once as the battery falls through 11.5 V, and again only after it
# rose above and fell again. A test request runs a rule at once, even while suspended;
# an unknown identifier does nothing.
source "$(dirname "$0")/lib.sh"

new_program_dir "Interval=1000
FailInterval=1000"
add_rule 1 10 9 'LOW $BATT' '%BATT < 11.5'
add_rule 7 8 9 'TESTED' # UPS fault: never happens here
start_simulator -- "0 drain 0.25" "0 charge 0.5" "8 mains off" "19 mains on" "24 mains off" "60 quit"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link"
post_message 1031 1 0 # UM_SUSPEND 1
post_message 1033 7 0 # UM_TESTEVENT 7
post_message 1033 99 0
post_message 1031 0 0 # UM_SUSPEND 0
sleep 30
stop_kovrin

check "test request ran the rule once" [ "$(journal_count "TESTED")" = 1 ]
lows=$(journal_texts | grep -c '^LOW ' || true)
echo "expression entries: $(journal_texts | grep '^LOW ' | tr '\n' ' ')"
check "expression fired twice (got $lows)" [ "$lows" = 2 ]
check "each time just below 11.5" [ -z "$(journal_texts | grep '^LOW ' | awk '$2 >= 11.5 || $2 < 11.0')" ]
finish
