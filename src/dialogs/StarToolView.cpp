#include "StarToolView.h"

#include <imgui.h>

#include "DialogStyle.h"
#include "ImGuiHost.h"

#include <algorithm>
#include <cstdio>

namespace {

// The window's size in pixels at scale 1.
constexpr float Width = 560, Height = 400;

bool KeyPressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); }

}  // namespace

void TStarToolView::DrawView() {
  // Centred at the interface scale, never larger than the stage.
  const ImVec2 d = ImGui::GetIO().DisplaySize;
  const float w = std::min(Px(Width), d.x), h = std::min(Px(Height), d.y);
  ImGui::SetNextWindowPos(ImVec2((d.x - w) * 0.5f, (d.y - h) * 0.5f), ImGuiCond_Always);
  ImGui::SetNextWindowSize(ImVec2(w, h), ImGuiCond_Always);
  // In front of the stage, except while one of its popups is open (focusing
  // the window would close it).
  if (!ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId)) ImGui::SetNextWindowFocus();
  const std::string title = caption_ + "###StarTool";
  if (!ImGui::Begin(title.c_str(), nullptr,
                    ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize |
                        ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings)) {
    ImGui::End();
    return;
  }
  if (ImGui::BeginTabBar("PageControl1")) {
    if (ImGui::BeginTabItem("天文节目状态")) {
      form_.ActivePage = 0;
      DrawShowPage();
      ImGui::EndTabItem();
    }
    if (ImGui::BeginTabItem("观星状态")) {
      form_.ActivePage = 1;
      DrawObjectPage();
      ImGui::EndTabItem();
    }
    ImGui::EndTabBar();
  }
  // The bottom line keeps its place from the window's edges.
  ImGui::SetCursorPos(ImVec2(Px(8), h - Px(34)));
  DrawErrorLine(form_.ErrorText, w - Px(170));
  ImGui::SetCursorPos(ImVec2(w - Px(150), h - Px(34)));
  const bool ok = ImGui::Button("确定", ImVec2(Px(64), 0));
  ImGui::SameLine();
  const bool cancel = ImGui::Button("取消", ImVec2(Px(64), 0));
  ImGui::End();
  if (cancel || KeyPressed(ImGuiKey_Escape)) {
    form_.Button6Click();
  } else if (ok || KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter)) {
    form_.Button1Click();
  }
}

void TStarToolView::DrawShowPage() {
  const float h = ImGui::GetWindowHeight();
  ImGui::BeginGroup();
  ImGui::BeginChild("ListBox1", ImVec2(Px(180), h - Px(138)), true);
  for (size_t i = 0; i < form_.ListBox1.size(); ++i) {
    const bool chosen = static_cast<int>(i) == form_.ListBox1Index;
    // The user's own shows are marked as such.
    const bool mine = i < form_.ListBox1Mine.size() && form_.ListBox1Mine[i];
    const std::string caption = mine ? form_.ListBox1[i] + OwnShowMark : form_.ListBox1[i];
    if (ImGui::Selectable(caption.c_str(), chosen)) form_.ListBox1Click(static_cast<int>(i));
  }
  ImGui::EndChild();
  if (ImGui::Button("录制视频…", ImVec2(Px(180), 0))) form_.ButtonRecordClick();
  ImGui::EndGroup();
  ImGui::SameLine();
  ImGui::BeginChild("Memo1", ImVec2(0, h - Px(110)), true);
  ImGui::PushTextWrapPos(0);
  for (const std::string& line : form_.Memo1) ImGui::TextUnformatted(line.empty() ? " " : line.c_str());
  ImGui::PopTextWrapPos();
  ImGui::EndChild();
}

void TStarToolView::DrawObjectPage() {
  const float h = ImGui::GetWindowHeight();
  ImGui::BeginGroup();
  ImGui::SetNextItemWidth(Px(200));
  char name[128];
  std::snprintf(name, sizeof name, "%s", form_.EditConstName.c_str());
  ImGui::InputText("##EditConstName", name, sizeof name, ImGuiInputTextFlags_ReadOnly);
  ImGui::SameLine();
  ImGui::PushStyleColor(ImGuiCol_Text, ErrorColor);
  ImGui::TextUnformatted(form_.LabelConstHint.c_str());
  ImGui::PopStyleColor();
  const ImGuiTableFlags flags = ImGuiTableFlags_Sortable | ImGuiTableFlags_RowBg |
                                ImGuiTableFlags_ScrollY | ImGuiTableFlags_Borders;
  if (ImGui::BeginTable("ListViewConst", 2, flags, ImVec2(Px(300), h - Px(140)))) {
    ImGui::TableSetupScrollFreeze(0, 1);
    ImGui::TableSetupColumn("星座", ImGuiTableColumnFlags_WidthFixed, Px(90));
    ImGui::TableSetupColumn("英文", ImGuiTableColumnFlags_WidthStretch);
    ImGui::TableHeadersRow();
    if (ImGuiTableSortSpecs* specs = ImGui::TableGetSortSpecs()) {
      if (specs->SpecsDirty && specs->SpecsCount > 0) {
        form_.ListViewConstColumnClick(specs->Specs[0].ColumnIndex);
        specs->SpecsDirty = false;
      }
    }
    for (size_t i = 0; i < form_.ListViewConst.size(); ++i) {
      const TObjectItem& item = form_.ListViewConst[i];
      ImGui::TableNextRow();
      ImGui::TableNextColumn();
      ImGui::PushID(static_cast<int>(i));
      const bool chosen = static_cast<int>(i) == form_.ListViewConstIndex;
      if (ImGui::Selectable(item.Caption.c_str(), chosen,
                            ImGuiSelectableFlags_SpanAllColumns | ImGuiSelectableFlags_AllowDoubleClick)) {
        if (ImGui::IsMouseDoubleClicked(0)) form_.ListViewConstDblClick(static_cast<int>(i));
        else form_.ListViewConstClick(static_cast<int>(i));
      }
      if (chosen && ImGui::IsWindowAppearing()) ImGui::SetScrollHereY();
      ImGui::PopID();
      ImGui::TableNextColumn();
      ImGui::TextUnformatted(item.English.c_str());
    }
    ImGui::EndTable();
  }
  ImGui::EndGroup();
  ImGui::SameLine(Px(316));  // the choices keep their place whatever the hint says
  ImGui::BeginGroup();
  if (ImGui::RadioButton("自动找到：", form_.RadioButtonMove)) form_.RadioButtonMoveClick();
  if (ImGui::RadioButton("步进时间", !form_.RadioButtonMove)) form_.RadioButtonTimeClick();
  ImGui::Separator();
  ImGui::TextUnformatted("步进时间设定");
  if (!form_.GroupBox1Enabled) ImGui::BeginDisabled();
  int amount = std::atoi(form_.EditUnit.c_str());
  ImGui::SetNextItemWidth(Px(120));
  if (ImGui::InputInt("##EditUnit", &amount, 1, 10)) {
    amount = amount < 1 ? 1 : amount > 10000 ? 10000 : amount;
    form_.EditUnit = std::to_string(amount);
  }
  if (ImGui::RadioButton("秒", form_.StepUnitChoice == 4)) form_.StepUnitChoice = 4;
  ImGui::SameLine();
  if (ImGui::RadioButton("分", form_.StepUnitChoice == 1)) form_.StepUnitChoice = 1;
  ImGui::SameLine();
  if (ImGui::RadioButton("日", form_.StepUnitChoice == 2)) form_.StepUnitChoice = 2;
  ImGui::SameLine();
  if (ImGui::RadioButton("年", form_.StepUnitChoice == 3)) form_.StepUnitChoice = 3;
  if (!form_.GroupBox1Enabled) ImGui::EndDisabled();
  ImGui::Separator();
  bool lock = form_.CheckBoxLock;
  if (ImGui::Checkbox("锁定左边所选", &lock)) form_.CheckBoxLockClick();
  ImGui::EndGroup();
}
