// The dialogs as the dispatcher opens them. Each entry opens its dialog over
// the running stage (frames go on behind it) and returns at once; what
// follows from the dialog's answer is its completion, run by the frame once
// the dialog has closed.
#pragma once

#include <functional>
#include <string>

#include "ViewState.h"

class TFormSky;

// The about box.
void RunAboutDialog(TFormSky& form);
// The observation settings; `applied` is true when "确定" applied new
// settings (they are applied before `closed` runs).
void RunConfigDialog(TFormSky& form, std::function<void(bool applied)> closed = {});
// The help viewer.
void RunHelpDialog(TFormSky& form);

// "录制视频…": records the show `showFile` (a file name inside the show
// folder) as a video, the file chosen in the dialog; the program runs on
// behind it while the recording is made by a process of its own.
void RunRecordDialog(TFormSky& form, const std::string& showFile);
// The star tool: `onPick` is called with an object number while the user
// browses the object list with "自动找到：" on (the dispatcher passes
// GoToTarget without animation); `closed` receives the answer.
void RunStarToolDialog(TFormSky& form, std::function<void(int)> onPick,
                       std::function<void(const TStarToolAnswer&)> closed);
