#include "FormStarTool.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "Gbk.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "SolarSystem.h"
#include "StarNaming.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Utf8(std::string_view gbk) { return GbkToUtf8(gbk); }

// "M" and the number of a Messier code in three digits ("M1" -> "M001").
std::string MessierCaption(std::string_view code) {
  const std::string trimmed = Trim(code);
  const int m = trimmed.size() > 1 ? std::atoi(trimmed.substr(1, 3).c_str()) : 0;
  char buf[16];
  std::snprintf(buf, sizeof buf, "M%03d", m);
  return buf;
}

}  // namespace

void TFormStarTool::FormShow() {
  Open = true;
  FillShowList();
  Result = 0;
  SortColumn = 0;
  ErrorText.clear();
  if (ListViewConst.size() <= 1) FillObjectList();
  if (Sky.Tracking || (RadioButtonMove && SelectedId >= 1)) {
    SelectedId = Sky.TrackId;
    ChooseObject(SelectedId);
    for (size_t i = 0; i < ListViewConst.size(); ++i)
      if (ListViewConst[i].Id == SelectedId) ListViewConstIndex = static_cast<int>(i);
  } else {
    EditConstName.clear();
  }
  StepUnitChoice = Sky.StepUnit >= 1 && Sky.StepUnit <= 4 ? Sky.StepUnit : 1;
  EditUnit = std::to_string(Sky.StepAmount);
  LabelConstHint.clear();
}

void TFormStarTool::FillShowList() {
  ListBox1.clear();
  ListBox1Mine.clear();
  ListBox1Index = -1;
  // Name -> whether it is the user's; the user's folder is read last so
  // that an own show takes the place of one of the same name.
  std::map<std::string, bool> shows;
  for (const bool mine : {false, true}) {
    const std::string& folder = mine ? UserShowFolder : ShowFolder;
    if (folder.empty()) continue;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::filesystem::path& p = it->path();
      if (p.extension() != ShowExtension) continue;
      if (!it->is_regular_file(ec)) continue;  // folders, pipes and devices are no shows
      shows[p.stem().string()] = mine;
    }
  }
  for (const auto& [name, mine] : shows) {
    ListBox1.push_back(name);
    ListBox1Mine.push_back(mine);
  }
}

std::string TFormStarTool::ShowFilePath() const {
  const bool mine = ListBox1Index >= 0 && ListBox1Index < static_cast<int>(ListBox1Mine.size()) &&
                    ListBox1Mine[static_cast<size_t>(ListBox1Index)];
  return (mine ? UserShowFolder : ShowFolder) + "/" + ShowFile;
}

void TFormStarTool::ListBox1Click(int index) {
  if (index < 0 || index >= static_cast<int>(ListBox1.size())) return;
  ListBox1Index = index;
  ShowFile = ListBox1[static_cast<size_t>(index)] + ShowExtension;
  ErrorText.clear();
  Memo1.clear();
  // The preview has a store of its own, so a show that is playing keeps
  // its pages while others are previewed.
  TLecture preview;
  const std::string path = ShowFilePath();
  const TShowLoadResult r = preview.LoadShowInfo(path);
  if (r.Status == TShowStatus::Missing) {
    ErrorText = "节目文件“" + path + "”已不存在。";
    return;
  }
  if (!r.Message.empty()) {
    std::fprintf(stderr, "%s\n", r.Message.c_str());
    if (!r.Loaded()) ErrorText = "这个节目无法播放：" + r.Message;
  }
  Memo1.push_back(Utf8(preview.Title.view()));
  Memo1.emplace_back();
  for (int i = 1; i <= preview.LineCount; ++i) Memo1.push_back(Utf8(preview.Lines[i].view()));
  Memo1.emplace_back();
  Memo1.push_back(Utf8(preview.Lines[MaxShowLines].view()));
}

void TFormStarTool::FillObjectList() {
  Filling = true;
  ListViewConst.clear();
  for (int i = 1; i <= 88; ++i) {
    const TSkyObject& c = Sky.Consts[i];
    ListViewConst.push_back({Utf8(Trim(c.Name.view())), Utf8(Trim(c.EName.view())),
                             Utf8(Trim(c.EShort.view())), i});
  }
  for (int i = 1; i <= 10; ++i)
    ListViewConst.push_back({"★" + BodyNameUtf8(i), "★" + Utf8(BodyEName(i).view()), "★", 100 + i});
  for (int i = 1; i <= MaxOffices && !Sky.Offices[i].Name.empty(); ++i)
    ListViewConst.push_back({Utf8(Trim(Sky.Offices[i].Name.view())), "", "", 200 + i});
  for (int j = 1; j <= MaxMessier; ++j) {
    const TMessierName& n = Sky.MessierNames[j];
    if (n.Code.empty()) continue;
    ListViewConst.push_back({MessierCaption(n.Code.view()), Utf8(Trim(n.Name.view())), "", 1000 + j});
  }
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& n = Sky.StarNames[i];
    if (n.Name.empty() || n.Star < 1 || n.Star > MaxStars) continue;
    ListViewConst.push_back({"☆" + Utf8(Trim(n.Name.view())), Utf8(Trim(n.EName.view())),
                             BayerName(Sky, n.Star), StarIdBase + n.Star});
  }
  Filling = false;
  SortObjects();
}

bool TFormStarTool::SortsBefore(const TObjectItem& a, const TObjectItem& b) const {
  // Two groups, each in the column's text order: constellations with the
  // Sun, Moon and planets, then asterisms with the Messier objects. (Ranking
  // only constellation against asterism and everything else by text would
  // not be an order once the bodies sort among both.)
  const int ga = a.Id <= 110 ? 0 : 1, gb = b.Id <= 110 ? 0 : 1;
  if (ga != gb) return ga < gb;
  // The Sun, Moon and planets keep their order from the Sun outward.
  const bool bodyA = a.Id > 100 && a.Id <= 110, bodyB = b.Id > 100 && b.Id <= 110;
  if (bodyA && bodyB) return a.Id < b.Id;
  const auto text = [this](const TObjectItem& i) {
    return Lower(SortColumn == 0 ? i.Caption : SortColumn == 1 ? i.English : i.Short);
  };
  const std::string ta = text(a), tb = text(b);
  if (ta != tb) return ta < tb;
  return a.Id < b.Id;  // a stable order for equal texts
}

void TFormStarTool::SortObjects() {
  if (Filling) return;
  const int selected = ListViewConstIndex >= 0 &&
                               ListViewConstIndex < static_cast<int>(ListViewConst.size())
                           ? ListViewConst[static_cast<size_t>(ListViewConstIndex)].Id
                           : 0;
  std::stable_sort(ListViewConst.begin(), ListViewConst.end(),
                   [this](const TObjectItem& a, const TObjectItem& b) { return SortsBefore(a, b); });
  ListViewConstIndex = -1;
  for (size_t i = 0; i < ListViewConst.size(); ++i)
    if (selected && ListViewConst[i].Id == selected) ListViewConstIndex = static_cast<int>(i);
}

void TFormStarTool::ListViewConstColumnClick(int column) {
  SortColumn = std::clamp(column, 0, 2);
  SortObjects();
}

void TFormStarTool::ChooseObject(int id) {
  SelectedId = id;
  Sky.TrackId = id;
  if (id > StarIdBase) {
    EditConstName = StarName(Sky, id - StarIdBase);
  } else if (id > 1000) {
    EditConstName = Utf8(Trim(Sky.MessierNames[id - 1000].Code.view()));
  } else if (id > 200) {
    EditConstName = Utf8(Trim(Sky.Offices[id - 200].Name.view()));
  } else if (id <= 100) {
    EditConstName = Utf8(Trim(Sky.Consts[id].Name.view()));
  } else {
    EditConstName = BodyNameUtf8(id - 100);
  }
  Sky.TargetDirection(id);
  Sky.UpdateSky();
  const double alt =
      std::atan2(Sky.TrackZ, std::sqrt(Sky.TrackX * Sky.TrackX + Sky.TrackY * Sky.TrackY));
  LabelConstHint = alt < 0 ? "在地平线下！" : "";
}

void TFormStarTool::ListViewConstClick(int index) {
  if (index < 0 || index >= static_cast<int>(ListViewConst.size())) return;
  ListViewConstIndex = index;
  ChooseObject(ListViewConst[static_cast<size_t>(index)].Id);
}

void TFormStarTool::ListViewConstDblClick(int index) {
  ListViewConstClick(index);
  if (ListViewConstIndex == index && OnPick) OnPick(SelectedId, CheckBox1);
}

int TFormStarTool::SunRow() const {
  for (size_t i = 0; i < ListViewConst.size(); ++i)
    if (ListViewConst[i].Caption == "★太阳") return static_cast<int>(i);
  return -1;
}

void TFormStarTool::RadioButtonMoveClick() {
  RadioButtonMove = true;
  GroupBox1Enabled = false;
  if (ListViewConstIndex < 0) ListViewConstClick(SunRow());
}

void TFormStarTool::RadioButtonTimeClick() {
  RadioButtonMove = false;
  GroupBox1Enabled = true;
}

void TFormStarTool::CheckBoxLockClick() {
  CheckBoxLock = !CheckBoxLock;
  if (ListViewConstIndex < 0) ListViewConstClick(SunRow());
}

void TFormStarTool::Button1Click() {
  ErrorText.clear();
  if (ActivePage == 0) {
    if (!ShowFile.empty()) {
      TLecture check;
      const TShowLoadResult r = check.LoadShowInfo(ShowFilePath());
      if (!r.Loaded()) {
        ErrorText = r.Status == TShowStatus::Missing
                        ? "节目文件“" + ShowFile + "”已不存在。"
                        : "这个节目无法播放：" + r.Message;
        return;  // the dialog stays open with the message
      }
    }
    Result = 1;
    Open = false;
    return;
  }
  if (!RadioButtonMove) {
    // The amount is checked before anything applies.
    char* end = nullptr;
    const long amount = std::strtol(EditUnit.c_str(), &end, 10);
    if (EditUnit.empty() || *end != '\0' || amount < 1 || amount > 10000) {
      ErrorText = "步进时间的数量应为 1 到 10000 的整数。";
      return;
    }
    Sky.StepUnit = StepUnitChoice;
    Sky.StepAmount = static_cast<int>(amount);
  }
  Sky.Tracking = CheckBoxLock ? 1 : 0;
  Result = RadioButtonMove ? 2 : 3;
  Open = false;
}

void TFormStarTool::Button6Click() {
  Result = 0;
  if (OnPick) OnPick(0, false);
  Open = false;
}

void TFormStarTool::ButtonRecordClick() {
  ErrorText.clear();
  if (ShowFile.empty()) {
    ErrorText = "请先选择一个节目。";
    return;
  }
  TLecture check;
  const TShowLoadResult r = check.LoadShowInfo(ShowFolder + "/" + ShowFile);
  if (!r.Loaded()) {
    ErrorText = r.Status == TShowStatus::Missing ? "节目文件“" + ShowFile + "”已不存在。"
                                                 : "这个节目无法播放：" + r.Message;
    return;
  }
  Result = 4;
  Open = false;
}
