#!/usr/bin/env python3
"""Converts SDM exports with quellmar-convert and opens the HTML logbooks
straight from disk in headless Chromium, as a diver would: the sample export
and a generated logbook of 1,500 dives.

Checks, on the index page and on dive pages: every picture loads, the browser
logs no script error, axe-core finds no critical or serious accessibility
violation, a 360 pixel wide window needs no horizontal scrolling, and printing
gives at least 40 dives per A4 page (a dive page: one page). The index lists
every dive without script; with it, search, filters and sorting answer, the
totals and statistics equal those worked out here from the CSV, and every
dive's page is linked and written and leads to its neighbours. The pages'
Content-Security-Policy stops inline script.

Usage: logbook_in_browser.py --convert PATH --run-dir DIR [--screenshots DIR]
The sample export comes from DIR/examples; without one a small export is
written into the temporary directory. axe-core is loaded from
node_modules beside this script (scripts/setup.sh installs it). Exit code 77
means skipped (only outside CI, when a tool is missing).
"""

import argparse
import base64
import csv
import decimal
import io
import pathlib
import random
import re
import sys
import tempfile
import time

from browser_support import convert, crlf, skip_or_fail, start_browser
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.print_page_options import PrintOptions

HERE = pathlib.Path(__file__).resolve().parent
AXE = HERE / "node_modules" / "axe-core" / "axe.min.js"
BIG_LOGBOOK = 1500  # more than the script prints as a table: printed as lines of text


def dive_line(diveid, diveno, date, clock, location, site, o2, maxdepth, buddy="Anna",
              dm="Ben", seconds=2520):
    columns = [""] * 45
    values = {
        1: diveid, 2: diveno, 3: f'"{date}"', 4: f'"{clock}"', 7: seconds, 8: 7200,
        9: maxdepth, 10: round(maxdepth / 2, 1), 12: "1234567", 14: 30,
        19: f'"{location}"', 20: f'"{site}"', 21: "sunny", 22: "15 m",
        23: 24, 24: 19, 25: 21, 26: buddy, 27: dm, 28: "Sea Star",
        29: "Alu 80", 30: 11, 32: 200, 33: 200, 34: 60, 35: 15.4,
        37: "Reef", 42: 4, 43: o2,
    }
    for column, value in values.items():
        columns[column - 1] = str(value)
    return ",".join(columns)


def write_export(folder, name, dives, notes, profiles):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / f"{name}.csv").write_bytes(crlf(dives))
    (folder / f"{name}$DGE.CSV").write_bytes(b"")
    (folder / f"{name}$NOT.CSV").write_bytes(crlf(notes))
    lines = [f"{diveid},{i * 20},{depth}" for diveid, samples in profiles
             for i, depth in enumerate(samples)]
    (folder / f"{name}$PRO.CSV").write_bytes(crlf(lines))
    return folder / f"{name}.csv"


def write_small_export(folder):
    """Three dives: one with a note and a profile on nitrox, one with a
    profile only, one with neither."""
    return write_export(folder, "small", [
        dive_line(501, 1, "01.06.2024", "09:40", "Red Sea", "Ras Mohammed, Shark Reef", 32, 28.4),
        dive_line(502, 2, "01.06.2024", "14:10", "Red Sea", "Yolanda Reef", 21, 18.0),
        dive_line(503, 3, "02.06.2024", "09:00", "Red Sea", "House reef", 0, 6.0),
    ], ['501,"Napoleon wrasse at the plateau."', '501,"Strong current at the reef edge."'], [
        (501, "0,6.5,14.2,22.8,28.4,25.1,18.0,12.3,5.0,3.0,0.0".split(",")),
        (502, "0,4.5,11.0,18.0,15.2,9.6,4.8,0.0".split(",")),
    ])


def write_big_export(folder, count):
    """count dives over nine years at fifty sites, most with a profile,
    some with a note; long site names and 8-bit letters included."""
    rng = random.Random(7)
    places = [(f"Region {r} \xe9l\xe8ve", f"Site {r}-{s} {'Long reef name ' * (s % 3)}".strip())
              for r in range(10) for s in range(5)]
    dives, notes, profiles = [], [], []
    for n in range(1, count + 1):
        location, site = rng.choice(places)
        day = n * 2920 // count
        date = f"{1 + day % 28:02d}/{1 + day // 28 % 12:02d}/{2012 + day // 336}"
        depth = round(rng.uniform(5, 45), 1)
        dives.append(dive_line(9000 + n, n, date, f"{8 + n % 9:02d}:{n % 60:02d}", location, site,
                               rng.choice((0, 21, 32, 36)), depth, rng.choice(("Anna", "J\xf6rg", ""))))
        if n % 7 == 0:
            notes.append(f'{9000 + n},"Dive {n}: turtles and a <b>big</b> grouper."')
        if n % 11:
            samples = [0.0] + [round(depth * min(1, i / 4, (40 - i) / 8), 1) for i in range(1, 40)]
            profiles.append((9000 + n, [f"{x:.1f}" for x in samples] + ["0.0"]))
    return write_export(folder, "big", dives, notes, profiles)


def write_reading_export(folder):
    """Four dives for what a diver reads and looks for: a dive master and a
    word only in the notes, accents on either side of a search, a dive
    without a site, air, nitrox and a mix leaner than air, a long dive."""
    return write_export(folder, "reading", [
        dive_line(601, 1, "03.07.2024", "09:00", "Kuusijarvi", "H\xe4lv\xe4l\xe4", 21, 12.0, dm="Guide 3"),
        dive_line(602, 2, "04.07.2024", "10:00", "Lake", "", 32, 20.5, seconds=6240),
        dive_line(603, 3, "05.07.2024", "11:00", "Lake", "Quarry", 16, 8.0),
        dive_line(604, 4, "06.07.2024", "12:00", "Lake", "Bay", 0, 15.0),
    ], ['602,"Dived on twins today."'], [
        (601, "0,4.5,12.0,8,0.0".split(",")), (602, "0,10.2,20.5,15,0.0".split(",")),
        (603, "0,8.0,0.0".split(",")), (604, "0,15.0,7.5,0.0".split(",")),
    ])


def sample_export(run_dir, temp):
    examples = run_dir / "examples"
    if examples.is_dir():
        mains = sorted(p for p in examples.iterdir()
                       if p.suffix.lower() == ".csv" and "$" not in p.name)
        if mains:
            return mains[0]
    return write_small_export(temp / "export")


def check_tools():
    if not AXE.is_file():
        skip_or_fail(f"{AXE} is missing (scripts/setup.sh installs axe-core)")


class Checker:
    def __init__(self, driver):
        self.driver = driver
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)
            print(f"  failed: {message}")

    def open(self, path, script=True):
        self.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": not script})
        self.driver.get(path.as_uri())
        self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const settled = () => Array.from(document.images).every(i => i.complete);
            if (document.readyState === 'complete' && settled()) { done(); return; }
            window.addEventListener('load', () => done());
            setTimeout(done, 5000);""")

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def check_page(self, where, pdf_pages=None):
        """Pictures, style, axe-core, the 360 pixel window, printing when
        pdf_pages is given, the log."""
        broken = self.js("return Array.from(document.images)"
                         ".filter(i => !i.complete || i.naturalWidth === 0).map(i => i.src);")
        self.check(not broken, f"{where}: pictures that do not load: {broken}")
        self.check(self.js("return getComputedStyle(document.querySelector('.top')).backgroundImage") != "none",
                   f"{where}: the style sheet ../pict/logbook.css did not apply")
        self.js(AXE.read_text())
        violations = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            axe.run(document, {preload: false}).then(r => done(r.violations
                .filter(v => v.impact === 'critical' || v.impact === 'serious')
                .map(v => v.id + ' (' + v.nodes.length + '): ' + v.nodes[0].html.slice(0, 120))));""")
        self.check(not violations, f"{where}: axe-core: {violations}")
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 740, "deviceScaleFactor": 1, "mobile": True})
        width = self.js("return document.documentElement.scrollWidth;")
        self.check(width <= 360, f"{where}: {width} pixels wide in a 360 pixel window")
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        if pdf_pages:
            pages = self.printed_pages()
            self.check(pages <= pdf_pages, f"{where}: printed on {pages} pages, not {pdf_pages}")
        for entry in self.driver.get_log("browser"):
            self.check(entry.get("level") != "SEVERE", f"{where}: browser log: {entry.get('message')}")
        print(f"  {where}: {len(self.js('return document.images'))} images checked")

    def printed_pages(self):
        options = PrintOptions()
        options.page_width, options.page_height = 21.0, 29.7
        pdf = base64.b64decode(self.driver.print_page(options))
        return len(re.findall(rb"/Type\s*/Page\b", pdf))

    def screenshot(self, folder, name, selector=None):
        if not folder:
            return
        folder.mkdir(parents=True, exist_ok=True)
        for width, suffix in ((1280, "desktop"), (360, "phone")):
            metrics = {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": width < 600}
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
            if selector:
                self.driver.find_element(By.CSS_SELECTOR, selector).screenshot(
                    str(folder / f"{name}-{suffix}.png"))
            else:
                self.driver.save_screenshot(str(folder / f"{name}-{suffix}.png"))
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def read_dives(export):
    """The dives of an export's main file, in the logbook's order."""
    dives = []
    for r in csv.reader(io.StringIO(export.read_bytes().decode("cp1252"))):
        year = re.search(r"\d{4}", r[2])
        dives.append({"no": int(r[1]), "year": year.group() if year else "", "site": r[19],
                      "seconds": round(float(r[6] or 0)), "max": r[8], "avg": r[9]})
    return sorted(dives, key=lambda d: d["no"])


def hours(seconds):
    h, m = divmod(seconds // 60, 60)
    return f"{h:,} h {m:02d} min" if h else f"{m} min"


def clock(seconds):
    return f"{seconds // 3600:02d}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"


def deepest(dives):
    depths = [d["max"] for d in dives if d["max"]]
    return max(depths, key=decimal.Decimal) if depths else ""


def mean(texts):
    """The mean at the decimals of the coarsest value, at most one."""
    values = [decimal.Decimal(t) for t in texts if t]
    places = min([1] + [-v.as_tuple().exponent for v in values])
    total = sum(values) / len(values)
    return str(total.quantize(decimal.Decimal(1).scaleb(-places), decimal.ROUND_HALF_UP))


def shown_line(dives, of):
    count = f"{len(dives):,} of {of:,} dives" if len(dives) != of else f"{of:,} dives"
    return f"{count}, {hours(sum(d['seconds'] for d in dives))} under water, deepest {deepest(dives)} m."


def per_year(dives):
    years = sorted({d["year"] for d in dives}, reverse=True)
    return [[y, f"{len(g):,}", hours(sum(d["seconds"] for d in g)), f"{deepest(g)} m",
             f"{mean(d['avg'] for d in g)} m"]
            for y in years for g in [[d for d in dives if d["year"] == y]]]


def choose(checker, control, value):
    checker.js("const c = document.getElementById(arguments[0]); c.value = arguments[1];"
               "c.dispatchEvent(new Event(c.tagName === 'INPUT' ? 'input' : 'change'));", control, value)


def check_values(checker, dives):
    """The header's totals, and the count line and statistics per year under
    no filter, a year and a site, against the values of the CSV."""
    summary = checker.js("return Array.from(document.querySelectorAll('.summary dd'), d => d.textContent);")
    total = sum(d["seconds"] for d in dives)
    checker.check(summary[:4] == [str(len(dives)), clock(total), clock((2 * total + len(dives)) // (2 * len(dives))), deepest(dives)],
                  f"header {summary} for {len(dives)} dives of {clock(total)}")
    year, site = dives[len(dives) // 2]["year"], dives[-1]["site"]
    for what, chosen in (("all dives", dives), (f"year {year}", [d for d in dives if d["year"] == year]),
                         (f"site {site}", [d for d in dives if d["site"] == site])):
        choose(checker, "find-year", year if what.startswith("year") else "")
        choose(checker, "find-site", site if what.startswith("site") else "")
        shown = checker.js("return document.getElementById('shown').textContent;")
        checker.check(shown.startswith(shown_line(chosen, len(dives))), f"{what}: {shown!r}")
        table = checker.js("return Array.from(document.querySelectorAll('#per-year tbody tr'),"
                           " r => Array.from(r.cells, c => c.textContent).slice(0, 5));")
        checker.check(table == per_year(chosen), f"{what}: per year {table[:2]}, not {per_year(chosen)[:2]}")
    choose(checker, "find-site", "")


def check_headers(checker, where):
    """Each visible column header on one line, its name whole within the cell
    and without the sort arrow."""
    clipped = checker.js("""return Array.from(document.querySelectorAll('#dives th button'))
        .filter(b => b.offsetParent && (b.getBoundingClientRect().right > b.parentNode.getBoundingClientRect().right + 0.5
                     || b.getClientRects().length > 1 || b.offsetHeight > 1.6 * parseFloat(getComputedStyle(b).fontSize)))
        .map(b => b.textContent);""")
    checker.check(not clipped, f"{where}: column headers cut or wrapped: {clipped}")
    node = checker.driver.execute_cdp_cmd("DOM.getDocument", {})["root"]["nodeId"]
    button = checker.driver.execute_cdp_cmd("DOM.querySelector", {
        "nodeId": node, "selector": "th[aria-sort] button"})["nodeId"]
    name = checker.driver.execute_cdp_cmd("Accessibility.getPartialAXTree", {
        "nodeId": button, "fetchRelatives": False})["nodes"][0]["name"]["value"]
    checker.check(name.isascii(), f"{where}: the sort button is named {name!r}")


def rows(checker):
    """The cells of the rows the list shows, as texts."""
    return checker.js("return Array.from(document.querySelectorAll('#dives tbody tr'))"
                      ".map(r => Array.from(r.cells).map(c => c.textContent));")


def check_index(checker, output, export, dives, screenshots):
    index = output / "logbook.html"
    numbers = re.findall(rb'<tr><td><a href="d(-?\d+)[.]html">', index.read_bytes())
    checker.check(len(numbers) == dives, f"{len(numbers)} rows for {dives} dives")
    missing = [n for n in numbers if not (output / f"d{n.decode()}.html").is_file()]
    checker.check(not missing, f"dive pages not written: {missing[:5]}")

    checker.open(index, script=False)
    shown = checker.js("return Array.from(document.querySelectorAll('#dives tbody tr'))"
                       ".filter(r => r.offsetHeight > 0).length;")
    checker.check(shown == dives, f"without script {shown} of {dives} rows show")

    checker.open(index)
    checker.screenshot(screenshots, "logbook")
    check_headers(checker, "1280 pixels")
    checker.js("document.querySelector('.stats summary').click();")
    check_values(checker, read_dives(export))
    checker.check(checker.js("return document.querySelectorAll('#per-year tbody tr').length;") > 0,
                  "no statistics per year")
    checker.check_page(f"logbook.html of {dives} dives")
    checker.check(checker.js("return typeof nw === 'function';"), "nw is not defined")
    checker.screenshot(screenshots, "statistics", ".stats")

    # Each control, then what every listed row must satisfy.
    first = rows(checker)[0]
    year = checker.js("return document.querySelector('#find-year option:nth-child(2)').value;")
    search = first[3].split()[0].lower()
    for what, script, holds in (
        (f"search {search!r}", "const t = document.getElementById('find-text'); t.value = arguments[0];"
                               "t.dispatchEvent(new Event('input'));",
         lambda listed: all(search in "".join(r).lower() for r in listed)),
        (f"year {year}", "const t = document.getElementById('find-text'); t.value = '';"
                         "t.dispatchEvent(new Event('input'));"
                         "const y = document.getElementById('find-year'); y.value = arguments[1];"
                         "y.dispatchEvent(new Event('change'));",
         lambda listed: all(year in r[1] for r in listed)),
        ("deepest first", "document.querySelector('th[data-key=max] button').click();",
         lambda listed: [float(r[5]) for r in listed] == sorted((float(r[5]) for r in listed), reverse=True)),
    ):
        checker.js(script, search, year)
        listed = rows(checker)
        checker.check(listed and holds(listed),
                      f"{what}: the rows listed do not match")
    checker.check(int(first[0]) == max(int(n) for n in numbers), "the newest dive is not listed first")

    # Paper gets every dive of the year chosen, at least 40 to an A4 page.
    year_dives = len(re.findall(rf'<td>[^<]*{year}[^<]*<td>'.encode(), index.read_bytes()))
    pages = checker.printed_pages()
    checker.check(pages <= -(-year_dives // 40), f"{year_dives} dives of {year} printed on {pages} pages")
    print(f"  {year_dives} dives of {year} printed on {pages} pages")

    # An address naming a year and a site the logbook lacks shows all dives.
    checker.driver.get("about:blank")
    checker.driver.get(index.as_uri() + "#&1800&Nowhere&date:-1")
    state = checker.js("return [document.getElementById('find-year').value,"
                       " document.getElementById('find-site').value, document.getElementById('shown').textContent];")
    checker.check(state[:2] == ["", ""] and state[2].startswith(f"{dives:,} dives"), f"unknown year and site: {state}")

    # On a phone the headers still fit, and a row opens its dive's page.
    checker.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 360, "height": 740, "deviceScaleFactor": 1, "mobile": True})
    check_headers(checker, "360 pixels")
    first_row = rows(checker)[0]
    checker.driver.find_element(By.CSS_SELECTOR, "#dives tbody td:nth-child(2)").click()
    checker.check(checker.driver.current_url.endswith(f"/d{first_row[0]}.html"),
                  f"a row's click led to {checker.driver.current_url}")
    checker.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    checker.open(index)
    checker.js("document.querySelector('th[data-key=max] button').click();")
    choose(checker, "find-year", year)

    # Back from a dive's page, the list is as it was left.
    left = rows(checker)
    checker.driver.find_element(By.CSS_SELECTOR, "#dives tbody a").click()
    checker.driver.back()
    checker.check(rows(checker) == left, "back from a dive's page the list has changed")

    # The whole index on paper, at least 40 dives to an A4 page.
    choose(checker, "find-year", "")
    pages = checker.printed_pages()
    checker.check(pages <= -(-dives // 40), f"{dives} dives printed on {pages} pages")
    print(f"  all {dives} dives printed on {pages} pages")

    # Scrolling to the end of the list adds rows, while there are more.
    before = len(rows(checker))
    checker.js("window.scrollTo(0, document.body.scrollHeight);")
    time.sleep(0.5)
    checker.check(before == dives or len(rows(checker)) > before, "scrolling to the end adds no rows")


def check_dive_page(checker, output, dives, number, screenshots):
    page = output / f"d{number}.html"
    numbers = [d["no"] for d in dives]
    at = numbers.index(number)
    site = dives[at]["site"]
    checker.open(page, script=False)
    caption = checker.js("return document.querySelector('figcaption').textContent;")
    checker.check(dives[at]["max"] in caption, f"{page.name}: caption {caption!r}")
    name = checker.js("const s = document.querySelector('svg.depth-profile');"
                      " return s && s.getAttribute('role') + ' ' + s.querySelector('title').textContent;")
    checker.check(name and name.startswith("img Depth profile: deepest"), f"{page.name}: without script the profile is {name!r}")
    checker.open(page)
    checker.check(f"#{number}" in checker.driver.find_element(By.TAG_NAME, "h1").text,
                  f"{page.name} does not name its dive")
    checker.check_page(page.name, 1)
    checker.screenshot(screenshots, "dive")
    links = checker.js("return Array.from(document.querySelectorAll('a[rel]'), a => a.rel + ' ' + a.getAttribute('href'));")
    expected = ([f"prev d{numbers[at - 1]}.html"] if at > 0 else []) + \
               ([f"next d{numbers[at + 1]}.html"] if at + 1 < len(numbers) else [])
    checker.check(links == expected, f"{page.name}: links {links}, not {expected}")
    same = checker.js("return Array.from(document.querySelectorAll('.same-site li a'), a => a.getAttribute('href'));")
    at_site = [f"d{d['no']}.html" for d in dives if site and d["site"] == site and d["no"] != number]
    checker.check(same == at_site[:10] if len(at_site) <= 10 else len(same) == 11,
                  f"{page.name}: dives at the same site {same[:3]}, not {at_site[:3]}")
    if at > 0:
        checker.driver.find_element(By.TAG_NAME, "body").send_keys(Keys.ARROW_LEFT)
        checker.check(checker.driver.current_url.endswith(f"/d{numbers[at - 1]}.html"),
                      f"{page.name}: the left arrow key led to {checker.driver.current_url}")


# Boxes whose content runs past them (cut or scrolled), and profile labels
# that overlap each other or leave the picture.
CUT_BOXES = """return Array.from(document.querySelectorAll(
        'section, .stats, .scroll, .summary div, .facts div, figure, #dives th, #per-year td, #per-site td'))
    .filter(e => e.offsetParent && e.scrollWidth > e.clientWidth + 1)
    .map(e => e.tagName + '.' + e.className + ': ' + e.textContent.trim().slice(0, 30));"""
LABELS_APART = """const svg = document.querySelector('svg.depth-profile');
    if (!svg) return ['no profile'];
    const outer = svg.getBoundingClientRect();
    const boxes = Array.from(svg.querySelectorAll('text'), t => [t.textContent, t.getBoundingClientRect()]);
    const bad = boxes.filter(([, r]) => r.left < outer.left - 1 || r.right > outer.right + 1).map(([t]) => 'out: ' + t);
    boxes.forEach(([a, r], i) => boxes.slice(i + 1).forEach(([b, q]) => {
      if (r.left < q.right && q.left < r.right && r.top < q.bottom && q.top < r.bottom) bad.push(a + ' on ' + b);
    }));
    return bad;"""


def check_widths(checker, output, number):
    """From a phone to a wide screen nothing is cut: no box scrolls, the
    statistics tables fit, the profile's labels stand apart."""
    for width in (360, 414, 768, 1024, 1152, 1280, 1440, 1920):
        checker.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": 900, "deviceScaleFactor": 1, "mobile": width < 600})
        checker.open(output / "logbook.html")
        checker.js("document.querySelector('.stats').open = true;")
        cut = checker.js(CUT_BOXES)
        checker.check(not cut, f"logbook.html at {width} pixels: cut {cut[:4]}")
        checker.open(output / f"d{number}.html")
        cut = checker.js(CUT_BOXES) + checker.js(LABELS_APART)
        checker.check(not cut, f"d{number}.html at {width} pixels: {cut[:4]}")
    checker.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def listed(checker):
    return [r[0] for r in rows(checker)]


def check_reading(checker, output, screenshots):
    """Search over everything typed, accents folded both ways, empty values
    last in either order, gas labels and dive times, the codes in their
    units, the profile's reading by keyboard, the printed logbook, and the
    dark scheme's contrast."""
    checker.open(output / "logbook.html")
    # What is typed, and the dives it finds.
    for typed, found in (
        ("guide 3",    ["1"]),          # the dive master
        ("twins",      ["2"]),          # a word of the notes only
        ("halvala",    ["1"]),          # accents typed without
        ("H\xc4LV\xc4L\xc4", ["1"]),  # and with them, in capitals
        ("kuusij\xe4rvi", ["1"]),       # accents typed, none written
        ("sea star",   ["4", "3", "2", "1"]),  # the boat
    ):
        choose(checker, "find-text", typed)
        checker.check(listed(checker) == found, f"search {typed!r} lists {listed(checker)}, not {found}")
    choose(checker, "find-text", "")
    choose(checker, "find-sort", "site:1")
    checker.check(listed(checker) == ["4", "1", "3", "2"], f"sites A to Z list {listed(checker)}")
    checker.js("document.querySelector('th[data-key=site] button').click();")
    checker.check(listed(checker) == ["3", "1", "4", "2"], f"sites Z to A list {listed(checker)}")
    choose(checker, "find-sort", "no:1")
    cells = [(r[7], r[10]) for r in rows(checker)]
    expected = [("00:42:00", "Air"), ("01:44:00", "EAN32"), ("00:42:00", "16 % O2"), ("00:42:00", "Air")]
    checker.check(cells == expected, f"dive times and gases {cells}, not {expected}")

    # The printed logbook: a page for each dive listed, two to a sheet.
    choose(checker, "find-text", "lake")
    checker.driver.execute_async_script("""const done = arguments[arguments.length - 1];
        window.print = () => done(); document.getElementById('print-logbook').click();""")
    broken = checker.js("return Array.from(document.querySelectorAll('.paper-dive img'))"
                        ".filter(i => !i.complete || i.naturalWidth === 0).map(i => i.src);")
    checker.check(not broken, f"printed logbook: profile pictures that do not load: {broken}")
    pages = checker.js("return Array.from(document.querySelectorAll('.paper-dive h2'), h => h.textContent);")
    checker.check(pages == ["Dive #2", "Dive #3 \xb7 Quarry", "Dive #4 \xb7 Bay"], f"printed logbook pages {pages}")
    printed = checker.printed_pages()
    checker.check(printed == 2, f"3 dives printed on {printed} sheets, not 2")
    if screenshots:
        options = PrintOptions()
        options.page_width, options.page_height = 21.0, 29.7
        (screenshots / "logbook-printed.pdf").write_bytes(base64.b64decode(checker.driver.print_page(options)))

    page = output / "d2.html"
    checker.open(page)
    codes = checker.js("return Array.from(document.querySelectorAll('.codes dd'), d => d.textContent"
                       " + getComputedStyle(d, '::after').content);")
    checker.check(codes[1] == '30" s"', f"codes {codes}")
    checker.driver.find_element(By.CSS_SELECTOR, "svg.depth-profile").send_keys(Keys.ARROW_RIGHT * 3)
    reading = checker.js("return document.querySelector('.readout').textContent;")
    checker.check(reading == "At 52:00 min: 20.5 m", f"the profile's reading {reading!r}")
    checker.check(checker.driver.current_url.endswith("/d2.html"), "the arrow keys on the profile left the page")

    checker.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
        "features": [{"name": "prefers-color-scheme", "value": "dark"}]})
    for name in ("logbook.html", "d2.html"):
        checker.open(output / name)
        background = checker.js("return getComputedStyle(document.body).backgroundColor;")
        checker.check(background != "rgb(238, 244, 248)", f"{name}: no dark scheme")
        checker.check_page(f"{name} in the dark scheme")
        if name == "d2.html":
            checker.screenshot(screenshots, "dive-dark")
    checker.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})


def check_no_inline_script(checker, output, number):
    """A dive page with an inline script added: the policy stops it, and the
    logbook's own script still runs."""
    page = output / f"d{number}.html"
    bytes_ = page.read_bytes()
    tampered = output / "tampered.html"
    tampered.write_bytes(bytes_.replace(b"</head>", b"<script>window.inline = 1;</script></head>"))
    checker.open(tampered)
    ran = checker.js("return [window.inline === 1, typeof nw === 'function'];")
    checker.check(b"Content-Security-Policy" in bytes_ and ran == [False, True],
                  f"inline script ran, logbook.js ran: {ran}")
    checker.driver.get_log("browser")  # the policy's report of the blocked script
    tampered.unlink()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True, type=pathlib.Path)
    parser.add_argument("--run-dir", required=True, type=pathlib.Path)
    parser.add_argument("--screenshots", type=pathlib.Path)
    args = parser.parse_args()
    convert_path, run_dir = args.convert.resolve(), args.run_dir.resolve()
    check_tools()

    with tempfile.TemporaryDirectory(prefix="quellmar-browser-") as temp_name:
        temp = pathlib.Path(temp_name)
        sample = sample_export(run_dir, temp)
        big = write_big_export(temp / "export-big", BIG_LOGBOOK)
        logbooks = [(convert(convert_path, run_dir, temp / "sample", sample), sample, True),
                    (convert(convert_path, run_dir, temp / "big", big), big, False)]
        driver = start_browser(temp)
        checker = Checker(driver)
        try:
            driver.set_script_timeout(60)
            for output, export, shown in logbooks:
                dives = read_dives(export)
                print(f"{output.parent.name}: {len(dives)} dives")
                screenshots = args.screenshots if shown else None
                check_index(checker, output, export, len(dives), screenshots)
                with_profile = sorted(int(p.stem[1:]) for p in output.glob("d*.svg"))
                middle = with_profile[len(with_profile) // 2]
                check_dive_page(checker, output, dives, middle, screenshots)
                if shown:
                    check_widths(checker, output, middle)
            check_no_inline_script(checker, output, middle)
            reading = convert(convert_path, run_dir, temp / "reading", write_reading_export(temp / "export-reading"))
            check_reading(checker, reading, args.screenshots)
        finally:
            driver.quit()

        if checker.failures:
            print(f"FAIL: {len(checker.failures)} problems")
            return 1
        print("browser test passed")
        return 0


if __name__ == "__main__":
    sys.exit(main())
