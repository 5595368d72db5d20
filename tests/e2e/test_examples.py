"""The example service processors in examples/ read as their comments say, so
the README's example command keeps showing what quarnel collects."""
import pathlib
import re

import pytest

from quarnel_support import instances, run_collection, values

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def commented_ulk(text):
    """(severity, message) of each entry, from the comment above it."""
    names = {"error": "2", "warning": "1", "info": "0"}
    return [(names[m.group(1)], m.group(2))
            for m in re.finditer(r"^# (error|warning|info) \S+ \S+ \S+: (.*)\nentry ", text, re.M)]


def commented_trav(text):
    return [("" if m.group(1).startswith("(") else m.group(1))
            for m in re.finditer(r"^# [0-9A-F]{2}: (.*)\nentry ", text, re.M)]


def log_messages(out):
    return [values(r)["Message"] for r in instances(out, "VARNSG_OSKLogRecord")]


def check_dot(out, text):
    ulk = [values(i) for i in instances(out, "VARNSG_ULKLog")]
    expected = commented_ulk(text)
    assert len(expected) == 16
    assert [(e["Severity"], e["Message"]) for e in ulk] == expected
    assert {"2", "1"} <= {e["Severity"] for e in ulk}, "errors and warnings among the entries"
    assert {e["LoggingSource"].split(":")[0] for e in ulk} == {"Node 1", "Node 2"}
    zones = [m for m in log_messages(out) if m.startswith("System clock is ")]
    assert len(zones) == 2 and "(UTC offset -300)." in zones[0] and "(UTC offset 60)." in zones[1]
    assert sum(m.startswith("Normalizing ULK Event logs by ") for m in log_messages(out)) == 2


def check_tolm(out, text):
    trav = [values(i)["Message"] for i in instances(out, "VARNSG_TRAVLog")]
    assert trav == commented_trav(text) and len(trav) == 10


def check_silent(out, text):
    assert instances(out, "VARNSG_ULKLog") == [] and instances(out, "VARNSG_TRAVLog") == []
    assert "Error occurred while collecting sp firmware and vpd data" in log_messages(out)


@pytest.mark.parametrize("name, check", [
    ("dot-two-processors.img", check_dot),   # clocks behind, two zones, errors and warnings
    ("tolm-every-event.img", check_tolm),    # every event type decoded (the full log: 10 entries fit)
    ("no-answer.img", check_silent),         # communication fails: the run goes on without a log
])
def test_example(target, tmp_path, name, check):
    text = (EXAMPLES / name).read_text()
    assert text.startswith("# ") and "\n" in text, "each example begins with a line of what it shows"
    _, out = run_collection(target, tmp_path, text)
    check(out, text)


def test_every_example_is_tried():
    assert sorted(p.name for p in EXAMPLES.glob("*.img")) == \
        ["dot-two-processors.img", "no-answer.img", "tolm-every-event.img"]
