// The one frame of the program and the loop that runs it. The window's
// message loop, a script (`--script`) and one picture (`--render`) run the
// same step, whose phases are, in order:
//
//   events    the window system's events (or a script's steps) reach the
//             form: pointer and keys through the region machine and the key
//             table, each ending in a command; while a dialog is open they
//             reach only the dialog
//   input     the direction keys held down, each a command
//   commands  the completions of dialogs that closed in the last frame
//             (settings applied, a show started, the next message opened)
//   automatic the three automatic slots (hover repeat and panel slide,
//             subtitle scroll, player), each a command when due; the player
//             waits while a dialog is open
//   update    the sky model brought up to date when a command made it stale
//   draw      the sky and the panel, only when the picture can have changed
//   overlay   the popup menu and the top dialog (ImGui), which takes its
//             input here and may close
//   present   the finished picture to the window
//
// A dialog is state the frame draws, not a loop: opening one returns at
// once, and no frame ever runs inside another.
//
// Input comes either from the window system, paced by the 33 ms frame
// period of the wall clock, or from a step source (a script), which feeds
// its events before each frame and is never paced, so that a script gives
// the same pictures on every machine. While nothing is armed (no key held,
// no automatic slot running, no picture to draw, no menu or dialog open) the
// window's loop sleeps until the next event instead of waking every period.
#pragma once

#include <cstdint>

union SDL_Event;
class TFormSky;

// Where the input of the frames comes from when it is not the window system.
class TStepSource {
 public:
  virtual ~TStepSource() = default;
  // Feeds the form what happens before the next frame (events, shots);
  // true when a frame is to be run, false when the source has ended.
  virtual bool BeforeFrame(TFormSky& form) = 0;
};

// The frame: the phases from input to present, once. Does nothing while
// the stage cannot draw.
void RunFrame(TFormSky& form);

// Routes one window-system event to the form (keys, pointer, activation,
// closing, exposure). Scripts feed their events through the same door;
// `followFocus` is false for them (the window's focus does not count).
void HandleEvent(TFormSky& form, const SDL_Event& event, bool followFocus);

// True while something needs frames without any event: a key held, an
// automatic slot running, a picture or overlay still to draw.
bool FrameArmed(TFormSky& form);

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
  static constexpr uint32_t FramePeriod = 33;  // milliseconds between frames in the window
  // While the window is in the background its loop looks for events this
  // often; with nothing armed it waits for an event at most IdlePeriod.
  static constexpr uint32_t InactivePeriod = 100;
  static constexpr uint32_t IdlePeriod = 1000;

  // One pass: the events (from the source or the window system), the
  // music's completion notice, then the frame. With a source the frame runs
  // at once. Without one it runs once at least 33 ms have passed since the
  // last one while the timer runs and the application is active; otherwise
  // the pass sleeps until an event, or until the next frame is due when
  // something is armed. False when the program cannot go on: it was asked
  // to end, or the source has ended.
  bool Step(TFormSky& form);

  // Steps until `done()` is true, the form is terminated or the source has
  // ended; dialogs still open then are closed as their cancel buttons would.
  template <class Done>
  void RunUntil(TFormSky& form, Done done) {
    while (!Terminated(form) && !done() && Step(form)) {
    }
    EndOfRun(form);
  }

  // With SKYLOOM_MEASURE set in the environment the loop reports on stderr
  // the wall-clock time (CLOCK_REALTIME, nanoseconds) and the CPU time
  // (milliseconds) of the first present and, at the end, the number of
  // frames presented: scripts/measure.sh reads them.
  void ReportFrames(const TFormSky& form) const;

  // The source of the frames' input; null for the window system.
  void SetSource(TStepSource* source) { source_ = source; }
  TStepSource* Source() const { return source_; }
  // What takes the frames of a step source's run; null for none.
  void SetSink(TFrameSink* sink) { sink_ = sink; }

 private:
  static bool Terminated(const TFormSky& form);
  static void EndOfRun(TFormSky& form);
  // The frame, and the report of the first present.
  void Frame(TFormSky& form);
  TStepSource* source_ = nullptr;
  TFrameSink* sink_ = nullptr;
  uint64_t lastTick_ = 0;
  int measure_ = -1;  // -1 not looked up, 0 off, 1 on
};
