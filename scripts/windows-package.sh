#!/bin/sh
# What Windows users install, made from the MinGW cross build:
#   BUILD/kiboru-<version>-windows-x64.zip   the program folder "Kiboru" to unpack anywhere
#   BUILD/kiboru-<version>-setup.exe         the installer (NSIS) of the same files
#
#   sh scripts/windows-package.sh [BUILD_DIR]   (default build-windows or $KIBORU_WINDOWS_BUILD_DIR)
#
# Configures BUILD_DIR with the MinGW toolchain when it is not configured yet
# and builds the target kiboru there. The files of the program folder:
#   kiboru.exe, the DLLs it loads and the Qt plugins (platforms/, styles/),
#     found by walking the DLL imports with objdump from kiboru.exe and the
#     plugins; DLLs found neither in Qt, libzip, zlib nor MinGW are
#     Windows' own;
#   data/      the demo data folder (fictional students);
#   guide/     the Japanese guide and its screenshots;
#   licenses/  the LGPL and GPL texts, where Qt's source is, the GCC runtime
#              exception, the MinGW-w64 notices, libzip's and zlib's licences;
#   README.md
# Needs the MinGW-w64 cross compiler, binutils-mingw-w64 and nsis
# (scripts/setup.sh) and Qt for MinGW in $KIBORU_QT_MINGW
# (default ~/.cache/kiboru/qt6-mingw, see ../shared/toolchains/qt-mingw).
set -eu
cd "$(dirname "$0")/.."
build=${1:-${KIBORU_WINDOWS_BUILD_DIR:-build-windows}}
QT=${KIBORU_QT_MINGW:-$HOME/.cache/kiboru/qt6-mingw}
CXX=x86_64-w64-mingw32-g++-posix
OBJDUMP=x86_64-w64-mingw32-objdump

if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$QT/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$QT" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target kiboru
build=$(cd "$build" && pwd)
exe=$(find "$build" -maxdepth 2 -name kiboru.exe -not -path '*/package/*' | head -n 1)
[ -f "$exe" ] || { echo "no kiboru.exe in $build" >&2; exit 1; }

version=$(sed -n 's/^project(Kiboru VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt" >&2; exit 1; }
# libzip.dll from scripts/build-libzip-mingw.sh, zlib1.dll from libz-mingw-w64.
runtime_dirs="$QT/bin $(dirname "$($CXX -print-file-name=libstdc++-6.dll)") \
$(dirname "$($CXX -print-file-name=libwinpthread-1.dll)") \
${KIBORU_LIBZIP_MINGW:-$HOME/.cache/kiboru/libzip-mingw}/bin /usr/x86_64-w64-mingw32/lib"

out=$build/package
stage=$out/Kiboru
rm -rf "$out"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/guide" "$stage/licenses"

# ---- the program and what it loads ---------------------------------------
cp "$exe" "$stage/kiboru.exe"
cp "$QT/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
find_runtime() {
    for dir in $runtime_dirs; do
        [ -f "$dir/$1" ] && { echo "$dir/$1"; return 0; }
    done
    return 1
}
# copy_imports FILE: every DLL that FILE imports and that is ours to ship,
# and theirs in turn.
copy_imports() {
    for dll in $($OBJDUMP -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r'); do
        [ -f "$stage/$dll" ] && continue
        if path=$(find_runtime "$dll"); then
            cp "$path" "$stage/$dll"
            copy_imports "$stage/$dll"
        else
            echo "$dll" >>"$out/system-dlls.txt"
        fi
    done
}
: >"$out/system-dlls.txt"
for file in "$stage/kiboru.exe" "$stage"/platforms/*.dll "$stage"/styles/*.dll; do
    copy_imports "$file"
done
# Debian's MinGW runtime DLLs carry their debugging symbols (libstdc++ 23 MB).
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

# ---- data, guide, licences -------------------------------------------------
cp -R demo/data "$stage/data"
cp README.md "$stage/"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
cp docs/guide-ja.md docs/guide-*.png "$stage/guide/"
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc-runtime-copyright.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64-copyright.txt"
cp "${KIBORU_LIBZIP_MINGW:-$HOME/.cache/kiboru/libzip-mingw}/share/doc/libzip/LICENSE" "$stage/licenses/libzip-LICENSE.txt"
cp /usr/share/doc/libz-mingw-w64/copyright "$stage/licenses/zlib-copyright.txt"
cp packaging/windows/licenses.txt "$stage/licenses/README.txt"

# ---- zip and installer -----------------------------------------------------
zipfile=$build/kiboru-$version-windows-x64.zip
rm -f "$zipfile"
# CMake's zip marks the names as UTF-8, so that Windows shows 「H20入学.CSV」.
(cd "$out" && cmake -E tar cf "$zipfile" --format=zip Kiboru)
# The installer's lists of program files (everything but data/): what it
# puts into the program folder and what its uninstaller removes, file by file,
# so that the uninstaller never deletes anything it did not install.
(cd "$stage" && find . -path ./data -prune -o -type f -print | sed 's|^\./||' | sort) >"$out/files.txt"
while read -r file; do
    dir=$(dirname "$file")
    [ "$dir" = . ] && dir="" || dir="\\$(echo "$dir" | tr / '\\')"
    echo "SetOutPath \"\$INSTDIR$dir\""
    echo "File \"$stage/$file\""
done <"$out/files.txt" >"$out/install-files.nsh"
while read -r file; do
    echo "Delete \"\$INSTDIR\\$(echo "$file" | tr / '\\')\""
done <"$out/files.txt" >"$out/uninstall-files.nsh"
(cd "$stage" && find . -mindepth 1 -path ./data -prune -o -type d -print | sed 's|^\./||' | sort -r) |
    while read -r dir; do echo "RMDir \"\$INSTDIR\\$(echo "$dir" | tr / '\\')\""; done >>"$out/uninstall-files.nsh"
# The installer's licence page: Kiboru's own licence, then the notice of the
# parts it ships (Qt under the LGPL), UTF-8 with a byte-order mark and CR LF
# as the page reads it.
{ printf '\357\273\277'; cat LICENSE; printf '\n\n'; cat packaging/windows/licenses.txt; } |
    sed 's/\r*$/\r/' >"$out/license-page.txt"
setup=$build/kiboru-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$out" \
    -DLICENSE_PAGE="$out/license-page.txt" \
    -DOUTFILE="$setup" packaging/windows/kiboru.nsi
echo "DLLs left to Windows: $(sort -u "$out/system-dlls.txt" | tr '\n' ' ')"
ls -l "$zipfile" "$setup"
