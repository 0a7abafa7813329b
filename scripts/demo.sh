#!/bin/sh
# Installs what is missing, builds the program alone (no tests) in its own
# folder ./build-demo, so that the developers' ./build keeps its tests, and
# starts Kiboru in a writable copy of the demo folder (./demo-work, made on
# the first run and kept afterwards so that saved claims survive).
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh program
cmake -S . -B build-demo -G Ninja -DKIBORU_BUILD_TESTS=OFF
cmake --build build-demo --target kiboru
if [ ! -d demo-work ]; then
  mkdir demo-work
  cp -R demo/data/. demo-work/
fi
cd demo-work
exec ../build-demo/app/kiboru
