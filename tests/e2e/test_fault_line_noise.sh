#!/usr/bin/env bash
# A bad line in turn: garbage, a looped-back cable echoing every command, answers in
# pieces (with short gaps, then with gaps longer than the answer wait), answers a little
# late, then far too late. No wrong value reaches the records, every outage of three
# failed polls or more is journaled once and its end once, and the run ends in order.
source "$(dirname "$0")/lib.sh"

new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=1000"
add_rule 1 13 9 'LOST'
add_rule 2 14 9 'UP'
start_driven_simulator
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 30 || fail "no link at the start"
sleep 1
sim_do garble 4
sleep 6.5
sim_do echo 4
sleep 6.5
sim_do split 3 0.3
sleep 3
# Pieces 2.5 s apart outlast the answer wait; they queue up behind each other in the
# simulator, and the normal seconds after let the queue drain. A few of them, as on a
# busy machine a late piece may still fall into a slow answer wait instead of between polls.
sim_do split 2 2.5
sleep 9
sim_do split 1
sleep 6
sim_do late 0.8
sleep 4
# Answers 9 s late outlast three answer waits of 2 s (2.0 to 3.0 s each on a busy
# machine): the link is lost once, and the first late answer ends the outage; later
# polls take answers one or more polls old (the same steady values).
sim_do late 9
sleep 11
sim_do late 0
sleep 3
# On a busy machine the last outage may still be draining its late answers: the run ends
# once the link is back (bounded), so that every outage has its end in the journal.
for _ in $(seq 1 60); do
    [ "$(journal_count "Связь с UPS успешно установлена.")" -gt "$(journal_count "Нет ответа от UPS.")" ] && break
    sleep 0.5
done
check "the monitor ran through it all" kill -0 "$KOVRIN_PID"
stop_kovrin

outcomes=$(devlog_poll_outcomes)
echo "exchanges (S taken, F failed): $outcomes"
outages=$(count_outages "$outcomes")
check "each kind of trouble made an outage (got $outages)" [ "$outages" -ge 4 ]
check "one link-loss entry per outage" [ "$(journal_count "Нет ответа от UPS.")" = "$outages" ]
check "one return per outage, after the start's" \
    [ "$(journal_count "Связь с UPS успешно установлена.")" = $((outages + 1)) ]
check "event 13 once per outage" [ "$(journal_count "LOST")" = "$outages" ]
check "event 14 at the start and once per outage" [ "$(journal_count "UP")" = $((outages + 1)) ]
order=$(journal_texts | awk '$0 == "Нет ответа от UPS." { printf "L" } $0 == "Связь с UPS успешно установлена." { printf "U" }')
check "losses and returns alternate ($order)" grep -Eqx 'U(LU)+' <<<"$order"

# The short split and the slightly late answers are taken; the long split is not.
split_ok=$(awk '$2 == "TX" && /in 3 pieces/' "$WORK/sim.log" | wc -l)
check "answers in three pieces were sent ($split_ok)" [ "$split_ok" -ge 2 ]
# Read once: a grep -q that stops at its match would leave the reader a broken pipe.
devlog=$(devlog_lines)
check "pieces after the answer wait drained as stale input" grep -q '^?>' <<<"$devlog"
check "echoed commands rejected" grep -q '^>>Q1$' <<<"$devlog"

# The UPS never changed: every record holds its steady values, and the journal has no
# transition that garbage could have faked.
bad=$(stats_csv | awk -F, '$2 != "220.0" || $3 != "220.0" || $4 != "220.0" || $5 != "13.60" ||
    $6 != "50.0" || $7 != "25.0" || $8 != "25" || $10 != 288 { print }')
check "$(stats_csv | wc -l) statistics records, none with a wrong value" [ -z "$bad" ]
[ -z "$bad" ] || echo "$bad"
check "no transition journaled" [ -z "$(journal_csv | awk -F, '$2 == 2 || $2 == 3' |
    grep -vF -e ',Нет ответа от UPS.' -e ',"Напряжения батареи не уточнены, загружены умолчания."' || true)" ]
check "statistics are whole records" [ $(($(file_size "$WORK/Stat.ups") % 52)) = 0 ]
mapfile -t texts < <(journal_texts)
n=${#texts[@]}
check "ended in order" [ "${texts[$((n - 2))]:-}" = "Выход." ]
check "end-of-run record last" [ "$(journal_csv | tail -n1 | cut -d, -f2)" = 0 ]
finish
