#!/usr/bin/env bash
# Times `kelmora -path ROOT` against kelmora_floor, a bare program doing the same registry writes,
# broadcasts and log append, with hyperfine under Wine, and prints the wall-time and CPU (user +
# system) ratios. Not part of the tests. The prefix, build/wineprefix-bench, holds NVLROOT
# and a PATH naming %NVLROOT% in the system environment; before every timed run PATH is put back out
# of order, so that each run of either program rewrites and logs it.
#
#     scripts/bench.sh [ROUNDS [RUNS]]    (KELMORA_EXE=other.exe times another build of kelmora)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ENVIRONMENT='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
ROOT='c:\bench\root' # lower case: kelmora reads its command line in lower case
OLD_PATH='C:\Tools;%NVLROOT%\tools\bin;%SystemRoot%\system32;%SystemRoot%'
NEW_PATH='%SystemRoot%\system32;%SystemRoot%;%NVLROOT%\tools\bin;C:\Tools'

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

ROUNDS=${1:-20}
RUNS=${2:-2} # of each program in a round
install_missing_packages
for tool in hyperfine jq; do
    command -v $tool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $tool >/dev/null
done
build --target kelmora kelmora_floor >/dev/null
KELMORA_EXE=${KELMORA_EXE:-$BUILD/kelmora.exe}
create_prefix "$BUILD/wineprefix-bench"
mkdir -p "$WINEPREFIX/drive_c/bench/root/tools/bin" "$WINEPREFIX/drive_c/Temp"
wine reg add "$ENVIRONMENT" /v NVLROOT /t REG_SZ /d "$ROOT" /f >/dev/null 2>&1
wineserver -w
ensure_display
start_wine_services
trap 'wineserver -k 2>/dev/null || true; [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null || true' EXIT

# Both programs must really do the work: a rewritten PATH, one more log record.
log="$WINEPREFIX/drive_c/Temp/Morvane/log.txt"
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

# The machine is shared and its load comes and goes: rather than all of kelmora's runs and then all
# of the floor's, short rounds of both, in turns, so that both meet the same load.
rm -f "$BUILD"/bench-*.json
for round in $(seq "$ROUNDS"); do
    kelmora=(-n kelmora "wine $KELMORA_EXE -path '$ROOT'")
    floor=(-n floor "wine $BUILD/kelmora_floor.exe '$ROOT' '$NEW_PATH'")
    if [ $((round % 2)) -eq 1 ]; then order=("${kelmora[@]}" "${floor[@]}"); else order=("${floor[@]}" "${kelmora[@]}"); fi
    # Warm-up runs (the first round's) fill the file cache for both.
    hyperfine -N --style none --warmup $((round == 1 ? 2 : 0)) --runs "$RUNS" \
        --prepare "bash $REPO/scripts/bench.sh --reset" --export-json "$BUILD/bench-$round.json" "${order[@]}" \
        2> >(grep -v 'Statistical outliers' >&2)
done
# Wall time: every run's; CPU (user + system, of the wine process and its children): each round's mean.
jq -rs --arg rounds "$ROUNDS" --arg runs "$RUNS" '
    def median: sort | if length % 2 == 1 then .[length / 2 | floor] else (.[length / 2 - 1] + .[length / 2]) / 2 end;
    def mean: add / length;
    def ms: . * 1000 | round;
    def ratio: . * 100 | round / 100;
    [.[].results[]] | group_by(.command) | map({key: .[0].command,
        value: {wall: [.[].times[]], cpu: [.[] | .user + .system]}}) | from_entries
    | .kelmora as $k | .floor as $f
    | "\($rounds) rounds of \($runs) runs each",
      "wall  kelmora median \($k.wall | median | ms) ms, mean \($k.wall | mean | ms) ms; floor median \($f.wall | median | ms) ms, mean \($f.wall | mean | ms) ms; ratio of medians \(($k.wall | median) / ($f.wall | median) | ratio)x",
      "cpu   kelmora median \($k.cpu | median | ms) ms, mean \($k.cpu | mean | ms) ms; floor median \($f.cpu | median | ms) ms, mean \($f.cpu | mean | ms) ms; ratio of medians \(($k.cpu | median) / ($f.cpu | median) | ratio)x"
    ' "$BUILD"/bench-*.json
