#!/bin/bash
# Installs what is missing, builds, and makes the release files in out/:
# a portable zip and an installer.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
KESTROW_ARCH=i686 "$root/scripts/build.sh"
"$root/scripts/package.sh" "${BUILD_DIR:-$root/build}" "${RELEASE_DIR:-$root/out}"
