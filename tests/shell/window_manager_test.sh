#!/usr/bin/env bash
# window_manager_test.sh KORVA OUT_DIR
#
# The main window's outer size is 667 x 533 pixels, frame included: on a
# virtual display without a window manager, and under openbox, which frames
# it. Outer size = xwininfo's client size + _NET_FRAME_EXTENTS. A size that
# does not settle fails with a screenshot under OUT_DIR; without openbox the
# test is skipped (status 77).
set -euo pipefail

if [ -z "${KORVA_ON_XVFB:-}" ]; then
  command -v openbox >/dev/null || { echo "window manager test: openbox is not installed" >&2; exit 77; }
  KORVA_ON_XVFB=1 exec "$(dirname "$0")/virtual_display.sh" "$0" "$@"
fi
. "$(dirname "$0")/x_steps.sh"

mkdir -p "$2"
out=$(realpath "$2")
rm -f "$out/window-manager-failure.png"
work=$(mktemp -d "$out/window-manager.XXXXXX")
mkdir -p "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$1" "$work/program/korva"
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= HOME="$work" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_CURRENT_DESKTOP DESKTOP_SESSION || true
pids=()
limit=15
# A window manager starting on a busy machine may take far longer than a
# program's window does.
wm_limit=60

fail() {
  echo "window manager test: FAILED: $1" >&2
  import -window root "$out/window-manager-failure.png" 2>/dev/null || true
  kill "${pids[@]}" 2>/dev/null || true
  exit 1
}

outer_size() {  # WINDOW-ID: "width height", frame included
  local w h l=0 r=0 t=0 b=0 extents
  read -r w h < <(xwininfo -id "$1" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}')
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  [ -z "$extents" ] || IFS=, read -r l r t b <<<"$extents"
  echo "$((w + l + r)) $((h + t + b))"
}

check_main_window() {  # WHERE FRAMED (1: the window manager must have framed it)
  "$work/program/korva" >"$work/korva.log" 2>&1 &
  local pid=$! id size=""
  pids+=("$pid")
  id=$(wait_window '^暗記支援ソフトウェア')
  local deadline=$((SECONDS + limit))
  until size=$(outer_size "$id") && [ "$size" = "667 533" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$1: outer size $size"
    sleep 0.1
  done
  [ "$2" = 0 ] || xprop -id "$id" _NET_FRAME_EXTENTS | grep -Eq '= *[0-9]+, *[0-9]+, *[1-9]' || fail "$1: no frame"
  kill "$pid" && wait "$pid" 2>/dev/null || true
}

check_main_window "without a window manager" 0

# A window manager is running once the root window names its check window
# and that window exists and names itself (EWMH). Openbox does so early in its
# start, though, and a window mapped before it has finished starting may never
# be managed: it is ready once it has run its start-up command as well.
wm_running() {
  local check
  [ -e "$work/openbox-ready" ] || return 1
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # *//p')
  [ -n "$check" ] && xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id # *$check\$"
}

KORVA_OPENBOX_READY="$work/openbox-ready" \
  openbox --sm-disable --startup 'sh -c ": >\"$KORVA_OPENBOX_READY\""' >"$work/openbox.log" 2>&1 &
openbox=$!
pids+=("$openbox")
deadline=$((SECONDS + wm_limit))
until wm_running; do
  kill -0 "$openbox" 2>/dev/null || fail "openbox ended: $(cat "$work/openbox.log")"
  [ "$SECONDS" -lt "$deadline" ] || fail "openbox did not start within $wm_limit s: $(cat "$work/openbox.log")"
  sleep 0.05
done
check_main_window "under openbox" 1
kill "${pids[@]}" 2>/dev/null || true
rm -rf "$work"
echo "window manager test: passed"
