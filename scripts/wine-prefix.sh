#!/bin/bash
# Wine prefixes for running Kestrow and its tests.
#
#   wine-prefix.sh template DIR         boot a template prefix once (32-bit,
#                                       or 64-bit where scripts/arch.sh says)
#   wine-prefix.sh make DIR TEMPLATE [DRIVE...]
#                                       copy the template to DIR and lay out
#                                       simulated CD/DVD drives
#
# A DRIVE is LETTER=FIXTURE: the letter becomes a CD/DVD drive whose disc is a
# copy of tests/fixtures/discs/FIXTURE (its .windows-label file is the volume
# label). An empty FIXTURE (D=) gives a drive without a medium.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/arch.sh
. "$here/arch.sh"
fixtures=$here/../tests/fixtures/discs

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Raise when the template's content changes, so that old templates are rebuilt.
template_version=2

make_template() {
    local dir=$1
    [ "$(cat "$dir/.kestrow-template" 2>/dev/null)" = "$template_version" ] && return 0
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX=$dir
    wineboot -i </dev/null >/dev/null 2>&1
    # No debugger on a crash: the exit code tells. Every program of the
    # prefix shares one desktop with a taskbar and a notification area.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
    wineserver -k || true
    wineserver -w || true
    echo "$template_version" >"$dir/.kestrow-template"
}

make_prefix() {
    local dir=$1 template=$2
    shift 2
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    cp -a "$template" "$dir"
    rm -f "$dir/.kestrow-template"
    local discs=$dir/discs
    mkdir -p "$discs"
    local drives_reg=""
    for drive in "$@"; do
        local letter=${drive%%=*} fixture=${drive#*=}
        letter=$(echo "$letter" | tr 'A-Z' 'a-z')
        if [ -n "$fixture" ]; then
            cp -a "$fixtures/$fixture" "$discs/$letter"
        fi
        # A link to a folder that does not exist is a drive without a medium.
        ln -sfn "$discs/$letter" "$dir/dosdevices/$letter:"
        drives_reg="$drives_reg\"$letter:\"=\"cdrom\"\n"
    done
    if [ -n "$drives_reg" ]; then
        # The mount manager reads this key when the server starts.
        printf '\n[Software\\\\Wine\\\\Drives] 1700000000\n#time=1d00000000000000\n%b' \
            "$drives_reg" >>"$dir/system.reg"
    fi
}

case ${1:-} in
template) make_template "$2" ;;
make) shift; make_prefix "$@" ;;
*) echo "usage: $0 template DIR | make DIR TEMPLATE [LETTER=FIXTURE...]" >&2; exit 2 ;;
esac
