#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded time on its seed corpus. Usage: scripts/fuzz.sh [seconds per target]
# (default 15). A finding leaves its reproducer in build/fuzz/findings/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
dir="$here/build/fuzz"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$dir" -DNORBIX_FUZZ=ON -DNORBIX_SANITIZE=ON \
    -DNORBIX_TESTS=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" 2>&1 | sed -E '/^\[ *[0-9]+%\]/d'
mkdir -p "$dir/findings"
status=0
[ -f "$dir/fuzzers.txt" ] || { echo "fuzz: no targets"; exit 0; }
while read -r name corpus options; do
  [ -n "$name" ] || continue
  work="$dir/corpus/$name"
  mkdir -p "$work"
  echo "== fuzz $name (${seconds}s)"
  # shellcheck disable=SC2086  # options: separate words
  if ! "$dir/fuzzers/$name" -max_total_time="$seconds" -artifact_prefix="$dir/findings/$name-" \
       -print_final_stats=0 $options "$work" "$corpus" >"$dir/$name.log" 2>&1; then
    echo "fuzz: $name found a fault; see $dir/$name.log"
    tail -n 30 "$dir/$name.log"
    status=1
  fi
done < "$dir/fuzzers.txt"
exit $status
