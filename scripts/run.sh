#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Pressling and shows its main job at work.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target pressling-cli
bash scripts/demo.sh build
