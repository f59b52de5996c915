#!/usr/bin/env bash
# Runs the Windows tests of a cross build (in-process GoogleTest programs and end-to-end runs
# of vulkara.scr) under Wine on a private Xorg server, then stops what it started.
#   tools/run-windows-tests.sh [BUILD_DIR] [ctest arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/windows}
shift || true
build=$(cd "$build" && pwd)

. "$here/rig.sh"
trap rig_stop EXIT
trap 'exit 130' INT TERM

rig_start "$build/rig" || exit 1
echo "rig: Xorg on $DISPLAY, Wine prefix $WINEPREFIX"
ctest --test-dir "$build" --output-on-failure "$@"
