"""The HTML pages as the HTML plug-in of each build writes them, opened in headless Chromium."""
import datetime

import pytest
from selenium import webdriver
from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

from cimxml import write_cim_xml
from reports_support import ROOT_BUILD, render_sample


@pytest.fixture(scope="module")
def browser(tmp_path_factory):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run", "--window-size=1280,1000",
                f"--user-data-dir={tmp_path_factory.mktemp('chromium-profile')}"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    yield driver
    driver.quit()


@pytest.fixture
def pages(target, tmp_path):
    html, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 0, proc.stderr
    return html


def open_page(browser, path):
    browser.get_log("browser")   # drop what earlier pages logged
    browser.get(path.as_uri())
    return browser


def console_problems(browser):
    return [e for e in browser.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]


def column(browser, index, table="instances"):
    rows = browser.find_elements(By.CSS_SELECTOR, f"#{table} tbody tr")
    return [r.find_elements(By.TAG_NAME, "td")[index].text for r in rows if r.is_displayed()]


def header(browser, name, table="instances"):
    for button in browser.find_elements(By.CSS_SELECTOR, f"#{table} th button"):
        if button.text.split(" ")[0] == name:
            return button
    raise AssertionError(f"no column {name}")


def test_index_shows_machine_heavy_hitters_first_and_links(browser, pages):
    page = open_page(browser, pages / "index.html")
    assert page.title == "Diagnostic report for srv01"
    body = page.find_element(By.TAG_NAME, "body").text
    for fact in ("srv01", "Maker & Sons", "8865-1RY", "KQ12345"):
        assert fact in body
    ids = [e.get_attribute("id") for e in page.find_elements(By.CSS_SELECTOR, "h2[id]")]
    assert ids.index("heavy-hitters") < ids.index("findings") < ids.index("classes") < ids.index("run-log")
    for table in ("heavy", "findings-table", "versions-table", "classes-table", "runlog"):
        assert page.find_elements(By.CSS_SELECTOR, f"#{table} tbody tr"), table
    assert column(page, 1, "heavy")[0].startswith("TRAV logs are not being collected")
    assert column(page, 3, "versions-table") == ["Update available", "Not installed"]
    assert console_problems(page) == []
    page.find_element(By.LINK_TEXT, "VARNSG_ULKLog").click()
    assert page.find_element(By.TAG_NAME, "h1").text == "VARNSG_ULKLog"
    assert console_problems(page) == []


def test_finding_link_leads_to_its_source_row(browser, pages):
    page = open_page(browser, pages / "index.html")
    page.find_element(By.LINK_TEXT, "VARNSG_TRAVLog RecordID=1").click()
    assert page.current_url.endswith("VARNSG_TRAVLog.html#i0")
    target_row = page.find_element(By.ID, "i0")
    assert "Fan 3 missing" in target_row.text


@pytest.mark.parametrize("name, first, ascending", [
    ("RecordID", 0, ["1", "2", "3"]),
    ("MessageTimestamp", 8, ["2026-12-07 21:05:00 (UTC+01:00)", "2026-12-07 22:15:03 (UTC+01:00)",
                             "2026-12-07 23:40:59 (UTC+01:00)"]),
    ("Severity", 4, ["0", "1", "2"]),
])
def test_class_page_sorts_by_any_column(browser, pages, name, first, ascending):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    sort_column = [h.text for h in page.find_elements(By.CSS_SELECTOR, "#instances th")].index(name)
    header(page, name).click()
    assert column(page, sort_column) == ascending
    header(page, name).click()
    assert column(page, sort_column) == ascending[::-1]
    assert console_problems(page) == []


def test_sorting_orders_numbers_by_value(browser, tmp_path, target):
    # Run-log record numbers 0..2 and the class counts sort as numbers, not text.
    html, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 0
    page = open_page(browser, html / "index.html")
    header(page, "Instances", "classes-table").click()
    counts = [int(c) for c in column(page, 1, "classes-table")]
    assert counts == sorted(counts) and counts[-1] == 5


def test_class_page_filters_rows_by_text(browser, pages):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    box = page.find_element(By.CSS_SELECTOR, "input.filter")
    box.send_keys("POWER")
    assert column(page, 11) == ["System power on"]
    assert page.find_element(By.ID, "instances-shown").text == "1 of 3 rows"
    box.clear()
    box.send_keys("no such text")
    assert column(page, 11) == []
    assert page.find_element(By.ID, "instances-shown").text == "0 of 3 rows"


@pytest.mark.parametrize("table, text, shown", [
    ("findings-table", "fan", "1 of 5 rows"),
    ("classes-table", "ulklog", "1 of 8 rows"),
    ("versions-table", "raid", "1 of 2 rows"),
    ("runlog", "quarnel", "2 of 3 rows"),
])
def test_index_tables_filter_by_text(browser, pages, table, text, shown):
    # Each table's filter box finds its own table, not the heading of its section.
    page = open_page(browser, pages / "index.html")
    page.find_element(By.CSS_SELECTOR, f"input[data-table='{table}']").send_keys(text)
    assert page.find_element(By.ID, f"{table}-shown").text == shown
    assert all(text in row.lower() for row in shown_rows(page, table))
    assert console_problems(page) == []


def test_markup_in_data_is_shown_as_text(browser, pages):
    page = open_page(browser, pages / "VARNSG_ULKLog.html")
    assert "<script>alert(1)</script>" in column(page, 11)
    with pytest.raises(NoAlertPresentException):
        page.switch_to.alert.text
    assert len(page.find_elements(By.TAG_NAME, "script")) == 1
    assert console_problems(page) == []


def test_screenshot_of_index(browser, pages, target):
    browser.set_window_size(1280, 1400)
    page = open_page(browser, pages / "index.html")
    shots = ROOT_BUILD / "screenshots"
    shots.mkdir(exist_ok=True)
    shot = shots / f"reports_index_{target.name}.png"
    assert page.save_screenshot(str(shot))
    data = shot.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and len(data) > 20000


def test_unwritable_directory_is_access_denied(target, tmp_path):
    (tmp_path / "srv01_html").write_text("a file where the directory should be")
    _, _, proc = render_sample(target, tmp_path)
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith("status 27:")


# A saved service-processor log of three pages (the plug-in's page size is 500
# rows), entries added latest first: the pages follow time, not file order.
PAGE_ROWS = 500
ENTRIES = 2 * PAGE_ROWS + PAGE_ROWS // 2
ULK_PROPS = [("CreationClassName", "string"), ("RecordID", "string"), ("Severity", "string"),
             ("MessageTimestamp", "datetime"), ("Message", "string")]
ERROR_RECORD = 2 * PAGE_ROWS + 7   # the one entry of error severity, on the third page: the analysis finds it


def ulk_entry(position):
    """The entry at that position of the file: RecordID ENTRIES first, each a minute earlier."""
    record = ENTRIES - position
    stamp = datetime.datetime(2026, 12, 8) - datetime.timedelta(minutes=position)
    return {"CreationClassName": "VARNSG_ULKLog", "RecordID": str(record),
            "Severity": "2" if record == ERROR_RECORD else "0",
            "MessageTimestamp": stamp.strftime("%Y%m%d%H%M%S.000000+000"), "Message": f"entry {record}"}


@pytest.fixture
def paged(target, tmp_path):
    """The pages norbix /website writes for the saved log, analysed on the way."""
    tree = target.copy_tree(tmp_path / "bin", plugins=["xml", "html", "analysis"])
    saved = tmp_path / "big_ulk.xml"
    write_cim_xml(saved, [("VARNSG_ULKLog", ULK_PROPS, [ulk_entry(p) for p in range(ENTRIES)])])
    out = tmp_path / "out"
    out.mkdir()
    result = tree.run(["/website", "/i", tree.path(saved), "/d", tree.path(out)])
    assert result.returncode == 0, result.stdout
    return out / "big_ulk"


def cells(browser, index, table="instances"):
    """The texts of one column's shown cells, in one call to the browser."""
    return browser.execute_script(
        "var table = arguments[0], column = arguments[1];"
        "return Array.prototype.filter.call(document.querySelectorAll('#' + table + ' tbody tr'),"
        " function (r) { return !r.hidden; }).map(function (r) { return r.cells[column].textContent; });",
        table, index)


def shown_rows(browser, table):
    return browser.execute_script(
        "return Array.prototype.filter.call(document.querySelectorAll('#' + arguments[0] + ' tbody tr'),"
        " function (r) { return !r.hidden; }).map(function (r) { return r.textContent; });", table)


def rows_line(browser):
    return browser.find_element(By.CSS_SELECTOR, "p.rows").text


def test_a_big_class_is_paged_in_time_order(browser, paged):
    assert sorted(p.name for p in paged.glob("VARNSG_ULKLog*.html")) == [
        "VARNSG_ULKLog.html", "VARNSG_ULKLog.p2.html", "VARNSG_ULKLog.p3.html"]
    page = open_page(browser, paged / "VARNSG_ULKLog.html")
    record = [h.text for h in page.find_elements(By.CSS_SELECTOR, "#instances th")].index("RecordID")
    expected = [  # page, first and last RecordID on it: the rows in time order
        ("VARNSG_ULKLog.html", 1, PAGE_ROWS),
        ("VARNSG_ULKLog.p2.html", PAGE_ROWS + 1, 2 * PAGE_ROWS),
        ("VARNSG_ULKLog.p3.html", 2 * PAGE_ROWS + 1, ENTRIES),
    ]
    for name, first, last in expected:
        assert page.current_url.endswith("/" + name)
        assert rows_line(page) == f"Rows {first}\u2013{last} of {ENTRIES}"
        assert f"{ENTRIES} instances" in page.find_element(By.TAG_NAME, "body").text
        assert cells(page, record) == [str(i) for i in range(first, last + 1)]
        assert console_problems(page) == []
        if name != expected[-1][0]:
            page.find_element(By.LINK_TEXT, "Next").click()
    assert page.find_elements(By.LINK_TEXT, "Next") == [] and page.find_elements(By.LINK_TEXT, "Last") == []
    page.find_element(By.LINK_TEXT, "Previous").click()
    assert page.current_url.endswith("/VARNSG_ULKLog.p2.html")
    page.find_element(By.LINK_TEXT, "First").click()
    assert page.current_url.endswith("/VARNSG_ULKLog.html")
    assert page.find_elements(By.LINK_TEXT, "Previous") == []
    page.find_element(By.LINK_TEXT, "Last").click()
    assert rows_line(page) == f"Rows {2 * PAGE_ROWS + 1}\u2013{ENTRIES} of {ENTRIES}"
    page.find_element(By.LINK_TEXT, "Index").click()
    assert page.current_url.endswith("/index.html")


def test_finding_link_lands_on_the_page_and_row_of_its_entry(browser, paged):
    page = open_page(browser, paged / "index.html")
    assert page.find_element(By.ID, "findings").text == "Findings of the analysis (1)"
    page.find_element(By.LINK_TEXT, f"VARNSG_ULKLog RecordID={ERROR_RECORD}").click()
    anchor = f"i{ENTRIES - ERROR_RECORD}"   # its position in the file
    assert page.current_url.endswith("/VARNSG_ULKLog.p3.html#" + anchor)
    assert f"entry {ERROR_RECORD}" in page.find_element(By.ID, anchor).text
    assert page.execute_script("return document.querySelector('tr:target').id") == anchor
    assert console_problems(page) == []


def test_sorting_and_filtering_work_within_the_page(browser, paged):
    page = open_page(browser, paged / "VARNSG_ULKLog.p2.html")   # RecordIDs 501 to 1000
    assert "apply to the rows of this page only" in page.find_element(By.CSS_SELECTOR, "p.note").text
    record = [h.text for h in page.find_elements(By.CSS_SELECTOR, "#instances th")].index("RecordID")
    header(page, "RecordID").click()
    header(page, "RecordID").click()
    assert cells(page, record) == [str(i) for i in range(2 * PAGE_ROWS, PAGE_ROWS, -1)]
    box = page.find_element(By.CSS_SELECTOR, "input.filter")
    box.send_keys("entry 4")   # 4, 40 to 49 and 400 to 499 are all on the first page
    assert page.find_element(By.ID, "instances-shown").text == f"0 of {PAGE_ROWS} rows"
    box.clear()
    box.send_keys("entry 77")
    assert cells(page, record) == [str(i) for i in range(779, 769, -1)]
    assert page.find_element(By.ID, "instances-shown").text == f"10 of {PAGE_ROWS} rows"
    assert console_problems(page) == []
