#!/usr/bin/env bash
# Fails when a program imports a DLL other than those Windows always takes
# from its system folder. Any other import would be looked for first in the
# program's folder (a Downloads folder, where anything may lie) before the
# program's own code could say otherwise: such libraries are loaded at run
# time, from the system folder.
#   check_imports.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|shlwapi|imm32|msvcrt)\.dll$'
status=0
for program in "$@"; do
  file "$program" | grep -q 'PE32 executable (GUI) Intel 80386' || {
    echo "not a 32-bit GUI program: $(file "$program")"
    status=1
    continue
  }
  dlls=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
  echo "$(basename "$program"): $(echo $dlls)"
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "  imports a DLL that is not always taken from the system folder: $dll"
      status=1
    fi
  done <<<"$dlls"
done
exit $status
