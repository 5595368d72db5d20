"""The machine collectors (Inventory, Versions, Sensors, OS Log) in a real run
on this machine, and the time bound that keeps a stuck collector from hanging
the run."""
import gzip
import shutil
import subprocess

import pytest

from cimxml import of_class, read_instances
from test_framework import dtd_path

MACHINE = ["system", "xml", "inventory", "versions", "sensors", "oslog", "versioncheck"]


def run_tree(tree, tmp_path, args=(), env=None):
    out = tmp_path / "out"
    out.mkdir(exist_ok=True)
    e = {"SYSTEMDRIVE": "C:", "WYX_LOG_LEVEL": "3"}
    e.update(env or {})
    result = tree.run(["/b", "/d", tree.path(out)] + list(args), env=e)
    files = sorted(out.glob("*.xml.gz"))
    assert result.returncode == 0, result.stdout
    assert len(files) == 1, result.stdout
    return result, files[0]


def test_a_run_adds_the_machine_classes_and_the_version_checker_finds_them(target, tmp_path):
    tree = target.copy_tree(tmp_path / "bin", plugins=MACHINE, fixture_schema=False)
    media = tmp_path / "media"
    media.mkdir()
    (media / "catalog.txt").write_text("BIOS, 1.0\nOperating system, 1.0\n")
    result, xml = run_tree(tree, tmp_path, ["/u", tree.path(media)])
    listing = ("   inventory: Inventory\n   oslog: OS Log\n   sensors: Sensors\n   system: System\n"
               "   versions: Versions\n")
    assert "Running collector plug-ins pass 1.\n" + listing in result.stdout

    instances = read_instances(xml)
    counts = {name: len(of_class(instances, name)) for name in (
        "VARNSG_Processor", "VARNSG_Memory", "VARNSG_DiskDrive", "VARNSG_NetworkAdapter",
        "VARNSG_SoftwareIdentity", "VARNSG_OSEventLogRecord")}
    # Whatever this machine offers; Wine has no event log records to give.
    for name, least in (("VARNSG_Processor", 1), ("VARNSG_Memory", 1), ("VARNSG_DiskDrive", 1),
                        ("VARNSG_NetworkAdapter", 1), ("VARNSG_SoftwareIdentity", 1),
                        ("VARNSG_OSEventLogRecord", 0 if target.windows else 1)):
        assert counts[name] >= least, counts
    memory = of_class(instances, "VARNSG_Memory")[0]
    assert int(memory["TotalPhysicalMemory"]) > 0
    for record in of_class(instances, "VARNSG_OSEventLogRecord"):
        assert record["Severity"] in ("Error", "Warning")
        assert record["MessageTimestamp"].endswith("+000")   # UTC

    # A missing source is a debug note, never an error.
    records = of_class(instances, "VARNSG_OSKLogRecord")
    machine = [r for r in records if r["Source"] in ("Inventory", "Versions", "Sensors", "OS Log")]
    assert all(r["Type"] == "3" for r in machine), machine

    checks = {c["Component"]: c for c in of_class(instances, "VARNSG_VersionCheck")}
    assert set(checks) == {"BIOS", "Operating system"}
    assert checks["Operating system"]["SourceClass"] == "VARNSG_SoftwareIdentity"
    assert checks["Operating system"]["Status"] != "Not installed"

    dtd = dtd_path()
    if dtd is not None and shutil.which("xmllint"):
        lint = subprocess.run(["xmllint", "--nonet", "--noout", "--dtdvalid", str(dtd), str(xml)],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        assert lint.returncode == 0, lint.stdout.decode("latin-1")[:2000]


def test_a_collector_past_its_time_bound_is_abandoned_and_the_run_goes_on(target, tmp_path):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=["fixture_collector", "fixture_sleeper"])
    result, xml = run_tree(tree, tmp_path, env={"WYX_COLLECTOR_TIMEOUT": "1"})
    assert "OSK finished; exiting.\n" in result.stdout
    instances = read_instances(xml)
    assert of_class(instances, "VARNSG_FixtureSlept") == []
    assert len(of_class(instances, "VARNSG_FixtureRecord")) == 1   # the collectors after it ran
    errors = [(r["Source"], r["Message"]) for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Type"] == "0"]
    assert errors == [("Fixture Sleeper",
                       "Collector Fixture Sleeper did not finish within 1 seconds and was abandoned")]


JOURNAL_REMOTE = "/lib/systemd/systemd-journal-remote"


def test_the_systemd_journal_is_read_through_sd_journal(tmp_path):
    """A real journal file (made from an export by the journal's own tool) under
    a fake root: errors and warnings of the last 30 days, newest numbered first."""
    from conftest import Target
    native = Target("native")
    if not native.exe.exists():
        pytest.fail(f"{native.exe} is not built: run scripts/build.sh")
    import time
    now = int(time.time() * 1e6)
    day = 86400 * 10**6
    entries = [(now - 40 * day, 3, "smartd", "an error older than the window"),
               (now - day // 24, 3, "smartd", "Device: /dev/sda, 8 Currently unreadable (pending) sectors"),
               (now - day // 48, 6, "sshd", "an informational entry"),
               (now - 60 * 10**6, 4, "kernel", "EDAC MC0: 1 CE memory read error")]
    export = "".join(
        f"__CURSOR=s=1;i={i}\n__REALTIME_TIMESTAMP={t}\n__MONOTONIC_TIMESTAMP={i + 1}\n"
        f"_BOOT_ID=0123456789abcdef0123456789abcdef\nPRIORITY={p}\nSYSLOG_IDENTIFIER={who}\nMESSAGE={text}\n\n"
        for i, (t, p, who, text) in enumerate(entries))
    (tmp_path / "export.txt").write_text(export)
    journal = tmp_path / "root" / "var" / "log" / "journal"
    journal.mkdir(parents=True)
    made = subprocess.run([JOURNAL_REMOTE, "--output=" + str(journal / "test.journal"), str(tmp_path / "export.txt")],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    assert made.returncode == 0, made.stdout
    tree = native.copy_tree(tmp_path / "bin", plugins=["system", "xml", "oslog"], fixture_schema=False)
    _, xml = run_tree(tree, tmp_path, env={"WYX_SYSFS_ROOT": str(tmp_path / "root")})
    records = [(r["RecordID"], r["Source"], r["Severity"], r["Message"])
               for r in of_class(read_instances(xml), "VARNSG_OSEventLogRecord")]
    assert sorted(records) == [
        ("1", "kernel", "Warning", "EDAC MC0: 1 CE memory read error"),
        ("2", "smartd", "Error", "Device: /dev/sda, 8 Currently unreadable (pending) sectors")]


def _identity_of_zero_and_megabytes(tmp_path):
    dmi = tmp_path / "dmi"
    dmi.mkdir()
    (dmi / "sys_vendor").write_bytes(b"V" * (20 << 20))
    (dmi / "product_name").write_text("8842-AB1\n")
    (dmi / "product_serial").symlink_to("/dev/zero")
    return {"WYX_DMI_DIR": str(dmi)}


def _hwmon_of_many_links(tmp_path):
    chip = tmp_path / "root" / "sys" / "devices" / "platform" / "chip" / "hwmon"
    chip.mkdir(parents=True)
    for i in range(1, 1001):
        (chip / f"temp{i}_input").write_text("41000\n")
    hwmon = tmp_path / "root" / "sys" / "class" / "hwmon"
    hwmon.mkdir(parents=True)
    for i in range(4096):
        (hwmon / f"hwmon{i}").symlink_to("../../devices/platform/chip/hwmon")
    return {"WYX_SYSFS_ROOT": str(tmp_path / "root")}


SECRET = "root:$6$secret-hash:19000:0:99999:7:::"


def _links_out_of_the_root(tmp_path):
    outside = tmp_path / "outside"
    (outside / "chip").mkdir(parents=True)
    (outside / "shadow").write_text(SECRET + "\n")
    (outside / "chip" / "name").write_text(SECRET + "\n")
    (outside / "chip" / "temp1_input").write_text("41000\n")
    root = tmp_path / "root"
    for link, target in (("proc/sys/kernel/osrelease", outside / "shadow"),
                         ("etc/os-release", "../../outside/shadow"),
                         ("sys/class/hwmon/hwmon0", outside / "chip")):
        (root / link).parent.mkdir(parents=True, exist_ok=True)
        (root / link).symlink_to(target)
    return {"WYX_SYSFS_ROOT": str(root)}


def _journal_of_misdated_and_damaged_entries(tmp_path):
    import time
    now = int(time.time() * 1e6)
    entry = "__REALTIME_TIMESTAMP={}\nPRIORITY=3\nSYSLOG_IDENTIFIER={}\nMESSAGE={}\n\n".format
    stream = "".join(entry(999999999999999999, "clock", "from the future") for _ in range(10000)).encode()
    stream += "".join(entry(now - (i + 1) * 10**6, "smartd", f"real {i}") for i in range(5)).encode()
    # MESSAGE's binary length says 5, its bytes are 10.
    stream += b"__REALTIME_TIMESTAMP=%d\nPRIORITY=3\nMESSAGE\n" % now + (5).to_bytes(8, "little") + b"abcdefghij\n\n"
    stream += entry(now, "smartd", "after the damaged one").encode()
    (tmp_path / "journal.export").write_bytes(stream)
    return {"WYX_JOURNAL_EXPORT": str(tmp_path / "journal.export")}


def _messages(instances, source):
    return [r["Message"] for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Source"] == source]


# Hostile machine files, native (the Linux sources): each run ends with status
# 0 and one XML, and holds what the row says.
HOSTILE_SOURCES = [
    ("identity of a device and of 20 MB", ["system", "xml"], _identity_of_zero_and_megabytes,
     lambda inst, xml: (of_class(inst, "VARNSG_ComputerSystem")[0]["Manufacturer"] == "V" * 4096
                        and of_class(inst, "VARNSG_ComputerSystem")[0].get("SerialNumber") is None)),
    ("4096 links to one hwmon folder of 1000 inputs", ["system", "xml", "sensors"], _hwmon_of_many_links,
     lambda inst, xml: len(of_class(inst, "VARNSG_NumericSensor")) == 1000),
    ("links out of WYX_SYSFS_ROOT to a secret", ["system", "xml", "versions", "sensors"], _links_out_of_the_root,
     lambda inst, xml: SECRET.encode() not in gzip.decompress(xml.read_bytes())
     and not of_class(inst, "VARNSG_NumericSensor")),
    ("10000 entries of the future, 5 real, 1 damaged", ["system", "xml", "oslog"],
     _journal_of_misdated_and_damaged_entries,
     lambda inst, xml: (sorted(r["Message"] for r in of_class(inst, "VARNSG_OSEventLogRecord"))
                        == ["after the damaged one"] + [f"real {i}" for i in range(5)]
                        and {"10000 OS log entries dated in the future left out",
                             "1 damaged journal entries skipped"} <= set(_messages(inst, "OS Log")))),
]


@pytest.mark.parametrize("what,plugins,make,holds", HOSTILE_SOURCES, ids=[c[0] for c in HOSTILE_SOURCES])
def test_hostile_machine_files_cost_their_bound_and_nothing_else(tmp_path, what, plugins, make, holds):
    from conftest import Target
    native = Target("native")
    if not native.exe.exists():
        pytest.fail(f"{native.exe} is not built: run scripts/build.sh")
    env = make(tmp_path)
    tree = native.copy_tree(tmp_path / "bin", plugins=plugins, fixture_schema=False)
    result, xml = run_tree(tree, tmp_path, env=env)
    instances = read_instances(xml)
    assert holds(instances, xml), (what, _messages(instances, "OS Log"), result.stdout[-2000:])
