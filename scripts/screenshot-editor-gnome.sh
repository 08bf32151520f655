#!/usr/bin/env bash
# screenshot-editor-gnome.sh [BUILD_DIR [dark]]: the card editor beside its
# card window as a GNOME user sees it, on a virtual display under openbox,
# into docs/editor.png (docs/editor-dark.png with GTK's dark Adwaita).
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/gnome-desktop.sh
build=${1:-build}
variant=${2:-}
out=$(pwd)/docs/editor${variant:+-$variant}.png
prepare_screenshot "$build"
cmake --build "$build" --target korva-deck

start_gnome_desktop
[ "$variant" = dark ] && export GTK_THEME=Adwaita:dark
cp "$build/shell/korva" "$work/program/korva"
printf '犬,いぬ（dog）\r\n猫,ねこ（cat）\r\n狐,きつね（fox）\r\n狸,たぬき（raccoon dog）\r\n鶴,つる（crane）\r\n' |
  iconv -f UTF-8 -t CP932 >"$work/animals.csv"
deck="$work/日本の動物.krv"
"$build/tools/korva-deck" convert "$work/animals.csv" "$deck"
"$work/program/korva" "$deck" >"$work/korva.log" 2>&1 &
pids+=($!)
main=$(timeout 15 xdotool search --sync --onlyvisible --name '^暗記支援ソフトウェア' | head -n 1)
settle
xdotool key --clearmodifiers alt+w
settle
xdotool key --clearmodifiers e
settle
# A few marks, as a studied deck has them, then back to the first card's 項目1.
xdotool key --clearmodifiers Right Right Right space Down Down space Right space Up Up Left Left Left Left
settle
crop_window "$main" "$out"
echo "$out"
