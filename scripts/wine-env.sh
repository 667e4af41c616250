# Sourced by every script that builds or runs Kestrow: the Windows
# architecture that runs here, its build folder, `wine` pointed at its
# loader, Wine's quiet settings, and kestrow_private_display for an X
# display of one's own.
#
# Kestrow is a 32-bit program. Wine's 32-bit loader is a 32-bit Linux program,
# which some kernels cannot start (no IA-32 emulation). There the tests and
# run.sh use a 64-bit build of the same sources under 64-bit Wine instead.
# KESTROW_ARCH (i686 or x86_64) set beforehand overrides the choice, and
# BUILD_DIR the folder (build, or build-x64 for the 64-bit build).
if [ -z "${KESTROW_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        KESTROW_ARCH=i686
    else
        KESTROW_ARCH=x86_64
    fi
fi
export KESTROW_ARCH
kestrow_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "$KESTROW_ARCH" = x86_64 ]; then
    KESTROW_BUILD=${BUILD_DIR:-$kestrow_root/build-x64}
else
    KESTROW_BUILD=${BUILD_DIR:-$kestrow_root/build}
fi
export KESTROW_BUILD
# The emulated drives' libraries (tools/EmulatedDrives.c), one for each
# word size of Wine's Linux processes, for LD_PRELOAD; each process loads its own.
KESTROW_EMULATED_DRIVES=$KESTROW_BUILD/emulated-drives64.so
[ "$KESTROW_ARCH" = i686 ] && KESTROW_EMULATED_DRIVES="$KESTROW_EMULATED_DRIVES $KESTROW_BUILD/emulated-drives32.so"
export KESTROW_EMULATED_DRIVES
if [ "$KESTROW_ARCH" = x86_64 ]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    # Debian's `wine` and the wineboot/winepath wrappers start the 32-bit
    # loader whenever it is installed: these two names come first instead.
    kestrow_wine64_bin=${TMPDIR:-/tmp}/kestrow-wine64-$(id -u)
    if [ ! -x "$kestrow_wine64_bin/wine-stable" ]; then
        mkdir -p "$kestrow_wine64_bin"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$kestrow_wine64_bin/wine"
        cp "$kestrow_wine64_bin/wine" "$kestrow_wine64_bin/wine-stable"
        chmod +x "$kestrow_wine64_bin/wine" "$kestrow_wine64_bin/wine-stable"
    fi
    case ":$PATH:" in *":$kestrow_wine64_bin:"*) ;; *) PATH=$kestrow_wine64_bin:$PATH ;; esac
    export PATH
else
    export WINEARCH=win32
fi

# No debug output, no Mono or Gecko prompts, no menu entries on the host.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Starts an Xvfb of its own on a free display number, exports DISPLAY and
# sets KESTROW_XVFB_PID; the caller stops it (kill "$KESTROW_XVFB_PID").
kestrow_private_display() {
    local fd display_number
    exec {fd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ KESTROW_XVFB_PID <&$fd
    read -r display_number <&$fd
    export DISPLAY=:$display_number
}

# A private display where there is none, stopped when the script ends.
kestrow_ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    kestrow_private_display
    trap 'kill $KESTROW_XVFB_PID 2>/dev/null' EXIT
}
