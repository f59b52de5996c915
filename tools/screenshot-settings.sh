#!/usr/bin/env bash
# Shows the settings sheet of a Windows build with its live preview running and saves a
# picture of it, for the README.
#   tools/screenshot-settings.sh [BUILD_DIR] [OUT.png]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/windows}" && pwd)
out=${2:-$build/settings-sheet.png}
scr=$build/app/vulkara.scr
[ -f "$scr" ] || { echo "no $scr; build the windows preset first" >&2; exit 1; }

. "$here/rig.sh"
trap rig_stop EXIT
trap 'exit 130' INT TERM
rig_start "$build/rig-screenshot" || exit 1

wine "$scr" /c >/dev/null 2>&1 &
sheet=$(rig_wait_window '^Vulkara \(v2\.21\)$') || { echo "the settings sheet did not appear" >&2; exit 1; }
sleep 1.5

# The Preview box sits under the picture frame; its place in the sheet is fixed by the page
# template and the rig's fonts.
xdotool mousemove --window "$sheet" 286 166 click 1
sleep 2.5

eval "$(xdotool getwindowgeometry --shell "$sheet")"
full=$(mktemp --suffix=.png)
rig_screenshot "$full"
convert "$full" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
rm -f "$full"
xdotool key --window "$sheet" Escape
echo "$out"
