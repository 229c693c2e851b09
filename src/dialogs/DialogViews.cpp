#include "DialogViews.h"

#include <imgui.h>

#include "DialogStyle.h"
#include "ImGuiHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const ImVec4 ErrorFrame(0.55f, 0.12f, 0.12f, 1.0f);
const ImVec4 HintColor(0.70f, 0.75f, 0.85f, 1.0f);
const char* const HelpTitle = "Skyloom使用说明";

bool KeyPressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); }
bool KeyPressedRepeat(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), true); }

// Places the next window in the middle of the stage at the given size
// (pixels at scale 1), never larger than the stage.
void CentreNext(float w, float h) {
  const ImVec2 d = ImGui::GetIO().DisplaySize;
  w = std::min(Px(w), d.x);
  h = std::min(Px(h), d.y);
  ImGui::SetNextWindowPos(ImVec2((d.x - w) * 0.5f, (d.y - h) * 0.5f), ImGuiCond_Always);
  ImGui::SetNextWindowSize(ImVec2(w, h), ImGuiCond_Always);
}

// Brings the dialog in front of the stage. Not while one of its popups (a
// list, the calendar) is open: focusing the dialog would close it.
void FocusUnlessPopup() {
  if (!ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId)) ImGui::SetNextWindowFocus();
}

constexpr ImGuiWindowFlags DialogFlags = ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize |
                                         ImGuiWindowFlags_NoMove |
                                         ImGuiWindowFlags_NoSavedSettings;

// A text field bound to a std::string of at most `max` bytes; true when the
// user changed it. `error` paints the field as the one "确定" refused.
// Widths here and below are pixels at scale 1.
bool Edit(const char* id, std::string& text, size_t max, float width, bool error) {
  char buf[128];
  const size_t n = std::min(text.size(), std::min(max, sizeof buf - 1));
  std::memcpy(buf, text.data(), n);
  buf[n] = 0;
  if (error) ImGui::PushStyleColor(ImGuiCol_FrameBg, ErrorFrame);
  ImGui::SetNextItemWidth(Px(width));
  const bool changed = ImGui::InputText(id, buf, std::min(max + 1, sizeof buf));
  if (error) ImGui::PopStyleColor();
  if (changed) text = buf;
  return changed;
}

// A combo box over a list of texts; true when the user chose another item.
bool Combo(const char* id, const std::vector<std::string>& items, int& index, float width) {
  ImGui::SetNextItemWidth(Px(width));
  const char* preview = index >= 0 && index < int(items.size()) ? items[index].c_str() : "";
  bool changed = false;
  if (ImGui::BeginCombo(id, preview, ImGuiComboFlags_HeightLarge)) {
    // Keys while the list is open: up and down (a page with Page Up and
    // Page Down, the ends with Home and End) move the choice, Enter and
    // Esc close the list. The wheel scrolls it.
    const int last = int(items.size()) - 1;
    int moved = index;
    if (KeyPressedRepeat(ImGuiKey_DownArrow)) moved = index + 1;
    if (KeyPressedRepeat(ImGuiKey_UpArrow)) moved = index - 1;
    if (KeyPressedRepeat(ImGuiKey_PageDown)) moved = index + 10;
    if (KeyPressedRepeat(ImGuiKey_PageUp)) moved = index - 10;
    if (KeyPressed(ImGuiKey_Home)) moved = 0;
    if (KeyPressed(ImGuiKey_End)) moved = last;
    moved = std::clamp(moved, last >= 0 ? 0 : -1, last);
    const bool keyed = moved != index;
    if (keyed) {
      index = moved;
      changed = true;
    }
    for (int i = 0; i < int(items.size()); ++i) {
      const bool selected = i == index;
      if (ImGui::Selectable(items[i].c_str(), selected)) {
        changed = i != index;
        index = i;
      }
      if (selected && (keyed || ImGui::IsWindowAppearing())) ImGui::SetScrollHereY(0.5f);
    }
    if (KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter) ||
        KeyPressed(ImGuiKey_Escape))
      ImGui::CloseCurrentPopup();
    ImGui::EndCombo();
  }
  return changed;
}

void Hint(const char* text) {
  ImGui::SameLine();
  ImGui::TextColored(HintColor, "%s", text);
}

}  // namespace

// ---------------------------------------------------------------------------
// 观测设置

void TConfigView::DrawCalendar() {
  TDatePicker& p = form_.DateTimePicker1;
  const std::string label = form_.DateButtonText() + "##date";
  if (ImGui::Button(label.c_str(), ImVec2(Px(110), 0))) {
    p.ShownYear = p.Year;
    p.ShownMonth = p.Month;
    ImGui::OpenPopup("calendar");
  }
  if (!ImGui::BeginPopup("calendar")) return;
  if (KeyPressed(ImGuiKey_Escape)) ImGui::CloseCurrentPopup();
  if (ImGui::SmallButton("<<")) p.PrevYear();
  if (ImGui::IsItemHovered()) ImGui::SetTooltip("上一年");
  ImGui::SameLine();
  if (ImGui::SmallButton("<")) p.PrevMonth();
  if (ImGui::IsItemHovered()) ImGui::SetTooltip("上个月");
  ImGui::SameLine();
  ImGui::Text(" %04d 年 %2d 月 ", p.ShownYear, p.ShownMonth);
  ImGui::SameLine();
  if (ImGui::SmallButton(">")) p.NextMonth();
  if (ImGui::IsItemHovered()) ImGui::SetTooltip("下个月");
  ImGui::SameLine();
  if (ImGui::SmallButton(">>")) p.NextYear();
  if (ImGui::IsItemHovered()) ImGui::SetTooltip("下一年");
  static const char* const Weekdays[7] = {"日", "一", "二", "三", "四", "五", "六"};
  if (ImGui::BeginTable("days", 7, ImGuiTableFlags_SizingFixedSame)) {
    for (int c = 0; c < 7; ++c) ImGui::TableSetupColumn(Weekdays[c], 0, Px(24));
    ImGui::TableHeadersRow();
    for (int r = 0; r < 6; ++r) {
      if (p.Cell(r, 0) == 0 && p.Cell(r, 6) == 0 && r > 0) break;
      ImGui::TableNextRow();
      for (int c = 0; c < 7; ++c) {
        ImGui::TableSetColumnIndex(c);
        const int day = p.Cell(r, c);
        if (day == 0) continue;
        char d[16];
        std::snprintf(d, sizeof d, "%2d##d%d", day, day);
        const bool chosen = p.ShownYear == p.Year && p.ShownMonth == p.Month && day == p.Day;
        if (ImGui::Selectable(d, chosen)) {
          p.PickDay(day);
          form_.DateTimePicker1Change();
          ImGui::CloseCurrentPopup();
        }
      }
    }
    ImGui::EndTable();
  }
  ImGui::EndPopup();
}

void TConfigView::DrawTimePage() {
  const TConfigField err = form_.ErrorField;
  ImGui::Spacing();
  ImGui::Text("日期");
  ImGui::SameLine(Px(60));
  DrawCalendar();
  ImGui::Text("时间");
  ImGui::SameLine(Px(60));
  if (err == TConfigField::Hour) ImGui::PushStyleColor(ImGuiCol_FrameBg, ErrorFrame);
  ImGui::SetNextItemWidth(Px(80));
  ImGui::InputInt("时##hour", &form_.PickerHour);
  if (err == TConfigField::Hour) ImGui::PopStyleColor();
  ImGui::SameLine();
  if (err == TConfigField::Minute) ImGui::PushStyleColor(ImGuiCol_FrameBg, ErrorFrame);
  ImGui::SetNextItemWidth(Px(80));
  ImGui::InputInt("分##minute", &form_.PickerMinute);
  if (err == TConfigField::Minute) ImGui::PopStyleColor();
  ImGui::SameLine();
  if (err == TConfigField::Second) ImGui::PushStyleColor(ImGuiCol_FrameBg, ErrorFrame);
  ImGui::SetNextItemWidth(Px(80));
  ImGui::InputInt("秒##second", &form_.PickerSecond);
  if (err == TConfigField::Second) ImGui::PopStyleColor();
  ImGui::Spacing();
  ImGui::Separator();
  ImGui::Spacing();
  bool changed = Edit("年##year", form_.EditYear, 6, 70, err == TConfigField::Year);
  ImGui::SameLine();
  changed |= Edit("月##month", form_.EditMonth, 2, 36, err == TConfigField::Month);
  ImGui::SameLine();
  changed |= Edit("日##day", form_.EditDay, 2, 36, err == TConfigField::Day);
  if (changed) form_.EditDateChange();
  ImGui::Spacing();
  if (ImGui::Button("取当前日期和时间")) form_.Button3Click();
}

void TConfigView::DrawPlacePage() {
  const TConfigField err = form_.ErrorField;
  ImGui::Spacing();
  if (form_.ComboBoxCountryItems.empty()) {
    ImGui::TextColored(HintColor, "（无城市表，请直接输入经纬度）");
  } else {
    ImGui::Text("国家");
    ImGui::SameLine(Px(50));
    if (Combo("##country", form_.ComboBoxCountryItems, form_.ComboBoxCountryIndex, 130))
      form_.ComboBoxCountryChange();
    ImGui::SameLine();
    ImGui::Text("城市");
    ImGui::SameLine();
    if (Combo("##city", form_.ComboBoxCityItems, form_.ComboBoxCityIndex, 130))
      form_.ComboBoxCityChange();
    ImGui::Text("查找城市");
    ImGui::SameLine(Px(80));
    ImGui::SetNextItemWidth(Px(130));
    char buf[64];
    const size_t n = std::min(form_.EditFindCity.size(), sizeof buf - 1);
    std::memcpy(buf, form_.EditFindCity.data(), n);
    buf[n] = 0;
    if (ImGui::InputTextWithHint("##find", "输入城市名", buf, sizeof buf)) {
      form_.EditFindCity = buf;
      form_.EditFindCityChange();
    }
  }
  ImGui::Spacing();
  ImGui::Separator();
  ImGui::Text("纬度");
  ImGui::SameLine(Px(50));
  int north = form_.RadioButtonNorth ? 1 : 0;
  bool radio = ImGui::RadioButton("北纬", &north, 1);
  ImGui::SameLine();
  radio |= ImGui::RadioButton("南纬", &north, 0);
  ImGui::SameLine();
  if (Edit("##lat", form_.EditLat, 12, 70, err == TConfigField::Latitude)) form_.EditPlaceChange();
  Hint("（0～90度）");

  ImGui::Text("经度");
  ImGui::SameLine(Px(50));
  int east = form_.RadioButtonEast ? 1 : 0;
  radio |= ImGui::RadioButton("东经", &east, 1);
  ImGui::SameLine();
  radio |= ImGui::RadioButton("西经", &east, 0);
  ImGui::SameLine();
  if (Edit("##long", form_.EditLong, 12, 70, err == TConfigField::Longitude))
    form_.EditPlaceChange();
  Hint("（0～180度）");
  if (radio) {
    form_.RadioButtonNorth = north == 1;
    form_.RadioButtonEast = east == 1;
    form_.RadioButtonPlaceClick();
  }

  ImGui::Text("时区");
  ImGui::SameLine(Px(50));
  ImGui::Text("%s", form_.LabelLongSign.c_str());
  ImGui::SameLine();
  if (Edit("##zone", form_.EditTimeZone, 3, 40, err == TConfigField::TimeZone))
    form_.EditPlaceChange();
  ImGui::SameLine();
  ImGui::Text("区");
  Hint("（0～12区）");
  ImGui::TextColored(HintColor, "（中国各地都是东八区）");
  ImGui::Spacing();
  if (ImGui::Button("取本地经纬度")) form_.Button4Click();
}

void TConfigView::DrawNamesPage() {
  ImGui::Spacing();
  ImGui::Checkbox("星座名称", &form_.CheckBoxConstName);
  ImGui::Checkbox("αβ星名", &form_.CheckBoxAlphaBetName);
  ImGui::Checkbox("亮星名", &form_.CheckBoxStarName);
  ImGui::Checkbox("行星名", &form_.CheckBoxSunName);
  ImGui::Checkbox("梅西耶星云星团名", &form_.CheckBoxMessierName);
  ImGui::Checkbox("中国古代星官名称", &form_.CheckBoxOfficeName);
}

void TConfigView::DrawLinesPage() {
  ImGui::Spacing();
  ImGui::Checkbox("天球经纬网", &form_.CheckBoxNet);
  ImGui::Checkbox("黄道线", &form_.CheckBoxEcliptic);
  ImGui::Checkbox("银道线", &form_.CheckBoxMilkWay);
  ImGui::Checkbox("星座连线", &form_.CheckBoxConst);
  ImGui::Checkbox("中国古代星官连线", &form_.CheckBoxOffice);
}

void TConfigView::DrawOtherPage() {
  ImGui::Spacing();
  ImGui::Text("显示星数：");
  ImGui::SameLine(Px(80));
  ImGui::SetNextItemWidth(Px(180));
  ImGui::SliderInt("##stars", &form_.ScrollBar1, 2, 8, "%d 等");
  ImGui::Text("字幕速度：");
  ImGui::SameLine(Px(80));
  ImGui::SetNextItemWidth(Px(180));
  ImGui::SliderInt("##speed", &form_.ScrollBar2, 2, 18);
  ImGui::SameLine(Px(275));
  ImGui::Text("视野：");
  ImGui::SameLine();
  ImGui::SetNextItemWidth(-1);
  ImGui::SliderInt("##field", &form_.FieldSlider, 5, 180, "%d°");
  ImGui::Text("步进时间");
  ImGui::SameLine();
  ImGui::RadioButton("秒", &form_.StepRadio, 4);
  ImGui::SameLine();
  ImGui::RadioButton("分钟", &form_.StepRadio, 1);
  ImGui::SameLine();
  ImGui::RadioButton("天", &form_.StepRadio, 2);
  ImGui::SameLine();
  ImGui::RadioButton("年", &form_.StepRadio, 3);
  ImGui::SameLine();
  Edit("##unit", form_.EditUnit, 6, 60, form_.ErrorField == TConfigField::StepAmount);
  ImGui::Separator();
  ImGui::Checkbox("背景音乐", &form_.CheckBox1);
  ImGui::SameLine(Px(150));
  ImGui::Checkbox("使用字幕", &form_.CheckBox3);
  ImGui::Checkbox("使用语音", &form_.CheckBoxVoice);
  ImGui::SameLine(Px(150));
  ImGui::Checkbox("全屏幕方式", &form_.ckFullScr);
  // The interface scale shares the row: 0 follows the screen's size.
  ImGui::SameLine(Px(300));
  ImGui::Text("缩放：");
  ImGui::SameLine();
  Edit("##scale", form_.EditScale, 5, 50, form_.ErrorField == TConfigField::InterfaceScale);
  if (ImGui::IsItemHovered()) ImGui::SetTooltip("界面缩放：0 为随屏幕大小，或 1～3");
  ImGui::Checkbox("星云图显示名字", &form_.ckWithName);
  ImGui::SameLine(Px(150));
  ImGui::Checkbox("标签避让", &form_.CheckBoxLabelPlace);
  ImGui::Checkbox("真实天空", &form_.CheckBoxRealSky);
  ImGui::SameLine(Px(150));
  ImGui::Checkbox("大气折射", &form_.CheckBoxRefraction);
  // The third of the sky's drawing switches shares their row: the page has
  // no room for another.
  ImGui::SameLine(Px(300));
  ImGui::Checkbox("银河", &form_.CheckBoxMilkyWay);
}

void TConfigView::DrawView() {
  // Keys pressed while a list or the calendar is open belong to it, even on
  // the frame it closes.
  const bool popupWasOpen = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
  CentreNext(440, 292);
  FocusUnlessPopup();
  if (!ImGui::Begin("观测设置", nullptr, DialogFlags)) {
    ImGui::End();
    return;
  }
  static const char* const Pages[5] = {"观测时间", "观测地点", "名称", "辅助线", "其它"};
  const bool forced = form_.PageControl1 != shownPage_;
  if (ImGui::BeginTabBar("pages")) {
    for (int i = 0; i < 5; ++i) {
      const ImGuiTabItemFlags f =
          forced && i == form_.PageControl1 ? ImGuiTabItemFlags_SetSelected : 0;
      if (ImGui::BeginTabItem(Pages[i], nullptr, f)) {
        if (!forced) form_.PageControl1 = i;
        shownPage_ = form_.PageControl1 == i ? i : shownPage_;
        ImGui::BeginChild("page", ImVec2(0, Px(170)));
        switch (i) {
          case 0: DrawTimePage(); break;
          case 1: DrawPlacePage(); break;
          case 2: DrawNamesPage(); break;
          case 3: DrawLinesPage(); break;
          default: DrawOtherPage(); break;
        }
        ImGui::EndChild();
        ImGui::EndTabItem();
      }
    }
    ImGui::EndTabBar();
  }
  // The message line keeps its height when empty, so that the buttons
  // below stay where they are whether a message shows or not.
  const float lineTop = ImGui::GetCursorPosY();
  if (!form_.ErrorText.empty()) ImGui::TextColored(ErrorColor, "%s", form_.ErrorText.c_str());
  ImGui::SetCursorPosY(lineTop + ImGui::GetTextLineHeightWithSpacing());
  ImGui::Separator();
  ImGui::Checkbox("保存当前设置", &form_.CheckBoxSave);
  ImGui::SameLine(ImGui::GetWindowWidth() - Px(150));
  const bool ok = ImGui::Button("确定", ImVec2(Px(64), 0));
  ImGui::SameLine();
  const bool cancel = ImGui::Button("取消", ImVec2(Px(64), 0));
  const bool typing = ImGui::IsAnyItemActive() && ImGui::GetIO().WantTextInput;
  const bool comboOpen = popupWasOpen || ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
  ImGui::End();
  (void)typing;
  if (cancel || (!comboOpen && KeyPressed(ImGuiKey_Escape))) {
    form_.Button2Click();
  } else if (ok || (!comboOpen && (KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter)))) {
    form_.Button1Click();
  }
  if (!form_.Open) shownPage_ = -1;
}

// ---------------------------------------------------------------------------
// 使用说明

void THelpView::DrawView() {
  CentreNext(660, 460);
  FocusUnlessPopup();
  if (!ImGui::Begin("使用说明", nullptr, DialogFlags)) {
    ImGui::End();
    return;
  }
  // Panel1 with Label1.
  ImGui::PushFont(ImGui::GetIO().Fonts->Fonts.Size > 1 ? ImGui::GetIO().Fonts->Fonts[1] : nullptr);
  ImGui::TextUnformatted(HelpTitle);
  ImGui::PopFont();
  ImGui::Separator();

  const float bottom = ImGui::GetFrameHeightWithSpacing() + Px(6);
  ImGui::BeginChild("TreeView1", ImVec2(Px(250), -bottom), true,
                    ImGuiWindowFlags_HorizontalScrollbar);
  const auto& nodes = form_.TreeView1;
  int skipDeeperThan = -1;  // children of a closed node are not drawn
  int openDepth = 0;        // tree nodes pushed
  for (int i = 0; i < int(nodes.size()); ++i) {
    const int depth = nodes[i].Depth;
    if (skipDeeperThan >= 0) {
      if (depth > skipDeeperThan) continue;
      skipDeeperThan = -1;
    }
    while (openDepth > depth) {
      ImGui::TreePop();
      --openDepth;
    }
    const bool hasChildren = i + 1 < int(nodes.size()) && nodes[i + 1].Depth > depth;
    ImGuiTreeNodeFlags f = ImGuiTreeNodeFlags_SpanAvailWidth | ImGuiTreeNodeFlags_DefaultOpen |
                           ImGuiTreeNodeFlags_OpenOnArrow;
    if (!hasChildren) f |= ImGuiTreeNodeFlags_Leaf | ImGuiTreeNodeFlags_NoTreePushOnOpen;
    if (i == form_.Selected) f |= ImGuiTreeNodeFlags_Selected;
    ImGui::PushID(i);
    const bool open = ImGui::TreeNodeEx("node", f, "%s", nodes[i].Title.c_str());
    ImGui::PopID();
    if (ImGui::IsItemClicked() && !ImGui::IsItemToggledOpen()) form_.TreeView1Change(i);
    if (i == form_.Selected && scrolledTo_ != i) ImGui::SetScrollHereY(0.3f);
    if (hasChildren) {
      if (open)
        ++openDepth;
      else
        skipDeeperThan = depth;
    }
  }
  while (openDepth > 0) {
    ImGui::TreePop();
    --openDepth;
  }
  ImGui::EndChild();

  ImGui::SameLine();
  ImGui::BeginChild("Memo1", ImVec2(0, -bottom), true,
                    ImGuiWindowFlags_AlwaysVerticalScrollbar);
  if (scrolledTo_ != form_.Selected) {
    ImGui::SetScrollY(0);
    scrolledTo_ = form_.Selected;
  }
  ImGui::PushTextWrapPos(0.0f);
  ImGui::TextUnformatted(form_.Memo1.c_str(), form_.Memo1.c_str() + form_.Memo1.size());
  ImGui::PopTextWrapPos();
  ImGui::EndChild();

  ImGui::SetCursorPosX(ImGui::GetWindowWidth() - Px(80));
  const bool close = ImGui::Button("关闭", ImVec2(Px(64), 0));
  ImGui::End();
  // Up and down walk the topics; Esc and Enter close.
  if (KeyPressed(ImGuiKey_DownArrow)) form_.TreeView1Change(form_.Selected + 1);
  if (KeyPressed(ImGuiKey_UpArrow) && form_.Selected > 0) form_.TreeView1Change(form_.Selected - 1);
  if (close || KeyPressed(ImGuiKey_Escape) || KeyPressed(ImGuiKey_Enter) ||
      KeyPressed(ImGuiKey_KeyPadEnter))
    form_.Close();
  if (!form_.Open) scrolledTo_ = -1;
}

// ---------------------------------------------------------------------------
// 关于

void TAboutView::DrawView() {
  CentreNext(453, 289);
  FocusUnlessPopup();
  if (!ImGui::Begin("关于天文节目", nullptr, DialogFlags)) {
    ImGui::End();
    return;
  }
  if (picture_) {
    ImGui::Image(picture_, ImVec2(float(width_), float(height_)));
  } else {
    ImGui::Dummy(ImVec2(121, 166));
  }
  ImGui::SameLine();
  ImGui::BeginGroup();
  ImGui::PushFont(ImGui::GetIO().Fonts->Fonts.Size > 1 ? ImGui::GetIO().Fonts->Fonts[1] : nullptr);
  ImGui::TextUnformatted(TFormAbout::ProductLine().c_str());
  ImGui::PopFont();
  ImGui::Spacing();
  ImGui::PushTextWrapPos(ImGui::GetWindowWidth() - Px(12));
  for (const std::string& line : TFormAbout::PublisherLines()) ImGui::TextUnformatted(line.c_str());
  ImGui::PopTextWrapPos();
  ImGui::EndGroup();
  ImGui::SetCursorPos(ImVec2(ImGui::GetWindowWidth() - Px(80), ImGui::GetWindowHeight() - Px(34)));
  const bool close = ImGui::Button("关闭", ImVec2(Px(64), 0));
  ImGui::End();
  if (close || KeyPressed(ImGuiKey_Escape) || KeyPressed(ImGuiKey_Enter) ||
      KeyPressed(ImGuiKey_KeyPadEnter))
    form_.Button1Click();
}

// ---------------------------------------------------------------------------
// Messages

void TMessageView::DrawView() {
  const ImVec2 d = ImGui::GetIO().DisplaySize;
  float width = Px(200);
  for (const std::string& l : lines_) width = std::max(width, ImGui::CalcTextSize(l.c_str()).x);
  width = std::min({width + Px(40), Px(760), d.x});
  ImGui::SetNextWindowSizeConstraints(ImVec2(width, 0), ImVec2(width, std::min(Px(560), d.y)));
  ImGui::SetNextWindowPos(ImVec2(d.x * 0.5f, d.y * 0.5f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  FocusUnlessPopup();
  if (!ImGui::Begin(title_.c_str(), nullptr, DialogFlags | ImGuiWindowFlags_AlwaysAutoResize)) {
    ImGui::End();
    return;
  }
  ImGui::PushTextWrapPos(width - Px(20));
  for (const std::string& l : lines_) ImGui::TextUnformatted(l.c_str());
  ImGui::PopTextWrapPos();
  ImGui::Spacing();
  ImGui::SetCursorPosX((ImGui::GetWindowWidth() - Px(64)) * 0.5f);
  const bool ok = ImGui::Button("确定", ImVec2(Px(64), 0));
  ImGui::End();
  if (ok || KeyPressed(ImGuiKey_Escape) || KeyPressed(ImGuiKey_Enter) ||
      KeyPressed(ImGuiKey_KeyPadEnter))
    open_ = false;
}

std::string DialogTitleTexts() { return std::string(HelpTitle) + TFormAbout::ProductLine(); }

std::vector<std::string> DialogTexts() {
  std::vector<std::string> out = TFormConfig::Captions();
  for (const auto& list : {TFormHelp::Captions(), TFormAbout::Captions()})
    out.insert(out.end(), list.begin(), list.end());
  out.push_back("提示");
  out.push_back("设置没有保存。");
  out.push_back("说明书无法打开。");
  return out;
}
