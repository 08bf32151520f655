#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures once, then builds incrementally:
# everything, or only the targets named in KORVA_TARGETS (separated by blanks).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
targets=()
for target in ${KORVA_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" "${targets[@]}"
