#!/usr/bin/env bash
# One build command makes the release folder: the 32- and 64-bit programs (each named
# vulkara.scr), the installer, the installing instructions as a Windows text file, and
# SHA-256 checksums that match. Nothing else is in it.
#   dist.sh BUILD_DIR RELEASE_DIR VERSION
set -u
build=$1
release=$2
version=$3
fail=0
problem() {
    echo "FAILED: $*"
    fail=1
}

# pe_machine FILE: the machine field of a PE image's header, in hexadecimal.
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') || return 1
    od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

cmake --build "$build" --target dist || { echo "the dist target failed"; exit 1; }
cd "$release" || exit 1

setup="vulkara-$version-setup.exe"
expected=$(printf '%s\n' INSTALL.txt SHA256SUMS "$setup" x64/vulkara.scr x86/vulkara.scr | sort)
actual=$(find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || problem "the release holds:"$'\n'"$actual"

[ "$(pe_machine x86/vulkara.scr)" = 014c ] || problem "x86/vulkara.scr is not an i386 image"
[ "$(pe_machine x64/vulkara.scr)" = 8664 ] || problem "x64/vulkara.scr is not an x86-64 image"
[ "$(pe_machine "$setup")" = 014c ] || problem "the installer is not a 32-bit program"

sha256sum --strict -c SHA256SUMS || problem "checksums do not match"
listed=$(awk '{ print $2 }' SHA256SUMS | sort)
[ "$listed" = "$(grep -v '^SHA256SUMS$' <<<"$expected")" ] || problem "SHA256SUMS lists: $listed"

grep -q '^Installing on Windows' INSTALL.txt || problem "INSTALL.txt lacks the installing section"
grep -q "$setup" INSTALL.txt || problem "INSTALL.txt does not name the installer"
grep -q '^## ' INSTALL.txt && problem "INSTALL.txt runs into the next section of the README"
lines=$(wc -l <INSTALL.txt)
crlf=$(grep -c $'\r$' INSTALL.txt)
[ "$lines" -gt 3 ] && [ "$crlf" -eq "$lines" ] || problem "INSTALL.txt is not a Windows text file"

[ "$fail" -eq 0 ] && echo "release folder $release: all checks passed"
exit $fail
