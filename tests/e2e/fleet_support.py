"""Collections of one server made from the examples for norbix-fleet, and the
runs of norbix-fleet of each built tree."""
import gzip
import os
import re
import subprocess
import time
from pathlib import Path
from xml.sax.saxutils import escape

import pytest

from conftest import BUILD, ROOT, Target

PLUGINS = ["system", "xml", "quarnel", "analysis"]
EXAMPLE = ROOT / "examples" / "dot-two-processors.img"
NEW_EVENT = "Configuration saved by admin"


def fleet_exe(target):
    return target.bin / ("norbix-fleet.exe" if target.windows else "norbix-fleet")


def run_fleet(target, args, env=None, timeout=300, cwd=None):
    """Runs norbix-fleet of the target; returns the CompletedProcess (bytes)."""
    e = target.env(**(env or {}))
    exe = fleet_exe(target)
    command = target.command(args)
    command[command.index(str(target.exe))] = str(exe)
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=e, timeout=timeout, cwd=cwd)


def ulk_entry(seconds_after_9, message):
    """An info entry of 2026-12-07 09:00 plus some seconds, source SERVPROC."""
    body = bytes([0, 26, 12, 7, 2, 9, seconds_after_9 // 60, seconds_after_9 % 60, 7, 0])
    body += b"SERVPROC".ljust(16, b"\0") + message.encode() + b"\0"
    return "entry " + " ".join("%02X" % b for b in body) + "\n"


def instance(classname, values):
    props = "".join(f'<PROPERTY NAME="{k}" TYPE="{t}"><VALUE>{escape(v)}</VALUE></PROPERTY>\n'
                    for k, (t, v) in values.items())
    return f'<VALUE.OBJECT>\n<INSTANCE CLASSNAME="{classname}">\n{props}</INSTANCE>\n</VALUE.OBJECT>\n'


def dimm(slot, serial):
    return instance("VARNSG_PhysicalMemory", {
        "CreationClassName": ("string", "VARNSG_PhysicalMemory"), "Tag": ("string", "Physical Memory " + slot),
        "BankLabel": ("string", slot), "Capacity": ("uint64", "17179869184"), "PartNumber": ("string", "M393A2K40"),
        "SerialNumber": ("string", serial)})


def bios(version):
    return instance("VARNSG_SoftwareIdentity", {
        "CreationClassName": ("string", "VARNSG_SoftwareIdentity"), "Name": ("string", "System BIOS"),
        "Version": ("string", version), "Kind": ("string", "Firmware")})


def disk(status):
    return instance("VARNSG_DiskDrive", {
        "CreationClassName": ("string", "VARNSG_DiskDrive"), "DeviceID": ("string", "sda"),
        "Model": ("string", "ST4000NM"), "SerialNumber": ("string", "ZC1A2B3C"), "Status": ("string", status),
        "Size": ("uint64", "4000787030016")})


def native_tree(tmp):
    tree = Target("native").copy_tree(tmp / "bin", plugins=PLUGINS, fixture_schema=False)
    return tree


def collect(tree, tmp, name, image_text, extra, serial="QX00123", type_model="8840-Q1X"):
    """One collection of the server: a run on the image, the extra instances put
    into its file (the machine's parts as another collector would find them), and
    that file rendered again with /i, so the analysis sees them. Returns the path."""
    work = tmp / name
    work.mkdir()
    dmi = work / "dmi"
    dmi.mkdir()
    (dmi / "sys_vendor").write_text("VARN\n")
    (dmi / "product_name").write_text(type_model + "\n")
    (dmi / "product_serial").write_text(serial + "\n")
    image = work / "sp.img"
    image.write_text(image_text)
    env = {"VANT_SP_IMAGE": str(image), "WYX_DMI_DIR": str(dmi), "SYSTEMDRIVE": "C:"}
    result = tree.run(["/b", "/c", "/d", str(work / "run")], env=env)
    assert result.returncode == 0, result.stdout
    (first,) = (work / "run").glob("*.xml.gz")
    text = gzip.decompress(first.read_bytes()).decode("utf-8")
    text = text.replace("</DECLGROUP>", "".join(extra) + "</DECLGROUP>", 1)
    edited = work / "edited.xml"
    edited.write_text(text, encoding="utf-8")
    result = tree.run(["/b", "/c", "/i", str(edited), "/d", str(work / "out")], env=env)
    assert result.returncode == 0, result.stdout
    (final,) = (work / "out").glob("*.xml.gz")
    return final


def server_pair(tmp):
    """OLD and NEW collections of one server: NEW has one new service-processor
    event, no longer the failed disk's finding, one DIMM fewer and a newer BIOS."""
    tree = native_tree(tmp)
    base = EXAMPLE.read_text()
    old = collect(tree, tmp, "old", base, [dimm("DIMM A1", "S-0001"), dimm("DIMM A2", "S-0002"), bios("1.40"),
                                           disk("Failed")])
    time.sleep(1.1)   # NEW collected after OLD, as the store orders them
    new = collect(tree, tmp, "new", base + ulk_entry(0, NEW_EVENT), [dimm("DIMM A1", "S-0001"), bios("1.52"),
                                                                      disk("OK")])
    return old, new


def variants(collection, tmp, count):
    """count collections of as many servers, each its own serial, as plain CIM-XML."""
    text = gzip.decompress(collection.read_bytes()).decode("utf-8")
    files = []
    for i in range(count):
        path = tmp / f"server{i:02d}.xml"
        path.write_text(text.replace("QX00123", f"QV{i:05d}"), encoding="utf-8")
        files.append(path)
    return files


POSTGRES_BIN = Path("/usr/lib/postgresql/15/bin")


class PostgresServer:
    """A PostgreSQL server of the test's own: initdb into a temporary folder,
    listening only on a UNIX socket there. As root it runs as nobody, since the
    server refuses to run as root."""

    def __init__(self, base):
        import pwd
        import tempfile
        self.root = Path(tempfile.mkdtemp(prefix="fleet-pg-", dir="/tmp"))
        self.data = self.root / "data"
        self.socket = self.root / "sock"
        self.as_user = []
        self.user = pwd.getpwuid(os.getuid()).pw_name
        os.chmod(self.root, 0o755)
        self.socket.mkdir()
        if os.getuid() == 0:
            self.user = "nobody"
            self.as_user = ["runuser", "-u", "nobody", "--"]
            os.chown(self.socket, pwd.getpwnam("nobody").pw_uid, -1)
            os.chown(self.root, pwd.getpwnam("nobody").pw_uid, -1)
        self._run([str(POSTGRES_BIN / "initdb"), "-D", str(self.data), "-U", self.user, "-A", "trust",
                   "-E", "UTF8", "--locale=C.UTF-8"])
        self._run([str(POSTGRES_BIN / "pg_ctl"), "start", "-w", "-D", str(self.data), "-l", str(self.root / "log"),
                   "-o", f"-k {self.socket} -c listen_addresses=''"])

    def _run(self, command):
        proc = subprocess.run(self.as_user + command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120,
                              cwd="/")
        assert proc.returncode == 0, proc.stdout.decode(errors="replace")

    def address(self, database="postgres", user=None):
        return f"postgresql:///{database}?host={self.socket}&user={user or self.user}"

    def create_database(self, name):
        """A new database; returns its address."""
        self.made = getattr(self, "made", 0) + 1
        name = f"{name}_{self.made}"
        self._run([str(POSTGRES_BIN / "createdb"), "-h", str(self.socket), "-U", self.user, name])
        return self.address(name)

    def stop(self):
        subprocess.run(self.as_user + [str(POSTGRES_BIN / "pg_ctl"), "stop", "-w", "-m", "fast", "-D",
                                       str(self.data)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120, cwd="/")
        subprocess.run(["rm", "-rf", str(self.root)])


@pytest.fixture(scope="module")
def pair(tmp_path_factory):
    return server_pair(tmp_path_factory.mktemp("pair"))


@pytest.fixture
def fleet(target):
    if not fleet_exe(target).exists():
        pytest.fail(f"{fleet_exe(target)} is not built")
    return target
