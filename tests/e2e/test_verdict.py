"""Page one names what is failing, part by part, from every source that speaks of it:
the example's service processors, a saved collection with a fault planted in each
source, and a collection without its run log; opened in headless Chromium at 1366x768."""
import pathlib

import pytest
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select

from cimxml import write_cim_xml
from quarnel_support import run_collection
from reports_support import ROOT_BUILD, grid_data
from test_reports_html import browser, console_problems, open_page, shown_rows  # noqa: F401 (fixture)

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "dot-two-processors.img"
FOLD = 768


def collected(target, tmp, image, *args):
    _, out = run_collection(target, tmp, image, args=["/v", "/text"] + list(args))
    [html] = [p for p in out.iterdir() if p.is_dir()]
    [text] = out.glob("*.txt")
    return html, text.read_text(encoding="latin-1")


@pytest.fixture(scope="module")
def outputs(tmp_path_factory):
    cache = {}

    def once(target, what, make):
        if (target.name, what) not in cache:
            cache[(target.name, what)] = make(tmp_path_factory.mktemp(f"verdict-{what}-{target.name}"))
        return cache[(target.name, what)]
    return once


def at_laptop_size(browser):
    browser.set_window_size(1366, 768)
    # The window's inner height is what the page gets; the rest is the browser's frame.
    return browser.execute_script("return window.innerHeight;")


def verdict_lines(page):
    return [(li.find_element(By.CLASS_NAME, "tag").text, li.find_elements(By.TAG_NAME, "a")[0].text)
            for li in page.find_elements(By.CSS_SELECTOR, "#verdict li.error, #verdict li.warning")]


def shot(page, name, target):
    shots = ROOT_BUILD / "screenshots"
    shots.mkdir(exist_ok=True)
    path = shots / f"verdict_{name}_{target.name}.png"
    assert page.save_screenshot(str(path))
    data = path.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and len(data) > 20000


def test_example_verdict_names_the_failing_parts_above_the_fold(browser, target, outputs):  # noqa: F811
    html, text = outputs(target, "example", lambda tmp: collected(target, tmp, EXAMPLE.read_text()))
    page = open_page(browser, html / "index.html")
    height = at_laptop_size(browser)
    try:
        assert page.find_element(By.CSS_SELECTOR, "#verdict h2").text == "3 parts failing, 4 with warnings"
        lines = verdict_lines(page)
        assert [name for verdict, name in lines if verdict in ("Failed", "Degraded")] == ["DIMM 4", "Fan 3", "Disk 5"]
        assert sorted(name for verdict, name in lines if verdict == "Warning") == [
            "CPU 2", "Power supply 1", "Power supply 2", "RAID controller"]
        # The verdict, the status line and the heavy hitters are on the first screen.
        for selector in ("#verdict", "#status h2", "#heavy-hitters"):
            bottom = page.execute_script(
                "return document.querySelector(arguments[0]).getBoundingClientRect().bottom;", selector)
            assert bottom <= min(height, FOLD), selector
        assert page.find_element(By.CSS_SELECTOR, "#status h2").text == "Collection complete"
        shot(page, "page_one", target)
        # Each line leads to the part's evidence, each piece to its row.
        page.find_element(By.LINK_TEXT, "DIMM 4").click()
        evidence = page.find_element(By.ID, "part-1")
        assert "Uncorrectable ECC error, DIMM 4 disabled" in evidence.text
        evidence.find_element(By.PARTIAL_LINK_TEXT, "VARNSG_ULKLog row").click()
        assert "Uncorrectable ECC error" in page.find_element(By.CSS_SELECTOR, "tr.target").text
        assert console_problems(page) == []
    finally:
        browser.set_window_size(1280, 1000)
    # The text report says the same first.
    head = text.split("\n\n")[1]
    assert head.startswith("VERDICT: 3 parts failing, 4 with warnings\n")
    assert [line.split(" | ")[1:3] for line in head.splitlines()[1:4]] == [
        ["DIMM 4", "Failed"], ["Fan 3", "Failed"], ["Disk 5", "Degraded"]]


def test_example_warnings_are_warnings(browser, target, outputs):  # noqa: F811
    html, text = outputs(target, "example", lambda tmp: collected(target, tmp, EXAMPLE.read_text()))
    page = open_page(browser, html / "timeline.html")
    page.find_element(By.ID, "timeline-by-3").send_keys("Warning")
    warned = {r[4] for r in shown_rows(page, "timeline")}
    for message in ("Fan 3 speed below warning threshold (2100 RPM)",
                    "Temperature CPU 2 over warning threshold (86 C)",
                    "RAID controller battery charge low (28%)",
                    "Power supply 2 input voltage low (188 V)"):
        assert message in warned
        assert f"| Warning | {message}" in text
    findings = {(g[0], g[4]) for g in shown_rows(open_page(browser, html / "index.html"), "findings-table")}
    assert ("Warning", "Temperature CPU 2 over warning threshold (86 C)") in findings
    assert ("Warning", "RAID controller battery charge low (28%)") in findings


def test_without_a_run_log_page_one_says_unknown(browser, target, outputs):  # noqa: F811
    html, text = outputs(target, "x", lambda tmp: collected(target, tmp, EXAMPLE.read_text(), "/x"))
    page = open_page(browser, html / "index.html")
    body = page.find_element(By.TAG_NAME, "body").text
    assert page.find_element(By.CSS_SELECTOR, "#status h2").text == \
        "Collection status unknown: the run log was not saved"
    assert "Collection complete" not in body and "No heavy hitters were recorded" not in body
    assert page.find_elements(By.CSS_SELECTOR, ".good, .calm") == []   # never green
    assert page.find_element(By.CSS_SELECTOR, "#verdict h2").text == "3 parts failing, 4 with warnings"
    assert "Collection status unknown: the run log was not saved.\n" in text
    assert "none were recorded" not in text and "Collection complete" not in text


def props(*names):
    return [(n, "datetime" if n == "MessageTimestamp" else "string") for n in names]


def schema_types():
    """(class, property) to the type the shipped schema declares: a saved file must agree with it."""
    import xml.etree.ElementTree as ElementTree
    types = {}
    for path in (pathlib.Path(__file__).resolve().parents[2] / "schema").glob("*.xml"):
        for cls in ElementTree.parse(path).iter("CLASS"):
            for prop in cls.iter("PROPERTY"):
                types[(cls.get("NAME"), prop.get("NAME"))] = prop.get("TYPE")
    return types


def declared(classes):
    types = schema_types()
    return [(name, [(n, types.get((name, n), t)) for n, t in p], rows) for name, p, rows in classes]


# One fault in each source, and healthy parts beside them. Failing: DIMM_A1 (EDAC counter
# and a hardware-error record), sdb (SMART), 0000:3b:00.0 (fatal PCIe errors), PS2 (SEL),
# Fan 2 (ULK), Fan 4 (TRAV), CPU 3 (machine check).
PLANTED = [
    ("VARNSG_ComputerSystem", props("CreationClassName", "Name", "Model", "SerialNumber"),
     [{"CreationClassName": "VARNSG_ComputerSystem", "Name": "srv9", "Model": "8842-AB1", "SerialNumber": "KD1"}]),
    ("VARNSG_MemoryErrorCounter", props("Source", "Controller", "Label", "CorrectedCount", "UncorrectedCount"),
     [{"Source": "edac sysfs", "Controller": "mc0", "Label": "DIMM_A1", "CorrectedCount": "0", "UncorrectedCount": "2"},
      {"Source": "edac sysfs", "Controller": "mc0", "Label": "DIMM_A2", "CorrectedCount": "0",
       "UncorrectedCount": "0"}]),
    ("VARNSG_HardwareErrorRecord", props("Source", "RecordID", "MessageTimestamp", "Severity", "Kind", "Component",
                                         "Message"),
     [{"Source": "rasdaemon", "RecordID": "1", "MessageTimestamp": "20261207100000.000000+000", "Severity": "Error",
       "Kind": "Memory", "Component": "DIMM_A1", "Message": "uncorrected memory error"},
      {"Source": "rasdaemon", "RecordID": "2", "MessageTimestamp": "20261207110000.000000+000", "Severity": "Error",
       "Kind": "Machine check", "Component": "CPU 3", "Message": "machine check: cache error"}]),
    ("VARNSG_DiskHealth", props("Source", "DeviceID", "Model", "SerialNumber", "Protocol", "Assessment"),
     [{"Source": "smartctl", "DeviceID": "/dev/sda", "Model": "M1", "SerialNumber": "S1", "Protocol": "ATA",
       "Assessment": "Passed"},
      {"Source": "smartctl", "DeviceID": "/dev/sdb", "Model": "M2", "SerialNumber": "S2", "Protocol": "ATA",
       "Assessment": "Failed"}]),
    ("VARNSG_PCIErrorCounter", props("Source", "Address", "Name", "CorrectableCount", "NonFatalCount", "FatalCount"),
     [{"Source": "edac sysfs", "Address": "0000:3b:00.0", "Name": "NIC", "CorrectableCount": "0",
       "NonFatalCount": "0", "FatalCount": "1"}]),
    ("VARNSG_SELRecord", props("Source", "RecordID", "MessageTimestamp", "SensorType", "SensorNumber", "Direction",
                               "Message", "Severity"),
     [{"Source": "ipmi", "RecordID": "1", "MessageTimestamp": "20261207120000.000000+000",
       "SensorType": "Power Supply", "SensorNumber": "81", "Direction": "Assertion",
       "Message": "PS2 Status: Failure detected", "Severity": "Error"},
      {"Source": "ipmi", "RecordID": "2", "MessageTimestamp": "20261207120500.000000+000", "SensorType": "Fan",
       "SensorNumber": "48", "Direction": "Deassertion", "Message": "FAN1: Lower critical going low",
       "Severity": "Info"}]),
    ("VARNSG_ULKLog", props("CreationClassName", "LogName", "RecordID", "Severity", "MessageTimestamp", "Message"),
     [{"CreationClassName": "VARNSG_ULKLog", "LogName": "ULKEvent", "RecordID": "1", "Severity": "2",
       "MessageTimestamp": "20261207130000.000000+000", "Message": "Fan 2 failed"}]),
    ("VARNSG_TRAVLog", props("CreationClassName", "LogName", "RecordID", "MessageTimestamp", "Message"),
     [{"CreationClassName": "VARNSG_TRAVLog", "LogName": "TRAVEvent", "RecordID": "1",
       "MessageTimestamp": "20261207140000.000000+000", "Message": "Fan 4 missing. "}]),
]


def website(target, tmp, classes, name):
    tree = target.copy_tree(tmp / "bin", plugins=["xml", "html", "analysis"])
    saved = tmp / f"{name}.xml"
    write_cim_xml(saved, declared(classes))
    out = tmp / "out"
    out.mkdir()
    result = tree.run(["/website", "/i", tree.path(saved), "/d", tree.path(out)])
    assert result.returncode == 0, result.stdout
    return out / name


def test_planted_faults_across_sources_are_exactly_the_failing_parts(browser, target, outputs):  # noqa: F811
    html = outputs(target, "planted", lambda tmp: website(target, tmp, PLANTED, "planted"))
    page = open_page(browser, html / "index.html")
    height = at_laptop_size(browser)
    try:
        # Seven failing parts and a status that cannot be known: still all on the first screen.
        for selector in ("#verdict", "#status h2", "#heavy-hitters"):
            bottom = page.execute_script(
                "return document.querySelector(arguments[0]).getBoundingClientRect().bottom;", selector)
            assert bottom <= min(height, FOLD), selector
        shot(page, "page_one_planted", target)
    finally:
        browser.set_window_size(1280, 1000)
    lines = verdict_lines(page)
    assert sorted(name for verdict, name in lines if verdict == "Failed") == sorted(
        ["DIMM_A1", "Disk /dev/sdb", "PCIe device 0000:3b:00.0", "PS2", "Fan 2", "Fan 4", "CPU 3"])
    assert [name for verdict, name in lines if verdict != "Failed"] == []
    # The parts page holds the healthy ones too, filterable by verdict.
    page = open_page(browser, html / "parts.html")
    height = at_laptop_size(browser)
    try:
        rows = grid_data(html / "parts.data.js")["rows"]
        assert {r[2]: r[0] for r in rows if r[0] == "OK"} == {"DIMM_A2": "OK", "/dev/sda": "OK", "FAN1": "OK"}
        page.find_element(By.ID, "parts-by-0").send_keys("OK")
        assert sorted(r[2] for r in shown_rows(page, "parts")) == ["/dev/sda", "DIMM_A2", "FAN1"]
        assert height > 0
        Select(page.find_element(By.ID, "parts-by-0")).select_by_index(0)
        assert len(shown_rows(page, "parts")) == 10
        shot(page, "parts_page", target)
        assert console_problems(page) == []
    finally:
        browser.set_window_size(1280, 1000)


def test_a_clean_collection_says_so_in_one_line(browser, target, outputs):  # noqa: F811
    clean = [(name, p, [r for r in rows if r.get("UncorrectedCount") == "0" or r.get("Assessment") == "Passed"])
             for name, p, rows in PLANTED if name in ("VARNSG_ComputerSystem", "VARNSG_MemoryErrorCounter",
                                                      "VARNSG_DiskHealth")]
    clean[0] = PLANTED[0]
    html = outputs(target, "clean", lambda tmp: website(target, tmp, clean, "clean"))
    page = open_page(browser, html / "index.html")
    assert page.find_element(By.CSS_SELECTOR, "#verdict h2").text == "Nothing wrong found: 2 parts checked, all OK"
    assert page.find_element(By.CSS_SELECTOR, "#verdict .checked").text.startswith("DIMM_A2, Disk /dev/sda")
    # A saved file of another tool has no run log: nothing here is green.
    assert page.find_elements(By.CSS_SELECTOR, ".good, .calm") == []


def test_a_long_value_wraps_in_full_on_a_click(browser, target, outputs):  # noqa: F811
    html, _ = outputs(target, "example", lambda tmp: collected(target, tmp, EXAMPLE.read_text()))
    page = open_page(browser, html / "VARNSG_ULKLog.html")
    text = "Temperature CPU 2 over warning threshold (86 C)"

    # Found and used in one step: the rows are drawn again as the grid scrolls.
    find = ("var text = arguments[0], cell = Array.prototype.find.call("
            "document.querySelectorAll('#instances td.long'), function (td) { return td.textContent === text; });")
    frame = "return new Promise(function (done) { requestAnimationFrame(function () { requestAnimationFrame(done); }); });"

    def wrapping():
        return page.execute_script(find + "return getComputedStyle(cell).whiteSpace;", text)

    def click():
        page.execute_script(find + "cell.click();", text)
        page.execute_script(frame)
    assert wrapping() == "pre"
    click()
    assert wrapping() == "pre-wrap"
    page.execute_script("document.querySelector('.grid').dispatchEvent(new Event('scroll'));")
    page.execute_script(frame)
    assert wrapping() == "pre-wrap"   # still open when the rows are drawn again
    click()
    assert wrapping() == "pre"
    assert console_problems(page) == []


def test_tolm_example_verdict_names_each_failing_part(target, tmp_path):
    image = (EXAMPLE.parent / "tolm-every-event.img").read_text()
    _, out = run_collection(target, tmp_path, image, args=["/f", "/text"])
    [text] = out.glob("*.txt")
    head = text.read_text(encoding="latin-1").split("\n\n")[1].splitlines()
    assert head[0] == "VERDICT: 7 parts failing"
    # A failed VRM is the regulator's, DASD devices are numbered across both backplanes.
    assert sorted(line.split(" | ")[1] for line in head[1:8]) == [
        "CPU 1", "DASD device 1", "DASD device 12", "Fan 1", "Fan 3", "Power supply 2", "VRM on CPU 1"]
