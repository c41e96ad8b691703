#!/usr/bin/env bash
# The network UPS server's costs, measured on this machine with Kovrin.exe under Wine and
# the simulator (Interval 1000 ms). Prints
#   - a GET VAR round trip on the loopback: median and worst over 1000 requests,
#   - 40 clients each listing every variable 100 times: requests per second, and the
#     largest gap between two polls meanwhile against an equal time just after without
#     clients (each window reaching a second further back, for the polls that bracket it),
#   - the idle monitor's CPU share with the server on and no client against the server off
#     (Kovrin.exe and the prefix's wineserver).
# It reports and exits 0; 1 only when it could not run. Takes about three minutes.
#
# Build trees: KOVRIN_NATIVE_TREE and KOVRIN_WIN32_TREE, default build/bench-native and
# build/bench-win32, built when a program is missing. BENCH_IDLE_SECONDS (default 60).
set -euo pipefail

IDLE_SECONDS=${BENCH_IDLE_SECONDS:-60}
ROUNDTRIPS=1000
CLIENTS=40
ROUNDS=100
ROOT=$(cd "$(dirname "$0")/.." && pwd)
NATIVE=$(realpath -m "${KOVRIN_NATIVE_TREE:-$ROOT/build/bench-native}")
WIN32=$(realpath -m "${KOVRIN_WIN32_TREE:-$ROOT/build/bench-win32}")

if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi

if [ ! -x "$NATIVE/tools/upssim/upssim" ] || [ ! -x "$NATIVE/tools/dump/kovrin-dump" ]; then
    echo "== building the simulator and the dump tool in $NATIVE"
    cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$NATIVE" --target upssim kovrin-dump -j2 >/dev/null
fi
if [ ! -f "$WIN32/dist/Kovrin.exe" ]; then
    echo "== building Kovrin.exe in $WIN32"
    cmake -S "$ROOT" -B "$WIN32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$WIN32" --target Kovrin -j2 >/dev/null
fi

source "$ROOT/scripts/common.sh"
wine_env
ensure_wine_prefix "$WIN32/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$WIN32/dist KOVRIN_TOOLS=$NATIVE/tools
export KOVRIN_WORK=$WIN32/nut-bench KOVRIN_POST=$WIN32/testtools/kovrin-post.exe
source "$ROOT/tests/e2e/lib.sh"
source "$ROOT/tests/e2e/nut_lib.sh"

sim_now() { awk -v t0="$SIM_STARTED_AT" -v now="$(date +%s.%N)" 'BEGIN { print now - t0 }'; }
largest_gap() { poll_gaps "$1" "$2" | sort -n | tail -1; }
tck=$(getconf CLK_TCK)
share() { awk -v a="$1" -v b="$2" -v s="$3" -v e="$4" -v t="$tck" 'BEGIN { printf "%.2f", (b - a) / t / (e - s) * 100 }'; }

# One run of the monitor: the server on or off. Leaves CPU shares in IDLE_KOVRIN and
# IDLE_SERVER; with the server on, runs the client measurements first.
run() { # on|off
    local port
    port=$(free_port)
    new_program_dir "[Main]
Interval=1000
FailInterval=1000
NutServer=$([ "$1" = on ] && echo 1 || echo 0)
NutTcpPort=$port
NutPassword=secret"
    start_driven_simulator -- "0 drain 0"
    start_kovrin
    wait_for_journal "Связь с UPS успешно установлена." 60 || { echo "no link with the simulator"; exit 1; }
    local pid server
    pid=$(kovrin_process)
    server=$(wineserver_process)
    [ -n "$pid" ] || { echo "Kovrin.exe process not found"; exit 1; }
    if [ "$1" = on ]; then
        wait_until 20 upsc_is "$port" ups.status OL || { echo "the server does not answer"; exit 1; }
        ROUNDTRIP=$(nut "$port" roundtrip "$ROUNDTRIPS")
        # The same time without clients, then with them.
        local quiet0 quiet1 busy0 busy1 t0 t1
        t0=$(date +%s.%N)
        LISTS=$(nut "$port" lists "$CLIENTS" "$ROUNDS" || true)
        t1=$(date +%s.%N)
        local span
        span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')
        busy1=$(sim_now)
        busy0=$(awk -v n="$busy1" -v s="$span" 'BEGIN { print n - s - 1 }')
        sleep "$span"
        quiet1=$(sim_now)
        quiet0=$(awk -v n="$quiet1" -v s="$span" 'BEGIN { print n - s - 1 }')
        GAP_BUSY=$(largest_gap "$busy0" "$busy1")
        GAP_QUIET=$(largest_gap "$quiet0" "$quiet1")
        SPAN=$span
    fi
    sleep 3
    local c0 s0 w0 c1 s1 w1
    c0=$(proc_cpu_ticks "$pid") s0=$(proc_cpu_ticks "$server") w0=$(date +%s.%N)
    sleep "$IDLE_SECONDS"
    c1=$(proc_cpu_ticks "$pid") s1=$(proc_cpu_ticks "$server") w1=$(date +%s.%N)
    IDLE_KOVRIN=$(share "$c0" "$c1" "$w0" "$w1")
    IDLE_SERVER=$(share "$s0" "$s1" "$w0" "$w1")
    stop_kovrin 60
    stop_simulator
}

echo "== network server benchmark in $KOVRIN_WORK ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
echo "== the server off, idle for $IDLE_SECONDS s"
run off
OFF_KOVRIN=$IDLE_KOVRIN OFF_SERVER=$IDLE_SERVER
echo "== the server on: $ROUNDTRIPS round trips, $CLIENTS clients x $ROUNDS lists, then idle for $IDLE_SECONDS s"
run on

read -r _ rt_median _ rt_max <<<"$ROUNDTRIP"
echo
echo "== results"
printf 'GET VAR round trip on 127.0.0.1: median %s ms, worst %s ms over %s requests\n' \
    "$rt_median" "$rt_max" "$ROUNDTRIPS"
echo "$CLIENTS clients x $ROUNDS LIST VAR: $LISTS"
printf 'largest gap between polls (Interval 1000 ms): %s s with the clients, %s s over the same %s s without\n' \
    "${GAP_BUSY:-?}" "${GAP_QUIET:-?}" "$SPAN"
printf 'idle CPU, server off: Kovrin.exe %s %%, wineserver %s %% of one core\n' "$OFF_KOVRIN" "$OFF_SERVER"
printf 'idle CPU, server on:  Kovrin.exe %s %%, wineserver %s %% of one core\n' "$IDLE_KOVRIN" "$IDLE_SERVER"
