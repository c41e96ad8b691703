#!/usr/bin/env bash
# Checks the shipped 32-bit programs without running them: PE32 GUI images for the
# Intel 80386, importing only system DLLs (no libgcc, libstdc++ or winpthread DLL beside
# them), and DIALOG.DLL exporting its two entry points by their plain names.
#   scripts/check-deliverables.sh DIST_DIR FILE...
# Prints one line per check and "deliverables: N passed, M failed"; exits 1 on a failure.
set -uo pipefail
dist=${1:?usage: check-deliverables.sh DIST_DIR FILE...}
shift
objdump=i686-w64-mingw32-objdump
passed=0
failed=0

check() { # description, then the command that must succeed
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

# DLLs that every Windows installation has.
system_dll() {
    case ${1,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | comctl32.dll | \
        comdlg32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | powrprof.dll | shlwapi.dll | \
        uxtheme.dll | version.dll | winmm.dll | ws2_32.dll) return 0 ;;
    *) return 1 ;;
    esac
}

# objdump's whole output is read first: a grep that stops early would break the pipe.
headers() { "$objdump" -p "$1" 2>/dev/null; }
is_pe32_i386() { [[ "$("$objdump" -f "$1" 2>/dev/null)" == *"file format pei-i386"* ]]; }
is_gui() { [[ "$(headers "$1")" =~ $'\n'Subsystem[[:space:]]+00000002 ]]; }
imports_only_system() {
    local dll bad=0
    while read -r dll; do
        system_dll "$dll" || { echo "  imports $dll" >&2; bad=1; }
    done < <(headers "$1" | awk '/^[[:space:]]*DLL Name:/ { print $3 }')
    return $bad
}
exports_plain() { # file, name
    local names
    names=$(headers "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ { t = 1; next }
        t && NF == 0 { t = 0 } t { print $NF }')
    grep -qx "$2" <<<"$names"
}

for f in "$@"; do
    path=$dist/$f
    if [ ! -f "$path" ]; then
        check "$f exists" false
        continue
    fi
    check "$f is a PE32 image for the Intel 80386" is_pe32_i386 "$path"
    check "$f is a GUI program" is_gui "$path"
    check "$f imports only system DLLs" imports_only_system "$path"
done
if [ -f "$dist/DIALOG.DLL" ] || printf '%s\n' "$@" | grep -qx DIALOG.DLL; then
    check "DIALOG.DLL exports CreateDialogForm" exports_plain "$dist/DIALOG.DLL" CreateDialogForm
    check "DIALOG.DLL exports DestroyDialogForm" exports_plain "$dist/DIALOG.DLL" DestroyDialogForm
fi
echo "deliverables: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
