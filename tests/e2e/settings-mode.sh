#!/usr/bin/env bash
# /c: the settings sheet opens with its preview frame; Escape closes it without writing, also
# when a stored value lies outside the page's ranges.
#   settings-mode.sh VULKARA_SCR
set -u
scr=$1
. "$(dirname "$0")/../../tools/rig.sh"
. "$(dirname "$0")/registry-keys.sh"
wine reg delete "$VULKARA_KEY\\vulkara" /f >/dev/null 2>&1

# cancel_sheet WHAT: opens the sheet, lets it settle past its idle second and presses Escape;
# fails unless the program ends. Prints the values the settings key then holds.
cancel_sheet() {
    local pid sheet
    wine "$scr" /c >/dev/null 2>&1 &
    pid=$!
    sheet=$(rig_wait_window '^Vulkara \(v2\.21\)$') || { echo "no settings sheet" >&2; kill "$pid"; exit 1; }
    sleep 1.5
    # A click on the Settings tab gives the sheet the keyboard.
    xdotool mousemove --window "$sheet" 30 12 click 1
    sleep 0.3
    xdotool key Escape
    rig_wait_exit "$pid" || { echo "Escape did not close the sheet $1" >&2; kill "$pid"; exit 1; }
    wine reg query "$VULKARA_CONFIG" 2>/dev/null | tr -d '\r' | grep REG_ || true
}

values=$(cancel_sheet "") || exit 1
if [ -n "$values" ]; then
    echo "cancelling wrote settings:"; echo "$values"; exit 1
fi
echo "sheet shown and cancelled without writing"

# A stored size outside the page's range: nothing pops up by itself, so Escape still closes.
wine reg add "$VULKARA_CONFIG" /v FireBallInFireWorkMin /t REG_DWORD /d 255 /f >/dev/null 2>&1
values=$(cancel_sheet "over a stored 255") || exit 1
if [ "$(wc -l <<<"$values")" -ne 1 ]; then
    echo "cancelling wrote settings:"; echo "$values"; exit 1
fi
echo "sheet over an out-of-range value cancelled without writing"
