// What the dialogs' ImGui views share of their looks.
#pragma once

#include <imgui.h>

#include <string>

// The colour of a dialog's error and warning texts.
inline const ImVec4 ErrorColor(0.95f, 0.35f, 0.30f, 1.0f);

// A dialog's error line at the cursor, wrapped before `wrapX` (window
// coordinates); draws nothing for an empty text.
void DrawErrorLine(const std::string& text, float wrapX);
