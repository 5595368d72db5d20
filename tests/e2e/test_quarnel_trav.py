"""quarnel.pi on a simulated Tolm service processor: the TRAV log with every
event type decoded, the entry limit and /f, and the Pellomon case."""
import datetime

import pytest

from quarnel_support import hexbytes, instances, run_collection, values

EPOCH = datetime.datetime(1990, 1, 1)

# (event type, data from offset 7, decoded text) for box ID 1.
EVENTS = [
    (0xA2, [0x0F, 0x0B, 0x01], "Fan 3 missing. Fan 1 failed."),
    (0xA3, [0x03, 0x01, 0x01, 0x00], "Power supply 2 missing. Power supply 2 Fault. "),
    (0xA4, [0x02, 0x00, 0x00, 0x00], "Over temperature: CPU 1. Warning threshold reached"),
    (0xA5, [0x07, 0x05, 0x00, 0x01, 0x00, 0x00],
     "DASD backplane 1: device 1 missing. DASD backplane 2: device 12 missing. "),
    (0xA6, [0x00, 0x41], "VRMs on CPU 1,  failed"),
    (0xA7, [0xC7], "Voltage fault: 12V A, 5V A, 12V B, Non-Redundant, Overspec"),
    (0xAD, [0x01], "Server restarted:  O/S watchdog timed out"),
    (0xAE, [0x05], "SMI s-error, CPU 1 error"),
    (0xE1, list(b"POST 0151"), "BIOS message: POST 0151"),
    (0xA8, [0x01], ""),
]


def trav_entry(number, event_type, data):
    stamp = 86400 * 365 * 20 + 3600 * number
    reply = [0, 0] + list(stamp.to_bytes(4, "big")) + [event_type] + data
    return reply + [0] * max(0, 33 - len(reply)) + ([] if len(reply) < 33 else [0])


def trav_image(count, extra=""):
    lines = ["kind tolm", "boxid 1", extra]
    for n in range(count):
        event_type, data, _ = EVENTS[n % len(EVENTS)]
        lines.append("entry " + hexbytes(trav_entry(n, event_type, data)))
    return "\n".join(lines) + "\n"


def check_entries(trav, count):
    assert len(trav) == count
    by_record = {values(i)["RecordID"]: i for i in trav}
    for n in range(count):
        inst = by_record[str(n + 1)]
        assert {name: t for name, (t, _) in inst.items()} == {
            "CreationClassName": "string", "LogCreationClassName": "string", "LogName": "string",
            "MessageTimestamp": "datetime", "Message": "string", "RecordID": "string"}
        got = values(inst)
        when = EPOCH + datetime.timedelta(seconds=86400 * 365 * 20 + 3600 * n)
        assert got["CreationClassName"] == "VARNSG_TRAVLog"
        assert got["LogCreationClassName"] == " "
        assert got["LogName"] == "TRAVEvent"
        assert got["Message"] == EVENTS[n % len(EVENTS)][2]
        assert got["MessageTimestamp"][:21] == when.strftime("%Y%m%d%H%M%S") + ".000000"


@pytest.mark.parametrize("args, variable, count", [
    ([], None, 15),
    (["/f"], None, 23),
    ([], "0", 23),     # any value counts, even one that reads as "no"
    ([], "", 23),      # and an empty one
])
def test_trav_log(target, tmp_path, args, variable, count):
    env = {} if variable is None else {"WYX_RETRIEVE_FULL_H8_LOGS": variable}
    result, out = run_collection(target, tmp_path, trav_image(23), args=args, env=env)
    check_entries(instances(out, "VARNSG_TRAVLog"), count)
    assert instances(out, "VARNSG_ULKLog") == []


def as_bytes(text):
    """An XML text of our files as the bytes it stands for (control bytes travel
    as U+E000 + byte)."""
    return bytes(ord(c) - 0xE000 if 0xE000 <= ord(c) < 0xE020 else ord(c) for c in text)


def test_bios_message_bytes_travel_unchanged(target, tmp_path):
    text = bytes([0x09, 0x01, 0x0D, 0x0A, 0x7F, 0x80, 0xE9, 0xFF, 0x1B]) + b" <&> end"
    result, out = run_collection(target, tmp_path, "kind tolm\nboxid 1\nentry "
                                 + hexbytes(trav_entry(0, 0xE1, list(text))) + "\n")
    [entry] = [values(i) for i in instances(out, "VARNSG_TRAVLog")]
    assert as_bytes(entry["Message"]) == b"BIOS message: " + text


def test_a_short_reply_keeps_its_whole_time_stamp(target, tmp_path):
    # Six bytes: the last one, cleared for the decoder, is the time stamp's lowest.
    result, out = run_collection(target, tmp_path, "kind tolm\nboxid 1\nentry 00 00 25 9E 9D 85\n")
    [entry] = [values(i) for i in instances(out, "VARNSG_TRAVLog")]
    when = EPOCH + datetime.timedelta(seconds=0x259E9D85)
    assert entry["MessageTimestamp"] == when.strftime("%Y%m%d%H%M%S") + ".000000+000"
    assert entry["Message"] == ""


def test_pellomon_blocks_the_trav_log(target, tmp_path):
    result, out = run_collection(target, tmp_path, trav_image(3, "qmxstop no\nulklibrary yes"))
    assert instances(out, "VARNSG_TRAVLog") == []
    records = [values(r) for r in instances(out, "VARNSG_HeavyHittersLogRecord")]
    pellomon = [r for r in records
                if r["Message"] == "TRAV logs are not being collected due to the presence of Pellomon."]
    assert len(pellomon) == 1
    assert pellomon[0]["RecordID"] == "0"
    assert pellomon[0]["LogName"] == "VARN OSK heavy hitters log"
    assert pellomon[0]["LogCreationClassName"] == "VARNSG_HeavyHittersMessageLog"
    log = [values(r) for r in instances(out, "VARNSG_OSKLogRecord")]
    assert {"Source": "quarnel", "Type": "1",
            "Message": "Ulklibrary present on the system..can not get TRAV log"}.items() <= \
        next(r for r in log if r["Message"].startswith("Ulklibrary")).items()
