#!/usr/bin/env bash
# Sets up, builds and starts KORVA.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/shell/korva
