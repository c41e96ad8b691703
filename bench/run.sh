#!/usr/bin/env bash
# One benchmark run on this machine: Kovrin.exe under Wine against the simulator with the
# default poll periods (Interval 2500 ms, FailInterval 1000 ms). Prints
#   - the time of one status exchange against the 2400-baud limit of 208 ms,
#   - the time from a mains failure (and return) to its journal entry over 20 or more
#     transitions, against the bound of one poll period plus one exchange,
#   - the idle monitor's CPU share over 60 s (Kovrin.exe and the prefix's wineserver)
#     and its memory,
#   - the lines of bench/parse_bench.
# It reports and exits 0; 1 only when it could not run. Takes about four minutes.
#
# Build trees: KOVRIN_NATIVE_TREE and KOVRIN_WIN32_TREE, default build/bench-native
# (Release, so that parse_bench runs without sanitizers) and build/bench-win32; built
# when a program is missing.
set -euo pipefail

TRANSITIONS=${BENCH_FAILURES:-20}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-60}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
NATIVE=$(realpath -m "${KOVRIN_NATIVE_TREE:-$ROOT/build/bench-native}")
WIN32=$(realpath -m "${KOVRIN_WIN32_TREE:-$ROOT/build/bench-win32}")

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

source "$ROOT/scripts/common.sh"
wine_env
ensure_wine_prefix "$WIN32/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$WIN32/dist KOVRIN_TOOLS=$NATIVE/tools
export KOVRIN_WORK=$WIN32/bench KOVRIN_POST=$WIN32/testtools/kovrin-post.exe
source "$ROOT/tests/e2e/lib.sh"

INTERVAL=2500
FAIL_INTERVAL=1000
BYTE_MS=$(awk 'BEGIN { print 10 / 2400 * 1000 }') # one byte of 10 bits at 2400 baud
LIMIT_MS=$(awk -v b="$BYTE_MS" 'BEGIN { printf "%.1f", (3 + 47) * b }')
seconds_now() { date +%s.%N; }
stats() { # "median max" of the numbers on stdin
    sort -n | awk '{ a[NR] = $1 } END { if (NR) printf "%.0f %.0f %d\n", a[int((NR + 1) / 2)], a[NR], NR }'
}

new_program_dir "Interval=$INTERVAL
FailInterval=$FAIL_INTERVAL"
# At each failure a rule sends a custom command: its arrival after the last byte of the
# status answer is the monitor's own time from an answer to acting on it.
add_rule 1 0 8 1
add_command 1 11 'Отметка' 'PING'
# The battery stays full however long the failures last.
start_driven_simulator -- "0 drain 0"
echo "== benchmark in $KOVRIN_WORK ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 60 || { echo "no link with the simulator"; exit 1; }
PID=$(kovrin_process)
SERVER=$(wineserver_process)
[ -n "$PID" ] || { echo "Kovrin.exe process not found"; exit 1; }

# ---- Mains failures at random phases of the poll period; each waits for its entry.
entries() { [ -f "$WORK/Kovrin.lgb" ] && echo $(($(file_size "$WORK/Kovrin.lgb") / 116)) || echo 0; }
wait_entries() { # count timeout-seconds
    local i
    for i in $(seq 1 $(($2 * 20))); do
        [ "$(entries)" -ge "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
echo "== $TRANSITIONS mains failures and returns (about $((TRANSITIONS * 6)) s)"
for i in $(seq 1 "$TRANSITIONS"); do
    sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.5 + r % 250 / 100 }')"
    n=$(entries)
    sim_do mains off
    wait_entries $((n + 1)) 10 || { echo "no entry for failure $i"; exit 1; }
    sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.5 + r % 150 / 100 }')"
    n=$(entries)
    sim_do mains on
    wait_entries $((n + 1)) 10 || { echo "no entry for return $i"; exit 1; }
done

# ---- Idle: on mains, polling every Interval, nothing else happening.
sleep 3
echo "== idle for $IDLE_SECONDS s"
cpu0=$(proc_cpu_ticks "$PID") srv0=$(proc_cpu_ticks "$SERVER") t0=$(seconds_now)
sleep "$IDLE_SECONDS"
cpu1=$(proc_cpu_ticks "$PID") srv1=$(proc_cpu_ticks "$SERVER") t1=$(seconds_now)
rss=$(proc_rss_kb "$PID") srss=$(proc_rss_kb "$SERVER")
stop_kovrin 60
stop_simulator

# ---- Exchange: from the status command's arrival to the last byte of its answer (the
# simulator logs when an answer starts; its 47 bytes follow at the line's speed), plus the
# command's own 3 bytes, which the pty delivers at once.
exchanges=$(awk -v b="$BYTE_MS" '
    $2 == "RX" && $3 == "\"Q1\"" && NF == 3 { rx = $1; next }
    $2 == "TX" && rx != "" && $3 ~ /^"\(/ { printf "%.1f\n", ($1 - rx) * 1000 + 50 * b; rx = "" }
    $2 == "RX" { rx = "" }' "$WORK/sim.log" | stats)
read -r ex_median ex_max ex_n <<<"$exchanges"
# The simulator starts an answer 20 ms after the command and puts a byte on the pty every
# 4.17 ms, so its 47th byte arrives 20 ms + 46 byte times after the command did (its log
# stamps the first byte when its loop got to it, which can be a little late).
turnaround=$(awk -v b="$BYTE_MS" '
    $2 == "RX" && $3 == "\"Q1\"" && NF == 3 { polled = $1 }
    $2 == "RX" && $3 == "\"PING\"" && polled != "" { printf "%.1f\n", ($1 - polled) * 1000 - 20 - 46 * b }' \
    "$WORK/sim.log" | stats)
read -r ta_median ta_max ta_n <<<"$turnaround"

# ---- Transition to journal entry: the simulator's clock made absolute with the moment
# it started; the journal's local date-times read to the millisecond.
latency() { # off|on journal-text
    paste -d' ' <(sim_mains_changes | awk -v t0="$SIM_STARTED_AT" -v w="$1" '$2 == w { printf "%.3f\n", t0 + $1 }') \
        <(record_epochs journal "$WORK/Kovrin.lgb" | grep -F " $2" | cut -d' ' -f1) |
        awk 'NF == 2 { printf "%.0f\n", ($2 - $1) * 1000 }' | stats
}
read -r off_median off_max off_n <<<"$(latency off "Сбой питающей сети.")"
read -r on_median on_max on_n <<<"$(latency on "Работа питающей сети возобновлена.")"
off_bound=$(awk -v a="$INTERVAL" -v l="$LIMIT_MS" 'BEGIN { printf "%.0f", a + l }')
on_bound=$(awk -v a="$FAIL_INTERVAL" -v l="$LIMIT_MS" 'BEGIN { printf "%.0f", a + l }')

tck=$(getconf CLK_TCK)
share() { awk -v a="$1" -v b="$2" -v s="$3" -v e="$4" -v t="$tck" 'BEGIN { printf "%.2f", (b - a) / t / (e - s) * 100 }'; }
within() { awk -v v="$1" -v l="$2" 'BEGIN { print v <= l ? "within" : "OVER" }'; }

echo
echo "== results"
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
    "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", b - a }')" "$(share "$cpu0" "$cpu1" "$t0" "$t1")" \
    "$(share "$srv0" "$srv1" "$t0" "$t1")"
printf 'memory: Kovrin.exe VmRSS %s kB, wineserver VmRSS %s kB\n' "$rss" "$srss"
echo "parse_bench ($(grep -q 'KOVRIN_SANITIZE:BOOL=ON' "$NATIVE/CMakeCache.txt" 2>/dev/null &&
    echo "sanitizer build, slower than a release build" || echo "$NATIVE")):"
"$NATIVE/bench/parse_bench" | sed 's/^/  /'
