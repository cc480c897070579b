#!/usr/bin/env python3
"""The bundled logbook in headless Chromium: generates exports of 2,000 and
20,000 dives with make-export, converts them with quellmar-convert and times
the index page as a diver meets it, opened from disk.

    bench/browser_bench.py [--build-dir DIR] [--loads N] [--scratch DIR]

Measures the size of logbook.html, the first contentful paint, the moment the
page's script has the list ready (its performance mark "logbook-ready"), the
time a search takes from the keystroke to the next painted frame, the time a
sort takes, how long printing the whole index to PDF takes and how many
dives an A4 page holds, and how long the printed logbook of 1,500 dives (a
logbook page for each, two to a sheet) takes from the click on "Print the
logbook" to the finished PDF. Writes the section
"The logbook in the browser" of bench/RESULTS.md, keeping the rest of the
file (bench/run keeps this section when it rewrites the rest). Needs
the bench preset's make-export and quellmar-convert (bench/run builds them;
so does `cmake --build --preset bench --target make-export quellmar-convert`),
Chromium, chromium-driver and python3-selenium (scripts/setup.sh).
"""

import argparse
import base64
import datetime
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
except ImportError:
    # Debian's python3-selenium belongs to Debian's interpreter.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise

ROOT = Path(__file__).resolve().parent.parent
SECTION = "## The logbook in the browser"
QUERIES = ["s", "si", "site 3", "anna", "2015", "zzzz", "el\u00e8ve", "ELEVE", ""]

# A search: set the box, fire the input event as typing does, and stop the
# clock when the next frame has been painted.
SEARCH = """
const [text, done] = [arguments[0], arguments[arguments.length - 1]];
const box = document.getElementById('find-text');
const start = performance.now();
box.value = text;
box.dispatchEvent(new Event('input'));
const script = performance.now() - start;
requestAnimationFrame(() => setTimeout(() => done([performance.now() - start, script]), 0));
"""

SORT = """
const [key, done] = [arguments[0], arguments[arguments.length - 1]];
const start = performance.now();
document.querySelector('th[data-key=' + key + '] button').click();
requestAnimationFrame(() => setTimeout(() => done(performance.now() - start), 0));
"""

TIMES = """
const paint = performance.getEntriesByName('first-contentful-paint')[0];
const ready = performance.getEntriesByName('logbook-ready')[0];
return [paint ? paint.startTime : null, ready ? ready.startTime : null];
"""


def run(command, **kwargs):
    print("+", " ".join(str(part) for part in command), flush=True)
    return subprocess.run(command, check=True, **kwargs)


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or shutil.which("google-chrome")
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--window-size=1280,900",
                 f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.set_script_timeout(120)
    driver.set_page_load_timeout(300)
    return driver


def make_logbook(build_dir, scratch, dives):
    folder = scratch / f"logbook{dives}"
    for name in ("html", "pict"):
        shutil.copytree(ROOT / "resources" / name, folder / name)
    export = folder / "export" / "dives.csv"
    export.parent.mkdir()
    run([build_dir / "bench-bin" / "make-export", "--dives", str(dives), "--seed", "1", export])
    run([build_dir / "bin" / "quellmar-convert", "--base", folder, "--clear", "--quiet", export],
        stdout=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    return folder / "Output" / "logbook.html"


def measure(driver, index, loads):
    result = {"bytes": index.stat().st_size, "paint": [], "ready": [], "search": [], "script": [],
              "sort": []}
    for _ in range(loads):
        driver.get(index.as_uri())
        paint, ready = driver.execute_script(TIMES)
        result["paint"].append(paint)
        result["ready"].append(ready)
        for query in QUERIES:
            took, script = driver.execute_async_script(SEARCH, query)
            result["search"].append(took)
            result["script"].append(script)
        for key in ("max", "site", "date"):
            result["sort"].append(driver.execute_async_script(SORT, key))
    driver.get(index.as_uri())
    start = time.monotonic()
    pdf = driver.execute_cdp_cmd("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69})
    result["print"] = time.monotonic() - start
    result["pages"] = len(re.findall(rb"/Type\s*/Page\b", base64.b64decode(pdf["data"])))
    return result


# The printed logbook: the click, then the page's own call of print once its
# pages and pictures are ready.
PRINT_LOGBOOK = """
const done = arguments[arguments.length - 1];
const start = performance.now();
window.print = () => done(performance.now() - start);
document.getElementById('print-logbook').click();
"""


def measure_printed_logbook(driver, index, runs):
    result = {"ready": [], "pdf": [], "pages": 0}
    for _ in range(runs):
        driver.get(index.as_uri())
        result["ready"].append(driver.execute_async_script(PRINT_LOGBOOK) / 1000)
        start = time.monotonic()
        pdf = driver.execute_cdp_cmd("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69})
        result["pdf"].append(time.monotonic() - start)
        result["pages"] = len(re.findall(rb"/Type\s*/Page\b", base64.b64decode(pdf["data"])))
    result["total"] = [a + b for a, b in zip(result["ready"], result["pdf"])]
    return result


def ms(values, how=statistics.median):
    values = [v for v in values if v is not None]
    return f"{how(values):.0f} ms" if values else "not measured"


def machine():
    model = platform.processor() or "unknown"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    version = subprocess.run([shutil.which("chromium") or "chromium", "--version"],
                             capture_output=True, text=True).stdout.strip()
    load = " ".join(f"{value:.2f}" for value in os.getloadavg())
    return f"{os.cpu_count()} cores, {model}; {version}; load average at the end {load}"


def section(results, printed, loads):
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], cwd=ROOT,
                            capture_output=True, text=True).stdout.strip() or "unknown"
    small, big = results[2000], results[20000]

    def met(ok):
        return "yes" if ok else "**no**"

    def worst(values):
        return max(v for v in values if v is not None)

    lines = [
        SECTION,
        "",
        f"Written by `bench/browser_bench.py`: {now}, commit {commit}; {machine()}. Logbooks "
        "generated by `make-export --seed 1` (180 samples a dive) and converted with the bundled "
        f"templates; each page opened {loads} times from disk in headless Chromium, medians "
        "unless marked worst.",
        "",
        "| Target | Measured | Limit | Met |",
        "|---|---|---|---|",
        f"| Index of 2,000 dives, size | {small['bytes'] / 1024:.0f} KB | <= 600 KB "
        f"| {met(small['bytes'] <= 600 * 1024)} |",
        f"| Index of 2,000 dives, interactive (script ready) | {ms(small['ready'])} | <= 1000 ms "
        f"| {met(statistics.median(small['ready']) <= 1000)} |",
        f"| Index of 20,000 dives, first paint | {ms(big['paint'])} | <= 2000 ms "
        f"| {met(statistics.median(big['paint']) <= 2000)} |",
        f"| Index of 20,000 dives, a search to the next frame (worst of {len(big['search'])}) "
        f"| {ms(big['search'], max)} | <= 100 ms | {met(worst(big['search']) <= 100)} |",
        f"| Index of 2,000 dives printed on A4, dives a page | {2000 / small['pages']:.0f} "
        f"({small['pages']} pages) | >= 40 | {met(2000 / small['pages'] >= 40)} |",
        f"| Index of 20,000 dives printed to PDF whole, time | {big['print']:.1f} s "
        f"({big['pages']} pages, {20000 / big['pages']:.0f} dives a page) | <= 60 s "
        f"| {met(big['print'] <= 60 and 20000 / big['pages'] >= 40)} |",
        f"| Printed logbook of 1,500 dives, click to PDF | {statistics.median(printed['total']):.1f} s "
        f"(pages and pictures ready {statistics.median(printed['ready']):.1f} s, PDF "
        f"{statistics.median(printed['pdf']):.1f} s; {printed['pages']} A4 pages) | <= 60 s "
        f"| {met(statistics.median(printed['total']) <= 60 and printed['pages'] == 750)} |",
        "",
        "| Dives | logbook.html | First paint | Script ready | Search (median / worst) "
        "| its script part | Sort (median / worst) | Printed whole to PDF |",
        "|---|---|---|---|---|---|---|---|",
    ]
    for dives, r in sorted(results.items()):
        lines.append(f"| {dives:,} | {r['bytes'] / 1024:.0f} KB | {ms(r['paint'])} | {ms(r['ready'])} "
                     f"| {ms(r['search'])} / {ms(r['search'], max)} "
                     f"| {ms(r['script'])} / {ms(r['script'], max)} "
                     f"| {ms(r['sort'])} / {ms(r['sort'], max)} | {r['print']:.1f} s, {r['pages']} A4 pages |")
    lines += [
        "",
        "Search: the box set to each of " + ", ".join(f'"{q}"' for q in QUERIES) + " in turn, "
        "timed from the input event to the next painted frame; its script part is the input "
        "handler alone (filtering every row, putting the first page of matches in). Sort: a "
        "click on the Max, Site "
        "and Date headers. Script ready: from the start of navigation to the script's "
        "`logbook-ready` mark, after it has read every row and laid out the first page of them. "
        "Printed: `Page.printToPDF` on A4 from the page as loaded; a list of more than 1,000 dives "
        "prints as lines of text, a shorter one as the table.",
        "",
    ]
    return "\n".join(lines)


def write_section(text):
    path = ROOT / "bench" / "RESULTS.md"
    old = path.read_text() if path.exists() else "# Benchmark results\n\n"
    start = old.find(SECTION)
    if start >= 0:
        end = old.find("\n## ", start + len(SECTION))
        old = old[:start] + (old[end + 1:] if end >= 0 else "")
    path.write_text(old.rstrip("\n") + "\n\n" + text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", type=Path, default=ROOT / "build" / "bench")
    parser.add_argument("--loads", type=int, default=5, help="page loads per logbook")
    parser.add_argument("--scratch", type=Path, default=Path("/dev/shm") if os.access("/dev/shm", os.W_OK)
                        else Path(tempfile.gettempdir()))
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="quellmar-browser-bench-", dir=args.scratch) as name:
        scratch = Path(name)
        driver = start_browser(scratch / "profile")
        try:
            results = {dives: measure(driver, make_logbook(args.build_dir.resolve(), scratch, dives),
                                      args.loads)
                       for dives in (2000, 20000)}
            printed = measure_printed_logbook(
                driver, make_logbook(args.build_dir.resolve(), scratch, 1500), max(1, args.loads // 2))
        finally:
            driver.quit()
    text = section(results, printed, args.loads)
    write_section(text)
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
