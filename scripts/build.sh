#!/usr/bin/env bash
# Configures and builds one or more targets: native (the test build, with
# sanitizers), release (native, optimised, no sanitizers: what scripts/run.sh
# runs), tsan (native, ThreadSanitizer: the threaded units' tests), win32 (i686), win64 (x86_64, the Windows build that runs under wine64
# where 32-bit code cannot run).
# Usage: scripts/build.sh [native|release|tsan|win32|win64|all]...
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native)
if [ "${targets[0]}" = all ]; then
  targets=(native win32 "${targets[@]:1}")
  "$here/scripts/can-run-win32.sh" || targets+=(win64)
fi
jobs=$(nproc 2>/dev/null || echo 2)
for t in "${targets[@]}"; do
  only=()
  case "$t" in
    native) args=(-DNORBIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    release) args=(-DNORBIX_SANITIZE=OFF -DNORBIX_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
                   "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG") ;;
    tsan)   args=(-DNORBIX_TSAN=ON -DCMAKE_BUILD_TYPE=Debug); only=(--target wyxcore_tests schema) ;;
    win32)  args=(-DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    win64)  args=(-DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    *) echo "build: unknown target $t" >&2; exit 2 ;;
  esac
  dir="$here/build/$t"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$dir" "${args[@]}" >/dev/null
  fi
  if ! cmake --build "$dir" "${only[@]}" -j"$jobs" 2>&1 | sed -E '/^\[ *[0-9]+%\]|^(Consolidate compiler|Scanning dependencies)/d'; then
    echo "build: $t failed" >&2
    exit 1
  fi
done
