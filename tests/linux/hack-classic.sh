#!/usr/bin/env bash
# -fire-size classic on a window twice the classic width: the classic-size fire stretched by
# whole pixels, every engine pixel a 2x2 block.
#   hack-classic.sh VULKARA VULKARA_TEST_WINDOW
set -u
HACK=$1
TEST_WINDOW_PROGRAM=$2
. "$(dirname "$0")/hack-lib.sh"

readonly WIDE=2048x768
hack_server
xrandr -s "$WIDE" >/dev/null || { echo "the rig has no $WIDE mode"; exit 1; }
test_window "$WIDE"
# Without fireworks and fireballs, whose glow at this size may reach the top quarter.
hack_start -window-id "$TEST_WINDOW" -fire-size classic -fade 0 -fireworks 0 -fireballs 0
sleep 2
window_shot "$TEST_WINDOW" "$HACK_TMP/classic.png"
check_fire "$HACK_TMP/classic.png" "${WIDE%x*}" "${WIDE#*x}"
check_blocks "$HACK_TMP/classic.png"
exit $HACK_FAIL
