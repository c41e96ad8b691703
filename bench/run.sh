#!/usr/bin/env bash
# One benchmark run on this machine: Kovrin.exe under Wine against the simulator with the
# default poll periods (Interval 2500 ms, FailInterval 1000 ms), beside Network UPS Tools
# on the same simulator. For each monitor it prints
#   - the time from a mains failure (and return) to the monitor's notice of it, over 20 or
#     more transitions at phases spread evenly over the poll period, and the part of it
#     from the first status command after the failure to the notice (the exchange and the
#     monitor's own work, whatever the phase),
#   - the idle CPU share over 60 s with the UPS on mains and nothing happening: Kovrin.exe
#     and the prefix's wineserver; NUT's driver, upsd and both upsmon processes,
# and for Kovrin.exe also the time of one status exchange against the 2400-baud limit,
# its own time from an answer to acting on it, its memory and the lines of parse_bench.
# The summary at the end puts the monitors side by side. It reports and exits 0; 1 only
# when it could not run. Takes about ten minutes (four more with a baseline).
#
# Build trees: KOVRIN_NATIVE_TREE and KOVRIN_WIN32_TREE, default build/bench-native
# (Release, so that parse_bench runs without sanitizers) and build/bench-win32; built
# when a program is missing.
# BENCH_BASELINE_DIST: a program directory of another build (e.g. of an older commit),
# measured first in the same way, for a before/after in one run.
# NUT (Debian's nut-server and nut-client, installed when missing) runs as a test peer in
# a folder of its own: nutdrv_qx (protocol megatec, its default poll interval of 2 s) on
# the simulator's pty, upsd on 127.0.0.1 and upsmon as a secondary whose notify command
# stamps ONBATT and ONLINE; upsmon polls every BENCH_NUT_POLLFREQ seconds (default 2, as
# often as Kovrin's Interval). BENCH_NUT=0 leaves NUT out.
set -euo pipefail

TRANSITIONS=${BENCH_FAILURES:-20}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-60}
NUT_POLLFREQ=${BENCH_NUT_POLLFREQ:-2}
NUT_PORT=${BENCH_NUT_PORT:-13493}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
NATIVE=$(realpath -m "${KOVRIN_NATIVE_TREE:-$ROOT/build/bench-native}")
WIN32=$(realpath -m "${KOVRIN_WIN32_TREE:-$ROOT/build/bench-win32}")
BASELINE=${BENCH_BASELINE_DIST:+$(realpath -m "$BENCH_BASELINE_DIST")}

if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi

if [ ! -x "$NATIVE/tools/upssim/upssim" ] || [ ! -x "$NATIVE/tools/dump/kovrin-dump" ] ||
    [ ! -x "$NATIVE/bench/parse_bench" ]; then
    echo "== building the simulator, the dump tool and parse_bench in $NATIVE"
    cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$NATIVE" --target upssim kovrin-dump parse_bench -j2 >/dev/null
fi
if [ ! -f "$WIN32/dist/Kovrin.exe" ]; then
    echo "== building Kovrin.exe in $WIN32"
    cmake -S "$ROOT" -B "$WIN32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$WIN32" --target Kovrin -j2 >/dev/null
fi
if [ -n "$BASELINE" ] && [ ! -f "$BASELINE/Kovrin.exe" ]; then
    echo "no Kovrin.exe in $BASELINE"
    exit 1
fi

source "$ROOT/scripts/common.sh"
NUT=${BENCH_NUT:-1}
if [ "$NUT" = 1 ] && { [ ! -x /lib/nut/nutdrv_qx ] || [ ! -x /lib/nut/upsmon ]; }; then
    ensure_packages nut-server nut-client
fi
wine_env
ensure_wine_prefix "$WIN32/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$WIN32/dist KOVRIN_TOOLS=$NATIVE/tools
export KOVRIN_WORK=$WIN32/bench KOVRIN_POST=$WIN32/testtools/kovrin-post.exe
source "$ROOT/tests/e2e/lib.sh"
BENCH_ROOT=$KOVRIN_WORK

INTERVAL=2500
FAIL_INTERVAL=1000
BYTE_MS=$(awk 'BEGIN { print 10 / 2400 * 1000 }') # one byte of 10 bits at 2400 baud
LIMIT_MS=$(awk -v b="$BYTE_MS" 'BEGIN { printf "%.1f", (3 + 47) * b }')
TCK=$(getconf CLK_TCK)
seconds_now() { date +%s.%N; }
stats() { # "median max count" of the numbers on stdin
    sort -n | awk '{ a[NR] = $1 } END { if (NR) printf "%.0f %.0f %d\n", a[int((NR + 1) / 2)], a[NR], NR; else print "- - 0" }'
}
share() { # per cent of one core: ticks-before ticks-after seconds-before seconds-after
    awk -v a="$1" -v b="$2" -v s="$3" -v e="$4" -v t="$TCK" 'BEGIN { printf "%.2f", (b - a) / t / (e - s) * 100 }'
}
within() { awk -v v="$1" -v l="$2" 'BEGIN { print v <= l ? "within" : "OVER" }'; }
sum_ticks() { # pids...
    local p total=0 t
    for p in "$@"; do
        t=$(proc_cpu_ticks "$p")
        total=$((total + ${t:-0}))
    done
    echo "$total"
}

# Mains failures at phases spread evenly over the poll period (the same for every monitor,
# so that their medians compare); each waits until the monitor has noticed it
# (count_notices is the monitor's own count of notices so far). After a notice the next
# poll comes a whole period later: waits of 0.5 s plus 0 ... 2.5 s in steps of 2.5 s / N
# put the failures at every phase once.
drive_transitions() {
    local i n
    wait_notices() { # count timeout-seconds
        local j
        for j in $(seq 1 $(($2 * 20))); do
            [ "$(count_notices)" -ge "$1" ] && return 0
            sleep 0.05
        done
        return 1
    }
    for i in $(seq 1 "$TRANSITIONS"); do
        sleep "$(awk -v i="$i" -v n="$TRANSITIONS" 'BEGIN { printf "%.3f", 0.5 + (i * 7 % n) * 2.5 / n }')"
        n=$(count_notices)
        sim_do mains off
        wait_notices $((n + 1)) 15 || { echo "no notice of failure $i"; return 1; }
        sleep "$(awk -v i="$i" -v n="$TRANSITIONS" 'BEGIN { printf "%.3f", 0.5 + (i * 3 % n) * 1.5 / n }')"
        n=$(count_notices)
        sim_do mains on
        wait_notices $((n + 1)) 15 || { echo "no notice of return $i"; return 1; }
    done
}
# Milliseconds from each simulated change to its notice: "median max count".
latency() { # off|on file-of-notice-epochs
    paste -d' ' <(sim_mains_changes | awk -v t0="$SIM_STARTED_AT" -v w="$1" '$2 == w { printf "%.3f\n", t0 + $1 }') \
        "$2" | awk 'NF == 2 { printf "%.0f\n", ($2 - $1) * 1000 }' | stats
}
# Milliseconds from the first status command after each failure to its notice.
poll_to_notice() { # file-of-notice-epochs
    paste -d' ' <(awk -v t0="$SIM_STARTED_AT" '
            $2 == "ST" && $3 == "utility" && $4 != "back" { want = 1 }
            $2 == "RX" && $3 == "\"Q1\"" && want { printf "%.3f\n", t0 + $1; want = 0 }' "$WORK/sim.log") \
        "$1" | awk 'NF == 2 { printf "%.0f\n", ($2 - $1) * 1000 }' | stats
}

declare -A RESULT # subject,figure -> value
SUBJECTS=()

# ---- Kovrin.exe of a program directory.
entries() { [ -f "$WORK/Kovrin.lgb" ] && echo $(($(file_size "$WORK/Kovrin.lgb") / 116)) || echo 0; }
measure_kovrin() { # subject dist
    local subject=$1
    KOVRIN_DIST=$2
    WORK=$BENCH_ROOT/$subject
    SUBJECTS+=("$subject")
    new_program_dir "Interval=$INTERVAL
FailInterval=$FAIL_INTERVAL"
    # At each failure a rule sends a custom command: its arrival after the last byte of
    # the status answer is the monitor's own time from an answer to acting on it.
    add_rule 1 0 8 1
    add_command 1 11 'Отметка' 'PING'
    # The battery stays full however long the failures last.
    start_driven_simulator -- "0 drain 0"
    echo "== $subject: $KOVRIN_DIST/Kovrin.exe in $WORK (load $(cut -d' ' -f1-3 /proc/loadavg))"
    start_kovrin
    wait_for_journal "Связь с UPS успешно установлена." 60 || { echo "no link with the simulator"; exit 1; }
    local pid server
    pid=$(kovrin_process)
    server=$(wineserver_process)
    [ -n "$pid" ] || { echo "Kovrin.exe process not found"; exit 1; }

    echo "   $TRANSITIONS mains failures and returns"
    count_notices() { entries; }
    drive_transitions || exit 1

    sleep 3
    echo "   idle for $IDLE_SECONDS s"
    local cpu0 srv0 t0 cpu1 srv1 t1
    cpu0=$(proc_cpu_ticks "$pid") srv0=$(proc_cpu_ticks "$server") t0=$(seconds_now)
    sleep "$IDLE_SECONDS"
    cpu1=$(proc_cpu_ticks "$pid") srv1=$(proc_cpu_ticks "$server") t1=$(seconds_now)
    RESULT[$subject,rss]=$(proc_rss_kb "$pid")
    RESULT[$subject,srss]=$(proc_rss_kb "$server")
    stop_kovrin 60
    stop_simulator
    exec 9>&-

    RESULT[$subject,cpu]=$(share "$cpu0" "$cpu1" "$t0" "$t1")
    RESULT[$subject,server]=$(share "$srv0" "$srv1" "$t0" "$t1")
    RESULT[$subject,total]=$(awk -v a="${RESULT[$subject,cpu]}" -v b="${RESULT[$subject,server]}" 'BEGIN { printf "%.2f", a + b }')
    RESULT[$subject,seconds]=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", b - a }')

    # Exchange: from the status command's arrival to the last byte of its answer (the
    # simulator logs when an answer starts; its 47 bytes follow at the line's speed),
    # plus the command's own 3 bytes, which the pty delivers at once.
    RESULT[$subject,exchange]=$(awk -v b="$BYTE_MS" '
        $2 == "RX" && $3 == "\"Q1\"" && NF == 3 { rx = $1; next }
        $2 == "TX" && rx != "" && $3 ~ /^"\(/ { printf "%.1f\n", ($1 - rx) * 1000 + 50 * b; rx = "" }
        $2 == "RX" { rx = "" }' "$WORK/sim.log" | stats)
    # The simulator starts an answer 20 ms after the command and puts a byte on the pty
    # every 4.17 ms, so its 47th byte arrives 20 ms + 46 byte times after the command did.
    RESULT[$subject,turnaround]=$(awk -v b="$BYTE_MS" '
        $2 == "RX" && $3 == "\"Q1\"" && NF == 3 { polled = $1 }
        $2 == "RX" && $3 == "\"PING\"" && polled != "" { printf "%.1f\n", ($1 - polled) * 1000 - 20 - 46 * b }' \
        "$WORK/sim.log" | stats)
    # Transition to journal entry: the simulator's clock made absolute with the moment it
    # started; the journal's local date-times read to the millisecond.
    record_epochs journal "$WORK/Kovrin.lgb" | grep -F " Сбой питающей сети." | cut -d' ' -f1 >"$WORK/off.notices"
    record_epochs journal "$WORK/Kovrin.lgb" | grep -F " Работа питающей сети возобновлена." | cut -d' ' -f1 >"$WORK/on.notices"
    RESULT[$subject,off]=$(latency off "$WORK/off.notices")
    RESULT[$subject,on]=$(latency on "$WORK/on.notices")
    RESULT[$subject,polled]=$(poll_to_notice "$WORK/off.notices")
}

# ---- Network UPS Tools on the same simulator.
NUT_PIDS=()
stop_nut() {
    local p
    for p in "${NUT_PIDS[@]}"; do kill -- -"$p" 2>/dev/null || kill "$p" 2>/dev/null || true; done
    for p in "${NUT_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
    NUT_PIDS=()
}
trap 'stop_nut; cleanup' EXIT
# Starts one NUT program in the foreground in a session of its own (upsmon forks a helper
# that must end with it): its process group is its pid.
start_nut() { # log program args...
    local log=$1
    shift
    setsid "$@" >"$log" 2>&1 &
    NUT_PIDS+=($!)
}
measure_nut() {
    local subject=nut
    WORK=$BENCH_ROOT/$subject
    SUBJECTS+=("$subject")
    rm -rf "$WORK"
    mkdir -p "$WORK/conf" "$WORK/state"
    chmod 700 "$WORK/state"
    SIM_NO_MAP=1 start_driven_simulator -- "0 drain 0"
    echo "== NUT: nutdrv_qx, upsd, upsmon (POLLFREQ $NUT_POLLFREQ) in $WORK (load $(cut -d' ' -f1-3 /proc/loadavg))"
    cat >"$WORK/conf/ups.conf" <<EOF
[sim]
driver = nutdrv_qx
port = $SIM_PTY
protocol = megatec
EOF
    printf 'LISTEN 127.0.0.1 %s\n' "$NUT_PORT" >"$WORK/conf/upsd.conf"
    printf '[bench]\npassword = bench\nupsmon secondary\n' >"$WORK/conf/upsd.users"
    printf 'MODE=netserver\n' >"$WORK/conf/nut.conf"
    cat >"$WORK/notify.sh" <<EOF
#!/bin/sh
echo "\$(date +%s.%N) \$NOTIFYTYPE" >>"$WORK/notices"
EOF
    chmod +x "$WORK/notify.sh"
    # A secondary that never shuts anything down: its shutdown command does nothing.
    cat >"$WORK/conf/upsmon.conf" <<EOF
MONITOR sim@127.0.0.1:$NUT_PORT 1 bench bench secondary
MINSUPPLIES 1
SHUTDOWNCMD "/bin/true"
NOTIFYCMD "$WORK/notify.sh"
NOTIFYFLAG ONBATT EXEC
NOTIFYFLAG ONLINE EXEC
POLLFREQ $NUT_POLLFREQ
POLLFREQALERT $NUT_POLLFREQ
POWERDOWNFLAG $WORK/state/killpower
EOF
    chmod 600 "$WORK"/conf/*
    : >"$WORK/notices"
    export NUT_CONFPATH=$WORK/conf NUT_STATEPATH=$WORK/state NUT_ALTPIDPATH=$WORK/state
    start_nut "$WORK/driver.log" /lib/nut/nutdrv_qx -a sim -u root -F
    local i
    for i in $(seq 1 100); do [ -S "$WORK/state/nutdrv_qx-sim" ] && break; sleep 0.1; done
    start_nut "$WORK/upsd.log" /lib/nut/upsd -u root -F
    for i in $(seq 1 100); do upsc "sim@127.0.0.1:$NUT_PORT" ups.status 2>/dev/null | grep -q OL && break; sleep 0.1; done
    start_nut "$WORK/upsmon.log" /lib/nut/upsmon -u root -F
    sleep 3
    local pids=() p
    for p in "${NUT_PIDS[@]}"; do pids+=($(pgrep -g "$p" || true)); done
    [ ${#pids[@]} -ge 3 ] || { echo "NUT did not start:"; tail -n 5 "$WORK"/*.log; exit 1; }

    echo "   $TRANSITIONS mains failures and returns"
    count_notices() { wc -l <"$WORK/notices"; }
    drive_transitions || exit 1

    sleep 3
    echo "   idle for $IDLE_SECONDS s (${#pids[@]} processes)"
    local cpu0 t0 cpu1 t1
    cpu0=$(sum_ticks "${pids[@]}") t0=$(seconds_now)
    sleep "$IDLE_SECONDS"
    cpu1=$(sum_ticks "${pids[@]}") t1=$(seconds_now)
    local rss=0
    for p in "${pids[@]}"; do rss=$((rss + $(proc_rss_kb "$p" || echo 0))); done
    RESULT[$subject,rss]=$rss
    stop_nut
    stop_simulator
    exec 9>&-
    unset NUT_CONFPATH NUT_STATEPATH NUT_ALTPIDPATH

    RESULT[$subject,cpu]=$(share "$cpu0" "$cpu1" "$t0" "$t1")
    RESULT[$subject,server]=0.00
    RESULT[$subject,total]=${RESULT[$subject,cpu]}
    RESULT[$subject,processes]=${#pids[@]}
    RESULT[$subject,seconds]=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", b - a }')
    awk '$2 == "ONBATT" { print $1 }' "$WORK/notices" >"$WORK/off.notices"
    awk '$2 == "ONLINE" { print $1 }' "$WORK/notices" >"$WORK/on.notices"
    RESULT[$subject,off]=$(latency off "$WORK/off.notices")
    RESULT[$subject,on]=$(latency on "$WORK/on.notices")
    RESULT[$subject,polled]=$(poll_to_notice "$WORK/off.notices")
}

echo "== benchmark in $BENCH_ROOT ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
[ -n "$BASELINE" ] && measure_kovrin baseline "$BASELINE"
measure_kovrin kovrin "$WIN32/dist"
[ "$NUT" = 1 ] && measure_nut

off_bound=$(awk -v a="$INTERVAL" -v l="$LIMIT_MS" 'BEGIN { printf "%.0f", a + l }')
on_bound=$(awk -v a="$FAIL_INTERVAL" -v l="$LIMIT_MS" 'BEGIN { printf "%.0f", a + l }')
echo
echo "== results (load at the end $(cut -d' ' -f1-3 /proc/loadavg))"
for s in "${SUBJECTS[@]}"; do
    [ "$s" = nut ] && continue
    read -r ex_median ex_max ex_n <<<"${RESULT[$s,exchange]}"
    read -r ta_median ta_max ta_n <<<"${RESULT[$s,turnaround]}"
    read -r off_median off_max off_n <<<"${RESULT[$s,off]}"
    read -r on_median on_max on_n <<<"${RESULT[$s,on]}"
    echo "-- $s"
    printf 'status exchange (Q1 + 47-byte answer): median %s ms, max %s ms over %s polls; 2400-baud limit %s ms (the simulator waits 20 ms before answering)\n' \
        "$ex_median" "$ex_max" "$ex_n" "$LIMIT_MS"
    printf 'from the last byte of a failure'"'"'s status answer to the rule'"'"'s UPS command: median %s ms, max %s ms over %s\n' \
        "$ta_median" "$ta_max" "$ta_n"
    printf 'mains failure -> journal entry: median %s ms, max %s ms over %s failures; bound Interval + exchange = %s ms (%s)\n' \
        "$off_median" "$off_max" "$off_n" "$off_bound" "$(within "$off_max" "$off_bound")"
    printf 'mains return -> journal entry:  median %s ms, max %s ms over %s returns; bound FailInterval + exchange = %s ms (%s)\n' \
        "$on_median" "$on_max" "$on_n" "$on_bound" "$(within "$on_max" "$on_bound")"
    # (Only %s: the shell's printf would read numbers with the Russian locale's comma.)
    printf 'idle CPU over %s s: Kovrin.exe %s %%, wineserver %s %% of one core\n' \
        "${RESULT[$s,seconds]}" "${RESULT[$s,cpu]}" "${RESULT[$s,server]}"
    printf 'memory: Kovrin.exe VmRSS %s kB, wineserver VmRSS %s kB\n' "${RESULT[$s,rss]}" "${RESULT[$s,srss]}"
done
echo
echo "== side by side: idle CPU over ${IDLE_SECONDS} s (per cent of one core); mains failure and return to the monitor's notice, and the first status command after the failure to the notice (ms)"
printf '%-14s %8s %10s %8s %12s %12s %11s %12s\n' subject monitor wineserver total "failure med" "failure max" "return med" "poll->notice"
for s in "${SUBJECTS[@]}"; do
    read -r off_median off_max _ <<<"${RESULT[$s,off]}"
    read -r on_median _ _ <<<"${RESULT[$s,on]}"
    read -r polled_median _ _ <<<"${RESULT[$s,polled]}"
    name=$s
    [ "$s" = nut ] && name="NUT (${RESULT[$s,processes]} proc.)"
    printf '%-14s %8s %10s %8s %12s %12s %11s %12s\n' "$name" "${RESULT[$s,cpu]}" "${RESULT[$s,server]}" \
        "${RESULT[$s,total]}" "$off_median" "$off_max" "$on_median" "$polled_median"
done
echo "(Kovrin: the journal entry; NUT: upsmon's ONBATT/ONLINE notify command; NUT's driver polls every 2 s, upsmon every $NUT_POLLFREQ s, so its poll->notice holds upsmon's own phase)"
echo "parse_bench ($(grep -q 'KOVRIN_SANITIZE:BOOL=ON' "$NATIVE/CMakeCache.txt" 2>/dev/null &&
    echo "sanitizer build, slower than a release build" || echo "$NATIVE")):"
"$NATIVE/bench/parse_bench" | sed 's/^/  /'
