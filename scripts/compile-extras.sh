#!/usr/bin/env bash
# Compiles every benchmark and every fuzz target without running them, so that neither can fall behind
# the code they exercise. The benchmarks build in the folder the tests were built in (build/), so only their
# own sources compile (for figures, build them in Release as the README shows); the fuzz targets build with
# clang and libFuzzer as fuzz/run.sh builds them (build-fuzz/). scripts/install-deps.sh installs both
# compilers and the libFuzzer runtime.
#
#   scripts/compile-extras.sh [BENCH_BUILD_DIR] [FUZZ_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${1:-build}
fuzz=${2:-build-fuzz}
bash scripts/install-deps.sh
cmake -S . -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMAR_BENCH=ON >/dev/null
cmake --build "$bench" -j 2 --target vellumar_bench vellumar_ui_bench
CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DVELLUMAR_GUI=OFF -DVELLUMAR_TESTS=OFF -DVELLUMAR_FUZZ=ON \
  >/dev/null
cmake --build "$fuzz" -j 2 --target vl_fuzz_all
