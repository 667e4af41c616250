#!/bin/bash
# Configures and builds Kestrow for KESTROW_ARCH (default i686, the program
# as shipped) into BUILD_DIR (default build, or build-x64). Arguments go to
# cmake --build (for example --target kestrow).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export KESTROW_ARCH=${KESTROW_ARCH:-i686}
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
toolchain=$root/cmake/toolchain-mingw32.cmake
[ "$KESTROW_ARCH" = x86_64 ] && toolchain=$root/cmake/toolchain-mingw64.cmake
if [ ! -f "$KESTROW_BUILD/build.ninja" ]; then
    cmake -S "$root" -B "$KESTROW_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain"
fi
cmake --build "$KESTROW_BUILD" "$@"
