#!/usr/bin/env bash
# Builds the plug-in bundle and the command-line host, then renders the built-in demo drum loop
# through the real plug-in binary (writes kelvane-demo-in.wav, kelvane-demo-out.wav, kelvane-demo.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$root/build" -j"$(nproc)"
"$root/build/tools/kelvane" render "$@"
