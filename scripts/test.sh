#!/bin/bash
# Installs what is missing, builds, and runs every test under Wine.
# Extra arguments go to ctest (for example -R test_paths). The tests mostly
# wait for Wine and its windows, so four run at once even on two cores.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}

export KESTROW_WINE_ROOT=$build/wine
export KESTROW_EMULATED_DRIVES=$build/emulated-drives.so
"$root/scripts/wine-prefix.sh" template "$KESTROW_WINE_ROOT/template"
# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"

cd "$build"
ctest --output-on-failure -j4 "$@"
