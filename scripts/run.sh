#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Pressling, shows its engine at work on sample
# documents and then starts the desktop program, when there is a desktop to show it on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target pressling-cli pressling
bash scripts/demo.sh build
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    echo "--- starting the desktop program: build/app/pressling"
    exec build/app/pressling
fi
echo "--- no desktop here (neither DISPLAY nor WAYLAND_DISPLAY is set); start build/app/pressling on one"
