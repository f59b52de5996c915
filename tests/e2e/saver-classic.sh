#!/usr/bin/env bash
# Under the classic fire size the saver stretches the classic-size fire over a screen wider
# than 1024 by whole pixels, without any display-mode change whatever the Resolution and
# DirectX settings say, and a key still ends it.
#   saver-classic.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"

readonly WIDE=2048x768
# The rig's mode for the run: twice as wide as the classic size's 1024, so that every engine
# pixel is an exact 2x2 block on the screen.
restore_mode() {
    xrandr -s "$initial" >/dev/null 2>&1
    saver_cleanup
}
initial=$(geometry | tr ' ' x)
trap restore_mode EXIT
xrandr -s "$WIDE" || { echo "the rig has no $WIDE mode"; exit 1; }
read -r width height < <(settled_geometry "${WIDE/x/ }")
[ "${width}x$height" = "$WIDE" ] || { echo "the rig stays at ${width}x$height"; exit 1; }

saver_settings FireSize=1 UseDirectX=1 XRes=640 YRes=480 FadeScreen=0 BackgroundSoundEnable=0
saver_start /s
sleep 3
rig_screenshot "$SAVER_TMP/fire.png"
[ "$(geometry)" = "$width $height" ] || fail "display runs at $(geometry) during the run"
check_fire "$SAVER_TMP/fire.png" "$width" "$height"

check_blocks "$SAVER_TMP/fire.png"

# The fire spans the whole width: at screen pixels the seed line's 1024 columns leave the
# right half of a 2048 screen cold, and the bottom quarter's mean red stays near 0.1.
quarter=$((height / 4))
red=$(convert "$SAVER_TMP/fire.png" -crop "${width}x${quarter}+0+$((height - quarter))" +repage \
    -format '%[fx:mean.r]' info:)
right=$(convert "$SAVER_TMP/fire.png" -crop "$((width / 2))x${quarter}+$((width / 2))+$((height - quarter))" \
    +repage -format '%[fx:mean.r]' info:)
echo "mean red of the bottom quarter $red, of its right half $right"
awk -v r="$red" 'BEGIN { exit !(r > 0.25) }' || fail "the bottom quarter is not red enough ($red)"
awk -v r="$right" 'BEGIN { exit !(r > 0.25) }' || fail "the right half is cold ($right)"

xdotool key space
saver_wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "the saver ended with $rc"
after=$(settled_geometry "$width $height")
[ "$after" = "$width $height" ] || fail "display left at $after, was $width $height"
exit $SAVER_FAIL
