#!/bin/sh
# The student dialog for 札幌 beside grep, measured from outside the process.
#
#   sh bench/outside.sh [RUNS] [BUILD...]    (defaults: 7 runs, ./build-bench)
#   DIALOG=second sh bench/outside.sh ...    (the second dialog of each process)
#   KEY=0 sh bench/outside.sh ...            (another reading: 0 stands in every line)
#   PAUSE=0 sh bench/outside.sh ...          (the click right after typing, no pause)
#   LIMIT_MS=60 sh bench/outside.sh ...      (judge the dialog's median, not the ratio)
#
# Each run starts a fresh Kiboru (kiboru_marked: the shipped main() with
# bench/ClickProbe.cpp) on an X server of its own (Xvfb, xcb platform) in a
# working folder whose H27入学.CSV is a roster header line followed by all of
# KEN_ALL.CSV. xdotool clicks 「給付入力」, chooses 平成27年度, types 札幌 (or
# KEY) into the reading, waits 0.3 s (or PAUSE) and clicks 「検　索」. The
# probe notes, inside the program, the button's release (the click delivered)
# and the dialog's first paint done; the figure is the time between them.
# Then `LC_ALL=C grep -F -c 札幌 H27入学.CSV` (the key in Shift-JIS) is timed
# as a process from spawn to exit, as often, in the same minutes. With several
# build folders their programs run in turns. Medians and the ratio are
# printed; the exit status is 1 when a ratio is above 1.0 (with LIMIT_MS: when
# a dialog's median is not under it).
set -e
cd "$(dirname "$0")/.."
RUNS=${1:-7}
KEY=${KEY:-札幌}
PAUSE=${PAUSE:-0.3}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || set -- build-bench
for build in "$@"; do
    [ -x "$build/bench/kiboru_marked" ] || {
        echo "build $build/bench/kiboru_marked first: cmake --build $build --target kiboru_marked" >&2; exit 2; }
done
for tool in Xvfb xdotool unzip python3 iconv; do
    command -v $tool >/dev/null || { echo "$tool is missing (sh scripts/setup.sh)" >&2; exit 2; }
done

RUN=$(mktemp -d)
trap 'kill $XVFB 2>/dev/null || true; rm -rf "$RUN"' EXIT INT TERM
WORK="$RUN/work"
mkdir -p "$WORK/seikyu"
printf 'ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n' \
    | iconv -f UTF-8 -t CP932 >"$WORK/H27入学.CSV"
unzip -p ../shared/data/ken_all.zip KEN_ALL.CSV >>"$WORK/H27入学.CSV"
KEY_SJIS=$(printf '%s' "$KEY" | iconv -f UTF-8 -t CP932)
COUNT=$(LC_ALL=C grep -F -c "$KEY_SJIS" "$WORK/H27入学.CSV" || true)
sync

# An X server of our own, with room for the entry window (914 × 686 at 186, 108).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$RUN/display" 2>/dev/null &
XVFB=$!
while [ ! -s "$RUN/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$RUN/display")"

# One run: a fresh process to the first student dialog painted.
dialog_once() {
    out="$RUN/marks"
    dialogs=1
    [ "$DIALOG" = second ] && dialogs=2
    (cd "$WORK" && QT_QPA_PLATFORM=xcb KIBORU_PROBE_DIALOGS=$dialogs exec "$1" >"$out" 2>/dev/null) &
    pid=$!
    main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kiboru$' | head -1)
    sleep 0.3
    xdotool mousemove --window "$main" 476 196 click 1          # 給付入力 (Button1)
    entry=$(timeout 20 xdotool search --sync --onlyvisible --name '^給付入力画面$' | head -1)
    sleep 0.3
    xdotool mousemove --window "$entry" 650 20 click 1          # 入学年度 (ComboBox1)
    xdotool key ctrl+a
    xdotool type --delay 20 '平成27年度'
    xdotool mousemove --window "$entry" 690 62 click 1          # reading (Edit1)
    # One character at a time: typed in one go, xdotool loses the second
    # character (the field then holds 札 alone, which stands in 913 lines).
    python3 -c 'import sys; print("\n".join(sys.argv[1]))' "$KEY" | {
        read -r first
        xdotool type --delay 20 "$first"
        while read -r char; do
            sleep 0.05
            xdotool type --delay 20 "$char"
        done
    }
    [ "$PAUSE" = 0 ] || sleep "$PAUSE"
    xdotool mousemove --window "$entry" 847 66 click 1          # 検　索 (BitBtn1)
    if [ "$DIALOG" = second ]; then                              # the first dialog closed, 検索 again
        sleep 0.3
        xdotool key Escape
        sleep 0.3
        xdotool mousemove --window "$entry" 847 66 click 1
    fi
    (sleep 20 && kill $pid 2>/dev/null) &
    watchdog=$!
    wait $pid || true
    kill $watchdog 2>/dev/null || true
    awk '$1 == "click" { c = $2; line = "" } c { line = line sprintf("%s %.3f  ", $1, ($2 - c) / 1e6) }
         END { print line }' "$out" >>"$RUN/stages$2"
    awk '$1 == "click" { c = $2 } $1 == "done" && c { d = ($2 - c) / 1e6 } END { if (d) printf "%.3f\n", d }' "$out"
}

# grep's count comes through a pipe and is checked: with its output on
# /dev/null grep would stop at the first match.
grep_once() {
    python3 - "$KEY_SJIS" "$WORK/H27入学.CSV" "$COUNT" <<'EOF'
import os, sys, time
key = os.fsencode(sys.argv[1])
env = dict(os.environ, LC_ALL="C")
read_end, write_end = os.pipe()
start = time.monotonic_ns()
pid = os.posix_spawnp("grep", ["grep", "-F", "-c", key, sys.argv[2]], env,
                      file_actions=[(os.POSIX_SPAWN_DUP2, write_end, 1)])
os.close(write_end)
out = b""
while chunk := os.read(read_end, 4096):
    out += chunk
os.waitpid(pid, 0)
end = time.monotonic_ns()
if out.strip() != sys.argv[3].encode():
    sys.exit("grep counted %r, not %s" % (out, sys.argv[3]))
print("%.3f" % ((end - start) / 1e6))
EOF
}

: >"$RUN/grep"
n=0
for build in "$@"; do
    : >"$RUN/dialog$n"
    : >"$RUN/stages$n"
    n=$((n + 1))
done
i=0
while [ $i -lt "$RUNS" ]; do
    n=0
    for build in "$@"; do
        dialog_once "$(realpath "$build/bench/kiboru_marked")" $n >>"$RUN/dialog$n"
        n=$((n + 1))
    done
    grep_once >>"$RUN/grep"
    i=$((i + 1))
done

n=0
status=0
for build in "$@"; do
    echo "$build: each run, ms after the click: the dialog shown, exposed, first painted, done"
    cat "$RUN/stages$n"
    python3 - "$RUN/dialog$n" "$RUN/grep" "${LIMIT_MS:-}" <<'EOF' || status=1
import statistics, sys
dialog = [float(x) for x in open(sys.argv[1]).read().split()]
grep = [float(x) for x in open(sys.argv[2]).read().split()]
print("dialog ms:", " ".join("%.2f" % x for x in dialog))
print("grep ms:  ", " ".join("%.2f" % x for x in grep))
if not dialog:
    sys.exit("no dialog was timed")
d, g = statistics.median(dialog), statistics.median(grep)
print("medians: dialog %.2f ms, grep %.2f ms, ratio %.2f" % (d, g, d / g))
if sys.argv[3]:
    sys.exit(0 if d < float(sys.argv[3]) else 1)
sys.exit(0 if d <= g else 1)
EOF
    n=$((n + 1))
done
exit $status
