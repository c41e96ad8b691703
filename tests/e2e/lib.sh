# End-to-end test helpers: a fresh program directory, the simulator on a pty mapped to
# COM1 of the test's Wine prefix, Kovrin.exe under Wine, and readers of what it left.
# Environment (set by ctest): KOVRIN_DIST, KOVRIN_TOOLS, KOVRIN_WORK, KOVRIN_SOURCE, WINEPREFIX.
set -Eeuo pipefail
# A step outside a check that fails ends the test; say which one, or the log only stops.
trap 'echo "FAIL: line $LINENO: \"$BASH_COMMAND\" failed, the test ends here" >&2' ERR

: "${KOVRIN_DIST:?}" "${KOVRIN_TOOLS:?}" "${KOVRIN_WORK:?}" "${WINEPREFIX:?}"
# The second lane's tests draw on a display of their own (see CMakeLists.txt).
if [ "${KOVRIN_LANE:-0}" = 1 ] && [ -n "${KOVRIN_LANE1_DISPLAY:-}" ]; then
    export DISPLAY=$KOVRIN_LANE1_DISPLAY XAUTHORITY=${KOVRIN_LANE1_XAUTHORITY:-${XAUTHORITY:-}}
fi
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
# Runs the command every 0.2 s until it succeeds or the seconds have passed.
wait_until() { # seconds command...
    local limit=$1 i
    shift
    for i in $(seq 1 $((limit * 5))); do "$@" && return 0; sleep 0.2; done
    return 1
}

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
    local opts=() a
    # Everything before a "--" is options (with their values), the rest events.
    for a in "$@"; do [ "$a" = "--" ] && { while [ "$1" != "--" ]; do opts+=("$1"); shift; done; break; }; done
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

# What the last taskkill printed, on one line.
taskkill_said() { tr -d '\r' <"$WORK/taskkill.out" | head -n2 | tr '\n' ' '; }

# A close request, as Windows sends at logoff or taskkill without /f: WM_CLOSE. A request
# taskkill says it could not deliver is sent again every 5 s; one it delivered must be obeyed.
stop_kovrin() { # [timeout seconds]
    local limit=${1:-30} rc=0 i
    wine taskkill /im Kovrin.exe >"$WORK/taskkill.out" 2>&1 || rc=$?
    for i in $(seq 1 $((limit * 10))); do
        kill -0 "$KOVRIN_PID" 2>/dev/null || { wait "$KOVRIN_PID" 2>/dev/null || true; KOVRIN_PID=; return 0; }
        if [ $rc -ne 0 ] && [ $((i % 50)) -eq 0 ]; then
            echo "taskkill failed (exit $rc: $(taskkill_said)); sending the close request again"
            rc=0
            wine taskkill /im Kovrin.exe >"$WORK/taskkill.out" 2>&1 || rc=$?
        fi
        sleep 0.1
    done
    fail "Kovrin.exe did not end within ${limit}s of the close request (taskkill exit $rc: $(taskkill_said))"
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
journal_texts_of() { awk -F, '{ sub(/^[^,]*,[^,]*,[^,]*,/, ""); gsub(/^"|"$/, ""); print }'; }
journal_texts() { journal_csv | journal_texts_of; }
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
# (A reader stopping early, such as grep -q, may leave tr a broken pipe: not a failure.)
devlog_lines() { tr '\r' '\n' <"$WORK/dev.log" || true; }

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

# ---- Fault scenarios, soak and benchmark runs.

# More simulators beside the one of start_simulator. NAME's scenario, output and log are
# $WORK/NAME.txt, NAME.out and NAME.log; the pty's path is left in NAMED_SIM_PTY. Each is
# ended with the test, like the main one.
NAMED_SIM_PIDS=()
start_named_simulator() { # name [upssim options --] events...
    local name=$1
    shift
    local opts=() a
    # Everything before a "--" is options (with their values), the rest events.
    for a in "$@"; do [ "$a" = "--" ] && { while [ "$1" != "--" ]; do opts+=("$1"); shift; done; break; }; done
    [ "${1:-}" = "--" ] && shift
    printf '%s\n' "$@" >"$WORK/$name.txt"
    "$UPSSIM" --quiet --log "$WORK/$name.log" --scenario "$WORK/$name.txt" "${opts[@]}" \
        >"$WORK/$name.out" 2>&1 &
    NAMED_SIM_PIDS+=($!)
    trap 'stop_named_simulators; cleanup' EXIT
    local i pty=
    for i in $(seq 1 100); do
        pty=$(head -n1 "$WORK/$name.out" 2>/dev/null || true)
        [[ "$pty" == /dev/* ]] && break
        sleep 0.05
    done
    [[ "$pty" == /dev/* ]] || { echo "simulator $name did not start"; cat "$WORK/$name.out"; exit 1; }
    NAMED_SIM_PTY=$pty
}
stop_named_simulators() {
    local pid
    for pid in "${NAMED_SIM_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${NAMED_SIM_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    NAMED_SIM_PIDS=()
}

# Status commands received by the simulator that writes the given log.
sim_log_poll_times() { awk '$2 == "RX" && $3 == "\"Q1\"" { print $1 }' "$1"; }
# Wall-clock seconds at which the main simulator's UPS went on battery or back to mains.
sim_mains_changes() { # prints "SECONDS off" / "SECONDS on", in order
    awk '$2 == "ST" && $3 == "utility" { print $1, $4 == "back" ? "on" : "off" }' "$WORK/sim.log"
}

# One letter per status or rating exchange in the device log, in order: S for an answer
# that was taken, F for a failed one (answer error, write error).
devlog_poll_outcomes() {
    devlog_lines | awk '
        function done_() { if (cmd == 0 || cmd == 10) printf "%s", bad ? "F" : "S" }
        /^#!Perform command \(/ { if (started) done_(); started = 1; bad = 0
                                  cmd = substr($0, 19) + 0 }
        /^#\?Answer error|^!\?Write error/ { bad = 1 }
        END { if (started) done_(); print "" }'
}
# How many times a run of three or more failed exchanges began: the outages the monitor
# must journal, once each.
count_outages() { # outcome letters
    grep -o 'FFF*' <<<"$1" | awk 'length($0) >= 3' | wc -l
}

# Bytes of a file, or -1 when it is missing.
file_size() { stat -c %s "$1" 2>/dev/null || echo -1; }

# Samples the size of a file every few milliseconds until the stop file appears, and
# writes one line per sample whose size is not a whole number of records: "SECONDS SIZE".
# A size seen between the pages of one write() is checked again a moment later, so only
# a file left torn counts. Prints the number of samples taken to the count file.
watch_record_sizes() { # path record-size out-file stop-file count-file
    python3 - "$@" <<'PY'
import os, sys, time
path, size, out, stop, count = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
t0, n = time.time(), 0
with open(out, "w") as bad:
    while not os.path.exists(stop):
        n += 1
        try:
            st = os.stat(path)
        except FileNotFoundError:
            time.sleep(0.005)
            continue
        if st.st_size % size:
            time.sleep(0.05)
            try:
                again = os.stat(path)
            except FileNotFoundError:
                again = None
            if again and again.st_ino == st.st_ino and again.st_size % size:
                bad.write("%.3f %d\n" % (time.time() - t0, again.st_size))
                bad.flush()
        time.sleep(0.005)
open(count, "w").write("%d\n" % n)
PY
}

# The Linux process of this prefix's Kovrin.exe (Wine runs each Windows process as one),
# found by its command line and its WINEPREFIX; empty when it is not running.
kovrin_process() {
    local p
    for p in /proc/[0-9]*; do
        tr '\0' '\n' <"$p/cmdline" 2>/dev/null | head -n1 | grep -qi 'kovrin\.exe$' || continue
        tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "${p#/proc/}"
        return 0
    done
}
# The wineserver of this prefix: it runs in the prefix's server directory, named after
# the device and inode of the prefix.
wineserver_process() {
    local dir p dev ino
    read -r dev ino < <(stat -c '%D %i' "$WINEPREFIX" 2>/dev/null) || return 0
    dir=$(printf 'server-%s-%x' "$dev" "$ino")
    for p in /proc/[0-9]*; do
        [[ "$(cat "$p/comm" 2>/dev/null)" == wineserver* ]] || continue
        [ "$(basename "$(readlink "$p/cwd" 2>/dev/null)")" = "$dir" ] || continue
        echo "${p#/proc/}"
        return 0
    done
}
# CPU time of a process in clock ticks (user + system), its resident memory in kB and
# its open file descriptors.
proc_cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/${1:-none}/stat" 2>/dev/null; }
proc_rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/${1:-none}/status" 2>/dev/null; }
proc_fd_count() { ls "/proc/${1:-none}/fd" 2>/dev/null | wc -l; }

# Presses a button in the next message box (6 Yes, 7 No, 1 OK), waiting up to 20 s for it.
answer_box() { wine "$KOVRIN_POST" --answer-box "$1" >/dev/null 2>&1; }
# The open box's caption and text, one per line, in UTF-8.
box_text() { wine "$KOVRIN_POST" --box-text 2>/dev/null | tr -d '\r' | iconv -f CP1251 -t UTF-8; }

# The main simulator, driven from the test: events written with sim_do happen at once,
# so a test can time them from what the monitor has done rather than from the start of
# a Wine process, whose start-up takes a varying few seconds. Scenario events given here
# are timed from the simulator's start as usual. SIM_STARTED_AT is the epoch second at
# which the simulator's clock began, within the few milliseconds of the start-up.
start_driven_simulator() { # [upssim options --] [events...]
    local opts=() a
    # Everything before a "--" is options (with their values), the rest events.
    for a in "$@"; do [ "$a" = "--" ] && { while [ "$1" != "--" ]; do opts+=("$1"); shift; done; break; }; done
    [ "${1:-}" = "--" ] && shift
    printf '%s\n' "$@" >"$WORK/scenario.txt"
    rm -f "$WORK/sim.in"
    mkfifo "$WORK/sim.in"
    "$UPSSIM" --quiet --interactive --log "$WORK/sim.log" --scenario "$WORK/scenario.txt" \
        "${opts[@]}" <"$WORK/sim.in" >"$WORK/sim.out" 2>&1 &
    SIM_PID=$!
    exec 9>"$WORK/sim.in"
    local i pty=
    for i in $(seq 1 400); do
        pty=$(head -n1 "$WORK/sim.out" 2>/dev/null || true)
        [[ "$pty" == /dev/* ]] && break
        sleep 0.005
    done
    SIM_STARTED_AT=$(date +%s.%N)
    [[ "$pty" == /dev/* ]] || { echo "simulator did not start"; cat "$WORK/sim.out"; exit 1; }
    SIM_PTY=$pty
    [ -n "${SIM_NO_MAP:-}" ] || map_com1 "$pty"
}
sim_do() { printf '%s\n' "$*" >&9; }

# Records with their times as epoch seconds (ms resolution), read straight from the file:
# "EPOCH KIND TEXT" for the journal, "EPOCH INPUT OUTPUT BATTERY LOAD FLAGS" for the
# statistics. Record times are local date-times; Wine's local time is the system's.
record_epochs() { # journal|stats file
    python3 - "$@" <<'PY'
import datetime, struct, sys, time
kind, path = sys.argv[1], sys.argv[2]
size = 116 if kind == "journal" else 52
data = open(path, "rb").read() if path else b""
base = datetime.datetime(1899, 12, 30)
def epoch(days):
    dt = base + datetime.timedelta(days=days)
    return time.mktime(dt.timetuple()) + dt.microsecond / 1e6
out = sys.stdout
for i in range(len(data) // size):
    r = data[i * size:(i + 1) * size]
    if kind == "journal":
        k, t = struct.unpack_from("<Bd", r)
        n = r[15]
        out.write("%.3f %d %s\n" % (epoch(t), k, r[16:16 + n].decode("cp1251")))
    else:
        t, vin, _, vout, batt = struct.unpack_from("<d4f", r)
        load, _, flags = struct.unpack_from("<BBH", r, 32)
        out.write("%.3f %.1f %.1f %.2f %d %d\n" % (epoch(t), vin, vout, batt, load, flags))
PY
}

# Waits for Kovrin.exe to end by itself; its exit status is left in KOVRIN_STATUS.
wait_kovrin_exit() { # timeout-seconds
    local i
    for i in $(seq 1 $(($1 * 10))); do
        if ! kill -0 "$KOVRIN_PID" 2>/dev/null; then
            KOVRIN_STATUS=0
            wait "$KOVRIN_PID" 2>/dev/null || KOVRIN_STATUS=$?
            KOVRIN_PID=
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# For checks that a command fails: check "..." not grep -q ...
not() { ! "$@"; }

# ---- The dialog library's windows, read and driven through kovrin-ui (texts in UTF-8).
ui() { wine "$KOVRIN_UI" "$@" 2>/dev/null | tr -d '\r' | iconv -f CP1251 -t UTF-8; }
# Exit status of a kovrin-ui command alone.
ui_ok() { wine "$KOVRIN_UI" "$@" >/dev/null 2>&1; }
ui_text() { ui text "$1"; }
# A left click on the tray icon, as the notification area reports it.
tray_click() { post_message 1024 0 513; }
open_dialog() { # [timeout seconds]
    tray_click
    ui_ok wait-main "${1:-20}"
}
# Waits until a control's text is the given one.
wait_ui_text() { # id text [timeout seconds]
    local i
    for i in $(seq 1 $((${3:-10} * 5))); do
        [ "$(ui_text "$1")" = "$2" ] && return 0
        sleep 0.2
    done
    return 1
}
# A PNG of a window of the library (the main window by default) on the X display.
screenshot() { # file [window caption, UTF-8]
    local rect
    if [ -n "${2:-}" ]; then
        rect=$(wine "$KOVRIN_UI" rect "$2" 2>/dev/null | tr -d "\r")
    else
        rect=$(wine "$KOVRIN_UI" rect 2>/dev/null | tr -d '\r')
    fi
    [ -n "$rect" ] || return 1
    local x y w h
    read -r x y w h <<<"$rect"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}
