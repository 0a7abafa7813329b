#!/bin/sh
# Installs what is missing, builds, and runs every test.
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh build
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 600 "$@"
