#!/usr/bin/env bash
# The network UPS server with Debian's own clients and a raw one: upsc lists the
# simulator's values, upscmd runs a battery test (and a wrong password is refused), 40
# clients list every variable at once while the polls keep their period, a crowd beyond
# 64 and junk leave the server serving, a client's FSD shows in the status until the
# mains return, a lost link gives DATA-STALE, and applied settings move the server to another
# port (a port that cannot be opened is journalled, and the monitor goes on), also through
# the settings page's window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/nut_lib.sh"

PORT=$(free_port)
ini() { # the settings with the server on the given port
    printf '%s' "[Main]
DevLog=dev.log
Interval=1000
FailInterval=1000
TimeOut=1000
NutServer=1
NutTcpPort=$1
NutPassword=secret" | sed 's/$/\r/' >"$WORK/Kovrin.ini"
}
new_program_dir ""
ini "$PORT"
start_driven_simulator --company "MEGATEC" --model "SIM-1000VA" --firmware "V2.4" -- \
    "0 drain 0" "0 input 231.5" "0 load 37" "0 temp 31.5"
start_kovrin
check "the server listens" wait_for_journal "Сетевой сервер ИБП слушает 127.0.0.1:$PORT." 60
check "the first poll reaches the clients" wait_until 20 upsc_is "$PORT" ups.status OL

# ---- upsc: every variable, with the simulator's values.
listing=$(timeout 20 upsc "ups@127.0.0.1:$PORT" 2>/dev/null)
read -r s_in s_fault s_out s_load s_freq s_batt s_temp <<<"$(sim_last_status)"
value() { sed -n "s/^$1: //p" <<<"$listing"; }
check "input.voltage $(value input.voltage) as sent ($s_in)" same_number "$(value input.voltage)" "$s_in"
check "output.voltage as sent ($s_out)" same_number "$(value output.voltage)" "$s_out"
check "battery.voltage as sent ($s_batt)" same_number "$(value battery.voltage)" "$s_batt"
check "ups.load as sent ($s_load)" same_number "$(value ups.load)" "$s_load"
check "input.frequency as sent ($s_freq)" same_number "$(value input.frequency)" "$s_freq"
check "ups.temperature as sent ($s_temp)" same_number "$(value ups.temperature)" "$s_temp"
check "the maker as identified" [ "$(value device.mfr)" = "MEGATEC" ]
check "ups.mfr and ups.model for NAS boxes" [ "$(value ups.mfr)/$(value ups.model)" = "MEGATEC/SIM-1000VA" ]
check "the firmware" [ "$(value ups.firmware)" = "V2.4" ]
check "the nominal battery voltage" same_number "$(value battery.voltage.nominal)" 12
check "the charge" [ "$(value battery.charge)" = "100" ]
check "all 20 variables" [ "$(grep -c ': ' <<<"$listing")" = 20 ]
check "upsc -l names the UPS" [ "$(timeout 20 upsc -l "127.0.0.1:$PORT" 2>/dev/null)" = "ups" ]

# ---- upscmd: the user runs a quick battery test; a wrong password is refused.
reply=$(timeout 20 upscmd -u monuser -p secret "ups@127.0.0.1:$PORT" test.battery.start.quick 2>&1 || true)
check "upscmd is answered OK ($reply)" grep -qx OK <<<"$reply"
check "the simulator receives T" wait_until 10 grep -qF 'RX "T"' "$WORK/sim.log"
check "journalled with who sent it" wait_for_journal "Команда test.battery.start.quick от сетевого клиента monuser@127.0.0.1." 10
reply=$(timeout 20 upscmd -u monuser -p wrong "ups@127.0.0.1:$PORT" test.battery.stop 2>&1 || true)
check "a wrong password is refused ($reply)" grep -q 'ACCESS-DENIED' <<<"$reply"
sleep 2
check "and nothing reaches the UPS" not grep -qF 'RX "CT"' "$WORK/sim.log"
check "the UPS tests its battery: OL CAL" wait_until 5 upsc_is "$PORT" ups.status "OL CAL"

# ---- 40 clients listing every variable at once; the polls keep their period meanwhile.
# The window reaches a second beyond each end: the polls that bracket the load count too.
from=$(awk -v t0="$SIM_STARTED_AT" -v now="$(date +%s.%N)" 'BEGIN { print now - t0 - 1 }')
result=$(nut "$PORT" lists 40 100 || true)
echo "$result"
sleep 1
to=$(awk -v t0="$SIM_STARTED_AT" -v now="$(date +%s.%N)" 'BEGIN { print now - t0 }')
check "40 clients get 4000 complete lists" grep -q '^lists 4000 of 4000 complete, 20 variables' <<<"$result"
gaps=$(poll_gaps "$from" "$to")
echo "poll gaps meanwhile (Interval 1000 ms): $(echo $gaps)"
# Room for a busy machine, as the other tests allow.
check "polls every Interval meanwhile" awk '{ n++; if ($1 > 1.7) bad = 1 } END { exit bad || n < 2 }' <<<"$gaps"

# ---- A crowd beyond the limit and junk: the others are undisturbed, the server serves on.
result=$(nut "$PORT" crowd || true)
echo "$result"
check "the 65th client is told ERR and closed" grep -qx 'one too many: ERR ACCESS-DENIED' <<<"$result"
check "the 64 others still answer" grep -qx 'the others answering: 64 of 64' <<<"$result"
result=$(nut "$PORT" junk || true)
echo "$result"
check "junk without a line end: one error" grep -qx 'after 100000 bytes without a line end: ERR INVALID-ARGUMENT' <<<"$result"
check "an overlong line: an error" grep -qx 'overlong line: ERR INVALID-ARGUMENT' <<<"$result"
check "and the connection serves on" grep -qx 'then NETVER: 1.3' <<<"$result"
status=$(upsc_var "$PORT" ups.status)
check "upsc still works ($status)" grep -q '^OL' <<<"$status"

# ---- A client's FSD holds until the mains return.
result=$(nut "$PORT" ask "USERNAME monuser" "PASSWORD secret" "FSD ups" || true)
check "FSD granted" grep -qx 'OK FSD-SET' <<<"$result"
check "and shown in the status once the test is over" wait_until 15 upsc_is "$PORT" ups.status "FSD OL"
check "journalled" wait_for_journal "FSD (принудительное выключение) от сетевого клиента monuser@127.0.0.1." 10
sim_do mains off
check "on battery: FSD OB" wait_until 10 upsc_is "$PORT" ups.status "FSD OB"
sim_do mains on
check "the mains back: FSD cleared" wait_until 10 upsc_is "$PORT" ups.status OL
check "and journalled" wait_for_journal "FSD снят: питание от сети восстановлено." 5

# ---- The link lost: stale data rather than old values; back with the link.
sim_do silent 12
check "DATA-STALE while the link is lost" wait_until 15 upsc_is "$PORT" ups.status "Error: Data stale"
check "LIST UPS still answers" grep -qx 'UPS ups "MEGATEC SIM-1000VA"' <(nut "$PORT" ask "LIST UPS")
check "values again once it answers" wait_until 20 upsc_is "$PORT" ups.status OL

# ---- "Применить": a port that cannot be opened, then another free one.
BUSY=$(free_port)
python3 -c 'import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(); time.sleep(60)' "$BUSY" &
holder=$!
sleep 0.5
ini "$BUSY"
post_message 1025 0
check "the settings are applied" wait_for_journal "Применение настроек..." 10
check "with its address" wait_until 10 journal_matches "^Сетевой сервер ИБП: не удалось открыть порт 127.0.0.1:$BUSY (ошибка [0-9]*)\.$"
check "the old port is closed" nut_refused "$PORT"
polls=$(grep -c 'RX "Q1"' "$WORK/sim.log")
sleep 3
check "monitoring goes on" [ "$(grep -c 'RX "Q1"' "$WORK/sim.log")" -gt "$polls" ]
kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true

# ---- The same through the window: the settings page's button, its window, "Применить".
NEXT=$(free_port)
check "the window opens" open_dialog 30
ui tab 5 >/dev/null
ui click 614 >/dev/null
check "the server's window shows the port in the file" wait_ui_text 652 "$BUSY"
check "and the user" [ "$(ui_text 654)" = monuser ]
ui set-text 652 "$NEXT" >/dev/null
ui click 657 >/dev/null
sleep 1
check "OK alone writes nothing" not grep -q "NutTcpPort=$NEXT" "$WORK/Kovrin.ini"
ui click 612 >/dev/null
check "\"Применить\" moves the server to the new port" wait_for_journal "Сетевой сервер ИБП слушает 127.0.0.1:$NEXT." 15
check "which serves" wait_until 10 upsc_is "$NEXT" ups.status OL
check "the six keys in the file" [ "$(tr -d '\r' <"$WORK/Kovrin.ini" | grep -c '^Nut')" = 6 ]
check "the password kept" grep -q '^NutPassword=secret' "$WORK/Kovrin.ini"
post_message 273 2 0
ui_ok wait-gone 20 || true

stop_kovrin
check "the monitor ended normally" [ "$(journal_texts | tail -2 | head -1)" = "Выход." ]
finish
