# Sourced by the tests on a virtual display; uses their keys, fail and limit.
# Every wait polls for what the next step needs, up to limit seconds.

# The ids of the visible windows that match xdotool search's OPTIONS. xdotool
# dies with an X error when a window goes while it looks at the window, as a
# menu or dialog does at any moment; such a search is run again.
visible_windows() {  # OPTIONS...
  local result attempt
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    result=$(xdotool search --onlyvisible "$@" 2>&1) || true
    [[ "$result" == *"X Error"* ]] || break
  done
  grep -E '^[0-9]+$' <<<"$result" || true
}

wait_window() {  # NAME-PATTERN: prints the window id once it is mapped
  local deadline=$((SECONDS + limit)) id
  until id=$(visible_windows --name "$1" | head -n 1) && [ -n "$id" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no window named $1"
    sleep 0.05
  done
  echo "$id"
}

wait_window_gone() {  # NAME-PATTERN
  local deadline=$((SECONDS + limit))
  until [ -z "$(visible_windows --name "$1")" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "window $1 stays"
    sleep 0.05
  done
}

# A menu is the program's one kind of override-redirect window besides a
# tooltip; the window type hint does not tell, since Qt marks the menus of a
# card window as normal windows.
menus_on_show() {
  local id count=0
  for id in $(visible_windows --class '^korva$'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _TOOLTIP || count=$((count + 1))
  done
  echo "$count"
}

wait_menus() {  # COUNT
  local deadline=$((SECONDS + limit))
  until [ "$(menus_on_show)" -eq "$1" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$(menus_on_show) menus on show, expected $1"
    sleep 0.05
  done
}

# menu LETTER KEY...: Alt+LETTER opens a menu of the menu bar, and each KEY
# goes to the menu on show once it is mapped. Qt hands keys to a menu only
# from then on; a key sent while the machine is busy could come earlier and
# be lost, leaving the menu open.
menu() {
  local depth=1 key
  wait_menus 0
  keys "alt+$1"
  shift
  for key in "$@"; do
    wait_menus "$depth"
    keys "$key"
    depth=$((depth + 1))
  done
}
