#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Pressling and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
# The fuzz harnesses of the document readers, ten seconds each, in a clang build of their own.
PRESSLING_FUZZ_JOBS="$(nproc)" bash fuzz/run.sh 10
# The test suite last, so that its summary closes the run.
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 1500
