#!/usr/bin/env bash
# A bad option or value ends the hack with status 2 and a first line that names it, before it
# opens a display (there is none here: trying would end with 1); -help lists the options.
#   hack-options.sh VULKARA
set -u
HACK=$1
unset DISPLAY XSCREENSAVER_WINDOW
status=0

# Each case: the arguments, then the option the error must name.
while IFS='|' read -r args named; do
    # shellcheck disable=SC2086 # the arguments are words
    first=$("$HACK" $args 2>&1 >/dev/null | head -1)
    "$HACK" $args >/dev/null 2>&1
    rc=$?
    echo "vulkara $args: $rc, $first"
    [ $rc -eq 2 ] || { echo "FAIL: vulkara $args ended with $rc, not 2"; status=1; }
    case "$first" in
    *"$named"*) ;;
    *) echo "FAIL: vulkara $args: the error does not name $named"; status=1 ;;
    esac
done <<'CASES'
-sparkles 1001|-sparkles
-fireballs -1|-fireballs
-fireworks 101|-fireworks
-explosion-min 0|-explosion-min
-explosion-max 151|-explosion-max
-fade 101|-fade
-fire-size huge|-fire-size
-delay 1.5|-delay
-window-id 0xzz|-window-id
-geometry 0x0|-geometry
-root --colour red|--colour
-root -sparkles|-sparkles
CASES

"$HACK" -help | grep -q -- '^  -sparkles 0\.\.1000 ' || { echo "FAIL: -help lists no -sparkles range"; status=1; }
exit $status
