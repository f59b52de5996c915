# The Windows test rig, sourced by the scripts that run Windows programs: a private Xorg server
# with the dummy video driver (which, unlike Xvfb, can change display modes) and a private
# Wine prefix. rig_stop ends everything rig_start started, by process id; callers trap it.

RIG_XORG_PID=""
RIG_DIR=""
RIG_HOLD_PID=""
RIG_HOLD_READY=""
RIG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Seconds the desktop hold gets to open its window before it counts as hung in Wine's loader.
RIG_HOLD_START_S=30

# rig_start WORKDIR: starts Xorg on a free display, prepares the Wine prefix WORKDIR/wine and
# holds its desktop.
rig_start() {
    RIG_DIR=$1
    mkdir -p "$RIG_DIR"
    rig_start_xorg || return 1
    rig_start_wine || return 1
    rig_hold_start || return 1
}

rig_free_display() {
    local n
    for n in $(seq 40 99); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

rig_start_xorg() {
    local n conf log tries
    conf="$RIG_DIR/xorg.conf"
    log="$RIG_DIR/xorg.log"
    cat >"$conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    # Enough for the largest mode at 32 bits a pixel: 3840 x 2160 x 4 bytes is 32400 KiB.
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    # Two 1024x768 monitors side by side, for the layouts of several monitors.
    Modeline "2048x768" 127.75 2048 2152 2360 2672 768 771 781 798 -hsync +vsync
    # A 4K screen for measuring. The dummy driver refuses pixel clocks above 300 MHz, so it
    # runs at 24 Hz, which no measurement depends on: nothing waits for the vertical blank.
    Modeline "3840x2160" 266.75 3840 4056 4456 5072 2160 2163 2168 2192 -hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768" "2048x768" "1280x1024" "800x600" "640x480" "3840x2160"
        Virtual 3840 2160
    EndSubSection
EndSection
CONF
    for tries in 1 2 3; do
        n=$(rig_free_display) || { echo "rig: no free X display number" >&2; return 1; }
        Xorg ":$n" -config "$conf" -noreset -nolisten tcp -logfile "$log" \
            >"$RIG_DIR/xorg.out" 2>&1 </dev/null &
        RIG_XORG_PID=$!
        local i
        for i in $(seq 1 100); do
            kill -0 "$RIG_XORG_PID" 2>/dev/null || break
            # The server that answers must be ours: another rig starting at the same moment may
            # have taken the same number first. The lock file holds the owner's process id.
            if [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$RIG_XORG_PID" ] &&
                DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$RIG_XORG_PID" 2>/dev/null
        wait "$RIG_XORG_PID" 2>/dev/null
        RIG_XORG_PID=""
    done
    echo "rig: Xorg did not start; see $log" >&2
    return 1
}

# Wine's settings for a cheap DirectDraw path, the same as the README gives for running the
# saver: without Direct3D's command-stream thread, which spins between frames, and with Mesa's
# software renderer drawing on the calling thread. That more than halves Wine's processor use on
# that path and leaves the picture as it is.
rig_wine_cheap_env() {
    export WINE_D3D_CONFIG=csmt=0
    export LP_NUM_THREADS=0
}

# The rig has no game controllers. With SDL on the machine, Wine's device process looks for
# them through SDL a hundred times a second whatever runs, about 2 % of a core: more than a
# third of what the saver itself costs at 1024x768. Turning that bus off keeps it out of every
# figure the rig measures; hidraw and evdev devices are still found. A new prefix may not have
# its registry on disk yet (Wine writes it a while after wineboot ends), so a missing file only
# means the value is still to be set.
rig_wine_quiet_devices() {
    grep -qs '^"Enable SDL"=dword:00000000' "$WINEPREFIX/system.reg" && return 0
    wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v "Enable SDL" \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1 || {
        echo "rig: cannot turn off Wine's SDL device bus" >&2
        return 1
    }
    wineserver -w 2>/dev/null
}

# rig_has_sound_device: true when the kernel lists a sound card.
rig_has_sound_device() {
    [ -r /proc/asound/cards ] && grep -q '^ *[0-9]' /proc/asound/cards
}

# rig_wine_runs_32bit: true when this machine runs Wine's 32-bit loader. Some kernels are built
# or booted without 32-bit support; there the loader fails with "Exec format error".
rig_wine_runs_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# rig_use_wine64 DIR: makes `wine` (and the programs that start through it, such as wineboot)
# run the 64-bit loader, which runs 64-bit Windows programs only. Debian's `wine` picks the
# 32-bit loader whenever it is installed, so two small scripts in DIR, first on the PATH, stand
# in for it.
rig_use_wine64() {
    local name
    mkdir -p "$1"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/$name"
        chmod +x "$1/$name"
    done
    export WINELOADER=/usr/lib/wine/wine64
    case ":$PATH:" in
    *":$1:"*) ;;
    *) export PATH="$1:$PATH" ;;
    esac
}

rig_start_wine() {
    rig_wine_runs_32bit || rig_use_wine64 "$RIG_DIR/wine64-bin"
    export WINEPREFIX="$RIG_DIR/wine"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    rig_wine_cheap_env
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >"$RIG_DIR/wineboot.log" 2>&1 || {
            echo "rig: wineboot failed; see $RIG_DIR/wineboot.log" >&2
            return 1
        }
    fi
    rig_wine_quiet_devices || return 1
    wineserver -w 2>/dev/null
    return 0
}

# rig_hold_program: prints the path of the desktop hold (tools/DesktopHold.cpp), which it builds
# into build/tools when it is missing or older than its source. It is a 64-bit program, as the
# rig's prefixes are.
rig_hold_program() {
    local exe="$RIG_ROOT/build/tools/desktop-hold.exe" src="$RIG_ROOT/tools/DesktopHold.cpp" tmp
    if [ ! -f "$exe" ] || [ "$src" -nt "$exe" ]; then
        mkdir -p "$RIG_ROOT/build/tools"
        # Built under another name and renamed: rigs that start at once may both build it.
        tmp=$(mktemp --suffix=.exe "$RIG_ROOT/build/tools/desktop-hold.XXXXXX") || return 1
        x86_64-w64-mingw32-g++ -O2 -static -mwindows -o "$tmp" "$src" &&
            mv -f "$tmp" "$exe" || {
            rm -f "$tmp"
            echo "rig: cannot build $src" >&2
            return 1
        }
    fi
    echo "$exe"
}

# rig_hold_start: keeps the prefix's desktop in use until rig_hold_end. Wine 8.0 replaces its
# desktop process about 1.5 to 2.5 s after the last program of a prefix ends, and a program
# started then never leaves Wine's loader; with the hold's hidden window open that never
# happens. A hold that hangs so itself is ended and started again.
rig_hold_start() {
    local exe try i
    exe=$(rig_hold_program) || return 1
    for try in 1 2 3; do
        RIG_HOLD_READY=$(mktemp -u "${TMPDIR:-/tmp}/desktop-hold.XXXXXX")
        wine "$exe" "Z:${RIG_HOLD_READY//\//\\}" </dev/null >/dev/null 2>&1 &
        RIG_HOLD_PID=$!
        for i in $(seq 1 $((RIG_HOLD_START_S * 10))); do
            if [ -e "$RIG_HOLD_READY" ]; then
                rm -f "$RIG_HOLD_READY"
                return 0
            fi
            kill -0 "$RIG_HOLD_PID" 2>/dev/null || break
            sleep 0.1
        done
        rig_hold_end
    done
    echo "rig: the desktop hold did not start" >&2
    return 1
}

# rig_hold_end: ends the desktop hold, if one runs.
rig_hold_end() {
    local i
    if [ -n "$RIG_HOLD_PID" ]; then
        kill "$RIG_HOLD_PID" 2>/dev/null
        for i in $(seq 1 50); do
            kill -0 "$RIG_HOLD_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$RIG_HOLD_PID" 2>/dev/null
        wait "$RIG_HOLD_PID" 2>/dev/null
        RIG_HOLD_PID=""
    fi
    [ -n "$RIG_HOLD_READY" ] && rm -f "$RIG_HOLD_READY"
    RIG_HOLD_READY=""
}

# Wine's own processes of a prefix, which run as long as any program does, and the desktop hold.
RIG_WINE_OWN=(explorer.exe services.exe winedevice.exe plugplay.exe svchost.exe rpcss.exe conhost.exe
              desktop-hold.exe)

# rig_programs: prints the command line of every program running in the prefix but those.
rig_programs() {
    local environ pid exe args name
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        mapfile -d '' args 2>/dev/null <"$environ" || continue
        [[ " ${args[*]} " == *" WINEPREFIX=$WINEPREFIX "* ]] || continue
        # A Windows program runs in Wine's loader (wine, wine64 or their preloaders).
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        [[ ${exe##*/} =~ ^wine(64)?(-preloader)?$ ]] || continue
        mapfile -d '' args 2>/dev/null <"/proc/$pid/cmdline" || continue
        name=${args[0]##*[/\\]}
        [[ " ${RIG_WINE_OWN[*]} " == *" ${name,,} "* ]] || echo "${args[*]}"
    done
}

# rig_wait_programs [SECONDS]: waits up to SECONDS (default 120) until no program runs in the
# prefix but Wine's own and the desktop hold (where wineserver -w would wait for the hold too);
# fails when one still does.
rig_wait_programs() {
    local deadline=$((SECONDS + ${1:-120}))
    while [ -n "$(rig_programs)" ]; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.5
    done
}

rig_stop() {
    rig_hold_end
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    if [ -n "$RIG_XORG_PID" ]; then
        kill "$RIG_XORG_PID" 2>/dev/null
        wait "$RIG_XORG_PID" 2>/dev/null
        RIG_XORG_PID=""
    fi
}

# rig_screenshot FILE.png: the whole screen of the rig's display.
rig_screenshot() {
    xwd -root -silent -display "$DISPLAY" | convert xwd:- "png:$1"
}

# rig_wait_window NAME_REGEX [SECONDS]: prints the id of the first window whose name matches,
# waiting up to SECONDS (default 20); fails when none appears.
rig_wait_window() {
    local id="" tries=$(( ${2:-20} * 5 ))
    while [ "$tries" -gt 0 ]; do
        id=$(xdotool search --name "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
        tries=$((tries - 1))
    done
    return 1
}

# rig_wait_exit PID [SECONDS]: waits up to SECONDS (default 10) for a process to end; fails
# when it is still running.
rig_wait_exit() {
    local tries=$(( ${2:-10} * 5 ))
    while [ "$tries" -gt 0 ] && kill -0 "$1" 2>/dev/null; do
        sleep 0.2
        tries=$((tries - 1))
    done
    ! kill -0 "$1" 2>/dev/null
}
