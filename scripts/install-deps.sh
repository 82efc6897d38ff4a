#!/usr/bin/env bash
# Installs the Debian packages that building and testing need and that this machine lacks.
# Running it again when everything is present does nothing, so the other scripts call it every time.
#
# Usage: scripts/install-deps.sh [--fuzz] [--demo] [--bundle-check]
#   --fuzz          also install clang and its libFuzzer runtime for the fuzzing build (docs/fuzzing.md)
#   --demo          also install what demo/make_demo.py needs to make the demo disc again (demo/README.md)
#   --bundle-check  also install debootstrap for scripts/check-bundle.sh (docs/bundle.md)
set -euo pipefail

# One package a line; add new build or test dependencies here.
packages=(
    build-essential
    cmake
    ninja-build
    pkg-config
    qt6-base-dev
    # picture decoding
    libjpeg-dev
    libpng-dev
    libgif-dev
    zlib1g-dev
    # sound output and decoding
    libsdl2-dev
    libsndfile1-dev
    # GUI tests and end-to-end runs without a screen
    xvfb
    xauth
    xdotool
    fonts-dejavu-core
    shared-mime-info
    # the disc bundle (scripts/make-disc.sh): run paths, the ISO image, the Wayland plugins
    patchelf
    xorriso
    qt6-wayland
    # the Debian package: cpack finds the programs' libraries with file and dpkg-shlibdeps; its
    # check reads the manual pages with man (tests/packaging/check-deb.sh)
    file
    man-db
)

# Only the fuzzing build needs these.
fuzz_packages=(
    clang
    libclang-rt-14-dev
)

# Only remaking the demo disc's files needs these: cjpeg and oggenc.
demo_packages=(
    python3
    libjpeg-turbo-progs
    vorbis-tools
)

# Only checking the disc bundle on other Debian releases needs these.
bundle_check_packages=(
    debootstrap
)

for arg in "$@"; do
    case "$arg" in
        --fuzz) packages+=("${fuzz_packages[@]}") ;;
        --demo) packages+=("${demo_packages[@]}") ;;
        --bundle-check) packages+=("${bundle_check_packages[@]}") ;;
        -h|--help) sed -n '2,9s/^# \{0,1\}//p' "$0"; exit 0 ;;
        *) echo "install-deps.sh: unknown option '$arg'" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${packages[@]}"; do
    # "install ok installed" is the only state in which a package is really there.
    if [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)" != "install ok installed" ]]; then
        missing+=("$pkg")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "install-deps: all ${#packages[@]} packages are present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: not root and no sudo; install these packages by hand: ${missing[*]}" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
