#!/bin/sh
# Runs every libFuzzer harness in turn for SECONDS each, one at a time, at the lowest priority, and
# prints per harness the executions, the CPU seconds used and the findings (crash-, timeout-, oom-
# files written into build-fuzz/findings/<harness>/).
#   scripts/fuzz.sh SECONDS [BUILD_DIR] [HARNESS...]
# BUILD_DIR defaults to build-fuzz (configured as docs/fuzzing.md shows).
set -eu
seconds=${1:?usage: scripts/fuzz.sh SECONDS [BUILD_DIR] [HARNESS...]}
build=${2:-build-fuzz}
[ $# -ge 2 ] && shift 2 || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ $# -eq 0 ]; then
    set -- $(cd "$build/fuzz" && ls fuzz_* | grep -v '\.' || true)
fi
[ $# -gt 0 ] || { echo "no harnesses in $build/fuzz; build them first (docs/fuzzing.md)" >&2; exit 2; }
printf '%-24s %12s %10s %s\n' harness executions cpu-seconds findings
status=0
for name in "$@"; do
    exe="$build/fuzz/$name"
    corpus="fuzz/corpus-${name#fuzz_}"
    findings="$build/findings/$name"
    mkdir -p "$corpus" "$findings"
    # An empty corpus starts from the files of the harness's kind that the project already holds,
    # cut to the longest input the run takes: from nothing, a sound decoder waits long for a header.
    if [ -z "$(ls -A "$corpus")" ]; then
        case "$name" in
            fuzz_sound) pattern='*.ogg *.wav *.mp3 *.flac' ;;
            fuzz_ini) pattern='shell.ini' ;;
            fuzz_controlsini) pattern='controls.ini' ;;
            fuzz_rtf) pattern='*.rtf' ;;
            *) pattern='' ;;
        esac
        n=0
        set -f
        for p in $pattern; do
            find tests demo -iname "$p" -type f | while IFS= read -r f; do
                head -c 16384 "$f" >"$corpus/seed-$n-$(printf '%s' "$f" | cksum | cut -d' ' -f1)"
            done
            n=$((n + 1))
        done
        set +f
    fi
    dict=""
    [ -f "fuzz/${name#fuzz_}.dict" ] && dict="-dict=fuzz/${name#fuzz_}.dict"
    log="$findings/run.log"
    # shellcheck disable=SC2086
    /usr/bin/time -f '%U %S' -o "$findings/time" nice -n 19 "$exe" $dict -max_total_time="$seconds" \
        -max_len=16384 -rss_limit_mb=2048 -timeout=10 -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
        -ignore_ooms=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || true
    cpu=$(awk '{printf "%.0f", $1+$2}' "$findings/time" 2>/dev/null || echo "?")
    execs=$(grep -o 'exec/s\|#[0-9]*' "$log" | grep '^#' | tail -n 1 | tr -d '#')
    found=$(find "$findings" -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'leak-*' | wc -l)
    printf '%-24s %12s %10s %s\n' "$name" "${execs:-?}" "$cpu" "$found"
    [ "$found" -eq 0 ] || status=1
done
exit $status
