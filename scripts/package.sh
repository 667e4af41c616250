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

rm -f "$out/kestrow-$version.zip"
(cd "$stage/.." && zip -q -r -X "$out/kestrow-$version.zip" "kestrow-$version")
makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DICON="$build/art/program.ico" \
    -DOUTFILE="$out/kestrow-$version-setup.exe" "$root/installer/kestrow.nsi" >/dev/null
echo "$out/kestrow-$version.zip"
echo "$out/kestrow-$version-setup.exe"
