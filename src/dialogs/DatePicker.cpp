#include "DatePicker.h"

#include "FormConfig.h"
#include "CivilDate.h"

bool TDatePicker::SetDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  Year = year;
  Month = month;
  Day = day;
  ShownYear = year;
  ShownMonth = month;
  return true;
}

void TDatePicker::PrevMonth() {
  if (ShownMonth > 1) {
    --ShownMonth;
  } else if (ShownYear > 1) {
    ShownMonth = 12;
    --ShownYear;
  }
}

void TDatePicker::NextMonth() {
  if (ShownMonth < 12) {
    ++ShownMonth;
  } else if (ShownYear < 9999) {
    ShownMonth = 1;
    ++ShownYear;
  }
}

void TDatePicker::PrevYear() {
  if (ShownYear > 1) --ShownYear;
}

void TDatePicker::NextYear() {
  if (ShownYear < 9999) ++ShownYear;
}

bool TDatePicker::PickDay(int day) {
  if (day < 1 || day > DaysInMonth(ShownYear, ShownMonth)) return false;
  Year = ShownYear;
  Month = ShownMonth;
  Day = day;
  return true;
}

int TDatePicker::Weekday(int year, int month, int day) {
  // Sakamoto's method on the proleptic Gregorian calendar.
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  int w = (year + year / 4 - year / 100 + year / 400 + t[month - 1] + day) % 7;
  return w < 0 ? w + 7 : w;
}

int TDatePicker::Cell(int row, int column) const {
  const int first = Weekday(ShownYear, ShownMonth, 1);
  const int day = row * 7 + column - first + 1;
  if (day < 1 || day > DaysInMonth(ShownYear, ShownMonth)) return 0;
  return day;
}
