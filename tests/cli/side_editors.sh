#!/usr/bin/env bash
# quarnel-cli music, minimap and dump: the shape of their answers and their refusals.
set -euo pipefail
source "$(dirname "$0")/common.bash"

"$cli" demo-rom zm "$work/zm.gba" >/dev/null
"$cli" demo-rom mf "$work/mf.gba" >/dev/null

# music: the eight boxes, Label1 (the song in hexadecimal), then the song panel.
"$cli" music "$work/zm.gba" 0x2A >"$work/music"
[ "$(sed -n 4p "$work/music")" = "Text4 Text4" ] || fail "Text4 keeps its text"
[ "$(sed -n 9p "$work/music")" = "Label1 2A" ] || fail "Label1 is the song number"
[ "$(sed -n 1,8p "$work/music" | grep -c '^Text[1235678] [0-9A-F]\+$')" -eq 7 ] || fail "seven values"
tracks=$(sed -n 's/^Tracks \([0-9A-F]*\)$/\1/p' "$work/music")
[ "$(grep -c '^Track [0-9]* 8[0-9A-F]\{6\}$' "$work/music")" -eq $((16#$tracks)) ] ||
    fail "one line per track pointer"
"$cli" music "$work/mf.gba" 65535 | grep -q '^Tracks outside the file$' ||
    fail "a song past the table's data"

# minimap: Fusion is refused; bad cells are usage errors; nothing is written then.
cp "$work/zm.gba" "$work/before.gba"
status=0; "$cli" minimap "$work/mf.gba" 0 "$work/mf.png" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && grep -q "Metroid Fusion is not supported" "$work/err" || fail "MF refused"
for set in 32,0=1 0,0=0x10000 0,0 a,b=1; do
    status=0
    "$cli" minimap "$work/zm.gba" 0 --storage "$work/os.bin" --set "$set" 2>/dev/null || status=$?
    [ "$status" -eq 2 ] || fail "--set $set is a usage error"
done
status=0; "$cli" minimap "$work/zm.gba" 11 "$work/m.png" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "AREA 11"
cmp -s "$work/zm.gba" "$work/before.gba" || fail "a refused command wrote to the ROM"

# dump: the file count of each kind, and a folder that cannot be made.
expect_output "room dump" "$work/out/Header/MF/Room: 394 files" \
    "$("$cli" dump rooms "$work/mf.gba" "$work/out")"
expect_output "pointer dump" "$work/out/Header/ZM/Tilesets/Tileset_Pointer_List: 81 files" \
    "$("$cli" dump tileset-pointers "$work/zm.gba" "$work/out")"
printf 'CR LF' >"$work/blocker"
status=0; "$cli" dump tilesets "$work/zm.gba" "$work/blocker" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && grep -q "blocker/Header" "$work/err" || fail "the failing folder is named"
echo "side editors: ok"
