#include "DatePicker.h"

#include "CivilDate.h"

bool TDatePicker::SetDate(int year, int month, int day) {
  if (year < FirstPickerYear || year > LastPickerYear || month < 1 || month > 12 || day < 1 ||
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
  } else if (ShownYear > FirstPickerYear) {
    ShownMonth = 12;
    --ShownYear;
  }
}

void TDatePicker::NextMonth() {
  if (ShownMonth < 12) {
    ++ShownMonth;
  } else if (ShownYear < LastPickerYear) {
    ShownMonth = 1;
    ++ShownYear;
  }
}

void TDatePicker::PrevYear() {
  if (ShownYear > FirstPickerYear) --ShownYear;
}

void TDatePicker::NextYear() {
  if (ShownYear < LastPickerYear) ++ShownYear;
}

bool TDatePicker::PickDay(int day) {
  if (day < 1 || day > DaysInMonth(ShownYear, ShownMonth)) return false;
  Year = ShownYear;
  Month = ShownMonth;
  Day = day;
  return true;
}

int TDatePicker::Weekday(int year, int month, int day) {
  // Julian Day Number 0 was a Monday.
  return static_cast<int>(((CivilDayNumber(year, month, day) + 1) % 7 + 7) % 7);
}

int TDatePicker::Cell(int row, int column) const {
  const int first = Weekday(ShownYear, ShownMonth, 1);
  const int day = row * 7 + column - first + 1;
  if (day < 1 || day > DaysInMonth(ShownYear, ShownMonth)) return 0;
  return day;
}
