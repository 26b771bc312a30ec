#!/usr/bin/env bash
# Builds everything and runs every test: the unit and end-to-end tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_runs=${QUARNEL_FUZZ_RUNS:-20000}
fuzz_seconds=${QUARNEL_FUZZ_SECONDS:-30}

bash scripts/install-deps.sh

echo "== build and test (release)"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"
ctest --preset release -j"$jobs"

echo "== build and test (ASan + UBSan)"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --preset sanitize -j"$jobs"

echo "== fuzz smoke ($fuzz_runs runs each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
shopt -s nullglob
for fuzzer in build-fuzz/bin/fuzz_*; do
    name=$(basename "$fuzzer")
    corpus=fuzz/corpus/${name#fuzz_}
    work=$(mktemp -d)
    if [ -d "$corpus" ]; then cp -r "$corpus"/. "$work"/; fi
    log=$(mktemp)
    if "$fuzzer" -runs="$fuzz_runs" -max_total_time="$fuzz_seconds" -seed=1 -max_len=70000 \
        "$work" >"$log" 2>&1; then
        echo "-- $name: $(grep -E '^Done' "$log" || echo done)"
    else
        echo "-- $name failed:"
        tail -n 40 "$log"
        exit 1
    fi
    rm -rf "$work" "$log"
done
echo "== all checks passed"
