#!/usr/bin/python3
"""Figures of norbix-fleet on generated collections (release build): compare of
two collections of 20,000 log records each, ingest of 1,000 collections of
1,000 instances and 2,000 log records each into SQLite and into PostgreSQL, and
the report over those 1,000 servers; wall time and peak memory of each run.

Usage: fleet_bench.py BIN_DIR WORK_DIR [COLLECTIONS]"""
import datetime
import gzip
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path
from xml.sax.saxutils import escape

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
from fleet_support import PostgresServer  # noqa: E402

CLASSES = {
    "VARNSG_ComputerSystem": [("CreationClassName", "string"), ("Name", "string"), ("Manufacturer", "string"),
                              ("Model", "string"), ("SerialNumber", "string"), ("CMCMTM", "string")],
    "VARNSG_OSKLogRecord": [("Source", "string"), ("Type", "uint16"), ("Message", "string"),
                            ("MessageTimestamp", "datetime"), ("RecordID", "string")],
    "VARNSG_ULKLog": [("RecordID", "string"), ("Severity", "string"), ("MessageTimestamp", "datetime"),
                      ("EventID", "string"), ("LoggingSource", "string"), ("Message", "string")],
    "VARNSG_PCIDevice": [("DeviceID", "string"), ("VendorID", "string"), ("ProductID", "string"),
                         ("Name", "string"), ("Driver", "string")],
    "VARNSG_PhysicalMemory": [("Tag", "string"), ("BankLabel", "string"), ("Capacity", "uint64"),
                              ("PartNumber", "string"), ("SerialNumber", "string")],
    "VARNSG_SoftwareIdentity": [("Name", "string"), ("Version", "string"), ("Kind", "string")],
    "VARNSG_AnalysisFinding": [("Severity", "string"), ("Category", "string"), ("Description", "string"),
                               ("SourceClass", "string"), ("SourceKey", "string"), ("SourceMessage", "string")],
}


def stamp(seconds):
    t = datetime.datetime(2026, 1, 1) + datetime.timedelta(seconds=seconds)
    return t.strftime("%Y%m%d%H%M%S") + ".000000+000"


def collection(serial, records, instances, version, extra_records=0, seconds=0):
    """A collection as norbix writes it (plain CIM-XML)."""
    rows = {name: [] for name in CLASSES}
    rows["VARNSG_ComputerSystem"].append({"CreationClassName": "VARNSG_ComputerSystem", "Name": "host-" + serial,
                                          "Manufacturer": "VARN", "Model": "8842-AB1", "SerialNumber": serial,
                                          "CMCMTM": "{CMCMTM}8842-AB1"})
    rows["VARNSG_OSKLogRecord"].append({"Source": "norbix", "Type": "2", "Message": "Collection started",
                                        "MessageTimestamp": stamp(10_000_000 + seconds), "RecordID": "1"})
    for i in range(records + extra_records):
        rows["VARNSG_ULKLog"].append({"RecordID": str(i + 1), "Severity": ("Error", "Warning", "Info")[i % 3],
                                      "MessageTimestamp": stamp(i * 60), "EventID": str(i % 97),
                                      "LoggingSource": "SERVPROC", "Message": f"Event {i % 500} on sensor {i % 37}"})
    for i in range(16):
        rows["VARNSG_PhysicalMemory"].append({"Tag": f"DIMM {i}", "BankLabel": f"DIMM {i}",
                                              "Capacity": "17179869184", "PartNumber": "M393A2K40",
                                              "SerialNumber": f"{serial}-{i}"})
    for i in range(40):
        rows["VARNSG_SoftwareIdentity"].append({"Name": f"Component {i}", "Kind": "Firmware",
                                                "Version": version if i == 0 else f"{i}.0"})
    for i in range(5):
        rows["VARNSG_AnalysisFinding"].append({"Severity": "Error", "Category": "Service processor",
                                               "Description": "Entry of error severity", "SourceClass": "VARNSG_ULKLog",
                                               "SourceKey": f"RecordID={i * 3 + 1}",
                                               "SourceMessage": f"Event {i * 3} on sensor {i * 3}"})
    for i in range(instances - 16 - 40 - 5 - 2):
        rows["VARNSG_PCIDevice"].append({"DeviceID": f"0000:{i // 256:02x}:{i % 256 // 8:02x}.{i % 8}",
                                         "VendorID": "8086", "ProductID": f"{i:04x}", "Name": f"Device {i}",
                                         "Driver": "pcieport"})
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<CIM CIMVERSION="2.0" DTDVERSION="2.2">\n'
             '<DECLARATION>\n<DECLGROUP>\n']
    for name, props in CLASSES.items():
        parts.append(f'<VALUE.OBJECT>\n<CLASS NAME="{name}">\n')
        parts.extend(f'<PROPERTY NAME="{p}" TYPE="{t}"/>\n' for p, t in props)
        parts.append('</CLASS>\n</VALUE.OBJECT>\n')
    for name, instances_of in rows.items():
        types = dict(CLASSES[name])
        for values in instances_of:
            parts.append(f'<VALUE.OBJECT>\n<INSTANCE CLASSNAME="{name}">\n')
            parts.extend(f'<PROPERTY NAME="{p}" TYPE="{types[p]}"><VALUE>{escape(v)}</VALUE></PROPERTY>\n'
                         for p, v in values.items())
            parts.append('</INSTANCE>\n</VALUE.OBJECT>\n')
    parts.append('</DECLGROUP>\n</DECLARATION>\n</CIM>\n')
    return "".join(parts).encode()


def run(bin_dir, args, label):
    """Runs norbix-fleet through time(1); returns (seconds, peak MiB)."""
    peak = Path(os.environ.get("TMPDIR", "/tmp")) / "fleet-bench-peak.txt"
    started = time.monotonic()
    proc = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", str(peak), str(bin_dir / "norbix-fleet")] + args,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    seconds = time.monotonic() - started
    if proc.returncode != 0:
        sys.exit(f"{label}: norbix-fleet failed: {proc.stderr.decode(errors='replace')[:500]}")
    user, system, kib = peak.read_text().split()[-3:]
    mib = int(kib) / 1024
    cpu = float(user) + float(system)
    print(f"{label:<40} {seconds:8.2f} s wall {cpu:8.2f} s processor {mib:7.1f} MiB peak", flush=True)
    return seconds, mib


def main():
    bin_dir, work = Path(sys.argv[1]), Path(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    shutil.rmtree(work, ignore_errors=True)
    (work / "collections").mkdir(parents=True)
    old = work / "old.xml.gz"
    new = work / "new.xml.gz"
    old.write_bytes(gzip.compress(collection("BENCH0", 20_000, 1000, "1.0"), 6))
    new.write_bytes(gzip.compress(collection("BENCH0", 20_000, 1000, "1.1", extra_records=100, seconds=3600), 6))
    run(bin_dir, ["compare", str(old), str(new), "--out", str(work / "compare")], "compare, 20,000 records each")

    started = time.monotonic()
    files = []
    for i in range(count):
        path = work / "collections" / f"server{i:04d}.xml.gz"
        path.write_bytes(gzip.compress(collection(f"SRV{i:05d}", 2000, 1000, "1.0" if i % 10 else "0.9"), 1))
        files.append(str(path))
    print(f"(generated {count} collections in {time.monotonic() - started:.0f} s)", flush=True)
    store = work / "fleet.db"
    run(bin_dir, ["ingest", "--store", str(store)] + files, f"ingest {count} into SQLite")
    run(bin_dir, ["report", "--store", str(store), "--out", str(work / "report-sqlite")], f"report, {count} servers, SQLite")

    server = PostgresServer(None)
    try:
        address = server.create_database("bench")
        run(bin_dir, ["ingest", "--store", address] + files, f"ingest {count} into PostgreSQL")
        run(bin_dir, ["report", "--store", address, "--out", str(work / "report-pg")], f"report, {count} servers, PostgreSQL")
    finally:
        server.stop()


if __name__ == "__main__":
    main()
