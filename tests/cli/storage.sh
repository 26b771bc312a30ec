#!/usr/bin/env bash
# quarnel-cli storage, end to end: a missing file shows zeros and stays missing, --reset writes
# the defaults, a second run reads them back, a reset keeps what is handed out, --fit sets
# the counters of a ROM's game to the data that ROM holds, and --map shows what a ROM uses.
set -euo pipefail
source "$(dirname "$0")/common.bash"
os="$work/os.bin"

defaults='ZM area 0 offset 760D38 used 0 length F2C8
ZM area 1 offset 770000 used 0 length 1000
ZM area 2 offset 771000 used 0 length 5F7C
ZM area 3 offset 776F7C used 0 length 591C
ZM area 4 offset 77C898 used 0 length 5B764
ZM area 5 offset 7F7734 used 0 length 88CC
MF area 0 offset 79ECC8 used 0 length 1CA8
MF area 1 offset 7A0970 used 0 length 1180A
MF area 2 offset 7B217A used 0 length 3C53A
MF area 3 offset 7EE6B4 used 0 length CC08
MF area 4 offset 7FB2BC used 0 length 4D44'

zeros=$(for g in ZM ZM ZM ZM ZM ZM MF MF MF MF MF; do echo "$g"; done |
    awk '{ n[$1]++; printf "%s area %d offset 0 used 0 length 0\n", $1, n[$1] - 1 }')

out=$("$cli" storage --storage "$os")
expect_output "missing file shows zeros" "$zeros" "$out"
[ ! -e "$os" ] || fail "showing a missing file created it"

out=$("$cli" storage --storage "$os" --reset)
expect_output "reset" "reset: defaults written to $os
$defaults" "$out"
[ "$(stat -c %s "$os")" = 156 ] || fail "os.bin is not 156 bytes"
[ "$(ls "$work")" = os.bin ] || fail "a temporary file was left behind"

out=$("$cli" storage --storage "$os")
expect_output "second run" "$defaults" "$out"

# ZM area 0: Offset 0x12345678, Used 0x64; MF area 4 (byte 120): Used 0x1000. A reset puts the
# offset back and keeps both counts.
printf '\x78\x56\x34\x12\x64\x00\x00\x00' | dd of="$os" bs=1 seek=0 conv=notrunc status=none
printf '\x00\x10\x00\x00' | dd of="$os" bs=1 seek=124 conv=notrunc status=none
out=$("$cli" storage --storage "$os" | sed -n '1p;11p')
expect_output "edited file" "ZM area 0 offset 12345678 used 64 length F2C8
MF area 4 offset 7FB2BC used 1000 length 4D44" "$out"
out=$("$cli" storage --reset --storage "$os" | sed -n '2p;12p')
expect_output "reset keeps used" "ZM area 0 offset 760D38 used 64 length F2C8
MF area 4 offset 7FB2BC used 1000 length 4D44" "$out"

# --fit: data of an earlier save (ending in two zeros) at the start of ZM area 0 and 2 bytes
# at the start of area 5, stale counters elsewhere; each ZM Used ends just past the data, MF
# keeps its counters. A missing os.bin gets the default areas first.
zm="$work/zm.gba"
"$cli" demo-rom zm "$zm" >/dev/null
printf 'DATA\x01\x00\x00' | dd of="$zm" bs=1 seek=$((0x760D38)) conv=notrunc status=none
printf '\x07\x07' | dd of="$zm" bs=1 seek=$((0x7F7734)) conv=notrunc status=none
out=$("$cli" storage --storage "$os" --fit "$zm")
expect_output "fit" "fit: ZM areas fitted to $zm
ZM area 0 offset 760D38 used 7 length F2C8
ZM area 1 offset 770000 used 0 length 1000
ZM area 2 offset 771000 used 0 length 5F7C
ZM area 3 offset 776F7C used 0 length 591C
ZM area 4 offset 77C898 used 0 length 5B764
ZM area 5 offset 7F7734 used 2 length 88CC
MF area 0 offset 79ECC8 used 0 length 1CA8
MF area 1 offset 7A0970 used 0 length 1180A
MF area 2 offset 7B217A used 0 length 3C53A
MF area 3 offset 7EE6B4 used 0 length CC08
MF area 4 offset 7FB2BC used 1000 length 4D44" "$out"
rm "$os"
out=$("$cli" storage --fit "$zm" --storage "$os" | sed -n '2p;12p')
expect_output "fit on a missing file" "ZM area 0 offset 760D38 used 7 length F2C8
MF area 4 offset 7FB2BC used 0 length 4D44" "$out"

# --map: a save takes space that is in use; the next save of the room gives it back and the
# area shows it so, still handed out.
mf="$work/map.gba"
"$cli" demo-rom mf "$mf" >/dev/null
"$cli" storage --storage "$os" --reset >/dev/null
map() { "$cli" storage --storage "$os" --map "$mf" | sed -n 's/^map MF area 0: //p'; }
expect_output "map of a fresh ROM" "0 bytes in use, 0 given back, 7336 never used" "$(map)"
first=$("$cli" paint "$mf" 0 1 --storage "$os" --set level:2,3=0x45)
written=$(($(sed -n 's/^.* layer: 0x[0-9A-F]*, \([0-9]*\) bytes written.*$/\1/p' <<<"$first" | paste -sd+)))
reserved=$(($(sed -n 's/^.* written, \([0-9]*\) reserved$/\1/p' <<<"$first" | paste -sd+)))
expect_output "map after one save" \
    "$written bytes in use, $((reserved - written)) given back, $((7336 - reserved)) never used" "$(map)"
second=$("$cli" paint "$mf" 0 1 --storage "$os" --set level:2,3=0x46)
grep -q '^given back: 0x' <<<"$second" || fail "the second save gave nothing back: $second"
case "$(map)" in *" given back, "*) ;; *) fail "map after two saves: $(map)" ;; esac
[ "$(map | awk '{ print $5 }')" -ge "$written" ] || fail "the first save's layers are not shown given back: $(map)"
"$cli" storage --storage "$os" --map "$os" >/dev/null 2>&1 && fail "--map of a file that is no ROM"

# Errors: a folder in the file's place is one line on stderr and status 1; bad usage is 2.
mkdir "$work/folder"
status=0
err=$("$cli" storage --storage "$work/folder" 2>&1 >/dev/null) || status=$?
[ "$status" = 1 ] || fail "unreadable file gave status $status"
[ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "error is not one line: $err"
case "$err" in *"$work/folder"*) ;; *) fail "error does not name the path: $err" ;; esac

status=0
err=$("$cli" storage --storage "$os" --fit "$os" 2>&1 >/dev/null) || status=$?
[ "$status" = 1 ] || fail "--fit on a file that is no ROM gave status $status"
case "$err" in *"Not a Zero Mission or Fusion ROM"*) ;; *) fail "--fit error: $err" ;; esac

# A cut ROM (its first 4 MiB: title recognised, tables missing) is refused as every command
# refuses it, and os.bin stays as it was.
head -c $((4 << 20)) "$zm" >"$work/half.gba"
before=$(md5sum <"$os")
for option in --fit --map; do
    status=0
    err=$("$cli" storage --storage "$os" $option "$work/half.gba" 2>&1 >/dev/null) || status=$?
    [ "$status" = 1 ] || fail "$option on a cut ROM gave status $status"
    case "$err" in *"Too small for the game's tables"*) ;; *) fail "$option cut ROM: $err" ;; esac
done
[ "$(md5sum <"$os")" = "$before" ] || fail "a refused --fit changed os.bin"

for args in "--storage" "--bogus" "--storage $os --storage $os" "--fit" "--fit $zm --fit $zm" "--map"; do
    status=0
    # shellcheck disable=SC2086
    "$cli" storage $args >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "'storage $args' gave status $status, not 2"
done
echo "ok"
