#!/usr/bin/env bash
# Installs what is missing, builds into build/ and shows the sample project.
#
# The program's windows arrive in a later version. Until then this compiles the sample project
# demo/sample/project.json into a structure file with the project tool and prints that file back as
# the program loads it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
scripts/build.sh build

vlptool=build/tools/vlptool/vlptool
if [[ ! -x "$vlptool" ]]; then
    echo "run.sh: $vlptool was not built" >&2
    exit 1
fi

out=build/demo/sample.vlp
mkdir -p "$(dirname "$out")"
"$vlptool" build demo/sample/project.json "$out"

"$vlptool" dump "$out"
echo
echo "The program's windows arrive in a later version. Above is the sample project"
echo "(demo/sample/project.json), compiled into $out and read back as the program loads it."
