#!/usr/bin/env bash
# Exit 0 when this machine can run 32-bit Windows programs under Wine.
/lib/ld-linux.so.2 --help >/dev/null 2>&1 && [ -x /usr/lib/wine/wine ]
