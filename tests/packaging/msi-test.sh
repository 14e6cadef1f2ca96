#!/usr/bin/env bash
# The installer package as an administrator would use it. Installs given a release that is not found,
# or one holding a double quote, fail with 1603 and leave nothing behind; an older release is installed
# silently and kelmora.msi replaces it, given RELEASE, which switches the system environment; a repair
# without RELEASE switches nothing; the installed program switches by folder from a script, and the
# removal takes the files, the shortcut and the machine-wide key away again. Without RELEASE neither the
# install nor the removal may touch the user's or the system's environment. The test command sources
# this file and calls test_msi_package after ctest; run on its own, it makes a prefix of its own. The
# prefix is left as it was found.

# test_msi_package: needs WINEPREFIX and a built kelmora.msi.
test_msi_package() {
    local folder='C:\Program Files\Norvale\Morvane' work="$BUILD/msi-test" installed before saved= status=0
    rm -rf "$work" && mkdir -p "$work"
    installed="$WINEPREFIX/drive_c/Program Files/Norvale/Morvane"
    before=$(environments)
    # With NVLROOT set, the -path run below would rewrite the environment it must leave alone.
    if [[ $before == *NVLROOT* ]]; then
        echo "MSI test: NVLROOT is set in the prefix" >&2
        return 1
    fi
    # The program's own key goes back as it was: the switches record themselves there.
    wine reg export 'HKCU\Software\Norvale' "$(unix_to_windows "$work/norvale.reg")" /y >/dev/null 2>&1 && saved=1
    plant_release "$work"
    msi_cases "$work" "$folder" "$installed" || status=1
    remove_release "$work"
    wine reg delete 'HKCU\Software\Norvale' /f >/dev/null 2>&1 || true
    [ -z "$saved" ] || wine reg import "$(unix_to_windows "$work/norvale.reg")" >/dev/null 2>&1
    [ $status -eq 0 ] && msi_check "the user's and the system's environment as they were" [ "$(environments)" = "$before" ] &&
        echo "MSI package: failed switches, upgrade with a switch, repair, run and removal passed"
}

msi_cases() {
    local work="$1" folder="$2" installed="$3" package planted release='C:\msi-test-release\MVX 16.6'
    package=$(unix_to_windows "$BUILD/kelmora.msi")
    local path='C:\Tools;%NVLROOT%\tools\bin;%SystemRoot%\system32;%SystemRoot%'
    local regrouped='%SystemRoot%\system32;%SystemRoot%;%NVLROOT%\tools\bin;C:\Tools'
    wine reg add "$SYSTEM_ENVIRONMENT" /v PATH /t REG_EXPAND_SZ /d "$path" /f >/dev/null 2>&1
    planted=$(environments)
    # The same package at an older version, which kelmora.msi must replace rather than join; and one
    # whose RELEASE holds a double quote: Wine's msiexec drops every quote of a property given on its
    # command line, so the package carries the value itself. Were the quote to end the value, the
    # association file would be imported for every user.
    local types injected
    types=$(unix_to_windows "$work/types.txt")
    injected="No Such\" -fas \"$types"
    printf 'nsd "C:\\windows\\notepad.exe"\n' >"$work/types.txt"
    PROPERTY="<Property Id=\"RELEASE\" Value='$injected' />" awk \
        '/<Feature Id=/ && !done { print "    " ENVIRON["PROPERTY"]; done = 1 } { print }' \
        "$REPO/packaging/kelmora.wxs" >"$work/quoted.wxs"
    build_package 0.0.1 "$REPO/packaging/kelmora.wxs" "$work/older.msi" &&
        build_package 0.0.2 "$work/quoted.wxs" "$work/quoted.msi" || return 1

    # A switch that cannot be made fails the install, which leaves nothing behind and says why in its log.
    msi_step 1603 "install with a release not found" msiexec /i "$package" "RELEASE=No Such" /qn \
        /l*v "$(unix_to_windows "$work/not-found.log")" || return 1
    msi_check "the release not found and the outcome in the installer's log" logged "$work/not-found.log" \
        'Morvane: The release "no such" can not be found.' \
        "Morvane: \"$folder\\kelmora.exe\" -deploy \"No Such\" ended with exit code 2; the install fails and is rolled back." ||
        return 1
    msi_step 1603 "install with a release holding a double quote" msiexec /i "$(unix_to_windows "$work/quoted.msi")" /qn \
        /l*v "$(unix_to_windows "$work/quoted.log")" || return 1
    msi_check "the whole release, quotes and all, not found" logged "$work/quoted.log" \
        "Morvane: The release \"${injected,,}\" can not be found." || return 1
    msi_check "nothing installed, nothing imported, no environment written" \
        [ "$(products)" = 0 -a ! -e "$installed" -a "$(environments)" = "$planted" ] &&
        msi_check "no association imported" not wine reg query 'HKLM\Software\Classes\.nsd' || return 1

    msi_step 0 "install of the older package" msiexec /i "$(unix_to_windows "$work/older.msi")" /qn || return 1
    msi_check "no environment written without RELEASE" [ "$(environments)" = "$planted" ] || return 1
    msi_step 0 "upgrade with RELEASE" msiexec /i "$package" "RELEASE=MVX 16.6" /qn \
        /l*v "$(unix_to_windows "$work/install.log")" || return 1
    msi_check "one Morvane product registered after the upgrade" [ "$(products)" = 1 ] || return 1
    msi_check "the program, its help and the defaults file side by side" \
        test -f "$installed/kelmora.exe" -a -f "$installed/kelmora.pdf" -a -f "$installed/MVXDefaultFileAssociations.txt" ||
        return 1
    # Wine puts the shortcut in the user's Start menu where Windows puts it in the machine's.
    msi_check "a Start-menu shortcut to the installed program" \
        grep -aq 'Norvale\\Morvane\\kelmora.exe' "$(find "$WINEPREFIX/drive_c" -name Morvane.lnk)" || return 1
    msi_check "the system NVLROOT and PATH switched" \
        [ "$(reg_value "$SYSTEM_ENVIRONMENT" NVLROOT)|$(reg_value "$SYSTEM_ENVIRONMENT" PATH)" = "$release|$regrouped" ] ||
        return 1
    msi_check "the switch's record in the log" ends_with "$WINEPREFIX/drive_c/Temp/Morvane/log.txt" \
        $'Updated SYSTEM Path: \r\n\r\n'"$regrouped" || return 1
    msi_check "the switch and its exit code in the installer's log" logged "$work/install.log" \
        "Morvane: Release \"mvx 16.6\" is active in the system environment: NVLROOT is $release." \
        "Morvane: \"$folder\\kelmora.exe\" -deploy \"MVX 16.6\" ended with exit code 0." || return 1

    # A repair (Wine 8's msiexec /f finds no product: the same by properties) remembers no RELEASE.
    wine reg add "$SYSTEM_ENVIRONMENT" /v NVLROOT /d 'C:\Elsewhere' /f >/dev/null 2>&1
    msi_step 0 "repair" msiexec /i "$package" REINSTALL=ALL REINSTALLMODE=omus /qn || return 1
    msi_check "no switch by the repair" [ "$(reg_value "$SYSTEM_ENVIRONMENT" NVLROOT)" = 'C:\Elsewhere' ] || return 1
    restore_environment "$work"

    msi_step 0 "run of the installed kelmora.exe -path" "$folder\\kelmora.exe" -path "$folder" || return 1
    msi_check "the folder recorded as rootDirectory" \
        [ "$(reg_value 'HKCU\Software\Norvale\Morvane\File Associations' rootDirectory)" = "${folder,,}" ] || return 1
    msi_step 0 "removal" msiexec /x "$package" /qn || return 1
    msi_check "no installed file left" [ ! -e "$installed" ] &&
        msi_check "no shortcut left" [ -z "$(find "$WINEPREFIX/drive_c" -name Morvane.lnk)" ] &&
        msi_check "no product registered" [ "$(products)" = 0 ] &&
        msi_check "no machine-wide value left" [ -z "$(reg_value 'HKLM\Software\Norvale\Morvane\Installer' StartMenuShortcut)" ]
}

# build_package VERSION WXS MSI: the package as the build makes it, at another version or from another source.
build_package() {
    (cd "$BUILD" && wixl -a x64 -D Version="$1" -D BinDir=. -D ResDir="$(realpath --relative-to=. "$REPO/res")" \
        -o "$3" "$2")
}

SYSTEM_ENVIRONMENT='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
RELEASE_CODE='{7D3E5A10-2B4C-4F61-9A8E-0C1D2E3F4A5B}'

# plant_release WORK: MVX 16.6 as its installer leaves it (its folder with compnts.dat, its key under
# SOFTWARE\Norvale, its uninstall key); the system environment and the switch log's folder go to WORK.
plant_release() {
    local work="$1" temp="$WINEPREFIX/drive_c/Temp"
    wine reg export "$SYSTEM_ENVIRONMENT" "$(unix_to_windows "$work/environment.reg")" /y >/dev/null 2>&1
    wine reg query 'HKLM\SOFTWARE\Norvale' >/dev/null 2>&1 || touch "$work/no-norvale-key"
    [ -d "$temp" ] || touch "$work/no-temp"
    [ ! -d "$temp/Morvane" ] || mv "$temp/Morvane" "$work/Morvane"
    mkdir -p "$temp" "$WINEPREFIX/drive_c/msi-test-release/MVX 16.6"
    touch "$WINEPREFIX/drive_c/msi-test-release/MVX 16.6/compnts.dat"
    local uninstall="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$RELEASE_CODE"
    wine reg add "HKLM\\SOFTWARE\\Norvale\\Norvale MVX 16.6\\16.6\\$RELEASE_CODE" /f >/dev/null 2>&1
    wine reg add "$uninstall" /v DisplayName /d 'Norvale MVX 16.6' /f >/dev/null 2>&1
    wine reg add "$uninstall" /v InstallLocation /d 'C:\msi-test-release\MVX 16.6\' /f >/dev/null 2>&1
}

# restore_environment WORK: the system environment as plant_release found it.
restore_environment() {
    wine reg delete "$SYSTEM_ENVIRONMENT" /v NVLROOT /f >/dev/null 2>&1 || true
    wine reg import "$(unix_to_windows "$1/environment.reg")" >/dev/null 2>&1
}

# remove_release WORK: all that plant_release planted goes, and what it saved comes back.
remove_release() {
    local work="$1" temp="$WINEPREFIX/drive_c/Temp"
    restore_environment "$work"
    wine reg delete "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$RELEASE_CODE" /f >/dev/null 2>&1
    wine reg delete 'HKLM\SOFTWARE\Norvale\Norvale MVX 16.6' /f >/dev/null 2>&1
    [ ! -e "$work/no-norvale-key" ] || wine reg delete 'HKLM\SOFTWARE\Norvale' /f >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/msi-test-release" "$temp/Morvane"
    [ ! -d "$work/Morvane" ] || mv "$work/Morvane" "$temp/Morvane"
    [ ! -e "$work/no-temp" ] || rm -rf "$temp"
}

# The user's and the system's environment variables, as the registry holds them.
environments() {
    wine reg query 'HKCU\Environment'
    wine reg query "$SYSTEM_ENVIRONMENT"
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

# msi_step CODE WHAT COMMAND...: runs a Windows program under Wine, which must end with exit code CODE
# (of which Unix keeps the low byte) within a minute: never waiting on a window.
msi_step() {
    local code="$1" what="$2" status=0
    shift 2
    timeout 60 wine "$@" >/dev/null 2>&1 </dev/null || status=$?
    [ $status -eq $((code % 256)) ] || echo "MSI test: $what ended with exit code $status, not $code" >&2
    [ $status -eq $((code % 256)) ]
}

# ends_with FILE END: whether the file ends with END.
ends_with() {
    [[ $(<"$1") == *"$2" ]]
}

# logged LOG LINE...: whether the installer's log holds each line.
logged() {
    local log="$1" line
    shift
    for line; do grep -qxF -- "$line" "$log" || return 1; done
}

# not COMMAND...: whether the command fails, its output dropped.
not() {
    ! "$@" >/dev/null 2>&1
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
