#!/usr/bin/env bash
# Builds everything and runs every test: the headless ones directly, the `gui` ones under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"

# The gui tests need an X display with OpenGL: a private Xvfb with Mesa's software renderer.
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ]; then
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1920x1080x24 +extension GLX -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY="$display"
    for _ in $(seq 1 50); do
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
    done
fi
export LIBGL_ALWAYS_SOFTWARE=1

ctest --test-dir build --output-on-failure -j"$(nproc)"
