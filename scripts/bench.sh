#!/bin/bash
# Measures the real kestrow.exe under Wine with two simulated drives: size,
# start-up time, memory and handles while idle, and the cost of a drive
# selection. Numbers are reported, never asserted (Wine is not Windows).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arch.sh
. "$root/scripts/arch.sh"
"$root/scripts/build.sh"
build=$KESTROW_BUILD
cmake --build "$build" --target bench_kestrow

wineroot=$build/wine
"$root/scripts/wine-prefix.sh" template "$wineroot/template"
prefix=$wineroot/bench-kestrow
"$root/scripts/wine-prefix.sh" make "$prefix" "$wineroot/template" D=backup E=dvd
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1
wine "$build/bin/bench_kestrow.exe"
wineserver -k || true
rm -rf "$prefix"
