#!/usr/bin/env bash
# Builds Quarnel, makes a demo ROM of our own (never a real game image) and opens the editor
# on it. Without a display it runs the editor on a virtual one and saves a picture of the
# window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"

demo=build/demo-zm.gba
if [ ! -f "$demo" ]; then
    build/bin/quarnel-cli demo-rom zm "$demo"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/quarnel "$demo"
fi
echo "No display found: running the editor on a virtual display and saving a picture of it."
xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/quarnel --screenshot build/quarnel-screenshot.png "$demo"
echo "See build/quarnel-screenshot.png"
