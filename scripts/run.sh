#!/usr/bin/env bash
# Builds kelmora and runs it under Wine in the project's own prefix, passing the arguments through.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
build --target kelmora
create_prefix "$REPO/.prefix-run"
ensure_display
set +e
wine "$BUILD/kelmora.exe" "$@"
status=$?
wineserver -w
exit $status
