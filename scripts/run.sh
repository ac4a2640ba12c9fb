#!/usr/bin/env bash
# Sets up, builds and starts Tarvel Terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --build build --target tarvel-terminal
exec build/src/tarvel-terminal "$@"
