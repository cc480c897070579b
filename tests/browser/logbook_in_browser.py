#!/usr/bin/env python3
"""Converts an SDM export with quellmar-convert and opens the HTML logbook
straight from disk in headless Chromium, as a diver would.

Checks: every picture loads, every note link opens its dive's note page, the
browser logs no script error, and a 360 pixel wide window needs no
horizontal scrolling (index page and note pages).

Usage: logbook_in_browser.py --convert PATH --run-dir DIR [--screenshots DIR]
The sample export comes from DIR/examples; without one a small export is
written into the temporary directory. Exit code 77 means skipped (only
outside CI, when Chromium, its driver or Selenium is missing).
"""

import argparse
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
IN_CI = os.environ.get("CI") == "true"


def skip_or_fail(reason):
    if IN_CI:
        print(f"FAIL: {reason} (CI=true: the browser test must run)")
        sys.exit(1)
    print(f"SKIP: {reason}")
    sys.exit(SKIP)


DEBIAN_PYTHON = "/usr/bin/python3"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    # Debian's python3-selenium belongs to Debian's interpreter; another
    # python3 found first on the PATH does not see it.
    if os.path.exists(DEBIAN_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON):
        os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv])
    skip_or_fail("python3-selenium is not installed (scripts/setup.sh installs it)")


def find_program(*names):
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    return None


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def write_small_export(folder):
    """Three dives: one with a note and a profile on nitrox, one with a
    profile only, one with neither."""
    folder.mkdir(parents=True, exist_ok=True)

    def dive(diveid, diveno, date, location, site, o2, maxdepth):
        columns = [""] * 45
        values = {
            1: diveid, 2: diveno, 3: date, 4: "09:40", 7: 2520, 8: 7200,
            9: maxdepth, 10: maxdepth / 2, 12: "1234567", 14: 20,
            19: f'"{location}"', 20: f'"{site}"', 21: "sunny", 22: "15 m",
            23: 24, 24: 19, 25: 21, 26: "Anna", 27: "Ben", 28: "Sea Star",
            29: "Alu 80", 30: 11, 32: 200, 33: 200, 34: 60, 35: 15.4,
            37: "Reef", 42: 4, 43: o2,
        }
        for column, value in values.items():
            columns[column - 1] = str(value)
        return ",".join(columns)

    (folder / "small.csv").write_bytes(crlf([
        dive(501, 1, "2024.06.01", "Red Sea", "Ras Mohammed, Shark Reef", 32, 28.4),
        dive(502, 2, "2024.06.01", "Red Sea", "Yolanda Reef", 21, 18.0),
        dive(503, 3, "2024.06.02", "Red Sea", "House reef", 0, 6.0),
    ]))
    (folder / "small$DGE.CSV").write_bytes(b"")
    (folder / "small$NOT.CSV").write_bytes(crlf([
        '501,"Napoleon wrasse at the plateau."',
        '501,"Strong current at the reef edge."',
    ]))
    profile = []
    for diveid, samples in ((501, "0,6.5,14.2,22.8,28.4,25.1,18.0,12.3,5.0,3.0,0.0"),
                            (502, "0,4.5,11.0,18.0,15.2,9.6,4.8,0.0")):
        for index, depth in enumerate(samples.split(",")):
            profile.append(f"{diveid},{index * 20},{depth}")
    (folder / "small$PRO.CSV").write_bytes(crlf(profile))
    return folder / "small.csv"


def sample_export(run_dir, temp):
    examples = run_dir / "examples"
    if examples.is_dir():
        mains = sorted(p for p in examples.iterdir()
                       if p.suffix.lower() == ".csv" and "$" not in p.name)
        if mains:
            return mains[0]
    return write_small_export(temp / "export")


def find_browser():
    chromium = find_program("chromium", "chromium-browser", "google-chrome")
    driver_path = find_program("chromedriver")
    if not chromium or not driver_path:
        skip_or_fail("chromium or chromium-driver is not installed (scripts/setup.sh installs them)")
    return chromium, driver_path


def start_browser(temp, chromium, driver_path):
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in ("--headless", "--no-sandbox", "--disable-gpu",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--no-first-run", "--window-size=1280,900",
                 f"--user-data-dir={temp / 'chromium-profile'}"):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(driver_path), options=options)


class Checker:
    def __init__(self, driver):
        self.driver = driver
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)
            print(f"  failed: {message}")

    def wait_loaded(self):
        self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const images = Array.from(document.images);
            const settle = () => images.every(i => i.complete);
            if (document.readyState === 'complete' && settle()) { done(); return; }
            window.addEventListener('load', () => done());
            setTimeout(done, 5000);""")

    def check_images(self, where):
        broken = self.driver.execute_script(
            "return Array.from(document.images)"
            ".filter(i => !i.complete || i.naturalWidth === 0).map(i => i.src);")
        count = self.driver.execute_script("return document.images.length;")
        print(f"  {where}: {count} images")
        self.check(not broken, f"{where}: pictures that do not load: {broken}")

    def check_styled(self, where):
        top = self.driver.execute_script(
            "const top = document.querySelector('.top');"
            "return top ? getComputedStyle(top).backgroundImage : 'none';")
        self.check(top != "none", f"{where}: the style sheet ../pict/logbook.css did not apply")

    def check_narrow(self, where):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 740, "deviceScaleFactor": 1, "mobile": True})
        width = self.driver.execute_script("return document.documentElement.scrollWidth;")
        self.check(width <= 360, f"{where}: {width} pixels wide in a 360 pixel window")
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def check_log(self, where):
        for entry in self.driver.get_log("browser"):
            self.check(entry.get("level") != "SEVERE", f"{where}: browser log: {entry.get('message')}")

    def screenshot(self, folder, name):
        if not folder:
            return
        folder.mkdir(parents=True, exist_ok=True)
        for width, suffix in ((360, "phone"), (1280, "desktop")):
            height = self.driver.execute_script(
                "return Math.min(document.documentElement.scrollHeight, 2400);")
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": max(height, 600), "deviceScaleFactor": 1,
                "mobile": width < 600})
            height = self.driver.execute_script(
                "return Math.min(document.documentElement.scrollHeight, 2400);")
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": max(height, 600), "deviceScaleFactor": 1,
                "mobile": width < 600})
            self.driver.save_screenshot(str(folder / f"{name}-{suffix}.png"))
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def open_note_page(driver, link, before):
    """Clicks a note link; returns True when the page came in a new window."""
    link.click()
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        new = [h for h in driver.window_handles if h not in before]
        if new:
            driver.switch_to.window(new[0])
            return True
        if re.search(r"/d-?[0-9]+[.]html$", driver.current_url):
            return False
        time.sleep(0.1)
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True, type=pathlib.Path)
    parser.add_argument("--run-dir", required=True, type=pathlib.Path)
    parser.add_argument("--screenshots", type=pathlib.Path)
    args = parser.parse_args()
    convert, run_dir = args.convert.resolve(), args.run_dir.resolve()
    chromium, driver_path = find_browser()

    with tempfile.TemporaryDirectory(prefix="quellmar-browser-") as temp_name:
        temp = pathlib.Path(temp_name)
        base = temp / "program"
        for folder in ("html", "pict"):
            shutil.copytree(run_dir / folder, base / folder)
        export = sample_export(run_dir, temp)
        print(f"converting {export}")
        result = subprocess.run([str(convert), "--base", str(base), "--clear", str(export)],
                                cwd=export.parent, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, timeout=120)
        print(result.stdout, end="")
        print(result.stderr, end="", file=sys.stderr)
        if result.returncode != 0:
            print(f"FAIL: quellmar-convert exited with {result.returncode}")
            return 1
        index = base / "Output" / "logbook.html"
        if not index.is_file():
            print(f"FAIL: {index} was not written")
            return 1

        driver = start_browser(temp, chromium, driver_path)
        checker = Checker(driver)
        try:
            driver.set_script_timeout(10)
            driver.get(index.as_uri())
            checker.wait_loaded()
            checker.check_images("logbook.html")
            checker.check_styled("logbook.html")
            checker.check_narrow("logbook.html")
            checker.screenshot(args.screenshots, "logbook")
            links = driver.find_elements(By.CSS_SELECTOR, "a[href^='javascript:nw(']")
            print(f"  {len(links)} note links")
            home = driver.current_window_handle
            for position in range(len(links)):
                link = driver.find_elements(By.CSS_SELECTOR, "a[href^='javascript:nw(']")[position]
                number = re.match(r"javascript:nw\('(-?\d+)'\)", link.get_attribute("href")).group(1)
                page = base / "Output" / f"d{number}.html"
                checker.check(page.is_file(), f"note page {page.name} was not written")
                before = driver.window_handles
                in_new_window = open_note_page(driver, link, before)
                checker.wait_loaded()
                checker.check(driver.current_url.endswith(f"/d{number}.html"),
                              f"the note link of dive {number} opened {driver.current_url}")
                checker.check(f"#{number}" in driver.find_element(By.TAG_NAME, "h1").text,
                              f"note page of dive {number} does not name its dive")
                checker.check_images(page.name)
                checker.check_styled(page.name)
                checker.check_narrow(page.name)
                if position == 0:
                    checker.screenshot(args.screenshots, "note")
                checker.check_log(page.name)
                if in_new_window:
                    driver.close()
                    driver.switch_to.window(home)
                else:
                    driver.back()
                    checker.wait_loaded()
            checker.check(links or "nw(" not in index.read_text("latin-1"),
                          "the page has note links the browser does not see")
            checker.check_log("logbook.html")
        finally:
            driver.quit()

        if checker.failures:
            print(f"FAIL: {len(checker.failures)} problems")
            return 1
        print("browser test passed")
        return 0


if __name__ == "__main__":
    sys.exit(main())
