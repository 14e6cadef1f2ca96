#!/usr/bin/env bash
# The installer package as an administrator would use it: an older release is installed silently and
# kelmora.msi replaces it, the installed program switches by folder from a script, and the removal
# takes the files, the shortcut and the machine-wide key away again. Neither the install nor the
# removal may touch the user's or the system's environment. The test command sources this file and
# calls test_msi_package after ctest; run on its own, it makes a prefix of its own.

# test_msi_package: needs WINEPREFIX and a built kelmora.msi.
test_msi_package() {
    local folder='C:\Program Files\Norvale\Morvane' work="$BUILD/msi-test" installed before saved=
    rm -rf "$work" && mkdir -p "$work"
    installed="$WINEPREFIX/drive_c/Program Files/Norvale/Morvane"
    before=$(environments)
    # With NVLROOT set, the -path run below would rewrite the environment it must leave alone.
    if [[ $before == *NVLROOT* ]]; then
        echo "MSI test: NVLROOT is set in the prefix" >&2
        return 1
    fi
    # The program's own key goes back as it was: the -path run records the folder there.
    wine reg export 'HKCU\Software\Norvale' "$(unix_to_windows "$work/norvale.reg")" /y >/dev/null 2>&1 && saved=1

    # The same package at an older version, which kelmora.msi must replace rather than join.
    (cd "$BUILD" && wixl -a x64 -D Version=0.0.1 -D BinDir=. -D ResDir="$(realpath --relative-to=. "$REPO/res")" \
        -o "$work/older.msi" "$REPO/packaging/kelmora.wxs")
    msi_step "install of the older package" msiexec /i "$(unix_to_windows "$work/older.msi")" /qn || return 1
    msi_step "install" msiexec /i "$(unix_to_windows "$BUILD/kelmora.msi")" /qn /l*v "$(unix_to_windows "$work/install.log")" ||
        return 1
    msi_check "one Morvane product registered after the upgrade" [ "$(products)" = 1 ] || return 1
    msi_check "the program, its help and the defaults file side by side" \
        test -f "$installed/kelmora.exe" -a -f "$installed/kelmora.pdf" -a -f "$installed/MVXDefaultFileAssociations.txt" ||
        return 1
    # Wine puts the shortcut in the user's Start menu where Windows puts it in the machine's.
    msi_check "a Start-menu shortcut to the installed program" \
        grep -aq 'Norvale\\Morvane\\kelmora.exe' "$(find "$WINEPREFIX/drive_c" -name Morvane.lnk)" || return 1
    msi_step "run of the installed kelmora.exe -path" "$folder\\kelmora.exe" -path "$folder" || return 1
    msi_check "the folder recorded as rootDirectory" \
        [ "$(reg_value 'HKCU\Software\Norvale\Morvane\File Associations' rootDirectory)" = "${folder,,}" ] || return 1

    msi_step "removal" msiexec /x "$(unix_to_windows "$BUILD/kelmora.msi")" /qn || return 1
    wine reg delete 'HKCU\Software\Norvale' /f >/dev/null 2>&1 || true
    [ -z "$saved" ] || wine reg import "$(unix_to_windows "$work/norvale.reg")" >/dev/null 2>&1
    msi_check "no installed file left" [ ! -e "$installed" ] &&
        msi_check "no shortcut left" [ -z "$(find "$WINEPREFIX/drive_c" -name Morvane.lnk)" ] &&
        msi_check "no product registered" [ "$(products)" = 0 ] &&
        msi_check "no machine-wide value left" [ -z "$(reg_value 'HKLM\Software\Norvale\Morvane\Installer' StartMenuShortcut)" ] &&
        msi_check "the user's and the system's environment unchanged" [ "$(environments)" = "$before" ] || return 1
    echo "MSI package: upgrade, install, run and removal passed"
}

# The user's and the system's environment variables, as the registry holds them.
environments() {
    wine reg query 'HKCU\Environment'
    wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
}

# The number of products named Morvane that the system lists as installed.
products() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
        grep -c '^ *DisplayName *REG_SZ *Morvane$' || true
}

# unix_to_windows PATH: the path as Windows programs under Wine see it, on drive Z:.
unix_to_windows() {
    local path="Z:$1"
    echo "${path//\//\\}"
}

# reg_value KEY NAME: the data of a registry value, or nothing.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# msi_step WHAT COMMAND...: runs a Windows program under Wine, which must end with exit code 0.
msi_step() {
    local what="$1" status=0
    shift
    timeout 60 wine "$@" >/dev/null 2>&1 </dev/null || status=$?
    [ $status -eq 0 ] || echo "MSI test: $what failed with exit code $status" >&2
    return $status
}

# msi_check WHAT COMMAND...: the command must succeed.
msi_check() {
    local what="$1"
    shift
    "$@" && return 0
    echo "MSI test: expected $what" >&2
    return 1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
    install_missing_packages
    build --target kelmora_msi
    create_prefix "$BUILD/wineprefix-msi"
    test_msi_package
    wineserver -w
fi
