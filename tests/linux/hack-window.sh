#!/usr/bin/env bash
# The hack on a window given by -window-id: fire that moves, fire at the new size after a resize,
# and a quiet end with status 0 when the window is destroyed under it.
#   hack-window.sh VULKARA VULKARA_TEST_WINDOW
set -u
HACK=$1
TEST_WINDOW_PROGRAM=$2
. "$(dirname "$0")/hack-lib.sh"

hack_server
test_window 800x600
hack_start -window-id "$TEST_WINDOW" -fade 0
sleep 2
window_shot "$TEST_WINDOW" "$HACK_TMP/fire.png"
sleep 0.5
window_shot "$TEST_WINDOW" "$HACK_TMP/later.png"
check_fire "$HACK_TMP/fire.png" 800 600
check_moving "$HACK_TMP/fire.png" "$HACK_TMP/later.png"

# A resize starts the fire again at the new size: the bottom of the smaller window burns too.
xdotool windowsize "$TEST_WINDOW" 512 700
sleep 2
window_shot "$TEST_WINDOW" "$HACK_TMP/resized.png"
check_fire "$HACK_TMP/resized.png" 512 700

kill "$WINDOW_PID"
wait "$WINDOW_PID" 2>/dev/null
WINDOW_PID=""
hack_wait_exit 5
rc=$?
[ $rc -eq 0 ] || fail "the hack ended with $rc when its window was destroyed"
if [ -s "$HACK_TMP/stderr" ]; then
    fail "the hack was not quiet when its window was destroyed:"
    cat "$HACK_TMP/stderr"
fi
exit $HACK_FAIL
