#!/usr/bin/env bash
# Checks that a disc made by make-disc.sh starts on another Debian release: makes a root of that
# release with debootstrap (from this machine's own apt source) holding what a desktop has and
# the bundle leaves to the system (packaging/bundle-exclude.txt), copies the disc into it
# read-only, under a name with blanks and Cyrillic letters, and starts its autorun.sh there with
# chroot on a private X server (tests/packaging/run-disc.sh): as autorun.sh chooses, the same
# with LD_BIND_NOW=1, and on the bundle's own C library with LD_BIND_NOW=1. Needs root,
# debootstrap (scripts/install-deps.sh --bundle-check), and a few minutes and about 500 MB per
# release the first time; the root is kept for the next run.
#
# Usage: scripts/check-bundle.sh RELEASE [DISC]
#   RELEASE  a Debian release: 11 or bullseye, 12 or bookworm, 13 or trixie, or another code name
#   DISC     a disc made by make-disc.sh (default: the demo disc, made into the work folder)
# CHECK_BUNDLE_DIR is the work folder (default /var/tmp/autorun-check-bundle); MIRROR overrides
# the Debian mirror taken from /etc/apt/sources.list and /etc/apt/sources.list.d.
# Ends with what each start showed; exit code 0 when the disc started as autorun.sh chooses.
set -euo pipefail

root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
    sed -n '11,16s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}
[[ $# -ge 1 && $# -le 2 && "$1" != -* ]] || usage

case "$1" in
    11) release=bullseye ;;
    12) release=bookworm ;;
    13) release=trixie ;;
    *) release="$1" ;;
esac
disc="${2:-}"

if [[ $(id -u) -ne 0 ]]; then
    echo "check-bundle.sh: needs root (debootstrap, chroot, mounts)" >&2
    exit 1
fi
for tool in debootstrap chroot Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "check-bundle.sh: needs $tool (scripts/install-deps.sh --bundle-check)" >&2
        exit 1
    fi
done

# The Debian mirror this machine installs from: the first archive that is not the security one.
mirror="${MIRROR:-}"
if [[ -z "$mirror" ]]; then
    mirror="$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        sed -n -e 's/^[[:space:]]*URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' \
            -e 's/^[[:space:]]*deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]*\)\{0,1\}\([^[:space:]]*\).*/\2/p' |
        grep -E '/debian/?$' | grep -v security | head -n 1 || true)"
fi
if [[ -z "$mirror" ]]; then
    echo "check-bundle.sh: found no Debian mirror in /etc/apt; set MIRROR" >&2
    exit 1
fi

work="${CHECK_BUNDLE_DIR:-/var/tmp/autorun-check-bundle}"
system="$work/$release"
mkdir -p "$work"

# What the bundle leaves to the system, as a desktop has it (the package names of the
# exclusion list's libraries), and fonts. No OpenGL driver: the program draws without it.
packages=(libgl1 libegl1 libglx0 libopengl0 libgbm1 libdrm2 libx11-6 libx11-xcb1 libxcb1
    libwayland-client0 libfontconfig1 libfreetype6 libharfbuzz0b libfribidi0 libexpat1 zlib1g
    libuuid1 libgpg-error0 libcom-err2 libice6 libsm6 libgmp10 libxcb-dri2-0 libxcb-dri3-0
    fonts-dejavu-core)
case "$release" in
    bullseye|bookworm|buster) packages+=(libasound2) ;;
    *) packages+=(libasound2t64) ;;
esac

if [[ ! -f "$system/.check-bundle-complete" ]]; then
    echo "check-bundle.sh: making a $release root in $system from $mirror"
    rm -rf "$system"
    include="$(IFS=,; echo "${packages[*]}")"
    if ! nice -n 19 debootstrap --variant=minbase --include="$include" "$release" "$system" "$mirror" \
        >"$work/$release-debootstrap.log" 2>&1; then
        tail -n 20 "$work/$release-debootstrap.log" >&2
        echo "$release: NOT REACHED: debootstrap could not make the root (see $work/$release-debootstrap.log)"
        exit 1
    fi
    touch "$system/.check-bundle-complete"
fi

if [[ -z "$disc" ]]; then
    # Made again each time (a few seconds): a disc kept from an earlier run would carry the
    # program of an earlier build.
    disc="$work/demo-disc"
    rm -rf "$disc"
    "$root_dir/scripts/make-disc.sh" "${BUILD_DIR:-$root_dir/build}/demo/disc" "$disc"
fi
if [[ ! -f "$disc/autorun.sh" ]]; then
    echo "check-bundle.sh: $disc is not a disc made by make-disc.sh" >&2
    exit 1
fi

inside="/media/Диск с пробелами"
mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT
mount_in() {
    mount "$@"
    mounted+=("${@: -1}")
}
rm -rf "${system:?}/media"
mkdir -p "$system$inside" "$system/proc" "$system/dev"
cp -R --preserve=mode,timestamps "$disc/." "$system$inside/"
mount_in --bind "$system$inside" "$system$inside"
mount -o remount,bind,ro "$system$inside"
mount_in -t proc proc "$system/proc"
mount_in --bind /dev "$system/dev"
mount_in -t tmpfs tmpfs "$system/dev/shm"

glibc="$(chroot "$system" getconf GNU_LIBC_VERSION 2>/dev/null || echo unknown)"
glibcxx="$(cd "$system" && ls usr/lib/*-linux-gnu/libstdc++.so.6.0.* 2>/dev/null | sed 's/.*so\.6\.0\.//' | sort -n | tail -n 1)"
echo "check-bundle.sh: $release has ${glibc}, libstdc++.so.6.0.${glibcxx:-?}"

results=()
status=0
# As a desktop starts it; the same with every symbol looked up at start (a symbol the system's
# older libraries lack would otherwise show only when it is first called). Both must pass. Then,
# for the record, on the bundle's own C library: on a newer release that fails, which is why
# autorun.sh chooses.
for run in auto auto-bind-now bundle-bind-now; do
    log="$work/$release-run-$run.log"
    args=(--root "$system" --from /media)
    case "$run" in
        auto) what="as autorun.sh chooses" ;;
        auto-bind-now) what="as autorun.sh chooses, LD_BIND_NOW=1"; args+=(--bind-now) ;;
        bundle-bind-now) what="forced onto the bundle's C library, LD_BIND_NOW=1"; args+=(--bind-now --runtime bundle --expect bundle) ;;
    esac
    if "$root_dir/tests/packaging/run-disc.sh" "${args[@]}" "$inside" >"$log" 2>&1; then
        libc="$(sed -n 's/^run-disc.sh: C library: //p' "$log")"
        case "$libc" in
            "$inside"/*) libc="the bundle's" ;;
            *) libc="the system's" ;;
        esac
        from_system="$(sed -n 's/^run-disc.sh: .* shared objects mapped, \([0-9]*\) from the system:$/\1/p' "$log")"
        results+=("window up ($what: $libc C library, $from_system objects from the system)")
    else
        why="$(grep -o "version .GLIBC[^ ]* not found" "$log" | sort -u | tr '\n' ' ' || true)"
        [[ -z "$why" ]] || why=": the libraries of the release need a newer C library, ${why% }"
        if [[ "$run" == bundle-* ]]; then
            results+=("no window ($what$why; see $log)")
        else
            status=1
            results+=("FAILED ($what$why; see $log)")
        fi
    fi
    grep -v '^ALSA lib' "$log" || true
done
echo
echo "$release (${glibc}, libstdc++.so.6.0.${glibcxx:-?}):"
printf '    %s\n' "${results[@]}"
exit "$status"
