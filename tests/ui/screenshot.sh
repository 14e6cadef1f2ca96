#!/usr/bin/env bash
# Shows the About box, the main window's template (empty), the main dialog on sample releases as it
# opens and after a switch, and the Manual Configuration, File Association Setup and Import File
# Associations dialogs under Wine, and saves a PNG of each in build/screenshots, for a look by eye. The
# test command sources this file and calls take_dialog_screenshots in its own prefix; run on its own,
# it makes a prefix of its own.

# take_dialog_screenshots: needs WINEPREFIX, DISPLAY and a built kelmora_tests.exe.
take_dialog_screenshots() {
    # No window manager draws a title bar under Xvfb: Wine draws its own when told the windows are
    # undecorated. Only the held-open case runs so.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    mkdir -p "$BUILD/screenshots"
    # The program shows every dialog in turn; each is photographed as it appears.
    wine "$BUILD/kelmora_show_dialogs.exe" 3000 >/dev/null 2>&1 &
    local test_pid=$! title file window
    while read -r file title; do
        window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -1 || true)
        sleep 1
        if [ -n "$window" ] && import -window "$window" "$BUILD/screenshots/$file" 2>/dev/null; then
            echo "Screenshot: $BUILD/screenshots/$file"
        else
            echo "No window titled \"$title\" appeared" >&2
        fi
    done <<'LIST'
about.png About Morvane
main-empty.png Morvane
main-open.png Morvane - MVX 16.5
main.png Morvane - MVX 16.6
manual-configuration.png Manual Configuration
file-association-setup.png File Association Setup
import-file-associations.png Import File Associations
LIST
    wait $test_pid || true
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
    install_missing_packages
    build --target kelmora_show_dialogs
    # The display comes first: Wine's background processes keep the display they were started with.
    ensure_display
    create_prefix "$BUILD/wineprefix-screenshot"
    take_dialog_screenshots
    wineserver -w
fi
