#!/bin/sh
# Installs what is missing, builds, and starts Kiboru in a writable copy of
# the demo folder (./demo-work, made on the first run and kept afterwards so
# that saved claims survive).
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh build
if [ ! -d demo-work ]; then
  mkdir demo-work
  cp -R demo/data/. demo-work/
fi
cd demo-work
exec ../build/app/kiboru
