#!/usr/bin/env bash
# Soak: many selections in the main window's tree, made with the keyboard, on the demo disc
# (screenshots, text items, section and intro music), under LeakSanitizer.
# It holds when the program ends without a leak report and its resident memory after the last
# selection is within 5 % of what it was after the first 100.
#
# Usage: scripts/soak.sh [SELECTIONS] [BUILD_DIR]
#   SELECTIONS defaults to 10000. BUILD_DIR (default build, relative to the repository root) holds
#   the program and the demo disc (cmake --build BUILD_DIR -t autorun demo_disc); LeakSanitizer's
#   run-time library is preloaded into the program, so a normal build serves.
#   KEY_DELAY_MS (default 120) is the time between two keys: more than the tree's change delay
#   (50 ms), so that every selection is presented before the next one.
# Needs xvfb-run and xdotool. The program runs in a private X server on SDL's dummy audio output.
# Prints the figures; exit code 0 when both conditions hold, 1 when one fails, 2 on a setup error.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [[ "${1:-}" == --inside ]]; then
    # Inside the X server: $2 program, $3 disc, $4 selections, $5 work folder, $6 the sanitizer.
    autorun="$2" disc="$3" count="$4" work="$5" lsan="$6"
    delay="${KEY_DELAY_MS:-120}"
    export QT_QPA_PLATFORM=xcb QT_NO_GLIB=1 SDL_AUDIODRIVER=dummy
    export XDG_RUNTIME_DIR="$work/runtime" AUTORUN_MESSAGE_LOG="$work/messages.log"
    # Leaks in libraries the program does not own (their one-time caches) are listed in
    # scripts/lsan.supp; exitcode 23 tells a leak from other failures.
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0:exitcode=23"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

    # LeakSanitizer on its own needs no instrumented build: preloaded, it takes over the allocator
    # and checks for unreachable blocks when the program ends.
    LD_PRELOAD="$lsan" "$autorun" "$disc" nosplash 2>"$work/stderr.log" &
    pid=$!
    window="$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)" || true
    if [[ -z "$window" ]]; then
        echo "soak: the window did not appear" >&2
        kill -9 "$pid" 2>/dev/null || true
        exit 2
    fi
    xdotool windowfocus --sync "$window"
    rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }

    # A click on the tree's first row ("Programs") gives it the keys. With the tree's rule that only
    # the chosen node and its parent stay open, twelve Downs walk every node of the demo disc's tree
    # to the last one ("The disc's web page"), and Home goes back to the first: thirteen keys, each a
    # new selection. Keys go in batches that end at the 100th selection and at every 1000th.
    xdotool mousemove --window "$window" 68 56 click 1
    nodes=13
    done_count=0 first_rss=""
    while (( done_count < count )); do
        batch=$(( 50 - done_count % 50 ))
        (( batch > count - done_count )) && batch=$(( count - done_count ))
        keys=()
        for (( k = 0; k < batch; ++k )); do
            if (( (done_count + k) % nodes == nodes - 1 )); then keys+=(Home); else keys+=(Down); fi
        done
        xdotool key --delay "$delay" "${keys[@]}"
        done_count=$(( done_count + batch ))
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "soak: the program ended after $done_count selections" >&2
            cat "$work/stderr.log" >&2
            exit 1
        fi
        if (( done_count == 100 )); then
            first_rss="$(rss)"
            echo "soak: resident memory after 100 selections: $first_rss KiB"
        elif (( done_count % 1000 == 0 )); then
            echo "soak: $done_count selections, resident memory $(rss) KiB"
        fi
    done
    last_rss="$(rss)"
    [[ -z "$first_rss" ]] && first_rss="$last_rss"
    echo "soak: resident memory after $done_count selections: $last_rss KiB"

    # The title bar's close button ends the program as a user would, so that the leak check runs.
    xdotool mousemove --window "$window" 759 13 click 1
    status=0
    if ! timeout 120 tail --pid="$pid" -f /dev/null; then
        echo "soak: the program did not end after its close button; killed" >&2
        kill -9 "$pid" 2>/dev/null || true
        exit 1
    fi
    wait "$pid" || status=$?

    growth="$(awk -v a="$first_rss" -v b="$last_rss" 'BEGIN { printf "%.2f", (b - a) * 100 / a }')"
    echo "soak: growth from the first 100 selections to the end: $growth %"
    result=0
    if grep -q "LeakSanitizer" "$work/stderr.log"; then
        echo "soak: LEAK (exit code $status):"
        grep -A40 "LeakSanitizer" "$work/stderr.log" | head -n 200
        result=1
    else
        echo "soak: no leak reported (exit code $status)"
    fi
    if awk -v g="$growth" 'BEGIN { exit !(g > 5) }'; then
        echo "soak: resident memory grew by more than 5 %"
        result=1
    fi
    exit "$result"
fi

count="${1:-10000}"
build="${2:-build}"
[[ "$build" = /* ]] || build="$root/$build"
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || {
    echo "soak: needs xvfb-run and xdotool (scripts/install-deps.sh)" >&2
    exit 2
}
lsan="$("${CXX:-c++}" -print-file-name=liblsan.so)"
if [[ ! -f "$lsan" ]]; then
    echo "soak: LeakSanitizer's library (liblsan.so, Debian package liblsan0) is missing" >&2
    exit 2
fi
if [[ ! -x "$build/src/app/autorun" || ! -f "$build/demo/disc/Shell/veltrane.vlp" ]]; then
    echo "soak: build the program and the demo disc first: cmake --build $build -t autorun demo_disc" >&2
    exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "soak: $count selections on $build/demo/disc, ${KEY_DELAY_MS:-120} ms between keys"
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside "$build/src/app/autorun" "$build/demo/disc" "$count" \
    "$work" "$lsan"
