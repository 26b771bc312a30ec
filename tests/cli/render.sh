#!/usr/bin/env bash
# quarnel-cli render and tileset on generated images: picture sizes, formats, hidden layers,
# errors.
set -euo pipefail
source "$(dirname "$0")/common.bash"

le32() { # file offset -> the little-endian 32-bit value there
    od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '
}
be32() { # file offset -> the big-endian 32-bit value there
    od -An -tu1 -j "$2" -N4 "$1" | awk '{print (($1*256+$2)*256+$3)*256+$4}'
}

"$cli" demo-rom zm "$work/zm.gba" >/dev/null
"$cli" demo-rom mf "$work/mf.gba" >/dev/null

# The picture is one block smaller than the level layer in each direction.
read -r width height <<<"$("$cli" layer "$work/zm.gba" 0 3 level | head -n 1)"
"$cli" render "$work/zm.gba" 0 3 "$work/room.bmp" >/dev/null
[ "$(head -c 2 "$work/room.bmp")" = "BM" ] || fail "BMP signature"
[ "$(le32 "$work/room.bmp" 18)" -eq $((width * 16)) ] || fail "BMP width"
[ "$(le32 "$work/room.bmp" 22)" -eq $((height * 16)) ] || fail "BMP height"
[ "$(od -An -tu2 -j 28 -N2 "$work/room.bmp" | tr -d ' ')" -eq 24 ] || fail "24 bits per pixel"

"$cli" render "$work/mf.gba" 1 2 "$work/room.png" >/dev/null
read -r width height <<<"$("$cli" layer "$work/mf.gba" 1 2 level | head -n 1)"
[ "$(od -An -c -j 1 -N3 "$work/room.png" | tr -d ' ')" = "PNG" ] || fail "PNG signature"
[ "$(be32 "$work/room.png" 16)" -eq $((width * 16)) ] || fail "PNG width"
[ "$(be32 "$work/room.png" 20)" -eq $((height * 16)) ] || fail "PNG height"

# Hiding every layer leaves a black picture of the same size: smaller than the drawn one.
"$cli" render "$work/zm.gba" 0 3 "$work/hidden.bmp" --hide back,level,foreground >/dev/null
[ "$(stat -c %s "$work/hidden.bmp")" -eq "$(stat -c %s "$work/room.bmp")" ] || fail "same size"
if cmp -s "$work/hidden.bmp" "$work/room.bmp"; then fail "hidden layers are not drawn"; fi
[ "$(tail -c +55 "$work/hidden.bmp" | tr -d '\0' | wc -c)" -eq 0 ] || fail "all black"

"$cli" tileset "$work/zm.gba" 0 3 "$work/tileset.png" >/dev/null
[ "$(be32 "$work/tileset.png" 16)" -eq 256 ] || fail "tileset width"
[ "$(be32 "$work/tileset.png" 20)" -eq 1024 ] || fail "tileset height"

set +e
"$cli" render "$work/zm.gba" 0 3 "$work/room.gif" >/dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "unknown picture format exits 2"
"$cli" render "$work/zm.gba" 0 3 "$work/x.bmp" --hide walls >/dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "unknown layer name exits 2"
"$cli" render "$work/zm.gba" 0 3 "$work/missing/room.bmp" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ] || fail "unwritable output exits 1"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "one error line"
set -e
echo ok
