#!/usr/bin/env bash
# Builds norbix natively (optimised, build/release) and runs its main job: a
# collection of this machine with the compressed XML file, the HTML pages and
# the text report written to build/run-output (or the directory given), then
# says where to look.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build/run-output}
"$here/scripts/setup.sh"
"$here/scripts/build.sh" release
mkdir -p "$out"
status=0
"$here/build/release/bin/norbix" /b /v /text /c /d "$out" </dev/null || status=$?
echo
echo "Outputs in $out:"
ls -la "$out"
report=$(ls -t "$out"/*.txt 2>/dev/null | grep -v '/OSK_Output_' | head -n 1 || true)
if [ -n "$report" ]; then
  echo
  echo "Index page:  ${report%.txt}/index.html"
  echo "Text report: $report"
  if ! grep -qE '^ *VARNSG_(ULK|TRAV)Log ' "$report"; then
    echo "No service processor was found here; to see one, try an example: VANT_SP_IMAGE=$here/examples/dot-two-processors.img $here/build/release/bin/norbix /b /v /text /c /d $here/build/example-output"
  fi
fi
exit $status
