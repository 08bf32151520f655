#!/usr/bin/env bash
# screenshot-preview-gnome.sh [BUILD_DIR]: the preview of a word list as
# spreadsheets write it (UTF-8, LF, a header line, a quoted comma, a
# character code page 932 lacks) as a GNOME user sees it, on a virtual
# display under openbox, into docs/word-list-preview-gnome.png. The meaning
# column is chosen as the answer and the header skipped, with the keyboard.
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/gnome-desktop.sh
build=${1:-build}
out=$(pwd)/docs/word-list-preview-gnome.png
prepare_screenshot "$build"

start_gnome_desktop
cp "$build/shell/korva" "$work/program/korva"
list="$work/漢字.csv"
printf '%s\n' 'kanji,reading,meaning' '山,やま,"mountain, hill"' '川,かわ,river' '森,もり,"forest, woods"' \
  '火,ひ,fire' '水,みず,water' '木,き,"tree, wood"' '金,きん,"gold, money"' '土,つち,"earth, soil"' \
  '日,ひ,"sun, day"' '月,つき,"moon, month"' 'café,カフェ,"coffee shop"' >"$list"
"$work/program/korva" "$list" >"$work/korva.log" 2>&1 &
pids+=($!)
preview=$(timeout 15 xdotool search --sync --onlyvisible --name '^単語リストの読み込み$' | head -n 1)
xdotool windowfocus --sync "$preview"
settle
# The focus starts on 文字コード; Tab goes through the format's choices to
# the header switch and the two columns.
xdotool key --clearmodifiers --delay 100 Tab Tab Tab space Tab Tab Down
settle
crop_window "$preview" "$out"
echo "$out"
