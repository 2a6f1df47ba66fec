#!/usr/bin/env bash
# Sets up what is missing, builds and runs all tests. --sanitize: the same under ASan and UBSan.
# --tsan: the test programs of the threaded modules under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize
[ "${1:-}" = "--tsan" ] && preset=tsan
bash scripts/deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
