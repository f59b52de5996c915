#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the full-screen saver: on your X display
# when DISPLAY is set, otherwise on a private Xorg server for a few seconds, saving a
# screenshot.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install-deps.sh" || exit 1
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
. "$root/tools/rig.sh"
# A machine that cannot run 32-bit programs runs the 64-bit build under Wine's 64-bit loader.
preset=windows
if ! rig_wine_runs_32bit; then
    preset=windows64
    echo "This machine cannot run 32-bit programs: the demo runs the 64-bit build."
fi
cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" || exit 1
scr="$root/build/$preset/app/vulkara.scr"

# quiet_sound: without a sound device Wine gets no audio driver, rather than each of its
# drivers filling the log with the sound library's complaints; the saver then runs silently.
quiet_sound() {
    if ! rig_has_sound_device; then
        export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv="
        echo "Sound is off: this machine has no sound device."
    fi
}

if [ -n "${DISPLAY:-}" ]; then
    [ "$preset" = windows ] || rig_use_wine64 "$root/build/demo/wine64-bin"
    # Wine's own default, which the 64-bit loader started directly does not apply.
    export WINEDEBUG=${WINEDEBUG:-fixme-all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    rig_wine_cheap_env
    quiet_sound
    # The desktop held as on the rig, so that a run started soon after another program of the
    # prefix ended does not hang; a prefix that cannot run it (a 32-bit one) goes without.
    trap rig_hold_end EXIT
    rig_hold_start 2>/dev/null || echo "Running without holding Wine's desktop."
    echo "Running $scr /s on $DISPLAY; any key, click or mouse movement ends it."
    wine "$scr" /s
    exit
fi

# The first frame may take several seconds on a busy machine (on the DirectDraw path Mesa's
# software renderer draws it), so the screenshot waits for something on the rig's black screen
# and then for the flames to rise.
readonly FIRST_FRAME_S=30
readonly FLAMES_RISE_S=4

# screen_drawn: true when any pixel of the rig's screen is not black.
screen_drawn() {
    [ "$(xwd -root -silent -display "$DISPLAY" | convert xwd:- -format '%[fx:maxima>0]' info:)" = 1 ]
}

trap rig_stop EXIT
rig_start "$root/build/demo" || exit 1
quiet_sound
shot="$root/build/demo/vulkara.png"
wine "$scr" /s &
saver=$!
for _ in $(seq 1 $((FIRST_FRAME_S * 2))); do
    screen_drawn && break
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.5
done
if ! screen_drawn; then
    echo "The saver showed nothing within $FIRST_FRAME_S s." >&2
    exit 1
fi
sleep "$FLAMES_RISE_S"
rig_screenshot "$shot"
kill "$saver" 2>/dev/null
wait "$saver" 2>/dev/null
echo "Screenshot of the running saver: $shot"
