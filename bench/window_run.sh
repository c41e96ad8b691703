#!/usr/bin/env bash
# The window library's times on this machine, under Wine, reported and never judged:
#   - from a left click on the tray icon to the main window shown with the first status
#     painted, median and maximum over 20 openings (the real monitor and the simulator);
#   - one status record handled with every meter repainted (the library loaded by a
#     program that plays the monitor), median and maximum over 500 records;
#   - the window opened over a journal of 100 000 records (11.6 MB) against an empty one,
#     and one live record added at the top of that list;
#   - one diagram refresh over a year of statistics 10 s apart (3 153 600 records, 164 MB),
#     beside a plain read of the same file, and the same refresh with the file out of the
#     page cache (dropped with posix_fadvise DONTNEED through dd, checked with fincore).
# Trees: KOVRIN_TREE (a Windows build, default build/win32 or build/win64 as the host
# allows) and KOVRIN_NATIVE_TREE (default build/native), built when a program is missing.
# BENCH_BASELINE_DIST: the program directory of another build (e.g. of an older commit);
# its DIALOG.DLL's status figures are taken beside these, BENCH_ROUNDS times each in turn.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
choose_wine_arch
TREE=$(realpath -m "${KOVRIN_TREE:-$ROOT/build/$KOVRIN_WINE_ARCH}")
NATIVE=$(realpath -m "${KOVRIN_NATIVE_TREE:-$ROOT/build/native}")
OPENINGS=${BENCH_OPENINGS:-20}
RECORDS=${BENCH_RECORDS:-500}
JOURNAL=${BENCH_JOURNAL:-100000}
STATS=${BENCH_STATS:-3153600}
ROUNDS=${BENCH_ROUNDS:-1}
BASELINE=${BENCH_BASELINE_DIST:+$(realpath -m "$BENCH_BASELINE_DIST")}

if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"; fi

if [ ! -x "$NATIVE/tools/upssim/upssim" ] || [ ! -x "$NATIVE/tools/dump/kovrin-dump" ]; then
    cmake --build "$NATIVE" --target upssim kovrin-dump -j2 >/dev/null
fi
if [ ! -f "$TREE/testtools/window_bench.exe" ] || [ ! -f "$TREE/dist/DIALOG.DLL" ]; then
    cmake --build "$TREE" --target deliverables window_bench kovrin-post kovrin-ui -j2 >/dev/null
fi

wine_env
ensure_wine_prefix "$TREE/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$TREE/dist KOVRIN_TOOLS=$NATIVE/tools
export KOVRIN_WORK=$TREE/bench-window KOVRIN_POST=$TREE/testtools/kovrin-post.exe KOVRIN_UI=$TREE/testtools/kovrin-ui.exe
source "$ROOT/tests/e2e/lib.sh"

echo "== $KOVRIN_WINE_ARCH build, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
new_program_dir "Interval=1000"
start_simulator -- "600 quit"
start_kovrin
sleep 4
wine "$TREE/testtools/window_bench.exe" open "$OPENINGS" | tr -d '\r'
stop_kovrin
stop_simulator

cp "$TREE/testtools/window_bench.exe" "$WORK"/
if [ -n "$BASELINE" ]; then
    mkdir -p "$WORK/baseline"
    cp "$BASELINE/DIALOG.DLL" "$TREE/testtools/window_bench.exe" "$WORK/baseline/"
fi
for round in $(seq 1 "$ROUNDS"); do
    (cd "$WORK" && wine ./window_bench.exe status "$RECORDS") | tr -d '\r'
    if [ -n "$BASELINE" ]; then
        (cd "$WORK/baseline" && wine ./window_bench.exe status "$RECORDS") | tr -d '\r' |
            sed 's/^/baseline: /'
    fi
done
(cd "$WORK" && wine ./window_bench.exe journal "$JOURNAL") | tr -d '\r' | iconv -f CP1251 -t UTF-8
(cd "$WORK" && wine ./window_bench.exe diagram "$STATS") | tr -d '\r' | iconv -f CP1251 -t UTF-8
# The same refresh over the file out of the page cache, as after a reboot or a long while.
sync "$WORK/Stat.ups"
for i in 1 2 3; do
    dd if="$WORK/Stat.ups" iflag=nocache count=0 status=none
    cached=$(fincore --bytes --noheadings --output RES "$WORK/Stat.ups" | tr -d ' ')
    (cd "$WORK" && wine ./window_bench.exe refresh 1) | tr -d '\r' | iconv -f CP1251 -t UTF-8 |
        sed "s/^/cold ($cached bytes of the file cached before): /"
done
rm -f "$WORK/Stat.ups" "$WORK/Kovrin.lgb"
