#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what clang-format (.clang-format) makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.h' '*.cpp' '*.hpp' | xargs -0 clang-format --dry-run --Werror
echo "clang-format: every tracked C/C++ file is formatted"
