#!/usr/bin/env python3
"""The hand building: every room, its zone and the bill of materials.

Reads tests/data/cli/building-hand.kvxb and works every figure out from the
definitions alone: each room an ordinary calculation (the input checks, the
spacing search, the layout of its pattern, the speaker power of its tap on its
zone's line), its coverage figures over the listener area (default samples,
the room's margin), the level check less the zone's cable drop, the STI when a
reverberation time is set; per zone the load, 1.2 x load, Z = V^2 / load,
I = load / V, the amplifier's load and state, the home run's loop resistance
2 l / (56 A) (halved for the drop when the load is spread), the drop
20 log10((Z + R) / Z); the bill: loudspeakers per type, a channel per zone,
cable per cross-section (home runs plus each room's path through its
loudspeakers in rows, every other row walked back, times quantity), then the
reserve.

Compares with tests/test_building_figures.cpp (rooms_data, zones_data,
levelChecksAndSpeech, bill: 1e-9 of each figure's size) and with every number
of tests/data/cli/building-hand.json (kvx-cli building --json).

Run: python3 tests/reference/building_reference.py   (exit status 1 on a difference)
"""

import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import kvx_model as m  # noqa: E402
import plan_reference as plan  # noqa: E402
import speech_reference as speech  # noqa: E402

DATA = os.path.join(HERE, "..", "data", "cli")
KAPPA = 56.0
SECTIONS = {"0.75": 0.75, "1.0": 1.0, "1.5": 1.5, "2.5": 2.5, "4": 4.0, "6": 6.0}


def refused(room):
    """The calculation's input checks, in their order; None when the room passes."""
    ls = room["loudspeaker"]
    height, ear = room["height"], room["ear"]
    checks = [
        (room["length"] <= 0, "Room Length should be positive !"),
        (room["width"] <= 0, "Room Width should be positive !"),
        (height <= 0, "Room Height should be positive !"),
        (ear < 0, "Ear Height should be positive !"),
        (ear >= height or height - ear < 0.3,
         "Room Height and Ear Height difference too small !\rPlease adjust Room Height or Ear height"),
        (ls["angle1"] <= 0, "Opening Angle should be positive !"),
        (ls["angle4"] <= 0, "4 kHz Opening Angle should be positive !"),
        (room.get("difference", 6) <= 0, "Difference Level should be positive !"),
        (room.get("difference", 6) > 12, "Difference Level is too high !"),
        (ls["sensitivity"] < 0, "Sensitivity should be positive !"),
        (ls["ratedPower"] <= 0, "Rated Power should be positive !"),
    ]
    for failed, text in checks:
        if failed:
            return text
    return None


def cable_path(points):
    """Rows in order, every other row walked back: the distances between neighbours in that order."""
    rows = {}
    for x, y in points:
        rows.setdefault(y, []).append(x)
    order = []
    for j, y in enumerate(sorted(rows)):
        xs = sorted(rows[y], reverse=j % 2 == 1)
        order += [(x, y) for x in xs]
    return sum(math.dist(a, b) for a, b in zip(order, order[1:]))


def zone_of(building, room):
    for zone in building["zones"]:
        if zone["name"] == room.get("zone", ""):
            return zone
    return {"name": "", "line": 100}


def work_out(building):
    zones = building["zones"] + [{"name": "", "line": 100}]
    rooms = []
    for room in building["rooms"]:
        zone = zone_of(building, room)
        f = {"name": room["name"], "zone": zone["name"], "quantity": room.get("quantity", 1),
             "error": refused(room), "room": room}
        rooms.append(f)
        if f["error"]:
            continue
        ls = room["loudspeaker"]
        tap = int(room.get("tap", "1/1").split("/")[1])
        line = zone.get("line", 100)
        power = line * (ls["ratedPower"] / tap) * line / 10000
        pattern = room.get("pattern", "square")
        difference = room.get("difference", 6)
        args = (room["length"], room["width"], room["height"], room["ear"], ls["angle1"],
                ls["angle4"], ls["sensitivity"], power, difference)
        r = m.run(*args, pattern=pattern)
        if not r["settled"]:
            f["error"] = "Maximum number of iterations (100) exceeded"
            continue
        margin = room.get("margin", 0)
        samples = plan.default_samples(r["columns"], r["rows"])
        cov = {}
        for band, theta in (("1k", r["theta1"]), ("4k", r["theta4"])):
            cov[band] = plan.coverage(r["length"], r["width"], r["columns"], r["rows"], pattern,
                                      r["h"], theta, samples, margin, difference)[3]
        offset = ls["sensitivity"] + 10 * math.log10(power) - 20 * math.log10(r["h"])
        pts = m.positions(r["length"], r["width"], r["columns"], r["rows"], pattern)
        f.update(design=r, power=power, line=line, pattern=pattern, margin=margin,
                 samples=samples, min1k=offset + cov["1k"]["min"], spread1k=cov["1k"]["spread"],
                 withinSet4k=cov["4k"]["withinSet"], path=cable_path(pts),
                 loudspeakers=r["count"] * f["quantity"], load=r["count"] * power * f["quantity"])
        if "reverberation" in room:
            model = speech.room_model(r["length"], r["width"], room["height"],
                                      room["reverberation"], r["count"], ls["sensitivity"], power,
                                      ls["angle1"])
            grid = sti_grid(r, pattern, ls, power, model, room, samples, margin)
            values = [v for row in grid for v in row if v is not None]
            f["speech"] = {"mean": sum(values) / len(values), "min": min(values)}
    zone_figures = []
    for zone in zones:
        mine = [f for f in rooms if f["zone"] == zone["name"] and not f["error"]]
        load = sum(f["load"] for f in mine)
        line = zone.get("line", 100)
        z = {"name": zone["name"], "line": line, "rooms": sum(f["quantity"] for f in mine),
             "loudspeakers": sum(f["loudspeakers"] for f in mine), "load": load,
             "minimumAmplifier": 1.2 * load, "impedance": line * line / load,
             "current": load / line, "amplifier": zone.get("amplifier"), "drop": 0.0}
        if z["amplifier"]:
            z["amplifierLoad"] = load / z["amplifier"]
            z["amplifierState"] = ("fine" if z["amplifierLoad"] < 0.8 else
                                   "tight" if z["amplifierLoad"] <= 1 else "overloaded")
        if zone.get("cableLength"):
            section = SECTIONS[zone.get("crossSection", "1.5")]
            resistance = 2 * zone["cableLength"] / (KAPPA * section)
            acting = resistance / 2 if zone.get("spread") else resistance
            drop = 20 * math.log10((z["impedance"] + acting) / z["impedance"])
            z["drop"] = drop
            z["cable"] = {"loopResistance": resistance, "drop": drop,
                          "state": "green" if drop < 0.4 else "amber" if drop <= 0.5 else "red"}
        zone_figures.append(z)
        for f in mine:
            if "ambient" in f["room"]:
                required = f["room"]["ambient"] + f["room"].get("above", 15)
                quietest = f["min1k"] - z["drop"]
                f["level"] = {"required": required, "quietest": quietest,
                              "met": quietest >= required, "shortBy": max(0.0, required - quietest)}
    # The bill.
    types = {}
    for f in rooms:
        if f["error"]:
            continue
        ls = f["room"]["loudspeaker"]
        name = ls.get("type") or "User type ({:g}°/{:g}°, {:g} dB, {:g} W)".format(
            ls["angle1"], ls["angle4"], ls["sensitivity"], ls["ratedPower"])
        types[name] = types.get(name, 0) + f["loudspeakers"]
    cable = {}
    for zone, z in zip(zones, zone_figures):
        section = zone.get("crossSection", "1.5")
        length = zone.get("cableLength", 0) + sum(
            f["path"] * f["quantity"] for f in rooms if f["zone"] == zone["name"] and not f["error"])
        if length:
            cable[section] = cable.get(section, 0) + length
    reserve = building.get("cableReserve", 10)
    bom = {"loudspeakers": types,
           "amplifiers": [(z["name"], z["line"], z["minimumAmplifier"], z["amplifier"])
                          for z in zone_figures],
           "cable": {s: (v, v * (1 + reserve / 100)) for s, v in cable.items()}}
    return rooms, zone_figures, bom


def sti_grid(r, pattern, ls, power, model, room, samples, margin):
    pts = m.positions(r["length"], r["width"], r["columns"], r["rows"], pattern)
    sx, sy = r["length"] / r["columns"], r["width"] / r["rows"]
    offset = ls["sensitivity"] + 10 * math.log10(power) - 20 * math.log10(r["h"])
    rev = 10 ** (model["Lr"] / 10)
    noise = 10 ** (room["ambient"] / 10) if "ambient" in room else 0.0
    grid = []
    for l in range(r["rows"] * samples + 1):
        y = l * sy / samples
        row = []
        for k in range(r["columns"] * samples + 1):
            x = k * sx / samples
            if not (margin - 1e-9 <= x <= r["length"] - margin + 1e-9
                    and margin - 1e-9 <= y <= r["width"] - margin + 1e-9):
                row.append(None)
                continue
            direct = 10 ** ((offset + m.level_at(pts, r["h"], r["theta1"], x, y)) / 10)
            row.append(speech.sti(direct, rev, noise, room["reverberation"]))
        grid.append(row)
    return grid


def near(check, name, value, expected):
    check.near(name, value, expected, 1e-9 * max(1.0, abs(expected)))


def against_test(check, rooms, zones, bom):
    print("[test_building_figures rooms]  spacing columns rows count P level diff1 min1k "
          "spread1k withinSet4k path n*q load")
    expected_rooms = {
        0: "2.59807355776 3 3 9 3 91.7506278526 2.86073546634 85.6493313912 5.20754558232 "
           "0.634945950735 22.8 27 81",
        1: "5.86713492608 3 2 5 4.9 88.9489955182 3.58653315482 74.9907911356 12.9299487817 "
           "0.238020645058 26.0092521258 5 24.5",
        3: "2.30939871801 3 2 6 1.5 89.7633783449 2.86073546634 81.7738692688 7.06298867269 "
           "0.767361529502 10 12 18",
    }
    for index, text in expected_rooms.items():
        f = rooms[index]
        r = f["design"]
        mine = [r["distance"], r["columns"], r["rows"], r["count"], f["power"], r["level"],
                r["difference1"], f["min1k"], f["spread1k"], f["withinSet4k"], f["path"],
                f["loudspeakers"], f["load"]]
        print(f"    {f['name']}: " + " ".join(f"{v:.12g}" for v in mine))
        for label, value, want in zip(("spacing", "columns", "rows", "count", "power", "level",
                                       "difference1", "min1k", "spread1k", "withinSet4k", "path",
                                       "n q", "load"), mine, text.split()):
            near(check, f"{f['name']} {label}", value, float(want))
    check.equal("Store refused", rooms[2]["error"],
                "Room Height and Ear Height difference too small !\rPlease adjust Room Height "
                "or Ear height")
    print("[test_building_figures zones]  rooms n load minimum Z I amplifier-load R drop")
    expected_zones = [
        ("3 27 81 97.2 123.456790123 0.81 0.675 1.90476190476 0.13298758238", "fine green"),
        ("1 5 24.5 29.4 200 0.35 0.98 0.714285714286 0.0154966849992", "tight green"),
        ("2 12 18 21.6 555.555555556 0.18 0 0 0", ""),
    ]
    for z, (text, states) in zip(zones, expected_zones):
        cable = z.get("cable", {})
        mine = [z["rooms"], z["loudspeakers"], z["load"], z["minimumAmplifier"], z["impedance"],
                z["current"], z.get("amplifierLoad", 0), cable.get("loopResistance", 0), z["drop"]]
        print(f"    {z['name'] or 'No zone'}: " + " ".join(f"{v:.12g}" for v in mine))
        for label, value, want in zip(("rooms", "n", "load", "minimum", "Z", "I",
                                       "amplifier load", "R", "drop"), mine, text.split()):
            near(check, f"{z['name'] or 'No zone'} {label}", value, float(want))
        words = f"{z['amplifierState']} {cable['state']}" if z.get("amplifierState") else ""
        check.equal(f"{z['name'] or 'No zone'} states (green: within 0.4 dB)", words, states)
    print("[test_building_figures levelChecksAndSpeech and bill]")
    check.equal("classroom required", rooms[0]["level"]["required"], 60)
    near(check, "classroom quietest", rooms[0]["level"]["quietest"], 85.5163438089)
    check.equal("classroom met", rooms[0]["level"]["met"], True)
    near(check, "hall quietest", rooms[1]["level"]["quietest"], 74.9752944506)
    check.equal("hall met", rooms[1]["level"]["met"], False)
    near(check, "hall short by", rooms[1]["level"]["shortBy"], 77 - 74.9752944506)
    near(check, "office quietest", rooms[3]["level"]["quietest"], 81.7738692688)
    near(check, "hall STI mean", rooms[1]["speech"]["mean"], 0.556221354358)
    near(check, "hall STI min", rooms[1]["speech"]["min"], 0.546445092795)
    check.equal("loudspeakers per type", bom["loudspeakers"],
                {"Ceiling 6": 39, "User type (120°/80°, 88.5 dB, 10 W)": 5})
    check.equal("amplifier channels", len(bom["amplifiers"]), 3)
    near(check, "first floor minimum", bom["amplifiers"][1][2], 29.4)
    near(check, "cable 1.5 measured", bom["cable"]["1.5"][0], 168.4)
    near(check, "cable 1.5 to order", bom["cable"]["1.5"][1], 185.24)
    near(check, "cable 2.5 measured", bom["cable"]["2.5"][0], 76.0092521258)
    near(check, "cable 2.5 to order", bom["cable"]["2.5"][1], 83.6101773384)


def against_json(check, rooms, zones, bom):
    golden = json.load(open(os.path.join(DATA, "building-hand.json")))
    print("[building-hand.json] every number")
    for f, g in zip(rooms, golden["rooms"]):
        if f["error"]:
            check.equal(f"{f['name']} error", f["error"], g["error"])
            continue
        r = f["design"]
        pairs = [("spacing", r["distance"]), ("columns", r["columns"]), ("rows", r["rows"]),
                 ("count", r["count"]), ("speakerPower", f["power"]),
                 ("directLevel", r["level"]), ("difference1", r["difference1"]),
                 ("loudspeakers", f["loudspeakers"]), ("load", f["load"]),
                 ("quantity", f["quantity"])]
        for key, value in pairs:
            near(check, f"{f['name']} {key}", value, g[key])
        for key in ("min1k", "spread1k", "withinSet4k"):
            near(check, f"{f['name']} coverage {key}", f[key], g["coverage"][key])
        for key in ("required", "quietest"):
            near(check, f"{f['name']} level {key}", f["level"][key], g["level"][key])
        check.equal(f"{f['name']} level met", f["level"]["met"], g["level"]["met"])
        check.equal(f"{f['name']} speech", "speech" in f, g["speech"] is not None)
        for key in ("mean", "min") if "speech" in f else ():
            near(check, f"{f['name']} speech {key}", f["speech"][key], g["speech"][key])
    for z, g in zip(zones, golden["zones"]):
        name = z["name"] or "No zone"
        for key in ("rooms", "loudspeakers", "load", "minimumAmplifier", "impedance", "current"):
            near(check, f"{name} {key}", z[key], g[key])
        if g["amplifier"] is not None:
            near(check, f"{name} amplifierLoad", z["amplifierLoad"], g["amplifierLoad"])
            check.equal(f"{name} amplifierState", z["amplifierState"], g["amplifierState"])
        check.equal(f"{name} cable", "cable" in z, g["cable"] is not None)
        if g["cable"]:
            for key in ("loopResistance", "drop"):
                near(check, f"{name} cable {key}", z["cable"][key], g["cable"][key])
            check.equal(f"{name} cable state", z["cable"]["state"], g["cable"]["state"])
    gb = golden["bom"]
    check.equal("bom loudspeakers", bom["loudspeakers"],
                {x["type"]: x["count"] for x in gb["loudspeakers"]})
    for (zone, line, minimum, rating), g in zip(bom["amplifiers"], gb["amplifiers"]):
        check.equal(f"bom amplifier {zone or 'No zone'}", (zone, line, rating),
                    (g["zone"], g["line"], g["rating"]))
        near(check, f"bom amplifier {zone or 'No zone'} minimum", minimum, g["minimum"])
    for g in gb["cable"]:
        measured, order = bom["cable"][g["crossSection"]]
        near(check, f"bom cable {g['crossSection']} measured", measured, g["measured"])
        near(check, f"bom cable {g['crossSection']} to order", order, g["toOrder"])


def main():
    building = json.load(open(os.path.join(DATA, "building-hand.kvxb")))
    rooms, zones, bom = work_out(building)
    check = m.Checker()
    against_test(check, rooms, zones, bom)
    against_json(check, rooms, zones, bom)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
