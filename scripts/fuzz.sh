#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang, in a small build of their own (build-fuzz/), and
# runs each under AddressSanitizer and UBSan, as many at once as there are processors: first
# its seed corpus and every input that once made it fail, then VELK_FUZZ_RUNS new inputs
# (20000) drawn from a fixed seed (VELK_FUZZ_SEED, 1), so a run finds what the last one
# found; VELK_FUZZ_SECONDS (120) bounds each harness's time all the same. An input that
# makes a harness fail is printed in base64 and kept in fuzz/regressions/<harness>/, where
# the ordinary build replays it as a test from then on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELK_FUZZ_BUILD_DIR:-$root/build-fuzz}
runs=${VELK_FUZZ_RUNS:-20000}
seed=${VELK_FUZZ_SEED:-1}
seconds=${VELK_FUZZ_SECONDS:-120}
jobs=${VELK_FUZZ_JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELK_FUZZ=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

# The longest input worth trying: a screen is drawn 16 pixel rows per line feed.
max_len() {
    case $1 in
    AnsiRenderer) echo 1024 ;;
    MessageStore | ReplyTable | PacketExport) echo 8192 ;;
    *) echo 4096 ;;
    esac
}

# A screen drawn is slower to try than a file read.
runs_of() {
    case $1 in
    AnsiRenderer) echo $((runs / 5)) ;;
    *) echo "$runs" ;;
    esac
}

run_one() {
    local h=$1 corpus artifacts log start found
    corpus=$(mktemp -d)
    artifacts=$(mktemp -d)
    log="$build/fuzz-$h.log"
    cp -r "$root/fuzz/corpus/$h/." "$corpus/"
    regressions=$root/fuzz/regressions/$h
    mkdir -p "$regressions"
    start=$SECONDS
    # New inputs go to the first directory, a copy: the seed corpus stays as it is.
    if "$build/fuzz/fuzz_$h" -seed="$seed" -runs="$(runs_of "$h")" -max_total_time="$seconds" \
        -max_len="$(max_len "$h")" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "$regressions" >"$log" 2>&1; then
        echo "$h : $(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') exécutions en $((SECONDS - start)) s, aucune erreur"
    else
        echo "$h : ÉCHEC"
        tail -n 40 "$log"
        for found in "$artifacts"/*; do
            [ -f "$found" ] || continue
            cp "$found" "$regressions/"
            echo "Entrée gardée dans fuzz/regressions/$h/$(basename "$found") ; pour la garder ailleurs :"
            echo "  base64 -d > fuzz/regressions/$h/$(basename "$found") <<'FIN'"
            base64 -w 76 "$found"
            echo "FIN"
        done
        rm -rf "$corpus" "$artifacts"
        return 1
    fi
    rm -rf "$corpus" "$artifacts"
}

status=0
pids=()
for program in "$build"/fuzz/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    run_one "${program##*/fuzz_}" &
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
