#!/usr/bin/env bash
# installed_program_test.sh BUILD_DIR SOURCE_DIR OUT_DIR FORTIFIED
#
# KORVA as a desktop application: the desktop entry and the AppStream file
# validate, an install into a staging folder holds every file, the Debian
# package is the same byte for byte when made again in another folder and
# carries its dependencies and files, and the staged program, run by
# an ordinary user on a virtual X display with a home of its own, keeps its
# environment file in that user's configuration folder and opens the decks
# named on its command line. A copy in a folder whose name is not UTF-8 keeps
# its environment file beside itself.
#
# The install and the user's home are staged in a fresh folder under the
# system's temporary folder, which the ordinary user can enter wherever the
# build lies; the folder goes when the test ends, passed or not, and a
# failure leaves its screenshot under OUT_DIR.
set -euo pipefail

limit=15
step="set-up"
fail() {
  echo "installed program test: FAILED at step: $step${1:+ ($1)}" >&2
  [ -n "${screenshot:-}" ] && import -window root "$screenshot" 2>/dev/null && echo "screenshot: $screenshot" >&2
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

# ---- run by the ordinary user, on the virtual display ---------------------
if [ "${1:-}" = "--as-user" ]; then
  work=$2
  stage="$work/stage"
  screenshot="$work/home/installed-program-failure.png"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/home/runtime" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=
  . "$(dirname "$0")/x_steps.sh"
  unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_CURRENT_DESKTOP DESKTOP_SESSION GTK_MODULES || true
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  mkdir -p "$HOME/decks"
  main_title='^暗記支援ソフトウェア　KORVA!! '
  pid=""

  wait_exit() {
    timeout "$limit" bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.05; done' _ "$pid" || fail "program still running"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
  }
  focus() { xdotool windowfocus --sync "$1" || fail "cannot focus $1"; }
  keys() { xdotool key --delay 20 "$@"; }

  step="the staged program starts with two files named on its command line"
  printf 'apple,ringo\r\ncat,neko\r\n' >"$HOME/decks/words.csv"
  (cd "$HOME/decks" && exec "$stage/usr/bin/korva" words.csv gone.krv) >"$HOME/korva.log" 2>&1 &
  pid=$!
  main=$(wait_window "$main_title")
  step="the file that is missing gets File > Open's message"
  report=$(wait_window '^KORVA!!$')
  focus "$report"
  keys Return
  # Until the message has gone, it keeps the keys from the main window.
  wait_window_gone '^KORVA!!$'

  step="the environment file lies in the user's configuration folder"
  [ "$(od -An -tx1 "$HOME/.config/korva/environment.kfg" | tr -d ' \n')" = "0000" ] || fail "no ~/.config/korva/environment.kfg"
  [ ! -e "$stage/usr/bin/environment.kfg" ] || fail "environment file beside the program"

  step="the card window holds words.csv: save it as a deck through a Japanese save dialog"
  focus "$main"
  menu f a
  dialog=$(wait_window '^名前を付けて保存$')
  focus "$dialog"
  keys ctrl+a
  xdotool type --delay 10 "$HOME/decks/saved.krv"
  keys Return
  timeout "$limit" bash -c 'until [ -s "$1" ]; do sleep 0.05; done' _ "$HOME/decks/saved.krv" || fail "no saved deck"
  [ "$("$stage/usr/bin/korva-deck" show "$HOME/decks/saved.krv" | grep -o '"items":\[[^]]*\]' | tr -d '\n')" = '"items":["apple","ringo"]"items":["cat","neko"]' ] ||
    fail "saved deck is not words.csv"

  step="the card window's File > Exit ends the program"
  focus "$main"
  menu f x
  wait_exit

  step="a copy in a folder whose name is not UTF-8 keeps its files beside itself"
  odd="$work/home/$(printf 'kor\377va')"
  mkdir "$odd"
  cp "$stage/usr/bin/korva" "$odd/korva"
  "$odd/korva" >"$HOME/korva.log" 2>&1 &
  pid=$!
  main=$(wait_window "$main_title")
  [ "$(od -An -tx1 "$odd/environment.kfg" | tr -d ' \n')" = "0000" ] || fail "no environment file beside the copy"
  focus "$main"
  menu f x
  wait_exit
  exit 0
fi

# ---- run by whoever runs the tests -----------------------------------------
build=$(realpath "$1")
src=$(realpath "$2")
mkdir -p "$3"
out=$(realpath "$3")
fortified=$4
rm -f "$out/installed-program-failure.png"
work=$(mktemp -d -p /tmp korva-installed.XXXXXX)
clean_up() {
  local shot="$work/home/installed-program-failure.png"
  [ ! -f "$shot" ] || cp "$shot" "$out/" || true
  rm -rf "$work"
}
trap clean_up EXIT
chmod 755 "$work"
stage="$work/stage"

step="the desktop entry and the AppStream file validate"
desktop-file-validate "$src/data/org.example.korva.desktop" || fail
appstreamcli validate --no-net "$src/data/org.example.korva.metainfo.xml" >"$work/appstream.log" 2>&1 || fail "$(cat "$work/appstream.log")"

files=(
  usr/bin/korva usr/bin/korva-deck usr/share/korva/help/index.html
  usr/share/applications/org.example.korva.desktop usr/share/metainfo/org.example.korva.metainfo.xml
  usr/share/mime/packages/korva.xml usr/share/doc/korva/copyright usr/share/lintian/overrides/korva
  usr/share/korva/sample.korva
)
gzipped=(usr/share/doc/korva/changelog.gz)
for page in korva korva-deck; do gzipped+=("usr/share/man/man1/$page.1.gz" "usr/share/man/ja/man1/$page.1.gz"); done
files+=("${gzipped[@]}")
for size in 16 24 32 48 64 128 256; do files+=("usr/share/icons/hicolor/${size}x${size}/apps/korva.png"); done

step="a staged install holds every file"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" || fail "$(cat "$work/install.log")"
for f in "${files[@]}"; do [ -s "$stage/$f" ] || fail "missing $f"; done
for size in 16 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$stage/usr/share/icons/hicolor/${size}x${size}/apps/korva.png")" = "${size}x${size}" ] ||
    fail "icon ${size} has another size"
done
# gzip -9n: no file name, no time, best compression (XFL 2), made on Unix.
for f in "${gzipped[@]}"; do
  [ "$(od -An -tx1 -N10 "$stage/$f" | tr -d ' \n')" = 1f8b0800000000000203 ] || fail "$f is not gzip -9n"
done

step="man shows each page in Japanese under a Japanese locale and in English otherwise, without a warning"
mkdir "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" || fail "cannot make the ja_JP.UTF-8 locale"
man_shows() { # HEADING [SETTING=VALUE...] man ARGS...: shows HEADING, and neither man nor troff complains
  local heading=$1
  shift
  env MANPATH="$stage/usr/share/man" MANWIDTH=80 "$@" >"$work/man.txt" 2>"$work/man.err" || fail "$*: $(cat "$work/man.err")"
  [ ! -s "$work/man.err" ] || fail "$*: $(head -1 "$work/man.err")"
  grep -qx "$heading" "$work/man.txt" || fail "$* shows no $heading"
}
ja=(LC_ALL=ja_JP.UTF-8 LOCPATH="$work/locale")
for page in korva korva-deck; do
  man_shows 名前 "${ja[@]}" man --warnings "$page"
  man_shows NAME LC_ALL=C.UTF-8 man --warnings "$page"
  # man -l takes the installed page for Japanese too, by its folder.
  man_shows 名前 "${ja[@]}" man --warnings -l "$stage/usr/share/man/ja/man1/$page.1.gz"
done

step="*.krv is a KORVA deck for the desktop"
update-mime-database "$stage/usr/share/mime" >/dev/null 2>&1 || fail
grep -qx 'application/x-korva-deck:\*\.krv' "$stage/usr/share/mime/globs" || fail "no glob for *.krv"
grep -qx 'application/x-korva-deck:x-office-document' "$stage/usr/share/mime/generic-icons" || fail "no generic icon"

step="*.korva, and an SQLite file with KORVA's application id, is a KORVA deck for the desktop"
grep -qx 'application/x-korva-unicode-deck:\*\.korva' "$stage/usr/share/mime/globs" || fail "no glob for *.korva"
grep -qa '^\[60:application/x-korva-unicode-deck\]$' "$stage/usr/share/mime/magic" || fail "no magic for .korva"
[ "$("$stage/usr/bin/korva-deck" stats "$stage/usr/share/korva/sample.korva" | grep -o '"total":[0-9]*\|"checked":{[^}]*}' | tr '\n' ' ')" = '"total":30 "checked":{"item1":10,"item2":0} ' ] ||
  fail "the sample deck does not hold its 30 cards, every third checked"

step="the Debian package carries its dependencies and files"
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || fail "$(tail -5 "$work/cpack.log")"
deb="$work/package/korva_1.0_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"

step="packaged again in another folder, the package is the same byte for byte, with no time after the commit's"
cpack --config "$build/CPackConfig.cmake" -B "$work/package-again" >"$work/cpack.log" 2>&1 || fail "$(tail -5 "$work/cpack.log")"
cmp "$deb" "$work/package-again/$(basename "$deb")" || fail "the two packages differ"
if epoch=$(git -C "$src" log -1 --format=%ct 2>/dev/null); then
  times=$(TZ=UTC ar tv "$deb" | awk '{ print $4, $5, $7, $6 }')
  for part in --ctrl-tarfile --fsys-tarfile; do
    times+=$'\n'$(dpkg-deb "$part" "$deb" | TZ=UTC tar -tv --full-time | awk '{ print $4, $5 }')
  done
  while read -r when; do
    [ "$(date -ud "$when" +%s)" -le "$epoch" ] || fail "a time in the package, $when, is after the commit's"
  done <<<"$times"
fi

step="the Debian package carries its dependencies and files"
info=$(dpkg-deb -I "$deb")
for want in '^ Maintainer: Team Yorimichi <korva@example.org>$' '^ Depends: .*libqt6widgets6' \
  '^ Depends: .*fonts-ipafont-gothic' '^ Depends: .*qt6-translations-l10n' \
  '^ Recommends: .*xdg-utils' '^ Recommends: .*fcitx5-frontend-qt6 | ibus'; do
  grep -q -- "$want" <<<"$info" || fail "control lacks $want"
done
[ "$(dpkg-deb -f "$deb" Description | tail -n +2 | grep -c '^ [^ ]')" -ge 3 ] || fail "no wrapped extended description"
contents=$(dpkg-deb -c "$deb")
for f in "${files[@]}"; do grep -q " \./$f\$" <<<"$contents" || fail "package lacks $f"; done
! grep -q cp932-table <<<"$contents" || fail "package carries the code page 932 test table"

step="the packaged programs have the stack protector, and lintian finds nothing left to fix"
dpkg-deb -x "$deb" "$work/unpacked"
for program in korva korva-deck; do
  grep -q ' __stack_chk_fail' <<<"$(readelf --dyn-syms -W "$work/unpacked/usr/bin/$program")" || fail "$program unprotected"
done
# A sanitizer or Debug build has no fortified calls to find.
unfortified=()
[ "$fortified" = 1 ] || unfortified=(--suppress-tags hardening-no-fortify-functions)
lintian -EvIL +pedantic --fail-on error,warning,info "${unfortified[@]}" "$deb" >"$work/lintian.log" 2>&1 || fail "$(grep -v '^N:' "$work/lintian.log")"

step="run as an ordinary user"
mkdir "$work/home"
# The user may not enter the source folder either: the test's own scripts
# run from a copy beside the staged install.
here=$(dirname "$0")
mkdir -m 755 "$work/test"
install -m 755 "$0" "$here/virtual_display.sh" "$here/x_steps.sh" "$work/test/"
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$work/home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
  as_user=()
fi
(cd "$work" && "${as_user[@]}" test/virtual_display.sh "$work/test/$(basename "$0")" --as-user "$work") ||
  fail "screenshot, if any: $out/installed-program-failure.png"
echo "installed program test: passed"
