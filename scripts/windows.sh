#!/bin/sh
# Cross-builds Kiboru and its tests for 64-bit Windows with MinGW-w64 into
# build-windows ($KIBORU_WINDOWS_BUILD_DIR) and runs the tests under Wine
# through ctest. Then, where the packaging scripts are present, makes the zip
# and the installer and tests the installer. Exits non-zero on any failure.
# Arguments go to the ctest run.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/${KIBORU_WINDOWS_BUILD_DIR:-build-windows}"
cache="$HOME/.cache/kiboru"
qt="${KIBORU_QT_MINGW:-$cache/qt6-mingw}"
archive="$root/../shared/toolchains/qt-mingw/qt6.4.2-mingw64.tar.xz"
started=$(date +%s)
step() { echo "== windows: $1 ($(( $(date +%s) - started )) s so far)"; }

sh scripts/setup.sh

if [ ! -f "$qt/mingw-w64.cmake" ]; then
  step "unpacking Qt for Windows into $cache"
  mkdir -p "$cache"
  tar -C "$cache" -xJf "$archive"
fi

step "libzip for Windows (scripts/build-libzip-mingw.sh; once, then cached)"
libzip="${KIBORU_LIBZIP_MINGW:-$HOME/.cache/kiboru/libzip-mingw}"
sh scripts/build-libzip-mingw.sh

step "configure and build in $build"
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/mingw-w64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt;$libzip" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="sh;$root/scripts/wine-run.sh;$build"
cmake --build "$build"

# One Wine prefix per build folder, made once (about 10 s). The GUI tests
# choose the offscreen platform themselves (tests/support/TestMain.h). Wine
# hands no QT_* variable to a Windows program, so the prefix's registry sets
# them: QT_FORCE_STDERR_LOGGING, as without a console window Qt Test would
# write its results to the debugger (OutputDebugString), not the terminal;
# QT_QPA_FONTDIR, the one folder whose fonts Qt's offscreen platform for
# Windows draws with: the Japanese fonts of the Linux build, standing in for
# a Windows that lacks the layouts' fonts.
mkdir -p "$build/fonts"
for family in IPAPGothic IPAPMincho MotoyaLMaru; do
  ln -sf "$(fc-match -f '%{file}' "$family")" "$build/fonts/"
done
if ! grep -qs QT_QPA_FONTDIR "$build/wine/user.reg"; then
  step "making the Wine prefix $build/wine"
  wine_env() { sh scripts/wine-run.sh "$build" reg add 'HKCU\Environment' /v "$1" /d "$2" /f; }
  sh scripts/wine-run.sh "$build" wineboot -i
  wine_env QT_FORCE_STDERR_LOGGING 1
  wine_env QT_QPA_FONTDIR "$(WINEPREFIX="$build/wine" winepath -w "$build/fonts")"
  WINEPREFIX="$build/wine" wineserver -w
fi

step "tests under Wine"
(cd "$build" && ctest --output-on-failure --timeout 600 "$@")

# The tests of label share once more, their working folders on a Samba share
# of this machine (scripts/smb-share.sh), named to the Windows programs by
# their Z: paths (Wine hands KIBORU_* variables on). Test functions that save
# skip there (tests/support/TestFolder.h).
step "tests of label share under Wine with their working folders on a Samba share"
(cd "$build" && WINEPREFIX="$build/wine" sh "$root/scripts/smb-share.sh" run "$build/smb-share" sh -c '
  set -e
  KIBORU_TEST_ROOT=$(winepath -w "$KIBORU_TEST_ROOT")
  KIBORU_TEST_ROOT_B=$(winepath -w "$KIBORU_TEST_ROOT_B")
  [ -n "$KIBORU_TEST_ROOT" ] && [ -n "$KIBORU_TEST_ROOT_B" ] || exit 1
  export KIBORU_TEST_ROOT KIBORU_TEST_ROOT_B
  ctest -L share --output-on-failure --timeout 600')
WINEPREFIX="$build/wine" wineserver -k 2>/dev/null || true

if [ -f scripts/windows-package.sh ]; then
  step "zip and installer"
  sh scripts/windows-package.sh
fi
if [ -f packaging/windows/test-installer.sh ]; then
  step "installer test"
  sh packaging/windows/test-installer.sh
fi
step "all passed"
