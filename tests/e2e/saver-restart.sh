#!/usr/bin/env bash
# Savers started one after another (GDI path, the display's own size), each at a gap of 0 to 4 s
# after the last one ended, draw fire and end on a key; one more, started at once, ends on a
# mouse move. Wine 8.0 replaces its desktop process about 1.5 to 2.5 s after a prefix's last
# program ends, and a program started then never leaves Wine's loader: the rig holds the
# prefix's desktop against it (tools/rig.sh), and without the hold the starts at those gaps fail.
#   saver-restart.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

# Seconds from one saver's end to the next start.
GAPS="0 0.5 1 1.5 2 2.5 3 3.5 4"
# Seconds a saver gets to show its window, to draw fire and to end.
START_S=20
FIRE_S=20
END_S=10

read -r width height <<<"$(geometry)"
saver_settings UseDirectX=0 FadeScreen=0 BackgroundSoundEnable=0

# since START: seconds from START (an $EPOCHREALTIME) to now.
since() {
    awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'
}

# run LABEL HOW: starts a saver, checks its fire and ends it with HOW (key or mouse).
run() {
    local rc start=$EPOCHREALTIME window fire
    wine "$SCR" /s &
    SAVER_PID=$!
    if ! saver_wait_window "" "$START_S" >/dev/null; then
        fail "the saver $1 showed no window in $START_S s"
        # A start that hangs in Wine's loader ends on nothing less.
        kill -KILL "$SAVER_PID" 2>/dev/null
        wait "$SAVER_PID" 2>/dev/null
        SAVER_PID=""
        return
    fi
    window=$(since "$start")
    saver_wait_fire "$width" "$height" "$FIRE_S"
    fire=$(since "$start")
    if [ "$2" = key ]; then
        xdotool key a
    else
        # The first move after the grace period is the reference, the second one closes.
        xdotool mousemove 200 200
        sleep 0.2
        xdotool mousemove_relative 40 0
    fi
    saver_wait_exit "$END_S"
    rc=$?
    [ $rc -eq 0 ] || fail "the saver $1 did not end on a $2 ($rc)"
    echo "the saver $1: window after $window s, fire after $fire s, ended after $(since "$start") s"
    if [ $rc -eq 124 ]; then
        kill "$SAVER_PID" 2>/dev/null
        wait "$SAVER_PID" 2>/dev/null
        SAVER_PID=""
    fi
}

run "started first" key
for gap in $GAPS; do
    sleep "$gap"
    run "started $gap s after the last one ended" key
done
run "started at once after the last one ended" mouse
exit $SAVER_FAIL
