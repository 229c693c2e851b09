// TFormStarTool: the star tool ("观星工具", command 106). Page
// "天文节目状态" lists the shows of the show folder and the user's own show
// folder (an own show hides one of the same name that came with the
// program) and previews the chosen one's description; page "观星状态" lists
// every object (constellations with the Sun, Moon and planets in their order
// from the Sun, asterisms, Messier objects and the named stars, marked ☆ and
// with their Bayer names) to find it
// ("自动找到：") or to let time run ("步进时间") with a unit and an amount.
// Result after closing: 0 nothing, 1 play ShowFile, 2 find SelectedId,
// 3 let time run with the global step settings just set, 4 record ShowFile
// as a video ("录制视频…" on the show page).
//
// State and handlers only; TStarToolView draws it with ImGui. Texts are UTF-8.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TSkyloom;
class TLecture;

// Follows the name of a user's own show in the list.
inline constexpr const char* OwnShowMark = "（我的）";

struct TObjectItem {
  std::string Caption;  // column "星座"
  std::string English;  // column "英文"
  std::string Short;    // third text (abbreviation, "★" for bodies)
  int Id = 0;           // object number
};

class TFormStarTool {
 public:
  TFormStarTool(TSkyloom& sky, TLecture& lecture, std::string showFolder,
                std::string userShowFolder = {})
      : Sky(sky), Lecture(lecture), ShowFolder(std::move(showFolder)),
        UserShowFolder(std::move(userShowFolder)) {}

  // Handlers, named as the form's events.
  void FormShow();
  void ListBox1Click(int index);          // a show chosen: its preview
  void ListViewConstClick(int index);     // an object chosen (row in the sorted list)
  void ListViewConstDblClick(int index);  // chosen and found at once (OnPick)
  void ListViewConstColumnClick(int column);
  void RadioButtonMoveClick();            // "自动找到："
  void RadioButtonTimeClick();            // "步进时间"
  void CheckBoxLockClick();               // "锁定左边所选"
  void Button1Click();                    // "确定"
  void Button6Click();                    // "取消"
  void ButtonRecordClick();               // "录制视频…": the chosen show as a video

  // Widget state.
  bool Open = false;
  int ActivePage = 0;                 // 0 "天文节目状态", 1 "观星状态"
  std::vector<std::string> ListBox1;  // show names, sorted
  std::vector<bool> ListBox1Mine;     // per name: the user's own show
  int ListBox1Index = -1;
  std::vector<std::string> Memo1;     // preview lines
  std::string EditConstName;
  std::string LabelConstHint;         // "在地平线下！" or empty
  std::vector<TObjectItem> ListViewConst;
  int ListViewConstIndex = -1;
  bool RadioButtonMove = false;       // false: "步进时间" is checked
  int StepUnitChoice = 1;             // RadioButtonMinute 1, RadioButtonDay 2, RadioButtonYear 3, RadioButtonSecond 4
  std::string EditUnit = "1";         // with UpDown1, 1..10000
  bool CheckBoxLock = false;
  bool CheckBox1 = true;              // "定位过程" (hidden)
  bool GroupBox1Enabled = true;
  std::string ErrorText;              // a typed value that cannot apply, shown in the dialog

  // Dialog state.
  int SelectedId = 0;
  int Result = 0;  // 0 nothing, 1 play, 2 find, 3 time, 4 record
  std::string ShowFile;
  int SortColumn = 0;
  bool Filling = false;
  std::function<void(int id, bool showProcess)> OnPick;

  // The order of the object list: constellations (and the bodies among
  // them, in their order from the Sun) before asterisms, Messier objects
  // and stars whatever the column;
  // within each group the texts of the column compared without regard to
  // case. True when a sorts before b.
  bool SortsBefore(const TObjectItem& a, const TObjectItem& b) const;

 private:
  void FillShowList();
  void FillObjectList();
  void SortObjects();
  void ChooseObject(int id);
  int SunRow() const;
  std::string ShowFilePath() const;  // the chosen show's file

  TSkyloom& Sky;
  TLecture& Lecture;
  std::string ShowFolder;
  std::string UserShowFolder;
};
