#!/usr/bin/env python3
"""Converts a one-dive export through a user's own templates, without a
Content-Security-Policy, that put text tags in every place of a page:
element text, attribute values in double, single and no quotes, addresses,
an event handler, a style attribute and element, a script's strings and code,
a title and a comment. Every text field holds a payload that breaks out of
the place its tag stands in, were it written as it is. In headless Chromium
nothing runs, no element or handler is added, and each text reads as written.

Usage: template_places_in_browser.py --convert PATH
Exit code 77 means skipped (only outside CI, when a tool is missing).
"""

import argparse
import pathlib
import sys
import tempfile
import time

from browser_support import convert, crlf, report, start_browser

# By export column (1-based); written without quotes, as none holds a comma.
FIELDS = {
    13: ("diverid", "--><img src=x onerror=window.x=9></title><script>window.x=10</script>"),
    19: ("location", "javascript:window.x=6"),
    20: ("site", "red;background:url(javascript:window.x=7)"),
    21: ("weather", "';window.x=4;//`${window.x=11}"),
    22: ("visibility", 'a"+(window.x=5)+"'),
    26: ("buddy", 'x" onerror="window.x=1'),
    27: ("dm", "x' onmouseover='window.x=2"),
    28: ("boat", "x onmouseover=window.x=3"),
    29: ("tankname", "red}</style><script>window.x=8</script>"),
}
TEXT = {name: text for name, text in FIELDS.values()}

NOTE = [
    "<!DOCTYPE html>",
    '<html><head><meta charset="windows-1252"><title>@diverid@</title>',
    "<style>p.s{color:@tankname@}</style></head>",
    "<body>",
    '<img id="alt" alt="@buddy@" src="missing.gif">',
    '<p id="dq" title="@buddy@">1</p>',
    "<p id=\"sq\" title='@dm@'>2</p>",
    '<p id="uq" title=@boat@>3</p>',
    '<a id="link" href="@location@">4</a><iframe id="frame" src="@location@"></iframe>',
    '<p id="css" style="color:@site@">5</p>',
    "<b id=\"h\" onclick=\"window.t='@weather@'\">6</b>",
    "<!--@diverid@-->",
    "<script>var single='@weather@';",
    'var double="@visibility@"; var code=@buddy@; var back=`@weather@`;</script>',
    "</body></html>",
]
# Every element the note page's template has, by tag.
ELEMENTS = {"HTML": 1, "HEAD": 1, "META": 1, "TITLE": 1, "STYLE": 1, "BODY": 1, "IMG": 1, "P": 4,
            "A": 1, "IFRAME": 1, "B": 1, "SCRIPT": 1}

PAGE_STATE = """
document.getElementById('h').click();
const counts = {}, handlers = [];
for (const e of document.getElementsByTagName('*')) {
  counts[e.tagName] = (counts[e.tagName] || 0) + 1;
  for (const a of e.attributes) if (/^on/i.test(a.name)) handlers.push(e.tagName + ' ' + a.name);
}
const at = id => document.getElementById(id);
return {ran: window.x === undefined ? null : window.x, counts, handlers,
        clicked: window.t, single: window.single, double: window.double, code: window.code,
        back: window.back, alt: at('alt').alt, dq: at('dq').title, sq: at('sq').title,
        uq: at('uq').title, href: at('link').getAttribute('href'),
        frame: at('frame').getAttribute('src'), title: document.title,
        background: getComputedStyle(at('css')).backgroundImage};
"""

SAFE_ADDRESS = "about:invalid#quellmar"
EXPECTED = {
    "ran": None, "counts": ELEMENTS, "handlers": ["B onclick"],
    "clicked": TEXT["weather"], "single": TEXT["weather"], "back": TEXT["weather"],
    "double": TEXT["visibility"], "code": TEXT["buddy"], "alt": TEXT["buddy"], "dq": TEXT["buddy"],
    "sq": TEXT["dm"], "uq": TEXT["boat"], "href": SAFE_ADDRESS, "frame": SAFE_ADDRESS,
    "title": TEXT["diverid"], "background": "none",
}


def write_export(folder):
    folder.mkdir(parents=True)
    columns = [""] * 45
    columns[0], columns[1], columns[2], columns[3] = "101", "1", "01.06.2024", "09:30"
    columns[6], columns[8] = "2700", "20"
    for column, (_, text) in FIELDS.items():
        assert "," not in text and not text.startswith('"')
        columns[column - 1] = text
    for name, lines in (("log.csv", [",".join(columns)]), ("log$DGE.CSV", []),
                        ("log$NOT.CSV", []), ("log$PRO.CSV", [])):
        (folder / name).write_bytes(crlf(lines))
    return folder / "log.csv"


def write_templates(run_dir):
    """A program folder of the user's own templates (and no icons)."""
    html = run_dir / "html"
    html.mkdir(parents=True)
    (run_dir / "pict").mkdir()
    for name, lines in (("head.html", ["<!DOCTYPE html><html><body>"]),
                        ("lines.html", ["<p>@site@<!--@subpage@--></p>"]),
                        ("foot.html", ["</body></html>"]), ("note.html", NOTE)):
        (html / name).write_bytes(crlf(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True, type=pathlib.Path)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="quellmar-places-") as temp_name:
        temp = pathlib.Path(temp_name)
        write_templates(temp / "own")
        output = convert(args.convert.resolve(), temp / "own", temp / "program",
                         write_export(temp / "export"))
        driver = start_browser(temp)
        try:
            driver.get((output / "d1.html").as_uri())
            time.sleep(1)  # a failed picture fires its handler after the load
            state = driver.execute_script(PAGE_STATE)
        finally:
            driver.quit()

    failures = [f"{key}: {state.get(key)!r}, expected {want!r}"
                for key, want in EXPECTED.items() if state.get(key) != want]
    return report(failures, f"nothing ran and all {len(FIELDS)} texts read as written in every place")


if __name__ == "__main__":
    sys.exit(main())
