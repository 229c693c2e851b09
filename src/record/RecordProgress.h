// How far a recording has come: frames written, the show's page, a share
// done and the time still needed, as one line of text that the terminal
// shows and that the window reads back from a recording process.
#pragma once

#include <cstdint>
#include <string>

struct TRecordProgress {
  int64_t Frames = 0;        // frames written so far
  int Page = 0, Pages = 0;   // the show's page and page count; 0 without a show
  int Percent = -1;          // share done, -1 when unknown
  int SecondsLeft = -1;      // wall-clock seconds still needed, -1 when unknown
  bool Done = false;         // the file is complete
};

// Estimates the share of a show done from its pages: the frames per page of
// the pages already turned stand for the pages still to come.
class TProgressEstimate {
 public:
  // The show is on page `page` of `pages` since frame `frame`.
  void PageTurned(int page, int pages, int64_t frame);
  // The progress after `frames` frames and `seconds` of wall-clock time.
  TRecordProgress At(int64_t frames, double seconds) const;

 private:
  int page_ = 0, pages_ = 0;
  int64_t firstPageFrame_ = -1;  // the frame the show's first page began on
  int64_t pageFrame_ = 0;        // the frame the current page began on
};

// "page 3 of 12, 25%, 0:41 left, 1234 frames" (the parts known), or "done,
// 1234 frames".
std::string ProgressText(const TRecordProgress& p);
// Reads a progress text back (anywhere in `line`); false when it holds none.
bool ParseProgressText(const std::string& line, TRecordProgress& out);
// "1:05" for 65 seconds; "1:02:03" from an hour on.
std::string ClockText(int seconds);
