#!/usr/bin/env python3
"""Converts an SDM export whose every text field and note holds a script
payload, and the same export with plain texts, and opens both logbooks from
disk in headless Chromium. On the index page and on each dive page no payload
runs; the payloads add no element, event handler or script address that the
plain logbook lacks (formatting tags aside); they show as the text they are;
and the harmless formatting of a note shows as formatting.

Usage: script_payloads_in_browser.py --convert PATH --run-dir DIR
Exit code 77 means skipped (only outside CI, when a tool is missing).
"""

import argparse
import pathlib
import re
import sys
import tempfile
import time

from browser_support import convert, crlf, report, start_browser

# Each payload, were it to run, would add its number to top.ran.
RUN = "(top.ran=top.ran||[]).push(N)"
PAYLOADS = [
    "<script>JS</script>",
    "<img src=x onerror=JS>",
    "<svg onload=JS>",
    "<body onload=JS>",
    "<details open ontoggle=JS>x</details>",
    "<input autofocus onfocus=JS>",
    "<iframe src='javascript:JS'></iframe>",
    "<iframe srcdoc='<script>JS</script>'></iframe>",
    "<object data='javascript:JS'></object>",
    "<embed src='javascript:JS'>",
    "<form action='javascript:JS'><button>go</button></form>",
    "<style>body{background:url('javascript:JS')}</style>",
    "<meta http-equiv='refresh' content='0;url=javascript:JS'>",
    "</title><script>JS</script>",
    "<scr<script>ipt>JS</script>",
    "<!--<script>JS</script>-->",
    "<b onmouseover=JS>bold</b>",
    "<a href='javascript:JS'>link</a>",
    "<a href='java&#x09;script:JS'>tab</a>",
    "<a href=' data:text/html,<script>JS</script>'>data</a>",
]
PAYLOADS = [p.replace("JS", RUN.replace("N", str(i))) for i, p in enumerate(PAYLOADS)]
# Payloads that begin with a kept tag show as formatting, the others as text.
SHOWN_AS_TEXT = [p for p in PAYLOADS if not re.match(r"<(a|b)\b", p)]
TEXT_COLUMNS = [12, 13, 19, 20, 21, 22, 26, 27, 28, 29, 37, 38, 39, 40, 41]
LONG_TEXT_COLUMNS = [c for c in TEXT_COLUMNS if c != 12]  # compsernum keeps 10 characters
DIVES = 3
FORMATTED = "<font color=red>red</font> and <b>bold</b>"
RICH_TEXT = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard " + PAYLOADS[0] + r" in rich text\par}"

# The logbook's own elements may be written by its script too: counted per
# tag name, the payloads may add none but the kept formatting tags.
PAGE_STATE = """
const kept = new Set(['A', 'B', 'I', 'U', 'EM', 'STRONG', 'BR', 'P', 'FONT']);
const counts = {}, handlers = [], addresses = [];
for (const e of document.getElementsByTagName('*')) {
  if (!kept.has(e.tagName)) counts[e.tagName] = (counts[e.tagName] || 0) + 1;
  for (const a of e.attributes) {
    if (/^on/i.test(a.name)) handlers.push(e.tagName + ' ' + a.name);
    if (/^[\\s\\x00-\\x20]*(javascript|data|vbscript):/i.test(a.value))
      addresses.push(e.tagName + ' ' + a.name + '=' + a.value);
  }
}
const red = document.querySelector('font[color="red"]');
return {counts, handlers: handlers.sort(), addresses: addresses.sort(), ran: window.ran || null,
        text: document.body.textContent, red: red ? red.textContent : null};
"""


def text_of(payloads, dive, column):
    if not payloads:
        return f"plain {dive} {column}"
    return PAYLOADS[(TEXT_COLUMNS.index(column) + dive * len(TEXT_COLUMNS)) % len(PAYLOADS)]


def write_export(folder, payloads):
    folder.mkdir(parents=True)
    dives, notes = [], []
    for dive in range(1, DIVES + 1):
        columns = [""] * 45
        columns[0], columns[1], columns[2], columns[3] = str(100 + dive), str(dive), "0%d.06.2024" % dive, "09:30"
        columns[6], columns[8] = "2700", "20"
        for column in TEXT_COLUMNS:
            columns[column - 1] = '"' + text_of(payloads, dive, column) + '"'
        dives.append(",".join(columns))
        lines = PAYLOADS if payloads else [f"plain note {dive} {i}" for i in range(len(PAYLOADS))]
        lines = [RICH_TEXT] if payloads and dive == DIVES else lines + [FORMATTED]
        notes += [f'{100 + dive},"{line}"' for line in lines]
    assert not any('"' in p or "\r" in p for p in PAYLOADS)
    for name, lines in (("log.csv", dives), ("log$DGE.CSV", []), ("log$NOT.CSV", notes), ("log$PRO.CSV", [])):
        (folder / name).write_bytes(crlf(lines))
    return folder / "log.csv"


def page_state(driver, page):
    driver.get(page.as_uri())
    time.sleep(1)  # failed pictures, focus and toggles fire their handlers after the load
    return driver.execute_script(PAGE_STATE)


def check_page(driver, name, hostile, plain, shown):
    failures = []
    got, want = page_state(driver, hostile / name), page_state(driver, plain / name)
    if got["ran"]:
        failures.append(f"{name}: payloads ran: {got['ran']}")
    added = {tag: n - want["counts"].get(tag, 0) for tag, n in got["counts"].items()
             if n > want["counts"].get(tag, 0)}
    if added:
        failures.append(f"{name}: elements the payloads added: {added}")
    for what in ("handlers", "addresses"):
        if got[what] != want[what]:
            failures.append(f"{name}: {what} {got[what]}, the plain logbook has {want[what]}")
    missing = [text for text in shown if text not in got["text"]]
    if missing:
        failures.append(f"{name}: texts that do not show: {missing}")
    return failures, got


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True, type=pathlib.Path)
    parser.add_argument("--run-dir", required=True, type=pathlib.Path)
    args = parser.parse_args()
    convert_path, run_dir = args.convert.resolve(), args.run_dir.resolve()

    with tempfile.TemporaryDirectory(prefix="quellmar-payloads-") as temp_name:
        temp = pathlib.Path(temp_name)
        hostile = convert(convert_path, run_dir, temp / "hostile", write_export(temp / "export-hostile", True))
        plain = convert(convert_path, run_dir, temp / "plain", write_export(temp / "export-plain", False))
        driver = start_browser(temp)
        failures = []
        try:
            index_texts = [text_of(True, d, c) for d in range(1, DIVES + 1) for c in (19, 20, 26)]
            found, _ = check_page(driver, "logbook.html", hostile, plain,
                                  [t for t in index_texts if t in SHOWN_AS_TEXT])
            failures += found
            for dive in range(1, DIVES + 1):
                texts = [text_of(True, dive, c) for c in LONG_TEXT_COLUMNS]
                texts += [PAYLOADS[0] + " in rich text"] if dive == DIVES else SHOWN_AS_TEXT
                found, state = check_page(driver, f"d{dive}.html", hostile, plain,
                                          [t for t in texts if t in SHOWN_AS_TEXT or "rich" in t])
                failures += found
                if dive < DIVES and state["red"] != "red":
                    failures.append(f"d{dive}.html: the note's kept formatting does not show")
        finally:
            driver.quit()

    return report(failures, f"no payload ran: {len(PAYLOADS)} payloads on {DIVES + 1} pages")


if __name__ == "__main__":
    sys.exit(main())
