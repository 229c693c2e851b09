#include "DialogStyle.h"

void DrawErrorLine(const std::string& text, float wrapX) {
  if (text.empty()) return;
  ImGui::PushStyleColor(ImGuiCol_Text, ErrorColor);
  ImGui::PushTextWrapPos(wrapX);
  ImGui::TextUnformatted(text.c_str());
  ImGui::PopTextWrapPos();
  ImGui::PopStyleColor();
}
