#!/usr/bin/env bash
# The frame counter of tools/measure-cpu.sh counts what reaches the screen: nothing on an idle
# display, and on xflame at 40 frames a second about one per frame, its several drawing
# requests per frame grouped into one. A machine loaded by other work may slow xflame down,
# hence the wide lower bound; more than 40 a second would be counting requests, not frames.
#   frame-counter.sh VULKARA_SCR (unused: the counter is native)
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$here/../..

readonly count_seconds=3
readonly min_per_second=20
readonly max_per_second=42

work=$(mktemp -d)
peer=""
cleanup() {
    if [ -n "$peer" ]; then
        kill "$peer" 2>/dev/null
        wait "$peer" 2>/dev/null
        xrefresh # the flames stay on the root window; later tests expect its plain background
    fi
    rm -rf "$work"
}
trap cleanup EXIT
status=0

cc -O2 -o "$work/damage-frames" "$root/tools/damage-frames.c" -lXdamage -lX11 || exit 1

read -r _ frames _ events _ < <("$work/damage-frames" "$count_seconds")
echo "idle: $frames frames, $events events"
[ "$frames" -eq 0 ] || { echo "FAIL: $frames frames counted on an idle display"; status=1; }

xflame=""
for p in /usr/libexec/xscreensaver/xflame /usr/lib/xscreensaver/xflame; do
    [ -x "$p" ] && xflame=$p
done
[ -n "$xflame" ] || { echo "FAIL: xflame is missing"; exit 1; }
"$xflame" -root -delay 25000 >/dev/null 2>&1 &
peer=$!
sleep 1
read -r _ frames _ events _ < <("$work/damage-frames" "$count_seconds")
echo "xflame: $frames frames, $events events in $count_seconds s"
[ "$frames" -ge $((min_per_second * count_seconds)) ] &&
    [ "$frames" -le $((max_per_second * count_seconds)) ] ||
    { echo "FAIL: $frames frames is not about 40 a second"; status=1; }
[ "$events" -gt "$frames" ] || { echo "FAIL: no frame had more than one event to group"; status=1; }
exit $status
