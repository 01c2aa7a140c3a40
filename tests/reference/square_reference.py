#!/usr/bin/env python3
"""The calculation on the square grid: the model, the search, the run, the count.

Checks, from the published model alone (Directivity with the constant 3.14159,
g^2 summed over 49 loudspeakers below one and 36 around a square's centre, the
spacing search with its halved and reversed step, the count rounded half to
even), the figures that these tests state:

- tests/test_sound.cpp: model (1e-6 where the test gives six decimals, 1e-12
  otherwise), solver_data (the spacing to 5e-5, the evaluations, the first
  spacing, the repeated spacings), design_data (1e-9), splitGrid_data and
  splitPatterns_data (columns, rows, count);
- tests/test_calculation.cpp: the results as the main window shows them
  (distance, 1 kHz difference, count, direct level, speaker power), square
  and offset rows, nearest count and kept spacing.

Run: python3 tests/reference/square_reference.py   (exit status 1 on a difference)
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kvx_model as m  # noqa: E402

WORKED = (20, 10, 4, 1.5, 90, 60, 90, 6, 6)  # L W height ear angle1 angle4 sens power dB


def model(check):
    print("[test_sound model]")
    h90 = m.half_angle(90)
    rows = [
        ("Directivity(0, 90)", m.Directivity(0, h90), 1, 1e-12),
        ("Directivity(h, 90): -6 dB at the half angle", m.Directivity(h90, h90), 0.353554, 1e-6),
        ("Directivity(3 h, 20)", m.Directivity(3 * m.half_angle(20), m.half_angle(20)), -0.071379,
         1e-6),
        ("Directivity(0, 170)", m.Directivity(0, m.half_angle(170)), 1, 1e-12),
        ("Directivity(1.5, 170)", m.Directivity(1.5, m.half_angle(170)), 0.5 * math.cos(1.5),
         1e-12),
        ("SpeakerContribution(1, 0, 2.5, 2.5, 90)", m.contribution(2.5, 2.5, h90), 0.125, 1e-6),
        ("SpeakerContribution(1, 1, 2.5, 2.5, 90)", m.contribution(math.sqrt(2) * 2.5, 2.5, h90),
         0.058687, 1e-6),
        ("IntensityBelowSpeaker(2.5, 2.5, 90)", m.square_sums(2.5, 2.5, h90)[0], 2.321998, 1e-6),
        ("IntensityBetweenSpeakers(2.5, 2.5, 90)", m.square_sums(2.5, 2.5, h90)[1], 1.769530, 1e-6),
        ("IntensityBetweenSpeakers(-2.5, ...)", m.square_sums(-2.5, 2.5, h90)[1],
         m.square_sums(2.5, 2.5, h90)[1], 0),
        ("IntensityBelowSpeaker(0, ...)", m.square_sums(0, 2.5, h90)[0], 49, 0),
        ("IntensityBetweenSpeakers(0, ...)", m.square_sums(0, 2.5, h90)[1], 36, 0),
    ]
    for name, value, expected, tol in rows:
        check.near(name, value, expected, tol)


def traced_search(t, h, theta_h):
    """The search again, keeping every spacing it evaluates."""
    trace = []

    def sums(d, hh, th):
        trace.append(d)
        return m.square_sums(d, hh, th)

    d, count, settled = m.search(t, h, theta_h, sums)
    return d, count, settled, trace


def solver(check):
    print("[test_sound solver]  h, angle, dB: spacing, evaluations, first spacing")
    rows = [  # h, full angle, dB, spacing (0 when unsettled), evaluations, first, repeated
        ("60 degrees, 6 dB: 2 evaluations", 2.5, 60, 6, 3.6084, 2, 4.3301, []),
        ("80 degrees, 3 dB: 16 evaluations", 1.8, 80, 3, 2.3895, 16, 4.5311, [7, 9, 11, 13, 15]),
        ("60 degrees, 0.1 dB: never reached", 2.5, 60, 0.1, 0, 100, 4.3301, []),
        ("180 degrees: starts millions of metres out", 2.5, 180, 6, 8.0582, 45, 5652720, []),
        ("270 degrees: runs on negative spacings", 2.5, 270, 6, -8.0469, 9, -7.5, []),
    ]
    for name, h, angle, db, spacing, evaluations, first, repeated in rows:
        d, count, settled, trace = traced_search(10 ** (-db / 10), h, m.half_angle(angle))
        print(f"    {name}: {d:.4f}, {count}, {trace[0]:.6g}")
        check.near(name + ": spacing", d, spacing, 0.00005)
        check.equal(name + ": evaluations", count, evaluations)
        check.equal(name + ": settled", settled, evaluations < 100)
        check.near(name + ": first spacing", trace[0], first, abs(first) * 1e-5)
        for n in repeated:
            check.near(f"{name}: evaluation {n} at the spacing of {n - 3}", trace[n - 1],
                       trace[n - 4], 1e-12)


def design(check):
    print("[test_sound design]  distance, evaluations, columns, rows, below, between, level, "
          "difference1")
    rows = [
        ("20 x 10 m, 90/60 degrees, 6 dB: 3.6 m, 18, 92 dB, 2.9 dB", WORKED,
         (3.6084354968947219, 2, 6, 3, 1.6161681385292881, 0.83639801627432042,
          91.907577737831602, 2.8607354663399054)),
        # 1/2 P on 70 V: the speaker power 6 / 2 x (70 / 100)^2 = 1.47 W.
        ("1/2 P on 70 V, 6.5 dB: 3.8 m, 15, 86 dB, 3.2 dB", (20, 10, 4, 1.5, 90, 60, 90, 1.47, 6.5),
         (3.8452390763784372, 8, 5, 3, 1.5409407595192677, 0.73169539280365903,
          85.592232602701998, 3.2345562240458952)),
        ("120/80 degrees, 3 m high, 3 dB: 2.4 m, 32, 96 dB, 1.5 dB",
         (20, 10, 3, 1.2, 120, 80, 88, 10, 3),
         (2.3894644475489559, 16, 8, 4, 2.1834458840233286, 1.5354544780994548,
          96.285974223405134, 1.5290548718534112)),
        ("0.1 dB not reached: no spacing, no speakers, 107 dB", (20, 10, 4, 1.5, 90, 60, 90, 6, 0.1),
         (0.0, 100, 0, 0, 49.0, 36.0, 106.72467313068083, 1.338935792612264)),
    ]
    for name, args, expected in rows:
        r = m.run(*args)
        got = (r["distance"], r["evaluations"], r["columns"], r["rows"], r["below"], r["between"],
               r["level"], r["difference1"])
        print(f"    {name}: " + ", ".join(repr(v) for v in got))
        for label, value, want in zip(("distance", "evaluations", "columns", "rows", "below",
                                       "between", "level", "difference1"), got, expected):
            if isinstance(want, int):
                check.equal(f"{name}: {label}", value, want)
            else:
                check.near(f"{name}: {label}", value, want, 1e-9)
    check.near("speaker power 1/2 P on 70 V", 70 * (6 / 2) * 70 / 10000, 1.47, 1e-12)


def grids(check):
    print("[test_sound splitGrid and splitPatterns]  columns, rows, count")
    square = [
        (20, 10, 4, (5, 2)), (10, 10, 4, (2, 2)), (14, 10, 4, (4, 2)), (10.01, 2, 4, (3, 1)),
        (1, 1.9, 4, (1, 1)), (40, 0.5, 4, (10, 1)), (2147483647.0, 1, 1, (2147483647, 1)),
    ]
    for length, width, d, expected in square:
        check.equal(f"SplitGrid({length}, {width}, {d})", m.rows_and_columns(length, width, d),
                    expected)
    meeting, worked = 3.2934621082265991, 4.1497
    patterns = [
        ("keep spacing: L = 3 d stays 3", (3 * 0.1, 0.1, 0.1), "square", "spacing", (3, 1, 3)),
        ("keep spacing: 2.43 and 1.82 round up", (8, 6, meeting), "square", "spacing", (3, 2, 6)),
        ("offset: rows d sqrt(3)/2 apart, 5 + 4 + 5", (20, 10, worked), "offset", "nearest",
         (5, 3, 14)),
        ("offset, keep spacing: 2.89 rows up to 3", (20, 10, 4), "offset", "spacing", (5, 3, 14)),
        ("offset, a room of one column: one in every row", (2, 30, worked), "offset", "nearest",
         (1, 8, 8)),
        ("offset, a room of one row: no shifted row", (30, 2, worked), "offset", "nearest",
         (7, 1, 7)),
    ]
    for name, (length, width, d), pattern, fit, expected in patterns:
        columns, rows = m.rows_and_columns(length, width, d, pattern, fit)
        count = len(m.positions(length, width, columns, rows, pattern))
        check.equal(name, (columns, rows, count), expected)


def caption(value, decimals):
    return f"{value:.{decimals}f}"


def window(check):
    print("[test_calculation run]  distance|1 kHz difference|count|level|power")
    # (name, inputs, pattern, fit, shown): the power is the one the run shows.
    seven = (20, 10, 4, 1.5, 90, 60, 90, 6, 7)
    rows = [
        ("20 x 10 m, 90/60 degrees, 6 dB", WORKED, "square", "nearest", "3.6|2.9|18|92|6"),
        ("20 x 10 m, 120/80 degrees, 3 dB", (20, 10, 3, 1.2, 120, 80, 88, 10, 3), "square",
         "nearest", "2.4|1.5|32|96|10"),
        ("4 kHz angle 180 degrees", (20, 10, 4, 1.5, 90, 180, 90, 6, 6), "square", "nearest",
         "8.1|8.5|2|90|6"),
        ("0.1 dB cannot be reached", (20, 10, 4, 1.5, 90, 60, 90, 6, 0.1), "square", "nearest",
         "0.0|1.3|0|107|6"),
        ("1/2 P and 70 V picked", (20, 10, 4, 1.5, 90, 60, 90, 1.47, 6), "square", "nearest",
         "3.6|2.9|18|86|1.47"),
        ("the same in a Dutch locale (6.5 dB)", (20, 10, 4, 1.5, 90, 60, 90, 1.47, 6.5), "square",
         "nearest", "3.8|3.2|15|86|1.47"),
        ("offset rows picked", WORKED, "offset", "nearest", "4.1|2.8|14|92|6"),
        ("7 dB, spacing kept", seven, "square", "spacing", "4.1|3.6|15|92|6"),
        ("7 dB, offset rows", seven, "offset", "nearest", "4.7|3.6|7|91|6"),
        ("7 dB, offset rows, spacing kept", seven, "offset", "spacing", "4.7|3.6|14|91|6"),
        ("slider at 70", seven, "square", "nearest", "4.1|3.6|10|92|6"),
        ("slider at 120", (20, 10, 4, 1.5, 90, 60, 90, 6, 12), "square", "nearest",
         "7.8|8.3|3|90|6"),
    ]
    for name, args, pattern, fit, shown in rows:
        r = m.run(*args, pattern=pattern, fit=fit)
        power = args[7]
        text = "|".join((caption(r["distance"], 1), caption(r["difference1"], 1), str(r["count"]),
                         caption(r["level"], 0), f"{power:g}"))
        print(f"    {name}: {text}")
        check.equal(name, text, shown)


def main():
    check = m.Checker()
    model(check)
    solver(check)
    design(check)
    grids(check)
    window(check)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
