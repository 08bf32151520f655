#!/usr/bin/env bash
# Sets up, builds and runs every test: a sanitizer build, the fuzzers for a
# bounded time, then the ordinary build, whose CTest summary closes the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# Every target: the tests, benchmarks and fuzzers need them all.
unset KORVA_TARGETS

scripts/build.sh build-asan -DKORVA_SANITIZE=ON
# Qt and fontconfig keep process-lifetime allocations that LeakSanitizer reports.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

scripts/build.sh build-fuzz -DKORVA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
scripts/fuzz.sh build-fuzz "${KORVA_FUZZ_SECONDS:-30}"

scripts/build.sh build
# Formatting and analyser findings fail the run; the analyser needs build/'s
# compile database and generated files.
scripts/check-style.sh build
ctest --test-dir build --output-on-failure -j2
