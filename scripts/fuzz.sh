#!/usr/bin/env bash
# Runs the libFuzzer harnesses, one after the other, for a given time each:
#   scripts/fuzz.sh SECONDS [TARGET...]
# Builds the fuzz preset (build/fuzz; KOVRIN_FUZZ_BUILD=dir uses another tree). Each harness
# works on a scratch corpus under the build tree, seeded from fuzz/corpus/<target>, so the
# repository's seeds grow only by deliberate commits. Inputs that broke something are kept
# in <build>/findings/<target>/. Prints the executions per harness from libFuzzer's final
# stats and exits non-zero when any harness found something.
# scripts/fuzz-smoke.sh uses the functions below.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

FUZZ_TARGETS=(fuzz_driver fuzz_ini fuzz_expressions fuzz_datafiles fuzz_devlog
    fuzz_history fuzz_sections fuzz_statistics fuzz_journal fuzz_event_rules fuzz_command_rules
    fuzz_help fuzz_netserver)
FUZZ_BUILD=${KOVRIN_FUZZ_BUILD:-$KOVRIN_ROOT/build/fuzz}
FUZZ_SUMMARY=()

# clang-14 and libFuzzer's runtime, installed when missing; then the harnesses.
fuzz_build() { # targets...
    local missing=() p
    for p in clang-14 libclang-rt-14-dev; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "Installing: ${missing[*]}"
        apt_update
        apt_install "${missing[@]}" || return 1
    fi
    if [ "$FUZZ_BUILD" = "$KOVRIN_ROOT/build/fuzz" ]; then
        (cd "$KOVRIN_ROOT" && cmake --preset fuzz >/dev/null) || return 1
    else
        cmake -S "$KOVRIN_ROOT" -B "$FUZZ_BUILD" -DCMAKE_C_COMPILER=clang-14 \
            -DCMAKE_CXX_COMPILER=clang++-14 -DKOVRIN_FUZZ=ON \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
    fi
    cmake --build "$FUZZ_BUILD" -j2 --target "$@" >/dev/null || {
        echo "fuzz build failed" >&2
        return 1
    }
}

# One harness on a scratch corpus plus the repository's seeds; extra arguments go to
# libFuzzer (-max_total_time=..., -runs=...). Appends a line to FUZZ_SUMMARY; returns
# non-zero when the harness found something.
fuzz_run() { # target scratch-dir libFuzzer-args...
    local t=$1 scratch=$2
    shift 2
    local findings="$FUZZ_BUILD/findings/$t" out="$FUZZ_BUILD/logs/$t.log"
    mkdir -p "$scratch" "$findings" "$(dirname "$out")"
    local before
    before=$(find "$findings" -type f | wc -l)
    "$FUZZ_BUILD/fuzz/$t" "$@" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" "$scratch" "$KOVRIN_ROOT/fuzz/corpus/$t" >"$out" 2>&1
    local rc=$?
    local execs found secs
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -1)
    secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$out" | tail -1)
    found=$(($(find "$findings" -type f | wc -l) - before))
    local line="$t: ${execs:-?} executions in ${secs:-?} s"
    if [ $rc -ne 0 ] || [ "$found" -gt 0 ]; then
        line="$line, FOUND SOMETHING (exit $rc, $found new file(s) in $findings; log $out)"
        grep -m1 -E "ERROR: |invariant broken|runtime error" "$out" | sed 's/^/    /'
        FUZZ_SUMMARY+=("$line")
        return 1
    fi
    FUZZ_SUMMARY+=("$line")
}

fuzz_main() {
    if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
        echo "usage: $0 SECONDS [TARGET...]" >&2
        return 2
    fi
    local seconds=$1
    shift
    local targets=("$@")
    [ ${#targets[@]} -gt 0 ] || targets=("${FUZZ_TARGETS[@]}")
    fuzz_build "${targets[@]}" || return 1
    local status=0 t
    for t in "${targets[@]}"; do
        log "$t: fuzzing for $seconds s"
        fuzz_run "$t" "$FUZZ_BUILD/corpus/$t" -max_total_time="$seconds" || status=1
    done
    log "Summary ($seconds s per harness)"
    printf '%s\n' "${FUZZ_SUMMARY[@]}"
    return $status
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    fuzz_main "$@"
    exit $?
fi
