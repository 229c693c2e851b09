// The modal dialogs as the dispatcher calls them. Each entry shows its
// dialog modally over the running stage (frames keep being drawn behind it)
// and returns when the dialog closes; the dispatcher does what follows from
// the dialog's answer.
#pragma once

#include <functional>
#include <string>

class TFormSky;

// The about box (code 5).
void RunAboutDialog(TFormSky& form);
// The observation settings (code 103). True when "确定" applied new settings.
bool RunConfigDialog(TFormSky& form);
// The help viewer (code 301).
void RunHelpDialog(TFormSky& form);
// Every character the dialogs can show (their captions, the city table, the
// manual), as UTF-8 text for the dialog font.
std::string DialogGlyphs();
// The characters the star tool shows: its captions, every object name and
// the titles and descriptions of the shows in the show folder (UTF-8).
std::string StarToolGlyphs();

// What the star tool (code 106) chose: Result 1 a show (ShowFile, a file
// name inside the show folder), 2 an object (SelectedId, an object number),
// 3 time flow with the step the dialog set; any other Result changes nothing.
struct TStarToolAnswer {
  int Result = 0;
  std::string ShowFile;
  int SelectedId = 0;
};
// OnPick is called with an object number while the user browses the object
// list with "自动找到：" on (the dispatcher passes GoToTarget without animation).
// "录制视频…": records the show `showFile` (a file name inside the show
// folder) as a video, the file chosen in the dialog; the program runs on
// behind it while the recording is made by a process of its own.
void RunRecordDialog(TFormSky& form, const std::string& showFile);
TStarToolAnswer RunStarToolDialog(TFormSky& form, const std::function<void(int)>& OnPick);
