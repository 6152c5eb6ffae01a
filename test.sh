#!/usr/bin/env bash
# Installs what is missing (the test tools too), builds, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
bash "$root/scripts/install-deps.sh" --test
bash "$root/scripts/build.sh" "$@"
bash "$root/scripts/run-tests.sh" "${VELK_BUILD_DIR:-$root/build}"
