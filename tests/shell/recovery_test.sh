#!/usr/bin/env bash
# recovery_test.sh KORVA KORVA_DECK OUT_DIR
#
# Recovery copies on a virtual X display under openbox. A deck is opened, its
# first card checked (the deck is edited) and its close question put up, then
# the program is ended the ways a desktop ends it: SIGTERM; SIGKILL 3 seconds
# after the change; the X server killed 3 seconds after the change. Each time
# the next start asks to restore, Yes brings the window back, and 上書き保存
# writes the marks into the original deck file. A second program started
# beside an edited one asks nothing, a regular end leaves no copy, and the
# start after it asks nothing. Escape on the question leaves the copy, and the
# start after asks again. A deck file written again after the end is not
# overwritten unasked: the restored window's 上書き保存 asks, and No (the
# default) leaves the newer file as it is and goes on to the save dialog. A
# damaged copy that cannot be moved aside is reported at each start while its
# good neighbour is offered once. An edit made in the card editor is in the
# copy a SIGTERM leaves.
#
# The X server is the test's own, since it kills one. Every step waits for
# what it needs with a time limit; a step that does not happen fails the test
# with a screenshot under OUT_DIR. Without openbox the test is skipped (77).
set -euo pipefail
command -v openbox >/dev/null || { echo "recovery test: openbox is not installed" >&2; exit 77; }
. "$(dirname "$0")/x_steps.sh"

korva=$(realpath "$1")
korva_deck=$(realpath "$2")
mkdir -p "$3"
out=$(realpath "$3")
work=$(mktemp -d "$out/recovery.XXXXXX")
screenshot="$out/recovery-failure.png"
rm -f "$screenshot"
mkdir -p "$work/program" "$work/home" "$work/runtime" "$work/decks"
chmod 700 "$work/runtime"
cp "$korva" "$work/program/korva"
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_STATE_HOME="$work/state"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GTK_MODULES || true
state="$work/state/korva"

limit=15
wm_limit=60  # openbox alone may take up to a minute to start on a busy machine
main_title='^暗記支援ソフトウェア　KORVA!! '
step="start"
x_pid="" wm_pid=""
programs=()

stop_all() { kill "${programs[@]}" "$wm_pid" "$x_pid" 2>/dev/null || true; }

fail() {
  echo "recovery test: FAILED at step: $step${1:+ ($1)}" >&2
  import -window root "$screenshot" 2>/dev/null && echo "screenshot: $screenshot" >&2
  stop_all
  exit 1
}

keys() { xdotool key --delay 20 "$@"; }

within() {  # SECONDS COMMAND...: true once COMMAND succeeds, polled up to SECONDS
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# The display number comes once the server accepts connections. Without a
# reset when its last client leaves, a program started just after another
# ended still finds it. Openbox is ready once it has run its start-up command
# (a window mapped before may never be managed).
start_display() {
  rm -f "$work/openbox-ready"
  exec {number_fd}< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>>"$work/xvfb.log")
  x_pid=$!
  local number
  read -r -t 60 -u "$number_fd" number && [ -n "$number" ] || fail "no display"
  export DISPLAY=":$number"
  KORVA_OPENBOX_READY="$work/openbox-ready" \
    openbox --sm-disable --startup 'sh -c ": >\"$KORVA_OPENBOX_READY\""' >>"$work/openbox.log" 2>&1 &
  wm_pid=$!
  within "$wm_limit" test -e "$work/openbox-ready" || fail "openbox did not start"
}

wait_window_of() {  # PID NAME-PATTERN: prints the id of that program's window once it is mapped
  local deadline=$((SECONDS + limit)) id
  until id=$(visible_windows --all --pid "$1" --name "$2" | head -n 1) && [ -n "$id" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no window named $2"
    sleep 0.05
  done
  echo "$id"
}

gone() { [ -z "$(visible_windows --all --pid "$1" --name "$2")" ]; }

# Through the window manager, which would otherwise hand the focus back to
# the window it chose.
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || fail "cannot activate $1"; }

# A card window, which is no X window of its own, is open once it covers the
# workspace at its place.
card_window_shown() {
  local colours
  colours=$(import -window "$main" png:- | convert - -format '%[pixel:p{100,300}] %[pixel:p{600,400}]' info:) &&
    [ "${colours% *}" != "${colours#* }" ]
}

start_program() {  # [DECK]: sets pid and main
  "$work/program/korva" "$@" >>"$work/korva.log" 2>&1 &
  pid=$!
  programs+=("$pid")
  main=$(wait_window_of "$pid" "$main_title")
  focus "$main"
}

ended() { ! kill -0 "$1" 2>/dev/null; }

wait_exit() {  # PID STATUS
  within "$limit" ended "$1" || fail "program still running"
  local status=0
  { wait "$1"; } 2>/dev/null || status=$?
  [ "$status" -eq "$2" ] || fail "exit status $status, expected $2"
}

copies() { compgen -G "$state/program-*/deck-*.krv" >/dev/null; }

checked() {  # NAME COUNT: the deck file holds COUNT marks
  "$korva_deck" stats "$work/decks/$1.krv" 2>/dev/null | grep -q "\"checked\":{\"item1\":$2,"
}

# A program with the deck open and its first card checked.
edit_deck() {  # NAME: sets pid and main
  printf 'apple,ringo\r\ncat,neko\r\n' >"$work/decks/$1.csv"
  "$korva_deck" convert "$work/decks/$1.csv" "$work/decks/$1.krv" || fail "cannot make $1.krv"
  start_program "$work/decks/$1.krv"
  within "$limit" card_window_shown || fail "no card window"
  keys x semicolon
}

# Once the close question is up, every key before it has been handled.
put_up_close_question() {
  focus "$main"
  menu f c
  wait_window_of "$pid" '^KORVA!!$' >/dev/null
}

restore_and_save() {  # NAME MARKS
  step="$1: the next start asks, Yes restores, 上書き保存 writes the marks"
  start_program
  focus "$(wait_window_of "$pid" '^KORVA!!$')"
  keys Return
  within "$limit" gone "$pid" '^KORVA!!$' || fail "the question stays"
  within "$limit" card_window_shown || fail "no card window"
  focus "$main"
  menu f s
  within "$limit" checked "$1" "$2" || fail "$1.krv has not $2 marks"
  step="$1: a regular end leaves no copy"
  menu f x
  wait_exit "$pid" 0
  ! compgen -G "$state/program-*" >/dev/null || fail "$(ls "$state")"
}

# A program with an edited deck, ended by SIGTERM with its copy on disk.
end_edited() {  # NAME
  edit_deck "$1"
  put_up_close_question
  kill -TERM "$pid"
  wait_exit "$pid" 143
}

answer_question() {  # KEY
  focus "$(wait_window_of "$pid" '^KORVA!!$')"
  keys "$1"
  within "$limit" gone "$pid" '^KORVA!!$' || fail "the question stays"
}

# Were a question up, File > Exit would not reach the main window.
no_question_at_start() {
  start_program
  menu f x
  wait_exit "$pid" 0
}

start_display

step="SIGTERM: an edited deck has its copy"
edit_deck term
first=$pid first_main=$main
within "$limit" copies || fail "no copy"
step="a second program beside an edited one asks nothing"
no_question_at_start
copies || fail "the second program took the first one's copy"
step="SIGTERM writes the copy at once and ends the program"
pid=$first main=$first_main
focus "$main"
# Card 2 checked too, and the signal sent well before the copy's own time.
keys x semicolon
put_up_close_question
kill -TERM "$pid"
wait_exit "$pid" 143
restore_and_save term 2
step="no question after a regular end"
no_question_at_start

step="an edit in the card editor, then SIGTERM"
printf 'apple,ringo\r\ncat,neko\r\n' >"$work/decks/editor.csv"
"$korva_deck" convert "$work/decks/editor.csv" "$work/decks/editor.krv" || fail "cannot make editor.krv"
start_program "$work/decks/editor.krv"
within "$limit" card_window_shown || fail "no card window"
menu w e
xdotool type --delay 10 pear
keys Return
menu f c
put_up_close_question
kill -TERM "$pid"
wait_exit "$pid" 143
step="the card editor's edit: the next start offers the copy holding it"
start_program
answer_question Return
within "$limit" card_window_shown || fail "no card window"
focus "$main"
menu f s
holds_pear() { "$korva_deck" show "$work/decks/editor.krv" 2>/dev/null | grep -q '"items":\["pear","ringo"\]'; }
within "$limit" holds_pear || fail "editor.krv is $("$korva_deck" show "$work/decks/editor.krv")"
menu f x
wait_exit "$pid" 0

step="SIGKILL 3 seconds after the change"
edit_deck kill
put_up_close_question
sleep 3
kill -KILL "$pid"
wait_exit "$pid" 137
restore_and_save kill 1

step="the X server killed 3 seconds after the change"
edit_deck xkill
put_up_close_question
sleep 3
kill -KILL "$x_pid"
wait_exit "$pid" 1
{ wait "$wm_pid" "$x_pid"; } 2>/dev/null || true
start_display
restore_and_save xkill 1

step="Escape on the question leaves the copy"
end_edited escape
start_program
answer_question Escape
! card_window_shown || fail "a card window opened"
copies || fail "the copy went"
menu f x
wait_exit "$pid" 0
restore_and_save escape 1

step="an original written after the end: 上書き保存 asks, and No keeps the newer file"
end_edited newer
printf 'sun,taiyou\r\n' >"$work/decks/other.csv"
"$korva_deck" convert "$work/decks/other.csv" "$work/decks/other.krv" || fail "cannot make other.krv"
cp "$work/decks/other.krv" "$work/decks/newer.krv"
start_program
answer_question Return
within "$limit" card_window_shown || fail "no card window"
focus "$main"
menu f s
answer_question Return
focus "$(wait_window_of "$pid" '^名前を付けて保存$')"
keys Escape
within "$limit" gone "$pid" '^名前を付けて保存$' || fail "the save dialog stays"
cmp -s "$work/decks/other.krv" "$work/decks/newer.krv" || fail "newer.krv was overwritten"
kill -TERM "$pid"
wait_exit "$pid" 143
rm -rf "$state"/program-*

# A damaged copy that cannot be moved aside, a plain file named damaged being
# in the way, stays where it is; the good copy beside it is offered once only.
step="damaged in the way: an edited deck ended by SIGTERM, beside a damaged copy"
edit_deck blocked
put_up_close_question
kill -TERM "$pid"
wait_exit "$pid" 143
ended_folder=$(dirname "$(compgen -G "$state/program-*/deck-*.krv" | head -n 1)")
printf 'KORVA' >"$ended_folder/deck-99.krv"
: >"$state/damaged"
step="damaged in the way: Yes restores the good copy, the damaged one is reported"
start_program
question=$(wait_window_of "$pid" '^KORVA!!$')
focus "$question"
keys Return
within "$limit" card_window_shown || fail "no card window"
report=""
other_box() {
  report=$(visible_windows --all --pid "$pid" --name '^KORVA!!$' | grep -vx "$question" | head -n 1) &&
    [ -n "$report" ]
}
within "$limit" other_box || fail "no report of the damaged copy"
focus "$report"
keys Return
within "$limit" gone "$pid" '^KORVA!!$' || fail "the report stays"
focus "$main"
menu f s
within "$limit" checked blocked 1 || fail "blocked.krv has not 1 mark"
menu f x
wait_exit "$pid" 0
[ "$(cd "$ended_folder" && echo deck-*)" = "deck-99.krv" ] || fail "left: $(ls "$ended_folder")"
step="damaged in the way: the next start reports the damaged copy and offers the good one no more"
start_program
focus "$(wait_window_of "$pid" '^KORVA!!$')"
# Return on the question would restore an edited window, which Exit would
# ask about: the program ends at once only after the report.
keys Return
within "$limit" gone "$pid" '^KORVA!!$' || fail "the box stays"
menu f x
wait_exit "$pid" 0
[ -f "$ended_folder/deck-99.krv" ] && [ -f "$state/damaged" ] || fail "the damaged copy was not left as it was"

stop_all
rm -rf "$work"
echo "recovery test: passed"
