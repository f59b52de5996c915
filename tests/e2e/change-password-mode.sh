#!/usr/bin/env bash
# /a 0: the change-password dialog takes a password typed twice on the keyboard and stores
# it scrambled, together with the other settings.
#   change-password-mode.sh VULKARA_SCR
set -u
scr=$1
key='HKCU\Software\Tarvikon\Vulkara\vulkara'
wine reg delete "$key" /f >/dev/null 2>&1

wine "$scr" /a 0 >/dev/null 2>&1 &
pid=$!
dlg=""
for _ in $(seq 1 100); do
    dlg=$(xdotool search --name '^Change Password$' 2>/dev/null | head -1)
    [ -n "$dlg" ] && break
    sleep 0.2
done
[ -n "$dlg" ] || { echo "no Change Password dialog"; kill "$pid"; exit 1; }
sleep 0.5
# Without a window manager nothing gives the new dialog the keyboard: give it explicitly.
xdotool windowfocus --sync "$dlg" 2>/dev/null
sleep 0.3
xdotool type --delay 50 'flame1'
xdotool key Tab
xdotool type --delay 50 'flame1'
xdotool key Return
box=""
for _ in $(seq 1 100); do
    box=$(xdotool search --name '^vulkara$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.2
done
[ -n "$box" ] || { echo "no confirmation message"; kill "$pid"; exit 1; }
sleep 0.3
xdotool key Return
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end"; kill "$pid"; exit 1
fi

values=$(wine reg query "$key\\Config" 2>/dev/null | tr -d '\r')
echo "$values"
fail=0
grep -q 'Password[[:space:]]*REG_SZ' <<<"$values" || { echo "no password stored"; fail=1; }
grep -q 'flame1' <<<"$values" && { echo "the password is stored in plain text"; fail=1; }
grep -q 'SparklesCount[[:space:]]*REG_DWORD[[:space:]]*0x1f4' <<<"$values" ||
    { echo "the other settings were not written"; fail=1; }
exit $fail
