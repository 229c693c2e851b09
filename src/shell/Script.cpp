#include "Script.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "AutoCommand.h"
#include "CommandCodes.h"
#include "FileIo.h"
#include "FormSky.h"
#include "Lecture.h"
#include "ObjectNames.h"
#include "SkyModel.h"

namespace {

constexpr int MaxWait = 100000;                      // frames in one wait step
constexpr size_t MaxScriptBytes = 1u << 20;  // far beyond any real script

// The whole word must be the number (a NUL byte inside it is not).
bool ToInt(const std::string& s, int lo, int hi, int& out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || errno || end != s.c_str() + s.size() || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

SDL_Scancode KeyCode(const std::string& name) { return SDL_GetScancodeFromName(name.c_str()); }

int Button(const std::vector<std::string>& args, size_t at) {
  if (args.size() > at && args[at] == "right") return SDL_BUTTON_RIGHT;
  if (args.size() > at && args[at] == "middle") return SDL_BUTTON_MIDDLE;
  return SDL_BUTTON_LEFT;
}

// A word of the script as it may be quoted in a message: at most 40
// characters, anything unprintable as '?'.
// What a fault of a script step is about, as the user finds it.
std::string LineOf(int line) { return "script line " + std::to_string(line); }

std::string Shown(const std::string& word) {
  std::string out;
  for (char c : word.substr(0, 40)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (word.size() > 40) out += "...";
  return out;
}

void Feed(TFormSky& form, const SDL_Event& e) { HandleEvent(form, e, false); }

void FeedKey(TFormSky& form, SDL_Scancode code, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = code;
  e.key.keysym.sym = SDL_GetKeyFromScancode(code);
  Feed(form, e);
}

void FeedMouse(TFormSky& form, Uint32 type, int x, int y, int button) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = x;
    e.motion.y = y;
  } else {
    e.button.x = x;
    e.button.y = y;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
  }
  Feed(form, e);
}

// What a step's action works on.
struct TStepContext {
  TFormSky& Form;
  const std::string& Base;  // the folder of relative shot paths
  int Line;
  int FramesWanted = 0;     // frames the step asks for before the next step
  TWaitFor WaitFor = TWaitFor::Frames;  // or until what, at most FramesWanted frames
  bool Failed = false;
};

using TArgs = std::vector<std::string>;

// One kind of step: its verb, how many words follow, what is wrong with
// them ("" when nothing) and what it does. New steps are new rows.
struct TStepVerb {
  const char* Verb;
  size_t MinArgs, MaxArgs;
  const char* Usage;  // the message when the number of words is wrong
  std::string (*Check)(const TArgs& a);
  void (*Run)(TStepContext& c, const TArgs& a);
};

std::string NoCheck(const TArgs&) { return ""; }

std::string CheckKey(const TArgs& a) {
  return KeyCode(a[0]) == SDL_SCANCODE_UNKNOWN ? "unknown key \"" + Shown(a[0]) + "\"" : "";
}

std::string CheckPoint(const TArgs& a) {
  int x = 0;
  if (!ToInt(a[0], -10000, 10000, x) || !ToInt(a[1], -10000, 10000, x)) return "bad position";
  if (a.size() == 3 && a[2] != "left" && a[2] != "right" && a[2] != "middle")
    return "button must be left, right or middle";
  return "";
}

std::string CheckWait(const TArgs& a) {
  int x = 0;
  return ToInt(a[0], 0, MaxWait, x) ? "" : "wait takes 0..100000 frames";
}

void RunKey(TStepContext& c, const TArgs& a) {
  FeedKey(c.Form, KeyCode(a[0]), true);
  FeedKey(c.Form, KeyCode(a[0]), false);
}
void RunKeyDown(TStepContext& c, const TArgs& a) { FeedKey(c.Form, KeyCode(a[0]), true); }
void RunKeyUp(TStepContext& c, const TArgs& a) { FeedKey(c.Form, KeyCode(a[0]), false); }

void RunMove(TStepContext& c, const TArgs& a) {
  FeedMouse(c.Form, SDL_MOUSEMOTION, std::atoi(a[0].c_str()), std::atoi(a[1].c_str()), 0);
}

// A click is a motion to the point, then the button down and up.
void RunButton(TStepContext& c, const TArgs& a, bool down, bool up) {
  const int x = std::atoi(a[0].c_str()), y = std::atoi(a[1].c_str()), b = Button(a, 2);
  FeedMouse(c.Form, SDL_MOUSEMOTION, x, y, 0);
  if (down) FeedMouse(c.Form, SDL_MOUSEBUTTONDOWN, x, y, b);
  if (up) FeedMouse(c.Form, SDL_MOUSEBUTTONUP, x, y, b);
}
void RunClick(TStepContext& c, const TArgs& a) { RunButton(c, a, true, true); }
void RunMouseDown(TStepContext& c, const TArgs& a) { RunButton(c, a, true, false); }
void RunMouseUp(TStepContext& c, const TArgs& a) { RunButton(c, a, false, true); }

void RunWait(TStepContext& c, const TArgs& a) { c.FramesWanted = std::atoi(a[0].c_str()); }
void RunWaitPage(TStepContext& c, const TArgs& a) {
  RunWait(c, a);
  c.WaitFor = TWaitFor::Page;
}
void RunWaitEnd(TStepContext& c, const TArgs& a) {
  RunWait(c, a);
  c.WaitFor = TWaitFor::End;
}

void RunShot(TStepContext& c, const TArgs& a) {
  std::string path = a[0];
  if (!c.Base.empty() && !path.empty() && path[0] != '/')
    path = (std::filesystem::path(c.Base) / path).string();
  std::string error;
  if (!c.Form.DXDraw.SaveScreenshot(path, error)) {
    Report({LineOf(c.Line), error, ""});
    c.Failed = true;
  }
}

std::string CheckCode(const TArgs& a) {
  int x = 0;
  return ToInt(a[0], 0, 99999, x) ? "" : "command takes a code 0..99999";
}

void RunCommand(TStepContext& c, const TArgs& a) { c.Form.ExecuteCommand(std::atoi(a[0].c_str())); }

// Names of objects and shows may have several words ("Alpha Centauri").
std::string Words(const TArgs& a) {
  std::string name;
  for (const std::string& w : a) name += (name.empty() ? "" : " ") + w;
  return name;
}

void RunGoTo(TStepContext& c, const TArgs& a) {
  const std::string name = Words(a);
  const int code = FindObjectByName(c.Form.Sky, name);
  if (code == 0) {
    Report({LineOf(c.Line), UnknownObjectMessage(c.Form.Sky, name), ""});
    c.Failed = true;
    return;
  }
  c.Form.StartGoTo(code);
}

// A show of the show folder, loaded and playing as --show starts it.
void RunShow(TStepContext& c, const TArgs& a) {
  const std::string name = Words(a);
  if (!IsShowName(name)) {
    Report({LineOf(c.Line),
            "\"" + name + "\" is not the name of a show in the folder " + ShowFolder, ""});
    c.Failed = true;
    return;
  }
  if (!c.Form.PlayShowFile(ShowFileOf(name), true)) {
    Report({LineOf(c.Line), "the show \"" + name + "\" cannot be played", ""});
    c.Failed = true;
  }
}

void RunQuit(TStepContext& c, const TArgs&) { c.Form.ExecuteCommand(Cmd::Quit); }

const TStepVerb StepVerbs[] = {
    {"key", 1, 1, "key takes one key name", CheckKey, RunKey},
    {"keydown", 1, 1, "keydown takes one key name", CheckKey, RunKeyDown},
    {"keyup", 1, 1, "keyup takes one key name", CheckKey, RunKeyUp},
    {"move", 2, 2, "move takes X Y", CheckPoint, RunMove},
    {"click", 2, 3, "click takes X Y", CheckPoint, RunClick},
    {"mousedown", 2, 3, "mousedown takes X Y", CheckPoint, RunMouseDown},
    {"mouseup", 2, 3, "mouseup takes X Y", CheckPoint, RunMouseUp},
    {"wait", 1, 1, "wait takes 0..100000 frames", CheckWait, RunWait},
    {"waitpage", 1, 1, "waitpage takes 0..100000 frames", CheckWait, RunWaitPage},
    {"waitend", 1, 1, "waitend takes 0..100000 frames", CheckWait, RunWaitEnd},
    {"shot", 1, 1, "shot takes one file name", NoCheck, RunShot},
    {"command", 1, 1, "command takes a code 0..99999", CheckCode, RunCommand},
    {"goto", 1, 64, "goto takes an object name", NoCheck, RunGoTo},
    {"show", 1, 64, "show takes the name of a show", NoCheck, RunShow},
    {"quit", 0, 0, "quit takes nothing", NoCheck, RunQuit},
};

const TStepVerb* FindVerb(const std::string& verb) {
  for (const TStepVerb& v : StepVerbs)
    if (verb == v.Verb) return &v;
  return nullptr;
}

}  // namespace

bool ParseScript(const std::string& text, std::vector<TScriptStep>& steps, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (n == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark of some editors
    std::istringstream words(line);
    TScriptStep step;
    step.Line = n;
    if (!(words >> step.Verb) || step.Verb[0] == '#') continue;
    for (std::string w; words >> w;) step.Args.push_back(w);
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(n) + ": " + why;
      return false;
    };
    const TStepVerb* verb = FindVerb(step.Verb);
    if (!verb) return fail("unknown step \"" + Shown(step.Verb) + "\"");
    if (step.Args.size() < verb->MinArgs || step.Args.size() > verb->MaxArgs)
      return fail(verb->Usage);
    const std::string why = verb->Check(step.Args);
    if (!why.empty()) return fail(why);
    steps.push_back(std::move(step));
  }
  return true;
}

bool TScriptRunner::WaitIsOver(const TFormSky& form) const {
  switch (waitFor_) {
    case TWaitFor::Page: return !form.Player.Active || form.Lecture.Current != waitPage_;
    case TWaitFor::End: return !form.Player.Active;
    case TWaitFor::Frames: break;
  }
  return waitLeft_ == 0;
}

bool TScriptRunner::BeforeFrame(TFormSky& form) {
  if (waitFor_ != TWaitFor::Frames) {
    // The frame drawn last shows the state looked at here.
    if (WaitIsOver(form)) {
      waitFor_ = TWaitFor::Frames;
      waitLeft_ = 0;
    } else if (waitLeft_ == 0) {
      Report({LineOf(waitLine_),
              std::string(waitFor_ == TWaitFor::Page ? "the show did not turn a page"
                                                     : "the player did not stop") +
                  " within " + std::to_string(waitFrames_) + " frames",
              ""});
      failed_ = true;
      return false;
    } else {
      --waitLeft_;
      return true;
    }
  }
  if (waitLeft_ > 0) {
    --waitLeft_;
    return true;
  }
  while (next_ < steps_.size() && !form.Terminated && !failed_) {
    const TScriptStep& s = steps_[next_];
    // A shot needs a drawn frame: the first one is run before it.
    if (s.Verb == "shot" && form.DXDraw.Frames() == 0 && !firstFrameRun_)
      return firstFrameRun_ = true;
    ++next_;
    const TStepVerb* verb = FindVerb(s.Verb);
    if (!verb) continue;
    TStepContext c{form, base_, s.Line};
    verb->Run(c, s.Args);
    if (c.Failed) failed_ = true;
    if (c.WaitFor != TWaitFor::Frames) {
      waitFor_ = c.WaitFor;
      waitPage_ = form.Lecture.Current;
      waitLine_ = s.Line;
      waitFrames_ = waitLeft_ = c.FramesWanted;
      if (WaitIsOver(form)) {
        waitFor_ = TWaitFor::Frames;
        waitLeft_ = 0;
        continue;
      }
      --waitLeft_;
      return true;
    }
    if (c.FramesWanted > 0) {
      waitLeft_ = c.FramesWanted - 1;
      return true;
    }
  }
  return false;
}

bool RunScriptSteps(TFormSky& form, const std::vector<TScriptStep>& steps,
                    const std::string& baseFolder, TFrameSink* sink) {
  TScriptRunner runner(steps, baseFolder);
  TFrameLoop loop;
  loop.SetSource(&runner);
  loop.SetSink(sink);
  loop.RunUntil(form, [] { return false; });
  return !runner.Failed();
}
bool RunScript(TFormSky& form, const std::string& file, const std::string& baseFolder,
               TFrameSink* sink) {
  // Messages name the script as the user gave it: relative to the caller's
  // folder when it lies there.
  std::string shown = file;
  if (!baseFolder.empty() && shown.rfind(baseFolder + "/", 0) == 0)
    shown = shown.substr(baseFolder.size() + 1);
  // The reader never blocks (a pipe or device in the script's place is
  // refused) and refuses a script larger than 1 MiB before reading it.
  std::vector<uint8_t> bytes;
  std::string why;
  if (ReadWholeFile(file, MaxScriptBytes, bytes, &why) != TReadResult::Ok) {
    ReportFile(shown, "cannot read the script", why);
    return false;
  }
  std::vector<TScriptStep> steps;
  std::string error;
  if (!ParseScript(std::string(bytes.begin(), bytes.end()), steps, error)) {
    ReportFile(shown, error);
    return false;
  }
  std::string base = baseFolder;
  if (base.empty()) base = std::filesystem::path(file).parent_path().string();
  return RunScriptSteps(form, steps, base, sink);
}
