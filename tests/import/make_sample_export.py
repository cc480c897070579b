#!/usr/bin/env python3
"""Writes the bundled sample export examples/logbook.csv and its three
companions: 24 made-up dives of one diver on five trips, with realistic
depth profiles. Run from the project root; the files are committed, so run
it again only to change the sample, then update the sample's tests."""

import math
import random

random.seed(20240607)

# (trip location, date separator, sites, water temperature, air temperature,
#  boat, guide, tank name, litres, working pressure)
TRIPS = [
    ("Hurghada, Egypt", "/", ["Careless Reef", "Giftun Kebir", "El Mina Wreck",
                             "Abu Ramada", "Erg Somaya", "Small Giftun"],
     25, 31, "Lady Nada", "Ahmed", "AL80", 11, 207),
    ("Gozo, Malta", "/", ["Inland Sea", "Reqqa Point", "Xatt l-Ahmar", "MV Karwela",
                         "Wied il-Mielah", "Blue Hole"],
     19, 26, "", "Mar\xeda", "S12", 12, 232),
    ("Tenerife, Espa\xf1a", "/", ["Las Eras", "Radazul", "Punta de Teno", "El Puertito",
                                 "Roca de Abades"],
     21, 24, "Barracuda", "Mar\xeda", "S15", 15, 200),
    ("Attersee, \xd6sterreich", ".", ["Schwarze Br\xfccke", "Ofenloch", "Kohlbauernaufstieg", "Steinbach"],
     8, 18, "", "", "D7", 14, 232),
    ("Vis, Hrvatska", ".", ["Teti wreck", "Brusnik", "Modra spilja"],
     22, 29, "Nautica", "Ivo", "S12", 12, 232),
]

BUDDIES = ["J\xf6rg", "Anna", "J\xf6rg", "Tom", "Ren\xe9e"]


def depth_text(value):
    text = "%.2f" % value
    text = text.rstrip("0").rstrip(".")
    return text if text else "0"


def profile(duration_s, rate, maxdepth):
    """Depths every rate seconds: descent, a bottom phase drifting up,
    ascent, a safety stop at 3 to 5 metres, surface."""
    samples = duration_s // rate + 1
    t_end = duration_s
    descent = maxdepth / 15.0 * 60  # 15 m per minute
    stop_depth = random.choice([3.0, 4.0, 5.0])
    stop_time = 180
    ascent_from_stop = stop_depth / 6.0 * 60
    stop_end = t_end - ascent_from_stop
    stop_start = stop_end - stop_time
    # The bottom phase climbs slowly from maxdepth towards a shallower reef.
    reef = max(stop_depth + 3, maxdepth * random.uniform(0.35, 0.6))
    ascent_start = stop_start - (reef - stop_depth) / 9.0 * 60
    depths = []
    for n in range(samples):
        t = n * rate
        if n == samples - 1:
            depth = 0.0
        elif t <= descent:
            depth = maxdepth * t / descent
        elif t <= ascent_start:
            frac = (t - descent) / max(1.0, ascent_start - descent)
            base = maxdepth - (maxdepth - reef) * (frac ** 0.8)
            depth = base + math.sin(t / 97.0) * 0.6 + random.uniform(-0.3, 0.3)
            depth = min(depth, maxdepth)
        elif t <= stop_start:
            frac = (t - ascent_start) / max(1.0, stop_start - ascent_start)
            depth = reef - (reef - stop_depth) * frac
        elif t <= stop_end:
            depth = stop_depth + random.uniform(-0.3, 0.3)
        else:
            depth = stop_depth * (t_end - t) / ascent_from_stop
        depths.append(max(0.0, depth))
    # The deepest sample is the dive's maximum depth.
    deepest = max(range(len(depths)), key=lambda i: depths[i])
    depths[deepest] = maxdepth
    return depths


def q(text):
    return '"' + text + '"'


dives = []
number = 0
key = 3000
for trip_index, (location, sep, sites, water, air, boat, guide, tank, litres, wp) in \
        enumerate(TRIPS):
    year = 2019 + trip_index // 2
    month = [4, 9, 6, 8, 7][trip_index]
    day = random.randint(2, 18)
    for series, site in enumerate(sites, start=1):
        number += 1
        key += random.randint(1, 4)
        if series > 1 and series % 2 == 1:
            day += 1
        hour = 9 if series % 2 else 14
        minute = random.choice([5, 12, 20, 34, 41, 48])
        minutes = random.randint(30, 60)
        rate = 20 if trip_index % 2 == 0 else 10
        duration = minutes * 60 + random.choice([0, 20, 40]) if rate == 20 else \
            minutes * 60 + random.choice([0, 10, 30, 50])
        maxdepth = round(random.uniform(12, 38 if trip_index != 3 else 30), 1)
        if number == 11:
            maxdepth = 37.8
        depths = profile(duration, rate, maxdepth)
        avdepth = sum(depths) / len(depths)
        o2 = [21, 32, 36, 21, 32][trip_index] if series % 3 else 21
        startp = random.choice([200, 205, 210]) if wp < 220 else random.choice([220, 225, 230])
        sac = random.uniform(12.5, 19.5)
        used = sac * (minutes) * (avdepth / 10 + 1) / litres
        endp = max(40, int(startp - used))
        sac = (startp - endp) * litres / (duration / 60.0) / (avdepth / 10 + 1)
        no_pressure = number == 20  # a dive logged without tank pressures
        date = "%02d%s%02d%s%d" % (day, sep, month, sep, year)
        dives.append(dict(
            key=key, number=number, date=date, time="%02d:%02d" % (hour, minute),
            series=trip_index + 1, diveseries=series, divetime=duration,
            surface=0 if series == 1 else random.randint(3600, 5 * 3600),
            maxdepth=maxdepth, avdepth=avdepth, rate=rate, location=location, site=site,
            weather=random.choice(["sunny", "cloudy, windy", "sunny, calm", "overcast"]),
            visibility=random.choice(["10 m", "15 m", "20 m", "25 m", "30 m"]),
            air=air + random.randint(-2, 2), water=water, end=water + random.randint(0, 1),
            buddy=BUDDIES[trip_index], guide=guide, boat=boat, tank=tank, litres=litres,
            wp=wp, startp=None if no_pressure else startp, endp=None if no_pressure else endp,
            sac=None if no_pressure else sac, o2=o2, depths=depths,
            weight=[4, 8, 6, 12, 7][trip_index]))

NOTES = {
    1: ["First dive of the week, checkout dive.", "Napoleon wrasse at the  reef top."],
    2: ["Drift along the north side, strong current."],
    3: ["Wreck penetration with the guide:  engine room and bridge."],
    5: ["Dolphins on the surface  before the dive!", "Quiet dive, two turtles.",
        "Nitrox 32, 1.4 bar ppO2 limit kept."],
    7: ["Through the tunnel of the Inland Sea into the open, "
        "the light at the exit is a sight to remember, blue as ink, "
        "with a wall that falls to sixty metres and groupers hiding in every crack. "
        "Back through the tunnel at the end, torch needed inside, "
        "boats pass overhead so stay low, and mind the current at the mouth "
        "when the wind blows from the north; today it was calm and the fish were everywhere."],
    10: ["Octopus under the  Azure Window rubble."],
    12: ["Blue Hole and the arch, J\xf6rg's last dive of the trip."],
    13: ["Angel sharks on the sand, three of them."],
    16: ["Stingrays at  the sand patch."],
    18: ["Cold!  Thermocline at 12 m, 9 degrees below."],
    19: ["Night dive, crayfish and burbot."],
    20: ["Pressure gauge lost, no tank pressures logged.", "Lake dive, visibility poor."],
    22: ["Teti wreck, conger in the  bow."],
    24: ["Blue Cave at  noon: the light, the light."],
}


def note_lines(number):
    lines = []
    for text in NOTES.get(number, []):
        # The export cuts a long note into pieces of 254 characters.
        while len(text) > 254:
            lines.append(text[:254])
            text = text[254:]
        lines.append(text)
    return lines


def num(value):
    return "" if value is None else depth_text(value)


main_lines = []
for d in dives:
    cols = [
        str(d["key"]), str(d["number"]), q(d["date"]), q(d["time"]), str(d["series"]),
        str(d["diveseries"]), str(d["divetime"]), str(d["surface"]), depth_text(d["maxdepth"]),
        "%.3f" % d["avdepth"], "12", q("51200117"), q(""), str(d["rate"]), "0", "0", "0", "0",
        q(d["location"]), q(d["site"]), q(d["weather"]), q(d["visibility"]), str(d["air"]),
        str(d["water"]), str(d["end"]), q(d["buddy"]), q(d["guide"]), q(d["boat"]), q(d["tank"]),
        str(d["litres"]), "1", str(d["wp"]), num(d["startp"]), num(d["endp"]),
        "%.2f" % d["sac"] if d["sac"] is not None else "0", "1",
        q("boat" if d["boat"] else "shore"), q("nitrox" if d["o2"] != 21 else ""),
        q(""), q("night" if d["number"] == 19 else ""), q(""),
        str(d["weight"]), str(d["o2"]), "0", "1" if d["o2"] != 21 else "0",
    ]
    assert len(cols) == 45
    main_lines.append(",".join(cols))

# Dives out of number order, as an export sorted by another column gives them.
order = list(range(len(main_lines)))
random.shuffle(order)


def write(name, lines):
    with open("examples/" + name, "wb") as f:
        for line in lines:
            f.write(line.encode("latin-1") + b"\r\n")


write("logbook.csv", [main_lines[i] for i in order])
write("logbook$DGE.CSV", ['%d,"%s"' % (d["key"], ["wet, 5mm", "wet, 7mm, hood", "wet, 5mm",
                                                  "dry, undersuit", "wet, 3mm"][d["series"] - 1])
                          for d in dives])
write("logbook$NOT.CSV", ['%d,"%s"' % (d["key"], line) for d in dives
                          for line in note_lines(d["number"])])
write("logbook$PRO.CSV", ["%d,%d,%s" % (d["key"], n, depth_text(x)) for d in dives
                          for n, x in enumerate(d["depths"])])

total = sum(d["divetime"] for d in dives)
sacs = [int(d["sac"]) + (1 if (int(d["sac"] * 100) % 100) > 49 else 0)
        for d in dives if d["sac"] is not None]
print("dives", len(dives), "total", total, "average", total // len(dives),
      "sac", sum(s for s in sacs if s >= 1) // len([s for s in sacs if s >= 1]),
      "deepest", max(round(d["maxdepth"] + 0.0) for d in dives))
