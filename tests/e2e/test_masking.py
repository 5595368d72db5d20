"""WYX_MASK: names, addresses, MACs and user names planted in every source a
run reads leave no byte in any output; the pseudonyms stay the same through
the map file; a map or words file that cannot be used stops the run before
any output."""
import datetime
import gzip
import os
import re
import shutil
import signal
import socket
import stat
import subprocess
import time

import pytest

from cimxml import of_class, read_instances, write_cim_xml
from quarnel_support import hexbytes
from test_framework import dtd_path

USER = "jdoe7"
PLANTED = {
    "host": "ws-admin7.corp.example",
    "ipv4": "10.20.30.41",
    "ipv6": "fe80::1ff:fe23:4567:890a",
    "mac": "00:1b:21:3a:4f:5c",
    "mac_in_sysfs": "00:1B:21:3A:4F:5D",
    "user": USER,
    "customer": "Zentralbank Nord",
    "serial": "SN7654321",
}
SAVED_HOST = "db-node3"
MESSAGE = (f"Remote login from {PLANTED['ipv4']} ({USER}) via {PLANTED['ipv6']} mac {PLANTED['mac']} "
           f"on {PLANTED['host']} for {PLANTED['customer']}")


def machine_host_name():
    """The machine's own name, when it is distinct enough to look for."""
    name = socket.gethostname().lower()
    return name if len(name) >= 4 and name not in ("localhost", "unknown") else None


def ulk_entry(message):
    when = datetime.datetime(2026, 12, 1, 8, 30, 15)
    head = [2, when.year - 2000, when.month, when.day, 3, when.hour, when.minute, when.second, 0x42, 0]
    return bytes(head) + b"SP A".ljust(16, b"\0") + message.encode() + b"\0"


def plant(tmp_path, target):
    """Fake machine root, journal, SP image, identity and words file; returns the
    environment. The root and the journal are the Linux sources."""
    root = tmp_path / "root"
    (root / "etc").mkdir(parents=True)
    (root / "etc" / "passwd").write_text(f"root:x:0:0::/root:/bin/sh\n{USER}:x:1001:1001::/home/{USER}:/bin/sh\n")
    net = root / "sys" / "class" / "net" / "eth0"
    net.mkdir(parents=True)
    (net / "address").write_text(PLANTED["mac_in_sysfs"] + "\n")
    (net / "operstate").write_text("up\n")
    now = int(time.time() * 1e6)
    (tmp_path / "journal.export").write_text(
        f"__REALTIME_TIMESTAMP={now - 60 * 10**6}\nPRIORITY=3\nSYSLOG_IDENTIFIER=sshd\nMESSAGE={MESSAGE}\n\n")
    (tmp_path / "sp.img").write_text("kind dot\ncomm ok\nprocessor\nclock 1A 0C 01 00 08 00 00\ntimezone 00 00\n"
                                     f"entry {hexbytes(ulk_entry(MESSAGE))}\n")
    dmi = tmp_path / "dmi"
    dmi.mkdir()
    for name, value in (("sys_vendor", "VARN"), ("product_name", "8842-X1Y"), ("product_serial", PLANTED["serial"])):
        (dmi / name).write_text(value + "\n")
    (tmp_path / "words.txt").write_text(f"# customers\n{PLANTED['customer']}\n")
    env = {"VANT_SP_IMAGE": target.path(tmp_path / "sp.img"), "WYX_DMI_DIR": target.path(dmi),
           "WYX_MASK_WORDS": target.path(tmp_path / "words.txt"), "SYSTEMDRIVE": "C:", "USER": USER}
    if not target.windows:
        env.update({"WYX_SYSFS_ROOT": str(root), "WYX_JOURNAL_EXPORT": str(tmp_path / "journal.export")})
    return env


def output_bytes(out, skip=("norbix_mask_map.txt",)):
    """Every output file's bytes (XML decompressed), by name relative to out."""
    files = {}
    for path in sorted(out.rglob("*")):
        if path.is_file() and path.name not in skip:
            data = path.read_bytes()
            files[str(path.relative_to(out))] = gzip.decompress(data) if path.name.endswith(".gz") else data
    return files


def leaks(files, values):
    found = []
    for name, data in files.items():
        low = data.lower()
        found += [(name, v) for v in values if v.lower().encode() in low or v.lower() in name.lower()]
    return found


def planted_values(target):
    values = [v for k, v in PLANTED.items() if not (target.windows and k == "mac_in_sysfs")]
    if machine_host_name():
        values.append(machine_host_name())
    return values


def native_only(target):
    if target.windows:
        pytest.skip("the fake machine root and the journal export are the Linux sources")


def run(target, out, env, args=("/v", "/text")):
    out.mkdir(parents=True, exist_ok=True)
    return target.run(["/b", "/d", target.path(out)] + list(args), env=env)


def ulk_messages(out):
    xml = [p for p in out.glob("*.xml.gz")]
    assert len(xml) == 1, [p.name for p in out.iterdir()]
    return [i["Message"] for i in of_class(read_instances(xml[0]), "VARNSG_ULKLog")]


def test_masked_outputs_hold_no_planted_value_and_keep_their_pseudonyms(target, tmp_path):
    env = plant(tmp_path, target)
    out1, out2 = tmp_path / USER / "first", tmp_path / USER / "second"
    mapfile = tmp_path / "private" / "map.txt"
    mapfile.parent.mkdir()
    masked = dict(env, WYX_MASK="all,serials", WYX_MASK_MAP=target.path(mapfile))

    first = run(target, out1, masked)
    assert first.returncode == 0, first.stdout
    files = output_bytes(out1)
    assert any(n.endswith(".xml.gz") for n in files) and any(n.endswith(".txt") for n in files)
    assert any(n.endswith(".html") for n in files)
    assert leaks(files, planted_values(target)) == []
    # The output is named by the masked serial number.
    assert [n for n in files if n.endswith(".xml.gz")][0].startswith("8842-X1Y_serial-0")
    messages = ulk_messages(out1)
    assert len(messages) == 1
    assert re.fullmatch(r"Remote login from 192\.0\.2\.\d+ \(user-\d{4}\) via 2001:db8::[0-9a-f]+ "
                        r"mac 02:00:00:00:00:[0-9a-f]{2} on host-\d{4} for word-\d{4}", messages[0]), messages[0]
    # The map is private, beside nothing it could be sent with, and named in no output.
    if not target.windows:
        assert stat.S_IMODE(mapfile.stat().st_mode) == 0o600
    assert b"map.txt" not in b"".join(files.values())
    dtd = dtd_path()
    if dtd is not None and shutil.which("xmllint"):
        xml = next(out1.glob("*.xml.gz"))
        plain = tmp_path / "plain.xml"
        plain.write_bytes(gzip.decompress(xml.read_bytes()))
        lint = subprocess.run(["xmllint", "--nonet", "--noout", "--dtdvalid", str(dtd), str(plain)],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        assert lint.returncode == 0, lint.stdout

    # The same map: the same pseudonyms, and the map gains nothing.
    saved_map = mapfile.read_bytes()
    second = run(target, out2, masked)
    assert second.returncode == 0, second.stdout
    assert ulk_messages(out2) == messages
    assert mapfile.read_bytes() == saved_map

    # Re-rendered with masking on, a masked file stays as it was.
    again = tmp_path / "again"
    xml = next(out1.glob("*.xml.gz"))
    rerun = run(target, again, masked, ["/i", target.path(xml)])
    assert rerun.returncode == 0, rerun.stdout
    assert ulk_messages(again) == messages
    assert mapfile.read_bytes() == saved_map


def test_the_console_log_left_by_a_killed_run_is_masked(target, tmp_path):
    native_only(target)
    env = plant(tmp_path, target)
    out = tmp_path / USER / "out"
    out.mkdir(parents=True)
    env = target.env(**dict(env, WYX_MASK="all", WYX_FTP_URL="ftp://127.0.0.1:9/"))
    proc = subprocess.Popen(target.command(["/b", "/t", "/d", str(out)]), stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    # Killed in the cancel window, when every output is written: the console log stays.
    deadline = time.monotonic() + 120
    logs = []
    while time.monotonic() < deadline:
        logs = list(out.glob("OSK_Output_*.txt"))
        if logs and b"proceed in 10 seconds" in logs[0].read_bytes():
            break
        time.sleep(0.05)
    proc.send_signal(signal.SIGKILL)
    proc.communicate(timeout=30)
    assert logs, "no console log"
    text = logs[0].read_bytes()
    assert b"Writing XML data to file" in text
    assert leaks({"console log": text}, [USER] + [v for v in planted_values(target) if v != PLANTED["serial"]]) == []
    assert b"/user-0" in text


def test_masking_off_writes_what_was_collected(target, tmp_path):
    env = plant(tmp_path, target)
    out = tmp_path / "out"
    result = run(target, out, env)
    assert result.returncode == 0, result.stdout
    files = output_bytes(out)
    everything = b"".join(files.values()).lower()
    # Every planted value reaches the outputs, so the masked run's checks mean something.
    assert [v for v in planted_values(target) if v.lower().encode() not in everything] == []
    assert not list(tmp_path.rglob("norbix_mask_map.txt"))
    assert ulk_messages(out) == [MESSAGE]


def test_a_saved_file_is_masked_by_its_properties(target, tmp_path):
    saved = tmp_path / "saved.xml"
    write_cim_xml(saved, [("VARNSG_ComputerSystem", [("Name", "string"), ("Model", "string"),
                                                     ("SerialNumber", "string")],
                           [{"Name": SAVED_HOST, "Model": "8842-X1Y", "SerialNumber": "SN1"}])])
    out = tmp_path / "out"
    result = run(target, out, {"WYX_MASK": "hosts", "SYSTEMDRIVE": "C:"}, ["/text", "/i", target.path(saved)])
    assert result.returncode == 0, result.stdout
    files = output_bytes(out)
    assert leaks(files, [SAVED_HOST]) == []
    systems = of_class(read_instances(next(out.glob("*.xml.gz"))), "VARNSG_ComputerSystem")
    assert [s["Name"] for s in systems] == ["host-0001"] and systems[0]["SerialNumber"] == "SN1"
    assert (out / "norbix_mask_map.txt").exists()


def _corrupt(tmp_path, mapfile):
    mapfile.write_text("# norbix mask map 1\nhost\tsrv01\n")
    mapfile.chmod(0o600)


def _foreign(tmp_path, mapfile):
    mapfile.write_text("127.0.0.1 localhost\n")
    mapfile.chmod(0o600)


def _linked(tmp_path, mapfile):
    (tmp_path / "elsewhere").write_text("# norbix mask map 1\n")
    (tmp_path / "elsewhere").chmod(0o600)
    mapfile.symlink_to(tmp_path / "elsewhere")


def _open_to_others(tmp_path, mapfile):
    mapfile.write_text("# norbix mask map 1\n")
    mapfile.chmod(0o644)


def _huge_words(tmp_path, mapfile):
    with open(tmp_path / "words.txt", "wb") as f:
        f.truncate(1 << 30)


# name: (make, WYX_MASK, map path below tmp_path, the error line)
BAD = {
    "corrupt_map": (_corrupt, "all", "map.txt", "it is damaged at line 2"),
    "foreign_map": (_foreign, "all", "map.txt", "it is not a norbix mask map"),
    "linked_map": (_linked, "all", "map.txt", "it is a symbolic link"),
    "map_open_to_others": (_open_to_others, "all", "map.txt", "it is open to other users"),
    "unwritable_map": (None, "all", "missing/map.txt", "it cannot be written: "),
    "words_of_a_gigabyte": (_huge_words, "all", "map.txt", None),
    "unknown_choice": (None, "hosts,planets", "map.txt", None),
    "dump_after_each_plugin": (None, "all", "map.txt", None),
}


@pytest.mark.parametrize("case", list(BAD))
def test_a_map_or_words_file_that_cannot_be_used_stops_the_run_before_any_output(target, tmp_path, case):
    native_only(target)
    make, choice, where, why = BAD[case]
    mapfile = tmp_path / where
    if make:
        make(tmp_path, mapfile)
    elif (tmp_path / "words.txt").exists() is False:
        (tmp_path / "words.txt").write_text("acme\n")
    out = tmp_path / "out"
    result = run(target, out, {"WYX_MASK": choice, "WYX_MASK_MAP": str(mapfile), "SYSTEMDRIVE": "C:",
                               "WYX_MASK_WORDS": str(tmp_path / "words.txt")},
                 ["/dumpxml"] if case == "dump_after_each_plugin" else ["/v", "/text"])
    assert result.returncode == 1
    if case == "words_of_a_gigabyte":
        line = f"ERROR: Couldn't read the mask words file '{tmp_path / 'words.txt'}': "
    elif case == "dump_after_each_plugin":
        line = "ERROR: /dumpxml writes the collected data unmasked; it cannot be used with WYX_MASK.\n"
    elif case == "unknown_choice":
        line = ("ERROR: WYX_MASK names 'planets'; it takes hosts, addresses, macs, users, serials, "
                "keep-mac-maker or all.\n")
    else:
        line = f"ERROR: Couldn't use the mask map file '{mapfile}': {why}"
    assert line in result.stdout
    assert [p.name for p in out.iterdir() if not p.name.startswith("OSK_Output_")] == []
