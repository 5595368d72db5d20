"""norbix-fleet compare: what changed between two collections of one server."""
import gzip
import shutil

import pytest

from conftest import Target
from fleet_support import NEW_EVENT, collect, fleet, native_tree, pair, run_fleet, EXAMPLE  # noqa: F401 (fixtures)
from reports_support import ROOT_BUILD


def sections(text):
    """The text report's sections: {title: [lines]}."""
    found, current = {}, None
    for line in text.splitlines():
        if line and not line.startswith(" ") and line.endswith(")") and " (" in line:
            current = line[:line.rindex(" (")]
            found[current] = []
        elif current and line.strip():
            found[current].append(line.strip())
    return found


def test_compare_finds_exactly_what_changed(fleet, pair, tmp_path):
    old, new = pair
    out = tmp_path / "cmp"
    proc = run_fleet(fleet, ["compare", fleet.path(old), fleet.path(new), "--out", fleet.path(out)])
    assert proc.returncode == 0, proc.stderr
    assert proc.stderr == b""
    summary = proc.stdout.decode().splitlines()[0]
    assert summary == ("1 new log record; findings: 0 appeared, 1 cleared, 0 changed; "
                       "part verdicts: 0 appeared, 1 cleared, 0 changed; "
                       "parts: 0 added, 1 removed, 0 changed; 1 version change")
    (text_file,) = out.glob("*.txt")
    text = sections(text_file.read_text().replace("\r\n", "\n"))
    rows = {k: v[2:] for k, v in text.items()}   # under the headings and rule
    assert len(rows["New log records"]) == 1 and NEW_EVENT in rows["New log records"][0]
    assert rows["New log records"][0].startswith("ULK")
    assert len(rows["Findings"]) == 1 and rows["Findings"][0].startswith("cleared")
    assert "Disk sda (ST4000NM) reports state Failed" in rows["Findings"][0]
    # The disk's failed state is gone: its part verdict cleared, and no other part's moved.
    assert [" ".join(r.split()) for r in rows["Part verdicts"]] == [
        "cleared Disk Disk sda Failed (1 record) OK (1 record)"]
    assert len(rows["Parts"]) == 1 and rows["Parts"][0].startswith("removed  DIMM")
    assert "location DIMM A2; serial S-0002" in rows["Parts"][0]
    assert rows["Versions"] == [next(r for r in rows["Versions"] if "System BIOS" in r)]
    assert "1.40" in rows["Versions"][0] and "1.52" in rows["Versions"][0]

    (page_dir,) = [p for p in out.iterdir() if p.is_dir()]
    page = (page_dir / "index.html").read_text()
    assert "Content-Security-Policy" in page and "default-src 'none'" in page
    assert (page_dir / "report.css").exists() and (page_dir / "report.js").exists()
    assert page.count("<tr class=") + page.count("<tr>") >= 4


def test_the_page_in_a_browser(fleet, pair, tmp_path):
    selenium = pytest.importorskip("selenium")
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    old, new = pair
    out = tmp_path / "cmp"
    assert run_fleet(fleet, ["compare", fleet.path(old), fleet.path(new), "--out", fleet.path(out)]).returncode == 0
    (page_dir,) = [p for p in out.iterdir() if p.is_dir()]
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", f"--user-data-dir={tmp_path / 'profile'}"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get((page_dir / "index.html").as_uri())
        def rows(table):
            return [r.text for r in driver.find_elements(By.CSS_SELECTOR, f"#{table}-table tbody tr")]
        assert len(rows("records")) == 1 and NEW_EVENT in rows("records")[0]
        assert len(rows("findings")) == 1 and rows("findings")[0].startswith("cleared")
        assert [" ".join(r.split()) for r in rows("verdicts")] == [
            "cleared Disk Disk sda Failed (1 record) OK (1 record)"]
        assert len(rows("parts")) == 1 and "S-0002" in rows("parts")[0]
        assert len(rows("versions")) == 1 and "1.52" in rows("versions")[0]
        problems = [e for e in driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        assert problems == []
        driver.set_window_size(1366, 768)
        shots = ROOT_BUILD / "screenshots"
        shots.mkdir(exist_ok=True)
        assert driver.save_screenshot(str(shots / f"fleet_compare_{fleet.name}.png"))
    finally:
        driver.quit()


def test_the_same_collection_twice_is_refused(fleet, pair, tmp_path):
    old, _ = pair
    copy = tmp_path / "copy.xml.gz"
    copy.write_bytes(old.read_bytes())
    proc = run_fleet(fleet, ["compare", fleet.path(old), fleet.path(copy), "--out", fleet.path(tmp_path / "o")])
    assert proc.returncode == 1
    err = proc.stderr.decode().replace("\r\n", "\n")
    assert err == (f"norbix-fleet: error: '{fleet.path(copy)}' holds the same collection as "
                   f"'{fleet.path(old)}': nothing to compare\n")
    assert not (tmp_path / "o").exists()


def bad_inputs(tmp, good):
    data = good.read_bytes()
    (tmp / "truncated.xml.gz").write_bytes(data[: len(data) // 2])
    (tmp / "corrupt.xml").write_bytes(b"<CIM><DECLARATION><DECLGROUP>\x00garbage")
    (tmp / "other-tool.xml").write_text(
        '<?xml version="1.0"?>\n<CIM CIMVERSION="2.0" DTDVERSION="2.2"><DECLARATION><DECLGROUP>'
        '</DECLGROUP></DECLARATION></CIM>\n')
    return tmp


@pytest.mark.parametrize("name, reason", [
    ("truncated.xml.gz", "not a readable collection"),
    ("corrupt.xml", "not a readable collection"),
    ("other-tool.xml", "names no serial number"),
    ("missing.xml", "file not found"),
])
def test_bad_input_is_refused_naming_the_file(fleet, pair, tmp_path, name, reason):
    old, _ = pair
    bad = bad_inputs(tmp_path, old) / name
    proc = run_fleet(fleet, ["compare", fleet.path(old), fleet.path(bad), "--out", fleet.path(tmp_path / "o")])
    assert proc.returncode == 1
    err = proc.stderr.decode()
    assert err.startswith("norbix-fleet: error: '" + fleet.path(bad) + "'") and reason in err, err
    assert proc.stdout == b""
    assert not (tmp_path / "o").exists()


@pytest.fixture(scope="module")
def other_server(tmp_path_factory):
    tmp = tmp_path_factory.mktemp("other")
    return collect(native_tree(tmp), tmp, "x", EXAMPLE.read_text(), [], serial="ZZ99999")


def test_different_servers_are_refused_unless_forced(fleet, pair, other_server, tmp_path):
    old, _ = pair
    args = ["compare", fleet.path(old), fleet.path(other_server), "--out", fleet.path(tmp_path)]
    proc = run_fleet(fleet, args)
    assert proc.returncode == 1
    assert "is of another server" in proc.stderr.decode() and "ZZ99999" in proc.stderr.decode()
    forced = run_fleet(fleet, args + ["--force"])
    assert forced.returncode == 0, forced.stderr
    (text_file,) = tmp_path.glob("*.txt")
    assert "compared by force" in text_file.read_text()


@pytest.mark.parametrize("args, status, stream", [
    (["--help"], 0, "stdout"),
    ([], 2, "stderr"),
    (["compare", "one.xml"], 2, "stderr"),
    (["frobnicate"], 2, "stderr"),
])
def test_command_line(fleet, args, status, stream):
    proc = run_fleet(fleet, args)
    assert proc.returncode == status
    text = getattr(proc, stream).decode()
    assert ("Usage: norbix-fleet" in text) if status == 0 else text.startswith("norbix-fleet: usage: ")
