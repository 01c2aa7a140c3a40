#!/usr/bin/env python3
"""Checks the figures in the golden files against a calculation of its own.

Written from the model's definitions (the directivity, the two lattice sums,
the spacing search, the count, the power taps; the coverage map as a plain sum
of g^2 over every loudspeaker of the room at every sample point; the line and
cable formulas), without the program's code. Run it from anywhere:

    python3 tests/data/check_goldens.py

It prints one line per golden and exits non-zero when a figure differs by
more than its last shown digit. See README.md for what each golden holds and
how it was checked.
"""
import json
import math
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
PI5 = 3.14159  # the model's angle constant
failures = []


# --- the acoustic model --------------------------------------------------------
def g(theta, th):
    a = th * 180 / PI5
    c = min(0.5, 0.2804 * math.log(a) - 0.7323)
    r = (0.5 - c) / (1 - c)
    x = (theta / th) ** 2
    return (c + (1 - c) * (r ** x if r > 0 or x > 0 else 1.0)) * math.cos(theta)


def contribution(i, j, step, h, th):
    return g(math.atan(math.hypot(i, j) * step / h), th) ** 2


def below(d, h, th):
    classes = [(1, 0, 4), (1, 1, 4), (2, 0, 4), (2, 1, 8), (2, 2, 4), (3, 0, 4), (3, 1, 8),
               (3, 2, 8), (3, 3, 4)]
    return 1 + sum(n * contribution(i, j, d, h, th) for i, j, n in classes)


def between(d, h, th):
    classes = [(1, 1, 4), (3, 1, 8), (3, 3, 4), (5, 1, 8), (5, 3, 8), (5, 5, 4)]
    return sum(n * contribution(i, j, d / 2, h, th) for i, j, n in classes)


def lattice_sum(d, h, th, point):
    """Every loudspeaker of the offset lattice d (i + j/2, j sqrt(3)/2) within 3.5 d of point."""
    total = 0.0
    for j in range(-6, 7):
        for i in range(-8, 9):
            x, y = d * (i + j / 2), d * j * math.sqrt(3) / 2
            r = math.hypot(x - point[0] * d, y - point[1] * d)
            if r <= 3.5 * abs(d):
                total += g(math.atan(r / h), th) ** 2
    return total


def below_offset(d, h, th):
    return lattice_sum(d, h, th, (0, 0))


def centre_offset(d, h, th):
    return lattice_sum(d, h, th, (0.5, math.sqrt(3) / 6))


def solve(target, h, th, sums=None):
    below_, between_ = sums or (below, between)
    d = 2 * h * math.tan(th)
    step = d / 2
    err = prev = 0.5
    count = 0
    while abs(err) > 0.001 and count < 100:
        count += 1
        if (err > 0 and prev > 0) or (err < 0 and prev < 0):
            d += step
        elif err * prev < 0:
            step = -step / 2
            d += step
        prev = err
        err = between_(d, h, th) / below_(d, h, th) - target
    solve.evaluations = count
    return d if count < 100 else 0.0


def half_even(x):
    return int(round(x))  # Python rounds halves to even


def count_of(length, width, d):
    if d <= 0:
        return 0, 0
    return max(1, half_even(length / d)), max(1, half_even(width / d))


def design(length, width, height, ear, angle1, angle4, sens, rated, tap=1, volts=100, diff=6.0,
           offset=False, keep=False):
    h = height - ear
    th4 = angle4 * PI5 / 360
    th1 = angle1 * PI5 / 360
    sums = (below_offset, centre_offset) if offset else (below, between)
    d = solve(10 ** (-diff / 10), h, th4, sums)
    evaluations = solve.evaluations
    u, b = sums[0](d, h, th1), sums[1](d, h, th1)
    split = (lambda side, step: max(1, math.ceil(side / step - 1e-9))) if keep else (
        lambda side, step: max(1, half_even(side / step)))
    nl, nw = count_of(length, width, d)
    if keep:
        nl, nw = split(length, d), split(width, d)
    count = nl * nw
    if offset:
        nw = split(width, d * math.sqrt(3) / 2)
        count = nl * nw - (nw // 2 if nl > 1 else 0)
    power = volts * (rated / tap) * volts / 10000
    return {"d": d, "h": h, "th1": th1, "th4": th4, "nl": nl, "nw": nw, "n": count, "u": u, "b": b,
            "evaluations": evaluations,
            "diff1": 10 * math.log10(u / b), "power": power, "sens": sens,
            "level": sens + 10 * math.log10(power) - 20 * math.log10(h) + 10 * math.log10(u),
            "length": length, "width": width, "volts": volts, "rated": rated}


# --- the coverage map ------------------------------------------------------------
def positions(des, offset):
    sx, sy = des["length"] / des["nl"], des["width"] / des["nw"]
    for j in range(des["nw"]):
        shifted = offset and des["nl"] > 1 and j % 2 == 1
        for i in range(des["nl"] - (1 if shifted else 0)):
            yield ((i + 1) * sx if shifted else (i + 0.5) * sx), (j + 0.5) * sy


def coverage(des, samples=0, margin=0.0, offset=False, diff=6.0):
    nl, nw = des["nl"], des["nw"]
    if samples == 0:
        samples = next(m for m in range(2, 65, 2) if max(nl, nw) * m >= 200 or m == 64)
    sx, sy = des["length"] / nl, des["width"] / nw
    xs = [k * sx / samples for k in range(nl * samples + 1)]
    ys = [k * sy / samples for k in range(nw * samples + 1)]
    speakers = list(positions(des, offset))
    eps = 1e-9
    points = [(x, y) for y in ys for x in xs
              if min(x, y, des["length"] - x, des["width"] - y) >= margin - eps]
    out = {}
    for band, th in (("1k", des["th1"]), ("4k", des["th4"])):
        levels = [10 * math.log10(sum(g(math.atan(math.hypot(px - x, py - y) / des["h"]), th) ** 2
                                      for px, py in speakers)) for x, y in points]
        top, low = max(levels), min(levels)
        share = lambda db: sum(1 for v in levels if top - v <= db + 1e-12) / len(levels)
        out[band + " levels"] = levels
        out[band] = {"max": top, "min": low, "spread": top - low, "within set": share(diff),
                     "within 1": share(1), "within 2": share(2), "within 3": share(3)}
    return out


# --- the system figures ------------------------------------------------------------
SECTIONS = {"0.75": 0.75, "1": 1.0, "1.5": 1.5, "2.5": 2.5, "4": 4.0, "6": 6.0,
            "18AWG": 0.823, "16AWG": 1.31, "14AWG": 2.08, "12AWG": 3.31, "10AWG": 5.26}


def cable(volts, load, length, area, spread, limit, awg=False):
    z = volts ** 2 / load
    loop = 2 * length / (56 * area)
    r = loop / 2 if spread else loop
    drop = 20 * math.log10((z + r) / z)
    lost = volts ** 2 * r / (z + r) ** 2
    allowed = z * (10 ** (limit / 20) - 1)
    longest = allowed * 56 * area / 2 * (2 if spread else 1)
    # the smallest of the same kind (metric or AWG) as the one given
    family = [(name, a) for name, a in SECTIONS.items() if name.endswith("AWG") == awg]
    smallest = next((name for name, a in sorted(family, key=lambda s: s[1])
                     if 20 * math.log10((z + (1 if not spread else 0.5) * 2 * length / (56 * a)) / z)
                     <= limit), "")
    state = "green" if drop < 0.4 else ("amber" if drop <= limit else "red")
    return {"loop resistance": loop, "drop": drop, "lost": lost, "longest run": longest,
            "smallest cross-section": smallest, "cable state": state}


def system(des, quietest_rel, ambient=None, above=15, amplifier=None, length=None,
           section="1.5", spread=False, limit=0.5):
    n, p, v = des["n"], des["power"], des["volts"]
    total = n * p
    out = {"speakers": n, "speaker power": p, "total load": total, "minimum amplifier": 1.2 * total,
           "line voltage": v, "impedance": v * v / total, "current": total / v}
    if amplifier:
        load = total / amplifier
        out.update({"amplifier rating": amplifier, "amplifier load": load,
                    "amplifier state": "fine" if load < 0.8 else ("tight" if load <= 1 else
                                                                  "overloaded")})
    drop_at = lambda power, volts: 0.0
    if length:
        out.update(cable(v, total, length, SECTIONS[section], spread, limit, section.endswith("AWG")))
        drop_at = lambda power, volts: cable(volts, n * power, length, SECTIONS[section], spread,
                                             limit)["drop"]
    if ambient is not None:
        offset = des["sens"] + 10 * math.log10(p) - 20 * math.log10(des["h"])
        quietest = offset + quietest_rel - drop_at(p, v)
        required = ambient + above
        out.update({"required": required, "quietest": quietest,
                    "level": "met" if quietest >= required else
                    "short by %.1f" % (required - quietest)})
        taps = []
        for volts in (100, 70, 50):
            for q in (1, 2, 4):
                power = volts * (des["rated"] / q) * volts / 10000
                here = (des["sens"] + 10 * math.log10(power) - 20 * math.log10(des["h"]) +
                        quietest_rel - drop_at(power, volts))
                taps.append((power, -volts, q, volts, here))
        ok = sorted(t for t in taps if t[4] >= required)
        if ok:
            power, _, q, volts, here = ok[0]
            out.update({"advice": "1/%d P on %d V" % (q, volts), "advised speaker power": power,
                        "advised quietest": here})
        else:
            best = max(taps, key=lambda t: t[4])
            out.update({"advised speaker power": best[0], "advised quietest": best[4]})
    return out


# --- speech -----------------------------------------------------------------------
def speech(des, height, reverberation, ambient, margin, samples, target):
    volume = des["length"] * des["width"] * height
    surface = 2 * (des["length"] * des["width"] + (des["length"] + des["width"]) * height)
    alpha = 0.161 * volume / (surface * reverberation)
    rc = surface * alpha / (1 - alpha)
    q = 2 / (1 - math.cos(min(des["th1"], math.pi)))
    lw = des["sens"] + 10 * math.log10(des["power"]) + 11 - 10 * math.log10(q)
    lr = 10 * math.log10(des["n"]) + lw + 10 * math.log10(4 / rc)
    offset = des["sens"] + 10 * math.log10(des["power"]) - 20 * math.log10(des["h"])
    levels = coverage(des, samples, margin)["1k levels"]
    r, n = 10 ** (lr / 10), 10 ** (ambient / 10)
    stis = []
    for level in levels:
        d = 10 ** ((offset + level) / 10)
        total = 0
        for f in (0.63, 0.8, 1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8, 10, 12.5):
            x = 2 * math.pi * f * reverberation / 13.8
            m = math.hypot(d + r / (1 + x * x), r * x / (1 + x * x)) / (d + r + n)
            snr = 15 if m >= 1 else max(-15, min(15, 10 * math.log10(m / (1 - m))))
            total += (snr + 15) / 30
        stis.append(total / 14)
    return {"absorption": alpha, "room constant": rc, "q": q, "power level": lw,
            "reverberant level": lr, "critical distance": math.sqrt(q * rc / (16 * math.pi)),
            "sti mean": sum(stis) / len(stis), "sti min": min(stis), "sti max": max(stis),
            "share at target": sum(1 for v in stis if v >= target) / len(stis),
            "speech": "met" if sum(stis) / len(stis) >= target else "short"}


# --- comparing ----------------------------------------------------------------------
def agree(name, key, shown, value):
    text = shown.strip().replace(",", ".")
    if isinstance(value, str):
        if shown.strip() != value:
            failures.append("%s: %s is %r, computed %r" % (name, key, shown, value))
        return
    try:
        figure = float(text)
    except ValueError:
        if text != str(value):
            failures.append("%s: %s is %r, computed %r" % (name, key, shown, value))
        return
    decimals = len(text.split(".")[1]) if "." in text else 0
    # within the last shown digit (a half of it, plus room for a tie)
    if abs(figure - value) > 0.5 * 10 ** -decimals + 1e-9:
        failures.append("%s: %s is %s, computed %.6f" % (name, key, shown, value))


def agree_exactly(name, key, shown, values):
    if len(shown) != len(values):
        failures.append("%s: %s has %d values, computed %d" % (name, key, len(shown), len(values)))
        return
    worst = max(abs(a - b) / max(1.0, abs(b)) for a, b in zip(shown, values))
    if worst > 1e-9:
        failures.append("%s: %s off by %g" % (name, key, worst))


def lines(path):
    return dict(line.split(": ", 1) for line in path.read_text("utf-8").splitlines() if ": " in line)


def check_plain(name, computed):
    shown = lines(HERE / "cli" / name)
    for key, value in shown.items():
        if key in computed:
            agree(name, key, value, computed[key])
    missing = [k for k in computed if k not in shown]
    return len(shown), missing


def flatten_plan(des, cov):
    out = {"columns": des["nl"], "rows": des["nw"], "spacing x": des["length"] / des["nl"],
           "spacing y": des["width"] / des["nw"], "wall x": des["length"] / des["nl"] / 2,
           "wall y": des["width"] / des["nw"] / 2}
    for band, figures in cov.items():
        if band.endswith("levels"):
            continue
        for key, value in figures.items():
            out["%s %s" % (band, key)] = value
    return out


def main():
    hall = dict(length=20, width=10, height=4, ear=1.5, angle1=90, angle4=60, sens=90, rated=6)
    des = design(**hall)
    # The worked example of the calculation run: 3.6084 m, 18, 92 dB, 2.9 dB.
    agree("model", "spacing", "3.6084", des["d"])
    agree("model", "level", "92", des["level"])
    agree("model", "difference", "2.9", des["diff1"])
    assert des["n"] == 18

    # The offset lattice's worked example and test_sound's reference figures.
    offset = design(**hall, offset=True)
    for key, shown in (("d", "4.1497008214289304"), ("evaluations", "5"), ("n", "14"),
                       ("u", "1.5135156303655788"), ("b", "0.7944900582388339"),
                       ("level", "91.622581433975512"), ("diff1", "2.7989844327528801")):
        agree("offset rows (test_sound)", key, shown, offset[key])
    # test_calculation's rows of the window: distance, 1 kHz difference, count, level.
    for options, shown in (({}, "4.1|2.8|14|92"), ({"diff": 7.0, "keep": True}, "4.1|3.6|15|92"),
                           ({"diff": 7.0}, "4.7|3.6|7|91"),
                           ({"diff": 7.0, "keep": True}, "4.7|3.6|14|91")):
        room = design(**hall, offset=shown.startswith("4.7") or not options, **options)
        for key, value in zip(("d", "diff1", "n", "level"), shown.split("|")):
            agree("test_calculation %s" % shown, key, value, room[key])
    meeting = design(8, 6, 2.8, 1.2, 140, 80, 88, 1.5)
    for key, shown in (("d", "3.2934621082265991"), ("evaluations", "11"),
                       ("u", "1.5822932767134192"), ("b", "0.75417503312611422"),
                       ("level", "87.671382764792952"), ("diff1", "3.2181483169454834")):
        agree("meeting room (test_sound)", key, shown, meeting[key])

    plans = {"plan-default.txt": {}, "plan-margin.txt": {"margin": 1, "samples": 4},
             "plan-dutch.txt": {"margin": 0.5}, "plan-offset.txt": {"offset": True}}
    for name, options in plans.items():
        d = design(**hall, offset=True) if options.get("offset") else des
        check_plain(name, flatten_plan(d, coverage(d, **options)))
    one = design(**dict(hall, length=3, width=2))
    check_plain("plan-one.txt", flatten_plan(one, coverage(one)))

    # The anchors of test_plan's map test: the 4 kHz level at (0, 0) and
    # (L, W) of the square grid and of the grids offset rows give these rooms.
    corners = {(20, 10, 6, 3, False): (-9.8257149735284, -9.8257149735284),
               (20, 10, 5, 3): (-11.2108241142103, -11.2108241142103),
               (20, 14, 5, 4): (-11.1070325583203, -12.8305160479133),
               (3, 14, 1, 4): (-11.5831793307509, -11.5831793307509),
               (20, 3, 5, 1): (-12.4439937313177, -12.4439937313177)}
    for (length, width, nl, nw, *square), expected in corners.items():
        room = dict(des, length=length, width=width, nl=nl, nw=nw)
        speakers = list(positions(room, not square))
        for (x, y), level in zip(((0, 0), (length, width)), expected):
            value = 10 * math.log10(sum(g(math.atan(math.hypot(px - x, py - y) / des["h"]),
                                          des["th4"]) ** 2 for px, py in speakers))
            agree("test_plan corners", str((length, width, x, y)), "%.13f" % level, value)

    quiet = coverage(des)["1k"]["min"]  # the quietest point, margin 0, default samples
    systems = {"system-none": {}, "system-cable": {"amplifier": 120, "length": 50},
               "system-ambient": {"ambient": 55, "above": 10},
               "system-all": {"amplifier": 120, "length": 50, "ambient": 55},
               "system-short": {"ambient": 100}}
    for name, options in systems.items():
        check_plain(name + ".txt", system(des, quiet, **options))
    awg = design(**hall, volts=70)
    check_plain("system-awg.txt", system(awg, quiet, length=50, section="14AWG", spread=True))
    for name in systems:
        data = json.loads((HERE / "cli" / (name + ".json")).read_text())
        agree(name + ".json", "total", str(data["load"]["total"]), des["n"] * des["power"])

    # The JSON goldens hold every figure unrounded: within 1e-9.
    margin = coverage(des, samples=4, margin=1)
    every = coverage(des, samples=4)  # the map holds every point, the figures the area's
    data = json.loads((HERE / "cli" / "plan-margin.json").read_text())["coverage"]
    for band in ("1k", "4k"):
        shown = data["bands"][band]
        agree_exactly("plan-margin.json", band + " levels",
                      [v for row in shown["level"] for v in row], every[band + " levels"])
        for key, name in (("max", "max"), ("min", "min"), ("within set", "withinSet"),
                          ("within 1", "within1"), ("within 3", "within3")):
            agree_exactly("plan-margin.json", band + " " + key, [shown[name]], [margin[band][key]])
    names = {"total load": ("load", "total"), "minimum amplifier": ("amplifier", "minimum"),
             "impedance": ("line", "impedance"), "current": ("line", "current"),
             "loop resistance": ("cable", "loopResistance"), "drop": ("cable", "drop"),
             "lost": ("cable", "lost"), "longest run": ("cable", "longestRun"),
             "quietest": ("level", "quietest"), "advised quietest": ("advice", "quietest")}
    for name, options in systems.items():
        data = json.loads((HERE / "cli" / (name + ".json")).read_text())
        computed = system(des, quiet, **options)
        for key, (group, field) in names.items():
            if key in computed and data.get(group):
                agree_exactly(name + ".json", key, [data[group][field]], [computed[key]])

    # Speech: the room, the loudspeakers' reverberant field and the STI at
    # every point of the listener area, for the two goldens.
    for name, margin_m, samples, target in (("speech-example", 0, 0, 0.5),
                                            ("speech-margin", 1, 4, 0.565)):
        figures = speech(des, 4, 1.2, 55, margin_m, samples, target)
        check_plain(name + ".txt", figures)

    # A project kvx-cli calculated and saved: its results as the model gives them.
    hall_kvx = design(15.5, 9, 3.5, 1.2, 120, 80, 88.5, 10, 4, 50, 4.5)
    stored = (HERE / "cli" / "hall.kvx").read_text("latin-1").splitlines()[-1].replace('"', "")
    for key, shown in zip(("d", "n", "diff1", "diff4", "level"), stored.split(",")):
        if key != "diff4":
            agree("cli/hall.kvx", key, shown, hall_kvx[key])

    # The hand building: each room's spacing, count, level and load, each
    # zone's load, line and home run (the rooms' cable paths and the STI are
    # left to test_building_figures' own reference figures).
    text = (HERE / "cli" / "building-hand.txt").read_text("utf-8")
    rooms = {"Classroom": (design(9, 7.2, 3, 1.2, 90, 60, 90, 6, 2), 3),
             "Hall": (design(20, 10, 4, 1.5, 120, 80, 88.5, 10, 1, 70, offset=True), 1),
             "Office": (design(6, 4, 2.8, 1.2, 90, 60, 90, 6, 4), 2)}
    for name, (room, quantity) in rooms.items():
        found = re.search(r'"%s": spacing ([\d.]+) m, (\d+) × (\d+), (\d+) dB' % name, text)
        agree("building-hand.txt", name + " quantity", found.group(3), quantity)
        agree("building-hand.txt", name + " spacing", found.group(1), room["d"])
        agree("building-hand.txt", name + " count", found.group(2), room["n"])
        agree("building-hand.txt", name + " level", found.group(4), room["level"])
    zones = {"Ground floor": (100, [("Classroom", 3)], 120, 80, 1.5, False),
             "First floor": (70, [("Hall", 1)], 25, 50, 2.5, True),
             "No zone": (100, [("Office", 2)], None, None, None, False)}
    for name, (volts, members, amplifier, length, area, spread) in zones.items():
        n = sum(rooms[r][0]["n"] * q for r, q in members)
        load = sum(rooms[r][0]["n"] * rooms[r][0]["power"] * q for r, q in members)
        line = re.search(r'zone "%s".*' % name, text).group(0)
        agree("building-hand.txt", name + " loudspeakers",
              re.search(r"loudspeakers (\d+)", line).group(1), n)
        agree("building-hand.txt", name + " load", re.search(r"load ([\d.]+) W", line).group(1),
              load)
        agree("building-hand.txt", name + " minimum",
              re.search(r"minimum amplifier ([\d.]+)", line).group(1), 1.2 * load)
        if amplifier:
            agree("building-hand.txt", name + " amplifier load",
                  re.search(r"load (\d+) %", line).group(1), 100 * load / amplifier)
            figures = cable(volts, load, length, area, spread, 0.5)
            agree("building-hand.txt", name + " home run",
                  re.search(r"home run ([\d.]+)", line).group(1), figures["loop resistance"])
            agree("building-hand.txt", name + " drop", re.search(r"drop ([\d.]+)", line).group(1),
                  figures["drop"])

    # The reports print the fields as the window holds them (the tests fill
    # them by hand, results and speaker power included, some on purpose out of
    # step); what a report works out itself is the total power, the count
    # times the speaker power as shown.
    for report in ("english.txt", "german.txt", "offset_rows.txt", "dutch_locale.txt",
                   "odd_values.txt"):
        text = (HERE / "report" / report).read_text("latin-1")
        found = lambda label: re.search(r"(?:%s)\s+(-?[\d.,]+)" % label, text)
        total = found("Gesamtleistung|Total power")
        n = found("Anzahl Lautsprecher|Number of speakers")
        power = found("Lautsprecherleistung|Speaker power")
        if total and n and power:
            agree("report/" + report, "total power", total.group(1),
                  float(n.group(1)) * float(power.group(1).replace(",", ".")))
        print("report/%s: total power %s" % (report, "checked" if total and n and power
                                                else "absent (results left empty)"))

    for f in failures:
        print("DIFFERS", f)
    print("%d differences" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
