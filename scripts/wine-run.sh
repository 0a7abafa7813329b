#!/bin/sh
# Runs a Windows program under Wine for the Windows build: ctest's emulator
# (CMAKE_CROSSCOMPILING_EMULATOR) and the screenshots in scripts/windows.sh.
#   sh scripts/wine-run.sh BUILD_DIR PROGRAM.exe [ARGUMENTS...]
# The Wine prefix lives in BUILD_DIR/wine (KIBORU_WINE_PREFIX names another);
# the Qt DLLs, libzip's and the MinGW runtime are found through WINEPATH. Wine passes no
# QT_* variable to a Windows program: give Qt's options on the command line
# ("-platform offscreen").
build=$1
shift
qt="${KIBORU_QT_MINGW:-$HOME/.cache/kiboru/qt6-mingw}"
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPREFIX="${KIBORU_WINE_PREFIX:-$build/wine}" WINEDEBUG="${WINEDEBUG:--all}"
libzip="${KIBORU_LIBZIP_MINGW:-$HOME/.cache/kiboru/libzip-mingw}"
export WINEPATH="$qt/bin;$libzip/bin;$gcc_dlls;/usr/x86_64-w64-mingw32/lib"
exec wine "$@"
