#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Without --home it works in
# ~/.local/share/vantor, seeded with the bundled sample data on the first start.
# Without a display it runs the real window offscreen, steps 20 bars, saves a picture of the
# window and prints where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/vantor "$@"
fi
shot="$PWD/build/vantor-screenshot.png"
echo "No display: running the main window offscreen for 20 bars."
QT_QPA_PLATFORM=offscreen build/app/vantor --screenshot "$shot" --steps 20 "$@"
echo "Picture of the window: $shot"
