#!/usr/bin/env bash
# quarnel-cli info, header and layer on generated images of both games, and their refusals.
set -euo pipefail
source "$(dirname "$0")/common.bash"

"$cli" demo-rom zm "$work/zm.gba" >/dev/null
"$cli" demo-rom mf "$work/mf.gba" >/dev/null

info=$("$cli" info "$work/zm.gba")
[ "$(head -n 1 <<<"$info")" = "game: ZM" ] || fail "zm game line: $info"
[ "$(grep -c '^area ' <<<"$info")" -eq 7 ] || fail "zm area lines"
grep -qx 'area 6 Chozodia rooms 99' <<<"$info" || fail "Chozodia keeps 99 rooms"

info=$("$cli" info "$work/mf.gba")
[ "$(head -n 1 <<<"$info")" = "game: MF" ] || fail "mf game line"
grep -qx 'area 4 AQA rooms 48' <<<"$info" || fail "AQA is fixed at 48"
grep -qx 'area 9 Debug3 rooms 3' <<<"$info" || fail "Debug3 lists 3"

header=$("$cli" header "$work/zm.gba" 0 0)
[ "$(wc -l <<<"$header")" -eq 28 ] || fail "header has 28 lines"
grep -qE '^Room Offset: [0-9A-F]+$' <<<"$header" || fail "room offset line"
grep -qE '^Music                : [0-9A-F]+$' <<<"$header" || fail "music line"
[ "$("$cli" header "$work/zm.gba" 0 0x0)" = "$header" ] || fail "hex arguments"

layer=$("$cli" layer "$work/zm.gba" 0 0 level)
read -r width height <<<"$(head -n 1 <<<"$layer")"
[ "$(($(wc -l <<<"$layer") - 1))" -eq "$height" ] || fail "one line per row"
[ "$(sed -n 2p <<<"$layer" | wc -w)" -eq "$width" ] || fail "one value per cell"
if grep -qE '(^| )0[0-9A-F]' <<<"$(tail -n +2 <<<"$layer")"; then
    fail "values carry no leading zeros"
fi

# A room without a level layer prints "absent" and succeeds.
found=""
for room in $(seq 0 98); do
    if [ "$("$cli" layer "$work/zm.gba" 6 "$room" level)" = "absent" ]; then
        found=$room
        break
    fi
done
[ -n "$found" ] || fail "some generated room has no level layer"

# Errors: one line on stderr and a non-zero status.
set +e
"$cli" layer "$work/zm.gba" 0 0 sideways >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ] || fail "bad layer name exits 2, got $status"
"$cli" header "$work/zm.gba" 0 200 >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ] || fail "room beyond the list exits 1"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "one error line"
printf 'not a rom' >"$work/bad.gba"
"$cli" info "$work/bad.gba" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ] || fail "a file that is no ROM exits 1"
grep -q 'Not a Zero Mission or Fusion ROM' "$work/err" || fail "says it is not a ROM"
# Half an image: every command that opens a ROM refuses it with the window's reason.
head -c 4194304 "$work/zm.gba" >"$work/half.gba"
for args in "info $work/half.gba" "header $work/half.gba 0 0" "render $work/half.gba 0 0 $work/x.png"; do
    # shellcheck disable=SC2086
    "$cli" $args >/dev/null 2>"$work/err"; status=$?
    [ $status -eq 1 ] || fail "$args: half a ROM exits 1, got $status"
    expect_output "$args: half a ROM" "quarnel-cli: Too small for the game's tables: a Zero Mission \
ROM needs at least 0x760218 bytes; this file has 0x400000" "$(cat "$work/err")"
done
"$cli" info "$work/missing.gba" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ] || fail "a missing file exits 1"
# A level layer stored as 0 blocks wide is refused with its reason and status 1: its cells
# cannot be shown, and the layer is not absent either.
cp "$work/zm.gba" "$work/broken.gba"
printf '\x00' | dd of="$work/broken.gba" bs=1 conv=notrunc 2>/dev/null \
    seek=$((0x$(sed -n 's/^Level *Address: 8//p' <<<"$header")))
out=$("$cli" layer "$work/broken.gba" 0 0 level 2>"$work/err"); status=$?
[ $status -eq 1 ] && [ -z "$out" ] || fail "a refused layer exits 1 with no cells, got $status: $out"
grep -q '^quarnel-cli: Bad room layer: level layer has a size of 0 x' "$work/err" ||
    fail "a refused layer gives its reason: $(cat "$work/err")"
set -e
echo ok
