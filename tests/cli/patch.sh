#!/usr/bin/env bash
# quarnel-cli patch on generated images: a room saved once gives a small BPS patch; BPS and IPS
# patches rebuild the edited ROM exactly; damaged patches and outputs over an input are refused
# and write nothing.
set -euo pipefail
source "$(dirname "$0")/common.bash"

for game in zm mf; do
    rom="$work/$game.gba"
    "$cli" demo-rom "$game" "$work/original.gba" >/dev/null
    cp "$work/original.gba" "$rom"
    "$cli" paint "$rom" 0 1 --storage "$work/os.bin" --set level:2,3=0x45 >/dev/null

    "$cli" patch make "$work/original.gba" "$rom" "$work/p.bps" >/dev/null
    "$cli" patch make "$work/original.gba" "$rom" "$work/p.ips" >/dev/null
    size=$(stat -c %s "$work/p.bps")
    [ "$size" -lt 8192 ] || fail "$game: the BPS patch of one saved room is $size bytes"
    for patch in p.bps p.ips; do
        rm -f "$work/out.gba"
        "$cli" patch apply "$work/original.gba" "$work/$patch" "$work/out.gba" >/dev/null
        cmp -s "$work/out.gba" "$rom" || fail "$game: $patch does not rebuild the edited ROM"
    done

    head -c -20 "$work/p.bps" >"$work/cut.bps"
    cp "$work/original.gba" "$work/kept.gba"
    for args in "$work/original.gba $work/cut.bps $work/bad.gba" \
        "$rom $work/p.bps $work/bad.gba" \
        "$work/original.gba $work/p.bps $work/original.gba"; do
        status=0
        # shellcheck disable=SC2086
        "$cli" patch apply $args >/dev/null 2>"$work/err" || status=$?
        [ "$status" = 1 ] || fail "$game: 'patch apply $args' exited $status"
        [ ! -e "$work/bad.gba" ] || fail "$game: a refused patch wrote $work/bad.gba"
    done
    cmp -s "$work/original.gba" "$work/kept.gba" || fail "$game: a patch was written over its ROM"
done
echo ok
