// TLecture: the show store of the lecture player — the frames of the loaded
// show and the position of playback.
#pragma once

class TLecture {
 public:
  int Current = 0;  // current frame
  int Count = 0;    // frames in the show
  // Empties the store: no show loaded.
  void Reset();
};

extern TLecture Lecture;
