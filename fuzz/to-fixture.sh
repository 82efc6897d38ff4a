#!/usr/bin/env bash
# Turns an input of fuzz_componentstream into a fixture in tests/data/fuzz/ in the form the program
# reads: selector byte 0x00 gives NAME.vlp (the 16-byte header of version 2.7.5, then the stream),
# 0x01 gives NAME.apr (the stream alone).
#
# Usage: fuzz/to-fixture.sh INPUT NAME    (NAME says what the input shows and ends in .ok or .error for
#        the result loading must give, e.g. wide-string-odd-length.error)
set -euo pipefail

if [[ $# -ne 2 ]]; then
    sed -n '6,7p' "$0" | sed 's/^# //' >&2
    exit 2
fi
input="$1"
name="$2"
dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/data/fuzz"
mkdir -p "$dir"

selector="$(head -c 1 "$input" | od -An -tu1 | tr -d ' ')"
if [[ -z "$selector" ]]; then
    echo "to-fixture: $input is empty" >&2
    exit 1
fi
if ((selector % 2 == 0)); then
    out="$dir/$name.vlp"
    # Signature 867678689511851 and version 2.7.5, little-endian, then four reserved zero bytes.
    { printf '\xab\x49\x11\x30\x26\x15\x03\x00\x00\x05\x07\x02\x00\x00\x00\x00'; tail -c +2 "$input"; } >"$out"
else
    out="$dir/$name.apr"
    tail -c +2 "$input" >"$out"
fi
echo "$out"
