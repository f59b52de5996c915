#!/usr/bin/env bash
# A minute of starting and stopping the saver on both paths, ended by keys and by mouse
# moves: every run ends cleanly and the display comes back each time.
#   saver-cycles.sh VULKARA_SCR [SECONDS]
set -u
SCR=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

before=$(geometry)
end=$((SECONDS + seconds))
runs=0
while [ $SECONDS -lt $end ]; do
    if [ $((runs % 2)) -eq 0 ]; then
        saver_settings UseDirectX=0 FadeScreen=2 BackgroundSoundEnable=0
    else
        saver_settings UseDirectX=1 XRes=640 YRes=480 FadeScreen=0 BackgroundSoundEnable=0
    fi
    saver_start /s
    sleep 1.5
    if [ $((runs % 4)) -lt 2 ]; then
        xdotool key a
    else
        # The first move after the grace period is the reference, the second one closes.
        # Both stay well inside the smallest screen.
        xdotool mousemove 100 100
        sleep 0.2
        xdotool mousemove_relative 40 0
    fi
    saver_wait_exit 20
    rc=$?
    runs=$((runs + 1))
    [ $rc -eq 0 ] || fail "run $runs ended with $rc"
    after=$(settled_geometry "$before")
    [ "$after" = "$before" ] || fail "run $runs left the display at $after"
    [ $SAVER_FAIL -eq 0 ] || break
done
echo "$runs runs"
[ $runs -ge 4 ] || fail "only $runs runs"
exit $SAVER_FAIL
