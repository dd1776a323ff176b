#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it. Any
# sanitizer report (memory error, leak, undefined behaviour) ends its test program with an error, so the
# suite passes only without findings.
#
#   scripts/test-sanitized.sh [BUILD_DIR] [extra cmake options...]    BUILD_DIR defaults to build-asan
#
# The Qt tests run too, on the offscreen platform; pass -DVELLUMAR_GUI=OFF for the core layers alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
[ $# -gt 0 ] && shift
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMAR_SANITIZE=ON -DVELLUMAR_GUI=ON \
  "$@" >/dev/null
cmake --build "$build" -j 2
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/scripts/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
