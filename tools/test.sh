#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test tier: the native tests, the
# native tests under AddressSanitizer and UBSan, and the Windows tests (in-process and
# end-to-end) under Wine on a private Xorg server. Prints one summary line and exits non-zero
# on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install-deps.sh" || { echo "test: installing the prerequisites failed"; exit 1; }

total_passed=0
total_failed=0
report=()
status=0

# tier NAME COMMAND...: runs one tier, counting its tests from ctest's closing line.
tier() {
    local name=$1 log
    shift
    log="$root/build/test-$name.log"
    mkdir -p "$root/build"
    echo "== $name"
    "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line passed=0 failed=0 total
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
        passed=$((total - failed))
    fi
    if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
        failed=1 # a build or rig failure counts as a failure of the tier
    fi
    [ "$rc" -ne 0 ] && status=1
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    report+=("$name: $passed passed, $failed failed")
}

native() {
    cmake --preset native && cmake --build --preset native && ctest --preset native
}
sanitize() {
    cmake --preset sanitize && cmake --build --preset sanitize && ctest --preset sanitize
}
windows() {
    cmake --preset windows && cmake --build --preset windows || return 1
    rm -rf "$root/build/windows/rig" # a fresh Wine prefix for every run
    "$root/tools/run-windows-tests.sh" "$root/build/windows"
}

tier native native
tier sanitize sanitize
tier windows windows

echo
printf '  %s\n' "${report[@]}"
echo "Tests: $total_passed passed, $total_failed failed"
exit $status
