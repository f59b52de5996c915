#!/usr/bin/env bash
# The installer's round trip in a Wine prefix:
# - a silent install puts the program that fits the system (64-bit on 64-bit Windows) into the
#   system folder, where the display settings list screen savers, registers the uninstaller
#   and leaves the current screen saver alone;
# - with /CURRENT it also makes Vulkara the current screen saver;
# - the uninstaller, run silently as Add/Remove Programs runs it, removes the program, its
#   uninstall entry, its settings key and the current-saver choice that named it.
#   installer.sh SETUP_EXE VERSION OBJDUMP win64|win32
# win64 uses the rig's prefix; win32 makes a 32-bit prefix of its own beside it and drops it
# afterwards. OBJDUMP reads the program expected for that system.
set -u
setup=$1
version=$2
objdump=$3
arch=$4
. "$(dirname "$0")/registry-keys.sh"
. "$(dirname "$0")/../../tools/rig.sh"

case $arch in
    win64) format=pei-x86-64 ;;
    win32)
        format=pei-i386
        export WINEPREFIX="$WINEPREFIX-win32"
        rm -rf "$WINEPREFIX"
        WINEARCH=win32 wineboot -i >/dev/null 2>&1 || { echo "cannot make a 32-bit prefix"; exit 1; }
        wineserver -w
        ;;
    *) echo "unknown system $arch"; exit 2 ;;
esac

sysdir="$WINEPREFIX/drive_c/windows/system32"
wowdir="$WINEPREFIX/drive_c/windows/syswow64"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vulkara'
other_saver='C:\windows\system32\other.scr'
fail=0

problem() {
    echo "FAILED: $*"
    fail=1
}

# reg ARGS...: Wine's reg on the registry as the system's own programs see it (the display
# settings and Add/Remove Programs); on 64-bit Windows plain "wine reg" is the 32-bit one.
reg() {
    if [ "$arch" = win64 ]; then
        wine reg "$@" /reg:64
    else
        wine reg "$@"
    fi
}

# reg_value KEY NAME: prints the value's data; fails when the key or value is missing.
reg_value() {
    local out
    out=$(reg query "$1" /v "$2" 2>/dev/null) || return 1
    out=${out//$'\r'/}
    awk -v name="$2" '
        { line = $0; sub(/^[ \t]+/, "", line) }
        index(tolower(line), tolower(name) " ") == 1 {
            sub(/^[^ \t]+([ \t]+)REG_[A-Z_]+[ \t]*/, "", line); print line; found = 1; exit
        }
        END { exit !found }' <<<"$out"
}

# host_path WINDOWS_PATH: where a C: path of the prefix lies on the host.
host_path() {
    local path=${1//\"/}
    path=${path//\\//}
    echo "$WINEPREFIX/drive_c/${path#[Cc]:/}"
}

key_exists() {
    reg query "$1" >/dev/null 2>&1
}

# Waits for every program of the prefix to end: the uninstaller runs a copy of itself from
# the temporary folder and returns at once.
wait_for_prefix() {
    rig_wait_programs 120 || problem "the prefix's programs did not end: $(rig_programs)"
}

# The prefix is shared with the other tests: the current-saver choice goes back as it was.
saved_saver=$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE) || saved_saver=""
saved_active=$(reg_value "$DESKTOP_KEY" ScreenSaveActive) || saved_active=""
restore_desktop() {
    if [ -n "$saved_saver" ]; then
        reg add "$DESKTOP_KEY" /v SCRNSAVE.EXE /t REG_SZ /d "$saved_saver" /f
    else
        reg delete "$DESKTOP_KEY" /v SCRNSAVE.EXE /f
    fi
    if [ -n "$saved_active" ]; then
        reg add "$DESKTOP_KEY" /v ScreenSaveActive /t REG_SZ /d "$saved_active" /f
    else
        reg delete "$DESKTOP_KEY" /v ScreenSaveActive /f
    fi
} >/dev/null 2>&1
finish() {
    if [ "$arch" = win32 ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
        rm -rf "$WINEPREFIX"
    else
        restore_desktop
    fi
}
trap finish EXIT

# A clean start, whatever an earlier run left behind.
reg delete "$uninstall_key" /f >/dev/null 2>&1
reg delete "$VULKARA_KEY" /f >/dev/null 2>&1
rm -f "$sysdir/vulkara.scr" "$wowdir/vulkara.scr"
reg add "$DESKTOP_KEY" /v SCRNSAVE.EXE /t REG_SZ /d "$other_saver" /f >/dev/null ||
    { echo "cannot set up the current screen saver"; exit 1; }

echo "== silent install"
wine "$setup" /S
rc=$?
wait_for_prefix
[ "$rc" -eq 0 ] || problem "the silent install exited with $rc"
if [ -f "$sysdir/vulkara.scr" ]; then
    "$objdump" -f "$sysdir/vulkara.scr" | grep -q "file format $format\$" ||
        problem "system32/vulkara.scr is not the $format program on $arch"
else
    problem "vulkara.scr is not in system32"
fi
[ -e "$wowdir/vulkara.scr" ] && problem "vulkara.scr also went to syswow64"

for check in "DisplayName=Vulkara Screen Saver" "DisplayVersion=$version" "Publisher=Tarvikon" \
    'DisplayIcon=C:\windows\system32\vulkara.scr,0'; do
    name=${check%%=*}
    want=${check#*=}
    got=$(reg_value "$uninstall_key" "$name") || { problem "uninstall entry has no $name"; continue; }
    [ "${got,,}" = "${want,,}" ] || problem "uninstall entry $name is '$got', not '$want'"
done
uninstaller=$(reg_value "$uninstall_key" UninstallString) || problem "no UninstallString"
echo "UninstallString: ${uninstaller:-}"
uninstaller_file=$(host_path "${uninstaller:-}")
[ -f "$uninstaller_file" ] || problem "the uninstaller is not at $uninstaller_file"
saver=$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)
[ "$saver" = "$other_saver" ] || problem "a silent install changed the current saver to '$saver'"

echo "== silent install with /CURRENT"
wine "$setup" /S /CURRENT
rc=$?
wait_for_prefix
[ "$rc" -eq 0 ] || problem "the install with /CURRENT exited with $rc"
saver=$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)
[ "${saver,,}" = 'c:\windows\system32\vulkara.scr' ] ||
    problem "with /CURRENT the current saver is '$saver'"
active=$(reg_value "$DESKTOP_KEY" ScreenSaveActive)
[ "$active" = 1 ] || problem "with /CURRENT ScreenSaveActive is '$active'"

echo "== silent uninstall"
# Settings as the saver writes them.
reg add "$VULKARA_CONFIG" /v XRes /t REG_DWORD /d 640 /f >/dev/null ||
    problem "cannot write the settings key"
if [ -n "${uninstaller:-}" ]; then
    wine "$uninstaller_file" /S
    rc=$?
    wait_for_prefix
    [ "$rc" -eq 0 ] || problem "the silent uninstall exited with $rc"
fi
[ -e "$sysdir/vulkara.scr" ] && problem "vulkara.scr is still in system32"
key_exists "$uninstall_key" && problem "the uninstall entry is still there"
key_exists "$VULKARA_KEY" && problem "the settings key is still there"
reg_value "$DESKTOP_KEY" SCRNSAVE.EXE >/dev/null && problem "SCRNSAVE.EXE still names the saver"
[ -e "$uninstaller_file" ] && problem "the uninstaller is still there"
[ -e "$(dirname "$uninstaller_file")" ] && problem "the uninstaller's folder is still there"

[ "$fail" -eq 0 ] && echo "installer round trip: all checks passed"
exit $fail
