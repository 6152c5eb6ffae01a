#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang, in a small build of their own (build-fuzz/), and
# runs each for VELK_FUZZ_SECONDS seconds (60) under AddressSanitizer and UBSan, as many at
# once as there are processors. An input that makes a harness fail is kept in
# fuzz/regressions/<harness>/, where the ordinary build replays it as a test from then on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELK_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${VELK_FUZZ_SECONDS:-60}
jobs=${VELK_FUZZ_JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELK_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

# The longest input worth trying: a screen is drawn 16 pixel rows per line feed.
max_len() {
    case $1 in
    AnsiRenderer) echo 1024 ;;
    MessageStore | ReplyTable) echo 8192 ;;
    *) echo 4096 ;;
    esac
}

run_one() {
    local h=$1 corpus log
    corpus=$(mktemp -d)
    log="$build/fuzz-$h.log"
    cp -r "$root/fuzz/corpus/$h/." "$corpus/"
    mkdir -p "$root/fuzz/regressions/$h"
    if "$build/fuzz/fuzz_$h" -max_total_time="$seconds" -max_len="$(max_len "$h")" \
        -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$root/fuzz/regressions/$h/" "$corpus" >"$log" 2>&1; then
        echo "$h : $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') exécutions, aucune erreur"
    else
        echo "$h : ÉCHEC (entrée gardée dans fuzz/regressions/$h/)"
        tail -n 40 "$log"
        rm -rf "$corpus"
        return 1
    fi
    rm -rf "$corpus"
}

harnesses=(ControlFile IndexEntries MessageStore ReplyTable LibraryEntries AnsiRenderer
    ProfileStrings ZipDirectory)
status=0
pids=()
for h in "${harnesses[@]}"; do
    run_one "$h" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do
    wait "$p" || status=1
done
exit $status
