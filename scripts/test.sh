#!/usr/bin/env bash
# Builds everything and runs every test of both targets: the unit tests (ctest)
# natively and under Wine, then the end-to-end tests (pytest) on each built tree.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" all tsan

if "$here/scripts/can-run-win32.sh"; then wintarget=win32; else wintarget=win64; fi
export NORBIX_WIN_TARGET=$wintarget
. "$here/scripts/wine-env.sh" "$here/build/$wintarget"
trap 'wineserver_stop' EXIT
wineserver_start

status=0
for t in native "$wintarget"; do
  echo "== unit tests: $t"
  (cd "$here/build/$t" && ctest --output-on-failure -j2) || status=1
done
echo "== threaded units under ThreadSanitizer"
(cd "$here/build/tsan" && ctest --output-on-failure -R '^wyxcore_threads$') || status=1
echo "== fuzzing (bounded)"
"$here/scripts/fuzz.sh" "${NORBIX_FUZZ_SECONDS:-10}" || status=1
echo "== end-to-end tests: native, $wintarget"
(cd "$here" && /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e) || status=1
exit $status
