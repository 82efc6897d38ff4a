#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts autorun on the sample disc.
#
# The sample disc is build/demo/disc: its Shell folder holds the sample project
# demo/sample/project.json, compiled with the project tool. The main window is still a plain one (a
# list of the project's sections and items); the skinned window replaces it in a later version.
# Without a display the project is printed as the program loads it instead.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
scripts/build.sh build

vlptool=build/tools/vlptool/vlptool
autorun=build/src/app/autorun
for tool in "$vlptool" "$autorun"; do
    if [[ ! -x "$tool" ]]; then
        echo "run.sh: $tool was not built" >&2
        exit 1
    fi
done

disc=build/demo/disc
mkdir -p "$disc/Shell"
"$vlptool" build demo/sample/project.json "$disc/Shell/veltrane.vlp"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Starting autorun on the sample disc $disc (close its window to end)."
    exec "$autorun" "$disc" "$@"
fi

"$vlptool" dump "$disc/Shell/veltrane.vlp"
echo
echo "No display here, so autorun was not started. Above is the sample project"
echo "(demo/sample/project.json), compiled into $disc/Shell/veltrane.vlp and read back as the"
echo "program loads it. With a display, run: $autorun $disc"
