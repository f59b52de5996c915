#!/usr/bin/env bash
# /a 12345 (no window): the dialog opens without an owner and Escape writes nothing.
# /a 0: the change-password dialog takes a password typed twice on the keyboard and stores
# it scrambled, together with the other settings, below the key named after the program's
# file: a copy under another name keeps settings of its own.
#   change-password-mode.sh VULKARA_SCR [COPY_NAME]
set -u
scr=$1
. "$(dirname "$0")/../../tools/rig.sh"
. "$(dirname "$0")/registry-keys.sh"
name=vulkara
if [ $# -ge 2 ]; then
    name=$2
    copy=$(mktemp -d)
    trap 'rm -rf "$copy"' EXIT
    cp "$scr" "$copy/$name.scr"
    scr=$copy/$name.scr
    wine reg delete "$VULKARA_KEY\\vulkara" /f >/dev/null 2>&1
fi
key="$VULKARA_KEY\\$name"
wine reg delete "$key" /f >/dev/null 2>&1

# A handle that names no window (Wine's window handles are even): the dialog opens without an
# owner, and Escape ends it with nothing written.
wine "$scr" /a 12345 >/dev/null 2>&1 &
pid=$!
dlg=$(rig_wait_window '^Change Password$') ||
    { echo "no Change Password dialog for a handle that is not a window"; kill "$pid"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$dlg" 2>/dev/null
sleep 0.3
xdotool key Escape
rig_wait_exit "$pid" || { echo "the program did not end after Escape"; kill "$pid"; exit 1; }
if [ -n "$(wine reg query "$key\\Config" 2>/dev/null | tr -d '\r' | grep REG_)" ]; then
    echo "cancelling the dialog wrote settings"
    exit 1
fi

wine "$scr" /a 0 >/dev/null 2>&1 &
pid=$!
dlg=$(rig_wait_window '^Change Password$') || { echo "no Change Password dialog"; kill "$pid"; exit 1; }
sleep 0.5
# Without a window manager nothing gives the new dialog the keyboard: give it explicitly.
xdotool windowfocus --sync "$dlg" 2>/dev/null
sleep 0.3
xdotool type --delay 50 'flame1'
xdotool key Tab
xdotool type --delay 50 'flame1'
xdotool key Return
rig_wait_window "^$name\$" >/dev/null || { echo "no confirmation message"; kill "$pid"; exit 1; }
sleep 0.3
xdotool key Return
rig_wait_exit "$pid" || { echo "the program did not end"; kill "$pid"; exit 1; }

values=$(wine reg query "$key\\Config" 2>/dev/null | tr -d '\r')
echo "$values"
fail=0
grep -q 'Password[[:space:]]*REG_SZ' <<<"$values" || { echo "no password stored"; fail=1; }
grep -q 'flame1' <<<"$values" && { echo "the password is stored in plain text"; fail=1; }
grep -q 'SparklesCount[[:space:]]*REG_DWORD[[:space:]]*0x1f4' <<<"$values" ||
    { echo "the other settings were not written"; fail=1; }
if [ "$name" != vulkara ] && wine reg query "$VULKARA_KEY\\vulkara" >/dev/null 2>&1; then
    echo "the copy wrote into the settings of vulkara.scr"
    fail=1
fi
exit $fail
