#include "CivilDate.h"

#include <algorithm>

namespace {

// Julian Day Number of the first Gregorian day, 1582-10-15.
constexpr int64_t GregorianStart = 2299161;
// A whole number of four-year Julian cycles that lifts every year the
// program represents above the range where integer division rounds the
// wrong way.
constexpr int64_t ShiftCycles = 30000;
constexpr int64_t DaysPerCycle = 1461;
constexpr int64_t MinutesPerDay = 1440;

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Astronomical year numbering (1 BC = 0) and back.
int64_t Astronomical(int64_t year) { return year < 0 ? year + 1 : year; }
int64_t Historical(int64_t year) { return year <= 0 ? year - 1 : year; }

int64_t JulianCalendarDay(int64_t y, int64_t m, int64_t d) {
  y += 4 * ShiftCycles;
  const int64_t a = (14 - m) / 12;
  const int64_t yy = y + 4800 - a, mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083 - ShiftCycles * DaysPerCycle;
}

int64_t GregorianCalendarDay(int64_t y, int64_t m, int64_t d) {
  const int64_t a = (14 - m) / 12;
  const int64_t yy = y + 4800 - a, mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

bool IsJulianDate(int64_t year, int64_t month, int64_t day) {
  return year < 1582 || (year == 1582 && (month < 10 || (month == 10 && day < 15)));
}

int64_t MinuteOf(int64_t dayNumber, int64_t hour, int64_t minute) {
  return dayNumber * MinutesPerDay + hour * 60 + minute;
}

const int64_t FirstMinute = MinuteOf(CivilDayNumber(FirstYear, 1, 1), 0, 0);
const int64_t LastMinute = MinuteOf(CivilDayNumber(LastYear, 12, 31), 23, 59);

// The civil time of a minute count; false (clamped) outside the range.
bool SetFromMinute(TCivilTime& t, int64_t minute) {
  bool inside = true;
  if (minute < FirstMinute) minute = FirstMinute, inside = false;
  if (minute > LastMinute) minute = LastMinute, inside = false;
  const int64_t day = FloorDiv(minute, MinutesPerDay);
  const int64_t rest = minute - day * MinutesPerDay;
  CivilDateOf(day, t.Year, t.Month, t.Day);
  t.Hour = static_cast<int32_t>(rest / 60);
  t.Minute = static_cast<int32_t>(rest % 60);
  return inside;
}

}  // namespace

int64_t CivilDayNumber(int year, int month, int day) {
  // Months out of range move the year first, so that the calendar rule
  // sees a real month.
  int64_t y = Astronomical(year);
  int64_t m = month - 1;
  y += FloorDiv(m, 12);
  m = m - 12 * FloorDiv(m, 12) + 1;
  // A day counts from the first of its month in the calendar of that day,
  // as the day count does for the dates inside October 1582.
  if (IsJulianDate(Historical(y), m, day)) return JulianCalendarDay(y, m, 1) + day - 1;
  return GregorianCalendarDay(y, m, 1) + day - 1;
}

void CivilDateOf(int64_t j, int32_t& year, int32_t& month, int32_t& day) {
  int64_t d, e, m, y;
  if (j >= GregorianStart) {
    const int64_t a = j + 32044;
    const int64_t b = (4 * a + 3) / 146097;
    const int64_t c = a - 146097 * b / 4;
    d = (4 * c + 3) / 1461;
    e = c - 1461 * d / 4;
    m = (5 * e + 2) / 153;
    y = 100 * b + d - 4800 + m / 10;
  } else {
    const int64_t c = j + 32082 + ShiftCycles * DaysPerCycle;
    d = (4 * c + 3) / 1461;
    e = c - 1461 * d / 4;
    m = (5 * e + 2) / 153;
    y = d - 4800 + m / 10 - 4 * ShiftCycles;
  }
  day = static_cast<int32_t>(e - (153 * m + 2) / 5 + 1);
  month = static_cast<int32_t>(m + 3 - 12 * (m / 10));
  year = static_cast<int32_t>(Historical(y));
}

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  int32_t ny = year, nm = month + 1;
  if (nm > 12) {
    nm = 1;
    ny = static_cast<int32_t>(Historical(Astronomical(year) + 1));
  }
  const int64_t length = CivilDayNumber(ny, nm, 1) - CivilDayNumber(year, month, 1);
  // The ten days the calendar change left out still count in the numbering.
  return static_cast<int>(length) + (year == 1582 && month == 10 ? 10 : 0);
}

bool NormalizeCivil(TCivilTime& t) {
  return SetFromMinute(t, MinuteOf(CivilDayNumber(t.Year, t.Month, t.Day), t.Hour, t.Minute));
}

namespace {

// The minute part of AddToCivil; the seconds are left to the caller.
bool AddMinutes(TCivilTime& t, int unit, int64_t amount) {
  const int64_t now = MinuteOf(CivilDayNumber(t.Year, t.Month, t.Day), t.Hour, t.Minute);
  switch (unit) {
    case 4: {
      const int64_t second = now * 60 + t.Second + amount;
      const int64_t minute = FloorDiv(second, 60);
      t.Second = static_cast<int32_t>(second - minute * 60);
      return SetFromMinute(t, minute);
    }
    case 1:
      return SetFromMinute(t, now + amount);
    case 2:
      return SetFromMinute(t, now + amount * MinutesPerDay);
    case 3: {
      const int64_t year = Historical(Astronomical(t.Year) + amount);
      if (year < FirstYear) return SetFromMinute(t, FirstMinute - 1);
      if (year > LastYear) return SetFromMinute(t, LastMinute + 1);
      const int64_t day = CivilDayNumber(static_cast<int>(year), t.Month, 1) + t.Day - 1;
      return SetFromMinute(t, MinuteOf(day, t.Hour, t.Minute));
    }
    default:
      return NormalizeCivil(t);
  }
}

}  // namespace

bool AddToCivil(TCivilTime& t, int unit, int64_t amount) {
  // Amounts beyond the whole range cannot overflow the arithmetic below.
  constexpr int64_t Huge = int64_t{1} << 40;
  amount = std::clamp(amount, -Huge, Huge);
  t.Second = std::clamp(t.Second, 0, 59);
  if (AddMinutes(t, unit, amount)) return true;
  // Stopped at an edge: the first or the last second the program represents.
  t.Second = t.Year == FirstYear && t.Month == 1 && t.Day == 1 && t.Hour == 0 && t.Minute == 0 ? 0 : 59;
  return false;
}

bool ValidCivilDate(int year, int month, int day, const char*& why) {
  why = "";
  if (year < FirstYear || year > LastYear) why = "years -99999..99999";
  else if (year == 0) why = "there is no year 0; 1 BC is year -1";
  else if (month < 1 || month > 12) why = "months 1..12";
  else if (day < 1 || day > DaysInMonth(year, month)) why = "no such day in that month";
  else if (year == 1582 && month == 10 && day > 4 && day < 15)
    why = "October 5..14 of 1582 were left out by the calendar reform";
  return *why == '\0';
}
