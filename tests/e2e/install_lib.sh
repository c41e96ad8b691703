# shellcheck shell=bash disable=SC2034
# Helpers of the installer and zip tests, sourced after lib.sh. Each test runs in a Wine
# prefix of its own, a copy of a pristine one that nothing ever runs in: what the
# installer writes to the registry and the user's folders is then all the test sees.
# Environment (set by ctest): KOVRIN_PACKAGE_DIR (the 32-bit build tree holding the installer
# and the zip), KOVRIN_VERSION.
: "${KOVRIN_PACKAGE_DIR:?}" "${KOVRIN_VERSION:?}"

INSTALLER=$KOVRIN_PACKAGE_DIR/Kovrin-setup-$KOVRIN_VERSION.exe
ZIP=$KOVRIN_PACKAGE_DIR/Kovrin-$KOVRIN_VERSION-win32.zip
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovrin'
RUN_KEY='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
# The installer's shortcuts would otherwise become menu entries of the Linux desktop.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

# The installer and the product are 32-bit programs: a Wine that runs no i386 code
# cannot run them. scripts/check-packages.sh still checks both without running them.
skip_unless_i386() {
    if [ "${KOVRIN_WINE_ARCH:-win32}" != win32 ]; then
        echo "skipped: the installer and the zip hold 32-bit programs, and this run's Wine" \
            "($KOVRIN_WINE_ARCH) runs no i386 code; scripts/check-packages.sh checks them without running"
        exit 77
    fi
}

# A fresh prefix for this test in $WORK/prefix, a copy of the pristine one (made once, by
# whichever test comes first, and again when Wine was updated). The system's program
# files, which nothing here rewrites, are shared as hard links (a prefix is some 600 MB);
# every other file is a copy of the test's own.
fresh_prefix() {
    rm -rf "$WORK"
    mkdir -p "$WORK"
    local pristine=$KOVRIN_PACKAGE_DIR/wineprefix-pristine
    (
        flock 9
        # Wine stamps a prefix with its wine.inf's time, and updates an older prefix.
        local stamp wine_inf
        stamp=$({ tr -d '\r\n' <"$pristine/.update-timestamp"; } 2>/dev/null || true)
        wine_inf=$(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null || true)
        if [ "$stamp" != "$wine_inf" ] || [ ! -f "$pristine/.unmanaged" ]; then
            rm -rf "$pristine"
            ensure_wine_prefix "$pristine" >/dev/null
        fi
    ) 9>"$pristine.lock"
    mkdir "$WORK/prefix"
    cp -al "$pristine/." "$WORK/prefix/"
    find "$WORK/prefix" -type f ! \( -path '*/drive_c/windows/*' -a \( -iname '*.dll' -o -iname '*.exe' \
        -o -iname '*.nls' -o -iname '*.sys' -o -iname '*.drv' -o -iname '*.ocx' -o -iname '*.cpl' \
        -o -iname '*.vxd' -o -iname '*.acm' -o -iname '*.tlb' \) \) \
        -exec sh -c 'for f; do cp -p "$f" "$f.own" && mv -f "$f.own" "$f"; done' sh {} +
    export WINEPREFIX=$WORK/prefix
}

# The installer, run to its end; its exit status is left in INSTALLER_STATUS.
run_installer() { # options...
    INSTALLER_STATUS=0
    timeout 180 wine "$INSTALLER" "$@" >"$WORK/installer.out" 2>&1 || INSTALLER_STATUS=$?
}

# A Windows environment variable of the prefix's user.
win_env() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
# The default folder, in Windows and Unix form: INST_WIN and INST.
default_install_dir() {
    INST_WIN="$(win_env LOCALAPPDATA)\\Programs\\Kovrin"
    INST=$(winepath -u "$INST_WIN" 2>/dev/null)
    INST=${INST%/}
}
# The folder the uninstall entry names, in Windows and Unix form: INST_WIN and INST.
registered_install_dir() {
    INST_WIN=$(reg_value "$UNINSTALL_KEY" InstallLocation || true)
    INST=$(winepath -u "$INST_WIN" 2>/dev/null)
    INST=${INST%/}
}
# The user's Start menu programs folder (Unix form).
start_menu_dir() { winepath -u "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null; }

# A registry value's data as "reg query" prints it (REG_DWORD as 0x...), in UTF-8 (reg
# writes the console's code page, 866 in the Russian locale); fails when the value is
# missing.
reg_value() { # key name
    local out
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | iconv -f CP866 -t UTF-8) || return 1
    sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" <<<"$out" | grep . || return 1
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# The program folder's files, relative, sorted, as the build made them.
program_files() {
    (cd "$KOVRIN_DIST" && { ls -d Kovrin.exe DIALOG.DLL; find DOC -type f; } | LC_ALL=C sort)
}
# Every program file in the folder, byte for byte as the build's.
has_program_files() { # folder
    local f
    while read -r f; do cmp -s "$KOVRIN_DIST/$f" "$1/$f" || { echo "  differs or missing: $f" >&2; return 1; }; done < <(program_files)
}
# No program file left in the folder.
has_no_program_files() { # folder
    local f
    while read -r f; do [ ! -e "$1/$f" ] || { echo "  still there: $f" >&2; return 1; }; done < <(program_files)
    [ ! -e "$1/DOC" ] && [ ! -e "$1/Uninstall.exe" ]
}

# The monitor, started the way the Start menu does: by its Windows path, in its folder.
start_installed_kovrin() {
    (cd "$INST" && exec wine "$INST_WIN\\Kovrin.exe") >"$WORK/wine.out" 2>&1 &
    KOVRIN_PID=$!
}
# A monitor the installer started is a process of the prefix but not a child of the test.
wait_no_kovrin() { # seconds
    wait_until "$1" eval '[ -z "$(kovrin_process)" ]'
}
# The monitor the test started has ended (and is reaped); it stays for cleanup if not.
kovrin_ended() {
    kill -0 "$KOVRIN_PID" 2>/dev/null && return 1
    wait "$KOVRIN_PID" 2>/dev/null || true
    KOVRIN_PID=
}
# Ends whatever monitor runs in the prefix with a close request and waits for it.
close_kovrin() {
    wine taskkill /im Kovrin.exe >/dev/null 2>&1 || true
    wait_no_kovrin 30 || fail "Kovrin.exe did not end within 30 s of the close request"
    if [ -n "$KOVRIN_PID" ]; then wait "$KOVRIN_PID" 2>/dev/null || true; KOVRIN_PID=; fi
}

# Journal records of a file (or of its bytes from an offset on) as "KIND TEXT" lines.
journal_records() { # file [byte offset]
    local part=$WORK/journal-part
    tail -c +$((${2:-0} + 1)) "$1" >"$part"
    record_epochs journal "$part" | cut -d' ' -f2-
}
# A file begins with exactly the bytes of another (what it was, then only appended to).
begins_with() { # file earlier-copy
    local n
    n=$(stat -c %s "$2")
    [ "$(stat -c %s "$1")" -ge "$n" ] && cmp -s -n "$n" "$1" "$2"
}
# A settings file with CR LF line ends, as the settings page writes it.
write_ini() { # folder lines...
    local dir=$1
    shift
    printf '%s\r\n' "$@" >"$dir/Kovrin.ini"
}
