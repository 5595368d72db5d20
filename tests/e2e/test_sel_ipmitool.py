"""The SEL decoder checked against a decoder no one here wrote: ipmitool
decodes the same raw records ("sel readraw") and the two must agree, record by
record, on sensor type, event description and direction. Where they differ on
purpose the difference is listed below with its reason; a listed difference
that no longer occurs fails too, so the list stays true."""
import re
import shutil

import pytest

from cimxml import of_class, read_instances
from ipmi_dummy import readraw
from sel_support import oem_record, script, system_event

pytestmark = pytest.mark.skipif(shutil.which("ipmitool") is None, reason="ipmitool is not installed")

STAMP = 0x5F5E1000
PLUGINS = ["system", "xml", "sel"]

ABBREVIATED = "ipmitool shortens the standard's name"
UNNAMED = "ipmitool calls reserved and OEM sensor types 'Unknown'; we keep the code"
SHORTENED = "ipmitool shortens the standard's text"
NO_TEXT = "ipmitool has no text for this offset of the standard"
REWORDED = "ipmitool words it its own way"
PROGRESS = "ipmitool names the code of event data 2, which these records leave unspecified (0xFF)"

# Our sensor type -> (ipmitool's, reason).
SENSOR_TYPES = {
    "Base OS Boot / Installation Status": ("OS Boot", ABBREVIATED),
    "Button / Switch": ("Button", ABBREVIATED),
    "Management Subsystem Health": ("Management Subsys Health", ABBREVIATED),
    "Microcontroller / Coprocessor": ("Microcontroller", ABBREVIATED),
    "Monitor ASIC / IC": ("Monitor ASIC", ABBREVIATED),
    "OS Stop / Shutdown": ("OS Critical Stop", ABBREVIATED),
    "Other Units-based Sensor": ("Other", ABBREVIATED),
    "System Boot / Restart Initiated": ("System Boot Initiated", ABBREVIATED),
    "System Firmware Progress": ("System Firmwares", ABBREVIATED),
    "Reserved sensor type 0x50": ("Unknown", UNNAMED),
    "OEM sensor type 0xC0": ("Unknown", UNNAMED),
}

# (sensor type code, event type, offset) -> (ipmitool's description, reason);
# generic event types are listed under sensor type 0x01.
DESCRIPTIONS = {
    (0x01, 0x0B, 3): ("Non-Redundant: Sufficient from Redundant", SHORTENED),
    (0x01, 0x0B, 4): ("Non-Redundant: Sufficient from Insufficient", SHORTENED),
    (0x05, 0x6F, 4): ("System unplugged from LAN", REWORDED),
    (0x06, 0x6F, 0): ("Front Panel Lockout violation attempted", SHORTENED),
    (0x06, 0x6F, 2): ("Pre-boot password violation - setup password", SHORTENED),
    (0x07, 0x6F, 4): ("FRB3/Processor startup/init failure", SHORTENED),
    (0x07, 0x6F, 11): ("Uncorrectable machine check exception", REWORDED),
    (0x08, 0x6F, 3): ("Power Supply AC lost", SHORTENED),
    (0x08, 0x6F, 4): ("AC lost or out-of-range", SHORTENED),
    (0x08, 0x6F, 5): ("AC out-of-range, but present", SHORTENED),
    (0x08, 0x6F, 6): ("Config Error", SHORTENED),
    (0x09, 0x6F, 0): ("Power off/down", SHORTENED),
    (0x0C, 0x6F, 5): ("Correctable ECC logging limit reached", SHORTENED),
    (0x0D, 0x6F, 0): ("Drive Present", REWORDED),
    (0x0D, 0x6F, 7): ("Rebuild In Progress", SHORTENED),
    (0x0D, 0x6F, 8): ("Rebuild Aborted", SHORTENED),
    (0x0F, 0x6F, 0): ("Unknown Error", PROGRESS),
    (0x0F, 0x6F, 1): ("Unknown Hang", PROGRESS),
    (0x0F, 0x6F, 2): ("Unknown Progress", PROGRESS),
    (0x10, 0x6F, 1): ("Event logging disabled", SHORTENED),
    (0x10, 0x6F, 4): ("Log full", SHORTENED),
    (0x10, 0x6F, 5): ("Log almost full", SHORTENED),
    (0x10, 0x6F, 6): ("", NO_TEXT),
    (0x11, 0x6F, 0): ("BIOS Reset", SHORTENED),
    (0x11, 0x6F, 1): ("OS Reset", SHORTENED),
    (0x11, 0x6F, 2): ("OS Shut Down", SHORTENED),
    (0x11, 0x6F, 3): ("OS Power Down", SHORTENED),
    (0x11, 0x6F, 4): ("OS Power Cycle", SHORTENED),
    (0x11, 0x6F, 5): ("OS NMI/Diag Interrupt", SHORTENED),
    (0x11, 0x6F, 6): ("OS Expired", SHORTENED),
    (0x11, 0x6F, 7): ("OS pre-timeout Interrupt", SHORTENED),
    (0x13, 0x6F, 0): ("NMI/Diag Interrupt", SHORTENED),
    (0x1B, 0x6F, 1): ("Config Error", SHORTENED),
    (0x1D, 0x6F, 5): ("OS initiated hard reset", SHORTENED),
    (0x1D, 0x6F, 6): ("OS initiated warm reset", SHORTENED),
    (0x1E, 0x6F, 1): ("Non-bootable disk in drive", SHORTENED),
    (0x1E, 0x6F, 4): ("Timeout waiting for selection", SHORTENED),
    (0x1F, 0x6F, 6): ("boot completed - device not specified", SHORTENED),
    (0x20, 0x6F, 0): ("Error during system startup", REWORDED),
    (0x20, 0x6F, 4): ("PEF initiated soft shutdown", REWORDED),
    (0x22, 0x6F, 8): ("Sleeping in S1/S2/S3 state", SHORTENED),
    (0x2A, 0x6F, 0): ("", NO_TEXT),
    (0x2A, 0x6F, 1): ("", NO_TEXT),
    (0x2A, 0x6F, 2): ("", NO_TEXT),
    (0x2A, 0x6F, 3): ("", NO_TEXT),
    (0x2B, 0x6F, 1): ("", NO_TEXT),
    (0x2B, 0x6F, 6): ("Hardware change success", SHORTENED),
    (0x2B, 0x6F, 7): ("", NO_TEXT),
}

# What we say where the tables have no text; ipmitool then says nothing.
NO_TEXT_OF_OURS = ("Reserved offset ", "Unspecified event type ", "OEM event type ")


def records():
    """Every offset of every sensor type's sensor-specific events, every offset
    of every generic event type, both directions, and OEM records."""
    out = []
    for sensor_type in list(range(0x01, 0x2D)) + [0x50, 0xC0]:
        for offset in range(15):
            out.append(system_event(len(out) + 1, STAMP, sensor_type, offset, 0x6F, [offset, 0xFF, 0xFF],
                                    deassert=offset % 2 == 1))
    for event_type in range(0x01, 0x0D):
        for offset in range(13):
            data1 = 0x50 | offset if event_type == 0x01 else offset   # thresholds carry reading and threshold
            out.append(system_event(len(out) + 1, STAMP, 0x01, 0x10, event_type, [data1, 0x20, 0x30],
                                    deassert=offset % 3 == 2))
    for record_type in (0xC0, 0xDF, 0xE0, 0xFF):
        out.append(oem_record(len(out) + 1, record_type, [0x57, 0x01, 0x00, 0xAA, 0xBB]))
    return out


def norm(text):
    return re.sub(r"[^a-z0-9]", "", text.lower())


def test_every_record_agrees_with_ipmitool_or_differs_as_listed(target, tmp_path):
    raw = records()
    (tmp_path / "sel.bin").write_bytes(b"".join(raw))
    theirs = {int(row[0], 16): row for row in readraw(tmp_path / "sel.bin")}
    assert len(theirs) == len(raw)

    tree = target.copy_tree(tmp_path / "bin", plugins=PLUGINS, fixture_schema=False)
    (tmp_path / "controller.txt").write_text(script(raw, clock=STAMP))
    out = tmp_path / "out"
    out.mkdir()
    result = tree.run(["/b", "/d", tree.path(out)],
                      env={"SYSTEMDRIVE": "C:", "WYX_IPMI_SCRIPT": tree.path(tmp_path / "controller.txt")})
    assert result.returncode == 0, result.stdout
    ours = {int(r["RecordID"]): r for r in of_class(read_instances(next(out.glob("*.xml.gz"))), "VARNSG_SELRecord")}
    assert sorted(ours) == sorted(theirs)

    used_types, used_descriptions, wrong = set(), set(), []
    for record_id, row in sorted(theirs.items()):
        o = ours[record_id]
        if o.get("SensorType") is None:
            if not any(f.startswith("OEM record") for f in row) or o["Message"] != "OEM record":
                wrong.append((record_id, "OEM record", o["Message"], row[3]))
            continue
        their_type = row[3].rsplit(" #0x", 1)[0]
        expected_type = SENSOR_TYPES.get(o["SensorType"], (None,))[0]
        if expected_type is not None:
            used_types.add(o["SensorType"])
            if their_type != expected_type:
                wrong.append((record_id, "sensor type", o["SensorType"], their_type))
        elif norm(their_type) != norm(o["SensorType"]):
            wrong.append((record_id, "sensor type", o["SensorType"], their_type))

        key = (int(o["SensorTypeCode"]) if o["EventType"] == "111" else 0x01, int(o["EventType"]),
               int(o["EventOffset"]))
        ours_text = re.sub(r", (reading|threshold) 0x[0-9A-F]{2}", "", o["Message"])   # we add the raw values
        their_text = row[4]
        if key in DESCRIPTIONS:
            used_descriptions.add(key)
            if their_text != DESCRIPTIONS[key][0]:
                wrong.append((record_id, "description", ours_text, their_text))
        elif their_text == "":
            if not ours_text.startswith(NO_TEXT_OF_OURS):
                wrong.append((record_id, "description", ours_text, their_text))
        elif norm(their_text) not in norm(ours_text) and norm(ours_text) not in norm(their_text):
            wrong.append((record_id, "description", ours_text, their_text))

        if (o["Direction"], row[5]) not in (("Assertion", "Asserted"), ("Deassertion", "Deasserted")):
            wrong.append((record_id, "direction", o["Direction"], row[5]))

    assert wrong == []
    assert used_types == set(SENSOR_TYPES), "listed but no longer different"
    assert used_descriptions == set(DESCRIPTIONS), "listed but no longer different"
