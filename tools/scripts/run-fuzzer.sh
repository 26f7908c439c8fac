#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Runs one libFuzzer target for a bounded time on a copy of its seed corpus,
# so the repository's seeds stay as committed. Crash inputs land in WORK_DIR.
set -eu
fuzzer=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work/corpus"
[[ -d $seeds ]] && cp -n "$seeds"/* "$work/corpus/" 2>/dev/null || true
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/" corpus
