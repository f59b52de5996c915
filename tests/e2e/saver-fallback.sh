#!/usr/bin/env bash
# Without DirectDraw the saver falls back to GDI without a word: fire at the chosen size, no
# other window, the display mode back afterwards.
#   saver-fallback.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

before=$(geometry)
saver_settings UseDirectX=1 XRes=640 YRes=480 FadeScreen=0 BackgroundSoundEnable=0
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};ddraw=" saver_start /s
sleep 2
rig_screenshot "$SAVER_TMP/fallback.png"
check_fire "$SAVER_TMP/fallback.png" 640 480
windows=$(xdotool search --onlyvisible --class 'vulkara.scr' | wc -l)
[ "$windows" -eq 1 ] || fail "$windows windows instead of the saver alone"

xdotool key space
saver_wait_exit 20 || fail "the saver did not end cleanly"
after=$(settled_geometry "$before")
[ "$after" = "$before" ] || fail "display left at $after, was $before"
exit $SAVER_FAIL
