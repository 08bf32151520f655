#!/usr/bin/env bash
# Sets up, builds what it starts (the program with its help page, and the
# korva-deck tool beside it) and starts KORVA. The tests and benchmarks are
# scripts/test.sh's to build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
KORVA_TARGETS="korva korva-deck" scripts/build.sh build
exec build/shell/korva
