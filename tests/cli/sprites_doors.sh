#!/usr/bin/env bash
# quarnel-cli sprites and doors, end to end on a generated 8 MiB Zero Mission image: a room
# with a two-entry list, an empty list and a refused one; an area's door records; Fusion and
# usage errors.
set -euo pipefail
source "$(dirname "$0")/common.bash"
rom="$work/zm.gba"

put() { # file offset bytes (printf escapes)
    printf "$3" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}

fill() { # file offset count byte (an octal tr escape)
    head -c "$3" /dev/zero | tr '\0' "$4" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}

truncate -s 8M "$rom"
put "$rom" 0xA0 'ZEROMIS'
# Every table an open checks leads into the file. Tileset records: each pointer 0x08080808.
fill "$rom" 0x33DFDC $((79 * 20)) '\010'
# Area room tables: area 0 at 0x1000 (2 rooms), the others at 0x1078 (no rooms; the last
# area's 99 from there). Door tables: area 0 at 0x2000 (2 records), areas 1-5 one record
# each, the last area's 85 records after them.
put "$rom" 0x75FAC4 '\x00\x10\x00\x08'
for area in 1 2 3 4 5 6; do
    put "$rom" $((0x75FAC4 + 4 * area)) '\x78\x10\x00\x08'
done
put "$rom" 0x75FAA8 '\x00\x20\x00\x08\x18\x20\x00\x08\x24\x20\x00\x08\x30\x20\x00\x08'
put "$rom" 0x75FAB8 '\x3C\x20\x00\x08\x48\x20\x00\x08\x54\x20\x00\x08'
# Room 0: list 1 at 0x3000, list 2 at 0x3100, list 3 pointer 0 (refused).
put "$rom" 0x1020 '\x00\x30\x00\x08'
put "$rom" 0x1028 '\x00\x31\x00\x08'
put "$rom" 0x3000 '\x05\x0A\x21\x07\x03\x44\xFF\xFF\xFF'
put "$rom" 0x3100 '\xFF\xFF\xFF'
put "$rom" 0x2000 '\x01\x00\x0A\x0B\x05\x06\x02\x00\xAA\xAA\xAA\xAA'
put "$rom" 0x200C '\x04\x01\x02\x03\x04\x05\x06\x07\xAA\xAA\xAA\xAA'

out=$("$cli" sprites "$rom" 0 0 2>"$work/err")
expect_output "sprites" "list 1 count 2
0 x 10 y 5 sprite 21
1 x 3 y 7 sprite 44
list 2 count 0
list 3 refused" "$out"
grep -q "sprite list 3" "$work/err" || fail "the refused list's reason names it"

out=$("$cli" doors "$rom" 0)
expect_output "doors" "0 01 00 0A 0B 05 06 02 00
1 04 01 02 03 04 05 06 07" "$out"

# A door table outside the file: the open refuses the ROM and names the table.
bad="$work/bad-doors.gba"
cp "$rom" "$bad"
put "$bad" 0x75FAC0 '\xF0\xFF\xFF\x08'
status=0
"$cli" doors "$bad" 6 >/dev/null 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "a door table outside the file exits 1, not $status"
[ "$(wc -l <"$work/err")" = 1 ] || fail "one error line"
grep -q "door table" "$work/err" || fail "the error names the door table"

mf="$work/mf.gba"
truncate -s 8M "$mf"
put "$mf" 0xA0 'metroid'
fill "$mf" 0x3BF888 $((98 * 20)) '\010'
for area in 0 1 2 3 4 5 6 7 8 9; do
    put "$mf" $((0x79B8BC + 4 * area)) '\x00\x10\x00\x08'
done
status=0
"$cli" doors "$mf" 0 >/dev/null 2>"$work/err" || status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "Fusion doors: one line, exit 1"
grep -q "only Zero Mission" "$work/err" || fail "Fusion doors: the open succeeds, doors do not"

for args in "doors $rom" "doors $rom x" "sprites $rom 0" "sprites $rom 0 256"; do
    status=0
    # shellcheck disable=SC2086
    "$cli" $args >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "'$args' is a usage error (exit 2), not $status"
done
echo "sprites_doors: ok"
