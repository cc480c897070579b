#!/usr/bin/env python3
"""The web page against the native converter, on one generated export of
10,000 dives, side by side in one run:

    bench/web_bench.py --make-export BIN --convert BIN NAME=PAGE... [--dives N] [--rounds R]

Each round converts the export natively (quellmar-convert --threads 1, the
page's one thread), once with the logbook written to the disk and once to
memory (/dev/shm) as the page writes it, then once in each page in headless
Chromium, in turn: the files picked, imported, the HTML
export run to its final question, then the logbook packed and downloaded as
logbook.zip. Prints the medians of import plus export for each, in seconds
and in CPU seconds (the converter's, and those of every browser process: on
a machine shared with other work the clock measures the share each got),
their CPU ratio to the native converter, the zip's time, the frames the page painted per
second during the export and each page's size raw and gzip compressed. Builds of the page with other compiler flags are made with
`cmake --preset web -B build/web-X -DCMAKE_CXX_FLAGS=...`.
"""

import argparse
import gzip
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "browser"))
import browser_support as support  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402


TICK = os.sysconf("SC_CLK_TCK")


def tree_cpu(root):
    """Seconds of CPU that root and every process below it have used so far."""
    parents, used = {}, {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        parents[int(entry.name)] = int(fields[1])
        used[int(entry.name)] = (int(fields[11]) + int(fields[12])) / TICK
    total = 0.0
    for pid, seconds in used.items():
        p = pid
        while p not in (0, 1, root) and p in parents:
            p = parents[p]
        if p == root:
            total += seconds
    return total


def wait(driver, script, seconds=900):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if driver.execute_script(script):
            return time.perf_counter()
        time.sleep(0.05)
    raise SystemExit(f"web_bench: timed out waiting for {script}")


DIALOG = "return document.getElementById('messageBox').open"
# Counts the frames the page paints, to show that it keeps painting while
# the worker converts.
FRAMES = "window.framesPainted = 0; (function tick() { ++window.framesPainted; requestAnimationFrame(tick); })();"


def expect_message(driver, start):
    text = driver.execute_script("return document.getElementById('messageText').textContent")
    if not text.startswith(start):
        raise SystemExit(f"web_bench: the page said {text!r}")


def command_time(driver):
    """Seconds the worker took for the command that has just ended."""
    wait(driver, "return !document.body.hasAttribute('aria-busy')")
    return float(driver.execute_script("return document.body.dataset.commandTime")) / 1000


def press_ok(driver):
    driver.execute_script("document.querySelector('#messageButtons button').click()")
    wait(driver, "return !document.getElementById('messageBox').open")


def run_page(driver, page, files, downloads, expected_files):
    """Seconds the worker took for the import plus the export, the seconds
    from the click to each end as the page shows it, the browser's CPU seconds
    for them, the seconds for packing and downloading the zip, and frames
    painted per second during the export."""
    browser = driver.service.process.pid
    for old in downloads.iterdir():
        old.unlink()
    driver.get(page.as_uri())
    wait(driver, "return document.body.dataset.ready === 'true'")
    driver.execute_script(FRAMES)
    cpu = tree_cpu(browser)
    start = time.perf_counter()
    driver.find_element(By.ID, "openFiles").send_keys("\n".join(str(f) for f in files))
    wait(driver, DIALOG)
    imported = time.perf_counter()
    expect_message(driver, "CSV file imported.")
    worker = command_time(driver)
    press_ok(driver)
    restart = time.perf_counter()
    frames = driver.execute_script("return window.framesPainted")
    driver.find_element(By.ID, "exportButton").click()
    exported = wait(driver, DIALOG)
    cpu = tree_cpu(browser) - cpu
    expect_message(driver, "HTML write finished.\n\rMay I show You the logbook.html ?")
    worker += command_time(driver)
    frames = driver.execute_script("return window.framesPainted") - frames
    press_ok(driver)
    zip_file = downloads / "logbook.zip"
    end = time.monotonic() + 300
    while not (zip_file.is_file() and not any(downloads.glob("*.crdownload"))):
        if time.monotonic() > end:
            raise SystemExit("web_bench: logbook.zip did not arrive")
        time.sleep(0.005)
    zipped = time.perf_counter()
    with zipfile.ZipFile(zip_file) as archive:
        written = sum(1 for name in archive.namelist() if not name.endswith("/"))
    if written != expected_files:
        raise SystemExit(f"web_bench: logbook.zip holds {written} files, the converter wrote {expected_files}")
    return worker, (imported - start) + (exported - restart), cpu, zipped - exported, frames / (exported - restart)


def run_native(convert, run_dir, export, base):
    shutil.rmtree(base, ignore_errors=True)
    base.mkdir(parents=True)
    for folder in ("html", "pict"):
        shutil.copytree(run_dir / folder, base / folder)
    start = time.perf_counter()
    # Into an empty program folder, answering No to clearing it as the page does:
    # the logbook is the same, and clearing costs time of its own.
    child = subprocess.Popen([str(convert), "--base", str(base), "--quiet", "--threads", "1", str(export)],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        raise SystemExit(f"web_bench: quellmar-convert failed ({status})")
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--make-export", type=Path, required=True)
    parser.add_argument("--convert", type=Path, required=True)
    parser.add_argument("--dives", type=int, default=10000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--disk", type=Path, default=ROOT / "build",
                        help="where the native logbook is written (a disk, not tmpfs)")
    parser.add_argument("--memory", type=Path, default=Path("/dev/shm"),
                        help="where it is written once more, in memory as the page's is")
    parser.add_argument("pages", nargs="+", help="NAME=PAGE")
    args = parser.parse_args()
    pages = [(name, Path(path).resolve()) for name, path in (p.split("=", 1) for p in args.pages)]
    convert = args.convert.resolve()
    with tempfile.TemporaryDirectory(dir=args.disk) as scratch:
        scratch = Path(scratch)
        export = scratch / "export" / "bench.csv"
        export.parent.mkdir()
        subprocess.run([str(args.make_export), "--dives", str(args.dives), "--seed", "1", str(export)],
                       check=True, stdout=subprocess.DEVNULL)
        files = sorted(export.parent.iterdir())
        downloads = scratch / "downloads"
        downloads.mkdir()
        driver = support.start_browser(scratch)
        driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
        native, in_memory, native_cpu, memory_cpu = [], [], [], []
        memory = Path(tempfile.mkdtemp(dir=args.memory))
        web, shown, web_cpu, zips, rates = ({name: [] for name, _ in pages} for _ in range(5))
        try:
            for round_ in range(args.rounds):
                for wall, cpu, folder in ((native, native_cpu, scratch), (in_memory, memory_cpu, memory)):
                    seconds, used = run_native(convert, convert.parent, export, folder / "native")
                    wall.append(seconds)
                    cpu.append(used)
                written = sum(1 for folder in ("Output", "pict")
                              for p in (memory / "native" / folder).rglob("*") if p.is_file())
                for name, page in pages:
                    seconds, clicked, used, zipped, rate = run_page(driver, page, files, downloads, written)
                    web[name].append(seconds)
                    shown[name].append(clicked)
                    web_cpu[name].append(used)
                    zips[name].append(zipped)
                    rates[name].append(rate)
                print(f"round {round_ + 1}: native {native[-1]:.2f} s ({native_cpu[-1]:.2f} CPU), "
                      f"in memory {in_memory[-1]:.2f} s ({memory_cpu[-1]:.2f} CPU), "
                      + ", ".join(f"{name} {web[name][-1]:.2f} s ({web_cpu[name][-1]:.2f} CPU for the browser)"
                                  for name, _ in pages), flush=True)
        finally:
            driver.quit()
            shutil.rmtree(memory, ignore_errors=True)
    median = statistics.median
    base, base_cpu = median(native), median(native_cpu)
    memory_base, memory_cpu_base = median(in_memory), median(memory_cpu)
    print(f"\n{args.dives} dives, median of {args.rounds} rounds, import and HTML export, one thread:")
    print("| build | seconds | ratio | CPU seconds | CPU ratio | seconds from the click "
          "| logbook.zip | frames/s while exporting | page raw | page gzip |")
    print("| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |")
    print(f"| quellmar-convert, logbook on disk | {base:.2f} | {base / memory_base:.2f} | {base_cpu:.2f} "
          f"| {base_cpu / memory_cpu_base:.2f} | | | | | |")
    print(f"| quellmar-convert, logbook in memory | {memory_base:.2f} | 1.00 | {memory_cpu_base:.2f} "
          f"| 1.00 | | | | | |")
    for name, page in pages:
        raw = page.stat().st_size
        packed = len(gzip.compress(page.read_bytes(), 9, mtime=0))
        seconds, cpu = median(web[name]), median(web_cpu[name])
        print(f"| {name} | {seconds:.2f} | {seconds / memory_base:.2f} | {cpu:.2f} | {cpu / memory_cpu_base:.2f} "
              f"| {median(shown[name]):.2f} | {median(zips[name]):.2f} s "
              f"| {median(rates[name]):.0f} | {raw / 1024:.0f} KB | {packed / 1024:.0f} KB |")

if __name__ == "__main__":
    main()
