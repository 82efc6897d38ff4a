#!/usr/bin/env bash
# The demo disc as a disc that starts from its medium (what .ci/run checks):
#  1. scripts/make-disc.sh makes it, with its ISO image, in a folder whose path has blanks and
#     Cyrillic letters, and the folder is made read-only;
#  2. its autorun.sh is started from another folder, with only DISPLAY (a private X server), HOME
#     and XDG_RUNTIME_DIR, by tests/packaging/run-disc.sh: a window must come up and every shared
#     object must come from the bundle or the exclusion list; once as autorun.sh chooses (the
#     system's C library on the release the disc was made on) and once on the bundle's own;
#  3. the same from a copy without any execute bit, as a medium mounted without them;
#  4. the image's Rock Ridge and Joliet trees are listed with xorriso: the same files as the
#     folder, and the execute bits of the folder in the Rock Ridge tree.
# Usage: tests/packaging/check-disc.sh [BUILD_DIR]   (default: build/ in the repository root)
# Prints the bundle's size. Exit code 0 when everything passed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
[[ "$build" = /* ]] || build="$PWD/$build"
run_disc="$root/tests/packaging/run-disc.sh"

work="$build/bundle-check"
disc="$work/Диск с пробелами/demo disc"
bare="$work/без прав/demo disc"
iso="$work/demo disc.iso"

mounted=""
cleanup() {
    if [[ -n "$mounted" ]]; then
        umount "$mounted" 2>/dev/null || umount -l "$mounted" 2>/dev/null || true
    fi
}
trap cleanup EXIT

step() {
    echo
    echo "--- $*"
}

fail() {
    echo "check-disc.sh: FAILED: $*" >&2
    exit 1
}

# A mount left by an interrupted run would keep the old folder.
while mountpoint -q "$disc" 2>/dev/null; do umount "$disc"; done
chmod -R u+w "$work" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$(dirname "$disc")" "$(dirname "$bare")" "$work/tmp"
# The runs' private folders (and the loader copied from a medium without execute bits) lie in the
# build folder, which allows programs, whatever the machine's /tmp does.
export TMPDIR="$work/tmp"

step "making the disc"
BUILD_DIR="$build" "$root/scripts/make-disc.sh" --iso "$iso" "$build/demo/disc" "$disc"
size_bytes="$(du -sb "$disc/.linux" | cut -f1)"
files="$(find "$disc/.linux" -type f | wc -l)"
echo "check-disc.sh: bundle size: $((size_bytes / 1024 / 1024)) MiB ($size_bytes bytes, $files files" \
    "in .linux); image: $(($(stat -c %s "$iso") / 1024 / 1024)) MiB"

cp -R "$disc" "$bare"
find "$bare" -type f -exec chmod a-x {} +

step "making the disc read-only"
if mount --bind "$disc" "$disc" 2>/dev/null; then
    mounted="$disc"
    if ! mount -o remount,bind,ro "$disc"; then
        umount "$disc"
        mounted=""
        chmod -R a-w "$disc"
    fi
else
    # No mounts allowed here: file modes instead (they do not stop root).
    chmod -R a-w "$disc"
fi
if touch "$disc/written" 2>/dev/null; then
    [[ $(id -u) -eq 0 && -z "$mounted" ]] || fail "the disc folder is still writable"
    rm -f "$disc/written"
    echo "check-disc.sh: note: root can write to the folder; it is read-only to every other user"
fi

step "starting the disc as autorun.sh chooses"
"$run_disc" --from "$work" --expect system "$disc"
step "starting the disc on the bundle's C library"
"$run_disc" --runtime bundle --expect bundle "$disc"
step "starting a copy without execute bits as autorun.sh chooses"
"$run_disc" --expect system "$bare"
step "starting a copy without execute bits on the bundle's C library"
"$run_disc" --runtime bundle --expect bundle "$bare"

step "listing the image"
export LC_ALL=C.UTF-8
# "-r-xr-xr-x    1 0        0         1234 Dec 11 00:00 '/.linux/autorun'"
xorriso -indev "$iso" -find / -type f -exec lsdl -- 2>/dev/null |
    sed -n "s/^\([-rwx]\{10\}\) .* '\(.*\)'$/\1 \2/p" | sort -k2 >"$work/rock-ridge"
xorriso -read_fs norock -indev "$iso" -find / -type f 2>/dev/null | sed -n "s/^'\(.*\)'$/\1/p" | sort >"$work/joliet"
(cd "$disc" && find . -type f | sed 's/^\.//' | sort) >"$work/folder"
[[ -s "$work/folder" ]] || fail "the disc folder is empty"
cut -d' ' -f2- "$work/rock-ridge" | diff -u "$work/folder" - || fail "the Rock Ridge tree differs from the folder"
diff -u "$work/folder" "$work/joliet" || fail "the Joliet tree differs from the folder"
while read -r mode path; do
    if [[ -x "$disc$path" ]]; then
        [[ "$mode" == -r-xr-xr-x ]] || fail "$path is executable in the folder but $mode in the image"
    else
        [[ "$mode" == -r--r--r-- ]] || fail "$path is not executable in the folder but $mode in the image"
    fi
done <"$work/rock-ridge"
grep -q ' /autorun.sh$' "$work/rock-ridge" || fail "the image has no /autorun.sh"
echo "check-disc.sh: the image holds the $(wc -l <"$work/folder") files of the folder under Rock Ridge and Joliet names;"
grep -E '^-r-x' "$work/rock-ridge" | grep -E ' /autorun\.sh$| /\.linux/autorun$| /\.linux/runtime/ld-' | sed 's/^/    /'
echo "check-disc.sh: passed"
