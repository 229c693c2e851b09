// Modal dialogs over the running stage. ShowModal runs a nested loop of the
// program's own frame step (events to ImGui, the frame tick with the dialog
// drawn on top, present) until the dialog closes, then returns; frames keep
// being drawn behind the dialog, and a script keeps taking its steps.
#pragma once

#include <string>
#include <vector>

class TFormSky;
class TModalForm;

void ShowModal(TFormSky& form, TModalForm& dialog);

// A message for the person at the screen: on stderr, and (when the program
// runs a loop) in a message box over the stage until it is confirmed.
void ShowMessage(TFormSky& form, const std::string& title, const std::vector<std::string>& lines);
