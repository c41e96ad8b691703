#!/usr/bin/env bash
# Window soak: Kovrin.exe under Wine against the simulator while its window is opened and
# closed again and again (each opening from a freshly loaded library, every page visited,
# "Q1" sent from the terminal and answered), and the mains fail for half a minute every
# three minutes. Afterwards it checks that the polls never paused longer than twice their
# interval, that every transition the simulator made is journaled once and in order, and
# that the monitor holds the same kernel handles, threads and windows after the last
# opening as after the first. Prints a summary; exits 1 on any violation.
#
#   scripts/soak-window.sh [OPENINGS [SECONDS]]      (default 500 openings, 1800 s)
#
# Uses the trees build/native (simulator, dump tool) and build/$KOVRIN_WINE_ARCH
# (Kovrin.exe, DIALOG.DLL, kovrin-ui), built by ./test.sh.
set -euo pipefail

OPENINGS=${1:-500}
SECONDS_WANTED=${2:-1800}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
choose_wine_arch
TREE=$ROOT/build/$KOVRIN_WINE_ARCH
[ -f "$TREE/dist/DIALOG.DLL" ] && [ -x "$ROOT/build/native/tools/upssim/upssim" ] ||
    { echo "build the trees first (./test.sh)" >&2; exit 2; }

# Windows, the tray and message boxes need an X display.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi

wine_env
ensure_wine_prefix "$TREE/wineprefix" >/dev/null
export KOVRIN_SOURCE=$ROOT KOVRIN_DIST=$TREE/dist KOVRIN_TOOLS=$ROOT/build/native/tools
export KOVRIN_WORK=$TREE/soak-window KOVRIN_POST=$TREE/testtools/kovrin-post.exe
export KOVRIN_UI=$TREE/testtools/kovrin-ui.exe
source "$ROOT/tests/e2e/lib.sh"
set +e # the checks below report; they do not stop the run
trap - ERR

INTERVAL=1000
VIOLATIONS=0
violation() {
    echo "VIOLATION: $*"
    VIOLATIONS=$((VIOLATIONS + 1))
}

new_program_dir "[Main]
Interval=$INTERVAL
FailInterval=$INTERVAL
StatInterval=10000
DevLog=dev.log"
# The terminal's history starts at the most the window shows, so every opening loads as
# much as the last: memory after the first and the last opening then compares like with
# like (a history that still grows makes each opening's heap a little larger).
for ((i = 0; i < 1000; i++)); do
    printf 'Q1\r\n(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000\r\n'
done >"$KOVRIN_WORK/Term.ups"
# The battery neither drains nor charges: half-hour runs never reach its low level.
start_driven_simulator -- "0 drain 0" "0 charge 0"
echo "== window soak: at least $OPENINGS openings and $SECONDS_WANTED s, in $KOVRIN_WORK"
start_kovrin
wait_for_journal "Связь с UPS успешно установлена." 60 || { echo "no link with the simulator"; exit 1; }
PID=$(kovrin_process)
[ -n "$PID" ] || { echo "Kovrin.exe process not found"; exit 1; }

# The mains fail for 30 s every 3 minutes while the window comes and goes.
(
    while sleep 150; do
        sim_do mains off
        sleep 30
        sim_do mains on
    done
) &
toggler=$!
wine "$KOVRIN_UI" soak "$OPENINGS" "$SECONDS_WANTED" "$PID" 2>&1 | tr -d '\r' | tee "$WORK/soak.txt"
soak_rc=${PIPESTATUS[0]}
kill "$toggler" 2>/dev/null
wait "$toggler" 2>/dev/null
sim_do mains on
sleep 3
stop_kovrin 60
stop_simulator

case $soak_rc in
0) ;;
3) violation "the monitor's handles, threads or windows differ after the last opening" ;;
*) violation "the openings stopped (kovrin-ui soak exit $soak_rc)" ;;
esac

# ---- Polls: never a pause longer than twice the interval.
longest=$(sim_poll_times | awk 'NR > 1 { g = $1 - p; if (g > m) m = g } { p = $1 } END { printf "%.2f", m }')
polls=$(sim_poll_times | wc -l)
awk -v g="$longest" -v i="$INTERVAL" 'BEGIN { exit !(g <= 2 * i / 1000) }' ||
    violation "a pause of $longest s between polls"

# ---- Transitions: the simulator's, and the journal's, in order.
made=$(sim_mains_changes | awk '{ print $2 == "off" ? "Сбой питающей сети." : "Работа питающей сети возобновлена." }')
journaled=$(journal_texts | grep -xF -e 'Сбой питающей сети.' -e 'Работа питающей сети возобновлена.')
[ "$made" = "$journaled" ] ||
    violation "transitions made and journaled differ: $(diff <(echo "$made") <(echo "$journaled") | head -5 | tr '\n' ' ')"
[ "$(journal_count "Нет ответа от UPS.")" = 0 ] || violation "the link was lost"
[ "$(journal_texts | tail -n2 | head -n1)" = "Выход." ] || violation "the run did not end with \"Выход.\""

echo
echo "== window soak summary"
grep -E "^(after|openings)" "$WORK/soak.txt"
echo "polls: $polls, the longest pause between two $longest s (interval $INTERVAL ms)"
echo "transitions: $(grep -c . <<<"$made") made by the simulator, $(grep -c . <<<"$journaled") journaled"
if [ "$VIOLATIONS" -gt 0 ]; then
    echo "$VIOLATIONS violation(s)"
    exit 1
fi
echo "no violations"
