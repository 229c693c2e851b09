// The show file reader on any bytes in place of a ".shw" file: whole shows
// and previews, then every page applied and its text built.
#include <memory>

#include "FuzzFiles.h"
#include "InfoText.h"
#include "Lecture.h"
#include "SkyMarks.h"
#include "SkyModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto* model = new TSkyloom;
  static auto* marks = new TSkyMarks;
  static auto* popup = new TPopupSwitches;
  static auto* lecture = new TLecture;
  static auto* text = new TInfoText;
  lecture->Attach(model, marks, popup);
  const std::string path = FuzzInputFile(data, size, "show.shw");
  lecture->LoadShowInfo(path);
  if (lecture->Count != 0 || lecture->Frames.size() != 1) __builtin_trap();
  const TShowLoadResult r = lecture->LoadShow(path);
  if (static_cast<size_t>(lecture->Count) > size / ShowFrameSize) __builtin_trap();
  if (lecture->Frames.size() != static_cast<size_t>(lecture->Count) + 1) __builtin_trap();
  if (lecture->LineCount < 0 || lecture->LineCount > MaxShowLines) __builtin_trap();
  if (r.Loaded() != (r.Status == TShowStatus::Ok || r.Status == TShowStatus::Repaired))
    __builtin_trap();
  lecture->StartShow();
  for (int k = 0; k <= lecture->Count; ++k) {
    lecture->BuildShowText(k, 240, 6, *text);
    if (text->LineCount > MaxShowTextLines) __builtin_trap();
    lecture->JumpFrames(1);
    for (int t = 0; t < 3; ++t) lecture->StepShow();
  }
  return 0;
}
