#!/bin/bash
# Packs a built tree into the release files:
#   package.sh BUILD_DIR OUT_DIR
# gives OUT_DIR/kestrow-VERSION.zip (portable), OUT_DIR/kestrow-VERSION-setup.exe
# and OUT_DIR/SHA256SUMS for the two.
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

# The zip is the portable copy: a kestrow.ini beside the program keeps its
# settings there, and it does not start with Windows until the user asks.
# The installer's copy keeps its settings in the user's profile, so the file
# goes into the zip only. makensis runs in a UTF-8 locale (it crashes in the
# C one).
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
    z.writestr(os.path.basename(stage) + "/kestrow.ini", "[Main]\r\nAutostart=0\r\n")
EOF
LC_ALL=C.UTF-8 makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DICON="$build/art/program.ico" \
    -DOUTFILE="$out/kestrow-$version-setup.exe" "$root/installer/kestrow.nsi" >/dev/null
(cd "$out" && sha256sum "kestrow-$version.zip" "kestrow-$version-setup.exe" >SHA256SUMS)
echo "$out/kestrow-$version.zip"
echo "$out/kestrow-$version-setup.exe"
echo "$out/SHA256SUMS"
