#!/usr/bin/env bash
# Figures of norbix-fleet: builds it in the release tree of the benchmarks
# (build/bench) and runs bench/fleet/fleet_bench.py on generated collections.
# An argument sets the number of collections ingested (default 1000).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir="$here/build/bench"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DNORBIX_BENCH=ON -DNORBIX_TESTS=OFF \
        -DNORBIX_SANITIZE=OFF >/dev/null
fi
cmake --build "$dir" --target norbix-fleet schema -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
     "$(free -h | awk '/^Mem:/ {print $2}') memory; load:$(uptime | sed 's/.*load average://')"
/usr/bin/python3 "$here/bench/fleet/fleet_bench.py" "$dir/bin" "$dir/fleet-data" "${1:-1000}"
echo "load after:$(uptime | sed 's/.*load average://')"
