#!/usr/bin/env bash
# The hack under the real XScreenSaver daemon: a ~/.xscreensaver whose programs name it, and
# the saver activated by xscreensaver-command, shows the fire on the screen. The daemon refuses
# to run hacks as root, so as root it runs as nobody, let in by xhost.
#   hack-xscreensaver.sh VULKARA
set -u
HACK=$1
. "$(dirname "$0")/hack-lib.sh"
command -v xscreensaver >/dev/null || { echo "xscreensaver is missing (tools/install-deps.sh)"; exit 1; }

home=$HACK_TMP/home
mkdir -p "$home"
cat >"$home/.xscreensaver" <<XSS
timeout:	1:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
mode:		one
selected:	0
programs:	$HACK -root -fade 0	\n
XSS

as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u nobody -- env HOME="$home" DISPLAY="$DISPLAY" "$@"
    else
        env HOME="$home" "$@"
    fi
}

daemon=""
stop_daemon() {
    [ -n "$daemon" ] || return 0
    as_user xscreensaver-command -exit >/dev/null 2>&1
    kill "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
}
trap 'stop_daemon; hack_cleanup' EXIT

hack_server
[ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$home"
xhost +local: >/dev/null
as_user xscreensaver -no-splash -verbose >"$HACK_TMP/xscreensaver.log" 2>&1 &
daemon=$!
for i in $(seq 1 50); do
    as_user xscreensaver-command -time >/dev/null 2>&1 && break
    sleep 0.2
done
as_user xscreensaver-command -activate || fail "xscreensaver-command -activate failed"
sleep 3
rig_screenshot "$HACK_TMP/saver.png"
read -r width height < <(xdotool getdisplaygeometry)
check_fire "$HACK_TMP/saver.png" "$width" "$height"
grep -qF "forked \"$HACK -root" "$HACK_TMP/xscreensaver.log" || fail "the daemon started no vulkara"
[ $HACK_FAIL -eq 0 ] || cat "$HACK_TMP/xscreensaver.log"
exit $HACK_FAIL
