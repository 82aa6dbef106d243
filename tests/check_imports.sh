#!/usr/bin/env bash
# Fails when a program imports a DLL that Windows does not bring itself.
set -euo pipefail
objdump=$1
program=$2
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|wininet|winmm|msimg32|msvcrt|shlwapi|uxtheme)\.dll$'
file "$program" | grep -q 'PE32 executable (GUI) Intel 80386' || { echo "not a 32-bit GUI program: $(file "$program")"; exit 1; }
status=0
while read -r dll; do
  if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "imports a DLL that is not part of Windows: $dll"
    status=1
  fi
done < <("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
exit $status
