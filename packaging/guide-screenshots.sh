#!/bin/sh
# Takes the screenshots of the Japanese guide (docs/guide-*.png) from the real
# program: Kiboru runs on an X server of its own (Xvfb, 1280x1024) in a copy
# of the demo folder, xdotool clicks and types as a user would, ImageMagick's
# import takes the screen and convert cuts out the windows.
#
#   sh packaging/guide-screenshots.sh BUILD_DIR [OUT_DIR]     (OUT_DIR: docs)
#
# Needs xvfb-run, xdotool and imagemagick. The screenshots show today's date
# in the main window. Positions are those of the window layouts (.ui files).
set -eu

if [ "${1:-}" != "--in-x" ]; then
    repo=$(cd "$(dirname "$0")/.." && pwd)
    program=$(cd "${1:?usage: guide-screenshots.sh BUILD_DIR [OUT_DIR]}" && pwd)/app/kiboru
    out=$(mkdir -p "${2:-$repo/docs}" && cd "${2:-$repo/docs}" && pwd)
    exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" --in-x "$program" "$out" "$repo/demo/data"
fi
program=$2
out=$3
demo=$4
convert=/usr/bin/convert

# A folder of this run's own: two runs at once on one machine must not
# share the demo copy.
base=$(mktemp -d /tmp/kiboru-guide.XXXXXX)
trap 'rm -rf "$base"' EXIT
mkdir -p "$base/Kiboru" "$base/Desktop" "$base/NoSeikyu"
cp -R "$demo/." "$base/Kiboru/"
cp "$demo/H21入学.CSV" "$base/NoSeikyu/"

# ---- helpers -------------------------------------------------------------
. "$(dirname "$0")/window-helpers.sh"
geometry() { xdotool getwindowgeometry --shell "$1" | sed 's/^/G_/'; }
# shot NAME WINDOW...: the screen cut to the box around the windows; every
# window after the first gets a thin frame (there is no window manager).
shot() {
    name=$1; shift
    sleep 0.5
    import -window root "$base/screen.png"
    x0=100000; y0=100000; x1=0; y1=0
    for w in "$@"; do
        eval "$(geometry "$w")"
        [ "$G_X" -lt "$x0" ] && x0=$G_X
        [ "$G_Y" -lt "$y0" ] && y0=$G_Y
        [ $((G_X + G_WIDTH)) -gt "$x1" ] && x1=$((G_X + G_WIDTH))
        [ $((G_Y + G_HEIGHT)) -gt "$y1" ] && y1=$((G_Y + G_HEIGHT))
    done
    frames=""
    first=yes
    for w in "$@"; do
        if [ "$first" = yes ]; then first=no; continue; fi
        eval "$(geometry "$w")"
        frames="$frames rectangle $((G_X - x0 - 1)),$((G_Y - y0 - 1)) $((G_X - x0 + G_WIDTH)),$((G_Y - y0 + G_HEIGHT))"
    done
    set -- -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage
    if [ -n "$frames" ]; then
        set -- "$@" -fill none -stroke '#303030' -strokewidth 2 -draw "$frames"
    fi
    "$convert" "$base/screen.png" "$@" "$out/guide-$name.png"
    echo "guide-$name.png"
}
start() {   # start FOLDER: Kiboru in that folder; sets MAIN
    (cd "$1" && LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb exec "$program" >"$base/kiboru.log" 2>&1) &
    PID=$!
    MAIN=$(wait_window Kiboru)
}
stop() {    # "終　　了"
    click "$MAIN" 476 332
    wait "$PID"
}
open_entry() {   # "給付入力"; sets ENTRY
    click "$MAIN" 476 196
    ENTRY=$(wait_window 給付入力画面)
}
search() {  # search DOWNS READING: entry year by Down keys, reading, "検　索"
    click "$ENTRY" 640 20
    i=0; while [ "$i" -lt "$1" ]; do xdotool key Down; i=$((i + 1)); done
    click "$ENTRY" 692 62
    xdotool type --delay 80 "$2"
    sleep 0.3
}
downs() {   # downs X Y COUNT: click a list box of the entry window, then Down keys
    click "$ENTRY" "$1" "$2"
    i=0; while [ "$i" -lt "$3" ]; do xdotool key Down; sleep 0.1; i=$((i + 1)); done
}

# ---- the road of a claim: an injury already on file -----------------------
start "$base/Kiboru"
shot main "$MAIN"

# ---- claim status and deadlines (before any claim is changed) ---------------
click "$MAIN" 476 264                # 請求状況
LIST=$(wait_window 請求状況)
sleep 2                              # the claims are read off the window's thread
shot status-list "$LIST"
click "$LIST" 722 22                 # 今月の請求
shot status-thismonth "$LIST"
click "$LIST" 722 22                 # back to the whole list
click "$LIST" 300 150                # the orange line: 28011, 2024年11月
xdotool key Return
MONTHS=$(wait_window 請求状況の入力)
shot status-month "$MONTHS"
xdotool key Escape                   # nothing saved
wait_gone "$MONTHS"
click "$LIST" 344 22                 # 表示
xdotool key Down Down Down Down Down Return   # 未渡し
shot status-handover "$LIST"
click "$LIST" 300 107                # the orange line: 06076, 2026年8月, 2,797 yen
xdotool key Return
MONTHS=$(wait_window 請求状況の入力)
shot status-handover-month "$MONTHS"
xdotool key Escape                   # nothing saved
wait_gone "$MONTHS"
click "$LIST" 988 616                # 閉じる
wait_gone "$LIST"
# ---- the history: the demo folder's kept versions ---------------------------
click "$MAIN" 324 264                # 履歴
HISTORY=$(wait_window 履歴)
sleep 1                              # the history is read off the window's thread
click "$HISTORY" 200 155             # 2026/11/24 09:15:12, 21104 林　敏弘 2回目
shot history "$HISTORY"
click "$HISTORY" 1128 616            # 閉じる
wait_gone "$HISTORY"

# ---- letters to guardians and a claim's own page -----------------------------
click "$MAIN" 476 264                # 請求状況
LIST=$(wait_window 請求状況)
sleep 2
click "$LIST" 902 616                # 学校情報
SCHOOL=$(wait_window 学校情報)
shot school "$SCHOOL"
xdotool key Escape
wait_gone "$SCHOOL"
click "$LIST" 344 22                 # 表示
xdotool key Down Down Down Down Down Return   # 未渡し: the payouts to hand over
click "$LIST" 984 22                 # お知らせ印刷, for the lines shown
PREVIEW=$(wait_window "お知らせ印刷（3通）")
xdotool windowsize "$PREVIEW" 820 940 windowmove "$PREVIEW" 40 20
sleep 1
shot letters "$PREVIEW"
xdotool key Escape
wait_gone "$PREVIEW"
click "$LIST" 344 22                 # 表示
xdotool key Up Up Up Up Up Return    # back to 未請求（期限順）
click "$LIST" 300 150                # 28011, 2024年11月
xdotool key Return
MONTHS=$(wait_window 請求状況の入力)
click "$MONTHS" 996 496              # 印刷
PREVIEW=$(wait_window 請求記録の印刷)
xdotool windowsize "$PREVIEW" 820 940 windowmove "$PREVIEW" 40 20
sleep 1
shot claim-page "$PREVIEW"
xdotool key Escape
wait_gone "$PREVIEW"
xdotool key Escape                   # the month dialog, nothing saved
wait_gone "$MONTHS"
click "$LIST" 988 616                # 閉じる
wait_gone "$LIST"

# ---- the roster import: the demo's sample export over R06入学.CSV ------------
# The path has the focus when the window opens; the places are those of the
# window's layout at its first size (1040 x 640).
click "$MAIN" 324 196                # 名簿取込
IMPORT=$(wait_window 名簿取込)
xdotool type --delay 60 "名簿サンプル.csv"
xdotool key Return                   # 読込
sleep 0.5
click "$IMPORT" 125 617              # 入学年度
xdotool key Up Up Return             # 令和8年度 -> 令和6年度
shot import "$IMPORT"
click "$IMPORT" 903 617              # 保存
CONFIRM=$(wait_window 確認)
shot import-replace "$IMPORT" "$CONFIRM"
xdotool key alt+y                    # はい(Y)
DONE=$(wait_window Kiboru "$MAIN")
shot import-saved "$IMPORT" "$DONE"
xdotool key Return
wait_gone "$DONE"
xdotool key Escape
wait_gone "$IMPORT"

open_entry
search 2 はやし                      # 平成21年度, はやし
shot search "$ENTRY"
click "$ENTRY" 847 66                # 検　索
SELECT=$(wait_window 生徒選択)
click "$SELECT" 300 82               # first line: 21104 林　敏弘
shot select "$SELECT"
click "$SELECT" 416 32               # 選択決定
FILES=$(wait_window ファイル選択)
click "$FILES" 120 82                # second line: 請21104-2.CSV
shot occurrence "$FILES"
click "$FILES" 228 32                # 決　定
wait_gone "$FILES"
shot claim "$ENTRY"
click "$ENTRY" 400 482               # line 2011
click "$ENTRY" 532 444               # １０月
click "$ENTRY" 400 501               # line 2012
click "$ENTRY" 148 444               # ４月
shot months "$ENTRY"
click "$ENTRY" 832 327               # 保　存
CONFIRM=$(wait_window 確認)
shot confirm "$ENTRY" "$CONFIRM"
click "$CONFIRM" 52 60               # はい(Y)
DONE=$(wait_window Kiboru "$MAIN")
shot saved "$ENTRY" "$DONE"
xdotool key Return                   # OK; the entry window closes
wait_gone "$ENTRY"

# ---- a new injury: 受傷回数 3 of the same student ----------------------------
open_entry
search 2 はやし
click "$ENTRY" 847 66
SELECT=$(wait_window 生徒選択)
click "$SELECT" 300 82
click "$SELECT" 416 32
FILES=$(wait_window ファイル選択)
click "$FILES" 120 82
click "$FILES" 228 32
wait_gone "$FILES"
downs 740 325 1                      # 受傷回数: 2 -> 3
NOTE=$(wait_window Kiboru "$MAIN")
shot no-record "$ENTRY" "$NOTE"
xdotool key Return
wait_gone "$NOTE"
downs 112 364 4                      # 受傷日: 2011
downs 200 364 11                     # 11 月
downs 272 364 8                      # 8 日
downs 344 364 3                      # 火 曜
downs 536 364 1                      # 債権者登録: 未
downs 136 404 2                      # 傷病名: 捻挫
downs 360 404 25                     # 部位: 足関節部
downs 600 404 6                      # 場合別: 部活中
downs 820 404 12                     # 部名: ﾊﾞｽｹｯﾄﾎﾞｰﾙ
downs 776 364 2                      # 場所別: 校舎内体育館・武道場
click "$ENTRY" 596 444               # １１月 of 2011
click "$ENTRY" 660 444               # １２月
shot new-claim "$ENTRY"
click "$ENTRY" 832 327               # 保　存
CONFIRM=$(wait_window 確認)
click "$CONFIRM" 52 60
DONE=$(wait_window Kiboru "$MAIN")
xdotool key Return
wait_gone "$ENTRY"
stop

# ---- started in the wrong folder --------------------------------------------
start "$base/Desktop"
open_entry
search 2 はやし
click "$ENTRY" 847 66
NOTE=$(wait_window Kiboru "$MAIN")
shot msg-no-roster "$ENTRY" "$NOTE"
xdotool key Return
wait_gone "$NOTE"
click "$ENTRY" 847 24                # 終　了
wait_gone "$ENTRY"
stop

start "$base/NoSeikyu"
open_entry
search 2 はやし
click "$ENTRY" 847 66
SELECT=$(wait_window 生徒選択)
click "$SELECT" 300 82
click "$SELECT" 416 32
wait_gone "$SELECT"
click "$ENTRY" 832 327
CONFIRM=$(wait_window 確認)
click "$CONFIRM" 52 60
NOTE=$(wait_window Kiboru "$MAIN")
shot msg-no-seikyu "$ENTRY" "$NOTE"
xdotool key Return
wait_gone "$NOTE"
click "$ENTRY" 847 24
wait_gone "$ENTRY"
stop

echo "claim files written in the demo copy:"
ls "$base/Kiboru/seikyu"
