#!/usr/bin/env bash
# The full-screen saver runs: started with /s it fills the bottom of the screen with fire
# (many hot red-to-yellow pixels in the bottom third, where the screen had next to none
# before), and a key ends it.
#   smoke.sh VULKARA_SCR
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/rig.sh" # rig_screenshot
scr=$1

readonly fire_seconds=6      # long enough for the flames to climb; looked at twice a second
readonly exit_seconds=15     # the saver's close after a key
readonly hot_before_max=10   # per mille of the bottom third
readonly hot_during_min=250  # per mille of the bottom third

work=$(mktemp -d)
saver=""
cleanup() {
    [ -n "$saver" ] && kill "$saver" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# hot_per_mille PNG: the share of the bottom third's pixels that are red to yellow: red at
# least a quarter bright (dark red flames count), green no brighter than red, blue well below.
hot_per_mille() {
    convert "$1" -gravity south -crop 100%x33%+0+0 +repage \
        -fx '(r > 0.25 && g <= r && b < 0.5 * r) ? 1 : 0' \
        -format '%[fx:round(1000 * mean)]' info:
}

rig_screenshot "$work/before.png" || { echo "no screenshot of the idle screen"; exit 1; }
before=$(hot_per_mille "$work/before.png")
echo "hot pixels before the saver: $before per mille"
if [ "$before" -gt "$hot_before_max" ]; then
    echo "the idle screen is already hot; the test could not tell fire from it"
    exit 1
fi

wine "$scr" /s >"$work/wine.log" 2>&1 &
saver=$!
for _ in $(seq 1 $((fire_seconds * 2))); do
    sleep 0.5
    if ! kill -0 "$saver" 2>/dev/null; then
        echo "the saver ended on its own"
        cat "$work/wine.log"
        exit 1
    fi
    rig_screenshot "$work/during.png" || { echo "no screenshot of the saver"; exit 1; }
    during=$(hot_per_mille "$work/during.png")
    [ "$during" -ge "$hot_during_min" ] && break
done
echo "hot pixels while the saver runs: $during per mille"
fail=0
if [ "$during" -lt "$hot_during_min" ]; then
    echo "too little fire in the bottom third (at least $hot_during_min per mille expected)"
    cp "$work/during.png" "${TMPDIR:-/tmp}/vulkara-smoke-$$.png" &&
        echo "screenshot kept: ${TMPDIR:-/tmp}/vulkara-smoke-$$.png"
    fail=1
fi

xdotool key space
for _ in $(seq 1 $((exit_seconds * 10))); do
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$saver" 2>/dev/null; then
    echo "a key did not end the saver within $exit_seconds seconds"
    exit 1
fi
wait "$saver"
rc=$?
saver=""
echo "the saver ended after a key (exit code $rc)"
exit $fail
