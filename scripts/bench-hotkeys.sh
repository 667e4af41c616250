#!/bin/bash
# Times the loading of hotkeys under Wine (see tools/bench_hotkeys.cpp).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
"$root/scripts/build.sh"
build=$KESTROW_BUILD
cmake --build "$build" --target bench_hotkeys

wineroot=$build/wine
"$root/scripts/wine-prefix.sh" template "$wineroot/template"
prefix=$wineroot/bench
[ -d "$prefix" ] || "$root/scripts/wine-prefix.sh" make "$prefix" "$wineroot/template"
export WINEPREFIX=$prefix
kestrow_ensure_display
wine "$build/bin/bench_hotkeys.exe"
wineserver -k || true
