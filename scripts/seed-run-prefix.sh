# Seeds the run prefix once with three sample releases, so that a new user sees a working switch:
# real release folders with the marker file and tool programs, their installers' registry traces,
# and NVLROOT plus a PATH entry for the suite in the system environment. Sourced by run.sh.

seed_run_prefix() {
    local marker="$WINEPREFIX/.kelmora-seeded"
    # kelmora writes its switch log, C:\Temp\Morvane\log.txt, only where C:\Temp exists. Made for a
    # prefix seeded before the seed held it, too.
    mkdir -p "$WINEPREFIX/drive_c/Temp"
    [ -f "$marker" ] && return 0
    echo "Seeding $WINEPREFIX with sample releases"
    local drive="$WINEPREFIX/drive_c"
    local viewer="$drive/windows/system32/notepad.exe"
    # MVX 16.5 keeps its tools in their own folders, the others in the shared tools\bin folder, so a
    # switch visibly re-registers the file types with other programs.
    local release tool
    for release in "MVX 16.5" "MVX 16.6" "MVX 17.2"; do
        local root="$drive/Norvale/$release"
        mkdir -p "$root/tools/bin"
        echo "$release" >"$root/compnts.dat"
        for tool in draftsch symview netgen bomgen rulecheck scope libman layout board router signal traceview \
            waveview boardview; do
            cp "$viewer" "$root/tools/bin/$tool.exe"
        done
    done
    local own="$drive/Norvale/MVX 16.5/tools"
    mkdir -p "$own/draft/bin" "$own/board" "$own/signal"
    for tool in draftsch symedit netgen bomgen rulecheck libman; do cp "$viewer" "$own/draft/bin/$tool.exe"; done
    for tool in layout board router; do cp "$viewer" "$own/board/$tool.exe"; done
    cp "$viewer" "$own/signal/signal.exe"

    wine regedit /s "$(winepath -w "$REPO/scripts/sample/releases.reg")" >/dev/null 2>&1
    local environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
    local path
    path=$(wine reg query "$environment" /v PATH 2>/dev/null | tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]* *//p')
    wine reg add "$environment" /v NVLROOT /t REG_SZ /d 'C:\Norvale\MVX 16.5' /f >/dev/null 2>&1
    # The suite's entry first, as its installer puts it: the first switch moves the Windows folders
    # before it, and the switch log records the change.
    wine reg add "$environment" /v PATH /t REG_EXPAND_SZ /d "%NVLROOT%\\tools\\bin${path:+;$path}" /f >/dev/null 2>&1
    # The suite's file types recorded for the user, the way a user records them, so that a switch has
    # registrations to renew.
    wine "$BUILD/kelmora.exe" -fa "$(winepath -w "$BUILD/MVXDefaultFileAssociations.txt")" >/dev/null 2>&1 || true
    wineserver -w
    touch "$marker"
}
