#!/bin/sh
# Builds libzip for 64-bit Windows (x86_64-w64-mingw32) from Debian's own
# libzip source package, with Debian's patches applied, and installs it into
# $KIBORU_LIBZIP_MINGW (default ~/.cache/kiboru/libzip-mingw): bin/libzip.dll,
# lib/libzip.dll.a, include/, lib/cmake/libzip/ and lib/pkgconfig/libzip.pc.
# Does nothing when that folder already holds a complete install of the same
# source version as the host's libzip-dev (the stamp file .kiboru-stamp names
# it).
#
# The DLL is built against zlib from libz-mingw-w64-dev and has deflate only:
# no bzip2, no lzma, no crypto backend (so no AES encryption), no tools,
# tests, examples or manuals. A program that uses it ships beside its .exe:
#   $KIBORU_LIBZIP_MINGW/bin/libzip.dll
#   /usr/x86_64-w64-mingw32/lib/zlib1.dll           (package libz-mingw-w64)
# and the MinGW runtime DLLs it already ships.
#
# Needs: g++-mingw-w64-x86-64-posix, libz-mingw-w64-dev, cmake, ninja-build,
# dpkg-dev (scripts/setup.sh installs them) and a deb-src line for bookworm
# main; when none is configured, this script adds one in
# /etc/apt/sources.list.d/kiboru-src.list, for the mirror apt already uses.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
prefix="${KIBORU_LIBZIP_MINGW:-$HOME/.cache/kiboru/libzip-mingw}"
stamp="$prefix/.kiboru-stamp"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

# The version to build: that of the host's libzip-dev, so Linux and Windows
# builds use the same libzip; without libzip-dev, whatever apt offers.
want=$(dpkg-query -W -f='${source:Version}' libzip-dev 2>/dev/null || true)
if [ -f "$stamp" ] && [ -f "$prefix/bin/libzip.dll" ] &&
   { [ -z "$want" ] || [ "$(cat "$stamp")" = "libzip $want" ]; }; then
  echo "libzip for MinGW: $(cat "$stamp") already in $prefix"
  exit 0
fi

# The toolchain file the project's Windows Qt was built with.
toolchain="${KIBORU_QT_MINGW:-$HOME/.cache/kiboru/qt6-mingw}/mingw-w64.cmake"
[ -f "$toolchain" ] || toolchain="$root/../shared/toolchains/qt-mingw/mingw-w64.cmake"
[ -f "$toolchain" ] || { echo "no mingw-w64.cmake toolchain file found" >&2; exit 1; }
toolchain=$(realpath "$toolchain")

# A deb-src line for bookworm main, from the mirror of the configured deb line.
if ! apt-get indextargets --format '$(RELEASE) $(COMPONENT) $(IDENTIFIER)' |
     grep -qx 'bookworm main Sources'; then
  mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(IDENTIFIER)' |
           awk '$2 == "bookworm" && $3 == "main" && $4 == "Packages" { print $1; exit }')
  [ -n "$mirror" ] || { echo "no apt source for bookworm main found" >&2; exit 1; }
  signed=""
  [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] &&
    signed="[signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] "
  echo "Adding deb-src ${signed}$mirror bookworm main"
  echo "deb-src ${signed}$mirror bookworm main" |
    $SUDO tee /etc/apt/sources.list.d/kiboru-src.list >/dev/null
  $SUDO apt-get update -qq
fi

work="$prefix.work"
# Only what this script installs goes: the folder may have been named by hand.
rm -rf "$work" "$stamp" "$prefix/bin" "$prefix/include" "$prefix/lib" "$prefix/share"
mkdir -p "$work"
cd "$work"
if [ -n "$want" ]; then
  apt-get source --download-only -qq "libzip=$want" || apt-get source --download-only -qq libzip
else
  apt-get source --download-only -qq libzip
fi
dsc=$(ls libzip_*.dsc)
version=$(sed -n 's/^Version: //p' "$dsc")
# dpkg-source checks the signature and checksums and applies debian/patches.
dpkg-source -x "$dsc" src >/dev/null

# Options as libzip 1.7.3's CMakeLists.txt names them (it has no zstd). With no
# crypto backend (Windows Cryptography is on by default) AES encryption is off.
nice -n 10 cmake -S src -B build -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=ON \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.dll.a \
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
  > configure.log
nice -n 10 cmake --build build -j2 > build.log
cmake --install build > install.log
x86_64-w64-mingw32-strip --strip-unneeded "$prefix/bin/libzip.dll"

# Keep the licences beside the install.
mkdir -p "$prefix/share/doc/libzip"
cp src/LICENSE src/debian/copyright "$prefix/share/doc/libzip/"
cd /
rm -rf "$work"
echo "libzip $version" > "$stamp"
echo "libzip for MinGW: libzip $version installed in $prefix"
