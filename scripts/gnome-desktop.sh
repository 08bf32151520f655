# Sourced by the screenshot scripts: a virtual display under openbox with
# GNOME's settings (the gtk3 platform theme, an 11 pt interface font), and
# what they need to take a picture of one window there. The caller sets work
# (a temporary folder) and pids (an array), and kills pids when it ends, or
# has prepare_screenshot do both.
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick and
# qt6-gtk-platformtheme.

require_gtk_theme() {
  dpkg-query -W -f='${Status}' qt6-gtk-platformtheme 2>/dev/null | grep -q 'install ok installed' ||
    { echo "$(basename "$0"): install qt6-gtk-platformtheme first" >&2; exit 1; }
}

# Builds the program in BUILD_DIR (configured first if need be) and makes
# work, a temporary folder that goes at the end with every process in pids.
prepare_screenshot() {  # BUILD_DIR
  require_gtk_theme
  [ -f "$1/build.ninja" ] || cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$1" --target korva
  work=$(mktemp -d)
  pids=()
  trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
}

start_gnome_desktop() {
  mkdir -p "$work/program" "$work/runtime" "$work/home/.config/gtk-3.0"
  chmod 700 "$work/runtime"
  printf '[Settings]\ngtk-font-name=DejaVu Sans 11\n' >"$work/home/.config/gtk-3.0/settings.ini"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  timeout 15 bash -c "until [ -s '$work/display' ]; do sleep 0.05; done"
  export DISPLAY=":$(cat "$work/display")" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
  export XDG_RUNTIME_DIR="$work/runtime" XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=xcb LANG=C.UTF-8
  unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_FONT_DPI XDG_STATE_HOME || true
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  timeout 15 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.05; done'
}

# Waits until two captures of the screen in a row are the same; the last
# capture is $work/screen.png and its checksum $current.
settle() {
  local previous=""
  for _ in $(seq 1 100); do
    import -window root "$work/screen.png"
    current=$(md5sum <"$work/screen.png")
    [ "$current" = "$previous" ] && return 0
    previous=$current
    sleep 0.2
  done
  echo "$(basename "$0"): the screen did not settle" >&2
  return 1
}

# The window with the window manager's frame around it, from the last capture.
crop_window() {  # WINDOW-ID OUT
  local x y w h left right top bottom
  read -r x y w h < <(xwininfo -id "$1" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /^ *Width:/ {w=$2} /^ *Height:/ {h=$2}
         END {print x, y, w, h}')
  IFS=, read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  convert "$work/screen.png" -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage \
    -strip -define png:exclude-chunks=date,time "$2"
}
