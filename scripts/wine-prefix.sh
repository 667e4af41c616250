#!/bin/bash
# Wine prefixes for running Kestrow and its tests.
#
#   wine-prefix.sh template DIR         boot a template prefix once (32-bit,
#                                       or 64-bit where scripts/wine-env.sh says)
#   wine-prefix.sh make DIR TEMPLATE [DRIVE...]
#                                       copy the template to DIR and lay out
#                                       simulated CD/DVD drives
#
# A DRIVE is LETTER=WHAT; the letter becomes a CD/DVD drive. FIXTURE names a
# disc, a folder of tests/fixtures/discs whose .windows-label file holds its
# volume label.
#
#   D=FIXTURE          a folder drive: the disc is a copy of the fixture. It has
#                      no device, so tray requests fail and nothing moves.
#   D=                 a folder drive without a medium.
#   E=dev:FIXTURE      an emulated drive holding the disc: a device (an ISO 9660
#                      image of the disc, made by genisoimage) with a tray that
#                      really takes the disc out and puts it back.
#   E=audio:N[xS]      an emulated drive holding an audio CD of N tracks of S
#                      seconds each (180 unless given).
#   E=empty            an emulated drive with its tray in and no disc.
#   E=open[:FIXTURE]   an emulated drive whose tray is out, the disc lying in it.
#
# Emulated drives answer only in Wine processes that load the library built
# from tools/EmulatedDrives.c (LD_PRELOAD; tests/support/wine-test.sh
# and scripts/run.sh do so). Their layout and state are in the prefix: see that
# file. Each request on their devices is logged to drives/requests.log.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/wine-env.sh
. "$here/wine-env.sh"
fixtures=$here/../tests/fixtures/discs

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

# An emulated drive: its device file drives/LETTER (dosdevices/LETTER::), its
# line in drives/drives.conf, the disc's files in discs/LETTER, or in
# discs/LETTER.tray with the mark drives/LETTER.open while the tray is out.
emulated_drive() {
    local dir=$1 letter=$2 what=$3
    local device=$dir/drives/$letter disc=$dir/discs/$letter fixture="" kind=data
    mkdir -p "$dir/drives"
    case $what in
    dev:*) fixture=${what#dev:} ;;
    open:*) fixture=${what#open:} ;;
    esac
    if [ -n "$fixture" ]; then
        cp -a "$fixtures/$fixture" "$disc"
        local label
        label=$(head -n 1 "$fixtures/$fixture/.windows-label")
        # No Joliet tree: Wine then reads the label and the serial from the
        # primary volume descriptor, as Windows does on such a disc.
        genisoimage -quiet -V "$label" -m .windows-label -o "$device" "$disc"
    elif [ "${what%%:*}" = audio ]; then
        local count=${what#audio:} seconds=180 tracks=""
        case $count in *x*) seconds=${count#*x} count=${count%x*} ;; esac
        for _ in $(seq "$count"); do tracks="$tracks $seconds"; done
        kind="audio$tracks"
        mkdir -p "$disc" # an audio CD shows no files
        : >"$device"
    else
        kind=empty
        : >"$device"
    fi
    echo "$letter $kind" >>"$dir/drives/drives.conf"
    case $what in
    open*)
        [ -d "$disc" ] && mv "$disc" "$disc.tray"
        : >"$dir/drives/$letter.open"
        ;;
    esac
    ln -sfn "$device" "$dir/dosdevices/$letter::"
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
        local letter=${drive%%=*} what=${drive#*=}
        letter=$(echo "$letter" | tr 'A-Z' 'a-z')
        case $what in
        dev:* | audio:* | empty | open | open:*) emulated_drive "$dir" "$letter" "$what" ;;
        "") ;;
        *) cp -a "$fixtures/$what" "$discs/$letter" ;;
        esac
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
*) echo "usage: $0 template DIR | make DIR TEMPLATE [LETTER=WHAT...]" >&2; exit 2 ;;
esac
