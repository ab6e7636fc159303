#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
# The sample folder serves as the program folder (daydata/, mindata/ ...).
if [ -x build/app/vantor ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/app/vantor --home data/sample "$@"
fi
echo "Last ten 60-minute bars of the CSI 300 futures sample (vantor-cli bars):"
build/app/vantor-cli bars data/sample/mindata/IFL8.txt --period 60m | tail -n 10
