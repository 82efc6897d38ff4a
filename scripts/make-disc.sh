#!/usr/bin/env bash
# Makes a disc that starts on a Linux desktop from the medium itself: copies a disc folder and adds
# autorun.sh in its root and the hidden folder .linux with the program and everything it needs
# that a bare desktop may lack (docs/bundle.md). Optionally writes an ISO 9660 image of it, with
# Joliet names for Windows and Rock Ridge names and execute bits for Linux.
#
# Usage: scripts/make-disc.sh [--iso IMAGE] [--label LABEL] SOURCE_DISC OUT_FOLDER
#   SOURCE_DISC  the disc folder: the Shell folder with the project, and the disc's files
#   OUT_FOLDER   the disc to make; it must not exist yet or be empty
#   --iso IMAGE  also write the image IMAGE of OUT_FOLDER (needs xorriso)
#   --label L    the image's volume name (default: OUT_FOLDER's name in capitals)
# BUILD_DIR names the build folder (default build/ in the repository root); it is configured and
# built first when it is missing, otherwise only the program is brought up to date.
# Example: scripts/make-disc.sh --iso demo.iso build/demo/disc /tmp/demo-disc
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
    sed -n '7,13s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

iso=""
label=""
args=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --iso) [[ $# -ge 2 ]] || usage; iso="$2"; shift 2 ;;
        --iso=*) iso="${1#--iso=}"; shift ;;
        --label) [[ $# -ge 2 ]] || usage; label="$2"; shift 2 ;;
        --label=*) label="${1#--label=}"; shift ;;
        -h|--help) sed -n '2,14s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; exit 0 ;;
        -*) echo "make-disc.sh: unknown option $1" >&2; usage ;;
        *) args+=("$1"); shift ;;
    esac
done
[[ ${#args[@]} -eq 2 ]] || usage
source_disc="${args[0]}"
out="${args[1]}"

if [[ ! -d "$source_disc" ]]; then
    echo "make-disc.sh: $source_disc is not a folder" >&2
    exit 1
fi
if [[ -e "$out" && ( ! -d "$out" || -n "$(ls -A "$out")" ) ]]; then
    echo "make-disc.sh: $out exists and is not an empty folder" >&2
    exit 1
fi
if [[ -n "$iso" ]] && ! command -v xorriso >/dev/null; then
    echo "make-disc.sh: --iso needs xorriso (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
source_disc="$(cd "$source_disc" && pwd -P)"
mkdir -p "$out"
out="$(cd "$out" && pwd -P)"
case "$out/" in
    "$source_disc"/*) echo "make-disc.sh: $out lies inside $source_disc" >&2; rmdir "$out" 2>/dev/null || true; exit 1 ;;
esac

build_dir="${BUILD_DIR:-build}"
[[ "$build_dir" = /* ]] || build_dir="$root/$build_dir"
if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    echo "make-disc.sh: building $build_dir first"
    "$root/scripts/build.sh" "$build_dir" -DAUTORUN_TESTS=OFF -DAUTORUN_BENCH=OFF
else
    cmake --build "$build_dir" --target autorun
fi

# The disc's own files; a bundle the source already carries is replaced.
cp -R --preserve=mode,timestamps "$source_disc/." "$out/"
rm -rf "$out/.linux" "$out/autorun.sh"

env -u DESTDIR cmake --install "$build_dir" --component disc --prefix "$out" --strip

echo "make-disc.sh: $out is ready; .linux holds $(du -sh "$out/.linux" | cut -f1)."
echo "make-disc.sh: try it with: sh '$out/autorun.sh'"

if [[ -n "$iso" ]]; then
    if [[ -z "$label" ]]; then
        label="$(basename "$out" | tr '[:lower:]' '[:upper:]' | tr -c 'A-Z0-9_\n' '_' | cut -c1-32)"
        [[ "$label" =~ [A-Z0-9] ]] || label=AUTORUN
    fi
    rm -f "$iso"
    # -r: Rock Ridge with every file readable and the execute bits kept; -J: Joliet for Windows.
    xorriso -as mkisofs -r -J -joliet-long -iso-level 3 -input-charset UTF-8 -output-charset UTF-8 \
        -V "$label" -o "$iso" "$out"
    echo "make-disc.sh: wrote the image $iso ($(du -h "$iso" | cut -f1), volume $label)"
fi
