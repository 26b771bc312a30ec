#!/usr/bin/env bash
# quarnel-cli tiles and palette on generated images: the files' sizes, a round trip that
# writes nothing, a changed tile file written into the ROM, a block's tile set by paint
# --block, and refused input.
set -euo pipefail
source "$(dirname "$0")/common.bash"

be32() { # file offset -> the big-endian 32-bit value there
    od -An -tu1 -j "$2" -N4 "$1" | awk '{print (($1*256+$2)*256+$3)*256+$4}'
}

for game in zm mf; do
    rom="$work/$game.gba"
    "$cli" demo-rom "$game" "$rom" >/dev/null
    "$cli" tiles export "$rom" 0 2 "$work/$game.png" --row 3 >/dev/null
    [ "$(be32 "$work/$game.png" 16)" -eq 128 ] || fail "$game sheet width"
    [ "$(be32 "$work/$game.png" 20)" -eq 424 ] || fail "$game sheet height"
    [ "$(od -An -tu1 -j 25 -N1 "$work/$game.png" | tr -d ' ')" -eq 3 ] || fail "palette PNG"
    "$cli" tiles export "$rom" 0 2 "$work/$game.bin" >/dev/null
    [ "$(stat -c %s "$work/$game.bin")" -eq 26880 ] || fail "$game tile file size"
    "$cli" palette "$rom" 0 2 "$work/$game.pal" >/dev/null
    [ "$(stat -c %s "$work/$game.pal")" -eq 1024 ] || fail "$game palette file size"
    "$cli" palette "$rom" 0 2 "$work/$game.txt" --jasc >/dev/null
    [ "$(head -n 1 "$work/$game.txt")" = $'JASC-PAL\r' ] || fail "$game JASC-PAL header"
    [ "$(wc -l <"$work/$game.txt")" -eq 259 ] || fail "$game JASC-PAL lines"

    # The exported sheet holds what the ROM holds: nothing is written.
    cp "$rom" "$work/before.gba"
    out=$("$cli" tiles import "$rom" 0 2 "$work/$game.png" --storage "$work/os.bin")
    [[ "$out" == *"nothing written"* ]] || fail "$game round trip: $out"
    cmp -s "$rom" "$work/before.gba" || fail "$game round trip changed the ROM"

    # A changed tile of the tileset's own is written and read back.
    printf '\x77\x77\x77\x77' | dd of="$work/$game.bin" bs=1 seek=$((6144 + 32 * 3)) conv=notrunc \
        status=none
    out=$("$cli" tiles import "$rom" 0 2 "$work/$game.bin" --storage "$work/os.bin")
    [[ "$out" == *"graphics of tileset"* && "$out" == *"verify:"* ]] || fail "$game import: $out"
    "$cli" tiles export "$rom" 0 2 "$work/again.bin" >/dev/null
    cmp -s "$work/again.bin" "$work/$game.bin" || fail "$game tiles read back differently"
done

# A block's tile set from the command line is stored where the block table was read.
out=$("$cli" paint "$work/mf.gba" 0 2 --storage "$work/os.bin" --block 37:2=0x3405)
offset=$(sed -n 's/^block table of tileset [0-9]* (words 151 to 151): 0x\([0-9A-F]*\), 2 bytes.*/\1/p' \
    <<<"$out")
[ -n "$offset" ] || fail "block table write reported: $out"
[ "$(od -An -tx2 -j $((16#$offset)) -N2 "$work/mf.gba" | tr -d ' ')" = 3405 ] || fail "entry stored"

set +e
head -c 26881 /dev/zero >"$work/long.bin"
"$cli" tiles import "$work/zm.gba" 0 2 "$work/long.bin" --storage "$work/os.bin" >/dev/null \
    2>"$work/err"; status=$?
[ $status -eq 1 ] || fail "a file of the wrong size exits 1"
grep -q "26,881 bytes" "$work/err" || fail "the size is named: $(cat "$work/err")"
"$cli" tiles export "$work/zm.gba" 0 2 "$work/x.gif" >/dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "an unknown output format exits 2"
"$cli" tiles export "$work/zm.gba" 0 2 "$work/x.png" --row 16 >/dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "row 16 exits 2"
set -e
echo ok
