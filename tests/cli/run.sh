#!/usr/bin/env bash
# quarnel-cli run: the emulator gets the ROM's path where %f stands (or at the end) as one
# argument, never through a shell; it is started and left running; with no emulator on the
# PATH and none given, the command says how to get one; a file that is not a ROM is refused.
set -euo pipefail
source "$(dirname "$0")/common.bash"

rom="$work/my hack; \$(touch pwned).gba"
"$cli" demo-rom zm "$rom" >/dev/null

out=$("$cli" run "$rom" --emulator "emu --rom=%f -x 'a b'" --print)
expect_output "print" "program: emu
argument: --rom=$rom
argument: -x
argument: a b" "$out"

# A real start: a script that records its arguments, one per line.
recorder="$work/record.sh"
printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a"; done > "%s/args.txt"\n' "$work" >"$recorder"
chmod +x "$recorder"
"$cli" run "$rom" --emulator "'$recorder' --fullscreen" >/dev/null
for _ in $(seq 50); do [ -s "$work/args.txt" ] && break; sleep 0.1; done
expect_output "recorded arguments" "--fullscreen
$rom" "$(cat "$work/args.txt")"
[ ! -e pwned ] && [ ! -e "$work/pwned" ] || fail "the ROM's path ran as shell code"

status=0
err=$(PATH=/nonexistent "$cli" run "$rom" 2>&1 >/dev/null) || status=$?
[ "$status" = 1 ] || fail "no emulator gave status $status"
case "$err" in *"apt-get install mgba-qt"*) ;; *) fail "no emulator: $err" ;; esac

status=0
"$cli" run "$rom" --emulator "emu 'open" >/dev/null 2>&1 || status=$?
[ "$status" = 1 ] || fail "an unclosed quote gave status $status"
# A missing file and a file that is not a ROM of either game are refused as "info" refuses them.
head -c 4096 /dev/zero >"$work/blank.gba"
for bad in "$work/missing.gba" "$work/blank.gba"; do
    status=0
    err=$("$cli" run "$bad" --emulator emu --print 2>&1 >/dev/null) || status=$?
    [ "$status" = 1 ] || fail "run $bad gave status $status"
    expect_output "run $bad" "$("$cli" info "$bad" 2>&1)" "$err"
done
echo "ok"
