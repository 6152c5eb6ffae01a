#!/usr/bin/env bash
# Formats every C++ file of the project with .clang-format; with --check, only reports.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run --Werror $files
else
    clang-format -i $files
fi
