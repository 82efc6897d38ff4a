#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts autorun on the demo disc.
#
# The demo disc is build/demo/disc: the build copies demo/disc there and compiles its project
# demo/project.json into Shell/veltrane.vlp with the project tool. The main window is still a plain one
# (a list of the project's sections and items); the skinned window replaces it in a later version.
# Without a display the project is printed as the program loads it instead.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
scripts/build.sh build

vlptool=build/tools/vlptool/vlptool
autorun=build/src/app/autorun
disc=build/demo/disc
for tool in "$vlptool" "$autorun"; do
    if [[ ! -x "$tool" ]]; then
        echo "run.sh: $tool was not built" >&2
        exit 1
    fi
done
if [[ ! -f "$disc/Shell/veltrane.vlp" ]]; then
    echo "run.sh: the build did not assemble the demo disc $disc" >&2
    exit 1
fi

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Starting autorun on the demo disc $disc (close its window to end)."
    exec "$autorun" "$disc" "$@"
fi

"$vlptool" dump "$disc/Shell/veltrane.vlp"
echo
echo "No display here, so autorun was not started. Above is the demo disc's project"
echo "(demo/project.json), compiled into $disc/Shell/veltrane.vlp and read back as the"
echo "program loads it. With a display, run: $autorun $disc"
