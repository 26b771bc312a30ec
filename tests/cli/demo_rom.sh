#!/usr/bin/env bash
# quarnel-cli demo-rom end to end: both games' images have the full size and their titles;
# a bad game name or a bad seed is a usage error; an unwritable path is an error.
set -euo pipefail

source "$(dirname "$0")/common.bash"

title() { # the first 7 bytes of the cartridge title
    dd if="$1" bs=1 skip=$((0xA0)) count=7 status=none
}

"$cli" demo-rom zm "$work/zm.gba" >/dev/null
"$cli" demo-rom mf "$work/mf.gba" --seed 7 >/dev/null
[ "$(stat -c %s "$work/zm.gba")" -eq 8388608 ] || fail "ZM image has the wrong size"
[ "$(stat -c %s "$work/mf.gba")" -eq 8388608 ] || fail "MF image has the wrong size"
[ "$(title "$work/zm.gba")" = "ZEROMIS" ] || fail "ZM title is '$(title "$work/zm.gba")'"
[ "$(title "$work/mf.gba")" = "metroid" ] || fail "MF title is '$(title "$work/mf.gba")'"

# The same seed gives the same image; the default seed is a seed like any other.
"$cli" demo-rom mf "$work/mf-again.gba" --seed 0x7 >/dev/null
cmp -s "$work/mf.gba" "$work/mf-again.gba" || fail "seed 7 and 0x7 give different images"

expect_status() { # expected status, then the arguments
    local expected="$1"
    shift
    local status=0
    "$cli" demo-rom "$@" >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq "$expected" ] || fail "demo-rom $* exited $status, not $expected"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "demo-rom $* did not print one error line"
}

expect_status 2 xx "$work/bad.gba"
expect_status 2 zm
expect_status 2 zm "$work/bad.gba" --seed
expect_status 2 zm "$work/bad.gba" --seed -1
expect_status 2 zm "$work/bad.gba" --frobnicate
expect_status 1 zm "$work/missing/folder/bad.gba"
[ ! -e "$work/bad.gba" ] || fail "a refused command wrote a file"
