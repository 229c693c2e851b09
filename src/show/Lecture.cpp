#include "Lecture.h"

#include "InfoText.h"

TLecture Lecture;

// Until show files can be read the store stays empty: nothing loads, a show
// with no frames never advances, and its text is the (empty) description.
void TLecture::Reset() {
  Current = 0;
  Count = 0;
  Title = ShortString{};
}

bool TLecture::LoadShow(const std::string&) { return false; }

void TLecture::StartShow() { Current = 0; }

void TLecture::JumpFrames(int delta) {
  if (Count <= 0) return;
  Current += delta;
  if (Current <= 0) Current = 0;
  if (Current > Count) Current = Count;
}

void TLecture::NextFrame() {
  if (Current < Count) ++Current;
}

bool TLecture::StepShow() { return Count > 0 && Current < Count; }

bool TLecture::IsNewPage(int) const { return false; }

void TLecture::BuildShowText(int, int, int, TInfoText& text) const {
  SplitInfoText(text, Title.view(), {}, 0, 6, 240);
}
