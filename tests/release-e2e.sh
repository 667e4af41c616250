#!/bin/bash
# The release under Wine: the installer runs silently, Kestrow starts from the
# installed folder, the uninstaller removes what it should. Needs
# KESTROW_WINE_ROOT (holding the booted template) and DISPLAY.
#   release-e2e.sh BUILD_DIR
set -u
build=$1 root=${KESTROW_WINE_ROOT:?set by scripts/test.sh} here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/wine-env.sh
. "$here/../scripts/wine-env.sh"
out=$build/release-test failures=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1" && failures=$((failures + 1)); fi
}
wait_for() { for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done; return 1; } # about 20 s
reg_has() { wine reg query "$1" ${2:+/v "$2"} >/dev/null 2>&1; } # reg_has KEY [VALUE]
reg_lacks() { ! reg_has "$@"; }
windows=Software\\Microsoft\\Windows\\CurrentVersion
run=$windows\\Run uninstall=$windows\\Uninstall\\Kestrow

"$here/../scripts/package.sh" "$build" "$out" >/dev/null || exit 1
setup=$(ls "$out"/kestrow-*-setup.exe)
# Every language file and the portable copy's settings file in the zip.
zip_holds() { # zip_holds ZIP NAME...
    python3 -c 'import sys, zipfile
names = {i.filename.split("/")[-1] for i in zipfile.ZipFile(sys.argv[1]).infolist()}
sys.exit(0 if set(sys.argv[2:]) <= names else 1)' "$@"
}
langs=("$here"/../lang/*.lng)
check "zip holds the language files and kestrow.ini" zip_holds "$(ls "$out"/kestrow-*.zip)" \
    kestrow.ini "${langs[@]##*/}"
check "SHA256SUMS match" sh -c "cd '$out' && sha256sum -c --quiet SHA256SUMS"
prefix=$root/runs/release-e2e
"$here/../scripts/wine-prefix.sh" make "$prefix" "$root/template" D=backup || exit 1
export WINEPREFIX=$prefix LC_ALL=C.UTF-8
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1

user_dir=$(ls -d "$prefix"/drive_c/users/*/ | grep -v /Public/ | head -1)
appdata="$user_dir/AppData/Roaming"
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/Kestrow.lnk"
settings="$appdata/Orvane/Kestrow/kestrow.ini"

wine "$setup" /S
installed=$(find "$prefix/drive_c" -path '*Kestrow/kestrow.exe' -print -quit)
check "installed for the current user" test -n "$installed"
dir=$(dirname "${installed:-/nonexistent/x}")
for f in kestrow.exe kestrow.chm README.txt LICENSE.txt uninstall.exe; do check "installed $f" test -f "$dir/$f"; done
check "no settings file beside the installed program" test ! -e "$dir/kestrow.ini"
for lng in "${langs[@]}"; do check "installed ${lng##*/} unchanged" cmp -s "$lng" "$dir/${lng##*/}"; done
check "Start menu shortcut" test -f "$shortcut"
check "uninstall entry" reg_has "HKCU\\$uninstall" DisplayVersion

# Kestrow runs from the installed folder, writes its log-on value and ends on Exit.
wine "$dir/kestrow.exe" &
kestrow=$!
check "Kestrow started from the installed folder" wine "$build/bin/kprobe.exe" wait 20000
check "log-on value written" sh -c "wine reg query 'HKCU\\$run' /v Kestrow | grep -qi kestrow.exe"
wine "$build/bin/kprobe.exe" command 207
wait $kestrow
check "Kestrow ended with exit code 0" test $? -eq 0
check "settings saved" test -f "$settings"

wine "$dir/uninstall.exe" /S
# The uninstaller runs on from a copy of itself: every removal is waited for.
check "program files removed" wait_for test ! -e "$dir/kestrow.exe"
check "installed folder removed" wait_for test ! -e "$dir"
check "shortcut removed" wait_for test ! -e "$shortcut"
check "log-on value removed" wait_for reg_lacks "HKCU\\$run" Kestrow
check "uninstall entry removed" wait_for reg_lacks "HKCU\\$uninstall"
check "user's settings kept" test -f "$settings"

# For all users: the program under Program Files, the shortcut in the
# common Start menu, the uninstall entry under HKLM.
wine "$setup" /S /AllUsers
common=$(find "$prefix/drive_c" -ipath '*program files*/Kestrow/kestrow.exe' -print -quit)
check "installed for all users under Program Files" test -n "$common"
common_shortcut=$(find "$prefix/drive_c" -ipath '*ProgramData*/Kestrow.lnk' -print -quit)
check "common Start menu shortcut" test -n "$common_shortcut"
check "machine-wide uninstall entry" reg_has "HKLM\\$uninstall" DisplayVersion
wine "$(dirname "${common:-/nonexistent/x}")/uninstall.exe" /S /AllUsers
check "all-users program removed" wait_for test ! -e "${common:-/nonexistent/x}"
check "common shortcut removed" wait_for test ! -e "${common_shortcut:-/nonexistent/x}"

wineserver -k && wineserver -w
echo "$failures failure(s)"
[ $failures -eq 0 ]
