# Shared by run.sh and test.sh: installs what is missing, builds, and prepares Wine.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$REPO/build"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a new prefix: kelmora needs neither. No menu builder: Wine
# runs it for every file-association change the shell hears of, and it writes the desktop's own files.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

install_missing_packages() {
    local wanted=(wine64 fonts-wine g++-mingw-w64-x86-64-posix googletest cmake make xvfb xdotool imagemagick groff x11-utils
        wixl msitools osslsigncode openssl nlohmann-json3-dev)
    local missing=()
    for package in "${wanted[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() {
    cmake --preset windows >/dev/null
    cmake --build --preset windows "$@"
}

# create_prefix DIR [fresh]: a 64-bit Wine prefix at DIR, made anew when "fresh" is given.
create_prefix() {
    export WINEPREFIX="$1"
    [ "${2:-}" = fresh ] && rm -rf "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating Wine prefix $WINEPREFIX"
        WINEARCH=win64 wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    # Debian's Wine keeps its own fonts (Marlett for the caption buttons, MS Sans Serif) in a folder it
    # does not read: without them a close box draws as the letter "r". A Windows folder of fonts is read.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
}

# Keeps one wineserver and Wine's own background processes running, started with their output going
# nowhere: a test process whose output is captured then ends as soon as the test does.
start_wine_services() {
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# Starts Xvfb on a free display when no display is set; it ends with this script.
ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local display=99
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$display"
    trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
}
