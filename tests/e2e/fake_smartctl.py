#!/usr/bin/python3
"""A stand-in for smartctl: answers from the folder named in FAKE_SMARTCTL_DIR.

--scan-open prints scan.json; -x ... DEVICE prints DEVICE's file (slashes
as underscores, .json) and exits with the number in its .status file."""
import os
import sys

here = os.environ["FAKE_SMARTCTL_DIR"]
if "--scan-open" in sys.argv:
    name, status = "scan", 0
else:
    name = sys.argv[-1].replace("/", "_")
    try:
        with open(os.path.join(here, name + ".status")) as f:
            status = int(f.read())
    except FileNotFoundError:
        status = 0
try:
    with open(os.path.join(here, name + ".json"), "rb") as f:
        sys.stdout.buffer.write(f.read())
except FileNotFoundError:
    status = 2
sys.exit(status)
