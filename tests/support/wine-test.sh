#!/bin/bash
# Runs one test executable in a fresh Wine prefix with its simulated drives:
#   wine-test.sh NAME "LETTER=FIXTURE ..." EXE [ARGS...]
# Needs KESTROW_WINE_ROOT (holding the booted template) and DISPLAY.
set -u
prefix=${KESTROW_WINE_ROOT:?set by scripts/test.sh}/runs/$1 drives=$2 root=$KESTROW_WINE_ROOT
here=$(cd "$(dirname "$0")" && pwd)
shift 2
# shellcheck source=scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"

# shellcheck disable=SC2086
"$here/../../scripts/wine-prefix.sh" make "$prefix" "$root/template" $drives || exit 1
export WINEPREFIX=$prefix
# The locale gives Wine the ANSI code page and the Unix file names' character
# set: code page 1252 and UTF-8 unless a test asks for another (compiled into
# LOCPATH when the system lacks it).
locale=${KESTROW_LOCALE:-C.UTF-8}
[ -n "${LOCPATH:-}" ] && [ ! -d "$LOCPATH/$locale" ] && mkdir -p "$LOCPATH" &&
    localedef -i "${locale%%.*}" -f UTF-8 "$LOCPATH/$locale"
export LC_ALL=$locale
KESTROW_XVFB_PID=""
[ "${KESTROW_PRIVATE_DISPLAY:-}" = 1 ] && kestrow_private_display # see tests.cmake

# Emulated drives answer through a library that every Wine process of the
# prefix loads, the server and the mount manager's service included.
[ -f "$prefix/drives/drives.conf" ] && export LD_PRELOAD=$KESTROW_EMULATED_DRIVES

# Wine's services must not inherit ctest's output pipe, or ctest waits for
# them: start the server and the services detached first.
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1

timeout 280 wine "$@"; rc=$?
wineserver -k && wineserver -w
[ -n "$KESTROW_XVFB_PID" ] && kill "$KESTROW_XVFB_PID"
# A prefix is about 600 MB: keep it only when the test failed, to look into.
[ $rc -eq 0 ] && rm -rf "$prefix"
exit $rc
