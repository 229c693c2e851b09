// The one frame of the program and the loop that runs it. The window's
// message loop, a script (`--script`), one picture (`--render`) and every
// modal dialog's nested loop run the same step, whose phases are, in order:
//
//   events    the window system's events (or a script's steps) reach the
//             form: pointer and keys through the region machine and the key
//             table, each ending in a command
//   input     the direction keys held down, each a command
//   automatic the three automatic slots (hover repeat and panel slide,
//             subtitle scroll, player), each a command when due
//   update    the sky model brought up to date when a command made it stale
//   draw      the sky and the panel, only when the picture can have changed
//   overlay   the popup menu and the open dialog (ImGui)
//   present   the finished picture to the window
//
// Input comes either from the window system, paced by the 33 ms frame
// period of the wall clock, or from a step source (a script), which feeds
// its events before each frame and is never paced, so that a script gives
// the same pictures on every machine. While nothing is armed (no key held,
// no automatic slot running, no picture to draw, no menu or dialog open) the
// window's loop sleeps until the next event instead of waking every period.
#pragma once

#include <cstdint>
#include <functional>

union SDL_Event;
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
  // (milliseconds) of the first present and, at the end, the number of
  // frames presented: scripts/measure.sh reads them.
  void ReportFrames(const TFormSky& form) const;

  // The source of the frames' input; null for the window system.
  void SetSource(TStepSource* source) { source_ = source; }
  TStepSource* Source() const { return source_; }

 private:
  static bool Terminated(const TFormSky& form);
  // Makes NextFrame this loop's step; gives back the one it replaced.
  std::function<bool()> Hook(TFormSky& form);
  static void Unhook(TFormSky& form, std::function<bool()> outer);
  // The frame, and the report of the first present.
  void Frame(TFormSky& form);
  TStepSource* source_ = nullptr;
  uint64_t lastTick_ = 0;
  int measure_ = -1;  // -1 not looked up, 0 off, 1 on
};
