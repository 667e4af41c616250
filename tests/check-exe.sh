#!/bin/bash
# check-exe.sh EXE: the program stays small (without the unit that keeps the library's exceptions
# out, about 400 KB) and needs no DLL beyond the system's (a posix-thread build would import one).
set -u
exe=$1
limit=153600 # 150 KB
size=$(stat -c %s "$exe") || exit 1
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
status=0
[ "$size" -lt $limit ] || { echo "FAILED: $exe is $size bytes, the limit is $limit"; status=1; }
[ -n "$imports" ] || { echo "FAILED: no imports read from $exe"; status=1; }
for dll in $imports; do
    case ${dll,,} in
    advapi32.dll | comctl32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | shell32.dll | user32.dll) ;;
    *) echo "FAILED: $exe imports $dll"; status=1 ;;
    esac
done
[ $status -eq 0 ] && echo "ok: $exe, $size bytes, imports" $imports
exit $status
