#!/usr/bin/env bash
# Runs every test of a build directory headless. Under CI (the CI variable set) a test
# that did not run (skipped, disabled) fails the run as a failed test would.
set -euo pipefail
build=$1
export QT_QPA_PLATFORM=offscreen
log=$(mktemp)
trap 'rm -f "$log"' EXIT
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" | tee "$log"
if [ -n "${CI:-}" ] && grep -q "The following tests did not run" "$log"; then
    echo "Sous CI, aucun test ne doit être sauté : installez ce qui leur manque." >&2
    exit 1
fi
