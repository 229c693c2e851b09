// TLecture: the show store of the lecture player — the frames of the loaded
// show and the position of playback.
#pragma once

#include <string>

#include "ShortString.h"

struct TInfoText;

class TLecture {
 public:
  int Current = 0;    // current frame; 0 = not started
  int Count = 0;      // frames in the show
  ShortString Title;  // title of the show (GBK)

  // Empties the store: no show loaded.
  void Reset();
  // Reads a whole show; false when nothing could be loaded.
  bool LoadShow(const std::string& path);
  // Puts playback before the first frame (the dispatcher then arms its
  // player slot with command 3002).
  void StartShow();
  // Moves Current by delta and applies that frame in full.
  void JumpFrames(int delta);
  // Current + 1, applied partially.
  void NextFrame();
  // One tick of continuous playback; true when the show may advance.
  bool StepShow();
  // True when frame k starts a new text page.
  bool IsNewPage(int k) const;
  // The text panel's lines for frame k (the description for k = 0), for a
  // panel `width` pixels wide with characters `charWidth` pixels wide.
  void BuildShowText(int k, int width, int charWidth, TInfoText& text) const;
};

extern TLecture Lecture;
