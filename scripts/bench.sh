#!/usr/bin/env bash
# Times kelmora against programs that do only the same work, with hyperfine under Wine, and prints
# the ratios. Not part of the tests. Everything runs in the prefix build/wineprefix-bench, which holds
# NVLROOT and a PATH naming %NVLROOT% in the system environment.
#
#     scripts/bench.sh [path] [fa] [dialogs] [ROUNDS [RUNS]]    (all three when none is named)
#
# path     `kelmora -path ROOT` against kelmora_floor, a bare program doing the same registry writes,
#          broadcasts and log append. Before every timed run PATH is put back out of order, so that
#          each run of either program rewrites and logs it. ROUNDS defaults to 20, RUNS to 2.
# fa       `kelmora -fa FILE` against `C:\windows\regedit.exe /s` of a .reg file storing exactly the
#          same keys, values and types, at 10, 1,000 and 10,000 lines: first with none of the keys there
#          (they are deleted before every run), then again over the keys already there. ROUNDS
#          defaults to 5, RUNS to 2.
# dialogs  kelmora_dialog_bench at 1,000 and 10,000 lines: the Import File Associations dialog
#          importing the same file (first, then again, each with the listing that follows) and the
#          File Association Setup dialog's listing; ROUNDS (default 3) runs of each size.
#
# KELMORA_EXE=other.exe times another build of kelmora (its path must name it kelmora.exe).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ENVIRONMENT='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
ROOT='c:\bench\root' # lower case: kelmora reads its command line in lower case
OLD_PATH='C:\Tools;%NVLROOT%\tools\bin;%SystemRoot%\system32;%SystemRoot%'
NEW_PATH='%SystemRoot%\system32;%SystemRoot%;%NVLROOT%\tools\bin;C:\Tools'
REGEDIT='C:\windows\regedit.exe'
SIZES=(10 1000 10000)      # lines of the -fa files; the 10-line run shows what a run costs beyond its lines
DIALOG_SIZES=(1000 10000)

reset_path() {
    wine reg add "$ENVIRONMENT" /v PATH /t REG_EXPAND_SZ /d "$OLD_PATH" /f >/dev/null 2>&1
}
stored_path() {
    wine reg query "$ENVIRONMENT" /v PATH 2>/dev/null | tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]* *//p'
}
if [ "${1:-}" = --reset ]; then
    reset_path
    exit 0
fi

BENCHES=()
while [ $# -gt 0 ] && [[ $1 =~ ^(path|fa|dialogs)$ ]]; do
    BENCHES+=("$1")
    shift
done
[ ${#BENCHES[@]} -gt 0 ] || BENCHES=(path fa dialogs)
ROUNDS_GIVEN=${1:-}
RUNS_GIVEN=${2:-}

install_missing_packages
for tool in hyperfine jq; do
    command -v $tool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $tool >/dev/null
done
build --target kelmora kelmora_floor kelmora_dialog_bench >/dev/null
KELMORA_EXE=${KELMORA_EXE:-$BUILD/kelmora.exe}
create_prefix "$BUILD/wineprefix-bench"
BENCH_DIR="$WINEPREFIX/drive_c/bench"
mkdir -p "$BENCH_DIR/root/tools/bin" "$WINEPREFIX/drive_c/Temp"
touch "$BENCH_DIR/root/tools/bin/draftsch.exe"
wine reg add "$ENVIRONMENT" /v NVLROOT /t REG_SZ /d "$ROOT" /f >/dev/null 2>&1
# No window manager runs under Xvfb: a managed dialog that closes waits two seconds for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
ensure_display
start_wine_services
trap 'wineserver -k 2>/dev/null || true; [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null || true' EXIT
# A window on the desktop, as on the Windows machine a script runs on: without one, Wine ends its
# desktop process a second after the last window goes, and the next program that broadcasts (kelmora
# and the floor do, the registry editor does not) would pay a third of a second to start it again.
wine notepad >/dev/null 2>&1 &
for _ in $(seq 100); do xdotool search --name Notepad >/dev/null 2>&1 && break; sleep 0.1; done

# Prints the summary of hyperfine exports of two commands named $1 and $2. Wall time: every run's;
# CPU (user + system, of the wine process and its children): each round's mean.
summarise() {
    local first=$1 second=$2
    shift 2
    jq -rs --arg a "$first" --arg b "$second" '
        def median: sort | if length % 2 == 1 then .[length / 2 | floor] else (.[length / 2 - 1] + .[length / 2]) / 2 end;
        def mean: add / length;
        def ms: . * 1000 | round;
        def ratio: . * 100 | round / 100;
        [.[].results[]] | group_by(.command) | map({key: .[0].command,
            value: {wall: [.[].times[]], cpu: [.[] | .user + .system]}}) | from_entries
        | .[$a] as $k | .[$b] as $f
        | "wall  \($a) median \($k.wall | median | ms) ms, mean \($k.wall | mean | ms) ms; \($b) median \($f.wall | median | ms) ms, mean \($f.wall | mean | ms) ms; ratio of medians \(($k.wall | median) / ($f.wall | median) | ratio)x",
          "cpu   \($a) median \($k.cpu | median | ms) ms, mean \($k.cpu | mean | ms) ms; \($b) median \($f.cpu | median | ms) ms, mean \($f.cpu | mean | ms) ms; ratio of medians \(($k.cpu | median) / ($f.cpu | median) | ratio)x"
        ' "$@"
}

# The machine is shared and its load comes and goes: rather than all of one program's runs and then
# all of the other's, short rounds of both, in turns, so that both meet the same load.
# alternate NAME ROUNDS RUNS PREPARE A-NAME A-COMMAND B-NAME B-COMMAND: exports to build/bench-NAME-*.json.
alternate() {
    local name=$1 rounds=$2 runs=$3 prepare=$4
    local a=(-n "$5" "$6") b=(-n "$7" "$8") order prepared=()
    [ -z "$prepare" ] || prepared=(--prepare "$prepare")
    rm -f "$BUILD/bench-$name"-*.json
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 1 ]; then order=("${a[@]}" "${b[@]}"); else order=("${b[@]}" "${a[@]}"); fi
        # Warm-up runs (the first round's) fill the file cache for both.
        hyperfine -N --style none --warmup $((round == 1 ? 2 : 0)) --runs "$runs" "${prepared[@]}" \
            --export-json "$BUILD/bench-$name-$round.json" "${order[@]}" 2> >(grep -v 'Statistical outliers' >&2)
    done
}

bench_path() {
    local rounds=${ROUNDS_GIVEN:-20} runs=${RUNS_GIVEN:-2}
    # Both programs must really do the work: a rewritten PATH, one more log record.
    local log="$WINEPREFIX/drive_c/Temp/Morvane/log.txt" program before
    for program in "$KELMORA_EXE -path $ROOT" "$BUILD/kelmora_floor.exe $ROOT $NEW_PATH"; do
        reset_path
        before=$(stat -c %s "$log" 2>/dev/null || echo 0)
        # shellcheck disable=SC2086 # the words of the command line
        wine $program >/dev/null 2>&1
        if [ "$(stored_path)" != "$NEW_PATH" ] || [ "$(stat -c %s "$log" 2>/dev/null || echo 0)" -le "$before" ]; then
            echo "bench: $program did not rewrite and log PATH" >&2
            exit 1
        fi
    done
    alternate path "$rounds" "$runs" "bash $REPO/scripts/bench.sh --reset" \
        kelmora "wine $KELMORA_EXE -path '$ROOT'" floor "wine $BUILD/kelmora_floor.exe '$ROOT' '$NEW_PATH'"
    echo "-path: $rounds rounds of $runs runs each"
    summarise kelmora floor "$BUILD"/bench-path-*.json
}

# The association file of N lines, each recording an extension of its own for the release's tool, and
# the .reg file that stores what kelmora stores for it: the record's "Application" (REG_EXPAND_SZ, as
# it holds a "%"), the extension's class (REG_SZ) and the class's open command, resolved and in lower
# case (REG_EXPAND_SZ); also the .reg file that deletes all of it again.
STORE_KEY='HKEY_CURRENT_USER\Software\Norvale\Morvane\File Associations'
CLASSES_KEY='HKEY_CURRENT_USER\Software\Classes'
# REGEDIT4's hex(2): the bytes in the ANSI code page and the terminating zero.
hex2() {
    printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//; s/ /,/g; s/$/,00/'
}
make_association_files() {
    local lines=$1
    # Through the environment: awk would take the backslashes of -v values for escapes.
    LINES=$lines DIR=$BENCH_DIR STORE=$STORE_KEY CLASSES=$CLASSES_KEY \
        APPLICATION=$(hex2 '%NVLROOT%\tools\bin\draftsch.exe') \
        COMMAND=$(hex2 "\"$ROOT\\tools\\bin\\draftsch.exe\" \"%1\" -r") awk '
        BEGIN {
            lines = ENVIRON["LINES"]; dir = ENVIRON["DIR"]; store = ENVIRON["STORE"]; classes = ENVIRON["CLASSES"]
            application = ENVIRON["APPLICATION"]; command = ENVIRON["COMMAND"]
            text = dir "/assoc-" lines ".txt"; reg = dir "/assoc-" lines ".reg"; clear = dir "/clear-" lines ".reg"
            printf "REGEDIT4\r\n\r\n" > reg
            printf "REGEDIT4\r\n\r\n[-%s]\r\n", store > clear
            for (i = 1; i <= lines; i++) {
                extension = sprintf("b%05d", i)
                printf "%s \"%%NVLROOT%%\\tools\\bin\\draftsch.exe\" -r\r\n", extension > text
                printf "[%s\\%s]\r\n\"Application\"=hex(2):%s\r\n\r\n", store, extension, application > reg
                printf "[%s\\.%s]\r\n@=\"%s_auto_file_mvxnrvl\"\r\n\r\n", classes, extension, extension > reg
                printf "[%s\\%s_auto_file_mvxnrvl\\shell\\open\\command]\r\n@=hex(2):%s\r\n\r\n", \
                    classes, extension, command > reg
                printf "[-%s\\.%s]\r\n[-%s\\%s_auto_file_mvxnrvl]\r\n", classes, extension, classes, extension > clear
            }
        }'
}
clear_associations() {
    wine "$REGEDIT" /s "C:\\bench\\clear-$1.reg" >/dev/null 2>&1
}
# Every size's files, and none of their keys left from an earlier run.
start_associations() {
    local lines
    for lines in "${SIZES[@]}"; do make_association_files "$lines"; done
    clear_associations "${SIZES[-1]}"
}
# Both programs' keys, values and types as `reg export` writes them.
export_associations() {
    local into=$1
    wine reg export "$STORE_KEY" "C:\\bench\\$into-store.reg" /y >/dev/null 2>&1
    wine reg export "$CLASSES_KEY" "C:\\bench\\$into-classes.reg" /y >/dev/null 2>&1
}

bench_fa() {
    local rounds=${ROUNDS_GIVEN:-5} runs=${RUNS_GIVEN:-2} lines mode
    local kelmora regedit
    start_associations
    for lines in "${SIZES[@]}"; do
        kelmora="wine $KELMORA_EXE -fa 'c:\\bench\\assoc-$lines.txt'"
        regedit="wine '$REGEDIT' /s 'c:\\bench\\assoc-$lines.reg'"
        # Both store the same: the same export after either, starting from none of the keys.
        clear_associations "$lines"
        wine "$KELMORA_EXE" -fa "c:\\bench\\assoc-$lines.txt" >/dev/null 2>&1 || {
            echo "bench: kelmora -fa failed" >&2
            exit 1
        }
        export_associations kelmora
        clear_associations "$lines"
        wine "$REGEDIT" /s "C:\\bench\\assoc-$lines.reg" >/dev/null 2>&1
        export_associations regedit
        for part in store classes; do
            if ! cmp -s "$BENCH_DIR/kelmora-$part.reg" "$BENCH_DIR/regedit-$part.reg"; then
                echo "bench: kelmora and regedit store different keys, values or types under $part" >&2
                exit 1
            fi
        done
        # reg export writes UTF-16: one record per line, each with its expandable "Application".
        if [ "$(iconv -f UTF-16 -t UTF-8 "$BENCH_DIR/kelmora-store.reg" | grep -c '^"Application"=hex(2):')" -ne "$lines" ]; then
            echo "bench: kelmora did not record every line" >&2
            exit 1
        fi
        for mode in first again; do
            local prepare=""
            [ $mode = first ] && prepare="wine '$REGEDIT' /s 'C:\\bench\\clear-$lines.reg'"
            alternate "fa-$lines-$mode" "$rounds" "$runs" "$prepare" kelmora "$kelmora" regedit "$regedit"
        done
    done
    echo "-fa: $rounds rounds of $runs runs each"
    for lines in "${SIZES[@]}"; do
        for mode in first again; do
            echo "$lines lines, $mode import:"
            summarise kelmora regedit "$BUILD/bench-fa-$lines-$mode"-*.json
        done
    done
    for mode in first again; do
        jq -rs --arg mode "$mode" '
            def median: sort | if length % 2 == 1 then .[length / 2 | floor] else (.[length / 2 - 1] + .[length / 2]) / 2 end;
            [.[] | [.[].results[] | select(.command == "kelmora") | .times[]] | median]
            | "kelmora -fa, \($mode) import: 10,000 lines take \(.[1] / .[0] * 100 | round / 100)x the time of 1,000"
            ' <(jq -s . "$BUILD/bench-fa-1000-$mode"-*.json) <(jq -s . "$BUILD/bench-fa-10000-$mode"-*.json)
    done
}

bench_dialogs() {
    local rounds=${ROUNDS_GIVEN:-3} lines round
    local results="$BUILD/bench-dialogs.txt"
    : >"$results"
    start_associations
    for lines in "${DIALOG_SIZES[@]}"; do
        for round in $(seq "$rounds"); do
            clear_associations "$lines"
            echo "$lines $(wine "$BUILD/kelmora_dialog_bench.exe" "c:\\bench\\assoc-$lines.txt" 2>/dev/null | tr -d '\r')" >>"$results"
        done
    done
    echo "dialogs: $rounds runs of each size, medians"
    local column label small large
    median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    for column in 2 3 4; do
        label=$(echo "dialog import, first|dialog import, again|Setup dialog listing" | cut -d'|' -f$((column - 1)))
        small=$(awk -v c=$column '$1 == 1000 { print $c }' "$results" | median)
        large=$(awk -v c=$column '$1 == 10000 { print $c }' "$results" | median)
        printf '%-22s 1,000: %6s ms  10,000: %7s ms  ratio %sx\n' "$label" "$small" "$large" \
            "$(awk -v a="$small" -v b="$large" 'BEGIN { printf "%.2f", b / a }')"
    done
}

for bench in "${BENCHES[@]}"; do
    "bench_$bench"
done
