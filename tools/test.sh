#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test tier: the native tests, the
# X11 hack's tests on private Xorg servers, the native tests under AddressSanitizer and UBSan,
# and the Windows tests (in-process and end-to-end) under Wine on a private Xorg server. Prints
# one line per tier and a summary line, and exits non-zero on any failure.
#
# The Windows tier is the long one and mostly waits on Wine and on the screen, so the native
# tiers build and run beside it at the lowest priority: they fill the idle processor
# without slowing the timed checks of the Windows tests. Each tier writes its own log,
# build/test-TIER.log, which is printed when the tier fails.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install-deps.sh" || { echo "test: installing the prerequisites failed"; exit 1; }

results="$root/build"
mkdir -p "$results"

# count_tests LASTTEST_LOG: "PASSED FAILED" from ctest's record of every test it ran. A test
# program that runs several GoogleTest cases in one process counts as its cases; any other
# test counts once. A test that failed without a failing case (a crash, a time-out, a leak
# report) counts one failure more.
count_tests() {
    [ -f "$1" ] || { echo "0 0"; return; }
    awk '
        function close_test() {
            if (!open) return
            if (cases) { passed += casesPassed; failed += casesFailed }
            if (!cases && ok) passed++
            if (!ok && (!cases || casesFailed == 0)) failed++
            open = 0
        }
        /^[0-9]+\/[0-9]+ Testing: / { close_test(); open = 1; cases = 0; casesPassed = 0
                                      casesFailed = 0; ok = 0; output = 0; next }
        /^Output:$/ { output = 1; next }
        /^<end of output>$/ { output = 0; next }
        output && /^\[  PASSED  \] [0-9]+ tests?\./ { cases = 1; casesPassed += $4 }
        output && /^\[  SKIPPED \] [0-9]+ tests?,/ { cases = 1; casesPassed += $4 }
        output && /^\[  FAILED  \] [0-9]+ tests?, listed below:/ { cases = 1; casesFailed += $4 }
        !output && /^Test Passed\./ { ok = 1 }
        END { close_test(); print passed + 0, failed + 0 }
    ' "$1"
}

# duration SECONDS: "1 m 40 s".
duration() {
    if [ "$1" -ge 60 ]; then
        echo "$(($1 / 60)) m $(($1 % 60)) s"
    else
        echo "$1 s"
    fi
}

# tier NAME BUILD_DIR COMMAND...: runs one tier into its log and records its exit code, its
# time and its counts in build/test-NAME.result.
tier() {
    local name=$1 dir=$2 start=$SECONDS rc
    local log="$results/test-$name.log"
    shift 2
    rm -f "$dir/Testing/Temporary/LastTest.log"
    "$@" >"$log" 2>&1
    rc=$?
    echo "$rc $((SECONDS - start)) $(count_tests "$dir/Testing/Temporary/LastTest.log")" \
        >"$results/test-$name.result"
    echo "== $name done ($(duration $((SECONDS - start))), exit code $rc)"
}

native() {
    cmake --preset native && cmake --build --preset native && ctest --preset native -LE linux
}
# The X11 hack of the native build, run for real on private Xorg servers.
linux() {
    ctest --preset native -L linux
}
sanitize() {
    cmake --preset sanitize && cmake --build --preset sanitize && ctest --preset sanitize -LE linux
}
# The Windows tier runs the 32-bit program, the primary build, which also makes the release.
# Where the machine cannot run 32-bit programs at all, it builds and runs the 64-bit program
# and its tests instead (the release, with its installer, is then neither made nor tested).
windows_preset=windows
if ! (. "$root/tools/rig.sh" && rig_wine_runs_32bit); then
    windows_preset=windows64
fi
windows() {
    local prepare rc build="$root/build/$windows_preset"
    cmake --preset "$windows_preset" || return 1
    # Fresh Wine prefixes for every run, made while the build runs.
    rm -rf "$build"/rig*
    VULKARA_RIGS=2 "$root/tools/run-windows-tests.sh" --prepare "$build" &
    prepare=$!
    cmake --build --preset "$windows_preset"
    rc=$?
    wait "$prepare" || { echo "test: making the Wine prefixes failed"; return 1; }
    [ "$rc" -eq 0 ] || return "$rc"
    echo "== windows built, testing" >&3
    # Two rigs: the in-process tests and the end-to-end tests share them, two at a time.
    VULKARA_RIGS=2 "$root/tools/run-windows-tests.sh" "$build"
}

tiers=(native linux sanitize windows)
exec 3>&1 # the terminal, for progress lines from inside a tier
rm -f "$results"/test-*.result
echo "== native, linux and sanitize in the background, logs in build/test-TIER.log"
(
    renice -n 19 -p "$BASHPID" >/dev/null
    tier native "$root/build/native" native
    tier linux "$root/build/native" linux
    tier sanitize "$root/build/sanitize" sanitize
) &
background=$!
if [ "$windows_preset" = windows ]; then
    echo "== windows, log in build/test-windows.log"
else
    echo "== windows: this machine cannot run 32-bit programs, so the tier builds and tests the" \
        "64-bit program (no release, no installer); log in build/test-windows.log"
fi
tier windows "$root/build/$windows_preset" windows
wait "$background"

total_passed=0
total_failed=0
status=0
report=()
for name in "${tiers[@]}"; do
    rc=1 seconds=0 passed=0 failed=0
    [ -f "$results/test-$name.result" ] && read -r rc seconds passed failed <"$results/test-$name.result"
    # A build or rig failure counts as a failure of the tier.
    [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ] && failed=1
    if [ "$rc" -ne 0 ]; then
        status=1
        echo
        echo "==== $name failed; its log, build/test-$name.log:"
        cat "$results/test-$name.log"
    fi
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    report+=("$name: $passed passed, $failed failed ($(duration "$seconds"))")
done

echo
printf '  %s\n' "${report[@]}"
echo "Tests: $total_passed passed, $total_failed failed"
exit $status
