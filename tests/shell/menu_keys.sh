# Sourced by the tests that drive the program with keys; uses their keys,
# fail and limit.
#
# menu LETTER KEY...: Alt+LETTER opens a menu of the menu bar, and each KEY
# goes to the menu on show once it is mapped. Qt hands keys to a menu only
# from then on; a key sent while the machine is busy could come earlier and
# be lost, leaving the menu open.

# A menu is the program's one kind of override-redirect window besides a
# tooltip; the window type hint does not tell, since Qt marks the menus of a
# card window as normal windows.
menus_on_show() {
  local id count=0
  for id in $(xdotool search --onlyvisible --class '^korva$' 2>/dev/null); do
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

menu() {  # LETTER KEY...
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
