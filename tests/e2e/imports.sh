#!/usr/bin/env bash
# vulkara.scr is a 32-bit GUI program that imports nothing but the system's own DLLs.
#   imports.sh VULKARA_SCR OBJDUMP
set -u
scr=$1
objdump=${2:-objdump}
fail=0

headers=$("$objdump" -p "$scr") || { echo "cannot read $scr"; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || { echo "not a PE32 i386 image"; fail=1; }
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a GUI program"; fail=1; }

allowed='^(kernel32|user32|gdi32|ddraw|winmm|shlwapi|shell32|comctl32|advapi32|msvcrt|ole32|oleaut32|comdlg32|version)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || { echo "no imports found"; fail=1; }
for dll in $dlls; do
    if ! grep -Eq "$allowed" <<<"$dll"; then
        echo "imports a DLL that is not the system's: $dll"
        fail=1
    fi
done
echo "imports: $(echo $dlls)"
exit $fail
