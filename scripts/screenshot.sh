#!/usr/bin/env bash
# Starts the program on a virtual X display (Xvfb) in a scratch working
# folder and saves a picture of its main window, so anyone can look at it.
# Usage: scripts/screenshot.sh [output.png]   (default: build/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/screenshot.png}")"
scripts/setup.sh
cmake --build build --target tarvel-terminal
program="$PWD/build/src/tarvel-terminal"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1280x800x24" "$program" --screenshot "$out"
echo "Saved $out"
