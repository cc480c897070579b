"""What the browser tests share: skipping outside CI when a tool is
missing, Selenium from Debian's interpreter, converting an export into a
program folder of the bundled templates, and a headless Chromium that
reaches no network."""

import os
import shutil
import subprocess
import sys

SKIP = 77
IN_CI = os.environ.get("CI") == "true"
DEBIAN_PYTHON = "/usr/bin/python3"


def skip_or_fail(reason):
    if IN_CI:
        print(f"FAIL: {reason} (CI=true: the browser test must run)")
        sys.exit(1)
    print(f"SKIP: {reason}")
    sys.exit(SKIP)


try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
except ImportError:
    # Debian's python3-selenium belongs to Debian's interpreter; another
    # python3 found first on the PATH does not see it.
    if os.path.exists(DEBIAN_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON):
        os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv])
    skip_or_fail("python3-selenium is not installed (scripts/setup.sh installs it)")


def report(failures, passed):
    """Prints each failure, then the verdict; the exit code for it."""
    for failure in failures:
        print(f"  failed: {failure}")
    if failures:
        print(f"FAIL: {len(failures)} problems")
        return 1
    print(passed)
    return 0


def find_program(*names):
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    return None


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def convert(convert_path, run_dir, base, export):
    """The export's logbook in base/Output, from a copy of the bundled templates and icons."""
    for folder in ("html", "pict"):
        shutil.copytree(run_dir / folder, base / folder)
    result = subprocess.run([str(convert_path), "--base", str(base), "--clear", "--quiet", str(export)],
                            cwd=export.parent, capture_output=True, text=True,
                            stdin=subprocess.DEVNULL, timeout=180)
    print(result.stderr, end="", file=sys.stderr)
    if result.returncode != 0:
        print(f"FAIL: quellmar-convert exited with {result.returncode}")
        sys.exit(1)
    return base / "Output"


def start_browser(temp):
    chromium = find_program("chromium", "chromium-browser", "google-chrome")
    driver_path = find_program("chromedriver")
    if not chromium or not driver_path:
        skip_or_fail("chromium or chromium-driver is not installed (scripts/setup.sh installs them)")
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--no-first-run", "--window-size=1280,900",
                 f"--user-data-dir={temp / 'chromium-profile'}"):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(driver_path), options=options)
