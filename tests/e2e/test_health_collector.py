"""The Health collector on a fake server: a sysfs tree with failing DIMMs and a
PCIe device with fatal errors, the RAS daemon's database with machine checks,
and a smartctl stand-in with a disk with pending sectors and a failed disk.
Every part is in its class, in the timeline where it has a time, and found.
The smartctl stand-in is the fixture program fake_smartctl, on both targets."""
import os
import shutil
import sqlite3
import subprocess
from pathlib import Path

import pytest

from cimxml import of_class, read_instances
from test_framework import dtd_path

HERE = Path(__file__).resolve().parent
DATA = HERE.parents[1] / "plugins" / "health" / "tests" / "data"
PLUGINS = ["system", "xml", "text", "analysis", "health"]


def write(root, path, text):
    p = root / path.lstrip("/")
    p.parent.mkdir(parents=True, exist_ok=True)
    p.write_text(text)


def fake_server(tmp_path):
    root = tmp_path / "root"
    mc = "/sys/devices/system/edac/mc/mc0/"
    for name, text in (("mc_name", "Skylake Socket#0 IMC#0"), ("ce_count", "120"), ("ue_count", "2"),
                       ("ce_noinfo_count", "0"), ("ue_noinfo_count", "0"), ("seconds_since_reset", "86400")):
        write(root, mc + name, text + "\n")
    for dimm, label, ce, ue in (("dimm0", "DIMM_A1", 120, 0), ("dimm1", "DIMM_B1", 0, 2), ("dimm2", "DIMM_C1", 0, 0)):
        for name, text in (("dimm_label", label), ("dimm_location", "channel 0 slot " + dimm[-1]), ("size", "32768"),
                           ("dimm_mem_type", "Registered-DDR4"), ("dimm_ce_count", str(ce)),
                           ("dimm_ue_count", str(ue))):
            write(root, mc + dimm + "/" + name, text + "\n")
    nic = "/sys/bus/pci/devices/0000:3b:00.0/"
    write(root, nic + "label", "Onboard LAN X710\n")
    write(root, nic + "aer_dev_correctable", "RxErr 0\nTOTAL_ERR_COR 0\n")
    write(root, nic + "aer_dev_nonfatal", "CmpltTO 0\nTOTAL_ERR_NONFATAL 0\n")
    write(root, nic + "aer_dev_fatal", "DLP 1\nSurpDown 0\nTOTAL_ERR_FATAL 1\n")
    db = root / "var/lib/rasdaemon/ras-mc_event.db"
    db.parent.mkdir(parents=True)
    con = sqlite3.connect(db)
    con.executescript(
        "CREATE TABLE mce_record (id INTEGER PRIMARY KEY, timestamp TEXT, status INTEGER, cpu INTEGER,"
        " bank_name TEXT, error_msg TEXT, mcistatus_msg TEXT);"
        "INSERT INTO mce_record VALUES (1, '2026-12-07 22:15:00 +0100', -5764607523034234880, 3, 'IMC',"
        " 'memory read error', 'Uncorrected error');"
        "INSERT INTO mce_record VALUES (2, '2026-12-07 23:00:00 +0000', 0, 5, 'L2', 'cache error', 'Corrected error');")
    con.commit()
    con.close()

    return root


def fake_smartctl(target, tmp_path):
    """A folder holding the smartctl stand-in, and its answers: a disk with
    pending sectors, a failed disk and a disk it cannot open."""
    tools = tmp_path / "tools"
    tools.mkdir()
    name = "smartctl.exe" if target.windows else "smartctl"
    shutil.copy(target.fixtures / ("fake_smartctl" + (".exe" if target.windows else "")), tools / name)
    answers = tmp_path / "answers"
    answers.mkdir()
    (answers / "scan.json").write_text(
        '{"devices": [{"name": "/dev/sda", "type": "sat"}, {"name": "/dev/sdc", "type": "sat"},'
        ' {"name": "/dev/sdx", "type": "sat"}]}')
    shutil.copy(DATA / "ata_pending.json", answers / "_dev_sda.json")
    (answers / "_dev_sda.status").write_text("64")
    shutil.copy(DATA / "ata_failed.json", answers / "_dev_sdc.json")
    (answers / "_dev_sdc.status").write_text("24")
    return tools, answers


def run_with_smartctl(target, tmp_path, dmi, env, extra_args=(), prepare=None):
    tools, answers = fake_smartctl(target, tmp_path)
    if prepare:
        prepare(answers)
    tree = target.copy_tree(tmp_path / "bin", plugins=PLUGINS, fixture_schema=False)
    out = tmp_path / "out"
    out.mkdir()
    env = dict(env, WYX_DMI_DIR=target.path(dmi), SYSTEMDRIVE="C:", WYX_LOG_LEVEL="3",
               FAKE_SMARTCTL_DIR=target.path(answers))
    if target.windows:
        env["WINEPATH"] = target.path(tools)
    else:
        env["PATH"] = str(tools) + os.pathsep + os.environ["PATH"]
    result = tree.run(["/text", "/b", "/d", tree.path(out)] + list(extra_args), env=env)
    assert result.returncode == 0, result.stdout
    [xml] = out.glob("*.xml.gz")
    dtd = dtd_path()
    if dtd is not None and shutil.which("xmllint"):
        lint = subprocess.run(["xmllint", "--nonet", "--noout", "--dtdvalid", str(dtd), str(xml)],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        assert lint.returncode == 0, lint.stdout.decode("latin-1")[:2000]
    return read_instances(xml), next(out.glob("*.txt")).read_text(encoding="latin-1")


DISK_FINDINGS = (
    # With the status bit smartctl ended with (64: errors in the device's error log).
    ("Warning", "Disk VARN HD4000 (serial ZC1A2B3C, /dev/sda): 8 reallocated sectors, 24 pending sectors, "
                "24 offline-uncorrectable sectors, 3 reported uncorrectable errors; smartctl reports: the device "
                "error log holds errors"),
    ("Error", "Disk VARN HD2000 (serial WD-FAIL01, /dev/sdc): SMART overall assessment failed; "
              "4080 reallocated sectors"),
    ("Error", "Disk VARN HD2000 (serial WD-FAIL01, /dev/sdc): SMART attribute 5 Reallocated_Sector_Ct "
              "failing now (value 1, threshold 36)"))


def check_disks(instances):
    disks = {d["DeviceID"]: d for d in of_class(instances, "VARNSG_DiskHealth")}
    assert set(disks) == {"/dev/sda", "/dev/sdc"}
    assert (disks["/dev/sda"]["PendingSectors"], disks["/dev/sda"]["ToolExitStatus"]) == ("24", "64")
    assert (disks["/dev/sdc"]["Assessment"], disks["/dev/sdc"]["Source"]) == ("Failed", "smartctl")
    assert len(of_class(instances, "VARNSG_DiskSMARTAttribute")) == 9
    findings = {(f["Severity"], f["Description"]) for f in of_class(instances, "VARNSG_AnalysisFinding")}
    for expected in DISK_FINDINGS:
        assert expected in findings, sorted(findings)
    # The device smartctl could not open is a debug note, never an error.
    log = [(r["Type"], r["Message"]) for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Source"] == "Health"]
    assert ("3", "/dev/sdx cannot be opened by smartctl (permission, virtual disk or RAID volume)") in log
    assert not [m for t, m in log if t == "0"], log


def test_disks_through_smartctl(target, tmp_path, dmi):
    instances, _ = run_with_smartctl(target, tmp_path, dmi, {})
    check_disks(instances)


def test_broken_smartctl_runs_are_errors_and_cost_nothing_else(target, tmp_path, dmi):
    def prepare(answers):
        (answers / "scan.json").write_text(
            '{"devices": [{"name": "/dev/sda", "type": "sat"}, {"name": "/dev/sdy", "type": "sat"},'
            ' {"name": "/dev/sdz", "type": "sat"}, {"name": "-d", "type": "sat"}]}')
        (answers / "_dev_sdy.json").write_text("smartctl 6.2: UNRECOGNIZED OPTION: json\n")
        (answers / "_dev_sdz.crash").write_text("")

    instances, _ = run_with_smartctl(target, tmp_path, dmi, {}, prepare=prepare)
    assert [d["DeviceID"] for d in of_class(instances, "VARNSG_DiskHealth")] == ["/dev/sda"]
    log = [(r["Type"], r["Message"]) for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Source"] == "Health"]
    errors = sorted(m for t, m in log if t == "0")
    # Quoted, control bytes as \xNN (Windows' text mode ends the line with a CR).
    assert errors[0].startswith('/dev/sdy: smartctl gave no JSON: "smartctl 6.2: UNRECOGNIZED OPTION: json\\x0'), errors
    # A crash: a signal natively; on Windows abort() ends the program with status 3.
    assert errors[1] in ("smartctl -x /dev/sdz ended abnormally (6)", "smartctl refused its command line for /dev/sdz")
    assert len(errors) == 2, errors
    assert ("3", 'smartctl --scan-open: a device without a usable name skipped: "-d"') in log


def test_a_fake_server_with_failing_parts(target, tmp_path, dmi):
    if target.windows:
        pytest.skip("the sysfs tree and the RAS daemon's database are Linux sources")
    root = fake_server(tmp_path)
    instances, report = run_with_smartctl(target, tmp_path, dmi, {"WYX_SYSFS_ROOT": str(root)})
    check_disks(instances)

    dimms = {d["Label"]: d for d in of_class(instances, "VARNSG_MemoryErrorCounter")}
    assert set(dimms) == {"DIMM_A1", "DIMM_B1", "DIMM_C1"}
    assert (dimms["DIMM_A1"]["CorrectedCount"], dimms["DIMM_B1"]["UncorrectedCount"]) == ("120", "2")
    assert dimms["DIMM_B1"]["Source"] == "edac sysfs" and dimms["DIMM_B1"]["SizeMB"] == "32768"
    [mc] = of_class(instances, "VARNSG_MemoryControllerErrors")
    assert (mc["Name"], mc["UncorrectedCount"], mc["SecondsSinceReset"]) == ("Skylake Socket#0 IMC#0", "2", "86400")
    [pci] = of_class(instances, "VARNSG_PCIErrorCounter")
    assert (pci["Address"], pci["Name"], pci["FatalCount"]) == ("0000:3b:00.0", "Onboard LAN X710", "1")
    records = of_class(instances, "VARNSG_HardwareErrorRecord")
    assert [(r["RecordID"], r["Severity"], r["Component"], r["MessageTimestamp"]) for r in records] == [
        ("mce_record:1", "Error", "CPU 3", "20261207211500.000000+000"),
        ("mce_record:2", "Warning", "CPU 5", "20261207230000.000000+000")]

    findings = {(f["Severity"], f["Description"]) for f in of_class(instances, "VARNSG_AnalysisFinding")}
    for expected in (
            ("Error", "DIMM DIMM_B1 (mc0): 2 uncorrected memory errors"),
            ("Warning", "DIMM DIMM_A1 (mc0): 120 corrected memory errors in 24 hours since the counters were reset"),
            ("Error", "PCIe device 0000:3b:00.0 (Onboard LAN X710): 1 fatal error"),
            ("Error", "Machine check on CPU 3: memory read error (bank IMC) Uncorrected error"),
            ("Warning", "Machine check on CPU 5: cache error (bank L2) Corrected error")):
        assert expected in findings, sorted(findings)

    timeline = [line for line in report.splitlines() if "Hardware error" in line]
    assert any("2026-12-07 21:15:00" in line and "CPU 3" in line and "memory read error" in line
               for line in timeline), timeline
    assert any("2026-12-07 23:00:00" in line and "CPU 5" in line for line in timeline), timeline
