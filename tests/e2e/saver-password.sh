#!/usr/bin/env bash
# The password road with real input: a key asks for the password, a wrong one is refused, the
# right one ends the saver and the display comes back.
#   saver-password.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap saver_cleanup EXIT

before=$(geometry)
saver_settings UseDirectX=1 XRes=800 YRes=600 FadeScreen=0 BackgroundSoundEnable=0
saver_password_on
saver_start /s
sleep 1.5
xdotool key space
dialog=$(saver_wait_window "Vulkara Screen Saver" 10) || fail "no password dialog"
# On the DirectDraw path the dialog is drawn in the system colours: light, readable.
sleep 0.5
xwd -id "$dialog" -silent | convert xwd:- "$SAVER_TMP/dialog.png"
light=$(convert "$SAVER_TMP/dialog.png" -colorspace gray -format '%[fx:mean]' info:)
echo "mean brightness of the dialog: $light"
awk -v l="$light" 'BEGIN { exit !(l > 0.5) }' || fail "the dialog is not drawn in light colours"
xdotool type --delay 30 fire
xdotool key Return
saver_wait_window "vulkara" 10 >/dev/null || fail "no message for a wrong password"
xdotool key Return
sleep 0.5
saver_window "Vulkara Screen Saver" | grep -q . || fail "the dialog did not stay open"
kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended on a wrong password"

xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 30 FirE
xdotool key Return
saver_wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "the saver did not end on the right password ($rc)"
after=$(settled_geometry "$before")
[ "$after" = "$before" ] || fail "display left at $after, was $before"
exit $SAVER_FAIL
