#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers, in their own
# build folder) and runs each for SECONDS seconds (default 60), one after the other, from a seed
# corpus the build makes out of the project's own files. Prints executions and findings per target;
# exits non-zero when a target found something. Crash inputs land in build-fuzz/findings/<target>/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_JOBS (build parallelism, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang++ >/dev/null 2>&1 || { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q clang; }
scripts/setup.sh

seconds="${1:-60}"
shift || true
build="${FUZZ_BUILD_DIR:-build-fuzz}"

# The GUI code's X constants (long) in int attribute lists are an error to clang, a warning to gcc.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS=-Wno-c++11-narrowing \
    -DKELVANE_FUZZ=ON -DKELVANE_SANITIZE=address,undefined >/dev/null
# The build runs some of its own instrumented programs (the factory-preset maker loads the module and
# unloads it); what one-time initialisers of the libraries it pulls in leave behind is no finding.
ASAN_OPTIONS=detect_leaks=0 cmake --build "$build" --target fuzz_targets -j"${FUZZ_JOBS:-2}"

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/fuzz_make_seeds" "$seeds"

if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets < "$build/fuzz-targets.txt"; fi

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The module allocates with its own static C++ runtime (not intercepted), hosts free Core Foundation
# values it made through their own: malloc-versus-delete pairs across that boundary are by design.
export ASAN_OPTIONS="alloc_dealloc_mismatch=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"

failed=0
summary=""
for name in "${targets[@]}"; do
    corpus="$build/fuzz-corpus/$name"
    findings="$build/findings/$name"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    log="$build/fuzz-$name.log"
    set +e
    "$build/fuzz/fuzz_$name" "$corpus" "$seeds/$name" -max_total_time="$seconds" -max_len=8192 \
        -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
    status=$?
    set -e
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    # A unit that was only slow (the machine busy with other work) is reported, not counted.
    found=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)
    line=$(printf '%-16s %12s executions  %3d findings  (exit %d)' "$name" "$runs" "$found" "$status")
    echo "$line"
    summary+="$line"$'\n'
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        failed=1
        grep -m3 -E 'ERROR|fuzz check failed|runtime error' "$log" | sed 's/^/    /' || true
    fi
done
echo
echo "$summary"
exit "$failed"
