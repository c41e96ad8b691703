#!/usr/bin/env bash
# Debian's upsmon as a secondary of the monitor's UPS, as a Linux server behind the same
# UPS would run it: it logs in, is told ONBATT when the mains fail, and runs its shutdown
# command when the battery goes low; its login and its going are journalled.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/nut_lib.sh"

PORT=$(free_port)
new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
NutServer=1
NutTcpPort=$PORT
NutPassword=secret"
start_driven_simulator -- "0 drain 0"
start_kovrin
check "the server listens" wait_for_journal "Сетевой сервер ИБП слушает 127.0.0.1:$PORT." 60

# upsmon's own folder: configuration, state and pid files, what it was told, and what its
# "shutdown" left. Its shutdown command only writes a file.
NUTDIR=$WORK/nut
mkdir -p "$NUTDIR"
cat >"$NUTDIR/notify.sh" <<EOF
#!/bin/sh
echo "\$NOTIFYTYPE \$*" >>"$NUTDIR/notify.log"
EOF
chmod +x "$NUTDIR/notify.sh"
{
    echo "MONITOR ups@127.0.0.1:$PORT 1 monuser secret secondary"
    echo "MINSUPPLIES 1"
    echo "SHUTDOWNCMD \"/bin/sh -c 'date > $NUTDIR/shutdown.txt'\""
    echo "NOTIFYCMD $NUTDIR/notify.sh"
    for event in ONLINE ONBATT LOWBATT FSD COMMOK COMMBAD SHUTDOWN NOCOMM; do
        echo "NOTIFYFLAG $event SYSLOG+EXEC"
    done
    # Poll every second; a secondary waits HOSTSYNC seconds for a primary's FSD before
    # it acts on a low battery by itself.
    echo "POLLFREQ 1"
    echo "POLLFREQALERT 1"
    echo "HOSTSYNC 2"
    echo "DEADTIME 6"
    echo "FINALDELAY 0"
    echo "RUN_AS_USER root"
    echo "POWERDOWNFLAG $NUTDIR/killpower"
} >"$NUTDIR/upsmon.conf"
chmod 600 "$NUTDIR/upsmon.conf"
# A session of its own: upsmon forks a helper, and the test ends the whole group.
NUT_CONFPATH=$NUTDIR NUT_STATEPATH=$NUTDIR NUT_ALTPIDPATH=$NUTDIR \
    setsid /lib/nut/upsmon -F -u root >"$NUTDIR/upsmon.out" 2>&1 &
UPSMON=$!
stop_upsmon() { kill -- -"$UPSMON" 2>/dev/null || true; }
trap 'stop_upsmon; cleanup' EXIT
notified() { [ -f "$NUTDIR/notify.log" ] && grep -q "^$1 " "$NUTDIR/notify.log"; }

check "upsmon logs in" wait_for_journal "Вход сетевого клиента monuser@127.0.0.1." 20
check "NUMLOGINS counts it" grep -qx 'NUMLOGINS ups 1' <(nut "$PORT" ask "GET NUMLOGINS ups")
sleep 2
sim_do mains off
check "upsmon is told ONBATT" wait_until 10 notified ONBATT
check "and nothing shuts down on battery alone" not notified SHUTDOWN
sleep 3
check "still no shutdown after 3 s on battery" [ ! -f "$NUTDIR/shutdown.txt" ]
sim_do battery 10.9
check "upsmon sees the battery low" wait_until 10 notified LOWBATT
check "and runs its shutdown command" wait_until 15 test -s "$NUTDIR/shutdown.txt"
check "its going is journalled" wait_for_journal "Выход сетевого клиента monuser@127.0.0.1." 15
check "nobody is logged in any more" grep -qx 'NUMLOGINS ups 0' <(nut "$PORT" ask "GET NUMLOGINS ups")
echo "--- upsmon was told:"
cat "$NUTDIR/notify.log" 2>/dev/null || true
stop_upsmon
sim_do mains on
stop_kovrin
finish
