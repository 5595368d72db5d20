"""Runs in zones other than UTC, natively and under Wine: a sign or zero error in
the local UTC offset shows in the output stamp, the run-log time stamps, the TRAV
time stamps and the clock difference of the ULK log."""
import datetime
import re
import zoneinfo

import pytest

import test_quarnel_trav as trav
import test_quarnel_ulk as ulk
from quarnel_support import instances, output_file, run_collection, values

ZONES = [
    "Asia/Kolkata",       # +05:30, no daylight saving
    "America/St_Johns",   # -03:30, daylight saving from March to November
    "Australia/Sydney",   # +10:00, daylight saving from October to April
]


def offset_minutes(zone, when):
    return int(when.astimezone(zoneinfo.ZoneInfo(zone)).utcoffset().total_seconds() // 60)


def dmtf_offset(minutes):
    return "%s%03d" % ("-" if minutes < 0 else "+", abs(minutes))


def dmtf_instant(text):
    """The UTC instant of a DMTF point in time."""
    local = datetime.datetime.strptime(text[:14], "%Y%m%d%H%M%S")
    return local - datetime.timedelta(minutes=int(text[21:]))


def utc_now():
    return datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None)


def run_in(target, tmp_path, zone, image):
    before = utc_now().replace(microsecond=0)
    result, out = run_collection(target, tmp_path, image, env={"TZ": zone})
    after = utc_now()
    return out, before, after


@pytest.mark.parametrize("zone", ZONES)
def test_ulk_run_in_a_zone(target, tmp_path, zone):
    sp_clock = utc_now().replace(microsecond=0) - datetime.timedelta(hours=30)   # SP in UTC, 30 hours behind
    out, before, after = run_in(target, tmp_path, zone, ulk.image(sp_clock))
    offset = offset_minutes(zone, utc_now().replace(tzinfo=datetime.timezone.utc))

    # The output stamp is the local start time, fields in order.
    stamp = re.fullmatch(r"8840-Q1X_QX00123_(\d{8}-\d{6})\.xml\.gz", output_file(out, "*.xml.gz").name).group(1)
    started = datetime.datetime.strptime(stamp, "%Y%m%d-%H%M%S") - datetime.timedelta(minutes=offset)
    assert before <= started <= after, (stamp, offset)

    # The heavy-hitter record carries the local time with its offset.
    [heavy] = [values(r) for r in instances(out, "VARNSG_HeavyHittersLogRecord") if values(r)["Message"] == ulk.HEAVY]
    assert heavy["MessageTimestamp"][21:] == dmtf_offset(offset)
    assert before <= dmtf_instant(heavy["MessageTimestamp"]) <= after

    # The clock difference is taken between instants, whatever the zone.
    log = [values(r) for r in instances(out, "VARNSG_OSKLogRecord")]
    difference = ulk.clock_difference(log)
    assert datetime.timedelta(hours=30) <= difference < datetime.timedelta(hours=30, minutes=5)
    sign, hours, minutes = "-" if offset < 0 else "+", abs(offset) // 60, abs(offset) % 60
    system = [r["Message"] for r in log if r["Message"].startswith("System clock is ")]
    assert len(system) == 1
    m = re.fullmatch(r"System clock is (\S+ \S+?)(\.\d{6})? \(UTC" + re.escape("%s%02d:%02d" % (sign, hours, minutes))
                     + r"\) \(UTC offset " + str(offset) + r"\)\. SP clock is (\S+ \S+) \(UTC\+00:00\) "
                     r"\(UTC offset 0\)\.", system[0])
    assert m, system[0]
    local = datetime.datetime.strptime(m.group(1), "%Y-%m-%d %H:%M:%S") - datetime.timedelta(minutes=offset)
    assert before <= local <= after
    assert m.group(3) == sp_clock.strftime("%Y-%m-%d %H:%M:%S")


@pytest.mark.parametrize("zone", ZONES)
def test_trav_run_in_a_zone(target, tmp_path, zone):
    out, _, _ = run_in(target, tmp_path, zone, trav.trav_image(2))
    offset = offset_minutes(zone, utc_now().replace(tzinfo=datetime.timezone.utc))
    entries = sorted((values(i) for i in instances(out, "VARNSG_TRAVLog")), key=lambda v: v["RecordID"])
    # The entry's own time, unconverted, with the system's current offset.
    assert [e["MessageTimestamp"] for e in entries] == [
        (trav.EPOCH + datetime.timedelta(seconds=86400 * 365 * 20 + 3600 * n)).strftime("%Y%m%d%H%M%S")
        + ".000000" + dmtf_offset(offset) for n in range(2)]
