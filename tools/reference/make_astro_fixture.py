#!/usr/bin/python3
"""Writes the reference positions that test_astro checks the series against.

Geometric geocentric positions of the Sun, the Moon and the planets Mercury
to Pluto, referred to the mean equator and equinox of the date, computed with
the independent astronomy library of Debian's python3-ephem package:

- planets: heliocentric ecliptic place of date (hlon, hlat, sun_distance)
  minus the Earth's (the Sun's hlon, hlat, earth_distance) at the same
  instant, so without light time or aberration;
- Sun: the Earth's heliocentric place reversed;
- Moon: its geocentric place of date (no light time).

The ecliptic places of date are turned to the equator with the library's mean
obliquity of date, and also precessed rigorously to the J2000 equator (the
test carries those back to the date with the system's own precession, as it
carries the stars, to measure where a body stands among the stars). The library runs on Terrestrial Time internally; each
instant is chosen so that its TT equals the Julian Day written, which is the
time argument the system gives its series.

Usage: make_astro_fixture.py OUTPUT   (for example tests/astro/reference_positions.txt)
"""
import math
import os
import sys

import ephem

DUBLIN_JD = 2415020.0  # ephem.Date counts days from this Julian Day

# Julian Days (TT): sparse from 2000 BC to AD 3000, dense 1800-2100.
CIVIL_DATES = [
    # (year, month, day, hour) as ephem reads them (-1000 = 1000 BC)
    (-2000, 5, 5, 12), (-1000, 3, 1, 0), (-500, 6, 21, 6), (1, 1, 1, 12), (500, 9, 10, 18), (1000, 4, 4, 3),
    (1300, 11, 20, 9), (1582, 10, 15, 0), (1700, 7, 7, 21),
    (1800, 1, 1, 0), (1815, 6, 18, 12), (1830, 9, 3, 6), (1850, 2, 14, 18), (1871, 5, 5, 9),
    (1890, 12, 25, 15), (1900, 1, 1, 0), (1910, 5, 18, 22), (1925, 8, 8, 8), (1940, 3, 3, 3),
    (1955, 10, 10, 10), (1969, 7, 20, 20), (1985, 12, 31, 23), (1999, 8, 11, 11),
    (2000, 1, 1, 12), (2008, 4, 30, 6), (2017, 8, 21, 18), (2026, 3, 1, 13), (2035, 11, 11, 1),
    (2050, 6, 6, 6), (2064, 2, 29, 12), (2079, 9, 9, 19), (2090, 10, 1, 4), (2100, 12, 31, 12),
    (2300, 5, 5, 5), (2500, 7, 7, 7), (2600, 8, 15, 16), (3000, 1, 1, 0),
]


def julian_day(y, m, d, h):
    """Julian Day of a civil date (Julian calendar before 1582-10-15)."""
    return float(ephem.Date((y, m, d, h, 0, 0))) + DUBLIN_JD


def ut_for_tt(jd_tt):
    """ephem date (UT) whose Terrestrial Time is jd_tt."""
    ut = jd_tt - DUBLIN_JD
    for _ in range(5):
        ut = jd_tt - DUBLIN_JD - ephem.delta_t(ephem.Date(ut)) / 86400.0
    return ephem.Date(ut)


def vector(lon, lat, r):
    return (r * math.cos(lat) * math.cos(lon), r * math.cos(lat) * math.sin(lon), r * math.sin(lat))


def equatorial(lon, lat, when):
    """Equator of date and J2000 of an ecliptic place of date."""
    ecl = ephem.Ecliptic(lon, lat, epoch=when)
    of_date = ephem.Equatorial(ecl, epoch=when)
    j2000 = ephem.Equatorial(ecl, epoch=ephem.J2000)
    return float(of_date.ra), float(of_date.dec), float(j2000.ra), float(j2000.dec)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    lines = [
        "# Reference positions for test_astro, written by tools/reference/make_astro_fixture.py",
        "# with python3-ephem %s. Geometric geocentric, mean equator and equinox of date." % ephem.__version__,
        "# jd_tt body ra dec dist ra2000 dec2000   (radians, AU; body 1 Sun, 2 Moon, 3 Mercury .. 10 Pluto)",
        "# ra, dec: mean equator and equinox of date; ra2000, dec2000: the same place on the J2000 equator",
    ]
    planets = [ephem.Mercury, ephem.Venus, ephem.Mars, ephem.Jupiter, ephem.Saturn,
               ephem.Uranus, ephem.Neptune, ephem.Pluto]
    for (y, m, d, h) in CIVIL_DATES:
        jd = julian_day(y, m, d, h)
        when = ut_for_tt(jd)
        sun = ephem.Sun()
        sun.compute(when, epoch=when)
        earth = vector(float(sun.hlon), float(sun.hlat), sun.earth_distance)
        rows = []
        rows.append((1,) + equatorial(float(sun.hlon) + math.pi, -float(sun.hlat), when)
                    + (sun.earth_distance,))
        moon = ephem.Moon()
        moon.compute(when, epoch=when)
        rows.append((2,) + equatorial(float(moon.hlon), float(moon.hlat), when)
                    + (moon.earth_distance,))
        for k, cls in enumerate(planets):
            p = cls()
            p.compute(when, epoch=when)
            helio = vector(float(p.hlon), float(p.hlat), p.sun_distance)
            g = [a - b for a, b in zip(helio, earth)]
            lon = math.atan2(g[1], g[0])
            lat = math.atan2(g[2], math.hypot(g[0], g[1]))
            rows.append((3 + k,) + equatorial(lon, lat, when)
                        + (math.sqrt(sum(c * c for c in g)),))
        for body, ra, dec, ra2000, dec2000, dist in rows:
            lines.append("%.6f %d %.12f %.12f %.9f %.12f %.12f" % (
                jd, body, ra % (2 * math.pi), dec, dist, ra2000 % (2 * math.pi), dec2000))
    out = sys.argv[1]
    tmp = out + ".tmp"
    with open(tmp, "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(tmp, out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
