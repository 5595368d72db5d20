#!/usr/bin/env bash
# Builds norbix natively and runs its main job: a collection of this machine with
# the compressed XML file, the HTML pages and the text report written to
# build/run-output (or the directory given), then lists what was written.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build/run-output}
"$here/scripts/setup.sh"
"$here/scripts/build.sh" native
mkdir -p "$out"
status=0
"$here/build/native/bin/norbix" /b /v /text /c /d "$out" </dev/null || status=$?
echo
echo "Outputs in $out:"
ls -la "$out"
exit $status
