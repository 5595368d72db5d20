"""The HTML pages as the HTML plug-in of each build writes them, opened in headless Chromium."""
import pytest
from selenium import webdriver
from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

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
    for table in ("heavy", "findings", "versions", "classes", "runlog"):
        assert page.find_elements(By.CSS_SELECTOR, f"#{table} tbody tr"), table
    assert column(page, 1, "heavy")[0].startswith("TRAV logs are not being collected")
    assert column(page, 3, "versions") == ["Update available", "Not installed"]
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
    header(page, "Instances", "classes").click()
    counts = [int(c) for c in column(page, 1, "classes")]
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
