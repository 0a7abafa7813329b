#!/bin/sh
# The Debian package as an office gets it: made by CPack from BUILD_DIR,
# installed on this machine with apt-get, and started as the menu entry
# starts it (kiboru-office) with a fresh home folder, on an X server of its
# own (Xvfb, xcb platform). Passes when
#   - the package holds the program, launcher, menu entry, icon and demo
#     folder, and depends on the Qt 6 and font packages;
#   - a data folder named but missing makes the launcher stop with a message
#     and create nothing;
#   - the first start makes ~/Kiboru from the installed demo folder, the
#     program runs in that folder and its main window "Kiboru" shows;
#   - a click on "終　　了" ends the program with exit code 0.
# A package that was not installed before is removed again afterwards.
#
#   KIBORU_PACKAGE_TEST=1 sh packaging/test-package.sh BUILD_DIR
#
# Needs root (or sudo without a password), xvfb-run and xdotool. Exits with
# 77 (skipped) without KIBORU_PACKAGE_TEST=1 or when it may not install
# packages.
set -eu

if [ "${1:-}" = "--in-x" ]; then
    # ---- runs inside xvfb-run: start, wait for the window, close ----------
    home=$2
    log=$home/kiboru.log
    cd /
    env -u KIBORU_DATA -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=xcb \
        kiboru-office >"$log" 2>&1 &
    pid=$!
    window=""
    tries=0
    while [ -z "$window" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "FAIL: the program ended before its window showed:"; cat "$log"; exit 1
        fi
        tries=$((tries + 1))
        if [ "$tries" -gt 120 ]; then
            echo "FAIL: no window named Kiboru after 60 s"; cat "$log"; kill "$pid"; exit 1
        fi
        sleep 0.5
        window=$(xdotool search --onlyvisible --name '^Kiboru$' 2>/dev/null | head -n 1 || true)
    done
    echo "main window shown: X window $window, after about $((tries / 2)) s"
    cwd=$(readlink "/proc/$pid/cwd")
    if [ "$cwd" != "$home/Kiboru" ]; then
        echo "FAIL: the program works in $cwd, not in $home/Kiboru"; kill "$pid"; exit 1
    fi
    echo "working folder: $cwd"
    # "終　　了" (Button2) lies at 416,312 with size 121x41 in the window.
    xdotool mousemove --sync --window "$window" 476 332 click 1
    # The data folder holds the demo's claims and no backup yet: the backup
    # reminder asks; いいえ, its default button, closes at once.
    tries=0
    question=""
    while [ -z "$question" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 60 ]; then
            echo "FAIL: no backup reminder (a window named 確認) 30 s after the click on 終了"; kill "$pid"; exit 1
        fi
        sleep 0.5
        question=$(xdotool search --onlyvisible --name '^確認$' 2>/dev/null | head -n 1 || true)
    done
    echo "backup reminder shown: X window $question; answered いいえ"
    sleep 0.5
    xdotool key Return
    tries=0
    while kill -0 "$pid" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 60 ]; then
            echo "FAIL: the program still runs 30 s after the click on 終了"; kill "$pid"; exit 1
        fi
        sleep 0.5
    done
    status=0
    wait "$pid" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAIL: the program ended with exit code $status"; cat "$log"; exit 1
    fi
    echo "ended by 終了 and いいえ with exit code 0"
    exit 0
fi

if [ "${KIBORU_PACKAGE_TEST:-0}" != 1 ]; then
    echo "skipped: set KIBORU_PACKAGE_TEST=1 to make, install and start the package"
    exit 77
fi
build=$(cd "${1:?usage: test-package.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO="sudo -n"
else
    echo "skipped: installing the package needs root or sudo without a password"
    exit 77
fi
for tool in cpack dpkg-deb apt-get xvfb-run xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (sh scripts/setup.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
chmod 755 "$work"
installed_before=no
dpkg-query -W -f='${Status}' kiboru 2>/dev/null | grep -q "install ok installed" && installed_before=yes
cleanup() {
    if [ "$installed_before" = no ]; then
        $SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q -o DPkg::Lock::Timeout=300 kiboru >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# ---- the package --------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
set -- "$work"/pkg/kiboru_*.deb
[ -f "$1" ] || { cat "$work/cpack.log"; echo "FAIL: cpack made no kiboru_*.deb"; exit 1; }
deb=$1
echo "package: $(basename "$deb")"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" | tee "$work/contents.txt"

failed=0
for path in ./usr/bin/kiboru ./usr/bin/kiboru-office \
            ./usr/share/applications/kiboru.desktop \
            ./usr/share/icons/hicolor/scalable/apps/kiboru.svg \
            ./usr/share/kiboru/demo/H20入学.CSV ./usr/share/kiboru/demo/H28入学.CSV \
            ./usr/share/kiboru/demo/seikyu/ ./usr/share/doc/kiboru/guide-ja.md \
            ./usr/share/doc/kiboru/LICENSE; do
    awk '{print $6}' "$work/contents.txt" | grep -qxF "$path" || { echo "FAIL: the package lacks $path"; failed=1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libzip4 \
           fonts-ipafont-gothic fonts-ipafont-mincho fonts-motoya-l-maruberi; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$dep\b" || { echo "FAIL: Depends lacks $dep"; failed=1; }
done
[ "$failed" -eq 0 ] || exit 1

# ---- install ------------------------------------------------------------
cp "$deb" "$work/"
(cd "$work" && $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q -o DPkg::Lock::Timeout=300 "./$(basename "$deb")")
dpkg-query -W -f='${Package} ${Version} ${Status}\n' kiboru
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate /usr/share/applications/kiboru.desktop
    echo "desktop entry valid"
fi

# ---- the launcher with a folder that does not exist ----------------------
mkdir -m 755 "$work/home"
status=0
env -u DISPLAY HOME="$work/home" KIBORU_DATA="$work/nowhere" kiboru-office >"$work/missing.log" 2>&1 || status=$?
cat "$work/missing.log"
if [ "$status" -eq 0 ] || [ -e "$work/nowhere" ] || [ -e "$work/home/Kiboru" ]; then
    echo "FAIL: a missing KIBORU_DATA folder was not refused, or something was made"; exit 1
fi
grep -q "$work/nowhere" "$work/missing.log" || { echo "FAIL: the launcher did not name the missing folder"; exit 1; }

# ---- first start from the menu's launcher ---------------------------------
xvfb-run -a -s "-screen 0 1280x1024x24" sh "$here/test-package.sh" --in-x "$work/home"
for f in H20入学.CSV H28入学.CSV seikyu; do
    [ -e "$work/home/Kiboru/$f" ] || { echo "FAIL: ~/Kiboru lacks $f"; exit 1; }
done
echo "PASS: installed, started in ~/Kiboru (made from the demo folder), main window shown, ended with 0"
