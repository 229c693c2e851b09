// Civil calendar arithmetic of the observer's clock: whole days and minutes
// added to a local date and time, with the calendar the day count uses
// (Julian before 1582-10-15, Gregorian from then on, so 1582-10-04 is
// followed by 1582-10-15; year 1 = AD 1, -1 = 1 BC, no year 0).
//
// The dates the program represents run from -99999-01-01 0:00 to
// 99999-12-31 23:59:59 (the status line prints Year mod 100000); arithmetic
// that would leave that range stops at its edge.
#pragma once

#include <cstdint>

struct TCivilTime {
  int32_t Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0;
  int32_t Second = 0;  // 0..59
  bool operator==(const TCivilTime&) const = default;
};

constexpr int32_t FirstYear = -99999;
constexpr int32_t LastYear = 99999;

// The last day of a month (1..12) of a year in this calendar (October 1582
// ends on the 31st, although its days 5..14 were left out); 0 for a month
// out of range.
int DaysInMonth(int year, int month);

// A date the calendar has: year -99999..99999 but no year 0, month 1..12,
// day 1..DaysInMonth, and none of 1582-10-05..14 (left out by the reform).
// False with the rule broken in `why` (English).
bool ValidCivilDate(int year, int month, int day, const char*& why);

// Julian Day Number (the day starting at noon) of a civil date; fields out of
// range act as offsets (month 13 is January of the next year, day 0 the last
// day of the month before).
int64_t CivilDayNumber(int year, int month, int day);
// The civil date of a Julian Day Number.
void CivilDateOf(int64_t dayNumber, int32_t& year, int32_t& month, int32_t& day);

// Brings every field into range (minutes into hours, hours into days, days
// into months and years), keeping the instant. False when the instant lies
// outside the representable dates; it is then set to the nearer edge.
bool NormalizeCivil(TCivilTime& t);

// Adds `amount` minutes (unit 1), days (unit 2), years (unit 3; a day that
// the month of the new year lacks carries into the next month) or seconds
// (unit 4); any other unit adds nothing. The seconds of the minute are kept
// by the other units. False, with the time at the edge (0:00:00 of the
// first day, 23:59:59 of the last), when the sum would leave the
// representable dates.
bool AddToCivil(TCivilTime& t, int unit, int64_t amount);
