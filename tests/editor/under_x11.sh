#!/bin/sh
# Runs a test program on a private Xvfb server with openbox as the window manager, so that
# windows get real frames and title bars: under_x11.sh PROGRAM [ARGS...]
set -eu
dir=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$dir/display" ]; do
    i=$((i + 1))
    if [ "$i" -gt 100 ]; then
        echo "Xvfb did not start" >&2
        cat "$dir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=":$(cat "$dir/display")"
export DISPLAY
openbox --sm-disable >"$dir/wm.log" 2>&1 &
wm=$!
# Windows mapped before the window manager runs are framed late: wait for it.
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    i=$((i + 1))
    if [ "$i" -gt 100 ]; then
        echo "openbox did not start" >&2
        cat "$dir/wm.log" >&2
        exit 1
    fi
    sleep 0.1
done
# On X11 Qt talks to D-Bus, and libdbus keeps a buffer to the end: not ours to report.
printf 'leak:libdbus-1.so\n' >"$dir/lsan.supp"
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$dir/lsan.supp"
export LSAN_OPTIONS
QT_QPA_PLATFORM=xcb "$@"
