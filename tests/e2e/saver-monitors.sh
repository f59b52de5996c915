#!/usr/bin/env bash
# Two monitors of 1024x768 side by side, faked on a 2048x768 display: each choice covers both
# halves as it says, a key ends every window and the display keeps its size; with a password,
# one dialog comes up and the right password ends every window.
#   saver-monitors.sh VULKARA_SCR
set -u
SCR=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/saver-lib.sh"
trap 'saver_cleanup; xrandr -s 1024x768 >/dev/null 2>&1' EXIT

xrandr -s 2048x768 || { echo "FAIL: the display has no 2048x768 mode"; exit 1; }
[ "$(settled_geometry "2048 768")" = "2048 768" ] || { echo "FAIL: the display is not 2048x768"; exit 1; }
export VULKARA_FAKE_MONITORS=1024x768+0+0,1024x768+1024+0

# saver_window_count: the visible top-level windows of the saver's process.
saver_window_count() {
    xdotool search --onlyvisible --class 'vulkara.scr' 2>/dev/null | wc -l
}

# check_black FILE: nothing lit.
check_black() {
    local mean
    mean=$(convert "$1" -colorspace gray -format '%[fx:mean]' info:)
    echo "$1: mean brightness $mean"
    awk -v m="$mean" 'BEGIN { exit !(m < 0.02) }' || fail "$1 is not black ($mean)"
}

# check_warm_bottom FILE: hot pixels in the bottom quarter. One fire across 2048 columns is
# thinner than one of 1024 (its seed line feeds 1024 of them), so less is asked than of
# check_fire; a black or desktop half has none.
check_warm_bottom() {
    local hot
    hot=$(convert "$1" -gravity south -crop 100%x25%+0+0 +repage \
        -fx '(r > 0.35 && r >= g && g >= b && r - b > 0.2) ? 1 : 0' -format '%[fx:mean]' info:)
    echo "$1: hot share of the bottom quarter $hot"
    awk -v h="$hot" 'BEGIN { exit !(h > 0.02) }' || fail "$1: too few hot pixels at the bottom ($hot)"
}

# run_choice CHOICE WINDOWS LEFT RIGHT: the saver with that choice has that many windows, the
# halves show fire or black as named (or one fire across), and a key ends it all.
run_choice() {
    local shot="$SAVER_TMP/choice$1.png" half
    echo "choice $1"
    saver_settings UseDirectX=0 XRes=0 YRes=0 FadeScreen=0 BackgroundSoundEnable=0 \
        MultiMonitor="$1"
    saver_start /s
    sleep 2.5
    [ "$(saver_window_count)" -eq "$2" ] || fail "choice $1: $(saver_window_count) windows, expected $2"
    rig_screenshot "$shot"
    for half in left right; do
        local offset=0 kind=$3
        [ $half = right ] && { offset=1024; kind=$4; }
        convert "$shot" -crop "1024x768+$offset+0" +repage "$SAVER_TMP/$1-$half.png"
        case $kind in
        black) check_black "$SAVER_TMP/$1-$half.png" ;;
        across) check_warm_bottom "$SAVER_TMP/$1-$half.png" ;;
        *) check_fire "$SAVER_TMP/$1-$half.png" 1024 768 ;;
        esac
    done
    xdotool key space
    saver_wait_exit 20
    local rc=$?
    [ $rc -eq 0 ] || fail "choice $1: the saver ended with $rc"
    [ "$(settled_geometry "2048 768")" = "2048 768" ] || fail "choice $1: display left at $(geometry)"
}

run_choice 0 2 fire fire
run_choice 1 2 fire black
run_choice 2 1 across across

echo "password"
saver_settings UseDirectX=0 XRes=0 YRes=0 FadeScreen=0 BackgroundSoundEnable=0 MultiMonitor=0
saver_password_on
saver_start /s
sleep 2
xdotool mousemove 1500 400 click 1
dialog=$(saver_wait_window "Vulkara Screen Saver" 10) || fail "no password dialog"
sleep 0.5
dialogs=$(xdotool search --onlyvisible --name "Vulkara Screen Saver" 2>/dev/null | wc -l)
[ "$dialogs" -eq 1 ] || fail "$dialogs password dialogs"
xdotool type --delay 30 FirE
xdotool key Return
saver_wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "the saver did not end on the right password ($rc)"
[ "$(settled_geometry "2048 768")" = "2048 768" ] || fail "display left at $(geometry)"
exit $SAVER_FAIL
