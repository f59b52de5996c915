#!/usr/bin/env bash
# With the desktop overlay on, the grey snapshot of the desktop shows through the fire.
#   saver-overlay.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap 'display -window root xc:black 2>/dev/null; saver_cleanup' EXIT

read -r width height <<<"$(geometry)"
# A desktop with something on it: bright grey with a black band at the top.
convert -size "${width}x${height}" xc:'#c0c0c0' -fill black \
    -draw "rectangle 0,0 $((width - 1)),$((height / 8))" "$SAVER_TMP/desktop.png"
display -window root "$SAVER_TMP/desktop.png"

saver_settings UseDirectX=0 FadeScreen=2 BackgroundSoundEnable=0
saver_start /s
sleep 2
rig_screenshot "$SAVER_TMP/overlay.png"
# Between the black band and the flames: grey, not black, and not coloured.
band=$(convert "$SAVER_TMP/overlay.png" -crop "${width}x$((height / 8))+0+$((height / 4))" \
    +repage -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:)
top=$(convert "$SAVER_TMP/overlay.png" -crop "${width}x$((height / 16))+0+0" +repage \
    -colorspace gray -format '%[fx:mean]' info:)
echo "grey band r g b: $band; black band: $top"
read -r r g b <<<"$band"
awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !(b > 0.12 && r - b < 0.1 && g - b < 0.1) }' ||
    fail "the desktop does not show through as grey ($band)"
awk -v t="$top" -v b="$b" 'BEGIN { exit !(t < b / 2) }' ||
    fail "the desktop's dark band is not darker than its grey ($top)"

xdotool key Escape
saver_wait_exit 20 || fail "the saver did not end cleanly"
exit $SAVER_FAIL
