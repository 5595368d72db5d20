"""quarnel.pi on two simulated dot-command service processors: every ULK entry
decoded by quarnelentry.txt and moved onto the system clock."""
import datetime
import re

import pytest

from quarnel_support import hexbytes, instances, run_collection, values

HEAVY = "The difference between the System clock and SP clock is greater than 24 hours."


def ulk_entry(severity, when, weekday, event, source, message):
    head = [severity, when.year - 2000, when.month, when.day, weekday, when.hour, when.minute, when.second,
            event & 0xFF, event >> 8]
    return bytes(head) + source.encode().ljust(16, b"\0") + message.encode() + b"\0"


def dmtf(when, offset="+000"):
    return when.strftime("%Y%m%d%H%M%S") + ".000000" + offset


ENTRIES = [
    # processor, severity, time, weekday, event, source, message
    (1, 1, datetime.datetime(2026, 11, 30, 23, 59, 58), 2, 0x0101, "SP A", "Power supply 1 failed"),
    (1, 2, datetime.datetime(2026, 12, 1, 8, 30, 15), 3, 0x0042, "SP A", "Fan 2 failed"),
    (1, 3, datetime.datetime(2026, 12, 1, 9, 5, 0), 3, 0x0043, "SP A", "Fan 2 recovered"),
    (2, 4, datetime.datetime(2025, 2, 28, 23, 0, 0), 6, 0x00FF, "SP B", "Temperature <high> & rising"),
    (2, 5, datetime.datetime(2025, 3, 1, 0, 0, 1), 7, 0x0007, "SP B", "Watchdog restart"),
]


def image(sp_clock):
    lines = ["kind dot", "comm ok",
             "processor",
             "clock " + hexbytes([sp_clock.year - 2000, sp_clock.month, sp_clock.day, 0,
                                  sp_clock.hour, sp_clock.minute, sp_clock.second]),
             "timezone 00 00"]
    lines += ["entry " + hexbytes(ulk_entry(*e[1:])) for e in ENTRIES if e[0] == 1]
    lines += ["processor", "clock fail  # this processor's entries keep their own time"]
    lines += ["entry " + hexbytes(ulk_entry(*e[1:])) for e in ENTRIES if e[0] == 2]
    return "\n".join(lines) + "\n"


def clock_difference(log_records):
    for r in log_records:
        m = re.fullmatch(r"Normalizing ULK Event logs by (\d+) days? (\d\d):(\d\d):(\d\d)(\.\d{6})?\.", r["Message"])
        if m:
            d, h, mi, s = map(int, m.groups()[:4])
            micro = int(m.group(5)[1:]) if m.group(5) else 0
            return datetime.timedelta(days=d, hours=h, minutes=mi, seconds=s, microseconds=micro)
    raise AssertionError("no clock difference in the run log")


def test_two_dot_processors(target, tmp_path):
    now = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None, microsecond=0)
    sp_clock = now - datetime.timedelta(hours=30)
    result, out = run_collection(target, tmp_path, image(sp_clock))

    ulk = instances(out, "VARNSG_ULKLog")
    assert len(ulk) == 5
    for inst in ulk:
        assert {n: t for n, (t, _) in inst.items()} == {
            "CreationClassName": "string", "LogCreationClassName": "string", "LogName": "string",
            "RecordID": "string", "Severity": "string", "Date": "string", "Day": "string", "Time": "string",
            "MessageTimestamp": "datetime", "EventID": "string", "LoggingSource": "string", "Message": "string"}

    log = [values(r) for r in instances(out, "VARNSG_OSKLogRecord")]
    difference = clock_difference(log)
    assert datetime.timedelta(hours=30) <= difference < datetime.timedelta(hours=30, minutes=5)

    weekdays = {2: "Monday", 3: "Tuesday", 6: "Friday", 7: "Saturday"}
    by_record = {values(i)["RecordID"]: values(i) for i in ulk}
    for number, (processor, severity, when, weekday, event, source, message) in enumerate(ENTRIES, 1):
        got = by_record[str(number)]
        stamp = (when + difference).replace(microsecond=0) if processor == 1 else when
        assert got == {
            "CreationClassName": "VARNSG_ULKLog",
            "LogCreationClassName": " ",
            "LogName": "ULKEvent",
            "RecordID": str(number),
            "Severity": str(severity),
            "Date": "%d/%d/%d" % (when.month, when.day, when.year - 2000),
            "Day": weekdays[weekday],
            "Time": "%d:%d:%d" % (when.hour, when.minute, when.second),
            "MessageTimestamp": dmtf(stamp),
            "EventID": str(event & 0xFF),
            "LoggingSource": "Node %d: %s" % (processor, source.ljust(16)),
            "Message": message,
        }, number

    heavy = [values(r)["Message"] for r in instances(out, "VARNSG_HeavyHittersLogRecord")]
    assert heavy.count(HEAVY) == 1
    messages = [r["Message"] for r in log]
    assert "could not read SP clock - can not normalize datetime in log entry" in messages
    assert any(m.startswith("System clock is ") and m.endswith(" (UTC offset 0).") for m in messages)


def test_no_service_processor(target, tmp_path):
    result, out = run_collection(target, tmp_path, "kind none\n")
    assert instances(out, "VARNSG_ULKLog") == []
    assert instances(out, "VARNSG_TRAVLog") == []


# Quarnel and the versions collector each make a driver object: the fault is
# still reported once.
@pytest.mark.parametrize("image, missing, reason", [
    ("kind dot\nprocessor\nclock 1A 0C GG\n", False, "line 3: 'GG' is not a hex byte"),
    ("", True, "cannot be read"),
])
def test_bad_image_is_reported_once(target, tmp_path, image, missing, reason):
    env = {"VANT_SP_IMAGE": target.path(tmp_path / "absent.img")} if missing else None
    result, out = run_collection(target, tmp_path, image, env=env)
    assert instances(out, "VARNSG_ULKLog") == []
    log = [values(r) for r in instances(out, "VARNSG_OSKLogRecord")]
    reports = [r for r in log if r["Message"].endswith(": %s; no service processor simulated" % reason)]
    assert len(reports) == 1, [r["Message"] for r in log]
    assert reports[0]["Type"] == "0"
    assert reports[0]["Message"].startswith("VANT_SP_IMAGE ")
