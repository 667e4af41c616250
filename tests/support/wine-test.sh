#!/bin/bash
# Runs one test executable in a fresh Wine prefix with its simulated drives:
#   wine-test.sh NAME "LETTER=FIXTURE ..." EXE [ARGS...]
# Needs KESTROW_WINE_ROOT (holding the booted template) and DISPLAY.
set -u
name=$1 drives=$2
shift 2
root=${KESTROW_WINE_ROOT:?set by scripts/test.sh}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$root/runs/$name

# shellcheck disable=SC2086
"$here/../../scripts/wine-prefix.sh" make "$prefix" "$root/template" $drives || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all
# Wine reads Unix file names beyond ASCII in the locale's character set and
# takes the ANSI code page from the locale: UTF-8 and code page 1252 unless a
# test asks for another locale.
export LC_ALL=${KESTROW_LOCALE:-C.UTF-8}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A test that moves the real pointer, types on the real keyboard or reads
# its desktop from X asks for an X display of its own, so that tests running
# side by side never click into or photograph each other's desktops.
xvfb_pid=""
if [ "${KESTROW_PRIVATE_DISPLAY:-}" = 1 ]; then
    exec 9< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ xvfb_pid <&9
    read -r display_number <&9
    export DISPLAY=:$display_number
fi

# Emulated drives answer through a library that every Wine process of the
# prefix loads, the server and the mount manager's service included.
if [ -f "$prefix/drives/drives.conf" ]; then
    export LD_PRELOAD=${KESTROW_EMULATED_DRIVES:?set by scripts/arch.sh}
fi

# Wine's services must not inherit ctest's output pipe, or ctest waits for
# them: start the server and the services detached first.
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1

results=$root/results
mkdir -p "$results"
timeout 280 wine "$@" --gtest_output="xml:Z:$results/$name.xml"
rc=$?
wineserver -k
wineserver -w
[ -n "$xvfb_pid" ] && kill "$xvfb_pid"
# A prefix is about 600 MB: keep it only when the test failed, to look into.
[ $rc -eq 0 ] && rm -rf "$prefix"
exit $rc
