#!/usr/bin/env bash
# window_manager_test.sh KORVA OUT_DIR
#
# The main window's outer size, frame included, is 10000 x 8000 twips
# (667 x 533 pixels): checked on a virtual X display first without a window
# manager, where the window has no frame, then under openbox, which frames
# it. The outer size is the client size that xwininfo reports plus the frame
# that the window manager announces in _NET_FRAME_EXTENTS.
#
# A size that does not settle in time fails the test with a screenshot under
# OUT_DIR. Without openbox installed the test is skipped (status 77).
set -euo pipefail

if [ -z "${KORVA_ON_XVFB:-}" ]; then
  command -v openbox >/dev/null || { echo "window manager test: openbox is not installed" >&2; exit 77; }
  KORVA_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

korva=$(realpath "$1")
out=$(realpath "$2")
mkdir -p "$out"
work=$(mktemp -d "$out/window-manager.XXXXXX")
screenshot="$out/window-manager-failure.png"
rm -f "$screenshot"

mkdir -p "$work/program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$korva" "$work/program/korva"
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION || true

limit=15
main_title='^暗記支援ソフトウェア　KORVA!! '
pid=""
wm_pid=""
step="start"

stop() {
  local p
  for p in $pid $wm_pid; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  pid=""
  wm_pid=""
}

fail() {
  echo "window manager test: FAILED at step: $step${1:+ ($1)}" >&2
  import -window root "$screenshot" 2>/dev/null && echo "screenshot: $screenshot" >&2
  stop
  exit 1
}

# Prints "width height" of a window's outer size: its client size plus the
# frame its window manager reports (none without one).
outer_size() {  # WINDOW-ID
  local width height extents left=0 right=0 top=0 bottom=0
  width=$(xwininfo -id "$1" | awk '/^ *Width:/ {print $2}')
  height=$(xwininfo -id "$1" | awk '/^ *Height:/ {print $2}')
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  if [ -n "$extents" ]; then IFS=, read -r left right top bottom <<<"$extents"; fi
  echo "$((width + left + right)) $((height + top + bottom))"
}

expect_outer_size() {  # EXPECTED ("width height"), waiting until it settles
  local id size=""
  id=$(timeout "$limit" xdotool search --sync --onlyvisible --name "$main_title" 2>/dev/null | head -n 1) ||
    fail "no main window"
  for _ in $(seq 1 100); do
    size=$(outer_size "$id")
    [ "$size" = "$1" ] && return 0
    sleep 0.1
  done
  fail "outer size $size, expected $1"
}

run_program() {
  "$work/program/korva" >"$work/korva.log" 2>&1 &
  pid=$!
}

step="without a window manager the client area is the whole window"
run_program
expect_outer_size "667 533"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

step="openbox frames the main window"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
timeout "$limit" bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; do sleep 0.05; done' ||
  fail "openbox did not start"
run_program
expect_outer_size "667 533"
id=$(xdotool search --onlyvisible --name "$main_title" | head -n 1)
xprop -id "$id" _NET_FRAME_EXTENTS | grep -Eq '= *[0-9]+, *[0-9]+, *[1-9]' || fail "openbox drew no frame"
stop

rm -rf "$work"
echo "window manager test: passed"
