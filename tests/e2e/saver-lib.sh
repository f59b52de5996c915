# Helpers for the end-to-end runs of the full-screen saver, sourced by the saver-*.sh scripts.
# They run on the rig's display (DISPLAY, WINEPREFIX) and use xdotool for input and xwd and
# ImageMagick for the screen.

. "$(dirname "${BASH_SOURCE[0]}")/../../tools/rig.sh"
. "$(dirname "${BASH_SOURCE[0]}")/registry-keys.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../support/fire-checks.sh"

SAVER_PID=""
SAVER_FAIL=0
SAVER_TMP=$(mktemp -d)

saver_cleanup() {
    if [ -n "$SAVER_PID" ] && kill -0 "$SAVER_PID" 2>/dev/null; then
        kill "$SAVER_PID" 2>/dev/null
        wait "$SAVER_PID" 2>/dev/null
    fi
    saver_settings_clear
    rm -rf "$SAVER_TMP"
}

fail() {
    echo "FAIL: $*"
    SAVER_FAIL=1
}

# saver_settings NAME=DWORD ...: a fresh settings key with these values.
saver_settings() {
    local reg="$SAVER_TMP/settings.reg" pair
    {
        echo 'REGEDIT4'
        echo
        echo "[-$VULKARA_CONFIG]"
        echo "[$VULKARA_CONFIG]"
        for pair in "$@"; do
            printf '"%s"=dword:%08x\n' "${pair%%=*}" "${pair#*=}"
        done
        echo
        echo "[$DESKTOP_KEY]"
        echo '"ScreenSaveUsePassword"=-'
    } >"$reg"
    wine regedit /S "Z:${reg//\//\\}"
}

# saver_password_on: the system option on and the password "FirE" stored as the settings
# record keeps it: each character xored with its key byte. The results all lie in
# 0xA0-0xFF, which the Western code pages map alike.
saver_password_on() {
    local reg="$SAVER_TMP/password.reg"
    {
        echo 'REGEDIT4'
        echo
        echo "[$VULKARA_CONFIG]"
        echo '"Password"=hex(1):e1,ba,ee,a0,00'
        echo
        echo "[$DESKTOP_KEY]"
        echo '"ScreenSaveUsePassword"=dword:00000001'
    } >"$reg"
    wine regedit /S "Z:${reg//\//\\}"
}

saver_settings_clear() {
    local reg="$SAVER_TMP/clear.reg"
    [ -d "$SAVER_TMP" ] || return 0
    printf 'REGEDIT4\n\n[-%s]\n\n[%s]\n"ScreenSaveUsePassword"=-\n' "$VULKARA_CONFIG" \
        "$DESKTOP_KEY" >"$reg"
    wine regedit /S "Z:${reg//\//\\}"
}

# A visible top-level window of the saver's process with that name (empty: any), or nothing.
saver_window() {
    xdotool search --onlyvisible --class 'vulkara.scr' 2>/dev/null | while read -r w; do
        if [ -z "$1" ] || [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ]; then
            echo "$w"
            break
        fi
    done
}

# saver_wait_window NAME SECONDS
saver_wait_window() {
    local i w
    for i in $(seq 1 $(($2 * 10))); do
        w=$(saver_window "$1")
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

# saver_start ARGS...: starts the saver and waits for its window.
saver_start() {
    wine "$SCR" "$@" &
    SAVER_PID=$!
    saver_wait_window "" 15 >/dev/null || fail "no saver window appeared"
}

# saver_wait_exit SECONDS: the saver's exit code, or 124 when it is still running.
saver_wait_exit() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        if ! kill -0 "$SAVER_PID" 2>/dev/null; then
            wait "$SAVER_PID"
            local rc=$?
            SAVER_PID=""
            return $rc
        fi
        sleep 0.1
    done
    return 124
}

geometry() {
    xdotool getdisplaygeometry
}

# settled_geometry EXPECTED: the display's size once it equals EXPECTED, or after three seconds
# whatever it is then. Wine applies a restored mode through its desktop process, which may
# still be at it when the saver's process has ended.
settled_geometry() {
    local i now
    for i in $(seq 1 30); do
        now=$(geometry)
        [ "$now" = "$1" ] && break
        sleep 0.1
    done
    echo "$now"
}

# saver_wait_fire WIDTH HEIGHT SECONDS: waits up to SECONDS until the screen shows fire as
# check_fire judges it, looking at one pixel in sixteen (the full count takes a second of
# processor time); when it does not, check_fire reports on a full screenshot.
saver_wait_fire() {
    local deadline=$((SECONDS + $3)) shot="$SAVER_TMP/fire.png" w=$(($1 / 4)) h=$(($2 / 4)) seen
    while [ "$SECONDS" -lt "$deadline" ]; do
        xwd -root -silent -display "$DISPLAY" | convert xwd:- -sample "${w}x$h!" "$shot"
        if seen=$(SAVER_FAIL=0; check_fire "$shot" "$w" "$h"; exit "$SAVER_FAIL"); then
            echo "$seen"
            return 0
        fi
    done
    rig_screenshot "$shot"
    check_fire "$shot" "$1" "$2"
}
