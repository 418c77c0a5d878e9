#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them. Each prints
# "BENCH <name> ours=<s> raw=<s> ratio=<ours/raw>" per measurement.
# Sizes can be lowered for a quick run: MILVANE_BENCH_CUSTOMERS, MILVANE_BENCH_HISTORY;
# MILVANE_BENCH_KEEP=1 keeps the generated data folders.
# --large runs instead the benchmarks over a million customers and ten million
# history entries (MILVANE_LARGE_CUSTOMERS, MILVANE_LARGE_HISTORY), with the
# import of 100,000 customers. Their data is generated once (a few minutes,
# about 2.3 GB) into MILVANE_BENCH_CACHE (default ~/.cache/milvane-bench) and
# reused.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
large=0
[ "${1:-}" = --large ] && large=1
# Let builds of several checkouts share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DMILVANE_BUILD_BENCH=ON -DMILVANE_BUILD_APP=ON -DMILVANE_BUILD_TESTS=OFF
cmake --build "$build" -j"${JOBS:-$(nproc)}"
status=0
if [ $large = 1 ]; then
  programs=("$build"/bench/large_* "$build"/bench/bench_import_csv)
else
  programs=("$build"/bench/bench_*)
fi
for exe in "${programs[@]}"; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  echo "== $(basename "$exe")"
  "$exe" || { echo "$(basename "$exe") failed" >&2; status=1; }
done
exit $status
