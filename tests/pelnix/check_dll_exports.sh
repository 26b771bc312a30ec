#!/usr/bin/env bash
# Checks that Pelnix.dll exports every function under its plain and its decorated name.
set -euo pipefail
objdump=$1
dll=$2
table=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
missing=0
for name in PelnixVersion PelnixVersion@0 LZ77UnComp LZ77UnComp@8 HuffUnComp HuffUnComp@8 \
            RLUnComp RLUnComp@8 LZ77Comp LZ77Comp@12 RLComp RLComp@12 \
            LZ77GetCompSize LZ77GetCompSize@4 RLGetCompSize RLGetCompSize@4; do
    if ! grep -qE "\] ${name}\$" <<<"$table"; then
        echo "missing export: $name"
        missing=1
    fi
done
count=$(grep -cE '^\s*\[ *[0-9]+\] ' <<<"$table" || true)
if [ "$count" -ne 16 ]; then
    echo "expected 16 exports, found $count"
    missing=1
fi
exit $missing
