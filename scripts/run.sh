#!/bin/bash
# Installs what is missing, builds, and starts Kestrow under Wine with three
# emulated drives whose trays really open and close (scripts/wine-prefix.sh):
# D: a data disc labelled BACKUP, E: a DVD-Video disc, F: an audio CD of 12
# tracks. With a display Kestrow runs there until it is ended from its menu;
# click its icon to open or close D's tray and rest the pointer on it to see
# the disc go and come back. Without a display it runs on a private Xvfb,
# opens D's tray, a screenshot of the desktop with the icon's tooltip is
# written to build/kestrow-desktop.png, and Kestrow is ended again. The
# drives' requests are in build/wine/run/drives/requests.log.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
"$root/scripts/build.sh"
build=$KESTROW_BUILD
[ "$KESTROW_ARCH" = i686 ] ||
    echo "This kernel cannot start 32-bit programs: running the 64-bit build of Kestrow."

wineroot=$build/wine
"$root/scripts/wine-prefix.sh" template "$wineroot/template"
prefix=$wineroot/run
if [ ! -f "$prefix/drives/drives.conf" ]; then
    "$root/scripts/wine-prefix.sh" make "$prefix" "$wineroot/template" D=dev:backup E=dev:dvd \
        F=audio:12
fi
export WINEPREFIX=$prefix
# The emulated drives answer in every Wine process that loads their library.
export LD_PRELOAD=$KESTROW_EMULATED_DRIVES
# Wine reads file names beyond ASCII in the locale's character set.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then export LC_ALL=C.UTF-8; fi

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
kestrow_ensure_display

if [ $headless -eq 0 ]; then
    exec wine "$build/bin/kestrow.exe" "$@"
fi

wine "$build/bin/kestrow.exe" "$@" &
kestrow=$!
wine "$build/bin/kprobe.exe" wait 20000
wine "$build/bin/kprobe.exe" command 201 # Open: the current drive's tray
# Choosing the drive again refreshes the icon, as the system's broadcast of
# the removed disc would on Windows.
wine "$build/bin/kprobe.exe" command 0
xdotool mousemove 790 590 # onto the icon, so that its tooltip shows
sleep 3 # let the taskbar paint the icon and the tooltip before the picture is taken
import -window root "$build/kestrow-desktop.png"
grep -E 'CDROMEJECT|CDROMCLOSETRAY' "$prefix/drives/requests.log" || true
echo "Kestrow is running; screenshot: $build/kestrow-desktop.png"
wine "$build/bin/kprobe.exe" command 207 || kill $kestrow
wait $kestrow || true
wineserver -k || true
