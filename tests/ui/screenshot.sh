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

# shoot TEST TITLE FILE: runs the held-open test, waits for its window and photographs it.
shoot() {
    KELMORA_SCREENSHOT_HOLD_MS=4000 wine "$BUILD/kelmora_tests.exe" --gtest_also_run_disabled_tests \
        --gtest_filter="Screenshot.DISABLED_$1" >/dev/null 2>&1 &
    local test_pid=$!
    local window
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$2\$" | head -1)
    sleep 1
    if [ -n "$window" ]; then
        import -window "$window" "$BUILD/screenshots/$3"
        import -window root -crop 640x560+0+0 "$BUILD/screenshots/screen-$3"
        echo "Saved $BUILD/screenshots/$3"
    else
        echo "No window titled \"$2\" appeared" >&2
    fi
    wait $test_pid
}

shoot AboutBox "About Morvane" about.png
shoot MainTemplateWithAnEmptyList "Morvane" main-empty.png
shoot MainDialogOnSampleReleases "Morvane - MVX 16.6" main.png
shoot ManualConfiguration "Manual Configuration" manual-configuration.png
shoot FileAssociationSetup "File Association Setup" file-association-setup.png
shoot ImportFileAssociations "Import File Associations" import-file-associations.png
wineserver -w
