// Delta-T: Terrestrial Time minus Universal Time, the difference between the
// uniform time the series run on and the time the Earth's rotation keeps.
//
// Model: the polynomial expressions of F. Espenak and J. Meeus ("Five
// Millennium Canon of Solar Eclipses: -1999 to +3000", NASA TP-2006-214141,
// section 2.6), which follow the historical values of Morrison and
// Stephenson (2004) and their parabola -20 + 32 u^2 (u in centuries from
// 1820) outside -500..2150. From 2005 on the canon's forecast has been
// overtaken by the Earth's faster turning; there the yearly values of the
// IERS Earth orientation series are used up to 2025.0, then a parabola,
// level at 2025, meets the canon's 2050..2150 expression at 2050.
//
// The model assumes the Moon's tidal acceleration of -26 arc seconds per
// century squared; the lunar series used here differ from that by less than
// half an arc second per century squared, far inside the uncertainty of
// Delta-T before the telescope.
#pragma once

// Delta-T in seconds at a decimal year (2000.0 = the start of 2000; BC years
// astronomical, -500 = 501 BC).
double DeltaTSeconds(double year);

// Decimal year of a Julian Day jd (Universal Time as the callers pass it;
// Julian years of 365.25 days from J2000.0; exact enough for Delta-T, which
// changes slowly, so TT would serve as well).
double DecimalYearOfJulianDay(double jd);
