#!/usr/bin/env bash
# Fuzzes every reader of outside files: builds the targets of fuzz/ with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz, runs each for SECONDS (default 60) on its corpus, and copies
# every input that crashed or hung into fuzz/corpus/<target>/regressions,
# which the ordinary tests replay. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true

# The compiler and its fuzzing runtime; not needed by the ordinary build.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${FUZZ_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=()
  [ "$(id -u)" -ne 0 ] && SUDO=(sudo)
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    { "${SUDO[@]}" apt-get update -q && "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; }
fi
"$root/scripts/install-deps.sh"

build="$root/build/fuzz"
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DMILVANE_FUZZ=ON -DMILVANE_BUILD_TESTS=OFF -DMILVANE_BUILD_APP=OFF >/dev/null

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for src in "$root"/fuzz/*.cpp; do
    name=$(basename "$src" .cpp)
    [ "$name" = replay_main ] || targets+=("$name")
  done
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  corpus="$root/fuzz/corpus/$t"
  work="$build/corpus/$t"
  artifacts="$build/artifacts/$t/"
  mkdir -p "$work" "$artifacts" "$corpus/regressions"
  echo "== $t: $seconds s"
  # New inputs go to the work corpus; the seeds and regressions are read only.
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 \
       -artifact_prefix="$artifacts" "$work" "$corpus/seeds" "$corpus/regressions" \
       >"$build/$t.log" 2>&1; then
    status=1
    tail -n 40 "$build/$t.log"
  fi
  found=0
  for f in "$artifacts"crash-* "$artifacts"timeout-* "$artifacts"oom-* "$artifacts"leak-*; do
    [ -e "$f" ] || continue
    cp "$f" "$corpus/regressions/$(basename "$f")"
    rm "$f"
    found=$((found + 1))
  done
  echo "   $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$build/$t.log" | tail -1); new failing inputs: $found"
done
exit $status
