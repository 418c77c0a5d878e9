#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Let builds of several checkouts share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
"$root/scripts/install-deps.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMILVANE_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
exec "$build/milvane" "$@"
