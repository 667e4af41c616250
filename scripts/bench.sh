#!/bin/bash
# Measures kestrow.exe against the least a program of its kind does
# (tools/bench_baseline.cpp), side by side in one Wine session with two
# emulated drives, and prints ratios: one-shot run, start to icon, peak
# working set, a drive selection and a language load against one NIM_MODIFY,
# memory over many selections, system calls while idle, and the shipped
# 32-bit kestrow.exe's size by section with its largest resources.
#   bench.sh [SELECTIONS]   (default 10000 selections for the memory figure)
# Figures under Wine vary from machine to machine: read the ratios.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
selections=${1:-10000}
"$root/scripts/setup.sh"
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
KESTROW_ARCH=i686 BUILD_DIR= "$root/scripts/build.sh" --target kestrow >/dev/null
"$root/scripts/build.sh" --target bench_kestrow kestrow languages bench_baseline emulated_drives >/dev/null
build=$KESTROW_BUILD

wineroot=$build/wine
"$root/scripts/wine-prefix.sh" template "$wineroot/template"
prefix=$wineroot/bench-kestrow
"$root/scripts/wine-prefix.sh" make "$prefix" "$wineroot/template" D=backup E=dvd
export WINEPREFIX=$prefix LC_ALL=C.UTF-8
[ -f "$prefix/drives/drives.conf" ] && export LD_PRELOAD=$KESTROW_EMULATED_DRIVES
kestrow_ensure_display
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1

echo "Kestrow against the baseline, $KESTROW_ARCH build under $(wine --version), $(date -u +%F)"
wine "$build/bin/bench_kestrow.exe" "$selections"

# Idle: every system call of the program's process (all its threads) over
# 20 seconds, once its start-up has settled.
wine "$build/bin/kestrow.exe" &
starter=$!
sleep 8
# `wine` runs the program in its own process (it execs the loader).
pid=$starter
if [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = kestrow.exe ] && command -v strace >/dev/null; then
    tids=()
    for task in /proc/"$pid"/task/*; do tids+=(-p "${task##*/}"); done
    log=$(mktemp)
    timeout -s INT 20 strace -f -c -o "$log" "${tids[@]}" 2>"$log.attach" || true
    # The total line: % time, seconds, usecs/call, calls, [errors,] total.
    calls=$(awk '$NF == "total" {print $4}' "$log")
    traced=$(grep -c attached "$log.attach")
    if [ "$traced" -gt 0 ]; then
        echo "system calls while idle for 20 s: ${calls:-0} ($traced threads of process $pid traced)"
    else
        echo "system calls while idle: not measured (strace could not attach)"
    fi
    rm -f "$log" "$log.attach"
else
    echo "system calls while idle: not measured (no process or no strace)"
fi
wineserver -k || true
wait "$starter" 2>/dev/null || true
rm -rf "$prefix"

# The shipped program's size, by section, and its largest resources.
exe=$root/build/bin/kestrow.exe
echo "kestrow.exe (i686): $(stat -c %s "$exe") bytes"
python3 - "$exe" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', data, 0x3C)[0]
count, optional = struct.unpack_from('<H12xH', data, pe + 6)
sections = []
for i in range(count):
    at = pe + 24 + optional + 40 * i
    name = data[at:at + 8].rstrip(b'\0').decode()
    vsize, rva, rawsize, raw = struct.unpack_from('<IIII', data, at + 8)
    sections.append((name, rva, vsize, raw, rawsize))
    print(f'  {name:8} {rawsize:7} bytes in the file')
name, base, _, raw, _ = next(s for s in sections if s[0] == '.rsrc')
kinds = {1: 'cursor', 2: 'bitmap', 3: 'icon', 4: 'menu', 5: 'dialog', 6: 'strings',
         12: 'cursor group', 14: 'icon group', 16: 'version', 24: 'manifest'}
found = []
def walk(offset, path):
    named, ids = struct.unpack_from('<12xHH', data, raw + offset)
    for i in range(named + ids):
        ident, target = struct.unpack_from('<II', data, raw + offset + 16 + 8 * i)
        if target & 0x80000000:
            walk(target & 0x7FFFFFFF, path + [ident])
        else:
            size = struct.unpack_from('<I', data, raw + target + 4)[0]
            found.append((size, kinds.get(path[0], 'named'), path[1]))
walk(0, [])
for size, kind, ident in sorted(found, reverse=True)[:6]:
    print(f'  resource {kind} {ident}: {size} bytes')
EOF
