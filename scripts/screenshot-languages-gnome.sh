#!/usr/bin/env bash
# screenshot-languages-gnome.sh [BUILD_DIR [dark]]: a deck in Korean, Chinese,
# French and Vietnamese in the card editor beside its card window, as a GNOME
# user sees it, on a virtual display under openbox, into docs/languages.png
# (docs/languages-dark.png with GTK's dark Adwaita); with CARD=1 the card
# window alone, into docs/languages-card.png.
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/gnome-desktop.sh
build=${1:-build}
variant=${2:-}
out=$(pwd)/docs/languages${variant:+-$variant}.png
prepare_screenshot "$build"
cmake --build "$build" --target korva-deck

start_gnome_desktop
[ "$variant" = dark ] && export GTK_THEME=Adwaita:dark
cp "$build/shell/korva" "$work/program/korva"
printf "사과,りんご（apple）\n苹果,りんご（中文）\ncafé,コーヒー（français）\ncà phê,コーヒー（tiếng Việt）\n학교,がっこう（school）\n" >"$work/words.csv"
deck="$work/世界の言葉.korva"
"$build/tools/korva-deck" convert --encoding utf-8 "$work/words.csv" "$deck"
"$work/program/korva" "$deck" >"$work/korva.log" 2>&1 &
pids+=($!)
main=$(timeout 15 xdotool search --sync --onlyvisible --name '^暗記支援ソフトウェア' | head -n 1)
settle
if [ -n "${CARD:-}" ]; then
  # The card window alone, its first card's answer shown.
  out=${out%.png}-card.png
  xdotool key --clearmodifiers space
  settle
  crop_window "$main" "$out"
  echo "$out"
  exit 0
fi
xdotool key --clearmodifiers alt+w
settle
xdotool key --clearmodifiers e
settle
# A few marks, as a studied deck has them, then back to the first card's 項目1.
xdotool key --clearmodifiers Right Right Right space Down Down space Right space Up Up Left Left Left Left
settle
crop_window "$main" "$out"
echo "$out"
