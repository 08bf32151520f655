#!/usr/bin/env bash
# render-card-window.sh [BUILD_DIR]: draws a card window studying a small
# Japanese deck, offscreen, into docs/card-window.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target korva-render-card
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/cardwindow/render/korva-render-card" docs/card-window.png
echo "docs/card-window.png"
