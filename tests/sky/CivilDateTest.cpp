// Calendar arithmetic of the observer's clock: carries and borrows across
// minutes, days, months, years and leap days in both directions, the
// calendar change of 1582, and the edges of the representable dates.
#include <gtest/gtest.h>

#include "CivilDate.h"
#include "TimeScales.h"

namespace {

struct StepCase {
  const char* Name;
  TCivilTime From;
  int Unit;
  int64_t Amount;
  TCivilTime To;
  bool Inside;
};

TEST(CivilDate, StepsCarryAndBorrowAcrossEveryField) {
  const StepCase cases[] = {
      {"minute into the new year", {2025, 12, 31, 23, 59}, 1, 1, {2026, 1, 1, 0, 0}, true},
      {"minute back into leap day", {2024, 3, 1, 0, 0}, 1, -1, {2024, 2, 29, 23, 59}, true},
      {"minute back into 28 February", {2025, 3, 1, 0, 0}, 1, -1, {2025, 2, 28, 23, 59}, true},
      {"minute back into the old year", {2026, 1, 1, 0, 0}, 1, -1, {2025, 12, 31, 23, 59}, true},
      {"hour carry", {2026, 1, 15, 21, 59}, 1, 1, {2026, 1, 15, 22, 0}, true},
      {"day across the month end", {2026, 1, 31, 21, 0}, 2, 1, {2026, 2, 1, 21, 0}, true},
      {"day to leap day", {2024, 2, 28, 6, 30}, 2, 1, {2024, 2, 29, 6, 30}, true},
      {"day over a common February", {2023, 2, 28, 6, 30}, 2, 1, {2023, 3, 1, 6, 30}, true},
      {"day back over a month start", {2026, 3, 1, 0, 0}, 2, -1, {2026, 2, 28, 0, 0}, true},
      {"day back over January", {2026, 1, 1, 12, 0}, 2, -1, {2025, 12, 31, 12, 0}, true},
      {"1900 is no leap year", {1900, 2, 28, 0, 0}, 2, 1, {1900, 3, 1, 0, 0}, true},
      {"2000 is a leap year", {2000, 2, 28, 0, 0}, 2, 1, {2000, 2, 29, 0, 0}, true},
      {"a year in days", {2024, 1, 1, 0, 0}, 2, 366, {2025, 1, 1, 0, 0}, true},
      {"leap day plus a year", {2024, 2, 29, 8, 0}, 3, 1, {2025, 3, 1, 8, 0}, true},
      {"leap day plus four years", {2024, 2, 29, 8, 0}, 3, 4, {2028, 2, 29, 8, 0}, true},
      {"years back", {2026, 1, 15, 21, 0}, 3, -26, {2000, 1, 15, 21, 0}, true},
      {"no year 0 forward", {-1, 6, 1, 0, 0}, 3, 1, {1, 6, 1, 0, 0}, true},
      {"no year 0 backward", {1, 6, 1, 0, 0}, 3, -1, {-1, 6, 1, 0, 0}, true},
      {"Julian leap century", {1500, 2, 28, 0, 0}, 2, 1, {1500, 2, 29, 0, 0}, true},
      {"the calendar change", {1582, 10, 4, 12, 0}, 2, 1, {1582, 10, 15, 12, 0}, true},
      {"and back", {1582, 10, 15, 0, 0}, 1, -1, {1582, 10, 4, 23, 59}, true},
      {"the last date stops", {99999, 12, 31, 23, 59}, 1, 1, {99999, 12, 31, 23, 59, 59}, false},
      {"years past the last date", {99990, 6, 1, 0, 0}, 3, 100, {99999, 12, 31, 23, 59, 59}, false},
      {"the first date stops", {-99999, 1, 1, 0, 0}, 2, -1, {-99999, 1, 1, 0, 0}, false},
      {"a huge amount stops at the edge", {2026, 1, 1, 0, 0}, 1, INT64_MAX, {99999, 12, 31, 23, 59, 59}, false},
      {"a huge negative amount", {2026, 1, 1, 0, 0}, 3, INT64_MIN, {-99999, 1, 1, 0, 0}, false},
      {"unknown unit adds nothing", {2026, 1, 15, 21, 0}, 5, 5, {2026, 1, 15, 21, 0}, true},
      {"seconds within a minute", {2024, 4, 8, 13, 40, 30}, 4, 10, {2024, 4, 8, 13, 40, 40}, true},
      {"seconds into the next day", {2026, 12, 31, 23, 59, 55}, 4, 10, {2027, 1, 1, 0, 0, 5}, true},
      {"seconds back over a minute", {2026, 8, 12, 18, 0, 5}, 4, -10, {2026, 8, 12, 17, 59, 55}, true},
      {"seconds back over the calendar change", {1582, 10, 15, 0, 0, 0}, 4, -1, {1582, 10, 4, 23, 59, 59}, true},
      {"minutes keep the seconds", {2026, 1, 1, 0, 0, 42}, 1, 61, {2026, 1, 1, 1, 1, 42}, true},
      {"days keep the seconds", {2026, 1, 1, 0, 0, 42}, 2, -1, {2025, 12, 31, 0, 0, 42}, true},
      {"the last second stops", {99999, 12, 31, 23, 59, 59}, 4, 1, {99999, 12, 31, 23, 59, 59}, false},
      {"the first second stops", {-99999, 1, 1, 0, 0, 0}, 4, -1, {-99999, 1, 1, 0, 0, 0}, false},
      {"the first date in seconds", {-99999, 1, 1, 0, 0, 30}, 2, -1, {-99999, 1, 1, 0, 0, 0}, false},
  };
  for (const StepCase& c : cases) {
    TCivilTime t = c.From;
    EXPECT_EQ(AddToCivil(t, c.Unit, c.Amount), c.Inside) << c.Name;
    EXPECT_EQ(t, c.To) << c.Name << ": " << t.Year << "-" << t.Month << "-" << t.Day << " "
                       << t.Hour << ":" << t.Minute << ":" << t.Second;
  }
}

TEST(CivilDate, MonthLengths) {
  const struct {
    int Year, Month, Days;
  } cases[] = {{2026, 1, 31}, {2026, 2, 28}, {2024, 2, 29}, {2100, 2, 28}, {1600, 2, 29},
               {1300, 2, 29}, {-1, 2, 29}, {-5, 2, 29}, {-2, 2, 28}, {1582, 10, 31},
               {2026, 4, 30}, {2026, 12, 31}, {99999, 12, 31}};
  for (const auto& c : cases) EXPECT_EQ(DaysInMonth(c.Year, c.Month), c.Days) << c.Year << "-" << c.Month;
}

// The day numbers agree with the day count the astronomy uses, so a step of
// time flow is a step of the sky.
TEST(CivilDate, DayNumbersAgreeWithTheAstronomyCalendar) {
  const struct {
    int Year, Month, Day;
  } dates[] = {{2026, 1, 15}, {2000, 1, 1}, {1582, 10, 15}, {1582, 10, 4}, {1, 1, 1},
               {-1, 12, 31}, {-4712, 1, 1}, {-99999, 1, 1}, {99999, 12, 31}, {1900, 3, 1}};
  for (const auto& d : dates) {
    const long double jd = CivilToJulianDay(d.Year, d.Month, d.Day);
    EXPECT_EQ(static_cast<long double>(CivilDayNumber(d.Year, d.Month, d.Day)), jd + 0.5L)
        << d.Year << "-" << d.Month << "-" << d.Day;
    int32_t y, m, dd;
    CivilDateOf(CivilDayNumber(d.Year, d.Month, d.Day), y, m, dd);
    EXPECT_EQ(y, d.Year);
    EXPECT_EQ(m, d.Month);
    EXPECT_EQ(dd, d.Day);
  }
}

TEST(CivilDate, EveryDayOfFourCenturiesRoundTrips) {
  int32_t y = 1580, m = 1, d = 1;
  int64_t j = CivilDayNumber(y, m, d);
  for (int k = 0; k < 146097 * 2; ++k, ++j) {
    int32_t yy, mm, dd;
    CivilDateOf(j, yy, mm, dd);
    ASSERT_EQ(CivilDayNumber(yy, mm, dd), j) << yy << "-" << mm << "-" << dd;
    ASSERT_GE(dd, 1);
    ASSERT_LE(dd, DaysInMonth(yy, mm));
    if (yy == 1582 && mm == 10) {
      ASSERT_TRUE(dd <= 4 || dd >= 15) << dd;
    }
  }
}

TEST(CivilDate, NormalizeBringsFieldsIntoRange) {
  TCivilTime t{2026, 13, 32, 25, 61};
  EXPECT_TRUE(NormalizeCivil(t));
  EXPECT_EQ(t, (TCivilTime{2027, 2, 2, 2, 1}));
  TCivilTime far{200000, 1, 1, 0, 0};
  EXPECT_FALSE(NormalizeCivil(far));
  EXPECT_EQ(far.Year, 99999);
}

}  // namespace

namespace {

// The dates the calendar has, as every date typed or given is checked.
TEST(CivilDate, ValidDates) {
  const struct {
    int Y, M, D;
    bool Valid;
  } cases[] = {{2024, 2, 29, true},   {1900, 2, 29, false}, {2000, 2, 29, true},
               {-5, 2, 29, true},     {-4, 2, 29, false},   {1582, 10, 4, true},
               {1582, 10, 5, false},  {1582, 10, 14, false}, {1582, 10, 15, true},
               {0, 1, 1, false},      {2026, 13, 1, false}, {2026, 4, 31, false},
               {-99999, 1, 1, true},  {100000, 1, 1, false}};
  for (const auto& c : cases) {
    const char* why = nullptr;
    EXPECT_EQ(ValidCivilDate(c.Y, c.M, c.D, why), c.Valid) << c.Y << "-" << c.M << "-" << c.D;
    EXPECT_EQ(*why == '\0', c.Valid);
  }
}

}  // namespace
