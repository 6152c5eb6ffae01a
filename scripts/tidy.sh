#!/usr/bin/env bash
# Runs clang-tidy with .clang-tidy's checks on every C++ source of the project (programs,
# tests, benchmarks, fuzzing harnesses, tools), as many at once as there are processors; with
# arguments, on those sources only (after a merge, say). It needs only the compile commands,
# so it configures a build of everything (build-tidy/, or $VELK_TIDY_BUILD_DIR) without
# building it: no source includes code that Qt generates. Any finding fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELK_TIDY_BUILD_DIR:-$root/build-tidy}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELK_BENCH=ON >/dev/null
# The sources of the project only, not the code Qt generates into the build.
files=("^$root/(core|packet|library|reply|mail|board|merge|session|ui|app|cli|tests|bench|fuzz|tools)/")
if [ $# -gt 0 ]; then
    files=()
    for f in "$@"; do
        files+=("^$(cd "$(dirname "$f")" && pwd)/$(basename "$f")\$")
    done
fi
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}"
