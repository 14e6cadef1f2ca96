#!/usr/bin/env bash
# Builds kelmora and runs it under Wine in the project's own prefix, passing the arguments through.
# The prefix is seeded once with sample releases. Without a display, kelmora runs under Xvfb and a
# dialog it opens is saved as build/screenshots/run.png and then closed. After a switch (or an undo),
# it shows what "kelmora -list" shows.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$REPO/scripts/seed-run-prefix.sh"
install_missing_packages
build --target kelmora kelmora_help
create_prefix "$REPO/.prefix-run"
seed_run_prefix
headless=
[ -z "${DISPLAY:-}" ] && headless=1
ensure_display
# Xvfb has no window manager to draw title bars: then Wine draws its own.
if [ -n "$headless" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
fi
set +e
if [ -z "$headless" ]; then
    wine "$BUILD/kelmora.exe" "$@"
    status=$?
else
    wine "$BUILD/kelmora.exe" "$@" &
    pid=$!
    window=
    for _ in $(seq 300); do
        kill -0 $pid 2>/dev/null || break
        window=$(xdotool search --name '^Morvane' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -n "$window" ]; then
        sleep 1
        mkdir -p "$BUILD/screenshots"
        import -window "$window" "$BUILD/screenshots/run.png" && echo "Screenshot: $BUILD/screenshots/run.png"
        xdotool key --window "$window" Escape 2>/dev/null
    fi
    wait $pid
    status=$?
fi
# After a command line that switched, what kelmora now lists, and where the switch was logged.
for argument in "$@"; do
    case "${argument,,}" in
    -rel* | -path* | -undo* | -reg*)
        echo "kelmora -list now shows:"
        wine "$BUILD/kelmora.exe" -list
        log="$WINEPREFIX/drive_c/Temp/Morvane/log.txt"
        [ -f "$log" ] && echo "Switch log: ${log#"$REPO/"}"
        break
        ;;
    esac
done
wineserver -w
exit $status
