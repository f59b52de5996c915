# Helpers for the runs of the X11 hack, sourced by the hack-*.sh tests: a private Xorg dummy
# server of the rig's (tools/rig.sh), windows for the hack to draw on, and pictures of them.
# The caller sets HACK (the program) and TEST_WINDOW_PROGRAM (vulkara-test-window).

. "$(dirname "${BASH_SOURCE[0]}")/../../tools/rig.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../support/fire-checks.sh"

HACK_FAIL=0
HACK_PID=""
WINDOW_PID=""
HACK_TMP=$(mktemp -d)
chmod 755 "$HACK_TMP"

fail() {
    echo "FAIL: $*"
    HACK_FAIL=1
}

hack_cleanup() {
    local pid
    for pid in "$HACK_PID" "$WINDOW_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rig_stop
    rm -rf "$HACK_TMP"
}
trap hack_cleanup EXIT

# hack_server: a server of the rig's for this test alone, as DISPLAY.
hack_server() {
    RIG_DIR=$HACK_TMP/rig
    mkdir -p "$RIG_DIR"
    rig_start_xorg || exit 1
}

# test_window WxH: a plain mapped window, its id in TEST_WINDOW; ending WINDOW_PID destroys it.
test_window() {
    "$TEST_WINDOW_PROGRAM" "$1" >"$HACK_TMP/window.id" &
    WINDOW_PID=$!
    local i
    for i in $(seq 1 100); do
        TEST_WINDOW=$(cat "$HACK_TMP/window.id")
        [ -n "$TEST_WINDOW" ] && return 0
        sleep 0.1
    done
    echo "no test window appeared"
    exit 1
}

# hack_start ARGS...: the hack in the background, its standard error in HACK_TMP/stderr.
hack_start() {
    "$HACK" "$@" 2>"$HACK_TMP/stderr" &
    HACK_PID=$!
}

# hack_wait_exit SECONDS: the hack's exit code, or 124 when it still runs after SECONDS.
hack_wait_exit() {
    local i rc
    for i in $(seq 1 $(($1 * 20))); do
        if ! kill -0 "$HACK_PID" 2>/dev/null; then
            wait "$HACK_PID"
            rc=$?
            HACK_PID=""
            return $rc
        fi
        sleep 0.05
    done
    return 124
}

# window_shot WINDOW FILE.png: what the window shows.
window_shot() {
    xwd -id "$1" -silent | convert xwd:- "png:$2"
}

# check_moving A.png B.png: two pictures of the fire taken apart differ.
check_moving() {
    local differ
    differ=$(compare -metric AE "$1" "$2" null: 2>&1)
    echo "pixels changed between $1 and $2: $differ"
    [ "${differ%%.*}" -gt 1000 ] 2>/dev/null || fail "the fire does not move ($differ pixels changed)"
}
