#!/usr/bin/env python3
"""The plan: the layout in the room and the coverage map's figures.

Checks, from the plan's definitions alone (columns and rows of the calculated
spacing, loudspeakers half a spacing from the walls, offset rows of nL and
nL - 1; the sample grid of m points per spacing; at every point the sum of g^2
over every loudspeaker of the room, by the calculation's Directivity; the
listener area a margin from the walls; maximum, minimum, spread and the shares
within the set difference and within 1, 2 and 3 dB of the maximum):

- tests/test_plan.cpp: layoutOfExamples_data (columns, rows, spacings),
  offsetLayouts_data (the positions as the rows hang), figuresOfOneLoudspeaker_data
  (minimum to 0.001, shares exactly), defaultSampleCount_data;
- tests/data/cli/plan-*.txt (kvx-cli plan, plain: each figure to its printed
  decimals) and plan-margin.json (every level of both bands and every figure
  to 1e-9).

Run: python3 tests/reference/plan_reference.py   (exit status 1 on a difference)
"""

import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import kvx_model as m  # noqa: E402

GOLDEN = os.path.join(HERE, "..", "data", "cli")


def default_samples(columns, rows):
    """The smallest even m giving at least 200 samples along the longer side, at most 64."""
    samples = 2
    while samples < 64 and max(columns, rows) * samples < 200:
        samples += 2
    return samples


def coverage(length, width, columns, rows, pattern, h, theta, samples, margin, difference):
    pts = m.positions(length, width, columns, rows, pattern)
    sx, sy = length / columns, width / rows
    xs = [k * sx / samples for k in range(columns * samples + 1)]
    ys = [k * sy / samples for k in range(rows * samples + 1)]
    grid = [[m.level_at(pts, h, theta, x, y) for x in xs] for y in ys]
    area = [grid[iy][ix] for iy, y in enumerate(ys) for ix, x in enumerate(xs)
            if margin - 1e-9 <= x <= length - margin + 1e-9
            and margin - 1e-9 <= y <= width - margin + 1e-9]
    top, low = max(area), min(area)

    def share(db):
        return sum(1 for level in area if top - level <= db) / len(area)

    return xs, ys, grid, {"max": top, "min": low, "spread": top - low, "withinSet": share(difference),
                          "within1": share(1), "within2": share(2), "within3": share(3)}


def plan_of(args, pattern="square", samples=0, margin=0.0):
    r = m.run(*args, pattern=pattern)
    samples = samples or default_samples(r["columns"], r["rows"])
    bands = {}
    for band, theta in (("1k", r["theta1"]), ("4k", r["theta4"])):
        bands[band] = coverage(r["length"], r["width"], r["columns"], r["rows"], pattern, r["h"],
                               theta, samples, margin, args[8])
    return r, samples, bands


def plain_goldens(check):
    room = (20, 10, 4, 1.5, 90, 60, 90, 6, 6)
    cases = [
        ("plan-default.txt", room, "square", 0, 0.0),
        ("plan-margin.txt", room, "square", 4, 1.0),
        ("plan-offset.txt", room, "offset", 0, 0.0),
        ("plan-one.txt", (3, 2, 4, 1.5, 90, 60, 90, 6, 6), "square", 0, 0.0),
    ]
    for name, args, pattern, samples, margin in cases:
        r, used, bands = plan_of(args, pattern, samples, margin)
        sx, sy = r["length"] / r["columns"], r["width"] / r["rows"]
        mine = {"columns": r["columns"], "rows": r["rows"], "spacing x": sx, "spacing y": sy,
                "wall x": sx / 2, "wall y": sy / 2}
        if pattern == "offset":
            mine["pattern"] = "offset"
        for band, (_, _, _, f) in bands.items():
            for key, label in (("max", "max"), ("min", "min"), ("spread", "spread"),
                               ("withinSet", "within set"), ("within1", "within 1"),
                               ("within2", "within 2"), ("within3", "within 3")):
                mine[f"{band} {label}"] = f[key]
            # Both bands' levels are re one loudspeaker overhead, as defined.
            mine[f"{band} reference"] = "dB re one loudspeaker overhead"
        print(f"[{name}] {r['columns']} x {r['rows']}, {r['count']} loudspeakers, "
              f"{used} samples, margin {margin}")
        golden = dict(line.split(": ", 1) for line in
                      open(os.path.join(GOLDEN, name)).read().splitlines())
        check.equal(f"{name}: the same lines", sorted(golden), sorted(mine))
        for key, text in golden.items():
            value = mine.get(key)
            if isinstance(value, str) or isinstance(value, int):
                check.equal(f"{name} {key}", str(value), text)
                continue
            decimals = len(text.split(".")[1]) if "." in text else 0
            print(f"    {key}: {value:.{decimals}f}")
            check.near(f"{name} {key}", value, float(text), 0.5 * 10 ** -decimals + 1e-12)


def margin_json(check):
    golden = json.load(open(os.path.join(GOLDEN, "plan-margin.json")))
    r, used, bands = plan_of((20, 10, 4, 1.5, 90, 60, 90, 6, 6), "square", 4, 1.0)
    layout, cov = golden["layout"], golden["coverage"]
    pts = m.positions(20, 10, r["columns"], r["rows"])
    print(f"[plan-margin.json] {r['columns']} x {r['rows']}, {used} samples, margin 1")
    check.equal("plan-margin.json columns, rows, count",
                (r["columns"], r["rows"], len(pts)),
                (layout["columns"], layout["rows"], layout["count"]))
    check.near("plan-margin.json positions, worst",
               max(abs(a - b) for p, q in zip(pts, layout["positions"]) for a, b in zip(p, q)),
               0, 1e-12)
    check.near("plan-margin.json offset1k", 90 + 10 * math.log10(6) - 20 * math.log10(r["h"]),
               cov["offset1k"], 1e-12)
    for band, (xs, ys, grid, f) in bands.items():
        g = cov["bands"][band]
        check.near(f"plan-margin.json x and y, worst",
                   max(abs(a - b) for a, b in zip(xs + ys, cov["x"] + cov["y"])), 0, 1e-12)
        worst = max(abs(a - b) for ra, rb in zip(grid, g["level"]) for a, b in zip(ra, rb))
        check.near(f"plan-margin.json {band} every level, worst", worst, 0, 1e-9)
        for key in ("max", "min", "spread"):
            check.near(f"plan-margin.json {band} {key}", f[key], g[key], 1e-9)
        for key in ("withinSet", "within1", "within2", "within3"):
            check.near(f"plan-margin.json {band} {key}", f[key], g[key], 1e-12)


def one_loudspeaker(check):
    # figuresOfOneLoudspeaker_data: one loudspeaker in the middle of a 1.5 m
    # square, 2.5 m above the ears, 90 / 140 degrees, two samples per spacing.
    print("[test_plan figuresOfOneLoudspeaker]  min, within set, 1, 2, 3")
    cases = [
        ("whole room, 6 dB set", 0.0, 6.0, (-2.688, 1, 1 / 9, 5 / 9, 1), (-1.942, 1, 1 / 9, 1, 1)),
        ("whole room, 1.5 dB set", 0.0, 1.5, (-2.688, 5 / 9, 1 / 9, 5 / 9, 1),
         (-1.942, 5 / 9, 1 / 9, 1, 1)),
        ("margin keeps the middle only", 0.5, 6.0, (0, 1, 1, 1, 1), (0, 1, 1, 1, 1)),
        ("margin of half the side: the middle is on it", 0.75, 6.0, (0, 1, 1, 1, 1),
         (0, 1, 1, 1, 1)),
    ]
    for name, margin, difference, k1, k4 in cases:
        for band, angle, expected in (("1k", 90, k1), ("4k", 140, k4)):
            *_, f = coverage(1.5, 1.5, 1, 1, "square", 2.5, m.half_angle(angle), 2, margin,
                             difference)
            got = (f["min"], f["withinSet"], f["within1"], f["within2"], f["within3"])
            print(f"    {name} {band}: " + ", ".join(f"{v:.4f}" for v in got))
            check.near(f"{name} {band} max", f["max"], 0, 1e-12)
            check.near(f"{name} {band} min", f["min"], expected[0], 0.001)
            check.near(f"{name} {band} spread", f["spread"], -expected[0], 0.001)
            for label, value, want in zip(("within set", "within 1", "within 2", "within 3"),
                                          got[1:], expected[1:]):
                check.near(f"{name} {band} {label}", value, want, 1e-12)


def layouts(check):
    print("[test_plan layoutOfExamples and offsetLayouts]")
    rooms = [
        ("default room 20 x 10: 6 x 3", (20, 10, 4, 1.5, 90, 60, 90, 6, 6), (6, 3, 20 / 6, 10 / 3)),
        ("meeting room 8 x 6: 2 x 2", (8, 6, 2.8, 1.2, 140, 80, 88, 1.5, 6), (2, 2, 4.0, 3.0)),
        ("shop floor 30 x 18: 7 x 4", (30, 18, 4.5, 1.6, 120, 70, 89.5, 5, 4.5), (7, 4, 30 / 7, 4.5)),
        ("sports hall 40 x 24: 7 x 4", (40, 24, 9, 1.7, 60, 40, 97, 14.7, 6), (7, 4, 40 / 7, 6.0)),
    ]
    for name, args, (columns, rows, sx, sy) in rooms:
        r = m.run(*args)
        print(f"    {name}: d {r['distance']:.4f}, {r['columns']} x {r['rows']}")
        check.equal(name, (r["columns"], r["rows"]), (columns, rows))
        check.near(name + ": spacing x", args[0] / r["columns"], sx, 1e-12)
        check.near(name + ": spacing y", args[1] / r["rows"], sy, 1e-12)
    hand = [
        ("3 x 3: 3 + 2 + 3, the middle row between", (6, 6, 3, 3, "offset"),
         [(1, 1), (3, 1), (5, 1), (2, 3), (4, 3), (1, 5), (3, 5), (5, 5)]),
        ("2 x 2: 2 + 1", (4, 4, 2, 2, "offset"), [(1, 1), (3, 1), (2, 3)]),
        ("one column: one per row at L / 2", (2, 6, 1, 3, "offset"), [(1, 1), (1, 3), (1, 5)]),
        ("one row: no shifted row", (8, 2, 4, 1, "offset"), [(1, 1), (3, 1), (5, 1), (7, 1)]),
        ("square 2 x 2", (4, 4, 2, 2, "square"), [(1, 1), (3, 1), (1, 3), (3, 3)]),
    ]
    for name, args, expected in hand:
        check.equal(name, m.positions(*args), [(float(x), float(y)) for x, y in expected])
    print("[test_plan defaultSampleCount]")
    for name, length, width, samples in (("6 x 3: 34", 20, 10, 34),
                                         ("width the longer side: 3 x 6", 10, 20, 34),
                                         ("120 columns: 2", 400, 10, 2),
                                         ("one loudspeaker: at most 64", 3, 3, 64),
                                         ("4 columns: 50", 12, 3, 50)):
        columns, rows = m.rows_and_columns(length, width, 3.333)
        check.equal(name, default_samples(columns, rows), samples)


def main():
    check = m.Checker()
    layouts(check)
    one_loudspeaker(check)
    plain_goldens(check)
    margin_json(check)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
