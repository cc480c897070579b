"""The web page, build/web/quellmar.html, opened from disk in headless
Chromium and used as a diver would: the sample's four files picked, its
logbook exported as logbook.zip and as logbook.uddf, each compared byte for
byte with what quellmar-convert writes; a missing companion and a file that
is no export; the keyboard, axe-core, a 360 pixel window and 200 % zoom; and
no network request. With --screenshots DIR the page is photographed there at
desktop and phone width."""

import argparse
import pathlib
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parents[1] / "browser"))
import browser_support as support  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

AXE = HERE.parents[1] / "browser" / "node_modules" / "axe-core" / "axe.min.js"
SAMPLE = ["logbook.csv", "logbook$DGE.CSV", "logbook$NOT.CSV", "logbook$PRO.CSV"]


class Page:
    def __init__(self, driver, downloads):
        self.driver = driver
        self.downloads = downloads
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)
            print(f"  failed: {message}")

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait(self, condition, what, seconds=120):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return True
            time.sleep(0.05)
        self.check(False, f"timed out waiting for {what}")
        return False

    def pick(self, files):
        self.driver.find_element(By.ID, "openFiles").send_keys("\n".join(str(f) for f in files))

    def message(self):
        """The open message box as (title, text, details), after waiting for it."""
        self.wait(lambda: self.js("return document.getElementById('messageBox').open"), "a message box")
        return tuple(self.js(f"return document.getElementById('{part}').textContent")
                     for part in ("messageTitle", "messageText", "messageDetails"))

    def answer(self, key=Keys.ENTER):
        """Presses the focused (default) button with the keyboard."""
        self.press(key)
        self.wait(lambda: not self.js("return document.getElementById('messageBox').open"),
                  "the message box to close", 10)

    def click(self, control):
        """Clicks a button once the command before has ended."""
        self.wait(lambda: not self.js("return document.body.hasAttribute('aria-busy')"), "the page to be idle")
        self.driver.find_element(By.ID, control).click()

    def press(self, key):
        ActionChains(self.driver).send_keys(key).perform()

    def download(self, name):
        """The downloaded file, taken out of the downloads folder once complete."""
        path = self.downloads / name
        self.wait(lambda: path.is_file() and not any(self.downloads.glob("*.crdownload")), name)
        time.sleep(0.2)
        taken = path.with_name("taken-" + name)
        path.rename(taken)
        return taken


def native_logbook(convert, run_dir, temp, export):
    base = temp / "native"
    base.mkdir()
    support.convert(convert, run_dir, base, export)
    uddf = temp / "native.uddf"
    subprocess.run([str(convert), "--quiet", "--uddf", str(uddf), str(export)], check=True,
                   cwd=export.parent, stdin=subprocess.DEVNULL, timeout=120)
    return base, uddf


def compare_zip(page, archive, base):
    with zipfile.ZipFile(archive) as zip_file:
        page.check(zip_file.testzip() is None, "logbook.zip: a file's CRC-32 does not match")
        names = {n for n in zip_file.namelist() if not n.endswith("/")}
        native = {p.relative_to(base).as_posix() for folder in ("Output", "pict")
                  for p in (base / folder).rglob("*") if p.is_file()}
        page.check(names == native, f"logbook.zip holds other files than the native logbook: "
                                    f"{sorted(names ^ native)[:5]}")
        differ = [n for n in sorted(names & native) if zip_file.read(n) != (base / n).read_bytes()]
        page.check(not differ, f"logbook.zip differs from the native logbook in {differ[:5]}")
        print(f"  logbook.zip: {len(names)} files, {len(names & native) - len(differ)} the same as native")


def check_usable(page, where):
    page.js(AXE.read_text())
    violations = page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        axe.run(document, {preload: false}).then(r => done(r.violations
            .filter(v => v.impact === 'critical' || v.impact === 'serious')
            .map(v => v.id + ': ' + v.nodes[0].html.slice(0, 120))));""")
    page.check(not violations, f"{where}: axe-core: {violations}")
    for width, zoom in ((360, 1), (640, 2)):
        page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width // zoom, "height": 740 // zoom, "deviceScaleFactor": zoom, "mobile": width == 360})
        scroll = page.js("return document.documentElement.scrollWidth")
        page.check(scroll <= width // zoom, f"{where}: {scroll} CSS pixels wide in a {width // zoom} pixel window")
    page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def check_keyboard(page):
    """Every control is reached with Tab, in the order shown."""
    page.js("document.activeElement.blur()")
    reached = []
    for _ in range(20):
        page.press(Keys.TAB)
        reached.append(page.js("return document.activeElement.id"))
    wanted = ["openFiles", "openFolder", "closeButton", "exportButton", "viewButton", "uddfButton",
              "infoMemo", "noteBox", "gifBox", "pixelsEdit", "diveList", "historyBox"]
    page.check(all(w in reached for w in wanted), f"Tab does not reach {set(wanted) - set(reached)}")


def export_index(page):
    page.click("exportButton")
    page.message()
    page.answer()
    with zipfile.ZipFile(page.download("logbook.zip")) as zip_file:
        return zip_file.read("Output/logbook.html")


def check_own_templates(page, bundled, temp):
    """The user's four templates make the logbook, until the bundled ones are asked back."""
    own = temp / "templates"
    own.mkdir()
    for template in bundled.iterdir():
        (own / template.name).write_bytes(template.read_bytes().replace(b"<body", b"<!-- own --><body", 1))
    page.driver.find_element(By.ID, "templateFiles").send_keys("\n".join(str(p) for p in sorted(own.iterdir())))
    page.check(b"<!-- own -->" in export_index(page), "the own templates did not make the logbook")
    page.click("bundledButton")
    page.check(b"<!-- own -->" not in export_index(page), "the bundled templates did not come back")


def run(args, temp):
    export = args.examples / "logbook.csv"
    base, uddf = native_logbook(args.convert, args.run_dir, temp, export)
    downloads = temp / "downloads"
    downloads.mkdir()
    driver = support.start_browser(temp)
    page = Page(driver, downloads)
    try:
        driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
        driver.get(args.page.resolve().as_uri())
        page.wait(lambda: page.js("return document.body.dataset.ready === 'true'"), "the module to load", 60)
        page.check(page.js("return document.getElementById('filePanel').textContent") == "No CSV file",
                   "the file panel does not start with \"No CSV file\"")
        check_keyboard(page)

        page.pick([args.examples / name for name in SAMPLE])
        title, text, _ = page.message()
        page.check((title, text) == ("Information", "CSV file imported.\n\rNext step: HTML Export"),
                   f"after the import: {title}: {text!r}")
        page.answer()
        memo = page.js("return document.getElementById('infoMemo').value").split("\n")
        dives = page.js("return document.getElementById('diveList').options.length")
        page.check(memo[-1] == f"{dives} logged dives." and dives > 0, f"memo ends {memo[-1]!r}, {dives} dives listed")
        history = page.js("return [...document.querySelectorAll('#historyLines option')].map(o => o.value)")
        page.check(history[0] == "Logbook Import started." and history[-1] == "Logbook Import finished.",
                   f"history: {history}")
        if args.screenshots:
            shoot(page, args.screenshots)
        check_usable(page, "with the sample open")

        page.click("exportButton")
        title, text, details = page.message()
        page.check(text == "HTML write finished.\n\rMay I show You the logbook.html ?",
                   f"after the HTML export: {text!r}")
        page.answer()
        compare_zip(page, page.download("logbook.zip"), base)

        page.click("uddfButton")
        title, text, _ = page.message()
        page.check(text == "UDDF write finished.", f"after the UDDF export: {text!r}")
        page.answer(Keys.ESCAPE)
        same = page.download("logbook.uddf").read_bytes() == uddf.read_bytes()
        page.check(same, "logbook.uddf differs from quellmar-convert --uddf")
        print(f"  logbook.uddf: {'the same as' if same else 'differs from'} native")

        check_own_templates(page, args.run_dir / "html", temp)

        page.pick([args.examples / name for name in SAMPLE if "DGE" not in name])
        title, text, details = page.message()
        page.check((title, text, details) == ("Warning", "Secondary CSV file access error",
                                              "/export/logbook$DGE.CSV: No such file or directory"),
                   f"a missing companion: {title}: {text!r} {details!r}")
        page.answer()
        page.check(page.js("return document.getElementById('filePanel').textContent") != "No CSV file",
                   "a failed open closed the logbook that was loaded")

        garbage = temp / "photo.png"
        garbage.write_bytes(bytes(range(256)) * 64)
        page.pick([garbage])
        title, text, details = page.message()
        page.check((title, text, details) == ("Warning", "Secondary CSV file access error",
                                              "/export/photo$DGE.CSV: No such file or directory"),
                   f"a file that is no export: {title}: {text!r} {details!r}")
        page.answer()

        requests = page.js("return performance.getEntriesByType('resource').map(e => e.name)")
        page.check(not requests, f"requests made: {requests}")
        for entry in driver.get_log("browser"):
            page.check(entry.get("level") != "SEVERE", f"browser log: {entry.get('message')}")
    finally:
        driver.quit()
    return page.failures


def shoot(page, folder):
    folder.mkdir(parents=True, exist_ok=True)
    for name, width, height, mobile in (("web-desktop.png", 1024, 760, False), ("web-phone.png", 360, 780, True)):
        page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
        page.driver.save_screenshot(str(folder / name))
    page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", type=pathlib.Path, required=True)
    parser.add_argument("--convert", type=pathlib.Path, required=True)
    parser.add_argument("--run-dir", type=pathlib.Path, required=True)
    parser.add_argument("--examples", type=pathlib.Path, default=HERE.parents[2] / "examples")
    parser.add_argument("--screenshots", type=pathlib.Path)
    args = parser.parse_args()
    for name in ("page", "convert", "run_dir", "examples"):
        setattr(args, name, getattr(args, name).resolve())
    if not AXE.is_file():
        support.skip_or_fail(f"{AXE} is missing (scripts/setup.sh installs axe-core)")
    with tempfile.TemporaryDirectory() as temp:
        failures = run(args, pathlib.Path(temp))
    if failures:
        print(f"FAIL: {len(failures)} checks failed")
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
