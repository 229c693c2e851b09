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

class TFormSky;

// Where the input of the frames comes from when it is not the window system.
class TStepSource {
 public:
  virtual ~TStepSource() = default;
  // Feeds the form what happens before the next frame (events, shots);
  // true when a frame is to be run, false when the source has ended (the
  // run then ends). May be called again from inside a step that opened a
  // modal dialog; it then goes on with the following steps.
  virtual bool BeforeFrame(TFormSky& form) = 0;
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
  // the frame tick at once.
  void Step(TFormSky& form);

  // Steps until `done()` is true or the form is terminated. The main loop
  // runs it with "never done"; a modal dialog with "the dialog closed".
  template <class Done>
  void RunUntil(TFormSky& form, Done done) {
    while (!Terminated(form) && !done()) Step(form);
  }

  // With SKYLOOM_MEASURE set in the environment the loop reports on stderr
  // the wall-clock time (CLOCK_REALTIME, nanoseconds) of the first present
  // and, at the end, the number of frames presented: scripts/measure.sh
  // reads them.
  void ReportFrames(const TFormSky& form) const;

  // The source of the frames' input; null for the window system.
  void SetSource(TStepSource* source) { source_ = source; }
  TStepSource* Source() const { return source_; }

 private:
  static bool Terminated(const TFormSky& form);
  void Tick(TFormSky& form);
  TStepSource* source_ = nullptr;
  uint64_t lastTick_ = 0;
  int measure_ = -1;  // -1 not looked up, 0 off, 1 on
};
