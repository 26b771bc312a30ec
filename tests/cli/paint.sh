#!/usr/bin/env bash
# quarnel-cli paint and resize on generated images of both games: the painted cells read back,
# the header's pointers moved, the storage file advanced, the first backup keeps the file as
# it was and each later run adds a timestamped copy; moved and renumbered sprites of two lists
# are saved by one run; a failing command leaves the ROM and the storage file as they were.
set -euo pipefail
source "$(dirname "$0")/common.bash"
os="$work/os.bin"

pointer() { "$cli" header "$1" 0 1 | sed -n "s/^$2 *Address: //p"; }
cell() { "$cli" layer "$1" 0 1 "$2" | sed -n "$(($4 + 2))p" | cut -d' ' -f$(($3 + 1)); }
used() { # the sum of one game's Used counters
    local sum=0 value
    for value in $("$cli" storage --storage "$os" | awk -v g="$1" '$1 == g { print $7 }'); do
        sum=$((sum + 16#$value))
    done
    echo "$sum"
}

for game in ZM MF; do
    rom="$work/$game.gba"
    "$cli" demo-rom "${game,,}" "$rom" >/dev/null
    cp "$rom" "$work/original.gba"
    level=$(pointer "$rom" Level)
    fore=$(pointer "$rom" Foreground)

    out=$("$cli" paint "$rom" 0 1 --storage "$os" --set level:2,3=0x45 --set clip:1,1=0x10)
    grep -qx "backup: $rom.bak" <<<"$out" || fail "$game: backup line: $out"
    grep -qE '^level layer: 0x[0-9A-F]+, [0-9]+ bytes written, [0-9]+ reserved$' <<<"$out" ||
        fail "$game: level line: $out"
    grep -qx 'verify: the reloaded room matches what was written' <<<"$out" || fail "$game: verify"
    cmp -s "$rom.bak" "$work/original.gba" || fail "$game: the backup is not the file as it was"
    [ "$(cell "$rom" level 2 3)" = 45 ] || fail "$game: level cell"
    [ "$(cell "$rom" clip 1 1)" = 10 ] || fail "$game: clip cell"
    [ "$(pointer "$rom" Level)" != "$level" ] || fail "$game: the level pointer did not move"
    [ "$(pointer "$rom" Foreground)" = "$fore" ] || fail "$game: the foreground pointer moved"
    reserved=$(($(sed -n 's/^.* written, \([0-9]*\) reserved$/\1/p' <<<"$out" | paste -sd+)))
    [ "$(used $game)" = "$reserved" ] || fail "$game: storage advanced by $(used $game), not $reserved"

    # A second run keeps the .bak and makes a timestamped copy; a resize gives the room's
    # layers one new size.
    cp "$rom" "$work/before.gba"
    out=$("$cli" resize "$rom" 0 1 12 10 --storage "$os" --set level:11,9=0x7)
    copy=$(sed -n 's/^backup: //p' <<<"$out")
    [[ "$copy" =~ ^$rom\.[0-9]{8}-[0-9]{6}\.bak$ ]] || fail "$game: the second run's backup: $out"
    cmp -s "$copy" "$work/before.gba" || fail "$game: the copy is not the file before the resize"
    cmp -s "$rom.bak" "$work/original.gba" || fail "$game: the first backup was overwritten"
    for layer in level clip; do
        [ "$("$cli" layer "$rom" 0 1 $layer | head -n 1)" = "12 10" ] || fail "$game: $layer size"
    done
    [ "$(cell "$rom" level 11 9)" = 7 ] || fail "$game: cell painted after the resize"
    [ "$(cell "$rom" level 2 3)" = 45 ] || fail "$game: cell kept by the resize"
done

# Sprites of two lists moved and renumbered, and a cell painted, in one run.
zm="$work/ZM.gba"
out=$("$cli" paint "$zm" 0 3 --storage "$os" --sprite 1:0=2,5,33 --sprite 2:0=9,4 \
    --set level:1,1=0x3)
for list in 1 2; do
    grep -qE "^sprite list $list: 0x[0-9A-F]+, 3 bytes written$" <<<"$out" ||
        fail "sprite list $list not written: $out"
done
grep -qx 'verify: the reloaded room matches what was written' <<<"$out" || fail "sprite verify"
expect_output "sprites after --sprite" "list 1 count 1
0 x 2 y 5 sprite 21
list 2 count 1
0 x 9 y 4 sprite 18
list 3 count 0" "$("$cli" sprites "$zm" 0 3)"

# --undo takes back the last changes through the history before the save.
kept=$(cell "$rom" level 4 4)
out=$("$cli" paint "$rom" 0 1 --storage "$os" --set level:3,4=0x31 --set level:4,4=0x32 --undo 1)
grep -qx "undo: Paint 1 block" <<<"$out" || fail "undo line: $out"
[ "$(cell "$rom" level 3 4)" = 31 ] && [ "$(cell "$rom" level 4 4)" = "$kept" ] ||
    fail "--undo 1 kept $(cell "$rom" level 3 4) and $(cell "$rom" level 4 4)"

cp "$rom" "$work/before.gba"
cp "$os" "$work/os-before.bin"
mkdir "$work/alone" # a program without Pelnix beside it
cp "$cli" "$work/alone/quarnel-cli"
expect_failure() { # status message command args...
    local want=$1 message=$2 status=0
    shift 2
    "$@" >/dev/null 2>"$work/err" || status=$?
    [ "$status" = "$want" ] || fail "'$*' exited $status, not $want"
    grep -qF -- "$message" "$work/err" || fail "'$*' said: $(cat "$work/err")"
    cmp -s "$rom" "$work/before.gba" || fail "'$*' changed the ROM"
    cmp -s "$os" "$work/os-before.bin" || fail "'$*' changed the storage file"
}
expect_failure 1 "the cell lies outside the level layer of 12 x 10 blocks" \
    "$cli" paint "$rom" 0 1 --storage "$os" --set level:12,0=1
expect_failure 2 "--set takes" "$cli" paint "$rom" 0 1 --storage "$os" --set level:1,1=0x10000
expect_failure 2 "VALUE a block up to 0x3FF" "$cli" paint "$rom" 0 1 --storage "$os" --set back:1,1=0x400
expect_failure 1 "would have 6500 (give --allow-large" "$cli" resize "$rom" 0 1 100 65 --storage "$os"
expect_failure 2 "NUMBER must be a decimal number from 0 to 254" \
    "$cli" paint "$rom" 0 1 --storage "$os" --sprite 1:0=1,1,255
expect_failure 2 "LIST must be 1, 2 or 3" "$cli" paint "$rom" 0 1 --storage "$os" --sprite 4:0=1,1
expect_failure 2 "X and Y must be decimal" "$cli" paint "$rom" 0 1 --storage "$os" --sprite 1:0=0x1,1
expect_failure 1 "block 12,3 lies outside the room of 12 x 10 blocks" \
    "$cli" paint "$rom" 0 1 --storage "$os" --sprite 1:0=12,3
expect_failure 1 "sprite list 1 holds 24 sprites (INDEX 0 to 23)" \
    "$cli" paint "$rom" 0 1 --storage "$os" --set level:1,1=2 --sprite 1:24=1,1
expect_failure 1 "--undo 3: only 1 change can be undone" \
    "$cli" paint "$rom" 0 1 --storage "$os" --set level:1,1=0x33 --undo 3
expect_failure 1 "the room was not saved: Pelnix library not found" \
    "$work/alone/quarnel-cli" paint "$rom" 0 1 --storage "$os" --set level:1,1=2
echo ok
