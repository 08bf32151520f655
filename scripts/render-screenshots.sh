#!/usr/bin/env bash
# render-screenshots.sh [BUILD_DIR]: draws the README's pictures offscreen:
# a card window studying a small Japanese deck into docs/card-window.png, and
# the main window with a card window and the version window into
# docs/main-window.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target korva-render-card korva-render-main
mkdir -p docs
export QT_QPA_PLATFORM=offscreen
"$build/cardwindow/render/korva-render-card" docs/card-window.png
"$build/shell/render/korva-render-main" docs/main-window.png
echo "docs/card-window.png docs/main-window.png"
