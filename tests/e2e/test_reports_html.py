"""The HTML pages as the HTML plug-in of each build writes them, opened in headless Chromium."""
import datetime

import pytest
from selenium import webdriver
from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

from cimxml import write_cim_xml
from quarnel_support import hexbytes, run_collection
from reports_support import ROOT_BUILD, render_sample


@pytest.fixture(scope="module")
def browser(tmp_path_factory):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--window-size=1280,1000", f"--user-data-dir={tmp_path_factory.mktemp('chromium-profile')}"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    yield driver
    driver.quit()


@pytest.fixture(scope="module")
def made(tmp_path_factory):
    """Outputs made once per module and target: {(target name, what): result}."""
    cache = {}

    def once(target, what, make):
        key = (target.name, what)
        if key not in cache:
            cache[key] = make(tmp_path_factory.mktemp(f"{what}-{target.name}"))
        return cache[key]
    return once


@pytest.fixture
def pages(target, made):
    def make(tmp):
        html, _, proc = render_sample(target, tmp)
        assert proc.returncode == 0, proc.stderr
        return html
    return made(target, "sample", make)


def open_page(browser, path, fragment=""):
    browser.get_log("browser")   # drop what earlier pages logged
    browser.get(path.as_uri() + fragment)
    return browser


def console_problems(browser):
    return [e for e in browser.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]


def shown_rows(browser, table):
    """The texts of the rows shown in a table, cell by cell."""
    return browser.execute_script(
        "return Array.prototype.filter.call(document.querySelectorAll('#' + arguments[0] + ' tbody tr'),"
        " function (r) { return !r.hidden && r.className.indexOf('spacer') === -1; })"
        ".map(function (r) { return Array.prototype.map.call(r.cells, function (c) { return c.textContent; }); });",
        table)


def column(browser, name, table="instances"):
    index = [h.text for h in browser.find_elements(By.CSS_SELECTOR, f"#{table} th")].index(name)
    return [row[index] for row in shown_rows(browser, table)]


def header(browser, name, table="instances"):
    for button in browser.find_elements(By.CSS_SELECTOR, f"#{table} th button"):
        if button.text.split(" ")[0] == name:
            return button
    raise AssertionError(f"no column {name}")


def counter(browser, table="instances"):
    return browser.find_element(By.ID, f"{table}-shown").text


def screenshot(browser, name, target, height=None):
    """Saves the page as build/screenshots/reports_<name>_<target>.png for a person
    to look at: an artifact of the test that calls it, which checks the page itself.
    With a height, the window is that tall for the picture only."""
    shots = ROOT_BUILD / "screenshots"
    shots.mkdir(exist_ok=True)
    shot = shots / f"reports_{name}_{target.name}.png"
    if height:
        browser.set_window_size(1280, height)
    try:
        assert browser.save_screenshot(str(shot))
    finally:
        if height:
            browser.set_window_size(1280, 1000)
    data = shot.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and len(data) > 20000


def test_index_says_status_first_then_machine_and_links(browser, pages):
    page = open_page(browser, pages / "index.html")
    assert page.title == "Diagnostic report for srv01"
    body = page.find_element(By.TAG_NAME, "body").text
    for fact in ("srv01", "Maker & Sons", "8865-1RY", "KQ12345", "Collected 2026-12-08 05:28:00 (UTC+01:00)"):
        assert fact in body
    # The sample's run log holds a quarnel error: the collection is not complete.
    assert page.find_element(By.CSS_SELECTOR, "#status h2").text == "Collection incomplete"
    ids = [e.get_attribute("id") for e in page.find_elements(By.CSS_SELECTOR, "section[id], h2[id]")]
    # What fails first, then whether the collection is whole and the heavy hitters; then the rest.
    assert ids.index("verdict") < ids.index("status") < ids.index("heavy-hitters") < ids.index("findings") \
        < ids.index("machine") < ids.index("collectors") < ids.index("classes") < ids.index("run-log")
    for table in ("collectors-table", "heavy", "findings-table", "versions-table", "classes-table", "runlog"):
        assert shown_rows(page, table), table
    assert column(page, "Message", "heavy")[0].startswith("TRAV logs are not being collected")
    assert column(page, "Status", "versions-table") == ["Update available", "Not installed"]
    assert console_problems(page) == []
    page.find_element(By.LINK_TEXT, "VARNSG_ULKLog").click()
    assert page.find_element(By.TAG_NAME, "h1").text == "VARNSG_ULKLog"
    assert console_problems(page) == []


def test_finding_group_leads_to_its_rows(browser, pages):
    page = open_page(browser, pages / "index.html")
    groups = shown_rows(page, "findings-table")
    # Most severe first: the errors of the fan and of the ULK entry, then the warnings.
    severities = [g[0] for g in groups]
    assert severities == sorted(severities, key=["Error", "Warning"].index)
    fan = next(g for g in groups if g[1] == "Fan")
    assert fan[3:6] == ["VARNSG_TRAVLog", "Fan 3 missing. Fan 1 failed.", "1"]
    row = page.find_elements(By.CSS_SELECTOR, "#findings-table tbody tr")[groups.index(fan)]
    row.find_element(By.LINK_TEXT, "the entry").click()
    assert page.current_url.endswith("VARNSG_TRAVLog.html#q=Fan%203%20missing.%20Fan%201%20failed.")
    assert column(page, "Message") == ["Fan 3 missing. Fan 1 failed."]
    assert counter(page) == "1 of 3 rows"


@pytest.mark.parametrize("name, ascending", [
    ("RecordID", ["1", "2", "3"]),
    ("MessageTimestamp", ["2026-12-07 21:05:00 (UTC+01:00)", "2026-12-07 22:15:03 (UTC+01:00)",
                          "2026-12-07 23:40:59 (UTC+01:00)"]),
    ("Severity", ["0", "1", "2"]),
])
def test_class_page_sorts_by_any_column(browser, pages, name, ascending):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    header(page, name).click()
    assert column(page, name) == ascending
    header(page, name).click()
    assert column(page, name) == ascending[::-1]
    assert console_problems(page) == []


def test_class_page_says_once_what_every_row_holds(browser, pages):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    columns = [h.text for h in page.find_elements(By.CSS_SELECTOR, "#instances th")]
    assert "LogName" not in columns and "CreationClassName" not in columns and "Message" in columns
    same = page.find_element(By.CSS_SELECTOR, "table.same").text
    assert "LogName ULKEvent" in same and "CreationClassName VARNSG_ULKLog" in same


def test_sorting_orders_numbers_by_value(browser, pages):
    page = open_page(browser, pages / "index.html")
    header(page, "Instances", "classes-table").click()
    counts = [int(c) for c in column(page, "Instances", "classes-table")]
    assert counts == sorted(counts) and counts[-1] == 5


def test_class_page_filters_rows_by_text(browser, pages):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    box = page.find_element(By.CSS_SELECTOR, "input.filter")
    box.send_keys("POWER")
    assert column(page, "Message") == ["System power on"]
    assert counter(page) == "1 of 3 rows"
    assert page.find_element(By.ID, "instances-shown").get_attribute("aria-live") == "polite"
    box.clear()
    box.send_keys("no such text")
    assert column(page, "Message") == []
    assert counter(page) == "0 of 3 rows"


@pytest.mark.parametrize("table, text, shown", [
    ("findings-table", "fan", "1 of 5 rows"),
    ("classes-table", "ulklog", "1 of {} rows"),   # every class the container declares, empty ones too
    ("versions-table", "raid", "1 of 2 rows"),
    ("runlog", "quarnel", "2 of 3 rows"),
])
def test_index_tables_filter_by_text(browser, pages, table, text, shown):
    # Each table's filter box finds its own table, not the heading of its section.
    page = open_page(browser, pages / "index.html")
    rows = len(shown_rows(page, table))
    page.find_element(By.CSS_SELECTOR, f"input[data-table='{table}']").send_keys(text)
    assert counter(page, table) == shown.format(rows)
    assert all(text in "".join(row).lower() for row in shown_rows(page, table))
    assert console_problems(page) == []


def test_markup_in_data_is_shown_as_text(browser, pages):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    assert "<script>alert(1)</script>" in column(page, "Message")
    with pytest.raises(NoAlertPresentException):
        page.switch_to.alert.text
    assert [s.get_attribute("src").rsplit("/", 1)[1] for s in page.find_elements(By.TAG_NAME, "script")] == [
        "report.js", "VARNSG_ULKLog.data.js"]
    assert console_problems(page) == []


def test_unwritable_directory_is_access_denied(target, tmp_path):
    (tmp_path / "srv01_html").write_text("a file where the directory should be")
    _, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith("status 27:")


# Collections of simulated service processors, rendered by norbix itself.
def collected_pages(target, tmp, image):
    _, out = run_collection(target, tmp, image, args=["/v"])
    [html] = [p for p in out.iterdir() if p.is_dir()]
    return html


@pytest.mark.parametrize("image, banner, service_processor", [
    ("kind dot\ncomm fail\n", "Collection incomplete",
     "Service processor not read: Unknown Error Code, Possible causes: Driver/SP failure!"),
    ("kind none\n", "Collection complete", "No service processor found"),
])
def test_collection_status_on_page_one(browser, target, made, image, banner, service_processor):
    html = made(target, image.split("\n")[1].replace(" ", "-"), lambda tmp: collected_pages(target, tmp, image))
    page = open_page(browser, html / "index.html")
    assert page.find_element(By.CSS_SELECTOR, "#status h2").text == banner
    assert page.find_element(By.ID, "service-processor").text == service_processor
    status = {row[0]: row[2] for row in shown_rows(page, "collectors-table")}
    # The machine's own collectors run too; these two are what the image decides.
    assert {name: status[name] for name in ("System", "quarnel")} == {
        "System": "ran", "quarnel": "failed" if banner == "Collection incomplete" else "ran"}
    if banner == "Collection incomplete":
        assert "quarnel: Unknown Error Code, Possible causes: Driver/SP failure!" in \
            page.find_element(By.ID, "status").text
        assert page.find_elements(By.CSS_SELECTOR, "section.calm") == []   # no green all-clear
    assert console_problems(page) == []


def ulk_entry(severity, when, message, source):
    head = [severity, when.year - 2000, when.month, when.day, 1, when.hour, when.minute, when.second, 1, 0]
    return bytes(head) + source.encode().ljust(16, b"\0") + message.encode() + b"\0"


NOW = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None, microsecond=0)
# Processor 1 runs 30 hours behind at UTC-05:00; processor 2's clock cannot be read, so
# its entries keep their own time.
SP1 = [(2, NOW - datetime.timedelta(hours=40), "Fan 2 failed"),
       (2, NOW - datetime.timedelta(hours=36), "System power on"),
       (2, NOW - datetime.timedelta(hours=35), "Fan 2 failed"),
       (1, NOW - datetime.timedelta(hours=33), "Power supply 1 failed"),
       (2, NOW - datetime.timedelta(hours=32), "Fan 2 failed")]
SP2 = [(0, NOW - datetime.timedelta(hours=3), "Watchdog restart"),
       (0, NOW - datetime.timedelta(hours=1), "System log cleared")]


def two_processors():
    clock = NOW - datetime.timedelta(hours=35)   # UTC-05:00 and 30 hours behind
    lines = ["kind dot", "processor",
             "clock " + hexbytes([clock.year - 2000, clock.month, clock.day, 0, clock.hour, clock.minute,
                                  clock.second]),
             "timezone 0C FE"]
    lines += ["entry " + hexbytes(ulk_entry(s, w - datetime.timedelta(hours=35), m, "SP A")) for s, w, m in SP1]
    lines += ["processor", "clock fail"]
    lines += ["entry " + hexbytes(ulk_entry(s, w, m, "SP B")) for s, w, m in SP2]
    return "\n".join(lines) + "\n"


@pytest.fixture
def two(target, made):
    return made(target, "two", lambda tmp: collected_pages(target, tmp, two_processors()))


def test_findings_of_a_known_image_are_grouped(browser, two, target):
    page = open_page(browser, two / "index.html")
    groups = [(g[0], g[1], g[4], g[5]) for g in shown_rows(page, "findings-table")]
    # Most severe first, then the most recent; "System power on" and "System log cleared" are no errors.
    assert groups[:3] == [("Error", "Fan", "Fan 2 failed", "3"),
                          ("Error", "Power supply", "Power supply 1 failed", "1"),
                          ("Warning", "Watchdog", "Watchdog restart", "1")]
    assert [g for g in groups if "power on" in g[2] or "cleared" in g[2]] == []
    assert console_problems(page) == []
    screenshot(page, "index", target, height=1400)


def test_timeline_orders_both_processors_by_instant(browser, two, target):
    page = open_page(browser, two / "timeline.html")
    rows = shown_rows(page, "timeline")
    entries = [(r[4], r[2]) for r in rows if r[2].startswith("ULK")]
    assert entries == [(m, "ULK Node 1") for _, _, m in SP1] + [(m, "ULK Node 2") for _, _, m in SP2]
    first = next(r for r in rows if r[4] == "Fan 2 failed")
    assert first[1] != "" and first[1] != first[0][:19]   # the processor's own clock, 35 hours apart
    times = [r[0] for r in rows]
    assert times == sorted(times)   # one clock, one order
    assert {r[2] for r in rows} >= {"Run log: Core", "Run log: quarnel", "Heavy hitter", "Operating system"}
    page.find_element(By.ID, "timeline-by-3").send_keys("Error")
    assert {r[3] for r in shown_rows(page, "timeline")} == {"Error"}
    screenshot(page, "timeline", target)
    row = page.find_elements(By.CSS_SELECTOR, "#timeline tbody tr:not(.spacer)")[0]
    row.find_element(By.TAG_NAME, "a").click()
    assert "VARNSG_ULKLog.html#i" in page.current_url
    assert page.find_element(By.CSS_SELECTOR, "tr.target").text.find("Fan 2 failed") != -1
    assert console_problems(page) == []


# A saved service-processor log of 20,000 entries, added latest first; 500 rows a
# page would have made it 40 pages.
ENTRIES = 20000
ULK_PROPS = [("CreationClassName", "string"), ("LogName", "string"), ("RecordID", "string"),
             ("Severity", "string"), ("MessageTimestamp", "datetime"), ("Message", "string")]
ERROR_RECORD = 19507       # the one entry of error severity: the analysis finds it
INJECTED = 19990           # a hardware string that carries markup
INJECTION = "<img src=http://127.0.0.1:9/x.png>"


def big_entry(position):
    record = ENTRIES - position
    stamp = datetime.datetime(2026, 12, 8) - datetime.timedelta(minutes=position)
    return {"CreationClassName": "VARNSG_ULKLog", "LogName": "ULKEvent", "RecordID": str(record),
            "Severity": "2" if record == ERROR_RECORD else "0",
            "MessageTimestamp": stamp.strftime("%Y%m%d%H%M%S.000000+000"),
            "Message": INJECTION if record == INJECTED else f"entry {record}"}


@pytest.fixture
def big(target, made):
    def make(tmp):
        tree = target.copy_tree(tmp / "bin", plugins=["xml", "html", "analysis"])
        saved = tmp / "big_ulk.xml"
        write_cim_xml(saved, [("VARNSG_ULKLog", ULK_PROPS, [big_entry(p) for p in range(ENTRIES)])])
        out = tmp / "out"
        out.mkdir()
        result = tree.run(["/website", "/i", tree.path(saved), "/d", tree.path(out)])
        assert result.returncode == 0, result.stdout
        return out / "big_ulk"
    return made(target, "big", make)


def test_a_search_covers_every_row_of_a_big_class(browser, big, target):
    page = open_page(browser, big / "VARNSG_ULKLog.html")
    assert counter(page) == f"{ENTRIES} of {ENTRIES} rows"
    assert column(page, "RecordID")[:3] == ["1", "2", "3"]   # time order
    box = page.find_element(By.CSS_SELECTOR, "input.filter")
    box.send_keys("entry 19750")
    assert column(page, "Message") == ["entry 19750"]
    assert counter(page) == f"1 of {ENTRIES} rows"
    box.clear()
    box.send_keys("entry 1975")   # 1975 and 19750 to 19759
    assert counter(page) == f"11 of {ENTRIES} rows"
    assert console_problems(page) == []


def test_header_stays_in_view_while_scrolling(browser, big, target):
    page = open_page(browser, big / "VARNSG_ULKLog.html")
    page.execute_script("document.querySelector('.grid').scrollTop = 200000;")
    page.execute_script("return new Promise(function (done) { requestAnimationFrame(function () {"
                        " requestAnimationFrame(done); }); });")
    grid_top, head_top, hit = page.execute_script(
        "var grid = document.querySelector('.grid').getBoundingClientRect();"
        "var th = document.querySelector('#instances thead th').getBoundingClientRect();"
        "var hit = document.elementFromPoint(th.left + 5, th.top + th.height / 2);"
        "return [grid.top, th.top, hit ? hit.closest('th') !== null : false];")
    assert abs(head_top - grid_top) <= 2 and hit
    rows = column(page, "RecordID")
    assert rows and int(rows[0]) > 5000   # the rows drawn are those scrolled to
    screenshot(page, "large_class", target)


def test_finding_lands_on_its_row_of_a_big_class(browser, big):
    page = open_page(browser, big / "index.html")
    page.find_element(By.LINK_TEXT, "the entry").click()
    assert column(page, "RecordID") == [str(ERROR_RECORD)]
    page = open_page(browser, big / "VARNSG_ULKLog.html", f"#i{ENTRIES - ERROR_RECORD}")
    target_row = page.find_element(By.CSS_SELECTOR, "tr.target")
    assert f"entry {ERROR_RECORD}" in target_row.text and target_row.is_displayed()
    assert console_problems(page) == []


def test_markup_from_hardware_stays_text_and_the_policy_blocks_loading(browser, big):
    page = open_page(browser, big / "VARNSG_ULKLog.html", "#q=" + "img%20src")
    assert column(page, "Message") == [INJECTION]
    assert page.find_elements(By.CSS_SELECTOR, "#instances img") == []
    # Were the escaping ever to fail, the page's policy still loads nothing from the network.
    page.execute_script("document.body.insertAdjacentHTML('beforeend', arguments[0]);", INJECTION)
    page.execute_script("return new Promise(function (done) { setTimeout(done, 200); });")
    blocked = [e["message"] for e in browser.get_log("browser") if "Content Security Policy" in e["message"]]
    assert any("127.0.0.1:9/x.png" in m and "img-src" in m for m in blocked), blocked


def test_show_all_rows_puts_every_row_in_the_document_and_print_shows_them(browser, big):
    page = open_page(browser, big / "VARNSG_ULKLog.html")
    # 19, 190-199, 1900-1999 and 19000-19999 but the one whose message is markup
    page.find_element(By.CSS_SELECTOR, "input.filter").send_keys("entry 19")
    drawn = "return document.querySelectorAll('#instances tbody tr:not(.spacer)').length;"
    assert page.execute_script(drawn) < 1110
    page.find_element(By.ID, "instances-all").click()
    assert page.execute_script(drawn) == 1110
    assert "entry 19999" in page.find_element(By.ID, "instances").text   # the browser's find sees it
    assert page.find_element(By.ID, "instances-all").get_attribute("aria-pressed") == "true"
    page.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    try:
        hidden = page.execute_script("return [getComputedStyle(document.querySelector('.tools')).display,"
                                     " getComputedStyle(document.querySelector('.grid')).overflow];")
        assert hidden == ["none", "visible"]
    finally:
        page.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
    assert console_problems(page) == []
