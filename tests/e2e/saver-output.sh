#!/usr/bin/env bash
# The saver shows fire on the screen within a few seconds (a loaded machine may take that long
# to show the first frames) and leaves the display mode as it found it, on one output path at
# one size.
#   saver-output.sh VULKARA_SCR USE_DIRECTX XRES YRES   (0 0: the current size)
set -u
SCR=$1
FIRE_SECONDS=6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

before=$(geometry)
width=$3 height=$4
[ "$width" -eq 0 ] && read -r width height <<<"$before"

saver_settings UseDirectX="$2" XRes="$3" YRes="$4" FadeScreen=0 BackgroundSoundEnable=0
saver_start /s
saver_wait_fire "$width" "$height" "$FIRE_SECONDS"
[ "$(geometry)" = "$width $height" ] || fail "display runs at $(geometry) during the run"

xdotool key space
saver_wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "the saver ended with $rc"
after=$(settled_geometry "$before")
[ "$after" = "$before" ] || fail "display left at $after, was $before"
exit $SAVER_FAIL
