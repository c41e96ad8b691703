#!/usr/bin/env bash
# Checks what Windows users download, without running it: the installer and the portable
# zip of a 32-bit build tree hold exactly the program folder (dist/: Kovrin.exe,
# DIALOG.DLL, DOC), byte for byte, and the programs in them pass the deliverables' checks
# (PE32 GUI for the 80386, system DLLs only, the library's two exports); the installer is
# itself a 32-bit Windows program; every version resource names the build's version.
#   scripts/check-packages.sh BUILD_DIR
# Prints one line per check and "packages: N passed, M failed"; exits 1 on a failure.
set -uo pipefail
build=$(cd "${1:?usage: check-packages.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
objdump=i686-w64-mingw32-objdump
strings=i686-w64-mingw32-strings
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

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null)
dist=$build/dist
installer=$build/Kovrin-setup-$version.exe
zip=$build/Kovrin-$version-win32.zip
work=$(mktemp -d "$build/check-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The program folder's files, relative, sorted: what both packages must hold.
(cd "$dist" && { ls -d Kovrin.exe DIALOG.DLL 2>/dev/null; find DOC -type f 2>/dev/null; } | LC_ALL=C sort) \
    >"$work/expected"
files_of() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
same_files() { # unpacked folder: the same names as dist's program folder
    diff -u "$work/expected" <(files_of "$1") >&2
}
same_bytes() { # unpacked folder: every file byte for byte as in dist
    local f bad=0
    while read -r f; do
        cmp -s "$dist/$f" "$1/$f" || { echo "  differs: $f" >&2; bad=1; }
    done <"$work/expected"
    return $bad
}
# The deliverables' own checks on the programs of an unpacked folder; their lines only
# when one fails.
deliverables_pass() { # folder
    local out
    out=$("$here/check-deliverables.sh" "$1" Kovrin.exe DIALOG.DLL 2>&1) && return 0
    sed 's/^/  /' <<<"$out" >&2
    return 1
}
# A version resource names the version (as UTF-16 text, the way resources store it).
has_version() { # file
    "$strings" -el "$1" | grep -qxF "$version"
}
unpack_installer() { 7z x -y -o"$work/installer" "$installer" >"$work/7z.log" 2>&1 || { cat "$work/7z.log" >&2; return 1; }; }
is_pe32_i386_gui() {
    [[ "$("$objdump" -f "$1" 2>/dev/null)" == *"file format pei-i386"* ]] &&
        [[ "$("$objdump" -p "$1" 2>/dev/null)" =~ $'\n'Subsystem[[:space:]]+00000002 ]]
}

check "the build's version is known ($version)" [ -n "$version" ]
check "the program folder has its programs and the manual" \
    grep -qx 'DOC/tarvo.htm' "$work/expected"
for f in Kovrin.exe DIALOG.DLL; do
    check "$f carries version $version" has_version "$dist/$f"
done

# The installer: a 32-bit Windows program whose payload 7-Zip can read.
check "$(basename "$installer") exists" [ -f "$installer" ]
if [ -f "$installer" ]; then
    check "the installer is a 32-bit Windows GUI program" is_pe32_i386_gui "$installer"
    check "the installer carries version $version" has_version "$installer"
    mkdir -p "$work/installer"
    if check "7-Zip unpacks the installer" unpack_installer; then
        # Besides the program folder the installer carries its plugins and writes its
        # uninstaller, a 32-bit program too.
        check "the installer writes a 32-bit uninstaller" is_pe32_i386_gui "$work/installer/Uninstall.exe"
        rm -rf "$work/installer/\$PLUGINSDIR" "$work/installer/Uninstall.exe" "$work/installer/[NSIS].nsi"
        check "the installer holds exactly the program folder" same_files "$work/installer"
        check "the installer's files are the build's, byte for byte" same_bytes "$work/installer"
        check "the installer's programs are the 32-bit product" deliverables_pass "$work/installer"
    fi
fi

# The zip: one folder "Kovrin" holding the program folder.
check "$(basename "$zip") exists" [ -f "$zip" ]
if [ -f "$zip" ]; then
    if check "the zip unpacks" python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
        "$zip" "$work/zip"; then
        check "everything in the zip lies in the folder Kovrin" \
            [ "$(cd "$work/zip" && ls -A)" = Kovrin ]
        check "the zip holds exactly the program folder" same_files "$work/zip/Kovrin"
        check "the zip's files are the build's, byte for byte" same_bytes "$work/zip/Kovrin"
        check "the zip's programs are the 32-bit product" deliverables_pass "$work/zip/Kovrin"
    fi
fi

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
