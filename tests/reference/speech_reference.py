#!/usr/bin/env python3
"""The speech estimate: STI of energies, the room and loudspeaker figures, the maps.

Checks, from the statistical room model alone (Sabine's absorption, the room
constant, Q of a cone, Lw and Lr, the direct level of every loudspeaker of the
layout by the calculation's directivity model, the STI as the mean transmission
index of 14 modulation frequencies with the complex modulation transfer):

- the model's own checks: direct only 1.00, reverberant only at 1 s 0.588 and
  at 0.5 s 0.736, direct equal to noise 0.50;
- tests/test_speech.cpp: stiOfEnergies_data (1e-9), roomAndLoudspeakers_data
  (1e-6 of each value), the hand room's reverberant level;
- tests/test_speech_panel.cpp: the same example to four digits (0.5588,
  0.5482, 0.5723) and Sabine's shortest time 0.20125 s;
- tests/data/cli/speech-example.txt and speech-margin.json (kvx-cli speech):
  every figure and every point of the map.

Run: python3 tests/reference/speech_reference.py   (exit status 1 on a difference)
"""

import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import kvx_model as m  # noqa: E402

FREQUENCIES = (0.63, 0.8, 1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8, 10, 12.5)


def sti(direct, reverberant, noise, t):
    total = 0.0
    for f in FREQUENCIES:
        x = 2 * math.pi * f * t / 13.8
        mtf = abs(direct + reverberant / complex(1, x)) / (direct + reverberant + noise)
        if mtf >= 1:
            snr = 15.0
        elif mtf <= 0:
            snr = -15.0
        else:
            snr = min(15.0, max(-15.0, 10 * math.log10(mtf / (1 - mtf))))
        total += (snr + 15) / 30
    return total / len(FREQUENCIES)


def room_model(length, width, room_height, t, count, sensitivity, power, angle1):
    v = length * width * room_height
    s = 2 * (length * width + length * room_height + width * room_height)
    alpha = 0.161 * v / (s * t)
    rc = s * alpha / (1 - alpha)
    theta = min(m.half_angle(angle1), math.pi)
    q = 2 / (1 - math.cos(theta))
    lw = sensitivity + 10 * math.log10(power) + 11 - 10 * math.log10(q)
    lr = 10 * math.log10(count) + lw + 10 * math.log10(4 / rc)
    return {"V": v, "S": s, "a": alpha, "Rc": rc, "Q": q, "Lw": lw, "Lr": lr,
            "rc": math.sqrt(q * rc / (16 * math.pi)), "shortest": 0.161 * v / s}


def default_samples(columns, rows):
    longer = max(columns, rows)
    samples = 2
    while samples < 64 and longer * samples < 200:
        samples += 2
    return samples


def sti_map(length, width, columns, rows, h, theta1, sensitivity, power, model, t, ambient,
            samples, margin):
    """The sample grid, the STI at every point of the listener area (None outside)."""
    pts = m.positions(length, width, columns, rows)
    sx, sy = length / columns, width / rows
    xs = [k * sx / samples for k in range(columns * samples + 1)]
    ys = [k * sy / samples for k in range(rows * samples + 1)]
    offset = sensitivity + 10 * math.log10(power) - 20 * math.log10(h)
    r = 10 ** (model["Lr"] / 10)
    n = 0.0 if ambient is None else 10 ** (ambient / 10)
    grid = []
    for y in ys:
        row = []
        for x in xs:
            inside = (margin - 1e-9 <= x <= length - margin + 1e-9
                      and margin - 1e-9 <= y <= width - margin + 1e-9)
            if not inside:
                row.append(None)
                continue
            d = 10 ** ((offset + m.level_at(pts, h, theta1, x, y)) / 10)
            row.append(sti(d, r, n, t))
        grid.append(row)
    return xs, ys, grid


def figures(grid, target):
    values = [v for row in grid for v in row if v is not None]
    mean = sum(values) / len(values)
    return {"mean": mean, "min": min(values), "max": max(values),
            "share": sum(1 for v in values if v >= target) / len(values), "met": mean >= target}


def energies(check):
    print("[model checks and test_speech stiOfEnergies]")
    cases = [  # direct, reverberant, noise, t, test's value
        ("direct sound only", 1, 0, 0, 1, 1.0),
        ("reverberant only, 1 s", 0, 1, 0, 1, 0.5882193928),
        ("reverberant only, 0.5 s", 0, 1, 0, 0.5, 0.7360845643),
        ("direct equal to noise", 1, 0, 1, 1, 0.5),
        ("D = R = 2 N, 1.6 s", 1, 1, 0.5, 1.6, 0.5242493495),
        ("D = 4 R = 40 N, 0.8 s", 4, 1, 0.1, 0.8, 0.8218192429),
        ("noise 20 dB above the direct sound", 1, 0, 100, 1, 0.0),
    ]
    for name, d, r, n, t, expected in cases:
        value = sti(d, r, n, t)
        print(f"    {name}: {value:.10f}")
        check.near(name, value, expected, 1e-9)
    # The model's own checks at the precision it states them.
    for name, d, r, n, t, expected in (("D only", 1, 0, 0, 1, 1.00), ("R only, 1 s", 0, 1, 0, 1, 0.588),
                                       ("R only, 0.5 s", 0, 1, 0, 0.5, 0.736),
                                       ("D = N", 1, 0, 1, 1, 0.50)):
        check.near("model check " + name, sti(d, r, n, t), expected, 5e-4)


def rooms(check):
    print("[test_speech roomAndLoudspeakers]  V S a Rc Q Lw Lr rc shortest")
    names = ("V", "S", "a", "Rc", "Q", "Lw", "Lr", "rc", "shortest")
    example = m.run(20, 10, 4, 1.5, 90, 60, 90, 6, 6)
    cases = [
        ("hand room, 1.6 s", (24, 12, 5, 1.6, 15, 92, 3, 100),
         (1440, 936, 0.1548076923, 171.440273, 5.598918783, 100.2901709, 95.73055488,
          4.369920952, 0.2476923077)),
        ("an opening beyond 360 degrees counts as a full circle", (24, 12, 5, 1.6, 15, 92, 3, 400),
         (1440, 936, 0.1548076923, 171.440273, 1, 107.7712125, 103.2115966, 1.846806937,
          0.2476923077)),
        ("the calculated default room, 1.2 s", (20, 10, 4, 1.2, example["count"], 90, 6, 90),
         (800, 640, 0.1677083333, 128.9612015, 6.828438061, 100.4382988, 97.90703302,
          4.185576605, 0.20125)),
    ]
    for name, args, expected in cases:
        model = room_model(*args)
        print(f"    {name}: " + ", ".join(f"{model[k]:.10g}" for k in names))
        for key, value in zip(names, expected):
            check.near(f"{name}: {key}", model[key], value, 1e-6 * abs(value))
    check.near("hand room's reverberant level (kHandReverberant)",
               room_model(24, 12, 5, 1.6, 15, 92, 3, 100)["Lr"], 95.73055488, 1e-6 * 95.73055488)
    check.near("test_speech_panel: shortest time 0.161 x 800 / 640",
               room_model(20, 10, 4, 1.2, 18, 90, 6, 90)["shortest"], 0.20125, 1e-12)
    # 0.2 s in the hand room is below 0.2477 s: no figures, "at least 0.25 s".
    check.equal("hand room at 0.2 s absorbs everything",
                0.161 * 1440 / (936 * 0.2) >= 1, True)


def example(check):
    r = m.run(20, 10, 4, 1.5, 90, 60, 90, 6, 6)
    model = room_model(20, 10, 4, 1.2, r["count"], 90, 6, 90)
    samples = default_samples(r["columns"], r["rows"])
    _, _, grid = sti_map(20, 10, r["columns"], r["rows"], r["h"], r["theta1"], 90, 6, model,
                         1.2, 55, samples, 0)
    f = figures(grid, 0.5)
    print(f"[the command line's example] {r['columns']} x {r['rows']}, {samples} samples: "
          f"mean {f['mean']:.4f}, min {f['min']:.4f}, max {f['max']:.4f}, "
          f"share {f['share']}, met {f['met']}")
    check.equal("samples", samples, 34)
    check.near("mean", f["mean"], 0.559, 5e-4)
    check.near("min", f["min"], 0.548, 5e-4)
    check.near("max", f["max"], 0.572, 5e-4)
    check.equal("share at target", f["share"], 1.0)
    check.equal("met", f["met"], True)
    check.near("test_speech_panel mean", f["mean"], 0.5588, 5e-5)
    check.near("test_speech_panel lowest", f["min"], 0.5482, 5e-5)
    check.near("test_speech_panel highest", f["max"], 0.5723, 5e-5)
    # speech-example.txt, as kvx-cli prints it: each figure within half a unit
    # of its last printed decimal.
    golden = dict(line.split(": ", 1) for line in
                  open(os.path.join(HERE, "..", "data", "cli", "speech-example.txt"))
                  .read().splitlines())
    for key, value in (("absorption", model["a"]), ("room constant", model["Rc"]),
                       ("q", model["Q"]), ("power level", model["Lw"]),
                       ("reverberant level", model["Lr"]), ("critical distance", model["rc"]),
                       ("sti mean", f["mean"]), ("sti min", f["min"]), ("sti max", f["max"]),
                       ("share at target", f["share"]), ("target", 0.5)):
        text = golden[key]
        decimals = len(text.split(".")[1]) if "." in text else 0
        check.near(f"speech-example.txt {key}", value, float(text), 0.5 * 10 ** -decimals + 1e-12)
    check.equal("speech-example.txt verdict", "met" if f["met"] else "short", golden["speech"])


def margin_json(check):
    golden = json.load(open(os.path.join(HERE, "..", "data", "cli", "speech-margin.json")))
    r = m.run(20, 10, 4, 1.5, 90, 60, 90, 6, 6)
    model = room_model(20, 10, 4, 1.2, r["count"], 90, 6, 90)
    xs, ys, grid = sti_map(20, 10, r["columns"], r["rows"], r["h"], r["theta1"], 90, 6, model,
                           1.2, 55, 4, 1)
    f = figures(grid, 0.565)
    print(f"[speech-margin.json] margin 1, 4 samples, target 0.565: mean {f['mean']!r}, "
          f"min {f['min']!r}, max {f['max']!r}, share {f['share']!r}, met {f['met']}")
    room, speakers, speech = golden["room"], golden["loudspeakers"], golden["speech"]
    for name, value, expected in (
            ("volume", model["V"], room["volume"]), ("surface", model["S"], room["surface"]),
            ("absorption", model["a"], room["absorption"]),
            ("roomConstant", model["Rc"], room["roomConstant"]),
            ("q", model["Q"], speakers["q"]), ("powerLevel", model["Lw"], speakers["powerLevel"]),
            ("reverberantLevel", model["Lr"], speakers["reverberantLevel"]),
            ("criticalDistance", model["rc"], speakers["criticalDistance"]),
            ("mean", f["mean"], speech["mean"]), ("min", f["min"], speech["min"]),
            ("max", f["max"], speech["max"]),
            ("shareAtTarget", f["share"], speech["shareAtTarget"])):
        check.near(f"speech-margin.json {name}", value, expected, 1e-12)
    check.equal("speech-margin.json count", r["count"], speakers["count"])
    check.equal("speech-margin.json met", f["met"], speech["met"])
    check.equal("speech-margin.json grid", (len(xs), len(ys)), (len(speech["x"]), len(speech["y"])))
    worst = max(abs(a - b) for a, b in zip(xs + ys, speech["x"] + speech["y"]))
    check.near("speech-margin.json sample positions, worst", worst, 0, 1e-12)
    same_shape = all((a is None) == (b is None) for ra, rb in zip(grid, speech["sti"])
                     for a, b in zip(ra, rb))
    check.equal("speech-margin.json listener area (null outside)", same_shape, True)
    worst = max(abs(a - b) for ra, rb in zip(grid, speech["sti"]) for a, b in zip(ra, rb)
                if a is not None and b is not None)
    check.near("speech-margin.json every point, worst difference", worst, 0, 1e-12)


def main():
    check = m.Checker()
    energies(check)
    rooms(check)
    example(check)
    margin_json(check)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
