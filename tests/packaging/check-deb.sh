#!/usr/bin/env bash
# The Debian package (what .ci/run checks): makes it with "cpack -G DEB" in the build folder,
# checks that its dependencies came from dpkg-shlibdeps, unpacks it into a scratch root with
# "dpkg -x" and checks its files: the two programs in usr/bin without a run path into the build
# folder, their manual pages, nothing else; then runs the unpacked programs once.
# Usage: tests/packaging/check-deb.sh [BUILD_DIR]   (default: build/ in the repository root)
# Exit code 0 when everything passed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
[[ "$build" = /* ]] || build="$PWD/$build"

fail() {
    echo "check-deb.sh: FAILED: $*" >&2
    exit 1
}

rm -rf "$build/packages"
(cd "$build" && cpack -G DEB)
debs=("$build"/packages/autorun_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "cpack made no single package in $build/packages"
deb="${debs[0]}"
echo "check-deb.sh: $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB"

# Dependencies: dpkg-shlibdeps names the packages of the libraries the programs link.
depends="$(dpkg-deb -f "$deb" Depends)"
echo "check-deb.sh: Depends: $depends"
names=" $(sed -E 's/ \([^)]*\)//g; s/[,|]/ /g' <<<"$depends") "
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libsdl2-2.0-0 libsndfile1 \
    libjpeg62-turbo libpng16-16 libgif7; do
    [[ "$names" == *" $package "* ]] || fail "the package does not depend on $package"
done

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"
(cd "$scratch" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$scratch.files"
expected="usr/bin/autorun
usr/bin/vlptool
usr/share/man/man1/autorun.1
usr/share/man/man1/vlptool.1"
diff -u <(echo "$expected") "$scratch.files" || fail "the package's files differ from the list above"
rm -f "$scratch.files"
for program in autorun vlptool; do
    file="$scratch/usr/bin/$program"
    [[ -x "$file" ]] || fail "usr/bin/$program is not executable"
    if objdump -p "$file" | grep -E 'R(UN)?PATH'; then
        fail "usr/bin/$program keeps a run path"
    fi
done
# Checked, not skipped, when man is missing: a CI machine without it would pass unchecked pages.
command -v man >/dev/null || fail "needs man to check the manual pages (scripts/install-deps.sh installs man-db)"
for page in autorun vlptool; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$scratch/usr/share/man/man1/$page.1" 2>&1 >/dev/null)"
    [[ -z "$warnings" ]] || fail "the manual page $page.1 has warnings: $warnings"
done
grep -q '^\.SH EXIT STATUS' "$scratch/usr/share/man/man1/vlptool.1" || fail "vlptool.1 has no exit codes"
grep -q 'check' "$scratch/usr/share/man/man1/vlptool.1" || fail "vlptool.1 does not describe the check"

# The unpacked programs run on the system's libraries.
"$scratch/usr/bin/vlptool" --help >/dev/null || fail "the packaged vlptool --help failed"
"$scratch/usr/bin/vlptool" dump "$build/demo/disc/Shell/veltrane.vlp" >/dev/null ||
    fail "the packaged vlptool cannot read the demo disc's project"
QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/autorun" "$build/demo/disc" "snapshot=$scratch/demo.png" >/dev/null ||
    fail "the packaged autorun could not draw the demo disc"
[[ -s "$scratch/demo.png" ]] || fail "the packaged autorun wrote no picture"
echo "check-deb.sh: passed"
