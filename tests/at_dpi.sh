#!/bin/sh
# Runs a test program under Wine at a display scale:
#   at_dpi.sh DPI PROGRAM [ARGS...]
# Wine takes the DPI from the prefix's registry (LogPixels) once per process,
# and every other test shares the suite's prefix at 96: this runs in the
# copy scripts/test keeps for it (scaled-wineprefix beside the suite's),
# with a wineserver of its own. The tests that use it take the lock
# scaled_prefix, so one scale at a time. The program learns the scale it
# should find from QELMO_TEST_DPI.
dpi=$1
shift
WINEPREFIX=$(dirname "$WINEPREFIX")/scaled-wineprefix
export WINEPREFIX QELMO_TEST_DPI="$dpi"
if [ ! -f "$WINEPREFIX/.qelmo-ready" ]; then
  echo "at_dpi: $WINEPREFIX is missing (scripts/test makes it)" >&2
  exit 1
fi
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$(dirname "$0")/under_wine.sh" "$@"
status=$?
wineserver -k 2>/dev/null
exit "$status"
