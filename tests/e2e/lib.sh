# End-to-end test helpers: a fresh program directory, the simulator on a pty mapped to
# COM1 of the test's Wine prefix, Kovrin.exe under Wine, and readers of what it left.
# Environment (set by ctest): KOVRIN_DIST, KOVRIN_TOOLS, KOVRIN_WORK, KOVRIN_SOURCE, WINEPREFIX.
set -euo pipefail

: "${KOVRIN_DIST:?}" "${KOVRIN_TOOLS:?}" "${KOVRIN_WORK:?}" "${WINEPREFIX:?}"
source "$KOVRIN_SOURCE/scripts/common.sh"
wine_env
# Wine gets the Russian locale; the checks here read numbers with a decimal point.
awk() { LC_ALL=C command awk "$@"; }

UPSSIM=$KOVRIN_TOOLS/upssim/upssim
DUMP=$KOVRIN_TOOLS/dump/kovrin-dump
WORK=$KOVRIN_WORK
SIM_PID=
SIM_PTY=
KOVRIN_PID=
FAILURES=0

cleanup() {
    [ -n "$KOVRIN_PID" ] && kill "$KOVRIN_PID" 2>/dev/null || true
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}
pass() { echo "ok: $*"; }

check() { # description command...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

finish() {
    if [ "$FAILURES" -gt 0 ]; then
        echo "--- journal"; journal_text || true
        [ -f "$WORK/dev.log" ] && { echo "--- device log (tail)"; tr '\r' '\n' <"$WORK/dev.log" | tail -40; }
        [ -f "$WORK/sim.log" ] && { echo "--- simulator log (tail)"; tail -30 "$WORK/sim.log"; }
        echo "$FAILURES check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}

# A fresh program directory with the given settings file contents.
new_program_dir() { # ini-text
    rm -rf "$WORK"
    mkdir -p "$WORK"
    cp "$KOVRIN_DIST"/Kovrin.exe "$WORK"/
    [ -f "$KOVRIN_DIST/DIALOG.DLL" ] && cp "$KOVRIN_DIST/DIALOG.DLL" "$WORK"/
    printf '%s' "$1" | sed 's/$/\r/' >"$WORK/Kovrin.ini"
}

# Starts upssim with scenario lines (one per argument, "SECONDS EVENT") and maps COM1 to it.
start_simulator() { # [upssim options --] events...
    local opts=()
    while [ $# -gt 0 ] && [ "$1" != "--" ] && [[ "$1" == --* ]]; do opts+=("$1"); shift; done
    [ "${1:-}" = "--" ] && shift
    local scenario=$WORK/scenario.txt
    printf '%s\n' "$@" >"$scenario"
    local out=$WORK/sim.out
    "$UPSSIM" --quiet --log "$WORK/sim.log" --scenario "$scenario" "${opts[@]}" >"$out" 2>&1 &
    SIM_PID=$!
    local i pty=
    for i in $(seq 1 100); do
        pty=$(head -n1 "$out" 2>/dev/null || true)
        [[ "$pty" == /dev/* ]] && break
        sleep 0.05
    done
    [[ "$pty" == /dev/* ]] || { echo "simulator did not start"; cat "$out"; exit 1; }
    SIM_PTY=$pty
    [ -n "${SIM_NO_MAP:-}" ] || map_com1 "$pty"
}

# Wine links dosdevices/comN to the registry's device when its server starts.
map_port() { # COMn device
    wineserver -k 2>/dev/null || true
    wine reg add 'HKLM\Software\Wine\Ports' /v "$1" /d "$2" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
map_com1() { map_port COM1 "$1"; }

start_kovrin() {
    (cd "$WORK" && exec wine "$WORK/Kovrin.exe") >"$WORK/wine.out" 2>&1 &
    KOVRIN_PID=$!
}

# A close request, as Windows sends at logoff or taskkill without /f: WM_CLOSE.
stop_kovrin() { # [timeout seconds]
    local limit=${1:-30}
    wine taskkill /im Kovrin.exe >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 $((limit * 10))); do
        kill -0 "$KOVRIN_PID" 2>/dev/null || { wait "$KOVRIN_PID" 2>/dev/null || true; KOVRIN_PID=; return 0; }
        sleep 0.1
    done
    fail "Kovrin.exe did not end within ${limit}s of the close request"
    kill "$KOVRIN_PID" 2>/dev/null || true
    KOVRIN_PID=
}

stop_simulator() {
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
    [ -n "$SIM_PID" ] && wait "$SIM_PID" 2>/dev/null || true
    SIM_PID=
}

# Journal as CSV rows "time,kind,port,text" (UTF-8), without the header.
journal_csv() { "$DUMP" --csv --journal "$WORK/Kovrin.lgb" | tail -n +2; }
journal_text() { "$DUMP" --journal "$WORK/Kovrin.lgb"; }
# The texts alone, one per line.
journal_texts() { journal_csv | awk -F, '{ sub(/^[^,]*,[^,]*,[^,]*,/, ""); gsub(/^"|"$/, ""); print }'; }
journal_count() { journal_texts | grep -cxF -- "$1" || true; }
stats_csv() { "$DUMP" --csv --stats "$WORK/Stat.ups" | tail -n +2; }

# Waits until the journal holds the text (or the time runs out).
wait_for_journal() { # text timeout-seconds
    local i
    for i in $(seq 1 $(($2 * 5))); do
        [ -f "$WORK/Kovrin.lgb" ] && [ "$(journal_count "$1")" -gt 0 ] && return 0
        sleep 0.2
    done
    return 1
}

# Device log lines (lone CR line ends) as ordinary lines.
devlog_lines() { tr '\r' '\n' <"$WORK/dev.log"; }

# Posts a message to the monitor's hidden window, as the dialog library would.
post_message() { # msg [wparam [lparam]]
    wine "$KOVRIN_POST" "$@" >/dev/null 2>&1
}

# Seconds (wall clock, relative to the simulator's start) of each status command it received.
sim_poll_times() { awk '$2 == "RX" && $3 == "\"Q1\"" { print $1 }' "$WORK/sim.log"; }
# Seconds at which a simulator event happened, e.g. sim_event_time "mains off".
sim_event_time() { awk -v e="$1" '$2 == "EV" { t = $1; $1 = ""; $2 = ""; sub(/^ +/, ""); sub(/ +\(line [0-9]+\)$/, ""); if ($0 == e) { print t; exit } }' "$WORK/sim.log"; }
# Gaps between consecutive polls that both fall inside [from, to] seconds.
poll_gaps() { # from to
    sim_poll_times | awk -v a="$1" -v b="$2" '$1 >= a && $1 <= b { if (n++) printf "%.2f\n", $1 - p; p = $1 }'
}

# Appends an event rule to Events.ups: id source action parameter [expression] (UTF-8 in,
# Windows-1251 in the file).
add_rule() {
    python3 - "$WORK/Events.ups" "$@" <<'PY'
import struct, sys
path, rid, source, action, param = sys.argv[1:6]
expr = sys.argv[6] if len(sys.argv) > 6 else ""
def text(s, size):
    b = s.encode("cp1251")[:size]
    return bytes([len(b)]) + b.ljust(size, b"\0")
rec = struct.pack("<HBB", int(rid), int(source), int(action)) + text(param, 255) + text(expr, 255)
assert len(rec) == 516
open(path, "ab").write(rec)
PY
}

# Appends a custom command to CustCmds.ups: id code description parameter.
add_command() {
    python3 - "$WORK/CustCmds.ups" "$@" <<'PY'
import struct, sys
path, cid, code, desc, param = sys.argv[1:6]
def text(s, size):
    b = s.encode("cp1251")[:size]
    return bytes([len(b)]) + b.ljust(size, b"\0")
rec = struct.pack("<HB", int(cid), int(code)) + text(desc, 50) + text(param, 50)
assert len(rec) == 105
open(path, "ab").write(rec)
PY
}

# Whether a message box is open; presses OK in it.
find_box() { wine "$KOVRIN_POST" --find-box >/dev/null 2>&1; }
close_box() { wine "$KOVRIN_POST" --close-box >/dev/null 2>&1; }
