#!/bin/bash
# Installs what building, running and testing Kestrow on Debian 12 needs.
# Idempotent: packages already present are not installed again.
set -eu
packages="cmake ninja-build python3 g++-mingw-w64-i686-posix mingw-w64-i686-dev googletest \
g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 \
wine wine32:i386 xvfb xdotool imagemagick x11-utils fp-utils nsis zip unzip locales \
gcc-multilib genisoimage clang-format"
# gcc-multilib and genisoimage: the emulated drives (scripts/wine-prefix.sh);
# clang-format: the test run checks the sources' layout.

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# With the recommended packages: Wine's fonts among them, which the tests measure.
# shellcheck disable=SC2086
$sudo apt-get install -y -q $missing
