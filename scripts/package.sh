#!/bin/bash
# Packs a built tree into the release files:
#   package.sh BUILD_DIR OUT_DIR
# gives OUT_DIR/kestrow-VERSION.zip (portable) and OUT_DIR/kestrow-VERSION-setup.exe.
# The version comes from res/resource.h, the one place that holds it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 out=$2

version=$(sed -n 's/^#define KESTROW_VERSION_TEXT "\(.*\)"$/\1/p' "$root/res/resource.h")
[ -n "$version" ] || { echo "no version in res/resource.h" >&2; exit 1; }

stage=$build/release/kestrow-$version
rm -rf "$stage"
mkdir -p "$stage" "$out"
cp "$build/bin/kestrow.exe" "$build/bin/kestrow.chm" "$build"/bin/*.lng "$stage/"
# Windows users read these with Notepad: CRLF line ends.
sed 's/$/\r/' "$root/installer/README.txt" >"$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

# Language files carry names such as Français.lng: the zip marks its names as
# UTF-8 (which zip(1) does not do, so Windows would read them in the OEM code
# page), and makensis reads them in a UTF-8 locale (it crashes in the C one).
rm -f "$out/kestrow-$version.zip"
python3 - "$out/kestrow-$version.zip" "$stage" <<'EOF'
import os, sys, zipfile
archive, stage = sys.argv[1], sys.argv[2]
top = os.path.dirname(stage)
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, dirs, files in os.walk(stage):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, top))
EOF
LC_ALL=C.UTF-8 makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DICON="$build/art/program.ico" \
    -DOUTFILE="$out/kestrow-$version-setup.exe" "$root/installer/kestrow.nsi" >/dev/null
echo "$out/kestrow-$version.zip"
echo "$out/kestrow-$version-setup.exe"
