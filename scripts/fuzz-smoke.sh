#!/usr/bin/env bash
# The quick check ./test.sh runs: builds the fuzz preset and runs every harness for a fixed
# number of inputs, starting from its seeds only (a fresh scratch corpus each time, so the
# run takes the same time every day). Exits non-zero on any finding.
set -uo pipefail
source "$(dirname "$0")/fuzz.sh"

RUNS=${KOVRIN_FUZZ_SMOKE_RUNS:-20000}

log "Fuzz smoke: building the harnesses"
fuzz_build "${FUZZ_TARGETS[@]}" || exit 1

start=$SECONDS
status=0
for t in "${FUZZ_TARGETS[@]}"; do
    scratch="$FUZZ_BUILD/smoke/$t"
    rm -rf "$scratch"
    fuzz_run "$t" "$scratch" -runs="$RUNS" -seed=1 || status=1
done
log "Fuzz smoke: $RUNS inputs per harness in $((SECONDS - start)) s"
printf '%s\n' "${FUZZ_SUMMARY[@]}"
exit $status
