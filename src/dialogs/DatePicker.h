// A date picker composed of plain parts: the chosen date, the month the
// calendar shows, and the grid of that month's days (weeks from Sunday).
// The view draws the grid; the handlers move the shown month and pick a day.
#pragma once

struct TCivilDateTime {
  int Year = 2000, Month = 1, Day = 1, Hour = 12, Minute = 0, Second = 0;
};

class TDatePicker {
 public:
  // The years the calendar shows: Gregorian months of whole length.
  static constexpr int FirstPickerYear = 1583, LastPickerYear = 9999;

  // Sets the chosen date and shows its month. False (nothing changes) when
  // the date is not one the calendar can show: a real day of those years.
  bool SetDate(int year, int month, int day);
  void PrevMonth();
  void NextMonth();
  void PrevYear();
  void NextYear();
  // Picks day `day` of the shown month (1..its length).
  bool PickDay(int day);

  // The calendar of the shown month: Cell(row, column) is the day number in
  // row 0..5, column 0 (Sunday) .. 6, or 0 for an empty cell.
  int Cell(int row, int column) const;
  // Weekday of a date, 0 Sunday .. 6 Saturday.
  static int Weekday(int year, int month, int day);

  int Year = 2000, Month = 1, Day = 1;        // the chosen date
  int ShownYear = 2000, ShownMonth = 1;       // the month the calendar shows
};
