// The one frame step of the program. The window's message loop, a script
// (`--script`), one picture (`--render`) and every modal dialog's nested
// loop run the same step: input in, the frame tick (keys, automatic slots,
// sky update, draw, overlay, present), and for scripts the captures.
//
// Input comes either from the window system, paced by the 33 ms frame
// period of the wall clock, or from a step source (a script), which feeds
// its events before each frame and is never paced, so that a script gives
// the same pictures on every machine. A modal dialog opened by a script's
// step runs `RunUntil` itself and keeps pulling the same source's steps, so
// a script can photograph a dialog and close it.
#pragma once

#include <cstdint>
#include <functional>

class TFormSky;

// Where the input of the frames comes from when it is not the window system.
class TStepSource {
 public:
  virtual ~TStepSource() = default;
  // Feeds the form what happens before the next frame (events, shots);
  // true when a frame is to be run, false when the source has ended. May be
  // called again from inside a step that opened a modal dialog; it then
  // goes on with the following steps.
  virtual bool BeforeFrame(TFormSky& form) = 0;
};

// What takes every frame of an unattended run as it is made (a recording):
// called after each frame tick driven by a step source, whether that tick
// drew a new picture or kept the last one. False ends the run.
class TFrameSink {
 public:
  virtual ~TFrameSink() = default;
  virtual bool AfterFrame(TFormSky& form) = 0;
};

class TFrameLoop {
 public:
  static constexpr uint32_t FramePeriod = 33;  // milliseconds between ticks in the window

  // One pass. Without a source: the pending window-system events, the
  // music's completion notice, then the frame tick once at least 33 ms
  // have passed since the last one while the timer runs and the
  // application is active; otherwise it sleeps until an event or the next
  // tick. With a source: its steps up to the next frame, the window's
  // closing (nothing else of the window counts), the music notice, and
  // the frame tick at once. False when the program cannot go on: it was
  // asked to end, or the source has ended.
  bool Step(TFormSky& form);

  // Steps until `done()` is true, the form is terminated or the source has
  // ended. While it runs, the form's NextFrame is this loop's Step, which
  // is what a modal dialog's nested loop calls until the dialog closes.
  template <class Done>
  void RunUntil(TFormSky& form, Done done) {
    auto outer = Hook(form);
    while (!Terminated(form) && !done() && Step(form)) {
    }
    Unhook(form, std::move(outer));
  }

  // With SKYLOOM_MEASURE set in the environment the loop reports on stderr
  // the wall-clock time (CLOCK_REALTIME, nanoseconds) and the CPU time
  // (milliseconds) of the first present
  // and, at the end, the number of frames presented: scripts/measure.sh
  // reads them.
  void ReportFrames(const TFormSky& form) const;

  // The source of the frames' input; null for the window system.
  void SetSource(TStepSource* source) { source_ = source; }
  TStepSource* Source() const { return source_; }
  // What takes the frames of a step source's run; null for none.
  void SetSink(TFrameSink* sink) { sink_ = sink; }

 private:
  static bool Terminated(const TFormSky& form);
  // Makes NextFrame this loop's step; gives back the one it replaced.
  std::function<bool()> Hook(TFormSky& form);
  static void Unhook(TFormSky& form, std::function<bool()> outer);
  void Tick(TFormSky& form);
  TStepSource* source_ = nullptr;
  TFrameSink* sink_ = nullptr;
  uint64_t lastTick_ = 0;
  int measure_ = -1;  // -1 not looked up, 0 off, 1 on
};
