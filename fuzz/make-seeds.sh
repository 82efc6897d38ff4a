#!/usr/bin/env bash
# Builds the seed corpus of fuzz_componentstream. Every seed is one selector byte and a stream:
# 0x00 and the stream of a structure file (its 16-byte header taken off), or 0x01 and a whole
# legacy file.
#
# Usage: fuzz/make-seeds.sh [BUILD_DIR] [OUT_DIR]
#   BUILD_DIR  a build that has tools/vlptool/vlptool (default build-fuzz)
#   OUT_DIR    where the seeds go (default fuzz/corpus-componentstream)
# Sources: the structure files the test build compiled (build*/tests/data), those checked in under
# tests/data (including the fuzzing findings in tests/data/fuzz), the demo disc's project, the JSON
# projects in fuzz/seeds, and a few streams written byte by byte below that use encodings the
# project tool never writes.
set -euo pipefail
export LC_ALL=C # string lengths below count bytes

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

build_dir="${1:-build-fuzz}"
out="${2:-fuzz/corpus-componentstream}"
mkdir -p "$out"

# add_vlp FILE NAME / add_apr FILE NAME: one seed from a structure file or a legacy file.
add_vlp() {
    { printf '\x00'; tail -c +17 "$1"; } >"$out/vlp-$2"
}
add_apr() {
    { printf '\x01'; cat "$1"; } >"$out/apr-$2"
}

# Fixture files: compiled by a test build, or checked in.
while IFS= read -r -d '' f; do
    name="$(echo "${f#./}" | tr '/' '_')"
    case "$f" in
        *.apr) add_apr "$f" "$name" ;;
        *) add_vlp "$f" "$name" ;;
    esac
done < <(find . -path ./fuzz -prune -o \( -path './build*/tests/data/*' -o -path './tests/data/*' \) \
    -type f \( -name '*.vlp' -o -name '*.apr' \) -print0 2>/dev/null)

# JSON projects compiled with the project tool.
vlptool="$build_dir/tools/vlptool/vlptool"
[[ -x "$vlptool" ]] || vlptool=build/tools/vlptool/vlptool
if [[ -x "$vlptool" ]]; then
    tmp="$(mktemp -d)"
    trap 'rm -rf "$tmp"' EXIT
    "$vlptool" build demo/project.json "$tmp/demo.vlp" && add_vlp "$tmp/demo.vlp" demo
    "$vlptool" build fuzz/seeds/legacy.json "$tmp/legacy.apr" --legacy && add_apr "$tmp/legacy.apr" legacy
else
    echo "make-seeds: no vlptool in $build_dir or build; JSON seeds skipped" >&2
fi

# --- streams written byte by byte -------------------------------------------------------------
short() { printf "\\x$(printf %02x ${#1})%s" "$1"; }         # length byte and text
u32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x00\\x00"; }
str() { printf '\x06'; short "$1"; }                          # short ANSI string
lstr() { printf '\x0c'; u32 ${#1}; printf %s "$1"; }          # long ANSI string
wstr() { printf '\x12'; u32 ${#1}; printf %s "$1" | sed 's/./&\x00/g'; } # UTF-16 of ASCII text
utf8() { printf '\x14'; u32 ${#1}; printf %s "$1"; }          # UTF-8 string
ident() { printf '\x07'; short "$1"; }
prop() { short "$1"; }
seed() { cat >"$out/hand-$1"; }

{ printf '\x00TPF0'; short TVeltraneProject; short Project; printf '\x00\x00'; } | seed empty-project
{ printf '\x01TPF0'; short TVeltrane; short Veltrane; printf '\x00\x00'; } | seed empty-legacy

# Prefix byte with a child position, every string encoding, integer widths, Boolean as identifier.
{
    printf '\x00TPF0\xf2\x02\x05'; short TVeltraneProject; short Project
    prop Title; wstr "Wide title"
    prop Creator.Name; utf8 "Utf8 name"
    prop Creator.AuthorWords; lstr "Long string"
    prop SplashScreen.ImageFileName; str "splash.jpg"
    prop SplashScreen.ShowTime; printf '\x03\x10\x00'
    prop SplashScreen.InfoLeft; printf '\x04\x00\x01\x00\x00'
    prop SplashScreen.InfoTop; printf '\x02\xfe'
    prop SplashScreen.ShowMail; ident True
    prop SplashScreen.ShowName; printf '\x08'
    printf '\x00\x00'
} | seed encodings

# Nested collections with item indexes, a string list, enumerations and a nested object path.
{
    printf '\x00TPF0'; short TVeltraneProject; short Project
    prop Sections; printf '\x0e'
    printf '\x02\x00\x01'; prop Name; str Sec
    prop SItems; printf '\x0e'
    printf '\x01'; prop Name; str It
    prop ItemActions; printf '\x0e'
    printf '\x03\x00\x00\x01'; prop Description; str Run; prop ImageIndex; printf '\x02\x00'
    prop ShellActions; printf '\x0e'
    printf '\x01'; prop ShellActionType; ident atShowMessage; prop Msg.Text; str Hello
    prop Msg.IconType; ident itProjectIcon; printf '\x00'
    printf '\x01'; prop ShellActionType; ident atPrecopyFiles; prop ObjectType; ident otFolder
    prop PrecopyFiles.Enabled; printf '\x09'; prop PrecopyFiles.Destinations.Strings
    printf '\x01'; str D1; printf '\x00'
    prop PrecopyFiles; printf '\x0e\x01'; prop CopyingObject; str "a.txt"; prop Destination; str D1
    printf '\x00\x00'
    printf '\x00\x00' # end of the action, end of ShellActions
    printf '\x00\x00' # end of the item action, end of ItemActions
    prop CopyRules.Destinations.Strings; printf '\x01'; str A; wstr B; printf '\x00'
    prop Screenshots; printf '\x0e\x01'; prop FileName; str "s.png"; printf '\x00\x00'
    printf '\x00\x00' # end of the item, end of SItems
    printf '\x00\x00' # end of the section, end of Sections
    printf '\x00\x00'
} | seed collections

# A legacy picture held as a bitmap, and a legacy item with files.
{
    printf '\x01TPF0'; short TVeltrane; short Veltrane
    prop PicturesList; printf '\x0e\x01'
    prop Picture.Data; printf '\x0a'; u32 28; short TBitmap; u32 16; printf 'BM'; printf '\x00%.0s' {1..14}
    prop PicId; printf '\x02\x01'; prop isIcon; printf '\x08'
    printf '\x00\x00'
    prop Sections; printf '\x0e\x01'; prop SectionName; str S
    prop SItems; printf '\x0e\x01'; prop ItemName; str I; prop CopyMode; printf '\x02\x02'
    prop Files; printf '\x0e\x01'; prop ItemFile; str "a.exe"; prop isMain; printf '\x09'
    prop FileType; ident ftExecutable; prop FileExectType.FileExecutingType; ident etExecuteApp
    prop FileExectType.ExecApplication; str "b.exe"
    printf '\x00\x00\x00\x00\x00\x00'
    printf '\x00\x00'
} | seed legacy-bitmap

echo "make-seeds: $(find "$out" -type f | wc -l) seeds in $out"
