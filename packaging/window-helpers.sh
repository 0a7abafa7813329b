# Shell functions that find and click the program's windows on an X server
# with xdotool, as a user would; sourced by guide-screenshots.sh and
# windows/test-installer.sh. A script may define give_up MESSAGE before
# sourcing to do more than print the message and stop.
command -v give_up >/dev/null 2>&1 || give_up() { echo "$1" >&2; exit 1; }

windows() { xdotool search --onlyvisible --name . 2>/dev/null || true; }
# The first shown window with exactly that name, other than the ones given.
find_window() {
    name=$1; shift
    for w in $(windows); do
        case " $* " in *" $w "*) continue ;; esac
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$name" ] && { echo "$w"; return 0; }
    done
    return 1
}
wait_window() {
    i=0
    until find_window "$@"; do
        i=$((i + 1))
        [ "$i" -le 300 ] || give_up "no window named $1 after 60 s"
        sleep 0.2
    done
}
wait_gone() {
    i=0
    while windows | grep -qx "$1"; do
        i=$((i + 1))
        [ "$i" -le 150 ] || give_up "window $1 still shown after 30 s"
        sleep 0.2
    done
}
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; sleep 0.6; }
