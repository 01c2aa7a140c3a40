#!/usr/bin/env python3
"""System sizing of the hand-worked case: load, line, amplifier, cable, level, taps.

The case: 18 loudspeakers (20 x 10 m at 3.6 m), rated 6 W, 90 dB, h = 2.5 m,
the quietest point 1 dB below one loudspeaker overhead. Works out from the
sizing's definitions alone (load n P, minimum 1.2 x load, Z = V^2 / load,
I = load / V; loop resistance 2 l / (56 A), half of it acting when the load is
spread; drop 20 log10((Z + R) / Z), power lost V^2 R / (Z + R)^2; the longest
run within the drop limit and the smallest cross-section of the same family,
mm2 or AWG, that keeps the run within it; the level check less the drop; the
tap advice over the nine taps, least power first, a tie to the higher line
voltage) the figures of tests/test_system.cpp: loadAndLine, amplifierStates,
cable, dropStates, levelCheck, advice, at the test's tolerances; and, with the
quietest point of the calculated room's coverage map (tests/reference/
plan_reference.py), every value of tests/data/cli/system-*.json (kvx-cli
system --json) to 1e-9 of its size.

Run: python3 tests/reference/system_reference.py   (exit status 1 on a difference)
"""

import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import kvx_model as m  # noqa: E402
import plan_reference as plan  # noqa: E402
from kvx_model import Checker  # noqa: E402

KAPPA = 56.0
METRIC = [("0.75", 0.75), ("1.0", 1.0), ("1.5", 1.5), ("2.5", 2.5), ("4", 4.0), ("6", 6.0)]
AWG = [("18AWG", 0.823), ("16AWG", 1.31), ("14AWG", 2.08), ("12AWG", 3.31), ("10AWG", 5.26)]
COUNT, RATED, SENS, H, RELATIVE = 18, 6.0, 90.0, 2.5, -1.0


def area_of(name):
    return dict(METRIC + AWG)[name]


def cable(volts, power, length, section, spread=False, limit=0.5):
    load = COUNT * power
    z = volts * volts / load
    loop = 2 * length / (KAPPA * area_of(section))
    acting = loop / 2 if spread else loop
    drop = 20 * math.log10((z + acting) / z)
    lost = volts * volts * acting / (z + acting) ** 2
    allowed = z * (10 ** (limit / 20) - 1) * (2 if spread else 1)  # loop resistance allowed
    longest = allowed * KAPPA * area_of(section) / 2
    family = AWG if section.endswith("AWG") else METRIC
    smallest = next((name for name, a in family if 2 * length / (KAPPA * a) <= allowed), "")
    state = "green" if drop < 0.4 else "amber" if drop <= limit else "red"
    return {"loop": loop, "drop": drop, "lost": lost, "longest": longest, "smallest": smallest,
            "state": state}


def drop_state(drop, limit):
    return "green" if drop < 0.4 and drop <= limit else "amber" if drop <= limit else "red"


def quietest(volts, power, cable_run=None):
    level = SENS + 10 * math.log10(power) - 20 * math.log10(H) + RELATIVE
    if cable_run:
        level -= cable(volts, power, *cable_run)["drop"]
    return level


TAPS = [(q, v) for v in (100, 70, 50) for q in (1, 2, 4)]


def advice(required, rated=RATED, cable_run=None):
    if rated <= 0:
        return "none", None
    options = []
    for q, v in TAPS:
        p = v * (rated / q) * v / 10000
        options.append((p, -v, q, v, quietest(v, p, cable_run)))
    for p, _, q, v, level in sorted(options):
        if level >= required:
            return f"1/{q} P on {v} V", level
    full = quietest(100, rated, cable_run)
    return f"short by {required - full:.3f}", None


def sizing(rel, line=100, ambient=None, above=15, amplifier=None, length=None, section="1.5",
           spread=False, limit=0.5, count=COUNT, rated=RATED, sens=SENS, h=H):
    """Every figure of kvx-cli system --json for a room of count loudspeakers at 1/1 P."""
    def power_of(v, q):
        return v * (rated / q) * v / 10000

    def figures_at(v, p):
        load = count * p
        z = v * v / load
        if length is None:
            return z, 0.0
        loop = 2 * length / (KAPPA * area_of(section))
        acting = loop / 2 if spread else loop
        return z, 20 * math.log10((z + acting) / z)

    def quiet(v, p):
        return sens + 10 * math.log10(p) - 20 * math.log10(h) + rel - figures_at(v, p)[1]

    power = power_of(line, 1)
    load = count * power
    out = {"load": {"speakers": count, "speakerPower": power, "total": load},
           "line": {"voltage": line, "impedance": line * line / load, "current": load / line},
           "amplifier": {"minimum": 1.2 * load, "rating": amplifier, "load": None, "state": None},
           "cable": None, "level": None, "advice": None, "messages": []}
    if amplifier:
        share = load / amplifier
        out["amplifier"].update(load=share, state="fine" if share < 0.8 else
                                "tight" if share <= 1 else "overloaded")
    if length is not None:
        z = line * line / load
        loop = 2 * length / (KAPPA * area_of(section))
        acting = loop / 2 if spread else loop
        drop = 20 * math.log10((z + acting) / z)
        allowed = z * (10 ** (limit / 20) - 1) * (2 if spread else 1)
        family = AWG if section.endswith("AWG") else METRIC
        smallest = next(((n, a) for n, a in family if 2 * length / (KAPPA * a) <= allowed),
                        (None, None))
        out["cable"] = {"length": length, "crossSection": area_of(section),
                        "crossSectionName": section, "spread": spread, "loopResistance": loop,
                        "drop": drop, "lost": line * line * acting / (z + acting) ** 2,
                        "dropLimit": limit, "longestRun": allowed * KAPPA * area_of(section) / 2,
                        "smallestCrossSection": smallest[1], "smallestCrossSectionName": smallest[0],
                        "state": drop_state(drop, limit)}
    if ambient is not None:
        required = ambient + above
        level = quiet(line, power)
        out["level"] = {"ambient": ambient, "above": above, "required": required,
                        "quietest": level, "met": level >= required,
                        "shortBy": max(0, required - level)}
        options = sorted((power_of(v, q), -v, q, v) for q, v in TAPS)
        chosen = next(((p, q, v) for p, _, q, v in options if quiet(v, p) >= required), None)
        if chosen:
            p, q, v = chosen
            out["advice"] = {"speakerTap": f"1/{q} P", "amplifierTap": f"{v} V",
                             "speakerPower": p, "quietest": quiet(v, p), "shortBy": 0}
        else:
            full = quiet(100, rated)
            out["advice"] = {"speakerTap": None, "amplifierTap": None, "speakerPower": rated,
                             "quietest": full, "shortBy": required - full}
    return out


def compare_tree(check, name, mine, golden):
    if isinstance(golden, dict):
        check.equal(f"{name} keys", sorted(mine) if isinstance(mine, dict) else mine, sorted(golden))
        for key in golden:
            if isinstance(mine, dict) and key in mine:
                compare_tree(check, f"{name}.{key}", mine[key], golden[key])
    elif isinstance(golden, (int, float)) and not isinstance(golden, bool) and mine is not None \
            and not isinstance(mine, bool):
        check.near(name, mine, golden, 1e-9 * max(1.0, abs(golden)))
    else:
        check.equal(name, mine, golden)


def goldens(check):
    r = m.run(20, 10, 4, 1.5, 90, 60, 90, 6, 6)
    *_, f = plan.coverage(20, 10, r["columns"], r["rows"], "square", r["h"], r["theta1"],
                          plan.default_samples(r["columns"], r["rows"]), 0.0, 6)
    rel = f["min"]
    print(f"[system-*.json] the calculated room: {r['count']} loudspeakers, quietest {rel:.6f} dB "
          "re one overhead")
    cases = {
        "system-none": {},
        "system-cable": {"amplifier": 120, "length": 50},
        "system-awg": {"line": 70, "length": 50, "section": "14AWG", "spread": True},
        "system-ambient": {"ambient": 55, "above": 10},
        "system-all": {"amplifier": 120, "length": 50, "ambient": 55},
        "system-short": {"ambient": 100},
    }
    for name, options in cases.items():
        golden = json.load(open(os.path.join(HERE, "..", "data", "cli", name + ".json")))
        before = check.failures
        compare_tree(check, name, sizing(rel, count=r["count"], **options), golden)
        print(f"    {name}: {'agrees' if check.failures == before else 'DIFFERS'}")


def main():
    check = Checker()
    print("[loadAndLine]  total, minimum, impedance, current")
    for name, volts, power, expected in (
            ("6 W on 100 V", 100, 6.0, (108.0, 129.6, 92.5926, 1.08)),
            ("2.94 W on 70 V", 70, 2.94, (52.92, 63.504, 92.5926, 0.756)),
            ("0.375 W on 50 V", 50, 0.375, (6.75, 8.1, 370.370, 0.135))):
        load = COUNT * power
        got = (load, 1.2 * load, volts * volts / load, load / volts)
        print(f"    {name}: " + ", ".join(f"{v:.6g}" for v in got))
        for label, value, want, tol in zip(("total", "minimum", "impedance", "current"), got,
                                           expected, (1e-9, 1e-9, 1e-3, 1e-9)):
            check.near(f"{name} {label}", value, want, tol)
    print("[amplifierStates]")
    for name, rating, load, state in (("79 % is fine", 136.8, 0.78947, "fine"),
                                      ("80 % is tight", 135.0, 0.8, "tight"),
                                      ("100 % is tight", 108.0, 1.0, "tight"),
                                      ("101 % is overloaded", 106.9, 1.01029, "overloaded")):
        value = 108.0 / rating
        check.near(name, value, load, 1e-5)
        check.equal(name, "fine" if value < 0.8 else "tight" if value <= 1 else "overloaded", state)
    print("[cable]  loop, drop, lost, longest, smallest, state")
    for name, run, expected in (
            ("50 m of 1.5 mm2, far end", (50, "1.5"), (1.190476, 0.11096, 1.35354, 230.431, "0.75", "green")),
            ("50 m of 1.5 mm2, spread", (50, "1.5", True),
             (1.190476, 0.05566, 0.68544, 460.862, "0.75", "green")),
            ("50 m of 14 AWG", (50, "14AWG"), (0.858516, 0.08016, 0.98306, 319.531, "18AWG", "green")),
            ("200 m of 1.5 mm2 is amber", (200, "1.5"),
             (4.761905, 0.43560, 5.02422, 230.431, "1.5", "amber")),
            ("500 m of 1.5 mm2 is red", (500, "1.5"), (11.904762, 1.05058, 10.9021, 230.431, "4", "red")),
            ("500 m of 18 AWG, 12 AWG would do", (500, "18AWG"),
             (21.697622, 1.82866, 16.61093, 126.430, "12AWG", "red")),
            ("2000 m of 6 mm2, nothing would do", (2000, "6"),
             (11.904762, 1.05058, 10.9021, 921.725, "", "red"))):
        c = cable(100, 6.0, *run)
        print(f"    {name}: {c['loop']:.6f}, {c['drop']:.5f}, {c['lost']:.5f}, {c['longest']:.3f}, "
              f"{c['smallest'] or '-'}, {c['state']}")
        for key, want, tol in zip(("loop", "drop", "lost", "longest"), expected, (1e-5, 1e-4, 1e-3, 1e-2)):
            check.near(f"{name} {key}", c[key], want, tol)
        check.equal(f"{name} smallest", c["smallest"], expected[4])
        check.equal(f"{name} state", c["state"], expected[5])
    print("[dropStates]")
    for name, drop, limit, state in (("just under 0.4", 0.399, 0.5, "green"),
                                     ("0.4 is amber", 0.4, 0.5, "amber"),
                                     ("at the limit is amber", 0.5, 0.5, "amber"),
                                     ("beyond the limit is red", 0.501, 0.5, "red"),
                                     ("a limit under 0.4: beyond it is red", 0.35, 0.3, "red")):
        check.equal(name, drop_state(drop, limit), state)
    print("[levelCheck]  required, quietest, short by")
    for name, ambient, above, run, expected in (
            ("55 + 15, no cable: met", 55, 15, None, (70.0, 88.8227, 0.0)),
            ("80 + 15: short by 6.18", 80, 15, None, (95.0, 88.8227, 6.1773)),
            ("73 + 15 with 500 m of cable: short by 0.23", 73, 15, (500, "1.5"), (88.0, 87.7721, 0.2279))):
        required = ambient + above
        level = quietest(100, 6.0, run)
        short = max(0.0, required - level)
        print(f"    {name}: {required}, {level:.4f}, {short:.4f}")
        check.near(f"{name} required", required, expected[0], 1e-9)
        check.near(f"{name} quietest", level, expected[1], 1e-4)
        check.near(f"{name} short by", short, expected[2], 1e-4)
    print("[advice]  taps, quietest")
    for name, ambient, run, rated, expected, level in (
            ("70 dB: the least of all, 0.375 W", 55, None, 6.0, "1/4 P on 50 V", 76.7815),
            ("85 dB: 2.94 W on 70 V", 70, None, 6.0, "1/1 P on 70 V", 85.7247),
            ("81.8 dB: 1.47 W on 70 V", 66.8, None, 6.0, "1/2 P on 70 V", 82.7144),
            ("82.75 dB: a tie at 1.5 W goes to 100 V", 67.75, None, 6.0, "1/4 P on 100 V", 82.8021),
            ("81.8 dB with a long thin cable: 1.5 W on 100 V", 66.8, (500, "0.75"), 6.0,
             "1/4 P on 100 V", 82.2609),
            ("95 dB: even full power is short", 80, None, 6.0, "short by 6.177", 88.8227),
            ("rated power 0: no advice", 55, None, 0.0, "none", 88.8227)):
        text, advised = advice(ambient + 15, rated, run)
        shown = advised if advised is not None else quietest(100, 6.0, run)
        print(f"    {name}: {text}, {shown:.4f}")
        check.equal(name, text, expected)
        check.near(name + " quietest", shown, level, 1e-4)
    goldens(check)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
