#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures once, then builds incrementally.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$dir"
