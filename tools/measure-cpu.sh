#!/usr/bin/env bash
# Measures what a frame on the screen costs: the full-screen saver on each output path and the
# native hack against XScreenSaver's xflame, all at 40 frames a second on the rig's Xorg dummy
# server (1024x768 unless told).
#   tools/measure-cpu.sh [VULKARA_SCR]      (default build/windows/app/vulkara.scr)
# MEASURE_CPU_MODE=WxH runs the rig at another of its modes (2048x768, 1280x1024, 3840x2160),
# where the classic fire size stretches a smaller engine frame.
# MEASURE_CPU_HACK=PATH names the native hack (default: the program named vulkara in
# build/native or build/linux).
#
# Cases, one after the other: idle (the rig alone, nothing drawing), xflame, the saver on the
# GDI path, on the DirectDraw path, on the GDI path with the desktop overlay and on the GDI
# path at the classic fire size, then the native hack on the root window at screen pixels and
# at the classic fire size. Each runs 5 s to warm up, then 15 s are measured:
# - processor time: utime + stime from /proc/PID/stat (which includes all of a process's
#   threads, live and ended) at the start and end of the window, summed over the processes
#   that do the work: the rig's Xorg, every process of the rig's Wine prefix (the saver,
#   wineserver, Wine's helpers, found by WINEPREFIX in /proc/PID/environ or as children of
#   those) and xflame or the native hack with its children. The idle window's cost is
#   subtracted. Counting only the rig's own processes, rather than the whole machine's idle
#   time, keeps the figure honest when other builds run on the machine at the same time; they
#   still slow the rig down, so a loaded machine shows fewer frames.
# - frames that reach the screen: tools/damage-frames.c counts bursts of Damage events on the
#   root window, events less than 10 ms apart belonging to one frame.
# The cases run MEASURE_CPU_ROUNDS times (3 unless told), xflame first in every round; the
# machine's speed drifts over minutes, so a ratio is taken within a round and the table gives
# medians. It gives processor use in % of one core, frames on the screen per second, the
# processor time per shown frame and each other row's cost per frame over xflame's.
# It leaves nothing running and restores the saver's settings in the rig's prefix.
# MEASURE_CPU_VERBOSE=1 lists each counted process with its processor time on stderr.
# MEASURE_CPU_CASES="gdi ddraw overlay classic native native-classic" (any of these) limits the
# cases; idle and xflame always run, as every ratio needs them. Without it the native cases run
# when the hack is built, and the saver's when the saver is.
# MEASURE_CPU_BASELINE=OTHER/vulkara.scr adds another build's GDI and classic cases, each right
# after this build's and only where this build's runs, to compare two builds side by side (the
# file must keep the name vulkara.scr: the saver's window is found by it).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
scr=${1:-$root/build/windows/app/vulkara.scr}
hack=${MEASURE_CPU_HACK:-$(find "$root/build/native" "$root/build/linux" -maxdepth 3 -type f \
    -name vulkara -perm -u+x 2>/dev/null | head -1)}
cases=${MEASURE_CPU_CASES:-}
if [ -z "$cases" ]; then
    [ -f "$scr" ] && cases="gdi ddraw overlay classic"
    [ -n "$hack" ] && [ -x "$hack" ] && cases="$cases native native-classic"
fi
wanted() { [[ " $cases " == *" $1 "* ]]; }
if wanted gdi || wanted ddraw || wanted overlay || wanted classic || [ -z "${cases// /}" ]; then
    [ -f "$scr" ] || { echo "measure-cpu: no $scr (build it: cmake --build --preset windows --target vulkara)" >&2; exit 2; }
    scr=$(cd "$(dirname "$scr")" && pwd)/$(basename "$scr")
fi
if wanted native || wanted native-classic; then
    [ -n "$hack" ] && [ -x "$hack" ] ||
        { echo "measure-cpu: no native hack ${hack:-in build/native} (set MEASURE_CPU_HACK)" >&2; exit 2; }
    hack=$(cd "$(dirname "$hack")" && pwd)/$(basename "$hack")
fi
baseline=${MEASURE_CPU_BASELINE:-}
if [ -n "$baseline" ]; then
    [ "$(basename "$baseline")" = vulkara.scr ] && [ -f "$baseline" ] ||
        { echo "measure-cpu: MEASURE_CPU_BASELINE must name an existing vulkara.scr" >&2; exit 2; }
    baseline=$(cd "$(dirname "$baseline")" && pwd)/vulkara.scr
fi

readonly WARMUP_S=5
readonly WINDOW_S=15
readonly PEER_DELAY_US=25000
readonly CONFIG='HKCU\Software\Tarvikon\Vulkara\vulkara\Config'
work=$root/build/measure

peer=""
for p in /usr/libexec/xscreensaver/xflame /usr/lib/xscreensaver/xflame; do
    [ -x "$p" ] && { peer=$p; break; }
done
[ -n "$peer" ] || { echo "measure-cpu: xflame missing (apt-get install xscreensaver-data-extra)" >&2; exit 2; }

mkdir -p "$work"
# One measurement at a time per tree: runs would share the rig's prefix, count each other's
# processes, and one's cleanup would end the other's saver. The rig's processes inherit the
# lock, so it also waits for any that outlived an interrupted run.
exec 9>"$work/lock"
if ! flock -n 9; then
    echo "measure-cpu: another measurement is running in $work; waiting for it" >&2
    flock 9
fi
counter=$work/damage-frames
if [ ! -x "$counter" ] || [ "$root/tools/damage-frames.c" -nt "$counter" ]; then
    cc -O2 -Wall -o "$counter" "$root/tools/damage-frames.c" -lXdamage -lX11 || {
        echo "measure-cpu: cannot build the frame counter (apt-get install libxdamage-dev)" >&2
        exit 2
    }
fi

. "$root/tools/rig.sh"

saver_pid=""
peer_pid="" # xflame's or the native hack's
saved_config=""
cleanup() {
    [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null && wait "$peer_pid" 2>/dev/null
    [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null && wait "$saver_pid" 2>/dev/null
    if [ -n "${WINEPREFIX:-}" ] && [ -n "$saved_config" ]; then
        wine reg delete "$CONFIG" /f >/dev/null 2>&1
        [ -s "$saved_config" ] && wine reg import "$saved_config" >/dev/null 2>&1
    fi
    rig_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM

load_before=$(uptime)
rig_start "$work/rig" || exit 1
if [ -n "${MEASURE_CPU_MODE:-}" ]; then
    xrandr -s "$MEASURE_CPU_MODE" ||
        { echo "measure-cpu: the rig has no mode $MEASURE_CPU_MODE" >&2; exit 2; }
fi
saved_config=$work/config-before.reg
rm -f "$saved_config"
wine reg export "$CONFIG" "$saved_config" >/dev/null 2>&1 || : >"$saved_config"
rig_wait_programs

# measure_window: prints "CPU_SECONDS FRAMES" for the next WINDOW_S seconds. The script runs
# without WINEPREFIX in its environment, so that it and the counter are not taken for Wine's.
measure_window() {
    env -u WINEPREFIX python3 - "$RIG_XORG_PID" "${peer_pid:-0}" "$WINEPREFIX" "$WINDOW_S" \
        "$counter" <<'PY'
import os, subprocess, sys, time

xorg, peer, prefix, seconds, counter = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], \
    float(sys.argv[4]), sys.argv[5]
tick = os.sysconf('SC_CLK_TCK')
mine = {os.getpid(), os.getppid()}
want = ('WINEPREFIX=' + prefix).encode()

def stat(pid):
    with open('/proc/%d/stat' % pid) as f:
        fields = f.read().rsplit(')', 1)[1].split()
    # After the name: state ppid ... utime (14th field of the line) and stime (15th).
    return int(fields[1]), (int(fields[11]) + int(fields[12])) / tick

def rig_processes():
    """CPU seconds so far of every process of the rig, by pid."""
    found, parents = {}, {}
    for name in os.listdir('/proc'):
        if not name.isdigit():
            continue
        pid = int(name)
        if pid in mine:
            continue
        try:
            ppid, cpu = stat(pid)
            parents[pid] = (ppid, cpu)
            if pid in (xorg, peer):
                found[pid] = cpu
                continue
            with open('/proc/%d/environ' % pid, 'rb') as f:
                if want in f.read().split(b'\0'):
                    found[pid] = cpu
        except OSError:
            pass
    grew = True
    while grew:
        grew = False
        for pid, (ppid, cpu) in parents.items():
            if pid not in found and ppid in found and ppid != xorg:
                found[pid] = cpu
                grew = True
    return found

first = rig_processes()
frames = subprocess.Popen([counter, str(seconds)], stdout=subprocess.PIPE, text=True)
last = dict(first)
end = time.monotonic() + seconds
while time.monotonic() < end:
    time.sleep(min(0.5, max(0.0, end - time.monotonic())))
    last.update(rig_processes())
out, _ = frames.communicate()
# A process that started inside the window counts from zero; one that ended counts up to its
# last sample.
cpu = sum(v - first.get(pid, 0.0) for pid, v in last.items())
if os.environ.get('MEASURE_CPU_VERBOSE'):
    for pid, v in sorted(last.items()):
        try:
            with open('/proc/%d/cmdline' % pid, 'rb') as f:
                name = f.read().replace(b'\0', b' ').decode(errors='replace').strip()
        except OSError:
            name = '(ended)'
        print('  %7d %6.2f s %s' % (pid, v - first.get(pid, 0.0), name[:70]), file=sys.stderr)
print('%.2f %s' % (cpu, out.split()[1]))
PY
}

settings() {
    local pair
    for pair in "$@"; do
        wine reg add "$CONFIG" /v "${pair%%=*}" /t REG_DWORD /d "${pair#*=}" /f >/dev/null 2>&1 ||
            { echo "measure-cpu: cannot write ${pair%%=*}" >&2; return 1; }
    done
}

saver_run() {
    # Later values win: each case names what differs from one engine pixel per screen pixel.
    settings FireSize=0 "$@" BackgroundSoundEnable=0 || return 1
    rig_wait_programs
    wine "${saver_scr:-$scr}" /s >"$work/saver.log" 2>&1 &
    saver_pid=$!
    local i
    for i in $(seq 1 150); do
        [ -n "$(xdotool search --onlyvisible --class vulkara.scr 2>/dev/null)" ] && break
        kill -0 "$saver_pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep "$WARMUP_S"
    kill -0 "$saver_pid" 2>/dev/null || { echo "measure-cpu: the saver ended early" >&2; return 1; }
    result=$(measure_window) || return 1
    xdotool key space
    for i in $(seq 1 100); do
        kill -0 "$saver_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$saver_pid" 2>/dev/null
    wait "$saver_pid" 2>/dev/null
    saver_pid=""
    rig_wait_programs
}

# Each case sets result to "CPU_SECONDS FRAMES"; run_case appends "ROUND|NAME|CPU FRAMES".
results=$work/results
: >"$results"
result=""
run_case() {
    local round=$1 name=$2
    shift 2
    echo "measuring, round $round: $name" >&2
    "$@" || exit 1
    echo "$round|$name|$result" >>"$results"
}

# program_run PROGRAM ARGS...: a program that draws on the root window until it is ended, run
# outside the Wine prefix like any X client, measured with its children.
program_run() {
    env -u WINEPREFIX "$@" >"$work/program.log" 2>&1 &
    peer_pid=$!
    sleep "$WARMUP_S"
    kill -0 "$peer_pid" 2>/dev/null ||
        { echo "measure-cpu: $1 ended early; see $work/program.log" >&2; return 1; }
    result=$(measure_window) || return 1
    kill "$peer_pid" 2>/dev/null
    wait "$peer_pid" 2>/dev/null
    peer_pid=""
}

idle_run() {
    sleep "$WARMUP_S"
    result=$(measure_window)
}

rounds=${MEASURE_CPU_ROUNDS:-3}
run_case 1 "idle (Xorg and the held Wine desktop)" idle_run
for round in $(seq 1 "$rounds"); do
    run_case "$round" "xflame -delay $PEER_DELAY_US" program_run "$peer" -root -delay "$PEER_DELAY_US"
    wanted gdi && run_case "$round" "Vulkara, GDI" saver_run UseDirectX=0 FadeScreen=0
    wanted gdi && [ -n "$baseline" ] &&
        saver_scr=$baseline run_case "$round" "baseline build, GDI" saver_run UseDirectX=0 FadeScreen=0
    wanted ddraw && run_case "$round" "Vulkara, DirectDraw" saver_run UseDirectX=1 FadeScreen=0
    wanted overlay &&
        run_case "$round" "Vulkara, GDI + desktop overlay" saver_run UseDirectX=0 FadeScreen=1
    wanted classic &&
        run_case "$round" "Vulkara, GDI, classic fire size" saver_run UseDirectX=0 FadeScreen=0 FireSize=1
    wanted classic && [ -n "$baseline" ] &&
        saver_scr=$baseline run_case "$round" "baseline build, GDI, classic fire size" saver_run \
            UseDirectX=0 FadeScreen=0 FireSize=1
    wanted native &&
        run_case "$round" "vulkara -root" program_run "$hack" -root -delay "$PEER_DELAY_US"
    wanted native-classic &&
        run_case "$round" "vulkara -root, classic fire size" program_run "$hack" -root \
            -delay "$PEER_DELAY_US" -fire-size classic
done
load_after=$(uptime)

measured=""
wanted gdi || wanted ddraw || wanted overlay || wanted classic && measured+="$scr "
wanted native || wanted native-classic && measured+="$hack "
echo "${measured}at $(xdotool getdisplaygeometry | tr ' ' x), $WINDOW_S s per case after $WARMUP_S s warm-up, $rounds rounds"
echo "load before: ${load_before#*load average: }; after: ${load_after#*load average: }"
echo
python3 - "$results" "$WINDOW_S" <<'PY'
import statistics, sys

rows = [line.rstrip('\n').split('|') for line in open(sys.argv[1]) if line.strip()]
window = float(sys.argv[2])
names, runs = [], {}
for rnd, name, result in rows:
    cpu, frames = result.split()
    if name not in runs:
        names.append(name)
        runs[name] = {}
    runs[name][int(rnd)] = (float(cpu), int(frames))
idle = runs[names[0]][1][0]
peer = names[1]

def per_frame(cpu, frames):
    return 1000 * (cpu - idle) / frames if frames > 0 else None

# Medians over the rounds; each ratio is taken within its round, where the machine was alike
# for the peer and the saver, and the median of those is given.
print('| | CPU, % of a core | frames on screen / s | CPU per shown frame (ms) | over xflame\'s |')
print('|---|---:|---:|---:|---:|')
print('| %s | %.1f | %.1f | - | - |' % (names[0], 100 * idle / window, runs[names[0]][1][1] / window))
ratios = {}
for name in names[1:]:
    by_round = runs[name]
    cpu = statistics.median(100 * (c - idle) / window for c, _ in by_round.values())
    fps = statistics.median(f / window for _, f in by_round.values())
    costs = [per_frame(*v) for v in by_round.values()]
    cost = statistics.median(c for c in costs if c is not None) if any(c is not None for c in costs) else None
    ratio = '-'
    if name != peer:
        within = []
        for rnd, v in by_round.items():
            mine, theirs = per_frame(*v), per_frame(*runs[peer][rnd])
            if mine is not None and theirs:
                within.append(mine / theirs)
        ratios[name] = within
        ratio = '%.2f' % statistics.median(within) if within else 'n/a'
    print('| %s | %.1f | %.1f | %s | %s |' % (name, cpu, fps, '%.2f' % cost if cost is not None else 'no frames', ratio))
print()
print('Each round\'s ratio to xflame: ' + '; '.join(
    '%s %s' % (name, ' '.join('%.2f' % r for r in within)) for name, within in ratios.items()))
for case in ('GDI', 'GDI, classic fire size'):
    mine, baseline = 'Vulkara, ' + case, 'baseline build, ' + case
    if baseline not in runs or mine not in runs:
        continue
    within = [per_frame(*v) / per_frame(*runs[baseline][rnd])
              for rnd, v in runs[mine].items()
              if per_frame(*v) is not None and per_frame(*runs[baseline][rnd])]
    if within:
        print('This build over the baseline, %s: median %.2f; each round %s' % (
            case, statistics.median(within), ' '.join('%.2f' % r for r in within)))
print("(processor time net of the idle row's; medians over the rounds)")
PY
