#!/usr/bin/env bash
# check-style.sh [BUILD_DIR [PATH_REGEX]]: fails on any formatting slip and
# any analyser finding, naming file and line. The analyser reads BUILD_DIR's
# compile database, so that build must be configured and built (moc files
# included). PATH_REGEX narrows the analysis to the sources whose path below
# the checkout it matches, e.g. 'study/' or 'deck/DeckRecord'.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# By default the program's and the tool's sources: at 10-25 s of analysis per
# Qt source, adding the tests would take the run well past a few minutes on
# two cores. 'tests/' analyses them on demand.
only=${2:-(deck|study|platform|cardwindow|shell|tools)/}

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror

echo "== clang-tidy"
# Each source once even where several targets compile it; our own headers are
# checked through HeaderFilterRegex.
sources="^$(pwd)/${only}.*\.cpp$"
# run-clang-tidy-14 always asks for colour; the log keeps plain text.
run-clang-tidy-14 -p "$build" -j 2 -quiet "$sources" 2>&1 |
  sed -E 's/\x1b\[[0-9;]*m//g; /^[^ ]*clang-tidy-14 /d; /^[0-9]+ warnings? generated\.$/d'
