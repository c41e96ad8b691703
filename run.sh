#!/usr/bin/env bash
# Builds Kovrin and runs it under Wine, against the UPS simulator through a scripted power
# failure (default) or against a real UPS (--port /dev/ttyUSB0), printing the journal as
# it grows. Ends the monitor with a close request, as Windows does at logoff. Exits
# non-zero when the monitor did not run its course: no journal, no start, no orderly exit,
# or (over the whole demonstration) no mains failure and return in the journal.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$KOVRIN_ROOT"

port=
seconds=40
args=("$@")
while [ $# -gt 0 ]; do
    case $1 in
    --port) port=${2:?--port needs a device}; shift 2 ;;
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    -h | --help)
        echo "usage: ./run.sh [--port DEVICE] [--seconds N]"
        echo "  without --port: the simulator plays scenarios/demo.txt (about 40 s)"
        echo "  --port DEVICE: a real UPS on that serial device; Ctrl-C ends the monitor"
        exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "--seconds wants a whole number, not '$seconds'" >&2; exit 2; }

# The 32-bit monitor where this host runs i386 code; the 64-bit build of the same sources
# where it does not (or with KOVRIN_WINE_ARCH=win64).
choose_wine_arch
ensure_packages
arch=$KOVRIN_WINE_ARCH

# Windows need an X display: without one, the whole run goes onto a virtual one. (An
# exported shell function would not survive xvfb-run, a /bin/sh script, so the script
# itself runs again there.)
if [ -z "${DISPLAY:-}" ]; then
    log "No display: running on a virtual one (xvfb-run)"
    exec xvfb-run -a "$0" ${args[@]+"${args[@]}"}
fi

log "Building"
build_tree native >/dev/null
build_tree "$arch" --target deliverables >/dev/null

demo=$KOVRIN_ROOT/build/demo-$arch
mkdir -p "$demo"
cp "build/$arch/dist/Kovrin.exe" "$demo"/
[ -f "build/$arch/dist/DIALOG.DLL" ] && cp "build/$arch/dist/DIALOG.DLL" "$demo"/
[ -d "build/$arch/dist/DOC" ] && cp -r "build/$arch/dist/DOC" "$demo"/
# As the settings page writes it: a [Main] section, CR LF line ends. A file from an older
# run without the section header is written anew, or the window's changes would land in a
# section below the lines the monitor reads first.
if ! grep -q '^\[Main\]' "$demo/Kovrin.ini" 2>/dev/null; then
    printf '[Main]\r\nInterval=2500\r\nFailInterval=1000\r\nStatInterval=10000\r\nTimeOut=2000\r\nPort=COM1\r\nDTR=1\r\nRTS=1\r\nDevLog=dev.log\r\n' \
        >"$demo/Kovrin.ini"
fi
# Each run shows its own journal.
rm -f "$demo/Kovrin.lgb"

wine_env
ensure_wine_prefix "$KOVRIN_ROOT/build/wineprefix-demo-$arch"

sim_pid=
follow=
kovrin=
stop_helpers() {
    [ -n "$follow" ] && kill "$follow" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
}
trap stop_helpers EXIT

simulated=
if [ -z "$port" ]; then
    simulated=1
    build/native/tools/upssim/upssim --quiet --log "$demo/sim.log" --scenario scenarios/demo.txt >"$demo/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 100); do
        port=$(head -n1 "$demo/sim.out" 2>/dev/null || true)
        [[ "$port" == /dev/* ]] && break
        sleep 0.05
    done
    [[ "$port" == /dev/* ]] || { echo "the simulator did not start: $(cat "$demo/sim.out")" >&2; exit 1; }
    log "Simulator on $port (scenario scenarios/demo.txt)"
else
    [ -e "$port" ] || { echo "no such device: $port" >&2; exit 1; }
    seconds=0
fi
wineserver -k 2>/dev/null || true
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$port" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true

case $arch in
win32) log "The 32-bit Kovrin.exe (the product) in $demo, under wine32 (journal below)" ;;
*)
    case ${KOVRIN_WINE_ARCH_CHOSEN:-} in
    host) why="this host runs no i386 code" ;;
    "") why="KOVRIN_WINE_ARCH=win64" ;;
    *) why=$KOVRIN_WINE_ARCH_CHOSEN ;;
    esac
    log "The 64-bit Kovrin.exe in $demo, under wine64: $why (journal below)" ;;
esac
# Its own session, so that Ctrl-C reaches this script and not the monitor.
(cd "$demo" && exec setsid wine ./Kovrin.exe) >"$demo/wine.out" 2>&1 &
kovrin=$!
build/native/tools/dump/kovrin-dump --follow --journal "$demo/Kovrin.lgb" &
follow=$!
ran_whole=1
if [ "$seconds" -gt 0 ]; then
    for _ in $(seq 1 "$seconds"); do
        kill -0 "$kovrin" 2>/dev/null || { ran_whole=; break; }
        sleep 1
    done
else
    echo "Monitoring $port; Ctrl-C ends the monitor."
    trap 'true' INT
    wait "$kovrin" || true
fi
wine taskkill /im Kovrin.exe >/dev/null 2>&1 || true
for _ in $(seq 1 100); do kill -0 "$kovrin" 2>/dev/null || break; sleep 0.1; done
sleep 0.5
stop_helpers
trap - EXIT

# What the monitor left says whether it ran.
journal=$(build/native/tools/dump/kovrin-dump --journal "$demo/Kovrin.lgb" 2>/dev/null || true)
problems=()
[ -n "$journal" ] || problems+=("it wrote no journal")
if [ -n "$journal" ]; then
    grep -q 'Запуск\.\.\.' <<<"$journal" || problems+=("the journal has no start")
    grep -q 'Выход\.' <<<"$journal" || problems+=("the journal has no orderly exit")
    # The scenario's mains fail at 8 s and return at 20 s.
    if [ -n "$simulated" ] && [ "$seconds" -ge 24 ]; then
        grep -q 'Сбой питающей сети\.' <<<"$journal" || problems+=("the journal shows no mains failure")
        grep -q 'Работа питающей сети возобновлена\.' <<<"$journal" ||
            problems+=("the journal shows no return of the mains")
    fi
fi
[ -n "$ran_whole" ] || problems+=("the monitor ended before its time")
if [ ${#problems[@]} -gt 0 ]; then
    log "The monitor did not run as it should: $(IFS=';'; echo "${problems[*]}" | sed 's/;/; /g')"
    echo "Wine's output ($demo/wine.out):"
    # Wine's console speaks the OEM code page of the Russian locale.
    tail -20 "$demo/wine.out" | iconv -f CP866 -t UTF-8 2>/dev/null || tail -20 "$demo/wine.out" || true
    exit 1
fi
log "Files left in $demo: Kovrin.lgb (journal), Stat.ups (statistics), dev.log (device log)"
