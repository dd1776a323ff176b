#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the application on the bundled market-data service.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2
exec ./build/bin/vellumar "$@"
