#!/usr/bin/env python3
"""Feet and inches: the metres of typed lengths, the forms shown, the metres kept.

Works in exact fractions from 1 ft = 0.3048 m (1 in = 0.0254 m), halves away
from zero, and checks the figures of tests/test_units.cpp:

- readLength_data: the metres of each length a user can type (given here as
  the feet and inches the text means), within 1e-15;
- shownForms_data: decimal feet to the given decimals, and feet and inches to
  the nearest half inch, carried into the feet;
- roundTrip_data: feet typed, kept in the file as metres to 4 decimals
  (trailing zeros left out), shown again as feet to 0.01 ft (trailing zeros
  left out).

Run: python3 tests/reference/units_reference.py   (exit status 1 on a difference)
"""

import os
import sys
from fractions import Fraction

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kvx_model import Checker  # noqa: E402

FOOT = Fraction(3048, 10000)
INCH = FOOT / 12
HALF = "\u00bd"


def metres(feet=0, inches=0):
    return Fraction(str(feet)) * FOOT + Fraction(str(inches)) * INCH


def round_half_away(value, decimals):
    """A Fraction rounded to decimals, halves away from zero, as a Fraction."""
    scale = 10 ** decimals
    scaled = abs(value) * scale
    whole = int(scaled)
    if scaled - whole >= Fraction(1, 2):
        whole += 1
    return Fraction(whole if value >= 0 else -whole, scale)


def fixed(value, decimals):
    """The rounded value with exactly the given decimals; no sign on zeros."""
    r = round_half_away(value, decimals)
    sign = "-" if r < 0 else ""
    r = abs(r)
    whole = int(r)
    if decimals == 0:
        return f"{sign}{whole}"
    digits = int((r - whole) * 10 ** decimals)
    return f"{sign}{whole}.{digits:0{decimals}d}"


def trimmed(text):
    return text.rstrip("0").rstrip(".") if "." in text else text


def feet_inches(m):
    halves = round_half_away(Fraction(str(m)) / INCH * 2, 0)
    feet, rest = divmod(int(halves), 24)
    inches, half = divmod(rest, 2)
    inch_text = (f"{inches}" if inches else ("" if half else "0")) + (HALF if half else "")
    return f"{feet}' {inch_text}\""


def read_rows(check):
    print("[test_units readLength]  metres")
    rows = [  # name, feet, inches, test's metres
        ("decimal feet, comma", 9.5, 0, 2.8956), ("decimal feet with ft", 9.5, 0, 2.8956),
        ("feet and inches", 9, 6, 2.8956), ("words", 9, 6, 2.8956),
        ("words, no blanks, capitals", 9, 6, 2.8956), ("inch mark left out", 9, 6, 2.8956),
        ("two apostrophes for inches", 9, 6, 2.8956), ("decimal inches, comma", 9, 6.5, 2.9083),
        ("inches alone", 0, 114, 2.8956), ("sign leads the whole", -9, -6, -2.8956),
    ]
    for name, feet, inches, expected in rows:
        value = metres(feet, inches)
        print(f"    {name}: {float(value)!r}")
        check.near(name, float(value), expected, 1e-15)
        check.equal(name + ": exact", value, Fraction(str(expected)))


def shown_rows(check):
    print("[test_units shownForms]")
    rows = [  # name, metres, decimals (0: feet and inches), comma, test's text
        ("spacing, one decimal", 3.6, 1, False, "11.8"),
        ("spacing, Dutch comma", 3.6, 1, True, "11,8"),
        ("two decimals keep zeros", 2.8956, 2, False, "9.50"),
        ("half a hundredth rounds away", 0.001524, 2, False, "0.01"),
        ("carry into the feet", 0.3047, 2, False, "1.00"),
        ("negative", -0.3048, 2, False, "-1.00"),
        ("no sign on zeros", -0.001, 2, False, "0.00"),
        ("whole inches", 2.8956, 0, False, "9' 6\""),
        ("half inch", 2.9083, 0, False, "9' 6" + HALF + "\""),
        ("11.99 in carries into 1 ft", 0.304546, 0, False, "1' 0\""),
        ("11.75 in, a tie, rounds up", 0.29845, 0, False, "1' 0\""),
        ("12 ft 11.8 in carries", 3.95732, 0, False, "13' 0\""),
        ("half inch alone", 0.00635, 0, False, "0' " + HALF + "\""),
    ]
    for name, m, decimals, comma, expected in rows:
        if decimals:
            text = fixed(Fraction(str(m)) / FOOT, decimals)
            text = text.replace(".", ",") if comma else text
        else:
            text = feet_inches(m)
        print(f"    {name}: {text}")
        check.equal(name, text, expected)


def round_trip_rows(check):
    print("[test_units roundTrip]  typed feet -> stored metres -> shown feet")
    rows = [
        ("a hundredth of a foot", "0.01", "0.003", "0.01"),
        ("feet and inches", (9, 6), "2.8956", "9.5"),
        ("half inch", (9, 6.5), "2.9083", "9.54"),
        ("inches round into the next foot", (11, 11.99), "3.6573", "12"),
        ("1000 ft", "1000", "304.8", "1000"),
        ("large", "99999999.99", "30479999.997", "99999999.99"),
        ("fifteen digits", "123456789012.34", "37629629290.9612", "123456789012.34"),
    ]
    for name, typed, stored, shown in rows:
        value = metres(*typed) if isinstance(typed, tuple) else metres(typed)
        kept = trimmed(fixed(value, 4))
        again = trimmed(fixed(Fraction(kept) / FOOT, 2))
        print(f"    {name}: {kept} m, {again} ft")
        check.equal(name + ": stored", kept, stored)
        check.equal(name + ": shown", again, shown)


def main():
    check = Checker()
    read_rows(check)
    shown_rows(check)
    round_trip_rows(check)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
