#!/usr/bin/env bash
# Runs the Windows tests of a cross build (in-process GoogleTest programs and end-to-end runs
# of vulkara.scr) under Wine on private Xorg servers, then stops what it started.
#   tools/run-windows-tests.sh [BUILD_DIR] [ctest arguments...]
# VULKARA_RIGS=N starts N rigs, each an Xorg server and a Wine prefix of its own (BUILD_DIR/rig,
# BUILD_DIR/rig2, ...), and runs up to N of the tests that need one at a time, each on a rig
# of its own; the default is one. Tests that only read files run beside them.
#
#   tools/run-windows-tests.sh --prepare [BUILD_DIR]
# only makes the rigs' Wine prefixes (which takes a while) and stops, so that a build can run
# meanwhile.
#
# ctest starts every test that needs a rig through this script, which sets the DISPLAY and
# WINEPREFIX of the rig ctest gave it (or leaves those of the caller) and runs the command:
#   tools/run-windows-tests.sh --in-rig COMMAND...
set -u
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --in-rig ]; then
    shift
    # ctest names the rig as "id:NAME,slots:1", NAME being the rig's folder in the build.
    if [ -n "${CTEST_RESOURCE_GROUP_0_RIG:-}" ] && [ -n "${VULKARA_RIG_BUILD:-}" ]; then
        rig=${CTEST_RESOURCE_GROUP_0_RIG#id:}
        rig=${rig%%,*}
        . "$VULKARA_RIG_BUILD/$rig/env" || { echo "no rig $rig is running" >&2; exit 1; }
    fi
    exec "$@"
fi

prepare=0
if [ "${1:-}" = --prepare ]; then
    prepare=1
    shift
fi
build=${1:-$here/../build/windows}
shift || true
build=$(cd "$build" && pwd)
count=${VULKARA_RIGS:-1}

rigs=()
pids=()
stop_rigs() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    pids=()
}
trap stop_rigs EXIT
trap 'exit 130' INT TERM

# start_rig DIR: starts a rig in a subshell that keeps it, its prefix's desktop held, until it is
# told to stop, and that writes DIR/env, the rig's environment, once the rig is up. It returns once the rig's X
# server runs: two servers started at once could pick the same free display number.
start_rig() {
    rm -f "$1/env" "$1/display"
    (
        . "$here/rig.sh"
        keeper=""
        trap '[ -n "$keeper" ] && kill "$keeper" 2>/dev/null; rig_stop' EXIT
        trap 'exit 0' TERM
        RIG_DIR=$1
        rig_start_xorg || exit 1
        echo "$DISPLAY" >"$1/display"
        rig_start_wine || exit 1
        [ "$prepare" -eq 1 ] || rig_hold_start || exit 1
        sleep infinity &
        keeper=$!
        printf 'export DISPLAY=%q WINEPREFIX=%q WINEDEBUG=%q WINEDLLOVERRIDES=%q PATH=%q\n' \
            "$DISPLAY" "$WINEPREFIX" "$WINEDEBUG" "$WINEDLLOVERRIDES" "$PATH" >"$1/env"
        [ -n "${WINELOADER:-}" ] && printf 'export WINELOADER=%q\n' "$WINELOADER" >>"$1/env"
        echo "rig: Xorg on $DISPLAY, Wine prefix $WINEPREFIX"
        wait "$keeper"
    ) &
    pids+=("$!")
    until [ -f "$1/display" ]; do
        kill -0 "${pids[-1]}" 2>/dev/null || return 1
        sleep 0.1
    done
}

for i in $(seq 1 "$count"); do
    name=rig
    [ "$i" -gt 1 ] && name=rig$i
    rigs+=("$name")
    mkdir -p "$build/$name"
    start_rig "$build/$name" || { echo "rig: $name did not start"; exit 1; }
done
# Every rig up, or stop.
for i in "${!rigs[@]}"; do
    until [ -f "$build/${rigs[$i]}/env" ]; do
        kill -0 "${pids[$i]}" 2>/dev/null || { echo "rig: ${rigs[$i]} did not start"; exit 1; }
        sleep 0.2
    done
done
[ "$prepare" -eq 1 ] && exit 0

rigs_file="$build/rigs.json"
{
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"rig": ['
    for i in "${!rigs[@]}"; do
        [ "$i" -gt 0 ] && printf ', '
        printf '{"id": "%s", "slots": 1}' "${rigs[$i]}"
    done
    printf ']}]}\n'
} >"$rigs_file"

export VULKARA_RIG_BUILD=$build
ctest --test-dir "$build" --output-on-failure --resource-spec-file "$rigs_file" -j "$((count + 1))" "$@"
