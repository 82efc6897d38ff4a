#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole test suite.
# Extra arguments go to ctest, e.g. scripts/run-tests.sh -R componentreader
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
scripts/build.sh build
ctest --test-dir build --output-on-failure -j2 "$@"
