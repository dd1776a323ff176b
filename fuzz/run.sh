#!/bin/sh
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs each for a bounded time from its seed
# corpus in tests/fixtures/fuzz/<target>/; the provider targets also start from the market-data test pages
# in tests/fixtures/marketdata/.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     SECONDS per target (default 60); all targets by default
#
# New inputs go to $BUILD/corpus/<target>/ (the seeds stay untouched), findings to $BUILD/artifacts/<target>/.
# Environment: VL_FUZZ_BUILD (default /work/build-fuzz), VL_FUZZ_NO_BUILD=1 to skip the build step.
# Exits 1 when any target reported a finding.
set -eu

seconds=${1:-60}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VL_FUZZ_BUILD:-/work/build-fuzz}
all="fuzz_database fuzz_holding_xml fuzz_import fuzz_statement fuzz_journal fuzz_ini fuzz_quotes fuzz_history fuzz_news fuzz_market_time fuzz_lookup
fuzz_index_list fuzz_service"
targets=${*:-$all}

if [ "${VL_FUZZ_NO_BUILD:-0}" != 1 ]; then
  if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVELLUMAR_GUI=OFF -DVELLUMAR_TESTS=OFF \
      -DVELLUMAR_FUZZ=ON
  fi
  cmake --build "$build" --target vl_fuzz_all -j 2
fi

failed=""
for target in $targets; do
  name=${target#fuzz_}
  seeds=""
  [ -d "$root/tests/fixtures/fuzz/$name" ] && seeds="$root/tests/fixtures/fuzz/$name"
  case $name in
    quotes | history | news | market_time | lookup | index_list) seeds="$seeds $root/tests/fixtures/marketdata" ;;
  esac
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  start=$(date +%s)
  # A run of one input over 10 s is a hang; leaks are reported at the end of each input.
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" $seeds >"$build/$target.log" 2>&1; then
    status=ok
  else
    status=FINDING
    failed="$failed $target"
  fi
  end=$(date +%s)
  echo "$target: $status, $((end - start)) s (log $build/$target.log)"
  echo "$(date -u +%FT%TZ) $target $status $((end - start))" >>"$build/fuzz-times.log"
done

if [ -n "$failed" ]; then
  echo "findings in:$failed" >&2
  exit 1
fi
