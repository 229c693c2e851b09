// Recording a run as a video (--record): every frame the frame loop ticks,
// from the first to the end of the show or script, becomes one frame of
// the video at 30 frames a second, as the window would show it (sky, panel,
// texts, overlays), and the background music its sound track. Frames are
// made as fast as the machine can, not at the clock's pace, and streamed to
// the encoder one by one.
#pragma once

#include <csignal>
#include <memory>
#include <string>

#include "FrameLoop.h"
#include "RecordProgress.h"
#include "RecorderModule.h"

class TFormSky;

class TRecorder : public TFrameSink {
 public:
  // The longest recording taken: a run that goes on longer (a show that
  // never ends) fails.
  static constexpr long MaxFrames = 30L * 60 * 60 * 4;

  // Opens the video at `path` for the form's stage; `shown` is the file as
  // the user named it, for messages. False after saying why on stderr.
  bool Start(TFormSky& form, const std::string& path, const std::string& shown,
             TVideoQuality quality);
  // Takes the frame just ticked: its picture, its share of the music, a
  // chapter when the show turned a page, the progress line. False when the
  // recording failed or was cancelled (the run then ends).
  bool AfterFrame(TFormSky& form) override;
  // Completes the file when the run went as it should (`runOk`), otherwise
  // drops it; says so on stderr. The process's exit status: 0 or 2.
  int Finish(bool runOk);

 private:
  void Report(bool force);
  std::unique_ptr<TVideoSink> encoder_;   // from the recorder module, once started
  std::unique_ptr<TMusicSource> music_;
  TProgressEstimate estimate_;
  std::string shown_;
  std::vector<uint32_t> picture_;
  std::vector<float> left_, right_;
  long drawnFrames_ = -1;     // the surface's frame count at the last capture
  bool musicPlaying_ = false;
  int page_ = 0;
  bool failed_ = false, cancelled_ = false;
  double started_ = 0, lastReport_ = 0;
  bool terminal_ = false;
};

// Keeps an unattended run going until the show's player stops (--show NAME
// --record FILE): the last frame is the one the show ended on.
class TUntilShowEnds : public TStepSource {
 public:
  bool BeforeFrame(TFormSky& form) override;

 private:
  bool started_ = false;
};

// Holds back the signals that cancel a recording (interrupt, terminate,
// hang-up) so that the recorder sees them between frames and removes its
// file; called before any thread starts.
void HoldCancelSignals();
