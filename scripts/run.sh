#!/bin/bash
# Installs what is missing, builds, and starts Kestrow under Wine with two
# simulated drives (D: a data disc labelled BACKUP, E: a DVD-Video disc).
# With a display Kestrow runs there until it is ended from its menu. Without
# one it runs on a private Xvfb, a screenshot of the desktop is written to
# build/kestrow-desktop.png, and Kestrow is ended again.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# shellcheck source=scripts/arch.sh
. "$root/scripts/arch.sh"
"$root/scripts/build.sh"
build=$KESTROW_BUILD
[ "$KESTROW_ARCH" = i686 ] ||
    echo "This kernel cannot start 32-bit programs: running the 64-bit build of Kestrow."

wineroot=$build/wine
"$root/scripts/wine-prefix.sh" template "$wineroot/template"
prefix=$wineroot/run
if [ ! -d "$prefix" ]; then
    "$root/scripts/wine-prefix.sh" make "$prefix" "$wineroot/template" D=backup E=dvd
fi
export WINEPREFIX=$prefix WINEDEBUG=-all
# Wine reads file names (Français.lng) in the locale's character set.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then export LC_ALL=C.UTF-8; fi
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"

if [ $headless -eq 0 ]; then
    exec wine "$build/bin/kestrow.exe" "$@"
fi

wine "$build/bin/kestrow.exe" "$@" &
kestrow=$!
wine "$build/bin/kprobe.exe" wait 20000
sleep 2 # let the taskbar paint the icon before the picture is taken
import -window root "$build/kestrow-desktop.png"
echo "Kestrow is running; screenshot: $build/kestrow-desktop.png"
wine "$build/bin/kprobe.exe" command 207 || kill $kestrow
wait $kestrow || true
wineserver -k || true
