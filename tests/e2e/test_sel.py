"""The SEL collector in whole runs, against a scripted management controller
(WYX_IPMI_SCRIPT): decoded records, their time stamps moved onto the system
clock, the findings and the timeline; and the faults of a controller."""
import datetime

import pytest

from cimxml import of_class, read_instances
from sel_support import (EPOCH, cim_time, oem_record, script, sel_info, stamp_of, system_event)

PLUGINS = ["system", "xml", "text", "analysis", "sel"]
# The controller's clock stands years behind the system's.
CLOCK = stamp_of(datetime.datetime(2020, 9, 13, 12, 40, 0, tzinfo=datetime.timezone.utc))


def run(target, tmp_path, text, level="3"):
    tree = target.copy_tree(tmp_path / "bin", plugins=PLUGINS, fixture_schema=False)
    path = tmp_path / "controller.txt"
    path.write_text(text)
    out = tmp_path / "out"
    out.mkdir()
    result = tree.run(["/b", "/text", "/d", tree.path(out)],
                      env={"SYSTEMDRIVE": "C:", "WYX_LOG_LEVEL": level, "WYX_IPMI_SCRIPT": tree.path(path)})
    assert result.returncode == 0, result.stdout
    assert "OSK finished; exiting.\n" in result.stdout
    xml = sorted(out.glob("*.xml.gz"))
    report = sorted(out.glob("*.txt"))
    assert len(xml) == 1 and len(report) == 1, result.stdout
    return read_instances(xml[0]), report[0].read_text(encoding="latin-1")


def run_log(instances, source="SEL"):
    return [(r["Type"], r["Message"]) for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Source"] == source]


FAILING = [
    system_event(0x0101, CLOCK - 600, 0x08, 0x41, 0x6F, [0x01, 0xFF, 0xFF]),       # power supply failure
    system_event(0x0102, CLOCK - 300, 0x0C, 0x60, 0x6F, [0xA1, 0x00, 0x03]),       # uncorrectable ECC
    system_event(0x0103, CLOCK - 120, 0x04, 0x30, 0x01, [0x52, 0x05, 0x0A]),       # fan under lower critical
    system_event(0x0104, CLOCK - 60, 0x04, 0x30, 0x01, [0x52, 0x20, 0x0A], deassert=True),
    oem_record(0x0105, 0xE3, [0xDE, 0xAD, 0xBE, 0xEF]),
    system_event(0x0106, 45, 0x1D, 0x01, 0x6F, [0x00, 0xFF, 0xFF]),               # boot, before the clock was set
]


def test_failing_parts_give_findings_and_timeline_rows_at_the_corrected_time(target, tmp_path):
    instances, report = run(target, tmp_path, script(FAILING, clock=CLOCK))
    info = of_class(instances, "VARNSG_SELInfo")
    assert len(info) == 1
    info = info[0]
    assert (info["Source"], info["Version"], info["Entries"], info["RecordsRead"], info["Overflow"]) == \
        ("ipmi", "1.5", "6", "6", "false")
    assert cim_time(info["ControllerClock"]) == EPOCH + datetime.timedelta(seconds=CLOCK)
    difference = datetime.timedelta(seconds=int(info["ClockDifference"]))
    # The system clock was read when the log was: the difference is what moved the records.
    assert cim_time(info["SystemClock"]) - cim_time(info["ControllerClock"]) - difference < datetime.timedelta(seconds=1)
    assert difference > datetime.timedelta(days=365)

    records = {int(r["RecordID"]): r for r in of_class(instances, "VARNSG_SELRecord")}
    assert sorted(records) == [0x101, 0x102, 0x103, 0x104, 0x105, 0x106]
    expected = {
        0x101: ("Power Supply", "65", "Assertion", "Power Supply Failure detected", "Error"),
        0x102: ("Memory", "96", "Assertion", "Uncorrectable ECC / other uncorrectable memory error", "Error"),
        0x103: ("Fan", "48", "Assertion", "Lower Critical going low, reading 0x05, threshold 0x0A", "Error"),
        0x104: ("Fan", "48", "Deassertion", "Lower Critical going low, reading 0x20, threshold 0x0A", "Info"),
        0x105: (None, None, None, "OEM record", "Info"),
        0x106: ("System Boot / Restart Initiated", "1", "Assertion", "Initiated by power up", "Info"),
    }
    for record_id, (sensor_type, number, direction, message, severity) in expected.items():
        r = records[record_id]
        assert (r.get("SensorType"), r.get("SensorNumber"), r.get("Direction"), r["Message"], r["Severity"]) == \
            (sensor_type, number, direction, message, severity), r
        assert r["Source"] == "ipmi"
    assert records[0x105]["EventData"] == "DE AD BE EF 00 00 00 00 00 00 00 00 00"
    assert records[0x106]["TimestampState"] == "pre-init" and records[0x106]["SecondsSinceInit"] == "45"
    assert records[0x106].get("MessageTimestamp") is None
    for record_id in (0x101, 0x102, 0x103, 0x104):
        r = records[record_id]
        assert cim_time(r["MessageTimestamp"]) == cim_time(r["ControllerTimestamp"]) + difference
    assert cim_time(records[0x101]["ControllerTimestamp"]) == EPOCH + datetime.timedelta(seconds=CLOCK - 600)

    findings = [(f["Severity"], f["Category"], f["Description"], f["SourceKey"])
                for f in of_class(instances, "VARNSG_AnalysisFinding") if f["SourceClass"] == "VARNSG_SELRecord"]
    assert sorted(findings) == [("Error", "SEL", "Fan sensor 48", "RecordID=259"),
                                ("Error", "SEL", "Memory sensor 96", "RecordID=258"),
                                ("Error", "SEL", "Power Supply sensor 65", "RecordID=257")]

    def shown(record_id):
        return cim_time(records[record_id]["MessageTimestamp"]).strftime("%Y-%m-%d %H:%M:%S (UTC+00:00)")
    timeline = report[report.index("\nTimeline ("):report.index("\nContents\n")]
    for record_id, row in ((0x101, "SEL: Power Supply | Error | Power Supply Failure detected"),
                           (0x102, "SEL: Memory | Error | Uncorrectable ECC / other uncorrectable memory error"),
                           (0x103, "SEL: Fan | Error | Lower Critical going low, reading 0x05, threshold 0x0A"),
                           (0x104, "SEL: Fan | Info | Lower Critical going low, reading 0x20, threshold 0x0A")):
        assert f"\n{shown(record_id)} | {row}\n" in timeline, timeline

    # The correction in the run log, as the service-processor logs report theirs.
    log = run_log(instances)
    assert log[0][0] == "2" and log[0][1].startswith("Normalizing SEL records by ")
    assert log[1][0] == "2" and log[1][1].startswith("System clock is ")
    assert log[1][1].endswith(" (UTC offset 0). SEL clock is 2020-09-13 12:40:00 (UTC+00:00) (UTC offset 0).")
    assert [h["Message"] for h in of_class(instances, "VARNSG_HeavyHittersLogRecord")] == \
        ["The difference between the System clock and SEL clock is greater than 24 hours."]

    firmware = [s for s in of_class(instances, "VARNSG_SoftwareIdentity")
                if s["Kind"] == "Management controller firmware"]
    assert [(s["Name"], s["Version"], s["Manufacturer"]) for s in firmware] == \
        [("Management controller", "2.25", "IANA enterprise 343")]


ONE = [system_event(1, CLOCK - 10, 0x01, 0x02, 0x01, [0x57, 0x60, 0x50])]
TWO = ONE + [system_event(2, CLOCK - 5, 0x01, 0x02, 0x01, [0x59, 0x70, 0x60])]

FAULTS = [
    ("no controller", "none\n", 0, [("3", "No IPMI management controller (scripted)")]),
    ("a controller that never answers", "", 0, [("3", "No IPMI management controller answered")]),
    ("a malformed script", "reply 0A 40 00 5\n", 0,
     [("1", "sel: WYX_IPMI_SCRIPT {script}: line 1 is not understood")]),
    ("SEL Time fails", script(ONE, clock=None), 1,
     [("1", "sel: could not read SEL clock - SEL record time stamps are not normalized "
            "(Get SEL Time failed: completion code 0xD5 (Command not supported in present state))")]),
    ("the ID chain loops", script(TWO, clock=CLOCK).replace("reply 0A 43 00 FF FF", "reply 0A 43 00 01 00"), 2,
     None),
    ("an entry answered with an error", script(TWO, clock=CLOCK).rsplit("reply 0A 43", 1)[0] + "reply 0A 43 CB\n", 1,
     None),
]


@pytest.mark.parametrize("name,text,kept,log", FAULTS, ids=[f[0] for f in FAULTS])
def test_a_faulty_controller_costs_only_what_it_withholds(target, tmp_path, name, text, kept, log):
    instances, report = run(target, tmp_path, text)
    assert len(of_class(instances, "VARNSG_SELRecord")) == kept
    lines = run_log(instances)
    assert all(t != "0" for t, _ in lines), lines
    if log is not None:
        script_path = target.path(tmp_path / "controller.txt")
        assert lines[-len(log):] == [(t, m.format(script=script_path)) for t, m in log]
    if name == "SEL Time fails":
        r = of_class(instances, "VARNSG_SELRecord")[0]
        assert r["MessageTimestamp"] == r["ControllerTimestamp"]
        assert of_class(instances, "VARNSG_SELInfo")[0].get("ClockDifference") is None
    if name == "the ID chain loops":
        assert lines[-1] == ("1", "sel: SEL read stopped after 2 records: the next record ID 0x0001 was read before")
    if name == "an entry answered with an error":
        assert lines[-1] == ("1", "sel: SEL read stopped after 1 records: Get SEL Entry of record 0x0002 failed: "
                                  "completion code 0xCB (Requested sensor, data, or record not present)")
    assert "Collection complete: no collector logged an error." in report


def test_an_overflowed_log_is_a_finding_that_events_were_lost(target, tmp_path):
    instances, _ = run(target, tmp_path, script(ONE, clock=CLOCK, info=sel_info(1, free=0, flags=0x82)))
    findings = [(f["Severity"], f["Description"]) for f in of_class(instances, "VARNSG_AnalysisFinding")
                if f["SourceClass"] == "VARNSG_SELInfo"]
    assert findings == [("Warning", "The management controller's event log has overflowed: events have been lost")]


def test_without_a_script_the_os_driver_is_asked_and_its_absence_is_one_debug_note(target, tmp_path):
    tree = target.copy_tree(tmp_path / "bin", plugins=PLUGINS, fixture_schema=False)
    out = tmp_path / "out"
    out.mkdir()
    result = tree.run(["/b", "/d", tree.path(out)], env={"SYSTEMDRIVE": "C:", "WYX_LOG_LEVEL": "3"})
    assert result.returncode == 0, result.stdout
    instances = read_instances(sorted(out.glob("*.xml.gz"))[0])
    lines = run_log(instances)
    if of_class(instances, "VARNSG_SELRecord") or of_class(instances, "VARNSG_SELInfo"):
        pytest.skip("this machine has a management controller")
    assert len(lines) == 1 and lines[0][0] == "3", lines
    assert lines[0][1].startswith("No IPMI driver (") or lines[0][1] == "No IPMI management controller answered", lines
