#include "RecordView.h"

#include <imgui.h>

#include "DialogStyle.h"
#include "ImGuiHost.h"

#include <algorithm>
#include <cstdio>

namespace {

// The window's size in pixels at scale 1.
constexpr float Width = 520, Height = 360;

bool KeyPressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); }

// An editable text field over a std::string (a bounded buffer), `width`
// stage pixels wide.
bool EditText(const char* id, std::string& text, float width) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, "%s", text.c_str());
  ImGui::SetNextItemWidth(width);
  if (!ImGui::InputText(id, buf, sizeof buf)) return false;
  text = buf;
  return true;
}

}  // namespace

const char* RecordGlyphs() {
  return "录制视频…节目：保存到：上一级文件名：格式：开始录制取消确定正在录制第页还剩约已保存"
         "帧文件夹不存在。请输入文件名。文件名应以结尾。无法开始录制（）录制失败：录制进程意外结束、";
}

void TRecordView::DrawView() {
  form_.Poll();
  // Centred at the interface scale, never larger than the stage.
  const ImVec2 d = ImGui::GetIO().DisplaySize;
  const float w = std::min(Px(Width), d.x), h = std::min(Px(Height), d.y);
  ImGui::SetNextWindowPos(ImVec2((d.x - w) * 0.5f, (d.y - h) * 0.5f), ImGuiCond_Always);
  ImGui::SetNextWindowSize(ImVec2(w, h), ImGuiCond_Always);
  ImGui::SetNextWindowFocus();
  if (!ImGui::Begin("录制视频###Record", nullptr,
                    ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize |
                        ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings)) {
    ImGui::End();
    return;
  }
  ImGui::Text("节目：%s", form_.ShowName.c_str());
  ImGui::Separator();
  if (form_.Phase == TFormRecord::TPhase::Choosing) DrawChoosing();
  else DrawRecording();
  ImGui::End();
}

void TRecordView::DrawChoosing() {
  const float w = ImGui::GetWindowWidth(), h = ImGui::GetWindowHeight();
  ImGui::TextUnformatted("保存到：");
  ImGui::SameLine();
  if (EditText("##EditFolder", form_.EditFolder, w - Px(150))) form_.EditFolderChange(form_.EditFolder);
  ImGui::SameLine();
  if (ImGui::Button("上一级")) form_.FolderUpClick();
  ImGui::BeginChild("FolderList", ImVec2(0, h - Px(200)), true);
  for (size_t i = 0; i < form_.FolderList.size(); ++i) {
    const std::string label = "[" + form_.FolderList[i] + "]##" + std::to_string(i);
    if (ImGui::Selectable(label.c_str(), false)) {
      form_.FolderListClick(static_cast<int>(i));
      break;  // the list changed under the loop
    }
  }
  ImGui::EndChild();
  ImGui::TextUnformatted("文件名：");
  ImGui::SameLine();
  EditText("##EditFileName", form_.EditFileName, w - Px(100));
  ImGui::TextUnformatted("格式：");
  ImGui::SameLine();
  if (ImGui::RadioButton("MP4 (H.264)", form_.Format == 0)) form_.FormatClick(0);
  ImGui::SameLine();
  if (ImGui::RadioButton("WebM (VP9)", form_.Format == 1)) form_.FormatClick(1);
  ImGui::SetCursorPos(ImVec2(Px(8), h - Px(34)));
  DrawErrorLine(form_.ErrorText, w - Px(170));
  ImGui::SetCursorPos(ImVec2(w - Px(170), h - Px(34)));
  const bool start = ImGui::Button("开始录制", ImVec2(Px(84), 0));
  ImGui::SameLine();
  const bool cancel = ImGui::Button("取消", ImVec2(Px(64), 0));
  if (cancel || KeyPressed(ImGuiKey_Escape)) form_.ButtonCancelClick();
  else if (start || KeyPressed(ImGuiKey_Enter)) form_.ButtonStartClick();
}

void TRecordView::DrawRecording() {
  const TRecordProgress& p = form_.Progress;
  const bool done = form_.Phase == TFormRecord::TPhase::Done;
  ImGui::Dummy(ImVec2(0, Px(20)));
  ImGui::TextUnformatted(done ? form_.SavedText.c_str() : "正在录制…");
  const float fraction = done ? 1.0f : p.Percent >= 0 ? static_cast<float>(p.Percent) / 100.0f : 0.0f;
  char text[96];
  if (done) std::snprintf(text, sizeof text, "100%%");
  else if (p.Pages > 0)
    std::snprintf(text, sizeof text, "第 %d / %d 页  %d%%  已录 %lld 帧", p.Page, p.Pages,
                  p.Percent < 0 ? 0 : p.Percent, static_cast<long long>(p.Frames));
  else if (p.Frames > 0) std::snprintf(text, sizeof text, "已录 %lld 帧", static_cast<long long>(p.Frames));
  else std::snprintf(text, sizeof text, " ");
  ImGui::ProgressBar(fraction, ImVec2(-1, 0), text);
  if (!done && p.SecondsLeft >= 0)
    ImGui::Text("还剩约 %s", ClockText(p.SecondsLeft).c_str());
  ImGui::SetCursorPos(
      ImVec2(ImGui::GetWindowWidth() - Px(80), ImGui::GetWindowHeight() - Px(34)));
  if (done) {
    if (ImGui::Button("确定", ImVec2(Px(64), 0)) || KeyPressed(ImGuiKey_Enter) ||
        KeyPressed(ImGuiKey_Escape))
      form_.ButtonOkClick();
  } else if (ImGui::Button("取消", ImVec2(Px(64), 0)) || KeyPressed(ImGuiKey_Escape)) {
    form_.ButtonCancelClick();
  }
}
