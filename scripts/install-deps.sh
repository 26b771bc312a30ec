#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the editor need, only those
# that are missing (so a second run installs nothing and needs no network).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev zlib1g-dev
    clang libclang-rt-14-dev
    gcc-mingw-w64-i686
    xvfb xauth
)
if [ "${1:-}" = "--print" ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=sudo
    else
        echo "install-deps: missing packages (${missing[*]}); run as root" >&2
        exit 1
    fi
else
    SUDO=
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
