// TFormConfig ("观测设置"): the observation settings dialog. Five pages:
// 观测时间 (date and time), 观测地点 (country, city, latitude, longitude,
// zone), 名称 (name layers), 辅助线 (line layers), 其它 (star count,
// subtitle speed, time step, program-wide switches). The class holds the
// widget state and the event handlers; a view draws the state and calls the
// handlers, and tests call the handlers directly.
//
// Texts in the widget state are UTF-8 (what the view shows); the city table
// keeps GBK and is converted when the lists are filled. Degrees appear only
// here: the model keeps radians.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DatePicker.h"
#include "GlobalParams.h"

class TSkyloom;

// The fields "确定" checks, for marking the one in error.
enum class TConfigField {
  None, Year, Month, Day, Hour, Minute, Second, Latitude, Longitude, TimeZone, StepAmount,
  InterfaceScale
};

class TFormConfig {
 public:
  // Besides the model, the dialog shows and sets the program-wide switches
  // `params` (an applied "确定" writes them) and the time step (the model's
  // StepUnit, StepAmount).
  TFormConfig(TSkyloom& sky, TParameters& params);

  // What the dialog asks of the rest of the program. Each has a default that
  // serves a test (today 2000-01-01 12:00, no saved place, saving succeeds).
  std::function<TCivilDateTime()> Now;
  // The place kept in the per-user settings (radians, hours, city number).
  std::function<void(double& lat, double& lon, int& zone, int& city)> ReadSavedPlace;
  // Saves the settings and the global parameters; false with a message
  // (the files are then unchanged).
  std::function<bool(std::string& message)> SaveAll;

  // Handlers.
  void FormShow();
  void DateTimePicker1Change();   // a day was picked in the calendar
  void EditDateChange();          // typing in EditYear, EditMonth, EditDay
  // The date the three fields make ("2026-03-02" for 2026, 2, 30), shown on
  // the calendar's button; "日期有误" when they make none.
  std::string DateButtonText() const;
  void ComboBoxCountryChange();
  void ComboBoxCityChange();
  // Typing in EditFindCity: the first city whose name holds the text (an
  // exact name first) is chosen with its country, as if picked in the lists.
  void EditFindCityChange();
  void EditPlaceChange();         // typing in EditLat, EditLong, EditTimeZone
  void RadioButtonPlaceClick();   // after one of the four radio buttons changed
  void Button3Click();            // 取当前日期和时间
  void Button4Click();            // 取本地经纬度
  void Button1Click();            // 确定
  void Button2Click();            // 取消

  // Widget state.
  int PageControl1 = 0;           // 0 观测时间 .. 4 其它
  TDatePicker DateTimePicker1;
  int PickerHour = 0, PickerMinute = 0, PickerSecond = 0;  // DateTimePicker2
  std::string EditYear, EditMonth, EditDay;
  std::vector<std::string> ComboBoxCountryItems;  // sorted
  int ComboBoxCountryIndex = -1;
  std::vector<std::string> ComboBoxCityItems;     // sorted
  int ComboBoxCityIndex = -1;                     // -1: no item, empty text
  std::string EditFindCity;                       // 查找城市
  bool RadioButtonNorth = true;   // false: 南纬
  bool RadioButtonEast = true;    // false: 西经
  std::string EditLat, EditLong, EditTimeZone;
  std::string LabelLongSign = "东";
  bool CheckBoxConstName = false, CheckBoxAlphaBetName = false, CheckBoxStarName = false,
       CheckBoxSunName = false, CheckBoxMessierName = false, CheckBoxOfficeName = false;
  bool CheckBoxNet = false, CheckBoxEcliptic = false, CheckBoxMilkWay = false,
       CheckBoxConst = false, CheckBoxOffice = false;
  int ScrollBar1 = 6;             // 显示星数 2..8 (faintest magnitude)
  int ScrollBar2 = 10;            // 字幕速度 2..18
  int StepRadio = 1;              // RadioButtonMinute 1, RadioButtonDay 2, RadioButtonYear 3, RadioButtonSecond 4
  std::string EditUnit;
  bool CheckBox1 = false, CheckBox3 = false, CheckBoxVoice = false, ckFullScr = false,
       ckWithName = false;
  // The model's drawing options: LabelPlacement, RealisticSky, Refraction
  // and MilkyWay.
  bool CheckBoxLabelPlace = false, CheckBoxRealSky = false, CheckBoxRefraction = false,
       CheckBoxMilkyWay = false;
  bool CheckBoxSave = false;
  int FieldSlider = 74;           // 视野 5..180 degrees across the sky area
  int FieldShown = 74;            // the slider's value when the dialog opened
  std::string EditScale;          // 界面缩放: 0 automatic, else 1..3

  // Dialog state.
  int SelectedCity = 0;
  bool Filling = false;
  bool Open = false;              // between FormShow and a close
  bool Applied = false;           // the last close was an applied "确定"
  TConfigField ErrorField = TConfigField::None;
  std::string ErrorText;          // what is allowed, shown in the dialog
  std::string Message;            // for a message box after closing (a failed save)

  // The check box of each name and line bit, in the order of the bits.
  struct TBitBox {
    bool TFormConfig::*Box;
    int Set;                      // 1 Mode1, 2 Mode2
    unsigned Bit;
  };
  static const std::vector<TBitBox>& BitBoxes();

  // The dialog's own texts that are not in the state above (page names,
  // captions, hints and messages), for the font coverage check.
  static std::vector<std::string> Captions();

 private:
  void ShowPlace(double lat, double lon, int zone, bool cityRule);
  void FillCities();
  void SelectCountry(const std::string& country);
  void ClearCity();
  bool TypedDate(int& year, int& month, int& day) const;
  int NearestCity(double lat, double lon) const;  // 0 without cities
  bool Fail(TConfigField field, const std::string& text);

  TSkyloom& sky_;
  TParameters& params_;
  // The place as last shown, exactly: a field left as shown (text and
  // hemisphere) gives back this value, not its rounding to tenths.
  struct TShownPlace {
    std::string Lat, Long;
    bool North = true, East = true;
    double Latitude = 0, Longitude = 0;  // radians
  } shown_;
};

// The normalisation "确定" applies to a typed date: days beyond the month
// carry into the next months, days below 1 borrow from the previous ones,
// months beyond 1..12 carry into the year, in the program's calendar
// (CivilDate.h: Julian before 15 October 1582, no year 0).
void NormalizeDate(int& year, int& month, int& day);
