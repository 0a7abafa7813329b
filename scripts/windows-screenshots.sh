#!/bin/sh
# Takes docs/main-window-windows.png, docs/status-window-windows.png,
# docs/import-window-windows.png and docs/entry-window-windows.png from
# the Windows build: kiboru.exe runs under Wine (its "windows" platform) on an
# X server of its own (Xvfb, 1280x1024) in a copy of the demo folder, and
# xdotool clicks and types as a user would. Run scripts/windows.sh first.
#
#   sh scripts/windows-screenshots.sh [OUT_DIR [DPI]]     (OUT_DIR: docs)
#
# With a DPI of 120 or 144 (Windows' scaling of 125 % or 150 %: the screen
# DPI of a Wine prefix of its own, BUILD/wine-dpi<DPI>, a copy of the tests'
# prefix with LogPixels set) the screen is a 1366x768 laptop's, the clicks
# are scaled, the files end in -125.png or -150.png, and a last shot shows
# the entry window scrolled to its treatment list.
set -eu

if [ "${1:-}" != "--in-x" ]; then
    repo=$(cd "$(dirname "$0")/.." && pwd)
    out=$(mkdir -p "${1:-$repo/docs}" && cd "${1:-$repo/docs}" && pwd)
    dpi=${2:-96}
    screen=1280x1024
    [ "$dpi" = 96 ] || screen=1366x768
    exec xvfb-run -a -s "-screen 0 ${screen}x24" sh "$0" --in-x "$repo" "$out" "$dpi"
fi
repo=$2
out=$3
dpi=$4
build="$repo/${KIBORU_WINDOWS_BUILD_DIR:-build-windows}"
work=/tmp/kiboru-windows-shots
rm -rf "$work"
mkdir -p "$work"
cp -R "$repo/demo/data/." "$work/"
prefix="$build/wine"
suffix=
if [ "$dpi" != 96 ]; then
    suffix=-$((dpi * 100 / 96))
    prefix="$build/wine-dpi$dpi"
    if [ ! -d "$prefix" ]; then
        cp -a "$build/wine" "$prefix"
        for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
            WINEPREFIX="$prefix" wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        done
        WINEPREFIX="$prefix" wineserver -w
    fi
fi
px() { echo $(($1 * dpi / 96)); }   # a place in the layout, in screen pixels

find_window() {   # the id of the first shown window of that name, after waiting for it
    i=0
    until w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$w" ]; do
        i=$((i + 1))
        [ "$i" -le 150 ] || { echo "no window named $1 (screen in $work/failed.png)" >&2
                              import -window root "$work/failed.png"; exit 1; }
        sleep 0.2
    done
    echo "$w"
}
click() { xdotool mousemove --sync --window "$1" "$(px "$2")" "$(px "$3")" click 1; sleep 1; }
shot() {   # shot FILE WINDOW: the screen cut to the window
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$2" | sed 's/^/G_/')"
    name=${1%.png}$suffix.png
    import -window root -crop "${G_WIDTH}x${G_HEIGHT}+${G_X}+${G_Y}" +repage "$out/$name"
    echo "$name"
}

(cd "$work" && KIBORU_WINE_PREFIX="$prefix" exec sh "$repo/scripts/wine-run.sh" "$build" "$build/kiboru.exe" >"$work/kiboru.log" 2>&1) &
pid=$!
main=$(find_window Kiboru)
shot main-window-windows.png "$main"
click "$main" 476 264                 # 請求状況
status=$(find_window 請求状況)
sleep 1
shot status-window-windows.png "$status"
eval "$(xdotool getwindowgeometry --shell "$status" | sed 's/^/S_/')"
xdotool mousemove --sync --window "$status" $((S_WIDTH - $(px 50))) $((S_HEIGHT - $(px 24))) click 1    # 閉じる
sleep 1
sleep 3                               # Wine gives the main window clicks again a moment later
click "$main" 324 196                 # 名簿取込
import=$(find_window 名簿取込)
# The path has the focus; pasted, as below.
python3 -c 'import tkinter; r = tkinter.Tk(); r.withdraw(); r.clipboard_append("名簿サンプル.csv"); r.after(15000, r.destroy); r.mainloop()' &
sleep 2
xdotool key ctrl+v Return             # 読込
shot import-window-windows.png "$import"
eval "$(xdotool getwindowgeometry --shell "$import" | sed 's/^/S_/')"
click "$import" $((S_WIDTH - 50)) $((S_HEIGHT - 24))    # 閉じる
sleep 3
click "$main" 476 196                 # 給付入力
entry=$(find_window 給付入力画面)
click "$entry" 640 20                 # 入学年度: 平成21年度
xdotool key Down Down
click "$entry" 692 62                 # reading
# Pasted, not typed: Wine keeps the keymap of the first kana xdotool types.
python3 -c 'import tkinter; r = tkinter.Tk(); r.withdraw(); r.clipboard_append("はやし"); r.after(15000, r.destroy); r.mainloop()' &
sleep 2
xdotool key ctrl+v
click "$entry" 847 66                 # 検　索
select=$(find_window 生徒選択)
click "$select" 300 82                # 21104 林　敏弘
click "$select" 416 32                # 選択決定
files=$(find_window ファイル選択)
sleep 1
click "$files" 120 82                 # 請21104-2.CSV
click "$files" 228 32                 # 決　定
i=0
while xdotool search --onlyvisible --name '^ファイル選択$' >/dev/null 2>&1 && [ "$i" -lt 50 ]; do
    i=$((i + 1)); sleep 0.2
done
sleep 2
shot entry-window-windows.png "$entry"
if [ "$dpi" != 96 ]; then   # the scroll bar's handle, dragged to the bottom
    eval "$(xdotool getwindowgeometry --shell "$entry" | sed 's/^/E_/')"
    xdotool mousemove --sync --window "$entry" $((E_WIDTH - $(px 8))) "$(px 60)" mousedown 1
    sleep 0.3
    xdotool mousemove --sync --window "$entry" $((E_WIDTH - $(px 8))) "$E_HEIGHT" mouseup 1
    shot entry-window-windows-scrolled.png "$entry"
fi
xdotool key alt+F4 || true
kill "$pid" 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
