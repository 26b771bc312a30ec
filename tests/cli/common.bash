# Shared by the command-line test scripts (sourced, not run on its own): the program under
# test, a temporary folder removed on exit, and the ways a script fails.
# shellcheck shell=bash
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

expect_output() { # name expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1" >&2
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") >&2 || true
        exit 1
    fi
}
