#!/usr/bin/env bash
# Builds kelmora, its installer package and every test, then runs the tests under Wine in a fresh
# prefix of their own.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
build
create_prefix "$BUILD/wineprefix-test" fresh
# No window manager runs under Xvfb: unmanaged windows show and hide at once, where managed ones
# wait two seconds for a window manager that never answers.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
ensure_display
# One wineserver for the whole run, so each test process starts in a fraction of a second.
start_wine_services
trap 'wineserver -k 2>/dev/null || true; [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null || true' EXIT
cd "$REPO"
# Screenshots of every dialog, kept in build/screenshots.
source "$REPO/tests/ui/screenshot.sh"
take_dialog_screenshots
ctest_status=0
ctest --preset windows "$@" || ctest_status=$?
source "$REPO/tests/app/no-display.sh"
check_dialog_failure_is_reported || ctest_status=1
# A command-line run loads no more than it links: shell32, ole32 and the rest come when first needed.
imports=$(x86_64-w64-mingw32-objdump -p "$BUILD/kelmora.exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort | xargs)
if [ "$imports" = "advapi32.dll kernel32.dll msvcrt.dll user32.dll" ]; then
    echo "Passed: kelmora.exe imports only $imports"
else
    echo "FAILED: kelmora.exe imports $imports"
    ctest_status=1
fi
# The installer package last: it installs into the prefix the cases above ran in, and leaves it as
# it found it.
source "$REPO/tests/packaging/msi-test.sh"
test_msi_package || ctest_status=1
# Signing last of all: it links the program again, signed, then as the caller's environment asks.
source "$REPO/tests/packaging/sign-test.sh"
test_signed_build || ctest_status=1
[ "$ctest_status" -eq 0 ]
