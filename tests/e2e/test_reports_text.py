"""The text report as the Text plug-in of each build writes it."""
import re

import pytest

from reports_support import render_sample


def table_blocks(lines):
    """Each table of the report: (rule line, the lines of the table)."""
    blocks = []
    for i, line in enumerate(lines):
        if re.fullmatch(r" +-+( +-+)*", line):
            rows = [lines[i - 1]]
            j = i + 1
            while j < len(lines) and lines[j].strip():
                rows.append(lines[j])
                j += 1
            blocks.append((line, rows))
    return blocks


def test_plugins_load_with_their_names_and_types(target, tmp_path):
    _, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.decode().replace("\r\n", "\n") == (
        "Basic Analysis: type 2\nKalvix Version Checker: type 3\nHTML: type 1\nText: type 1\n")


@pytest.mark.parametrize("catalog, detail", [
    (None, "status 26: "),
    ("Server OS 5.10\n", "status 25: "),
])
def test_missing_or_malformed_catalog_stops_the_version_check(target, tmp_path, catalog, detail):
    _, _, proc = render_sample(target, tmp_path, catalog=catalog)
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith(detail)


def test_text_report_is_complete_and_aligned(target, tmp_path):
    _, report, proc = render_sample(target, tmp_path)
    assert proc.returncode == 0, proc.stderr
    raw = report.read_bytes()
    if target.windows:
        assert b"\r\n" in raw and raw.count(b"\n") == raw.count(b"\r\n")
    text = raw.decode("latin-1").replace("\r\n", "\n")
    lines = text.split("\n")
    assert lines[0] == "norbix diagnostic report"
    assert lines[1] == "Collected 2026-12-08 05:28:00 (UTC+01:00), srv01, 8865-1RY, serial KQ12345"
    # The report is rendered now, long after the sample's collection: it says when.
    assert re.fullmatch(r"Written \d{4}-\d\d-\d\d \d\d:\d\d:\d\d \(UTC[+-]\d\d:\d\d\)", lines[2])
    # What fails first, then whether the collection is whole.
    assert lines[4] == "VERDICT: 2 parts failing, 1 with a warning"
    assert lines.index("COLLECTION INCOMPLETE: 1 error was logged during the collection.") < lines.index("Machine")
    assert "  Serial number       KQ12345" in lines
    sections = [l for l in lines if re.fullmatch(r"\S+ \(\d+ instances?\)", l)]
    assert sections[:3] == ["VARNSG_HeavyHittersLogRecord (2 instances)", "VARNSG_AnalysisFinding (5 instances)",
                            "VARNSG_VersionCheck (2 instances)"]
    # Records are one line each, never wrapped: grep finds any message whole.
    long = 'Remote login from "admin" on port 3: session opened\\tand kept for the whole maintenance window of the night'
    found = [l for l in lines if long in l]
    assert len(found) == 2, found   # the timeline and the ULK log
    assert found[0].startswith("2026-12-07 23:40:59 (UTC+01:00) | ULK SERVPROC | ")
    records = [l for l in lines if re.match(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \(UTC[+-]\d\d:\d\d\) \| ", l)]
    assert len(records) > 20 and all(len(l.split(" | ")) >= 4 for l in records)
    assert "VARNSG_ULKLog (3 instances)" in sections and "VARNSG_TRAVLog (3 instances)" in sections
    assert "<script>alert(1)</script>" in text
    # Every column starts where its rule starts, on every line of every table.
    blocks = table_blocks(lines)
    assert len(blocks) >= 3   # collectors, contents, version checks
    for rule, rows in blocks:
        starts = [m.start() for m in re.finditer(r"-+", rule)]
        for row in rows:
            for start in starts[1:]:
                assert row[start - 2:start] in ("  ", row[start - 2:]), (rule, row)
    assert not (tmp_path / "srv01_report.txt.partial").exists()


def test_text_report_to_unwritable_place_is_access_denied(target, tmp_path):
    (tmp_path / "srv01_report.txt").mkdir()
    (tmp_path / "srv01_report.txt" / "keep").write_text("x")
    _, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith("status 27:")
