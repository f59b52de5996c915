#!/usr/bin/env bash
# vulkara.scr is a GUI program of the expected architecture that imports nothing but the
# system's own DLLs.
#   imports.sh VULKARA_SCR OBJDUMP [FORMAT]
# FORMAT is objdump's name of the image format, pei-i386 or pei-x86-64; without it, the one
# of the objdump's own target (a 64-bit MinGW objdump reads the 64-bit program).
set -u
scr=$1
objdump=${2:-objdump}
format=${3:-}
if [ -z "$format" ]; then
    case $(basename "$objdump") in
        x86_64-*) format=pei-x86-64 ;;
        *) format=pei-i386 ;;
    esac
fi
fail=0

headers=$("$objdump" -p "$scr") || { echo "cannot read $scr"; exit 1; }
grep -q "file format $format\$" <<<"$headers" || { echo "not a $format image"; fail=1; }
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
echo "$format imports: $(echo $dlls)"
exit $fail
