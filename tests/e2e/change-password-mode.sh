#!/usr/bin/env bash
# /a 0: the change-password dialog takes a password typed twice on the keyboard and stores
# it scrambled, together with the other settings.
#   change-password-mode.sh VULKARA_SCR
set -u
scr=$1
. "$(dirname "$0")/../../tools/rig.sh"
key='HKCU\Software\Tarvikon\Vulkara\vulkara'
wine reg delete "$key" /f >/dev/null 2>&1

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
rig_wait_window '^vulkara$' >/dev/null || { echo "no confirmation message"; kill "$pid"; exit 1; }
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
exit $fail
