#!/bin/bash
# Installs what is missing, builds, and runs every test under Wine.
# Extra arguments go to ctest (for example -R test_paths). The tests mostly
# wait for Wine and its windows, so four run at once even on two cores.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# Every C and C++ file as clang-format would write it.
find "$root/src" "$root/tests" "$root/tools" \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
# The shipped 32-bit program is built, and its size and imports checked,
# wherever the tests run on another one.
if [ "$KESTROW_ARCH" != i686 ]; then
    KESTROW_ARCH=i686 BUILD_DIR= "$root/scripts/build.sh" --target kestrow
    "$root/tests/check-exe.sh" "$root/build/bin/kestrow.exe"
fi
"$root/scripts/build.sh"
build=$KESTROW_BUILD
echo "Testing the $KESTROW_ARCH build in $build"

export KESTROW_WINE_ROOT=$build/wine
"$root/scripts/wine-prefix.sh" template "$KESTROW_WINE_ROOT/template"
kestrow_ensure_display

cd "$build"
ctest --output-on-failure -j4 "$@"
