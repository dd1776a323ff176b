#!/usr/bin/env bash
# Builds the Debian package vellumar_<version>_amd64.deb from the build folder the tests use (the package
# takes the programs stripped), and prints its path.
#
#   scripts/package.sh [BUILD_DIR]    BUILD_DIR defaults to build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2
rm -f "$build"/vellumar_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
ls "$build"/vellumar_*_amd64.deb
