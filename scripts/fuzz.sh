#!/usr/bin/env bash
# fuzz.sh BUILD_DIR SECONDS: runs every fuzz target for a bounded time from
# its seed corpus (copied, so the repository's corpus stays as committed).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; seconds=$2
for target in "$dir"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  cp -r "fuzz/corpus/${name#fuzz_}/." "$work/" 2>/dev/null || true
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$work" 2>&1 | tail -n 12
  rm -rf "$work"
done
