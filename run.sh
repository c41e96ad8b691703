#!/usr/bin/env bash
# Builds Kovrin and runs it under Wine, against the UPS simulator through a scripted power
# failure (default) or against a real UPS (--port /dev/ttyUSB0), printing the journal as
# it grows. Ends the monitor with a close request, as Windows does at logoff.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$KOVRIN_ROOT"

port=
seconds=40
while [ $# -gt 0 ]; do
    case $1 in
    --port) port=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    -h | --help)
        echo "usage: ./run.sh [--port DEVICE] [--seconds N]"
        echo "  without --port: the simulator plays scenarios/demo.txt (about 40 s)"
        echo "  --port DEVICE: a real UPS on that serial device; Ctrl-C ends the monitor"
        exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done

# The 32-bit monitor where this host runs i386 code; the 64-bit build of the same sources
# where it does not (or with KOVRIN_WINE_ARCH=win64).
choose_wine_arch
arch=$KOVRIN_WINE_ARCH
ensure_packages
log "Building"
build_tree native >/dev/null
build_tree "$arch" --target deliverables >/dev/null

demo=$KOVRIN_ROOT/build/demo-$arch
mkdir -p "$demo"
cp "build/$arch/dist/Kovrin.exe" "$demo"/
[ -f "build/$arch/dist/DIALOG.DLL" ] && cp "build/$arch/dist/DIALOG.DLL" "$demo"/
[ -d "build/$arch/dist/DOC" ] && cp -r "build/$arch/dist/DOC" "$demo"/
[ -f "$demo/Kovrin.ini" ] || printf 'Port=COM1\r\nInterval=2500\r\nFailInterval=1000\r\nStatInterval=10000\r\nDevLog=dev.log\r\n' >"$demo/Kovrin.ini"

wine_env
ensure_wine_prefix "$KOVRIN_ROOT/build/wineprefix-demo-$arch"

sim_pid=
if [ -z "$port" ]; then
    build/native/tools/upssim/upssim --quiet --log "$demo/sim.log" --scenario scenarios/demo.txt >"$demo/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 100); do
        port=$(head -n1 "$demo/sim.out" 2>/dev/null || true)
        [[ "$port" == /dev/* ]] && break
        sleep 0.05
    done
    log "Simulator on $port (scenario scenarios/demo.txt)"
else
    [ -e "$port" ] || { echo "no such device: $port" >&2; exit 1; }
    seconds=0
fi
wineserver -k 2>/dev/null || true
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$port" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true

run_monitor() {
    # Its own session, so that Ctrl-C reaches this script and not the monitor.
    (cd "$demo" && exec setsid wine ./Kovrin.exe) >"$demo/wine.out" 2>&1 &
    local kovrin=$!
    build/native/tools/dump/kovrin-dump --follow --journal "$demo/Kovrin.lgb" &
    local follow=$!
    if [ "$seconds" -gt 0 ]; then
        sleep "$seconds"
    else
        echo "Monitoring $port; Ctrl-C ends the monitor."
        trap 'true' INT
        wait "$kovrin" || true
    fi
    wine taskkill /im Kovrin.exe >/dev/null 2>&1 || true
    for _ in $(seq 1 100); do kill -0 "$kovrin" 2>/dev/null || break; sleep 0.1; done
    sleep 0.5
    kill "$follow" 2>/dev/null || true
}

case $arch in
win32) log "The 32-bit Kovrin.exe (the product) in $demo, under wine32 (journal below)" ;;
*) log "The 64-bit Kovrin.exe in $demo, under wine64: this host runs no i386 code (journal below)" ;;
esac
if [ -n "${DISPLAY:-}" ]; then
    run_monitor
else
    export -f run_monitor
    export demo seconds port
    xvfb-run -a bash -c run_monitor
fi
[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
log "Files left in $demo: Kovrin.lgb (journal), Stat.ups (statistics), dev.log (device log)"
