#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX if it is not there yet, and starts one
# Wine server for it that stays up while the tests run (the caller stops it
# with `wineserver -k`).
set -euo pipefail
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -d "$WINEPREFIX" ] && ! log=$(setarch -R /usr/lib/wine/wine64 wineboot --init 2>&1); then
  printf '%s\n%s: cannot make the Wine prefix %s\n' "$log" "$(basename "$0")" "$WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  exit 1
fi
/usr/lib/wine/wineserver -p || true  # already up from an earlier run
