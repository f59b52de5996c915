#!/usr/bin/env bash
# Shows the settings sheet of a Windows build with its live preview running and saves a
# picture of it, for the README.
#   tools/screenshot-settings.sh [BUILD_DIR] [OUT.png] [DPI]
# DPI (96 by default) is the resolution Wine reports to the program: the sheet's fonts, and with
# them its dialog units, grow with it, so a larger one shows whether every text still fits.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/windows}" && pwd)
out=${2:-$build/settings-sheet.png}
dpi=${3:-96}
scr=$build/app/vulkara.scr
[ -f "$scr" ] || { echo "no $scr; build the windows preset first" >&2; exit 1; }

. "$here/rig.sh"
trap rig_stop EXIT
trap 'exit 130' INT TERM
rig_start "$build/rig-screenshot" || exit 1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    { echo "cannot set Wine's resolution to $dpi dpi" >&2; exit 1; }

wine "$scr" /c >/dev/null 2>&1 &
sheet=$(rig_wait_window '^Vulkara \(v2\.21\)$') || { echo "the settings sheet did not appear" >&2; exit 1; }
sleep 1.5

# The Preview box sits under the picture frame, at (286, 166) in the 422x414 sheet of 96 dpi; the
# page template and the rig's fonts fix that place, which moves with the sheet's size.
eval "$(xdotool getwindowgeometry --shell "$sheet")"
xdotool mousemove --window "$sheet" $((286 * WIDTH / 422)) $((166 * HEIGHT / 414)) click 1
sleep 2.5

full=$(mktemp --suffix=.png)
rig_screenshot "$full"
convert "$full" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
rm -f "$full"
xdotool key --window "$sheet" Escape
echo "$out"
