#!/usr/bin/env bash
# Builds a release native tree without sanitizers in build/bench, runs the
# benchmarks and prints the table of figures, with the growth figures beside it
# as a plot (build/bench/growth.png; the table in build/bench/figures.txt).
# Arguments go to the benchmark binary (e.g. --benchmark_filter=Xml).
# NORBIX_BENCH_INSTANCES, NORBIX_BENCH_ULK, NORBIX_BENCH_GROWTH and
# NORBIX_BENCH_ROUNDS shrink the data and the rounds for a quick trial.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir="$here/build/bench"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DNORBIX_BENCH=ON -DNORBIX_TESTS=OFF \
        -DNORBIX_SANITIZE=OFF >/dev/null
fi
if ! cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" 2>&1 \
     | sed -E '/^\[ *[0-9]+%\]|^(Consolidate compiler|Scanning dependencies)/d'; then
  echo "bench: build failed" >&2
  exit 1
fi
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
     "$(free -h | awk '/^Mem:/ {print $2}') memory; load:$(uptime | sed 's/.*load average://')"
NORBIX_BIN="$dir/bin" NORBIX_BENCH_GROWTH_DATA="$dir/growth.dat" "$dir/bench/norbix_bench" "$@" \
  | tee "$dir/figures.txt"
if [ -s "$dir/growth.dat" ] && command -v gnuplot >/dev/null; then
  gnuplot -e "data='$dir/growth.dat'; out='$dir/growth.png'" "$here/bench/growth.gp" \
    && echo "plot: $dir/growth.png"
fi
echo "load after:$(uptime | sed 's/.*load average://')"
