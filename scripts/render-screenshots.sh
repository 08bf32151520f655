#!/usr/bin/env bash
# render-screenshots.sh [BUILD_DIR]: draws the README's pictures offscreen:
# a card window studying a small Japanese deck into docs/card-window.png, and
# the main window with a card window and the version window into
# docs/main-window.png; and 学習の記録 of a deck studied for half a year, in a
# light and a dark palette, into docs/record.png and docs/record-dark.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target korva-render-card korva-render-main korva-render-record
mkdir -p docs
export QT_QPA_PLATFORM=offscreen
"$build/cardwindow/render/korva-render-card" docs/card-window.png
"$build/shell/render/korva-render-main" docs/main-window.png
"$build/record/render/korva-render-record" docs/record.png
"$build/record/render/korva-render-record" docs/record-dark.png dark
echo "docs/card-window.png docs/main-window.png docs/record.png docs/record-dark.png"
