#!/usr/bin/env bash
# Starts a disc made by scripts/make-disc.sh as a desktop would, and checks what it loads.
#
# Usage: tests/packaging/run-disc.sh [--root ROOT] [--runtime system|bundle] [--expect system|bundle]
#                                 [--bind-now] [--from FOLDER] DISC
#   Runs "sh DISC/autorun.sh" from FOLDER (default /) on a private X server with an environment
#   that holds only DISPLAY, HOME and XDG_RUNTIME_DIR; --runtime adds AUTORUN_RUNTIME, which
#   forces the choice of C library, and --bind-now adds LD_BIND_NOW=1, so that every symbol of
#   every library is looked up at start and one that the system's libraries lack shows at once.
#   Passes when a window of the program comes up and every shared object in the program's
#   /proc/PID/maps is loaded from DISC/.linux, is named by packaging/bundle-exclude.txt, or is
#   needed only by such libraries of the system. --expect checks which C library the program runs
#   on: the system's or the bundle's own.
#   --root ROOT: DISC and FOLDER are paths inside the system root ROOT, and the program runs there
#   (chroot; the caller mounts /proc and /dev in it). The X server and the checks stay outside.
# Prints the shared objects that came from the system. Exit code 0 passed, 1 failed, 2 usage.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exclude_file="$here/../../packaging/bundle-exclude.txt"

usage() {
    sed -n '4,16s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

root=""
runtime=""
expect=""
bind_now=""
from="/"
disc=""
while [[ $# -gt 0 ]]; do
    case "$1" in
        --root) root="$2"; shift 2 ;;
        --runtime) runtime="$2"; shift 2 ;;
        --expect) expect="$2"; shift 2 ;;
        --from) from="$2"; shift 2 ;;
        --bind-now) bind_now=1; shift ;;
        -*) usage ;;
        *) [[ -z "$disc" ]] || usage; disc="$1"; shift ;;
    esac
done
[[ -n "$disc" ]] || usage
case "$runtime" in ""|system|bundle) ;; *) usage ;; esac
case "$expect" in ""|system|bundle) ;; *) usage ;; esac
root="${root%/}"
# The disc as this script sees it.
outside="$root$disc"
if [[ ! -f "$outside/autorun.sh" || ! -d "$outside/.linux" ]]; then
    echo "run-disc.sh: $outside is not a disc made by make-disc.sh" >&2
    exit 2
fi

work="$(mktemp -d)"
xvfb=""
program=""
pid=""
cleanup() {
    if [[ -n "$pid" && "$pid" != "$program" ]]; then
        kill "$pid" 2>/dev/null || true
    fi
    if [[ -n "$program" ]] && kill -0 "$program" 2>/dev/null; then
        kill "$program" 2>/dev/null || true
        wait "$program" 2>/dev/null || true
    fi
    if [[ -n "$xvfb" ]]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    [[ -z "$root" ]] || rm -rf "$root/tmp/run-disc.$$"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "run-disc.sh: FAILED: $*" >&2
    if [[ -s "$work/program.log" ]]; then
        echo "--- the program's output:" >&2
        tail -n 40 "$work/program.log" >&2
    fi
    exit 1
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds; fails after SECONDS.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [[ $SECONDS -lt $deadline ]] || return 1
        sleep 0.2
    done
}

# A private X server: it picks a free display and writes its number to the pipe.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 number <"$work/displayfd" || fail "the X server did not start: $(cat "$work/xvfb.log")"
display=":$number"

# HOME and the runtime folder, inside ROOT when the program runs there.
inside="/tmp/run-disc.$$"
[[ -n "$root" ]] || inside="$work/user"
mkdir -p "$root$inside/home" "$root$inside/runtime"
chmod 700 "$root$inside/runtime"
environment=(DISPLAY="$display" HOME="$inside/home" XDG_RUNTIME_DIR="$inside/runtime")
[[ -z "$runtime" ]] || environment+=(AUTORUN_RUNTIME="$runtime")
[[ -z "$bind_now" ]] || environment+=(LD_BIND_NOW=1)

# The shell replaces itself by the program (or by the loader that runs it): $! is the program.
if [[ -z "$root" ]]; then
    (cd "$from" && exec /usr/bin/env -i "${environment[@]}" /bin/sh "$disc/autorun.sh") >"$work/program.log" 2>&1 &
else
    # chroot starts in the root's /: the shell inside moves to FOLDER first.
    chroot "$root" /usr/bin/env -i "${environment[@]}" /bin/sh -c 'cd -- "$0" && exec /bin/sh "$1"' \
        "$from" "$disc/autorun.sh" >"$work/program.log" 2>&1 &
fi
program=$!

# The program's process: the started one, or, when autorun.sh stays to clean up after a copied
# loader, the shell's child.
pid="$program"
find_program() {
    local exe child
    pid="$program"
    while exe="$(readlink "/proc/$pid/exe" 2>/dev/null)"; do
        case "$(basename "$exe")" in
            sh|dash|bash|busybox) ;;
            *) return 0 ;;
        esac
        child="$(cat "/proc/$pid/task/"*/children 2>/dev/null | awk '{ print $1; exit }')"
        [[ -n "$child" ]] || return 1
        pid="$child"
    done
    return 1
}
window_up() {
    kill -0 "$program" 2>/dev/null || fail "the program ended before its window came up"
    find_program && DISPLAY="$display" xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1
}
wait_for 60 window_up || fail "no window of the program came up within 60 s"
echo "run-disc.sh: a window of the program (process $pid, $(readlink "/proc/$pid/exe")) is up on display $display"
# The main window follows the splash, which has no name; the libraries are loaded by then.
window_names() {
    local window
    for window in $(DISPLAY="$display" xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        DISPLAY="$display" xdotool getwindowname "$window" 2>/dev/null || true
    done
}
named_window_up() {
    kill -0 "$pid" 2>/dev/null || fail "the program ended after its first window"
    [[ -n "$(window_names | tr -d '[:space:]')" ]]
}
wait_for 60 named_window_up || fail "no window of the program with a name came up within 60 s"
window_names | sed '/^$/d; s/^/run-disc.sh: window: /'

# Every shared object the program maps must come from the bundle, unless the exclusion list
# leaves it to the system or only libraries of the system need it (what those bring along).
# Names are compared as the loader compares them: by SONAME.
patterns=()
while read -r name _; do
    [[ -z "$name" || "$name" == \#* ]] || patterns+=("$name")
done <"$exclude_file"
bundle="$outside/.linux/"
# The path is everything after the fifth field, blanks included.
sed -nE 's/^([^ ]+ +){5}(\/.*\.so(\.[0-9.]+)?)$/\2/p' "/proc/$pid/maps" | sort -u >"$work/objects"
[[ -s "$work/objects" ]] || fail "no shared object in /proc/$pid/maps"
declare -A soname_of needs_bundle needs_system
while IFS= read -r object; do
    headers="$(objdump -p "$object" 2>/dev/null || true)"
    soname="$(awk '$1 == "SONAME" { print $2 }' <<<"$headers")"
    soname_of["$object"]="${soname:-$(basename "$object")}"
    for needed in $(awk '$1 == "NEEDED" { print $2 }' <<<"$headers"); do
        if [[ "$object" == "$bundle"* ]]; then
            needs_bundle["$needed"]+="$(basename "$object") "
        else
            needs_system["$needed"]+="$(basename "$object") "
        fi
    done
done <"$work/objects"
from_system=()
stray=()
libc=""
while IFS= read -r object; do
    name="${soname_of["$object"]}"
    [[ "$name" == libc.so.6 ]] && libc="$object"
    [[ "$object" != "$bundle"* ]] || continue
    why=""
    for pattern in "${patterns[@]}"; do
        # shellcheck disable=SC2053 # the list's names are patterns
        if [[ "$name" == $pattern ]]; then
            why="on the exclusion list"
            break
        fi
    done
    if [[ -z "$why" && -z "${needs_bundle["$name"]:-}" && -n "${needs_system["$name"]:-}" ]]; then
        why="for ${needs_system["$name"]% }"
    fi
    if [[ -n "$why" ]]; then
        from_system+=("${object#"$root"} ($why)")
    elif [[ -n "${needs_bundle["$name"]:-}" ]]; then
        stray+=("${object#"$root"}: needed by the bundle's ${needs_bundle["$name"]% }")
    else
        stray+=("${object#"$root"}: loaded at run time")
    fi
done <"$work/objects"
echo "run-disc.sh: $(wc -l <"$work/objects") shared objects mapped, ${#from_system[@]} from the system:"
printf '    %s\n' "${from_system[@]}"
if [[ ${#stray[@]} -gt 0 ]]; then
    printf '    %s\n' "${stray[@]}" >&2
    fail "${#stray[@]} shared objects above come from the system, but the bundle should carry them"
fi
case "$expect" in
    system) [[ "$libc" != "$bundle"* ]] || fail "the program runs on the bundle's C library, not the system's" ;;
    bundle) [[ "$libc" == "$bundle"* ]] || fail "the program runs on the system's C library ($libc), not the bundle's" ;;
esac
echo "run-disc.sh: C library: ${libc#"$root"}"
echo "run-disc.sh: passed"
