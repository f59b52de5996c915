#!/usr/bin/env bash
# A saver started right after another one ended (GDI path, the display's own size) draws fire
# and ends on a key, and then on a mouse move, like the first.
#   saver-restart.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

read -r width height <<<"$(geometry)"
saver_settings UseDirectX=0 FadeScreen=0 BackgroundSoundEnable=0

# run N HOW: starts a saver at once after the last one, checks its fire, ends it with HOW.
run() {
    saver_start /s
    sleep 2
    rig_screenshot "$SAVER_TMP/fire$1.png"
    check_fire "$SAVER_TMP/fire$1.png" "$width" "$height"
    if [ "$2" = key ]; then
        xdotool key a
    else
        xdotool mousemove 200 200
        sleep 0.2
        xdotool mousemove_relative 40 0
    fi
    saver_wait_exit 10
    local rc=$?
    [ $rc -eq 0 ] || fail "run $1 did not end on a $2 ($rc)"
    if [ $rc -eq 124 ]; then
        kill "$SAVER_PID" 2>/dev/null
        wait "$SAVER_PID" 2>/dev/null
        SAVER_PID=""
    fi
}

run 1 key
run 2 key
run 3 mouse
run 4 key
exit $SAVER_FAIL
