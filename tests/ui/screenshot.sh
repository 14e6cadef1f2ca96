#!/usr/bin/env bash
# Shows the About box, the main window's template (empty), the main dialog on sample releases, and
# the Manual Configuration, File Association Setup and Import File Associations dialogs under Wine,
# and saves a PNG of each in build/screenshots, for a look by eye.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
install_missing_packages
build --target kelmora_tests
# The display comes first: Wine's background processes, started by the first wine command, keep the
# display they were started with.
ensure_display
create_prefix "$BUILD/wineprefix-screenshot"
# No window manager draws a title bar under Xvfb: Wine draws its own when told the windows are undecorated.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
mkdir -p "$BUILD/screenshots"

# The held-open test shows every dialog in turn; shoot TITLE FILE waits for the next one and photographs it.
KELMORA_SCREENSHOT_HOLD_MS=4000 wine "$BUILD/kelmora_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter=MainDlgTest.DISABLED_Screenshots >/dev/null 2>&1 &
test_pid=$!
shoot() {
    local window
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
    sleep 1
    if [ -n "$window" ]; then
        import -window "$window" "$BUILD/screenshots/$2"
        import -window root -crop 640x560+0+0 "$BUILD/screenshots/screen-$2"
        echo "Saved $BUILD/screenshots/$2"
    else
        echo "No window titled \"$1\" appeared" >&2
    fi
}

shoot "About Morvane" about.png
shoot "Morvane" main-empty.png
shoot "Morvane - MVX 16.6" main.png
shoot "Manual Configuration" manual-configuration.png
shoot "File Association Setup" file-association-setup.png
shoot "Import File Associations" import-file-associations.png
wait $test_pid
wineserver -w
