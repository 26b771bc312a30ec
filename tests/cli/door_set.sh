#!/usr/bin/env bash
# quarnel-cli door --set on generated images of both games: exactly the 12 bytes of the record
# change, the backup holds the image as it was, and refused values change nothing.
set -euo pipefail
source "$(dirname "$0")/common.bash"

for game in zm mf; do
    rom="$work/$game.gba"
    "$cli" demo-rom "$game" "$rom" >/dev/null
    cp "$rom" "$work/before.gba"
    line=$("$cli" doors "$rom" 1 | sed -n 3p)
    [ "${line%% *}" = 2 ] || fail "$game: door 2 of area 1 is listed ('$line')"

    out=$("$cli" door "$rom" 1 2 --set type=0x13 --set exitx=-7 --set yend=200)
    grep -qx "backup: $rom.bak" <<<"$out" || fail "$game: the backup is named: $out"
    cmp -s "$rom.bak" "$work/before.gba" || fail "$game: the backup holds the image as it was"
    at=$(sed -n 's/^written: 12 bytes at 0x//p' <<<"$out")
    [ -n "$at" ] || fail "$game: the record's place is given: $out"
    # cmp -l: 1-based offsets of the bytes that differ.
    while read -r offset _; do
        byte=$((offset - 1 - 16#$at))
        [ "$byte" -ge 0 ] && [ "$byte" -lt 12 ] || fail "$game: byte $((offset - 1)) changed"
    done < <(cmp -l "$work/before.gba" "$rom" || true)
    after=$("$cli" doors "$rom" 1 | sed -n 3p)
    read -r _ _ _ _ room _ x _ y _ to _ exit <<<"$line"
    expect_output "$game door 2" "2 type 13 room $room x $x y ${y%-*}-C8 to $to exit -7,${exit#*,}" \
        "$after"

    cp "$rom" "$work/edited.gba"
    for set in "exitx=128" "exity=-129" "room=256" "to=-1" "kind=1" "type=x"; do
        status=0
        "$cli" door "$rom" 1 2 --set "$set" >/dev/null 2>&1 || status=$?
        [ "$status" = 2 ] || fail "$game: --set $set is a usage error (exit 2), not $status"
    done
    status=0
    "$cli" door "$rom" 1 254 --set type=1 >/dev/null 2>"$work/err" || status=$?
    [ "$status" = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "$game: a door beyond the list"
    cmp -s "$rom" "$work/edited.gba" || fail "$game: refused edits wrote something"
done
echo "door_set: ok"
