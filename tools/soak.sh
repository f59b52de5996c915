#!/usr/bin/env bash
# How long the saver holds up: the real vulkara.scr under Wine on private Xorg servers.
#  - long runs: the saver on each output path (GDI, DirectDraw) with the desktop overlay on,
#    for MINUTES each (both at once, each on a rig of its own), sampling the process's memory
#    and handle count every minute;
#  - CYCLES start/stop cycles of /s, alternating the paths, ended by a key;
#  - PREVIEW_CYCLES open/close cycles of the settings sheet (/c) with its preview running.
# It prints memory at the start and the end of each long run, the largest growth, and every
# run that did not start, did not end, or left the display changed; it exits non-zero when
# there was any. It is not part of the test command: the defaults take about half an hour.
#   tools/soak.sh [--minutes N] [--cycles N] [--preview-cycles N] [--scr PATH]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=30
cycles=200
preview_cycles=100
scr="$root/build/windows/app/vulkara.scr"
while [ $# -gt 0 ]; do
    case $1 in
    --minutes) minutes=$2; shift 2 ;;
    --cycles) cycles=$2; shift 2 ;;
    --preview-cycles) preview_cycles=$2; shift 2 ;;
    --scr) scr=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--minutes N] [--cycles N] [--preview-cycles N] [--scr PATH]" >&2; exit 2 ;;
    esac
done
[ -f "$scr" ] || { echo "soak: no program at $scr (build the windows preset first)" >&2; exit 2; }

work="$root/build/soak"
rm -rf "$work"
mkdir -p "$work"
procstat="$work/procstat.exe"
# Built for the saver's architecture: a machine that runs the one may not run the other.
procstat_cxx=i686-w64-mingw32-g++-posix
x86_64-w64-mingw32-objdump -f "$scr" 2>/dev/null | grep -q 'pei-x86-64' &&
    procstat_cxx=x86_64-w64-mingw32-g++-posix
"$procstat_cxx" -O2 -static -o "$procstat" "$root/tools/ProcStat.cpp" -lpsapi || exit 2

config='HKCU\Software\Tarvikon\Vulkara\vulkara\Config'
sheet_title='^Vulkara \(v2\.21\)$'
# Seconds a saver gets to show its window, and to end after a key.
start_timeout=20
end_timeout=20

# start_rig NAME: a rig of its own for one phase, its prefix's desktop held throughout. The phases
# start theirs one at a time, so that two never take the same free display number.
start_rig() {
    . "$root/tools/rig.sh"
    trap rig_stop EXIT
    local rc
    exec 9>"$work/rig.lock"
    flock 9
    rig_start "$work/rig-$1" >/dev/null
    rc=$?
    flock -u 9
    exec 9>&-
    [ $rc -eq 0 ] || echo "$1: rig did not start" >>"$problems"
    return $rc
}

# settings NAME=DWORD ...: a fresh settings key with these values, sound off.
settings() {
    local pair
    wine reg delete "$config" /f >/dev/null 2>&1
    for pair in BackgroundSoundEnable=0 "$@"; do
        wine reg add "$config" /v "${pair%%=*}" /t REG_DWORD /d "${pair#*=}" /f >/dev/null 2>&1
    done
}

saver_window() {
    xdotool search --onlyvisible --class 'vulkara.scr' 2>/dev/null | head -1
}

# wait_for SECONDS COMMAND...: true once COMMAND prints something.
wait_for() {
    local tries=$(($1 * 5))
    shift
    while [ "$tries" -gt 0 ]; do
        [ -n "$("$@")" ] && return 0
        sleep 0.2
        tries=$((tries - 1))
    done
    return 1
}

# wait_exit PID SECONDS: true once the process has ended.
wait_exit() {
    local tries=$(($2 * 5))
    while [ "$tries" -gt 0 ] && kill -0 "$1" 2>/dev/null; do
        sleep 0.2
        tries=$((tries - 1))
    done
    ! kill -0 "$1" 2>/dev/null
}

# settled_geometry EXPECTED: the display's size once it is EXPECTED, or after 3 s whatever it is.
settled_geometry() {
    local i now
    for i in $(seq 1 30); do
        now=$(xdotool getdisplaygeometry)
        [ "$now" = "$1" ] && break
        sleep 0.1
    done
    echo "$now"
}

# run_saver LABEL: starts /s, returns once its window is up; sets pid. Problems go to problems.
run_saver() {
    wine "$scr" /s >/dev/null 2>&1 &
    pid=$!
    if ! wait_for "$start_timeout" saver_window; then
        echo "$1: did not start" >>"$problems"
        return 1
    fi
}

# end_saver LABEL GEOMETRY: a key, then the process must end and the display be GEOMETRY again.
end_saver() {
    xdotool key space
    if ! wait_exit "$pid" "$end_timeout"; then
        echo "$1: did not end" >>"$problems"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        # That ends the desktop hold too; the next runs get a new one.
        wineserver -k 2>/dev/null
        rig_hold_end
        rig_hold_start || echo "$1: the desktop hold did not start again" >>"$problems"
    fi
    local now
    now=$(settled_geometry "$2")
    [ "$now" = "$2" ] || echo "$1: left the display at $now (was $2)" >>"$problems"
}

sample() {
    wine "$procstat" vulkara.scr 2>/dev/null | tr -d '\r' | head -1
}

# long_run NAME USEDIRECTX: one path for the given minutes, sampled every minute.
long_run() {
    local name=$1 log="$work/$1.samples" before i
    start_rig "$name" || return
    settings UseDirectX="$2" FadeScreen=1
    before=$(xdotool getdisplaygeometry)
    run_saver "$name" || return
    sleep 5
    : >"$log"
    for i in $(seq 0 "$minutes"); do
        [ "$i" -gt 0 ] && sleep 60
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "$name: ended by itself after $i minutes" >>"$problems"
            return
        fi
        echo "minute=$i $(sample)" >>"$log"
    done
    end_saver "$name" "$before"
}

cycle_run() {
    local n before
    start_rig cycles || return
    before=$(xdotool getdisplaygeometry)
    for n in $(seq 1 "$cycles"); do
        settings UseDirectX=$((n % 2)) FadeScreen=$(((n / 2) % 2))
        run_saver "/s cycle $n" || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; continue; }
        sleep 1.5
        end_saver "/s cycle $n" "$before"
    done
    echo "$cycles" >"$work/cycles.done"

    wine reg delete "$config" /f >/dev/null 2>&1
    local sheet
    for n in $(seq 1 "$preview_cycles"); do
        wine "$scr" /c >/dev/null 2>&1 &
        pid=$!
        sheet=$(rig_wait_window "$sheet_title" "$start_timeout") || {
            echo "/c cycle $n: no settings sheet" >>"$problems"
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
            continue
        }
        sleep 1 # the preview draws
        xdotool mousemove --window "$sheet" 30 12 click 1
        xdotool key Escape
        if ! wait_exit "$pid" "$end_timeout"; then
            echo "/c cycle $n: did not end" >>"$problems"
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    echo "$preview_cycles" >"$work/preview.done"
}

# field NAME LINE: the value of NAME=... in a sample line.
field() {
    sed -nE "s/.*\\b$1=(-?[0-9]+).*/\\1/p" <<<"$2"
}

report_long_run() {
    local name=$1 log="$work/$1.samples" first last max_private=0 max_handles=0 line p h
    [ -s "$log" ] || { echo "$name: no samples"; return; }
    first=$(head -1 "$log")
    last=$(tail -1 "$log")
    while read -r line; do
        p=$(field private_kib "$line")
        h=$(field handles "$line")
        [ -n "$p" ] && [ "$p" -gt "$max_private" ] && max_private=$p
        [ -n "$h" ] && [ "$h" -gt "$max_handles" ] && max_handles=$h
    done <"$log"
    printf '%-22s %3d samples  private KiB %7s -> %7s (largest growth %+d)  working set KiB %7s -> %7s  handles %4s -> %4s (most %d)\n' \
        "$name" "$(wc -l <"$log")" "$(field private_kib "$first")" "$(field private_kib "$last")" \
        "$((max_private - $(field private_kib "$first")))" \
        "$(field working_set_kib "$first")" "$(field working_set_kib "$last")" \
        "$(field handles "$first")" "$(field handles "$last")" "$max_handles"
}

problems="$work/problems"
: >"$problems"
export scr procstat work problems minutes cycles preview_cycles config root
echo "soak: $minutes minutes on each path, $cycles /s cycles, $preview_cycles /c cycles ($scr)"
started=$SECONDS
(long_run gdi-overlay 0) &
gdi=$!
(long_run directdraw-overlay 1) &
ddraw=$!
(cycle_run) &
cyc=$!
wait $gdi $ddraw $cyc

echo
echo "Long runs (the saver's private bytes and working set, its handles; sampled every minute):"
report_long_run gdi-overlay
report_long_run directdraw-overlay
echo "Cycles: $(cat "$work/cycles.done" 2>/dev/null || echo 0) of $cycles /s cycles and" \
    "$(cat "$work/preview.done" 2>/dev/null || echo 0) of $preview_cycles /c cycles run"
echo "Took $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
if [ -s "$problems" ]; then
    echo "Problems ($(wc -l <"$problems")):"
    sed 's/^/  /' "$problems"
    exit 1
fi
echo "No run failed to start, failed to end or left the display changed."
