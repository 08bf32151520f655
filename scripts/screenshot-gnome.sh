#!/usr/bin/env bash
# screenshot-gnome.sh [BUILD_DIR]: KORVA studying a small Japanese deck as a
# GNOME user sees it (the gtk3 platform theme, an 11 pt interface font), on a
# virtual display under openbox, into docs/card-window-gnome.png.
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(pwd)/docs/card-window-gnome.png
dpkg-query -W -f='${Status}' qt6-gtk-platformtheme 2>/dev/null | grep -q 'install ok installed' ||
  { echo "screenshot-gnome.sh: install qt6-gtk-platformtheme first" >&2; exit 1; }
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target korva

work=$(mktemp -d)
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A portable copy keeps its environment file beside itself, away from the build.
mkdir -p "$work/program" "$work/runtime" "$work/home/.config/gtk-3.0"
chmod 700 "$work/runtime"
cp "$build/shell/korva" "$work/program/korva"
printf '[Settings]\ngtk-font-name=DejaVu Sans 11\n' >"$work/home/.config/gtk-3.0/settings.ini"
deck="$work/日本の動物.csv"
printf '犬,いぬ（dog）\r\n猫,ねこ（cat）\r\n狐,きつね（fox）\r\n狸,たぬき（raccoon dog）\r\n鶴,つる（crane）\r\n' |
  iconv -f UTF-8 -t CP932 >"$deck"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
timeout 15 bash -c "until [ -s '$work/display' ]; do sleep 0.05; done"
export DISPLAY=":$(cat "$work/display")" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=xcb LANG=C.UTF-8
unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_FONT_DPI XDG_STATE_HOME || true

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
timeout 15 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.05; done'
"$work/program/korva" "$deck" >"$work/korva.log" 2>&1 &
pids+=($!)
main=$(timeout 15 xdotool search --sync --onlyvisible --name '^暗記支援ソフトウェア' | head -n 1)

# Waits until two captures of the screen in a row are the same.
settle() {
  local previous=""
  for _ in $(seq 1 100); do
    import -window root "$work/screen.png"
    current=$(md5sum <"$work/screen.png")
    [ "$current" = "$previous" ] && return 0
    previous=$current
    sleep 0.2
  done
  echo "screenshot-gnome.sh: the screen did not settle" >&2
  return 1
}

settle
opened=$current
xdotool key --clearmodifiers a  # any character key on 表示 reveals the answer
for _ in $(seq 1 50); do
  settle
  [ "$current" != "$opened" ] && break
done

# The main window with the window manager's frame around it.
read -r x y w h < <(xwininfo -id "$main" |
  awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /^ *Width:/ {w=$2} /^ *Height:/ {h=$2}
       END {print x, y, w, h}')
IFS=, read -r left right top bottom < <(xprop -id "$main" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
convert "$work/screen.png" -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage \
  -strip -define png:exclude-chunks=date,time "$out"
echo "$out"
