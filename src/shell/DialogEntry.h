// The modal dialogs as the dispatcher calls them. Each entry shows its
// dialog modally over the running stage (frames keep being drawn behind it)
// and returns when the dialog closes; the dispatcher does what follows from
// the dialog's answer.
#pragma once

#include <functional>
#include <string>

#include "ViewState.h"

class TFormSky;

// The about box.
void RunAboutDialog(TFormSky& form);
// The observation settings. True when "确定" applied new settings.
bool RunConfigDialog(TFormSky& form);
// The help viewer.
void RunHelpDialog(TFormSky& form);

// OnPick is called with an object number while the user browses the object
// list with "自动找到：" on (the dispatcher passes GoToTarget without animation).
TStarToolAnswer RunStarToolDialog(TFormSky& form, const std::function<void(int)>& OnPick);
