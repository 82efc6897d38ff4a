#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts autorun on the demo disc.
#
# The demo disc is build/demo/disc: the build copies demo/disc there and compiles its project
# demo/project.json into Shell/veltrane.vlp with the project tool. Without a display the main window is
# drawn off screen and saved as a PNG picture (the program's "snapshot=FILE" option) instead.
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

snapshot="$root/build/demo/snapshot.png"
# A blank in the value is written "?".
QT_QPA_PLATFORM=offscreen "$autorun" "$disc" "snapshot=${snapshot// /?}" "$@"
echo
echo "No display here, so autorun drew its main window off screen: see $snapshot"
echo "With a display, run: $autorun $disc"
