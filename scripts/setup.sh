#!/bin/sh
# Installs the Debian packages that Kiboru needs to build, run and test,
# but only those that are missing. Works as root or as a user with sudo.
# clang-16 with libclang-rt-16-dev builds the fuzz targets (libFuzzer and the
# sanitizers' runtimes); llvm gives llvm-symbolizer for readable reports.
# poppler-utils gives pdftotext, with which the tests read printed lists.
# libfuse3-dev and fuse3 build and mount slowfs, the file server stand-in
# of a test and the benchmarks (tests/support/slowfs).
# samba and smbnetfs serve a share on this machine and mount it twice through
# FUSE, as two office PCs, for the tests run over a file server
# (scripts/smb-share.sh).
# libzip-dev reads and writes the ZIP backups; libz-mingw-w64-dev and dpkg-dev
# (dpkg-source) let scripts/build-libzip-mingw.sh build libzip for Windows.
# "sh scripts/setup.sh program" installs only what building and running the
# program needs (scripts/demo.sh).
set -e
PROGRAM="cmake ninja-build g++ make qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libzip-dev
      fonts-ipafont-gothic fonts-ipafont-mincho fonts-motoya-l-maruberi"
PKGS="$PROGRAM
      libbenchmark-dev unzip xvfb xauth xdotool desktop-file-utils
      clang-16 libclang-rt-16-dev llvm
      poppler-utils imagemagick g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 nsis
      libfuse3-dev fuse3 samba smbnetfs
      libz-mingw-w64-dev dpkg-dev"
[ "$1" = program ] && PKGS=$PROGRAM
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  echo "Installing:$missing"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing
fi
