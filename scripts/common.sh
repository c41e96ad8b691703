# Shared by test.sh and run.sh: packages, Wine environment, builds.

KOVRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the builds and tests need (wine32 needs the i386 architecture).
KOVRIN_PACKAGES=(cmake make g++ python3 libgtest-dev googletest
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    wine wine32:i386 xvfb xauth locales clang-14 libclang-rt-14-dev)

log() { printf '\n== %s\n' "$*"; }

ensure_packages() {
    local missing=() p
    for p in "${KOVRIN_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "Installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine reads the Russian locale's code page from the Unix side too; generate it once so
# that shells and Wine agree on it.
ensure_locale() {
    locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' && return 0
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
}

# Wine as the test machine: quiet, no Mono/Gecko prompts, Russian locale (code page 1251).
wine_env() {
    ensure_locale
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    { export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8; } 2>/dev/null
    export WINEARCH=win32
}

# One prefix per build tree, made once.
ensure_wine_prefix() {
    export WINEPREFIX=$1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
    fi
    if [ ! -f "$WINEPREFIX/.no-debugger" ]; then
        # A crashing test program ends at once instead of waiting in the debugger.
        wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
            >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.no-debugger"
    fi
    wineserver -w
}

build_tree() { # preset [extra cmake args...]
    local preset=$1
    shift
    cmake --preset "$preset" -DKOVRIN_WERROR=ON "$@" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)"
}
