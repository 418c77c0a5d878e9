#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them. Each prints
# "BENCH <name> ours=<s> raw=<s> ratio=<ours/raw>" per measurement.
# Sizes can be lowered for a quick run: MILVANE_BENCH_CUSTOMERS, MILVANE_BENCH_HISTORY;
# MILVANE_BENCH_KEEP=1 keeps the generated data folders.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Let builds of several checkouts share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DMILVANE_BUILD_BENCH=ON -DMILVANE_BUILD_APP=ON -DMILVANE_BUILD_TESTS=OFF
cmake --build "$build" -j"${JOBS:-$(nproc)}"
status=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  echo "== $(basename "$exe")"
  "$exe" || { echo "$(basename "$exe") failed" >&2; status=1; }
done
exit $status
