"""The calculation's model, written again from its published definitions.

Shared by the reference scripts of this folder; nothing here is taken from
the C++ sources. Angles use the constant 3.14159, as the calculation does.

    Directivity(theta, theta_h)   pressure factor with the distance factor cos
    contribution(r, h, theta_h)   g^2 of one loudspeaker at horizontal distance r
    square_sums(d, h, theta_h)    U below a loudspeaker (49), B at a square's centre (36)
    offset_sums(d, h, theta_h)    U, B of the offset lattice, every point within 3.5 d
    search(t, h, theta_h, sums)   the spacing search: (d, evaluations, settled)
    run(room, pattern, fit)       one calculation: spacing, sums, layout, levels
"""

import math

PI5 = 3.14159  # the calculation's constant for degrees <-> radians
TOLERANCE = 0.001
LIMIT = 100
SQRT3 = math.sqrt(3.0)


def half_angle(full_degrees):
    return full_degrees * PI5 / 360


def Directivity(theta, theta_h):
    a = theta_h * 180 / PI5
    c = 0.2804 * math.log(a) - 0.7323
    if c > 0.5:
        c = 0.5
    r = (0.5 - c) / (1 - c)
    x = (theta / theta_h) ** 2
    return (c + (1 - c) * r ** x) * math.cos(theta)


def contribution(r, h, theta_h):
    g = Directivity(math.atan(r / h), theta_h)
    return g * g


def square_sums(d, h, theta_h):
    """U: 7 x 7 loudspeakers around the point below one; B: 6 x 6 around a square's centre."""
    below = 0.0
    for i in range(-3, 4):
        for j in range(-3, 4):
            below += 1.0 if i == 0 and j == 0 else contribution(math.hypot(i, j) * d, h, theta_h)
    between = 0.0
    for i in (-5, -3, -1, 1, 3, 5):
        for j in (-5, -3, -1, 1, 3, 5):
            between += contribution(math.hypot(i, j) * d / 2, h, theta_h)
    return below, between


def lattice_within(px, py, radius=3.5):
    """Lattice points (i + j/2, j sqrt(3)/2), in units of d, within radius of (px, py)."""
    points = []
    for j in range(-6, 7):
        for i in range(-8, 9):
            x = i + j / 2
            y = j * SQRT3 / 2
            dist = math.hypot(x - px, y - py)
            assert abs(dist - radius) > 1e-9, "a point on the circle"
            if dist < radius:
                points.append(dist)
    return points


BELOW_OFFSET = lattice_within(0.0, 0.0)
CENTRE_OFFSET = lattice_within(0.5, SQRT3 / 6)
assert len(BELOW_OFFSET) == 43 and len(CENTRE_OFFSET) == 42


def offset_sums(d, h, theta_h):
    below = sum(contribution(r * abs(d), h, theta_h) for r in BELOW_OFFSET)
    between = sum(contribution(r * abs(d), h, theta_h) for r in CENTRE_OFFSET)
    return below, between


def search(t, h, theta_h, sums):
    """The spacing search; returns (d, evaluations, settled). Unsettled gives d = 0."""
    d = (h + h) * math.tan(theta_h)
    step = d / 2
    err = prev = 0.5
    count = 0
    while True:
        if abs(err) <= TOLERANCE or count >= LIMIT:
            break
        count += 1
        if (err > 0 and prev > 0) or (err < 0 and prev < 0):
            d += step
        elif (err > 0 and prev < 0) or (err < 0 and prev > 0):
            step = -step / 2
            d += step
        prev = err
        below, between = sums(d, h, theta_h)
        err = between / below - t
    if count < LIMIT:
        return d, count, True
    return 0.0, count, False


def rows_and_columns(length, width, d, pattern="square", fit="nearest"):
    pitch = d * SQRT3 / 2 if pattern == "offset" else d
    if fit == "spacing":
        columns = max(1, math.ceil(length / d - 1e-9))
        rows = max(1, math.ceil(width / pitch - 1e-9))
    else:
        columns = max(1, round(length / d))  # Python's round: half to even
        rows = max(1, round(width / pitch))
    return columns, rows


def positions(length, width, columns, rows, pattern="square"):
    """Row by row; in offset rows the odd rows hold one fewer, between the others."""
    sx = length / columns
    sy = width / rows
    result = []
    for j in range(rows):
        y = (j + 0.5) * sy
        if pattern == "offset" and columns > 1 and j % 2 == 1:
            result += [((i + 1) * sx, y) for i in range(columns - 1)]
        else:
            result += [((i + 0.5) * sx, y) for i in range(columns)]
    return result


def level_at(points, h, theta_h, x, y):
    """10 log10 of the sum of g^2 over every loudspeaker of the room at (x, y)."""
    return 10 * math.log10(sum(contribution(math.hypot(px - x, py - y), h, theta_h)
                               for px, py in points))


def run(length, width, height, ear, angle1, angle4, sensitivity, power, difference,
        pattern="square", fit="nearest"):
    """One calculation as the main window runs it; power is the speaker power shown."""
    sums = offset_sums if pattern == "offset" else square_sums
    h = height - ear
    t4 = half_angle(angle4)
    t1 = half_angle(angle1)
    d, evaluations, settled = search(10 ** (-difference / 10), h, t4, sums)
    below, between = sums(d, h, t1)
    if settled and d > 0:
        columns, rows = rows_and_columns(length, width, d, pattern, fit)
        count = len(positions(length, width, columns, rows, pattern))
    else:
        columns = rows = count = 0
    level = sensitivity + 10 * math.log10(power) - 20 * math.log10(h) + 10 * math.log10(below)
    return {
        "distance": d, "evaluations": evaluations, "settled": settled,
        "below": below, "between": between, "difference1": 10 * math.log10(below / between),
        "level": level, "columns": columns, "rows": rows, "count": count, "h": h,
        "theta1": t1, "theta4": t4, "length": length, "width": width, "pattern": pattern,
    }


class Checker:
    """Collects comparisons with a test's figures; exit status 1 if any differs."""

    def __init__(self):
        self.failures = 0
        self.checked = 0

    def near(self, name, value, expected, tolerance):
        self.checked += 1
        ok = abs(value - expected) <= tolerance
        if not ok:
            self.failures += 1
        print(f"{'ok  ' if ok else 'DIFF'} {name}: {value!r}  (test: {expected!r}, within {tolerance:g})")

    def equal(self, name, value, expected):
        self.checked += 1
        ok = value == expected
        if not ok:
            self.failures += 1
        print(f"{'ok  ' if ok else 'DIFF'} {name}: {value!r}  (test: {expected!r})")

    def finish(self):
        print(f"{self.checked} figures, {self.failures} differ")
        return 1 if self.failures else 0
