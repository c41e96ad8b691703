#!/usr/bin/env bash
# Pictures of every page and window of the dialog library, taken from the real monitor
# and the simulator under Xvfb:  scripts/screenshots.sh [OUTDIR]   (default build/screenshots)
# Each file in scripts/screenshots.d/ adds the pictures of its windows; it is sourced with
# the end-to-end helpers (tests/e2e/lib.sh) at hand and the main window open, and calls
#   shot NAME [WINDOW CAPTION]   a PNG of the main window (or of that window) as OUTDIR/NAME.png
# The same pictures illustrate the user manual (DOC/IMAGES).
# KOVRIN_TREE=DIR (a Windows build tree) and KOVRIN_NATIVE_TREE=DIR take the programs
# from those trees as they are, without building.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(realpath -m "${1:-$ROOT/build/screenshots}")
source "$ROOT/scripts/common.sh"

if [ -z "${KOVRIN_SCREENSHOTS_INNER:-}" ]; then
    choose_wine_arch
    [ -n "${KOVRIN_TREE:-}" ] || ensure_packages
    arch=$KOVRIN_WINE_ARCH
    tree=${KOVRIN_TREE:-$ROOT/build/$arch}
    native=${KOVRIN_NATIVE_TREE:-$ROOT/build/native}
    if [ -z "${KOVRIN_TREE:-}" ]; then
        build_tree native --target upssim >/dev/null
        build_tree native --target kovrin-dump >/dev/null
        build_tree "$arch" -DKOVRIN_HOST_TOOLS_DIR="$native/tools" >/dev/null
    fi
    wine_env
    ensure_wine_prefix "$tree/wineprefix-screenshots"
    mkdir -p "$OUT"
    export KOVRIN_SCREENSHOTS_INNER=1 KOVRIN_DIST="$tree/dist" KOVRIN_TOOLS="$native/tools"
    export KOVRIN_WORK="$tree/screenshots-work" KOVRIN_SOURCE="$ROOT"
    export KOVRIN_POST="$tree/testtools/kovrin-post.exe" KOVRIN_UI="$tree/testtools/kovrin-ui.exe"
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$OUT"
fi

source "$ROOT/tests/e2e/lib.sh"
shot() { # name [window caption]
    sleep 0.7
    if screenshot "$OUT/$1.png" "${2:-}"; then echo "$OUT/$1.png"; else echo "no picture: $1" >&2; fi
}

# A UPS on mains with a little history in the journal and the statistics.
new_program_dir "DevLog=dev.log
Interval=1000
FailInterval=1000
StatInterval=2000"
# Yesterday's statistics, one record a minute, for the diagram: the input voltage sagging
# in the evening, the load of a working day, and a 20-minute failure at 14:00.
python3 - "$WORK/Stat.ups" <<'PY'
import datetime, math, struct, sys
day = (datetime.date.today() - datetime.timedelta(days=1) - datetime.date(1899, 12, 30)).days
with open(sys.argv[1], "wb") as out:
    battery, charge = 13.6, 100.0
    for minute in range(1440):
        hour = minute / 60
        failed = 14 * 60 <= minute < 14 * 60 + 20
        load = 25 + (20 if 9 <= hour < 18 else 0) + 3 * math.sin(minute / 7)
        if failed:
            battery, charge = battery - 0.09, charge - 3.5
            inp = out_v = 0.0
        else:
            battery, charge = min(13.6, battery + 0.02), min(100.0, charge + 0.6)
            inp = 224 - 12 * math.exp(-((hour - 19.5) ** 2) / 4) + 2 * math.sin(minute / 11)
        out_v = 220.0 if not failed else 218.0
        since = day + (14 * 60) / 1440 if failed else 0.0
        status = struct.pack("<6fBBHdd", inp, inp, out_v, battery, 50.0 if not failed else 0.0,
                             27.0, int(load), int(charge), 1 if failed else 0, since,
                             (minute - 14 * 60) / 1440 if failed else 0.0)
        out.write(struct.pack("<d", day + minute / 1440) + status)
PY
start_simulator --company "MEGATEC" --model "SIM-1000VA" --firmware "V2.4" -- "600 quit"
start_kovrin
sleep 4
open_dialog 30 || { echo "the main window did not open" >&2; exit 1; }
sleep 2

for page in 0 1 2 3 4 5 6; do
    names=(state extra events journal terminal settings about)
    ui tab "$page"
    shot "page-$page-${names[$page]}"
done

for part in "$ROOT"/scripts/screenshots.d/*.sh; do
    [ -e "$part" ] || continue
    ui tab 0
    # shellcheck source=/dev/null
    source "$part"
done

post_message 273 2 0
ui_ok wait-gone 20 || true
stop_kovrin
echo "pictures in $OUT"
