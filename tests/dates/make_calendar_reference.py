#!/usr/bin/python3
"""Writes calendar_reference.txt, the independent reference for the calendar
conversions, from Debian's python3-convertdate. Run once by hand:

    /usr/bin/python3 tests/dates/make_calendar_reference.py > tests/dates/calendar_reference.txt

Lines:
  A <cal> <year> <sdn of month 1 day 1>   anchor before the first year
  <cal> <year> <month lengths, last digit each (28 -> 8, 31 -> 1, 5 -> 5)>
      cal: G Gregorian, J Julian (years -1000..3000, no year 0; only the
           length of February is written, the other months are fixed),
           H Hebrew (years 3000..6000, months in Tishri order, Adar II only in
           leap years), F French Republican (years 1..14).
      Each year starts the day after the previous one ends.
  S <sdn> <gy gm gd> <jy jm jd> <hy hm hd> <fy fm fd>
      sampled days; French 0 0 0 outside its years.
"""
import random
from convertdate import gregorian, julian, hebrew, french_republican as fr


def sdn(jd):
    return int(jd + 0.5)


def astro(year):
    return year + 1 if year < 0 else year


def historic(year):
    return year - 1 if year <= 0 else year


def western(name, module):
    for year in range(-1000, 3001):
        if year == 0:
            continue
        starts = [sdn(module.to_jd(astro(year), m, 1)) for m in range(1, 13)]
        starts.append(sdn(module.to_jd(astro(year) + 1, 1, 1)))
        if year == -1000:
            print(f"A {name} {year} {starts[0]}")
        print(f"{name} {year} {(starts[2] - starts[1]) % 10}")


# Our Hebrew months run from Tishri; convertdate's from Nisan.
OUR_TO_THEIRS = {1: 7, 2: 8, 3: 9, 4: 10, 5: 11, 6: 12, 7: 13,
                 8: 1, 9: 2, 10: 3, 11: 4, 12: 5, 13: 6}
THEIRS_TO_OURS = {v: k for k, v in OUR_TO_THEIRS.items()}


def hebrew_years():
    for year in range(3000, 6001):
        months = [m for m in range(1, 14) if m != 7 or hebrew.leap(year)]
        lengths = ''.join(str(hebrew.month_days(year, OUR_TO_THEIRS[m]) % 10) for m in months)
        if year == 3000:
            print(f"A H {year} {sdn(hebrew.to_jd(year, 7, 1))}")
        print(f"H {year} {lengths}")


def french_years():
    for year in range(1, 15):
        starts = [sdn(fr.to_jd(year, m, 1)) for m in range(1, 14)]
        nxt = sdn(fr.to_jd(year + 1, 1, 1))
        lengths = ''.join(str((b - a) % 10) for a, b in zip(starts, starts[1:] + [nxt]))
        if year == 1:
            print(f"A F {year} {starts[0]}")
        print(f"F {year} {lengths}")


def samples(count):
    rng = random.Random(1792)
    first = sdn(gregorian.to_jd(-999, 1, 1))
    last = sdn(gregorian.to_jd(3000, 12, 31))
    french_first = sdn(fr.to_jd(1, 1, 1))
    french_last = sdn(fr.to_jd(14, 13, 5))
    days = [rng.randint(first, last) for _ in range(count)]
    days += [rng.randint(french_first, french_last) for _ in range(count // 10)]
    for day in sorted(days):
        jd = day - 0.5
        gy, gm, gd = gregorian.from_jd(jd)
        jy, jm, jdd = julian.from_jd(jd)
        hy, hm, hd = hebrew.from_jd(jd)
        f = fr.from_jd(jd) if french_first <= day <= french_last else (0, 0, 0)
        print(f"S {day} {historic(gy)} {gm} {gd} {historic(jy)} {jm} {jdd} "
              f"{hy} {THEIRS_TO_OURS[hm]} {hd} {f[0]} {f[1]} {f[2]}")


if __name__ == "__main__":
    western("G", gregorian)
    western("J", julian)
    hebrew_years()
    french_years()
    samples(2000)
