#!/usr/bin/env bash
# Installs what is missing, builds both trees, runs every test. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$KOVRIN_ROOT"

ensure_packages
failed=()

# GoogleTest cases and other ctest tests that a tree's last ctest run passed and failed.
count_tests() { # build-tree
    awk '
        /^\[  PASSED  \] [0-9]+ tests?\./ { gp += $4; gtest = 1 }
        /^\[  FAILED  \] [0-9]+ tests?, listed below/ { gf += $4; gtest = 1 }
        /^[0-9]+\/[0-9]+ Testing: / { n++ }
        /^Test (Passed|Failed)\./ { if (!gtest) { if ($0 ~ /Passed/) sp++; else sf++ } gtest = 0 }
        END { printf "%d %d\n", gp + sp, gf + sf }' "$1/Testing/Temporary/LastTest.log"
}

log "Native build (portable logic and tools, ASan+UBSan)"
build_tree native
log "Native tests"
ctest --preset native || failed+=("native tests")

log "Fuzzing harnesses, a fixed number of inputs each (clang-14, libFuzzer, ASan+UBSan)"
scripts/fuzz-smoke.sh || failed+=("fuzz smoke")

log "Win32 build (Kovrin.exe and tests, mingw-w64 i686)"
build_tree win32 -DKOVRIN_HOST_TOOLS_DIR="$KOVRIN_ROOT/build/native/tools"

log "Win32 tests and end-to-end tests under Wine"
wine_env
ensure_wine_prefix "$KOVRIN_ROOT/build/win32/wineprefix"
xvfb-run -a ctest --preset win32 || failed+=("win32 tests")
wineserver -k 2>/dev/null || true

read -r native_passed native_failed < <(count_tests build/native)
read -r win32_passed win32_failed < <(count_tests build/win32)
echo
echo "native: $native_passed passed, $native_failed failed"
echo "wine: $win32_passed passed, $win32_failed failed"
echo "total: $((native_passed + win32_passed)) passed, $((native_failed + win32_failed)) failed"
if [ ${#failed[@]} -gt 0 ]; then
    log "FAILED: ${failed[*]}"
    exit 1
fi
log "All tests passed"
