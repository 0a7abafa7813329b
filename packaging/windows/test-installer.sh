#!/bin/sh
# The Windows installer as an office gets it, run under Wine in a fresh prefix
# beside the installer (installer-test/). Passes when
#   - the program folder as data folder is refused, nothing installed;
#   - a silent install (/S, data folder given by /DATA=) puts the program,
#     its Qt platform plugin, the uninstaller, the Start-menu shortcut
#     (「Start in」: the data folder) and the Add/Remove programs entry in
#     place, and makes the data folder from the demo folder;
#   - the installed kiboru.exe, started in the data folder on an X server of
#     its own (Xvfb, Qt's windows platform), is driven like a user:
#     給付入力, entry year 平成21年度, the ID 21104 typed as the reading, 検　索, the first student,
#     occurrence 2, the month 10月 of 2011, 保　存, はい, 保存しました！, then
#     請求状況 (the claims read on a second thread) and 閉じる, 終　　了;
#     it ends with exit code 0 and the claim file is the demo file with just
#     that month marked, byte for byte;
#   - installing again over it leaves the existing data folder as it was;
#   - a silent uninstall removes the program folder, the shortcut and the
#     entry, and leaves the data folder byte for byte.
#
#   sh packaging/windows/test-installer.sh [build-windows/kiboru-1.2-setup.exe]
# (without an argument: the installer of this version in build-windows, or in
# $KIBORU_WINDOWS_BUILD_DIR).
#
# Needs wine (64-bit), xvfb-run, xdotool and imagemagick (a screenshot of
# each step goes to installer-test/shots/ for a look when a step fails).
set -eu

if [ "${1:-}" = "--in-x" ]; then
    # ---- runs inside xvfb-run: the road of a claim ------------------------
    program=$2
    shots=$3
    log=$shots/kiboru.log
    step=0
    shot() { step=$((step + 1)); import -window root "$shots/$step-$1.png"; }
    give_up() { shot fail; echo "FAIL: $1 (screens in $shots)" >&2; exit 1; }
    . "$(dirname "$0")/../window-helpers.sh"

    wine "$program" >"$log" 2>&1 &
    pid=$!
    # Positions are those of the window layouts (app/*.ui, entry/*.ui).
    MAIN=$(wait_window Kiboru)
    sleep 2
    [ "$(windows | wc -l)" -eq 1 ] || give_up "a second window beside the main window at start"
    shot main
    click "$MAIN" 476 196                 # 給付入力
    ENTRY=$(wait_window 給付入力画面)
    click "$ENTRY" 640 20                 # 入学年度: 平成21年度, two below the first
    xdotool key Down Down
    click "$ENTRY" 692 62                 # the reading
    # Under Wine the first key after the reading field gets the focus is
    # lost; an empty field takes Ctrl+A BackSpace harmlessly.
    xdotool key ctrl+a BackSpace
    sleep 0.5
    # The student's ID, in keys that every keyboard map has: Japanese
    # characters given to spare keys reached the program as other ones
    # under Wine in 4 of 6 runs ("は", "はしし", "ははし" for はやし). The
    # search finds the ID in its line as it finds a reading.
    xdotool type --delay 200 21104
    sleep 0.5
    shot search
    click "$ENTRY" 847 66                 # 検　索
    SELECT=$(wait_window 生徒選択)
    click "$SELECT" 300 82                # first line: 21104 林　敏弘
    shot select
    click "$SELECT" 416 32                # 選択決定
    FILES=$(wait_window ファイル選択)
    click "$FILES" 120 82                 # second line: 請21104-2.CSV
    shot occurrence
    click "$FILES" 228 32                 # 決　定
    wait_gone "$FILES"
    # Under Wine the entry window takes clicks only a moment after the
    # dialogs are gone, later still on a loaded machine: each click below is
    # given twice, which changes nothing once the first has landed (the same
    # line chosen again; a month button already chosen gives no notice).
    sleep 3
    click "$ENTRY" 400 482                # the line of 2011
    sleep 1
    click "$ENTRY" 400 482
    shot line
    click "$ENTRY" 532 444                # １０月
    sleep 1
    click "$ENTRY" 532 444
    shot month
    click "$ENTRY" 832 327                # 保　存
    CONFIRM=$(wait_window 確認)
    shot confirm
    click "$CONFIRM" 52 60                # はい(Y)
    DONE=$(wait_window Kiboru "$MAIN")
    sleep 1
    shot saved
    xdotool key Return                    # OK on 保存しました！; the entry window closes
    wait_gone "$ENTRY"
    # Like the entry window, the main window takes clicks only a moment after
    # a window is gone: a click that Wine drops is given again. A second
    # click that is not needed meets a modal list, which blocks it.
    sleep 2
    open_status() {
        for attempt in 1 2 3; do
            click "$MAIN" 476 264         # 請求状況: the claims are read on a second thread
            i=0
            while [ "$i" -lt 50 ]; do
                find_window 請求状況 && return 0
                i=$((i + 1))
                sleep 0.2
            done
        done
        return 1
    }
    STATUS=$(open_status) || give_up "no window named 請求状況 after three clicks"
    sleep 2
    shot status
    eval "$(xdotool getwindowgeometry --shell "$STATUS" | sed 's/^/S_/')"
    for attempt in 1 2 3; do
        click "$STATUS" $((S_WIDTH - 50)) $((S_HEIGHT - 24))    # 閉じる, at the bottom right
        i=0
        while windows | grep -qx "$STATUS" && [ "$i" -lt 50 ]; do
            i=$((i + 1))
            sleep 0.2
        done
        windows | grep -qx "$STATUS" || break
    done
    wait_gone "$STATUS"
    sleep 2
    click "$MAIN" 476 332                 # 終　　了
    # A claim exists and no backup yet: the reminder asks; いいえ, its
    # default button, closes at once.
    REMIND=$(wait_window 確認)
    shot reminder
    xdotool key Return                    # いいえ(N)
    i=0
    while kill -0 "$pid" 2>/dev/null; do
        i=$((i + 1))
        [ "$i" -le 150 ] || give_up "the program still runs 30 s after 終了"
        sleep 0.2
    done
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$log"; give_up "the program ended with exit code $status"; }
    echo "road driven: search, student, occurrence 2, month marked, saved, 請求状況 opened and closed, 終了, the backup reminder answered いいえ, exit code 0"
    exit 0
fi

here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then   # the installer that scripts/windows-package.sh made last
    version=$(sed -n 's/^project(Kiboru VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
    set -- "$here/../../${KIBORU_WINDOWS_BUILD_DIR:-build-windows}/kiboru-$version-setup.exe"
fi
[ -f "$1" ] || { echo "usage: test-installer.sh [SETUP_EXE]: no installer $1"; exit 1; }
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
demo=$(cd "$here/../../demo/data" && pwd)
for tool in wine wineboot wineserver xvfb-run xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (sh scripts/setup.sh installs it)"; exit 1; }
done
work=$(dirname "$setup")/installer-test
rm -rf "$work"
mkdir -p "$work/shots"
started=$(date +%s)
say() { echo "[$(( $(date +%s) - started )) s] $1"; }

# No menu entries on this machine, no downloads of Wine's Mono or Gecko.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w
say "fresh Wine prefix"
drive=$WINEPREFIX/drive_c
profile=$drive/users/$(id -un)
program=$profile/AppData/Local/Programs/Kiboru
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/キボル 給付請求.lnk"
data_win='C:\Kyufu data'
data="$drive/Kyufu data"
claim="$data/seikyu/請21104-2.CSV"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiboru'
# A folder's names and bytes, to compare it before and after.
fingerprint() { (cd "$1" && find . -type f -exec md5sum {} + | LC_ALL=C sort -k2); }
# The bytes of a file or text as one hex string.
hex() { od -An -tx1 -v | tr -d ' \n'; }

# ---- a data folder that is the program folder is refused -------------------
status=0
wine "$setup" /S '/DATA=C:\Same' '/D=C:\Same' || status=$?
wineserver -w
if [ "$status" -eq 0 ] || [ -e "$drive/Same" ]; then
    echo "FAIL: the program folder as data folder was not refused (exit code $status)"; exit 1
fi
echo "refused: the program folder as data folder (exit code $status, nothing made)"

# ---- silent install ---------------------------------------------------------
wine "$setup" /S "/DATA=$data_win"
wineserver -w
say "installed silently"
failed=0
for path in "$program/kiboru.exe" "$program/platforms/qwindows.dll" "$program/Qt6Core.dll" \
            "$program/uninstall.exe" "$program/LICENSE.txt" "$shortcut" "$data/H21入学.CSV" "$data/seikyu/請21104-2.CSV"; do
    [ -f "$path" ] || { echo "FAIL: not installed: $path"; failed=1; }
done
[ "$failed" -eq 0 ] || exit 1
[ "$(fingerprint "$data")" = "$(fingerprint "$demo")" ] || { echo "FAIL: the data folder is not the demo folder"; exit 1; }
# The shortcut holds its "Start in" folder as UTF-16 text.
case "$(hex <"$shortcut")" in
    *"$(printf '%s' "$data_win" | iconv -f UTF-8 -t UTF-16LE | hex)"*) ;;
    *) echo "FAIL: the shortcut does not name $data_win"; exit 1 ;;
esac
wine reg query "$uninstall_key" /v UninstallString >"$work/reg.txt" 2>&1 ||
    { cat "$work/reg.txt"; echo "FAIL: no Add/Remove programs entry"; exit 1; }
echo "installed: program, plugin, uninstaller, shortcut to $data_win, Add/Remove entry, data folder = demo folder"

# ---- the program driven like a user -----------------------------------------
(cd "$data" && xvfb-run -a -s "-screen 0 1280x1024x24" sh "$here/test-installer.sh" --in-x "$program/kiboru.exe" "$work/shots")
say "program driven"
# The demo claim with 10月 of 2011 (line 3) turned from － (81 7C) to ◎ (81 9D).
LC_ALL=C sed '3s/\x81\x7c,10\x8c\x8e/\x81\x9d,10\x8c\x8e/' "$demo/seikyu/請21104-2.CSV" >"$work/expected.csv"
if ! cmp "$work/expected.csv" "$claim"; then
    echo "FAIL: the saved claim differs from the expected bytes:"
    iconv -f CP932 -t UTF-8 "$work/expected.csv" >"$work/expected.txt" || true
    iconv -f CP932 -t UTF-8 "$claim" >"$work/saved.txt" || true
    diff "$work/expected.txt" "$work/saved.txt" || true
    exit 1
fi
echo "claim saved: 請21104-2.CSV is the demo claim with 10月 of 2011 marked, byte for byte"
fingerprint "$data" >"$work/data-after-run.txt"

# ---- installed again: the data folder stays as it is ------------------------
wine "$setup" /S "/DATA=$data_win"
wineserver -w
fingerprint "$data" | cmp -s - "$work/data-after-run.txt" || { echo "FAIL: installing again changed the data folder"; exit 1; }
say "installed again, data folder unchanged"

# ---- silent uninstall ---------------------------------------------------------
wine "$program/uninstall.exe" /S
wineserver -w
[ ! -e "$program" ] || { ls -R "$program"; echo "FAIL: the program folder stays after the uninstall"; exit 1; }
[ ! -e "$shortcut" ] || { echo "FAIL: the shortcut stays after the uninstall"; exit 1; }
! wine reg query "$uninstall_key" >/dev/null 2>&1 || { echo "FAIL: the Add/Remove entry stays"; exit 1; }
fingerprint "$data" | cmp -s - "$work/data-after-run.txt" || { echo "FAIL: the uninstall changed the data folder"; exit 1; }
say "uninstalled: program folder, shortcut and entry gone, data folder byte for byte as before"
echo "PASS: installed, claim saved through the installed program, uninstalled, data kept"
