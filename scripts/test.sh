#!/bin/sh
# Installs what is missing, builds, and runs every test:
#   1. the normal build (folder $KIBORU_BUILD_DIR, default "build"): all tests,
#      then those of label "share" once more with their working folders on a
#      Samba share of this machine, mounted as two PCs (scripts/smb-share.sh;
#      skipped, with the reason, where the share cannot be served);
#   2. the Windows build (build-windows, scripts/windows.sh): cross-built with
#      MinGW-w64, its tests run under Wine, then the zip and the installer;
#   3. everything under AddressSanitizer and UndefinedBehaviorSanitizer
#      (build-asan): all tests again, leaks included;
#   4. the fuzz targets built with clang-16 (build-fuzz): each runs for
#      $KIBORU_FUZZ_SECONDS seconds (default 30);
#   5. the Debian package from the normal build, installed and started.
# Arguments go to the ctest run of step 1 only.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)
step() { echo "== $1 ($(( $(date +%s) - started )) s so far)"; }

sh scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
build="${KIBORU_BUILD_DIR:-build}"

step "normal build and tests in $build"
sh scripts/build.sh "$build"
(cd "$build" && ctest --output-on-failure --timeout 600 "$@")

step "tests of label share in $build with their working folders on a Samba share"
(cd "$build" && sh "$root/scripts/smb-share.sh" run "$(pwd)/smb-share" \
  ctest -L share --output-on-failure --timeout 600)

step "Windows build and tests under Wine in build-windows"
sh scripts/windows.sh

step "build and tests under the sanitizers in build-asan"
sh scripts/build.sh build-asan -DKIBORU_SANITIZE=ON
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure --timeout 900)

step "fuzz targets in build-fuzz"
cmake -S . -B build-fuzz -G Ninja -DKIBORU_FUZZ=ON -DKIBORU_BUILD_TESTS=OFF \
  -DCMAKE_CXX_COMPILER=clang++-16 -DKIBORU_FUZZ_SECONDS="${KIBORU_FUZZ_SECONDS:-30}"
cmake --build build-fuzz --target kiboru_fuzz
(cd build-fuzz && ctest -L fuzz --output-on-failure)

step "Debian package from $build: made, installed on this machine, started under Xvfb (label package; needs root)"
(cd "$build" && KIBORU_PACKAGE_TEST=1 ctest -L package --output-on-failure)

step "all passed"
