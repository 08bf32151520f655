#!/usr/bin/env bash
# check-style.sh [BUILD_DIR [PATH_REGEX]]: fails on any formatting slip and
# any analyser finding, naming file and line. The analyser reads BUILD_DIR's
# compile database, so that build must be configured and built (moc files
# included); the fuzz targets are read through build-fuzz's beside it, when
# that build exists. PATH_REGEX narrows the analysis to the sources whose
# path below the checkout it matches, e.g. 'study/' or 'deck/DeckRecord', and
# runs the whole check set on them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
only=${2:-}

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror

# Each source once even where several targets compile it; our own headers are
# checked through HeaderFilterRegex. run-clang-tidy-14 always asks for colour;
# the log keeps plain text.
tidy() {  # BUILD_DIR PATH_REGEX [EXTRA_CHECKS]
  run-clang-tidy-14 -p "$1" -j 2 -quiet ${3:+-checks="$3"} "^$(pwd)/$2.*\.cpp$" 2>&1 |
    sed -E 's/\x1b\[[0-9;]*m//g; /^[^ ]*clang-tidy-14 /d; /^[0-9]+ warnings? generated\.$/d'
}

echo "== clang-tidy"
if [ -n "$only" ]; then
  tidy "$build" "$only"
  exit 0
fi
# The program, its build-time tools and korva-deck get the whole check set. Over the tests,
# benchmarks and fuzzers as well it would take some 20 minutes of processor
# time (10 on two cores); there the house rules alone, naming and braces,
# take a few seconds a source. (clang-analyzer-deadcode.DeadStores flags
# Google Benchmark's 'for (auto _ : state)'; run 'tests/' or 'bench/' as
# PATH_REGEX to see the rest.)
tidy "$build" '(deck|memory|document|editor|study|record|recovery|platform|cardwindow|shell|tools|data)/'
house_rules='-*,readability-identifier-naming,readability-braces-around-statements'
tidy "$build" '(tests|bench)/' "$house_rules"
if [ -f "$build-fuzz/compile_commands.json" ]; then
  tidy "$build-fuzz" 'fuzz/' "$house_rules"
fi
