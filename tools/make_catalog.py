#!/usr/bin/env python3
"""Generate the building catalog shipped with JorLivaronMng.

The program reads its catalog (buildings, levels, costs, build times and a
few further figures) from JorLivaronMng.xml beside the executable.  This
script computes every level of every building from its level-1 figures and
writes that file.  It uses the standard library only and is deterministic:
the same script always gives the same bytes.

Run from the top of the work tree:

    python3 tools/make_catalog.py data/JorLivaronMng.xml

Without an argument the catalog goes to standard output:

    python3 tools/make_catalog.py > data/JorLivaronMng.xml

Rules for level L, from the level-1 figures:
  cost(L)     = cost(1) * k^(L-1), to the nearest multiple of 5
  time(L)     = (time(1) + b) * t^(L-1) - b, to the nearest 10 seconds,
                with t and b from the building's time class
  USEGRAIN(L) = USEGRAIN(1) + (L-1) div 2 when USEGRAIN(1) is not 0, else 0
  EK(L)       = 1 + L div 2
  PROD(L)     = the building's own rule (see PRODUCTION_RULES)
  CAPACITY(L) = for a warehouse or granary, its whole capacity (32 bits)

All arithmetic is exact (fractions.Fraction), so rounding never depends on
floating-point error.  "Nearest" always rounds half up, written out as
floor(x / step + 1/2) * step, never Python's round(), which rounds half to
even.
"""

import math
import sys
from fractions import Fraction as F
from xml.sax.saxutils import escape

# Time classes: (t, b) of the time rule.
TIME_CLASSES = {
    "field": (F("1.6"), F(1000, 3)),
    "ordinary": (F("1.16"), F(1875)),
    "booster": (F("1.5"), F(2400)),
}

# Hourly production of a resource field, by level 1..20.
FIELD_PRODUCTION = [5, 9, 15, 22, 33, 50, 70, 100, 145, 200,
                    280, 375, 495, 635, 800, 1000, 1300, 1600, 2000, 2450]

# Widths of the catalog entry's fields; the program stores each figure in one.
LEVEL_RANGE = (-128, 127)
COST_RANGE = (0, 2**31 - 1)          # signed 32-bit, and a cost is never negative
USEGRAIN_RANGE = (0, 65535)
EK_RANGE = (0, 65535)
PROD_RANGE = (-32768, 32767)
TIME_RANGE = (0, 2**31 - 1)          # seconds, signed 32-bit
CAPACITY_RANGE = (0, 2**31 - 1)      # signed 32-bit


def round_half_up(x, step):
    """x rounded to the nearest multiple of step, halves rounded up."""
    return math.floor(F(x) / step + F(1, 2)) * step


def main_building_percent(level):
    """Build-time percentage of the main building: 100 * 0.964^(L-1)."""
    return round_half_up(100 * F("0.964") ** (level - 1), 1)


def storage_capacity(level):
    """Capacity of a warehouse or granary: 2120 * 1.2^L - 1320, to 100."""
    return round_half_up(2120 * F("1.2") ** level - 1320, 100)


def storage_prod(level):
    """PROD of a warehouse or granary: its capacity, clamped to 16 bits.

    From level 16 on the capacity exceeds the 16-bit PROD field, so the
    catalog holds 32767 there and the whole capacity in CAPACITY, which the
    program reads instead where it is given.
    """
    return min(storage_capacity(level), PROD_RANGE[1])


# PROD of each kind of building, as a function of the level.
PRODUCTION_RULES = {
    "field": lambda level: FIELD_PRODUCTION[level - 1],
    "main": main_building_percent,
    "storage": storage_prod,
    "traders": lambda level: level,
    "hidden": lambda level: 100 * level,
    "wall": lambda level: 3 * level,
    "bonus": lambda level: 5 * level,
    "none": lambda level: 0,
}

# Buildings in catalog order:
# name, highest level, level-1 costs (wood, clay, iron, grain), cost factor k,
# time class, USEGRAIN of level 1, build time of level 1, PROD rule.
BUILDINGS = [
    ("Лесопильный завод", 20, (40, 100, 50, 60), "1.67", "field", 0, "00:04:20", "field"),
    ("Глиняный карьер", 20, (80, 40, 80, 50), "1.67", "field", 0, "00:03:40", "field"),
    ("Железный рудник", 20, (100, 80, 30, 60), "1.67", "field", 0, "00:07:30", "field"),
    ("Ферма", 20, (70, 90, 70, 20), "1.67", "field", 0, "00:02:30", "field"),
    ("Главное здание", 20, (70, 40, 60, 20), "1.28", "ordinary", 2, "00:33:20", "main"),
    ("Склад", 20, (130, 160, 90, 40), "1.28", "ordinary", 1, "00:33:20", "storage"),
    ("Амбар", 20, (80, 100, 70, 20), "1.28", "ordinary", 1, "00:26:40", "storage"),
    ("Пункт сбора", 20, (110, 160, 90, 70), "1.28", "ordinary", 1, "00:33:20", "none"),
    ("Казарма", 20, (210, 140, 260, 120), "1.28", "ordinary", 4, "00:33:20", "none"),
    ("Конюшня", 20, (260, 140, 220, 100), "1.28", "ordinary", 5, "00:36:40", "none"),
    ("Мастерская", 20, (460, 510, 600, 320), "1.28", "ordinary", 3, "01:06:40", "none"),
    ("Академия", 20, (220, 160, 90, 40), "1.28", "ordinary", 4, "00:33:20", "none"),
    ("Кузница", 20, (170, 200, 380, 130), "1.28", "ordinary", 4, "00:33:20", "none"),
    ("Рынок", 20, (80, 70, 120, 70), "1.28", "ordinary", 4, "00:30:00", "traders"),
    ("Посольство", 20, (180, 130, 150, 80), "1.28", "ordinary", 3, "00:33:20", "none"),
    ("Тайник", 10, (40, 50, 30, 10), "1.28", "ordinary", 0, "00:12:30", "hidden"),
    ("Ратуша", 20, (1250, 1110, 1260, 600), "1.28", "ordinary", 4, "02:05:00", "none"),
    ("Резиденция", 20, (580, 460, 350, 180), "1.28", "ordinary", 1, "00:41:40", "none"),
    ("Стена", 20, (110, 160, 70, 60), "1.28", "ordinary", 0, "00:33:20", "wall"),
    ("Деревообрабатывающий завод", 5, (520, 380, 290, 90), "1.80", "booster", 1, "01:00:00", "bonus"),
    ("Кирпичный завод", 5, (440, 480, 320, 50), "1.80", "booster", 1, "01:00:00", "bonus"),
    ("Литейный завод", 5, (200, 450, 510, 120), "1.80", "booster", 1, "01:00:00", "bonus"),
    ("Мельница", 5, (500, 440, 380, 1240), "1.80", "booster", 1, "01:23:20", "bonus"),
    ("Пекарня", 5, (1200, 1480, 870, 1600), "1.80", "booster", 1, "02:05:00", "bonus"),
]


def text_to_seconds(text):
    hours, minutes, seconds = (int(part) for part in text.split(":"))
    return hours * 3600 + minutes * 60 + seconds


def seconds_to_text(seconds):
    """hh:mm:ss; hours have at least two digits and may exceed 99."""
    hours, rest = divmod(seconds, 3600)
    minutes, seconds = divmod(rest, 60)
    return "%02d:%02d:%02d" % (hours, minutes, seconds)


def require(condition, message):
    """Like assert, but also active under python3 -O."""
    if not condition:
        raise AssertionError(message)


def check_range(value, bounds, what):
    low, high = bounds
    require(low <= value <= high, "%s = %d lies outside %d..%d" % (what, value, low, high))


def make_level(building, level):
    """The figures of one catalog entry, in attribute order."""
    name, _, costs, k, time_class, use_grain_1, time_1, prod_rule = building
    factor = F(k) ** (level - 1)
    wood, clay, iron, grain = (round_half_up(cost * factor, 5) for cost in costs)
    t, b = TIME_CLASSES[time_class]
    seconds = round_half_up((text_to_seconds(time_1) + b) * t ** (level - 1) - b, 10)
    use_grain = use_grain_1 + (level - 1) // 2 if use_grain_1 != 0 else 0
    ek = 1 + level // 2
    prod = PRODUCTION_RULES[prod_rule](level)

    where = "%s level %d" % (name, level)
    check_range(level, LEVEL_RANGE, where + " ID")
    for label, cost in zip(("WOOD", "CLAY", "IRON", "GRAIN"), (wood, clay, iron, grain)):
        check_range(cost, COST_RANGE, where + " " + label)
    check_range(use_grain, USEGRAIN_RANGE, where + " USEGRAIN")
    check_range(ek, EK_RANGE, where + " EK")
    check_range(seconds, TIME_RANGE, where + " TIME")
    check_range(prod, PROD_RANGE, where + " PROD")

    entry = [("ID", level), ("WOOD", wood), ("CLAY", clay), ("IRON", iron),
             ("GRAIN", grain), ("USEGRAIN", use_grain), ("EK", ek),
             ("TIME", seconds_to_text(seconds)), ("PROD", prod)]
    if prod_rule == "storage":
        capacity = storage_capacity(level)
        check_range(capacity, CAPACITY_RANGE, where + " CAPACITY")
        entry.append(("CAPACITY", capacity))
    return entry


def make_catalog():
    """The catalog as (name, [entry of level 1, entry of level 2, ...]) pairs, in order."""
    return [(building[0], [make_level(building, level) for level in range(1, building[1] + 1)])
            for building in BUILDINGS]


def check_known_figures(catalog):
    """Figures the catalog must reproduce exactly."""
    entries = dict(catalog)

    def costs(name, level):
        return tuple(value for key, value in entries[name][level - 1][1:5])

    def prod(name, level):
        return dict(entries[name][level - 1])["PROD"]

    require(costs("Главное здание", 2) == (90, 50, 75, 25), costs("Главное здание", 2))
    require(costs("Ферма", 2) == (115, 150, 115, 35), costs("Ферма", 2))
    require(prod("Главное здание", 20) == 50, prod("Главное здание", 20))
    require(prod("Главное здание", 10) == 72, prod("Главное здание", 10))
    require(prod("Склад", 1) == 1200, prod("Склад", 1))
    require(dict(entries["Склад"][19])["CAPACITY"] == 80000, "capacity of level 20")
    # Where PROD is not clamped it is the capacity itself.
    for level in range(1, 16):
        require(dict(entries["Амбар"][level - 1])["CAPACITY"] == prod("Амбар", level), "capacity of level %d" % level)


def attribute_text(value):
    return escape(str(value), {'"': "&quot;"})


def write_catalog(catalog, out):
    """Plain UTF-8, two-space indentation, one Level per line, LF line ends."""
    out.write('<?xml version="1.0" encoding="utf-8"?>\n')
    out.write("<JorLivaronObjectList>\n")
    for name, levels in catalog:
        out.write('  <Object Name="%s">\n' % attribute_text(name))
        for entry in levels:
            attributes = " ".join('%s="%s"' % (key, attribute_text(value)) for key, value in entry)
            out.write("    <Level %s/>\n" % attributes)
        out.write("  </Object>\n")
    out.write("</JorLivaronObjectList>\n")


def main(argv):
    catalog = make_catalog()
    check_known_figures(catalog)
    if len(argv) > 1:
        with open(argv[1], "w", encoding="utf-8", newline="\n") as out:
            write_catalog(catalog, out)
    else:
        out = open(sys.stdout.fileno(), "w", encoding="utf-8", newline="\n", closefd=False)
        write_catalog(catalog, out)
        out.flush()


if __name__ == "__main__":
    main(sys.argv)
