#!/usr/bin/env python3
"""Round trip of the UDDF export: each export given is converted with
write-uddf, the file is validated against the published schema with xmllint
and read back with an XML parser, and every dive is compared field by field
with the dive as the import read it. Exports that do not exist are skipped,
so the real dives beside the project are used where they are.

    uddf_round_trip.py WRITE_UDDF SCHEMA EXPORT.csv...
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path

NS = {"u": "http://www.streit.cc/uddf/3.2/"}
BEFORE = "u:informationbeforedive/"
AFTER = "u:informationafterdive/"


def same(value):
    return Decimal(value)


def kelvin(celsius):
    return Decimal(celsius) + Decimal("273.15")


def times_ten_to(power):
    return lambda value: Decimal(value).scaleb(power)


# The export's numbers in UDDF: main-file column, the dive's field, the UDDF
# element (in <dive>), the conversion to its SI unit, and when it is written:
# always (0 when the column is empty), when given, when positive, or when
# positive on a dive whose start pressure is known (UDDF's tank data needs it).
# fmt: off
NUMBERS = [
    # column  field            element                                  unit              written
    (7,  "divetime",      AFTER + "u:diveduration",                  same,             "always"),
    (9,  "maxdepth",      AFTER + "u:greatestdepth",                 same,             "always"),
    (10, "averagedepth",  AFTER + "u:averagedepth",                  same,             "given"),
    (23, "airtemp",       BEFORE + "u:airtemperature",               kelvin,           "given"),
    (30, "tankvolume",    "u:tankdata/u:tankvolume",                 times_ten_to(-3), "tank"),
    (33, "startpressure", "u:tankdata/u:tankpressurebegin",          times_ten_to(5),  "positive"),
    (34, "endpressure",   "u:tankdata/u:tankpressureend",            times_ten_to(5),  "tank"),
    (42, "weight",        BEFORE + "u:equipmentused/u:leadquantity", same,             "given"),
]
# fmt: on


def text(hex_bytes):
    """An export text as the writer must give it: windows-1252, the five
    codes it leaves unused kept as their own value."""
    return "".join(
        chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else bytes([b]).decode("cp1252")
        for b in bytes.fromhex(hex_bytes)
    )


def sample_times(count, interval, dive_time):
    """Each sample's time in seconds: at the export's interval, or spread
    evenly from the start to the dive time when the interval's last sample
    misses the dive time by more than a tenth (None: no time can be given)."""
    steps = max(count - 1, 1)
    span = steps * max(interval, 0)
    if count > 1 and dive_time > 0 and abs(span - dive_time) * 10 > dive_time:
        return [(Decimal(k) * dive_time / steps).quantize(Decimal("0.01"), ROUND_HALF_UP)
                for k in range(count)], True
    return ([Decimal(k * interval) for k in range(count)] if interval > 0 else None), False


def people(dive):
    """The buddy text's names, then the dive master's, each once."""
    names = [name.strip(" ") for f in ("buddy", "divemaster") for name in re.split("[,;]", text(dive[f]))]
    return list(dict.fromkeys(name for name in names if name))


def typed_coordinates(place):
    """Decimal degrees typed as a whole text, the plainest of the forms read."""
    pair = re.fullmatch(r"\s*(-?\d+\.\d+)\s*[,;]?\s*(-?\d+\.\d+)\s*", place)
    return (Decimal(pair.group(1)), Decimal(pair.group(2))) if pair else None


def read_dives(path):
    lines = Path(path).read_text().splitlines()
    names = lines[0].split("\t")
    return [dict(zip(names, line.split("\t"))) for line in lines[1:]]


class Checker:
    def __init__(self, root, spread_named):
        self.root = root
        self.spread_named = spread_named  # dive numbers the history says were spread
        self.ids = {e.get("id"): e for e in root.iter() if e.get("id")}
        self.failures = []

    def expect(self, dive, what, got, wanted):
        if got != wanted:
            self.failures.append(f"dive {dive['number']}: {what}: {got!r}, wanted {wanted!r}")

    def linked(self, element, tag):
        """The definitions of kind tag that the dive element links to."""
        refs = [link.get("ref") for link in element.iter(f"{{{NS['u']}}}link")]
        refs += [m.get("ref") for m in element.iter(f"{{{NS['u']}}}switchmix")]
        found = {ref: self.ids[ref] for ref in refs if self.ids[ref].tag.endswith("}" + tag)}
        return list(found.values())

    def check(self, element, dive):
        def value(path):
            found = element.find(path, NS)
            return None if found is None else Decimal(found.text)

        has_tank_data = dive["startpressure"] != "" and Decimal(dive["startpressure"]) > 0
        for _column, field, path, unit, written in NUMBERS:
            given = dive[field]
            if written == "always":
                wanted = unit(given or "0")
            elif written == "given" or (given and Decimal(given) > 0 and
                                        (written == "positive" or has_tank_data)):
                wanted = unit(given) if given else None
            else:
                wanted = None
            self.expect(dive, field, value(path), wanted)

        number = int(dive["number"])
        self.expect(dive, "number", value(BEFORE + "u:divenumber"),
                    Decimal(number) if number > 0 else None)
        day, month, year = map(int, re.split(r"[./-]", text(dive["date"])))
        hour, minute = map(int, text(dive["time"]).split(":"))
        self.expect(dive, "start", element.findtext(BEFORE + "u:datetime", None, NS),
                    f"{year:04}-{month:02}-{day:02}T{hour:02}:{minute:02}:00")
        surface = int(dive["surface"])
        interval = element.find(BEFORE + "u:surfaceintervalbeforedive", NS)
        self.expect(dive, "surface interval",
                    "infinity" if interval.find("u:infinity", NS) is not None
                    else int(interval.findtext("u:passedtime", None, NS)),
                    "infinity" if surface == 0 else surface)
        self.check_profile(element, dive)
        self.check_shared(element, dive)
        self.check_notes(element, dive)

    def check_profile(self, element, dive):
        profile = text(dive["profile"])
        samples = [Decimal(s) for s in profile.split(",")] if len(profile) >= 2 else []
        waypoints = element.findall("u:samples/u:waypoint", NS)
        times, spread = sample_times(len(samples), int(dive["interval"]),
                                     Decimal(dive["divetime"] or "0"))
        if times is None:
            samples = []
        self.expect(dive, "history names it spread", int(dive["number"]) in self.spread_named,
                    spread)
        got = [(Decimal(w.findtext("u:depth", None, NS)), Decimal(w.findtext("u:divetime", None, NS)))
               for w in waypoints]
        nitrox = dive["oxygen"] not in ("", "0") and Decimal(dive["oxygen"]) != 21
        tank_data = dive["startpressure"] != "" and Decimal(dive["startpressure"]) > 0
        surface = [(Decimal(0), Decimal(0))] if not samples and nitrox and not tank_data else []
        self.expect(dive, "profile", got, list(zip(samples, times)) if samples else surface)
        if waypoints:
            mixes = self.linked(waypoints[0], "mix")
            self.expect(dive, "gas at the start", [m.get("id") for m in mixes],
                        [m.get("id") for m in self.linked(element, "mix")])
        temperatures = {k: Decimal(w.findtext("u:temperature", None, NS))
                        for k, w in enumerate(waypoints) if w.find("u:temperature", NS) is not None}
        bottom, end = dive["bottomtemp"], dive["endtemp"]
        wanted = {}
        if samples:
            if bottom:
                wanted[samples.index(max(samples))] = kelvin(bottom)
            if end:
                wanted[len(samples) - 1] = kelvin(end)
        self.expect(dive, "water temperatures", temperatures, wanted)
        given = [kelvin(t) for t in (bottom, end) if t]
        lowest = element.find(AFTER + "u:lowesttemperature", NS)
        self.expect(dive, "lowest temperature",
                    None if lowest is None else Decimal(lowest.text), min(given, default=None))

    def check_shared(self, element, dive):
        def name(person):
            personal = person.find("u:personal", NS)
            return " ".join(filter(None, (personal.findtext("u:firstname", "", NS),
                                          personal.findtext("u:lastname", "", NS))))

        self.expect(dive, "buddies", [name(p) for p in self.linked(element, "buddy")], people(dive))
        before = element.find("u:informationbeforedive", NS)
        kinds = [self.ids[link.get("ref")].tag.split("}")[1]
                 for link in before.findall("u:link", NS)]
        self.expect(dive, "buddies before the site", kinds, sorted(kinds))
        sites = [(s.findtext("u:name", "", NS), s.findtext("u:geography/u:location", "", NS))
                 for s in self.linked(element, "site")]
        site, location = text(dive["site"]), text(dive["location"])
        self.expect(dive, "site", sites, [(site, location)] if site or location else [])
        for s in self.linked(element, "site"):
            numbers = [s.findtext(f"u:geography/u:{axis}", None, NS)
                       for axis in ("latitude", "longitude")]
            typed = typed_coordinates(site) or typed_coordinates(location)
            if typed or not re.search(r"\d", site + location):
                self.expect(dive, "coordinates",
                            None if numbers == [None, None] else tuple(map(Decimal, numbers)),
                            typed)
        oxygen = dive["oxygen"]
        fraction = Decimal("0.21") if oxygen in ("", "0") or Decimal(oxygen) == 21 else \
            Decimal(oxygen).scaleb(-2)
        # Air needs no link where neither tank data nor a waypoint could hold it.
        unheld = fraction == Decimal("0.21") and not element.findall("u:samples/u:waypoint", NS) \
            and not (dive["startpressure"] and Decimal(dive["startpressure"]) > 0)
        self.expect(dive, "gas", {Decimal(m.findtext("u:o2", None, NS))
                                  for m in self.linked(element, "mix")},
                    set() if unheld else {fraction})
        tanks = [(t.findtext("u:name", "", NS), t.findtext("u:tankvolume", None, NS),
                  t.findtext("u:notes/u:para", None, NS)) for t in self.linked(element, "tank")]
        volume, working = dive["tankvolume"], dive["workingpressure"]
        tank = (text(dive["tankname"]),
                str(Decimal(volume).scaleb(-3)) if volume and Decimal(volume) > 0 else None,
                f"Working pressure: {working} bar" if working and Decimal(working) > 0 else None)
        self.expect(dive, "tank", tanks, [tank] if tank != ("", None, None) else [])
        computers = [(c.findtext("u:name", None, NS), c.findtext("u:model", None, NS),
                      c.findtext("u:serialnumber", "", NS))
                     for c in self.linked(element, "divecomputer")]
        kind, serial = dive["computertype"], text(dive["serial"])
        named = f"SDM computer type {kind}" + (f", serial {serial}" if serial else "")
        self.expect(dive, "computer", computers,
                    [(named, kind, serial)] if (kind, serial) != ("0", "") else [])

    def check_notes(self, element, dive):
        visibility = text(dive["visibility"])
        metres = re.fullmatch(r"\s*(\d+(?:\.\d+)?)\s*[mM]?\s*", visibility)
        self.expect(dive, "visibility", element.findtext(AFTER + "u:visibility", None, NS),
                    str(Decimal(metres.group(1))) if metres else None)
        note = text(dive["note"]).replace("<br>\n\r", "\n")
        lines = [note] if note else []
        for label, field in (("Weather", "weather"), ("Visibility", "visibility"),
                             ("Boat", "boat"), ("Custom", "customs")):
            if dive[field] and not (field == "visibility" and metres):
                lines.append(f"{label}: {text(dive[field])}")
        # One paragraph: importers may keep the first alone.
        self.expect(dive, "notes", [p.text or "" for p in element.findall(AFTER + "u:notes/u:para", NS)],
                    ["\n".join(lines)] if lines else [])


def round_trip(tool, schema, export, scratch):
    uddf, dives_file = scratch / "logbook.uddf", scratch / "dives.tsv"
    history = subprocess.run([tool, export, uddf, dives_file], check=True, capture_output=True,
                             text=True).stdout
    spread_named = {int(m) for m in re.findall(r"^Dive (-?\d+) of .*: its \d+ profile samples spread",
                                               history, re.M)}
    if schema.exists() and shutil.which("xmllint"):
        subprocess.run(["xmllint", "--noout", "--schema", schema, uddf], check=True)
    else:
        print(f"not validated: no {schema} or no xmllint")
    root = ET.parse(uddf).getroot()
    checker = Checker(root, spread_named)
    elements = root.findall("u:profiledata/u:repetitiongroup/u:dive", NS)
    dives = read_dives(dives_file)
    checker.expect({"number": "-"}, "dives", len(elements), len(dives))
    for element, dive in zip(elements, dives):
        checker.check(element, dive)
    for failure in checker.failures:
        print(f"{export}: {failure}")
    print(f"{export}: {len(dives)} dives compared, {len(checker.failures)} differences")
    return not checker.failures


def main():
    tool, schema, exports = sys.argv[1], Path(sys.argv[2]), sys.argv[3:]
    ok = True
    with tempfile.TemporaryDirectory() as scratch:
        for export in exports:
            if not os.path.exists(export):
                print(f"{export}: not there, skipped")
                continue
            ok = round_trip(tool, schema, export, Path(scratch)) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
