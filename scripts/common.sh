# Shared by test.sh and run.sh: packages, Wine environment, builds.

KOVRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the builds and tests need (Wine's own fonts and Liberation give the
# windows the metrics of the Windows fonts they are laid out for; ImageMagick takes the
# screenshots; NSIS makes the installer, 7-Zip unpacks it for its checks;
# nut-client's upsc, upscmd and upsmon are the network server's test peers). Both Windows
# builds are compiled on every host, so that neither can break unseen; which of them runs
# the Windows tests depends on the host (choose_wine_arch below). The 64-bit build's tool
# chain names wine64 as its test runner, so that is always here.
KOVRIN_PACKAGES=(cmake make g++ python3 libgtest-dev googletest
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev wine wine64
    xvfb xauth locales clang-14 libclang-rt-14-dev imagemagick fonts-wine fonts-liberation
    nsis p7zip-full nut-client)
# wine32 needs the i386 architecture, and only a host that runs i386 code can use it.
KOVRIN_PACKAGES_WIN32=(wine32:i386)
KOVRIN_PACKAGES_WIN64=()

log() { printf '\n== %s\n' "$*"; }

# Runs a minimal i386 Linux program (exit(0) through int 0x80). Whether the kernel runs
# 32-bit code is known only by trying: some x86-64 hosts refuse it with "Exec format
# error", whatever packages are installed.
host_runs_i386() {
    local probe
    probe=$(mktemp "${TMPDIR:-/tmp}/kovrin-i386-probe.XXXXXX")
    # ELF header, one loadable segment at 0x08048000, code at offset 84:
    # mov eax,1 / xor ebx,ebx / int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    local rc=0
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    return $rc
}

# The Windows build that runs the tests here: "win32" where the host runs i386 code,
# "win64" where it does not. KOVRIN_WINE_ARCH=win64 forces the 64-bit path on any host
# (win32 forces the 32-bit one). Decided once per run, exported, and printed.
choose_wine_arch() {
    if [ -z "${KOVRIN_WINE_ARCH:-}" ]; then
        if host_runs_i386; then KOVRIN_WINE_ARCH=win32; else KOVRIN_WINE_ARCH=win64; fi
        KOVRIN_WINE_ARCH_CHOSEN=host
        export KOVRIN_WINE_ARCH_CHOSEN
    fi
    case $KOVRIN_WINE_ARCH in
    win32 | win64) ;;
    *) echo "KOVRIN_WINE_ARCH must be win32 or win64, not '$KOVRIN_WINE_ARCH'" >&2; return 2 ;;
    esac
    export KOVRIN_WINE_ARCH
}

# The Windows build that is compiled but not run here: the other one.
other_wine_arch() {
    case $KOVRIN_WINE_ARCH in
    win32) echo win64 ;;
    *) echo win32 ;;
    esac
}

# Runs a command as root (through sudo unless this is root already).
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's package lists, tried three times: a mirror caught in the middle of a sync serves
# lists that do not match its index, and answers again after a while. When every try
# fails, apt still has the lists it could read.
apt_update() {
    local try
    for try in 1 2 3; do
        as_root apt-get update -qq && return 0
        if [ $try -lt 3 ]; then
            log "apt-get update failed; trying again in $((try * 30)) s"
            sleep $((try * 30))
        fi
    done
    log "apt-get update failed three times; installing from the package lists apt could read"
}

apt_install() { # packages...
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "$@" >/dev/null
}

# Installs what is missing of the packages (the ones named and those every script needs).
ensure_packages() {
    local missing=() p extra=()
    case ${KOVRIN_WINE_ARCH:-win32} in
    win64) extra=(${KOVRIN_PACKAGES_WIN64[@]+"${KOVRIN_PACKAGES_WIN64[@]}"}) ;;
    *) extra=("${KOVRIN_PACKAGES_WIN32[@]}") ;;
    esac
    for p in "${KOVRIN_PACKAGES[@]}" ${extra[@]+"${extra[@]}"} "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "Installing: ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    apt_update
    apt_install "${missing[@]}" && return 0
    # The i386 packages (wine32) need the i386 lists; where those could not be read, or do
    # not match what the amd64 side has installed, the rest still installs and the Windows
    # tests run on the 64-bit build of the same sources, as on a host without i386 code.
    # Only when the host chose the 32-bit path: a forced KOVRIN_WINE_ARCH=win32 fails here.
    local rest=()
    for p in "${missing[@]}"; do
        [[ $p == *:i386 ]] || rest+=("$p")
    done
    [ ${#rest[@]} -lt ${#missing[@]} ] && [ "${KOVRIN_WINE_ARCH_CHOSEN:-}" = host ] &&
        [ "$KOVRIN_WINE_ARCH" = win32 ] || return 1
    [ ${#rest[@]} -eq 0 ] || apt_install "${rest[@]}" || return 1
    KOVRIN_WINE_ARCH=win64
    KOVRIN_WINE_ARCH_CHOSEN="wine32 could not be installed"
    export KOVRIN_WINE_ARCH KOVRIN_WINE_ARCH_CHOSEN
    log "wine32 could not be installed from the package lists: the Windows tests run on the" \
        "win64 build; the win32 build is compiled, not run"
}

# Wine reads the Russian locale's code page from the Unix side too; generate it once so
# that shells and Wine agree on it.
ensure_locale() {
    locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' && return 0
    as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
}

# Wine as the test machine: quiet, no Mono/Gecko prompts, Russian locale (code page 1251).
# On the 64-bit path, "wine" and "wineserver" on PATH are the 64-bit ones: Debian's
# /usr/bin/wine takes the 32-bit loader whenever wine32 is installed, runnable or not.
wine_env() {
    ensure_locale
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    { export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8; } 2>/dev/null
    if [ "${KOVRIN_WINE_ARCH:-win32}" = win64 ]; then
        unset WINEARCH
        export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
        case ":$PATH:" in
        *":$KOVRIN_ROOT/scripts/wine64:"*) ;;
        *) export PATH="$KOVRIN_ROOT/scripts/wine64:$PATH" ;;
        esac
    else
        export WINEARCH=win32
    fi
}

# One prefix per build tree, made once.
ensure_wine_prefix() {
    export WINEPREFIX=$1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1 || true
    fi
    if [ ! -f "$WINEPREFIX/.no-debugger" ]; then
        # A crashing test program ends at once instead of waiting in the debugger.
        wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
            >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.no-debugger"
    fi
    if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
        # Xvfb has no window manager: Wine draws the frames itself instead of handing the
        # windows to one, and hiding a window does not wait two seconds for a manager's
        # answer that never comes.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.unmanaged"
    fi
    wineserver -w
}

build_tree() { # preset [--target TARGET] [extra cmake args...]
    local preset=$1 target=()
    shift
    if [ "${1:-}" = --target ]; then
        target=(--target "$2")
        shift 2
    fi
    cmake --preset "$preset" -DKOVRIN_WERROR=ON "$@" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)" "${target[@]}"
}
