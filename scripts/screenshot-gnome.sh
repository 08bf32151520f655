#!/usr/bin/env bash
# screenshot-gnome.sh [BUILD_DIR]: KORVA studying a small Japanese deck as a
# GNOME user sees it (the gtk3 platform theme, an 11 pt interface font), on a
# virtual display under openbox, into docs/card-window-gnome.png.
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/gnome-desktop.sh
build=${1:-build}
out=$(pwd)/docs/card-window-gnome.png
prepare_screenshot "$build"

start_gnome_desktop
# A portable copy keeps its environment file beside itself, away from the build.
cp "$build/shell/korva" "$work/program/korva"
deck="$work/日本の動物.csv"
printf '犬,いぬ（dog）\r\n猫,ねこ（cat）\r\n狐,きつね（fox）\r\n狸,たぬき（raccoon dog）\r\n鶴,つる（crane）\r\n' |
  iconv -f UTF-8 -t CP932 >"$deck"
"$work/program/korva" "$deck" >"$work/korva.log" 2>&1 &
pids+=($!)
main=$(timeout 15 xdotool search --sync --onlyvisible --name '^暗記支援ソフトウェア' | head -n 1)

settle
opened=$current
xdotool key --clearmodifiers a  # any character key on 表示 reveals the answer
for _ in $(seq 1 50); do
  settle
  [ "$current" != "$opened" ] && break
done

crop_window "$main" "$out"
echo "$out"
