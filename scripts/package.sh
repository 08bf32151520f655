#!/usr/bin/env bash
# package.sh [BUILD-DIR]: builds KORVA (a Release build in build-release unless
# told otherwise), makes korva_<version>_<arch>.deb in that folder and, where
# lintian is installed, fails on any error or warning it finds in the package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${1:-build-release}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVA_BENCH=OFF
fi
cmake --build "$dir"
(cd "$dir" && cpack --config CPackConfig.cmake)
ls "$dir"/korva_*.deb
if command -v lintian >/dev/null; then
  lintian -EvIL +pedantic --fail-on error,warning "$dir"/korva_*.deb
fi
