#!/usr/bin/env bash
# Installs what is missing, builds both trees, runs every test. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$KOVRIN_ROOT"

# Which Windows build runs the tests: the product's own (win32) where the host runs i386
# code, the 64-bit build of the same sources (win64) where it does not.
choose_wine_arch
arch=$KOVRIN_WINE_ARCH
ensure_packages
failed=()

# GoogleTest cases and other ctest tests that a tree's last ctest run passed and failed.
count_tests() { # build-tree
    local log=$1/Testing/Temporary/LastTest.log
    [ -f "$log" ] || { echo "0 0"; return; }
    awk '
        /^\[  PASSED  \] [0-9]+ tests?\./ { gp += $4; gtest = 1 }
        /^\[  FAILED  \] [0-9]+ tests?, listed below/ { gf += $4; gtest = 1 }
        /^[0-9]+\/[0-9]+ Testing: / { n++ }
        /^Test (Passed|Failed)\./ { if (!gtest) { if ($0 ~ /Passed/) sp++; else sf++ } gtest = 0 }
        END { printf "%d %d\n", gp + sp, gf + sf }' "$log"
}

log "Native build (portable logic and tools, ASan+UBSan)"
build_tree native
log "Native tests"
ctest --preset native || failed+=("native tests")

log "Fuzzing harnesses, a fixed number of inputs each (clang-14, libFuzzer, ASan+UBSan)"
scripts/fuzz-smoke.sh || failed+=("fuzz smoke")

host_tools=-DKOVRIN_HOST_TOOLS_DIR="$KOVRIN_ROOT/build/native/tools"
if [ "$arch" = win32 ]; then
    log "Win32 build (the product and its tests, mingw-w64 i686)"
    build_tree win32 "$host_tools"
else
    log "Win32 build (the product, its installer and zip, not run: this host runs no i386 code, or KOVRIN_WINE_ARCH=win64)"
    build_tree win32 --target deliverables
    log "Win64 build (the same sources and their tests, mingw-w64 x86_64)"
    build_tree win64 "$host_tools"
fi

log "The 32-bit deliverables, checked without running them"
deliverables=(Kovrin.exe)
[ -d dialog ] && deliverables+=(DIALOG.DLL)
scripts/check-deliverables.sh build/win32/dist "${deliverables[@]}" | tee build/deliverables.log ||
    failed+=("32-bit deliverables")
log "The 32-bit installer and zip, checked without running them"
scripts/check-packages.sh build/win32 | tee -a build/deliverables.log || failed+=("32-bit installer and zip")

log "Windows tests and end-to-end tests under Wine ($arch build)"
wine_env
# Two lanes of tests at once (tests/e2e/CMakeLists.txt), each with its own prefix and
# virtual display: the outer display is the second lane's.
lanes=("$KOVRIN_ROOT/build/$arch/wineprefix" "$KOVRIN_ROOT/build/$arch/wineprefix-lane1")
for prefix in "${lanes[@]}"; do ensure_wine_prefix "$prefix"; done
export KOVRIN_CTEST_PRESET=$arch
# shellcheck disable=SC2016
xvfb-run -a bash -c 'export KOVRIN_LANE1_DISPLAY=$DISPLAY KOVRIN_LANE1_XAUTHORITY=$XAUTHORITY
    exec xvfb-run -a ctest --preset "$KOVRIN_CTEST_PRESET" -j2' || failed+=("$arch tests")
for prefix in "${lanes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done

read -r native_passed native_failed < <(count_tests build/native)
read -r wine_passed wine_failed < <(count_tests "build/$arch")
read -r pe_passed pe_failed < <(awk '/^(deliverables|packages): [0-9]+ passed, [0-9]+ failed$/ {
    p += $2; f += $4; n++ } END { print p + 0, (n == 2 ? f : f + 1) }' build/deliverables.log)
case $arch in
win32) wine_build="win32 build, i686, wine32" ;;
*) wine_build="win64 build, x86_64, wine64" ;;
esac
echo
echo "native: $native_passed passed, $native_failed failed"
echo "wine ($wine_build): $wine_passed passed, $wine_failed failed"
echo "32-bit deliverables, installer and zip (checked, not run): $pe_passed passed, $pe_failed failed"
echo "total: $((native_passed + wine_passed + pe_passed)) passed, $((native_failed + wine_failed + pe_failed)) failed"
if [ ${#failed[@]} -gt 0 ]; then
    log "FAILED: ${failed[*]}"
    exit 1
fi
log "All tests passed; the Windows tests ran on the $arch build"
