#!/usr/bin/env bash
# Builds everything and runs every test: the headless ones directly, the `gui` ones under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"


source scripts/xvfb.sh
start_private_xvfb 90

ctest --test-dir build --output-on-failure -j"$(nproc)"
