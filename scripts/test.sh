#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --build build
ctest --test-dir build --output-on-failure --timeout 600 -j2
