#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on its committed corpus.
# usage: scripts/fuzz.sh [seconds per target] [target]   (default 20 seconds, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
only=${2:-}
UZ_FUZZ=1 bash scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_all
failed=0
passed=0
for bin in build/fuzz/fuzz/fuzz_*; do
    name=$(basename "$bin")
    [ -n "$only" ] && [ "$only" != "$name" ] && continue
    corpus="fuzz/corpus/${name#fuzz_}"
    mkdir -p "$corpus"
    # New inputs go to a scratch folder so the committed corpus only grows by hand.
    scratch=$(mktemp -d)
    echo "== $name (${seconds}s)"
    if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
            -artifact_prefix="$scratch/" -print_final_stats=0 -close_fd_mask=1 "$scratch" "$corpus" > "$scratch/log" 2>&1; then
        echo "FAILED: $name"; tail -40 "$scratch/log"
        ls "$scratch" | grep -E '^(crash|leak|timeout|oom)-' || true
        failed=$((failed + 1))
    else
        tail -1 "$scratch/log"
        passed=$((passed + 1))
    fi
    rm -rf "$scratch"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
