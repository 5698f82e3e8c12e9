#!/usr/bin/env bash
# stub.exe is a PE32 GUI program for i686 that imports only DLLs Windows always takes from its
# system folder (KnownDLLs and the C runtime that ships with Windows), so nothing planted beside
# it in a download folder is loaded through its import table.
set -eu
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$dump" || { echo "not a PE32 i386 image"; exit 1; }
grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$dump" || { echo "not a GUI program"; exit 1; }
allowed='^(kernel32|user32|gdi32|ole32|shell32|shlwapi|advapi32|msvcrt)\.dll$'
status=0
while read -r dll; do
  if ! grep -Eqi "$allowed" <<<"$dll"; then
    echo "imports $dll, which is not a KnownDLL"
    status=1
  fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
exit $status
