// Scripts: a text file of steps fed to the running program frame by frame,
// with no wall clock, so a script gives the same pictures on every machine.
//
//   key NAME            press and release a key (SDL key names: Left, R, Return ...)
//   keydown NAME        hold a key          keyup NAME      release it
//   move X Y            move the pointer    click X Y [left|right]
//   mousedown X Y [b]   mouseup X Y [b]
//   wait N              run N frames
//   waitpage N          run frames until the show turns a page or the player
//                       stops; the script fails when N frames were not enough
//   waitend N           run frames until the player stops (a show at its end,
//                       a trip arrived), failing after N frames
//   shot FILE.png       save the last drawn frame (relative to the caller's folder)
//   command N           execute command code N (as a key, click or menu item would)
//   goto NAME           send the view travelling to an object (as --goto NAME)
//   show NAME           load a show of the show folder and play it (as --show NAME)
//   quit                end the program
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <string>
#include <vector>

#include "FrameLoop.h"

class TFormSky;

// What a waiting step waits for.
enum class TWaitFor { Frames, Page, End };

struct TScriptStep {
  std::string Verb;
  std::vector<std::string> Args;
  int Line = 0;
};

// Parses a script; false with "line N: ..." for an unknown verb or bad arguments.
bool ParseScript(const std::string& text, std::vector<TScriptStep>& steps, std::string& error);

// A parsed script as the frame loop's step source: each frame it runs the
// steps up to the next frame of a `wait` (or, for `shot` before any frame
// was drawn, one frame). A step that opens a dialog returns at once; the
// following steps (keys, clicks, shots) reach the dialog through the frames.
class TScriptRunner : public TStepSource {
 public:
  TScriptRunner(std::vector<TScriptStep> steps, std::string baseFolder)
      : steps_(std::move(steps)), base_(std::move(baseFolder)) {}
  bool BeforeFrame(TFormSky& form) override;
  // A shot could not be saved (the run then ends, with a failure status).
  bool Failed() const { return failed_; }
  bool Finished() const {
    return next_ >= steps_.size() && waitLeft_ == 0 && waitFor_ == TWaitFor::Frames;
  }

 private:
  // The page or player condition of a waiting step holds.
  bool WaitIsOver(const TFormSky& form) const;
  std::vector<TScriptStep> steps_;
  std::string base_;
  size_t next_ = 0;   // the step to run next
  int waitLeft_ = 0;  // frames still to run for the current wait
  TWaitFor waitFor_ = TWaitFor::Frames;
  int waitPage_ = 0;    // the show page a waitpage step started on
  int waitLine_ = 0;    // the line of the waiting step, for its message
  int waitFrames_ = 0;  // the frames that step allowed
  bool failed_ = false;
  bool firstFrameRun_ = false;  // the frame a shot before any frame asked for
};

// Runs the script file (at most 1 MiB) on the form through its frame loop;
// paths of shots are relative to `baseFolder` (the caller's folder). False
// on a read or parse error or a failed shot. A sink, when given, takes
// every frame of the run as it is made (a recording).
bool RunScript(TFormSky& form, const std::string& file, const std::string& baseFolder = "",
               TFrameSink* sink = nullptr);
bool RunScriptSteps(TFormSky& form, const std::vector<TScriptStep>& steps,
                    const std::string& baseFolder, TFrameSink* sink = nullptr);

