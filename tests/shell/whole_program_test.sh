#!/usr/bin/env bash
# whole_program_test.sh KORVA KORVA_DECK OUT_DIR
#
# Runs the real program on a virtual X display and drives it with keys as a
# person would: File > Open a CSV file through the file dialog, reveal, check
# with the ";" key, uncheck with the ":" key (the key right of it), answer in
# TEST style and dismiss the verdict, Save as a deck file through the save
# dialog, close the card window and end with File > Exit. Then the saved deck
# and the environment file are checked byte for byte. Help, with a desktop
# opener that finds no browser, must say so. Under GNOME's keys a deck named
# on the command line is answered in TEST style with Enter. A UTF-8 word list
# with quoted fields opens through the preview and is saved as a deck. The
# card editor changes a deck with a mark and saves it with Ctrl+S; text left
# typed in one of its cells is in the recovery copy of a program ended by
# SIGTERM.
#
# Every step waits for the window or menu it needs, with a time limit; a step
# that does not happen fails the test with a screenshot under OUT_DIR.
set -euo pipefail

here=$(dirname "$0")
if [ -z "${KORVA_ON_XVFB:-}" ]; then
  KORVA_ON_XVFB=1 exec "$here/virtual_display.sh" "$0" "$@"
fi
. "$here/x_steps.sh"

korva=$(realpath "$1")
korva_deck=$(realpath "$2")
out=$(realpath "$3")
mkdir -p "$out"
work=$(mktemp -d "$out/whole-program.XXXXXX")
screenshot="$out/whole-program-failure.png"
rm -f "$screenshot"

# The program keeps its environment file and looks for its help beside
# itself: give it a folder of its own.
mkdir -p "$work/program" "$work/home" "$work/runtime" "$work/decks"
chmod 700 "$work/runtime"
cp "$korva" "$work/program/korva"
cp -r "$(dirname "$korva")/help" "$work/program/help"

# An opener that starts but finds no browser, as xdg-open does on a desktop
# without one; it notes what it was asked to open.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<'OPENER'
#!/bin/sh
printf '%s' "$1" >"$(dirname "$0")/opened"
exit 3
OPENER
chmod +x "$work/bin/xdg-open"

# Qt's own file dialog (no desktop theme), on X, with a home of its own so
# no earlier dialog history can change what the dialogs show.
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_CURRENT_DESKTOP DESKTOP_SESSION GTK_MODULES || true

limit=15
main_title='^暗記支援ソフトウェア　KORVA!! '
pid=""
step="start"

fail() {
  echo "whole program test: FAILED at step: $step${1:+ ($1)}" >&2
  import -window root "$screenshot" 2>/dev/null && echo "screenshot: $screenshot" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

wait_file() {  # PATH
  timeout "$limit" bash -c 'until [ -s "$1" ]; do sleep 0.05; done' _ "$1" || fail "no file $1"
}

wait_exit() {  # [STATUS]: waits for the program to end with STATUS (0 unless told)
  timeout "$limit" bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.05; done' _ "$pid" || fail "program still running"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq "${1:-0}" ] || fail "exit status $status"
}

focus() {  # WINDOW-ID: keys go to the window with the keyboard focus
  xdotool windowfocus --sync "$1" || fail "cannot focus $1"
}

keys() { xdotool key --delay 20 "$@"; }

# A card window, which is no X window of its own, is open once it covers the
# workspace at its place: then the program is back in its own event loop.
# Keys sent earlier may still be read while the open dialog is closing, when
# there is no card window to take them.
wait_card_window() {
  local deadline=$((SECONDS + limit)) colours
  until colours=$(import -window "$main" png:- | convert - -format '%[pixel:p{100,300}] %[pixel:p{600,500}]' info:) &&
    [ "${colours% *}" != "${colours#* }" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no card window"
    sleep 0.05
  done
}

start_program() {  # [DECK]
  PATH="$work/bin:$PATH" "$work/program/korva" "$@" >"$work/korva.log" 2>&1 &
  pid=$!
  main=$(wait_window "$main_title")
  focus "$main"
}

answer_in_test_style() {  # ANSWER: types it with Enter, then dismisses the verdict
  menu w s t
  xdotool type --delay 10 "$1"
  keys Return
  local verdict
  verdict=$(wait_window '^KORVA!!$')
  focus "$verdict"
  keys Return
  wait_window_gone '^KORVA!!$'
  focus "$main"
}

save_as() {  # PATH: types PATH over the name in the save dialog and presses Enter
  focus "$(wait_window '^名前を付けて保存$')"
  keys ctrl+a
  xdotool type --delay 10 "$1"
  keys Return
}

expect_bytes() {  # FILE HEX
  local actual
  actual=$(od -An -tx1 -v "$1" | tr -d ' \n')
  [ "$actual" = "$2" ] || fail "$1 holds $actual, expected $2"
}

env_file="$work/program/environment.kfg"

step="first start creates the environment file"
start_program
expect_bytes "$env_file" "0000"
menu f x
wait_exit

step="start-up keeps a record and the bytes after it"
printf '\003\000abctail' >"$env_file"
start_program
expect_bytes "$env_file" "03006162637461696c"

step="File > Open a CSV file"
printf 'apple,ringo\r\ncat,neko\r\n' >"$work/decks/words.csv"
menu f o
dialog=$(wait_window '^開く$')
focus "$dialog"
xdotool type --delay 10 "$work/decks/words.csv"
keys Return
wait_window_gone '^開く$'
wait_card_window
focus "$main"

# Card 1 "apple": any key on 表示 reveals, ";" checks and deals card 2.
step="reveal and check card 1"
keys x semicolon
# Card 2 "cat": checked too; the cycle ends and card 1 comes again.
step="reveal and check card 2"
keys x semicolon
# Card 1 again: the key right of ";" takes its mark away.
step="reveal and uncheck card 1"
keys x apostrophe

step="TEST style: answer card 2 and dismiss the verdict"
answer_in_test_style neko

step="Save as a deck file"
menu f a
# A word list's deck is offered as .korva; the ending typed picks .krv.
save_as "$work/decks/studied.krv"
wait_window_gone '^名前を付けて保存$'
wait_file "$work/decks/studied.krv"
focus "$main"

step="close the card window"
menu f c

step="Help finds no browser and says so"
menu h h
report=$(wait_window '^KORVA!!$')
focus "$report"
keys Return
wait_window_gone '^KORVA!!$'
opened=$(cat "$work/bin/opened" 2>/dev/null) || fail "the opener was not run"
case "$opened" in
  file://*/program/help/index.html) ;;
  *) fail "the opener was given $opened" ;;
esac
focus "$main"
# With the card window gone the main window's own File > Exit ends the
# program at once, without saving the environment file: a file changed
# behind the program's back must still be as it was afterwards.
printf 'Zz' >"$env_file"
step="File > Exit"
menu f x
wait_exit
expect_bytes "$env_file" "5a7a"

step="the saved deck"
expected='{"total":2,"modes":{"TurnMode":1,"ReservedMode":1,"ViewKind":4,"AnswerMode":2},"cards":[{"question":1,"checks":[false,false],"items":["apple","ringo"],"memory":[null,null]},{"question":1,"checks":[true,false],"items":["cat","neko"],"memory":[null,null]}]}'
actual=$("$korva_deck" show "$work/decks/studied.krv") || fail "korva-deck cannot read the deck"
[ "$actual" = "$expected" ] || fail "deck is $actual"

# GNOME's theme would bring its own save dialog, which looks for a typed
# name before the default ending is added. Replacing a deck still asks, once,
# and No goes back to the dialog without writing. A .krv deck is offered as
# .krv again, so the name typed without its ending is the deck's own.
step="gtk3 theme: Save as over a deck, typed without its ending, asks once; No writes nothing"
cp "$work/decks/studied.krv" "$work/studied.before"
QT_QPA_PLATFORMTHEME=gtk3 start_program "$work/decks/studied.krv"
wait_card_window
menu f a
save_as "$work/decks/studied"
question=$(wait_window '^KORVA!!$')
focus "$question"
keys Escape
wait_window_gone '^KORVA!!$'
[ -n "$(visible_windows --name '^名前を付けて保存$')" ] || fail "No closed the save dialog"
focus "$(wait_window '^名前を付けて保存$')"
keys Escape
wait_window_gone '^名前を付けて保存$'
[ -z "$(visible_windows --name '^KORVA!!$')" ] || fail "asked a second time"
cmp -s "$work/decks/studied.krv" "$work/studied.before" || fail "the deck was replaced"
focus "$main"
menu f x
wait_exit

# GNOME lets Enter press a focused button, and Qt's frames take such keys
# for a check box they do not have: Enter typed in the answer box must still
# reach the card window and judge.
step="GNOME's keys: Enter in the answer box judges"
QT_QPA_PLATFORMTHEME=gnome start_program "$work/decks/words.csv"
wait_card_window
answer_in_test_style ringo
menu f x
wait_exit

# A word list as spreadsheets write it (UTF-8, LF, a quoted comma and a
# line break inside quotes) is shown as it will be read before it opens;
# Enter takes the preview's OK even where it presses the focused control, as
# under GNOME: the focus starts on a drop-down.
step="File > Open a UTF-8 word list through the preview"
printf 'word,meaning\nbook,"hon, shomotsu"\ntree,"ki\nmoku"\n' >"$work/decks/list.csv"
QT_QPA_PLATFORMTHEME=gnome start_program
menu f o
dialog=$(wait_window '^開く$')
focus "$dialog"
xdotool type --delay 10 "$work/decks/list.csv"
keys Return
wait_window_gone '^開く$'
preview=$(wait_window '^単語リストの読み込み$')
focus "$preview"
keys Return
wait_window_gone '^単語リストの読み込み$'
wait_card_window
focus "$main"

step="Save the word list as a deck file: a .korva deck unless another ending is typed"
menu f a
save_as "$work/decks/list"
wait_window_gone '^名前を付けて保存$'
wait_file "$work/decks/list.korva"
focus "$main"
menu f x
wait_exit

step="the deck saved from the word list"
expected='{"total":3,"modes":{"TurnMode":1,"ReservedMode":1,"ViewKind":4,"AnswerMode":1},"cards":[{"question":1,"checks":[false,false],"items":["word","meaning"],"memory":[null,null]},{"question":1,"checks":[false,false],"items":["book","hon, shomotsu"],"memory":[null,null]},{"question":1,"checks":[false,false],"items":["tree","ki\nmoku"],"memory":[null,null]}]}'
actual=$("$korva_deck" show "$work/decks/list.korva") || fail "korva-deck cannot read the deck"
[ "$actual" = "$expected" ] || fail "deck is $actual"

# The card editor of a deck with a mark: an item fixed, a card inserted, one
# deleted, the deletion undone and made again, and the deck saved with Ctrl+S.
step="the card editor opens from 機能 on the card on show"
cp "$work/decks/studied.krv" "$work/decks/edited.krv"
start_program "$work/decks/edited.krv"
wait_card_window
menu w e
step="the card editor: fix an item, insert a card, delete one, undo and redo"
keys Down Right
xdotool type --delay 10 NEKO
keys Return Up Insert
xdotool type --delay 10 dog
keys Return Up Delete ctrl+z ctrl+y
step="the card editor: Ctrl+S saves the deck"
keys ctrl+s
edited='{"total":2,"modes":{"TurnMode":1,"ReservedMode":1,"ViewKind":4,"AnswerMode":2},"cards":[{"question":1,"checks":[false,false],"items":["dog",""],"memory":[null,null]},{"question":1,"checks":[true,false],"items":["cat","NEKO"],"memory":[null,null]}]}'
deadline=$((SECONDS + limit))
until [ "$("$korva_deck" show "$work/decks/edited.krv" 2>/dev/null)" = "$edited" ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "deck is $("$korva_deck" show "$work/decks/edited.krv")"
  sleep 0.05
done
step="the card editor closes alone; the saved card window ends without asking"
menu f c
menu f x
wait_exit

# Text typed into a cell is an edit before it is committed: a program ended
# by a signal keeps it in its recovery copy.
step="the card editor: an open cell at SIGTERM goes into the recovery copy"
cp "$work/decks/studied.krv" "$work/decks/typed.krv"
start_program "$work/decks/typed.krv"
wait_card_window
menu w e
xdotool type --delay 10 WOLF
# A menu opened and closed again shows that the typing has been taken in;
# the cell stays open.
menu e
keys Escape
wait_menus 0
kill -TERM "$pid"
wait_exit 143
copy=$(compgen -G "$work/home/.local/state/korva/program-*/deck-*.krv" | head -n 1) || fail "no recovery copy"
"$korva_deck" show "$copy" | grep -q '"WOLF"' || fail "the copy is $("$korva_deck" show "$copy")"
rm -rf "$work/home/.local/state/korva"

# A deck in any language: Korean and French typed into a new deck's editor,
# a Korean answer judged in TEST style and checked, the deck saved as .korva
# (the ending the save dialog selects for a new deck), opened again, and its
# record read back by korva-deck.
step="a new deck: Korean and French cards typed in its editor"
start_program
menu f n
keys Insert
# Letters missing from the keyboard map are typed through a key xdotool maps
# for each: slowly enough for the program to read each new map first.
xdotool type --delay 150 "école"
keys Return Right
xdotool type --delay 150 "학교"
keys Return Insert
xdotool type --delay 150 "りんご"
keys Return Right
xdotool type --delay 150 "사과"
keys Return
menu f c
step="a new deck: a Korean answer judged right in TEST style, then checked"
wait_card_window
# Card 1 is the first typed: the second Insert put its card after it.
menu w s t
xdotool type --delay 150 "학교"
keys Return
focus "$(wait_window '^KORVA!!$')"
keys Return
wait_window_gone '^KORVA!!$'
focus "$main"
keys semicolon
step="a new deck: saved as .korva without typing the ending"
menu f a
save_as "$work/decks/world"
wait_window_gone '^名前を付けて保存$'
wait_file "$work/decks/world.korva"
focus "$main"
menu f x
wait_exit
step="a new deck: opened again, its cards and its record as saved"
start_program "$work/decks/world.korva"
wait_card_window
menu f x
wait_exit
"$korva_deck" show "$work/decks/world.korva" | grep -q '"items":\["りんご","사과"\]' ||
  fail "deck is $("$korva_deck" show "$work/decks/world.korva")"
"$korva_deck" show "$work/decks/world.korva" | grep -q '"items":\["école","학교"\]' ||
  fail "deck is $("$korva_deck" show "$work/decks/world.korva")"
record=$("$korva_deck" log "$work/decks/world.korva") || fail "korva-deck cannot read the record"
[ "$(printf '%s\n' "$record" | head -n 1)" = "time,card,item,result,style,judged" ] || fail "record is $record"
printf '%s\n' "$record" | tail -n +2 | grep -Eq '^[0-9T:.-]+Z,1,1,checked,test,right$' || fail "record is $record"

step="an environment file that cannot be opened stops the start"
rm -f "$env_file"
mkdir "$env_file"
"$work/program/korva" >"$work/korva.log" 2>&1 &
pid=$!
report=$(wait_window '^KORVA!!$')
[ -z "$(visible_windows --name "$main_title")" ] || fail "main window shown"
focus "$report"
keys Return
wait_exit 1

rm -rf "$work"
echo "whole program test: passed"
