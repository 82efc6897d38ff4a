#!/usr/bin/env bash
# Configures (Ninja, RelWithDebInfo unless told otherwise) and builds the project.
#
# Usage: scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
#   BUILD_DIR defaults to build/ in the repository root; a relative BUILD_DIR is taken from the
#   repository root too. JOBS sets the number of parallel compile jobs (default: the number of CPUs).
# Example: scripts/build.sh build-asan -DAUTORUN_SANITIZE=ON
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

build_dir=build
if [[ $# -gt 0 && "$1" != -* ]]; then
    build_dir="$1"
    shift
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j "${JOBS:-$(nproc)}"
