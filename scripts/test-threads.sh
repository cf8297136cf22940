#!/usr/bin/env bash
# Builds the threading tests (ctest label `threads`) and the module they load with ThreadSanitizer
# (gcc) in build-tsan and runs them under a private Xvfb. Any data race TSan sees fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${TSAN_BUILD_DIR:-build-tsan}"
started=$(date +%s)
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DKELVANE_SANITIZE=thread
cmake --build "$build" -j"$(nproc)" --target tests_plugin_threads
built=$(date +%s)

source scripts/xvfb.sh
start_private_xvfb 300

# Suppressions name third-party libraries only (see the file).
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp"

status=0
ctest --test-dir "$build" --output-on-failure -L threads --timeout 600 --repeat until-pass:3 || status=$?
finished=$(date +%s)
echo "thread sanitizer build: $((built - started)) s, tests: $((finished - built)) s"
exit "$status"
