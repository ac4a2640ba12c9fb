#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, then
# configures the build folder. Run as root or with sudo available.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6 qt6-qpa-plugins
    libpugixml-dev libbenchmark-dev
    socat xvfb fonts-liberation fonts-dejavu
)

scripts/install-packages.sh "${packages[@]}"

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEL_WERROR="$werror" >/dev/null
