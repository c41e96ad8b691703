#!/usr/bin/env bash
# Soak run: Kovrin.exe under Wine against the simulator for DURATION seconds, polling
# every 500 ms while the mains fail and return every few seconds. Afterwards it checks
# that every transition the simulator made is journaled exactly once, in order; that
# the statistics hold only whole records with the simulator's values; and that the
# monitor's memory and handles stop growing after the first minute. Prints a summary;
# exits 1 on any violation.
#
#   scripts/soak.sh [DURATION_SECONDS]      (default 60)
#
# Build trees: KOVRIN_NATIVE_TREE (simulator, dump tool) and KOVRIN_WIN32_TREE
# (Kovrin.exe, with its Wine prefix inside); default build/soak-native and
# build/soak-win32, configured and built when a program is missing.
#
# Handles: Wine keeps a Windows process's handles in its server, and the handle count
# Windows would report is not available under Wine (GetProcessHandleCount gives 0). The
# open file descriptors of the Kovrin.exe process and of the prefix's wineserver stand
# in for it: every file, pipe, thread and event a handle holds shows up in one of them.
set -euo pipefail

DURATION=${1:-60}
[[ "$DURATION" =~ ^[0-9]+$ ]] && [ "$DURATION" -ge 20 ] ||
    { echo "usage: scripts/soak.sh [DURATION_SECONDS >= 20]" >&2; exit 2; }
ROOT=$(cd "$(dirname "$0")/.." && pwd)
NATIVE=$(realpath -m "${KOVRIN_NATIVE_TREE:-$ROOT/build/soak-native}")
WIN32=$(realpath -m "${KOVRIN_WIN32_TREE:-$ROOT/build/soak-win32}")

# Windows, the tray and message boxes need an X display.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi

build_if_missing() {
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
}
build_if_missing

source "$ROOT/scripts/common.sh"
wine_env
ensure_wine_prefix "$WIN32/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$WIN32/dist KOVRIN_TOOLS=$NATIVE/tools
export KOVRIN_WORK=$WIN32/soak KOVRIN_POST=$WIN32/testtools/kovrin-post.exe
source "$ROOT/tests/e2e/lib.sh"
set +e # the checks below report; they do not stop the run

INTERVAL=500
STAT_INTERVAL=2000
SAMPLE_EVERY=5 # seconds
VIOLATIONS=0
violation() {
    echo "VIOLATION: $*"
    VIOLATIONS=$((VIOLATIONS + 1))
}
# EPOCHREALTIME has the locale's decimal separator (a comma in the Russian one).
now_ms() { echo $((10#${EPOCHREALTIME//[.,]/} / 1000)); }

new_program_dir "Interval=$INTERVAL
FailInterval=$INTERVAL
StatInterval=$STAT_INTERVAL
DevLog=dev.log"
add_rule 1 0 9 'Сбой: батарея $BATT В, нагрузка $LOAD%'
add_rule 2 1 9 'Сеть вернулась'
# The battery neither drains nor charges, so the values stay the same for any length
# of run and every record can be checked.
start_driven_simulator -- "0 drain 0" "0 charge 0"
echo "== soak for $DURATION s in $KOVRIN_WORK (simulator on $SIM_PTY)"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 60 || { echo "no link with the simulator"; exit 1; }
PID=$(kovrin_process)
SERVER=$(wineserver_process)
[ -n "$PID" ] || { echo "Kovrin.exe process not found"; exit 1; }

# Toggle the mains every 2-4.5 s (so that transitions land at every phase of the poll),
# and sample the processes every few seconds.
started=$(now_ms)
end=$((started + DURATION * 1000))
next_toggle=$((started + 2000))
next_sample=$started
mains=on
samples=$KOVRIN_WORK/samples.txt
: >"$samples"
while [ "$(now_ms)" -lt "$end" ]; do
    t=$(now_ms)
    if [ "$t" -ge "$next_toggle" ] && [ "$t" -lt $((end - 3000)) ]; then
        [ "$mains" = on ] && mains=off || mains=on
        sim_do mains "$mains"
        next_toggle=$((t + 2000 + RANDOM % 2500))
    fi
    if [ "$t" -ge "$next_sample" ]; then
        kill -0 "$KOVRIN_PID" 2>/dev/null || { violation "Kovrin.exe ended by itself"; break; }
        echo "$(((t - started) / 1000)) $(proc_rss_kb "$PID") $(proc_fd_count "$PID")" \
            "$(proc_fd_count "$SERVER") $(proc_rss_kb "$SERVER") $(proc_cpu_ticks "$PID")" >>"$samples"
        next_sample=$((next_sample + SAMPLE_EVERY * 1000))
    fi
    sleep 0.1
done
[ "$mains" = off ] && { sim_do mains on; sleep 2; }
sleep 1
stop_kovrin 60
stop_simulator

# ---- Transitions: the simulator's, and the journal's, in order.
made=$(sim_mains_changes | awk '{ print $2 == "off" ? "Сбой питающей сети." : "Работа питающей сети возобновлена." }')
journaled=$(journal_texts | grep -xF -e 'Сбой питающей сети.' -e 'Работа питающей сети возобновлена.')
made_n=$(grep -c . <<<"$made")
journaled_n=$(grep -c . <<<"$journaled")
[ "$made" = "$journaled" ] ||
    violation "transitions made and journaled differ: $(diff <(echo "$made") <(echo "$journaled") | head -5 | tr '\n' ' ')"
[ "$(journal_texts | grep -c '^Сбой: батарея ')" = "$(grep -c '^Сбой' <<<"$made")" ] ||
    violation "the failure rule did not run once per failure"
[ "$(journal_count "Нет ответа от UPS.")" = 0 ] || violation "the link was lost"
[ "$(journal_texts | tail -n2 | head -n1)" = "Выход." ] || violation "the run did not end with \"Выход.\""
[ "$(journal_csv | tail -n1 | cut -d, -f2)" = 0 ] || violation "no end-of-run record last"
[ $(($(file_size "$WORK/Kovrin.lgb") % 116)) = 0 ] || violation "journal not whole records"

# Seconds from each transition to its journal entry.
latencies=$(paste -d' ' <(sim_mains_changes | awk -v t0="$SIM_STARTED_AT" '{ printf "%.3f\n", t0 + $1 }') \
    <(record_epochs journal "$WORK/Kovrin.lgb" | grep -E ' [12] (Сбой питающей сети|Работа питающей сети возобновлена)\.$' | cut -d' ' -f1) |
    awk 'NF == 2 { printf "%.3f\n", $2 - $1 }' | sort -n)

# ---- Statistics: whole records, each with the simulator's values for mains or battery.
stat_size=$(file_size "$WORK/Stat.ups")
records=$((stat_size / 52))
[ $((stat_size % 52)) = 0 ] || violation "Stat.ups is $stat_size bytes, not whole records"
bad=$(stats_csv | awk -F, '
    { mains = $2 == "220.0" && $3 == "220.0" && $10 == 288; battery = $2 == "0.0" && $3 == "0.0" && $10 == 289 }
    !(mains || battery) || $4 != "220.0" || $5 != "13.60" || $6 != "50.0" || $7 != "25.0" || $8 != "25" { print }')
[ -z "$bad" ] || violation "$(grep -c . <<<"$bad") statistics records with wrong values, e.g. $(head -n1 <<<"$bad")"
expected_records=$((DURATION * 1000 / STAT_INTERVAL))
[ "$records" -ge $((expected_records * 8 / 10)) ] ||
    violation "only $records statistics records in $DURATION s (about $expected_records expected)"

# ---- Growth after the first minute: the plateau is the highest sample of the first
# minute's second half (of the run's first half when it is shorter than two minutes),
# the end the last sample.
base=$((DURATION >= 120 ? 60 : DURATION / 2))
plateau() { awk -v c="$1" -v a=$((base / 2)) -v b="$base" '$1 >= a && $1 <= b && $c > m { m = $c } END { print m + 0 }' "$samples"; }
last() { tail -n1 "$samples" | awk -v c="$1" '{ print $c }'; }
rss0=$(plateau 2) rss1=$(last 2)
fd0=$(plateau 3) fd1=$(last 3)
sfd0=$(plateau 4) sfd1=$(last 4)
srss0=$(plateau 5) srss1=$(last 5)
[ "$rss1" -le $((rss0 + (rss0 * 3 / 100 > 1024 ? rss0 * 3 / 100 : 1024))) ] ||
    violation "Kovrin.exe memory grew from $rss0 kB to $rss1 kB"
[ "$fd1" -le $((fd0 + 2)) ] || violation "Kovrin.exe descriptors grew from $fd0 to $fd1"
[ "$sfd1" -le $((sfd0 + 4)) ] || violation "wineserver descriptors grew from $sfd0 to $sfd1"
cpu=$(awk 'NR == 1 { a = $6 } { b = $6; t = $1 } END { if (t > 0) printf "%.1f", (b - a) / '"$(getconf CLK_TCK)"' / t * 100 }' "$samples")

echo
echo "== soak summary ($DURATION s, polls every $INTERVAL ms, statistics every $STAT_INTERVAL ms)"
echo "transitions: $made_n made by the simulator, $journaled_n journaled"
echo "time to the journal entry: median $(awk '{ a[NR] = $1 } END { if (NR) print a[int((NR + 1) / 2)] }' <<<"$latencies") s," \
    "max $(tail -n1 <<<"$latencies") s"
echo "journal: $(($(file_size "$WORK/Kovrin.lgb") / 116)) entries; statistics: $records records ($stat_size bytes)"
echo "Kovrin.exe VmRSS: $rss0 kB in the first minute, $rss1 kB at the end"
echo "Kovrin.exe open descriptors: $fd0 in the first minute, $fd1 at the end"
echo "wineserver open descriptors: $sfd0 in the first minute, $sfd1 at the end (VmRSS $srss0 -> $srss1 kB)"
echo "Kovrin.exe CPU while soaking: ${cpu:-?} % of one core"
echo "samples (s, rss kB, fds, server fds, server rss kB, cpu ticks): $samples"
if [ "$VIOLATIONS" -gt 0 ]; then
    echo "$VIOLATIONS violation(s)"
    exit 1
fi
echo "no violations"
