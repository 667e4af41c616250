#!/bin/bash
# Sourced: starts a private Xvfb when there is no display, and stops it on exit.
if [ -z "${DISPLAY:-}" ]; then
    exec 8< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ KESTROW_XVFB_PID <&8
    read -r display_number <&8
    export DISPLAY=:$display_number
    trap 'kill $KESTROW_XVFB_PID 2>/dev/null' EXIT
fi
