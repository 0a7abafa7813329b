#!/bin/sh
# Configures and builds Kiboru in ./build (or the folder given as $1).
set -e
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
shift 2>/dev/null || true
cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR"
