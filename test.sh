#!/usr/bin/env bash
# Installs what is missing, builds both trees, runs every test. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$KOVRIN_ROOT"

# Which Windows build runs the tests: the product's own (win32) where the host runs i386
# code, the 64-bit build of the same sources (win64) where it does not.
choose_wine_arch
ensure_packages
arch=$KOVRIN_WINE_ARCH
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

# Both Windows builds with all their test programs, so that a calling-convention,
# pointer-size or name-decoration fault of either fails the run on any host; the one this
# host cannot run (or that KOVRIN_WINE_ARCH leaves aside) is compiled, not run.
host_tools=-DKOVRIN_HOST_TOOLS_DIR="$KOVRIN_ROOT/build/native/tools"
other=$(other_wine_arch)
declare -A build_name=([win32]="Win32 build (the product, mingw-w64 i686)"
    [win64]="Win64 build (the same sources, mingw-w64 x86_64)")
declare -A build_seconds=()
for tree in "$arch" "$other"; do
    if [ "$tree" = "$arch" ]; then
        log "${build_name[$tree]}: the program and its tests, run under Wine below"
    else
        log "${build_name[$tree]}: the program and its tests, compiled, not run"
    fi
    start=$SECONDS
    build_tree "$tree" "$host_tools" || failed+=("$tree build")
    build_seconds[$tree]=$((SECONDS - start))
done

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

# The README's first command, as a new user without a display runs it, shortened to the
# scenario's mains failure and return.
log "The demonstration (./run.sh --seconds 26, no display)"
demo_passed=0
if env -u DISPLAY ./run.sh --seconds 26; then demo_passed=1; else failed+=("./run.sh"); fi

read -r native_passed native_failed < <(count_tests build/native)
read -r wine_passed wine_failed < <(count_tests "build/$arch")
read -r pe_passed pe_failed < <(awk '/^(deliverables|packages): [0-9]+ passed, [0-9]+ failed$/ {
    p += $2; f += $4; n++ } END { print p + 0, (n == 2 ? f : f + 1) }' build/deliverables.log)
# Said wherever the Windows tests did not run on the build the host chose.
why=
case $arch in
win32) wine_build="win32 build, i686, wine32" ;;
*) wine_build="win64 build, x86_64, wine64" ;;
esac
if [ "${KOVRIN_WINE_ARCH_CHOSEN:-host}" != host ]; then
    why=" ($KOVRIN_WINE_ARCH_CHOSEN)"
    wine_build+="; $KOVRIN_WINE_ARCH_CHOSEN"
fi
echo
echo "builds: $arch ${build_seconds[$arch]:-?} s, $other ${build_seconds[$other]:-?} s (compiled, not run)"
echo "native: $native_passed passed, $native_failed failed"
echo "wine ($wine_build): $wine_passed passed, $wine_failed failed"
echo "32-bit deliverables, installer and zip (checked, not run): $pe_passed passed, $pe_failed failed"
echo "demonstration (./run.sh): $demo_passed passed, $((1 - demo_passed)) failed"
echo "total: $((native_passed + wine_passed + pe_passed + demo_passed)) passed, $((native_failed + wine_failed + pe_failed + 1 - demo_passed)) failed"
if [ ${#failed[@]} -gt 0 ]; then
    log "FAILED: ${failed[*]}"
    exit 1
fi
log "All tests passed; the Windows tests ran on the $arch build$why"
