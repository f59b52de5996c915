#!/usr/bin/env bash
# -root draws on the window XSCREENSAVER_WINDOW names when it is set, as XScreenSaver and the
# lockers hand a hack its window, and on the root window otherwise; SIGTERM ends it within a
# second with status 0. The desktop overlay runs at its default here, over the black screen.
#   hack-root.sh VULKARA VULKARA_TEST_WINDOW
set -u
HACK=$1
TEST_WINDOW_PROGRAM=$2
. "$(dirname "$0")/hack-lib.sh"

# stop_within_a_second: SIGTERM, and the hack gone with status 0 within a second.
stop_within_a_second() {
    kill -TERM "$HACK_PID"
    hack_wait_exit 1
    local rc=$?
    [ $rc -eq 0 ] || fail "after SIGTERM the hack ended with $rc (124: still running after 1 s)"
}

hack_server
test_window 1024x768
XSCREENSAVER_WINDOW=$TEST_WINDOW hack_start -root
sleep 2
window_shot "$TEST_WINDOW" "$HACK_TMP/handed.png"
sleep 0.5
window_shot "$TEST_WINDOW" "$HACK_TMP/handed-later.png"
check_fire "$HACK_TMP/handed.png" 1024 768
check_moving "$HACK_TMP/handed.png" "$HACK_TMP/handed-later.png"
stop_within_a_second

# The root itself.
kill "$WINDOW_PID"
wait "$WINDOW_PID" 2>/dev/null
WINDOW_PID=""
hack_start -root -fade 0
sleep 2
rig_screenshot "$HACK_TMP/root.png"
read -r width height < <(xdotool getdisplaygeometry)
check_fire "$HACK_TMP/root.png" "$width" "$height"
stop_within_a_second
exit $HACK_FAIL
