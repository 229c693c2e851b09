#include "Script.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Application.h"
#include "FileIo.h"
#include "FormSky.h"
#include "ObjectNames.h"
#include "Png.h"
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

// One frame of the loop: window-system events (only closing counts while a
// script runs), the music's completion notice, then the frame handler when
// the timer runs.
void Frame(TFormSky& form) {
  SDL_Event e;
  while (SDL_PollEvent(&e))
    if (e.type == SDL_QUIT) form.Terminated = true;
  form.MediaPlayer1.Poll();
  if (form.DXTimer1Enabled) form.DXTimer1Timer();
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
    const std::string& v = step.Verb;
    const auto& a = step.Args;
    int x = 0;
    if (v == "key" || v == "keydown" || v == "keyup") {
      if (a.size() != 1) return fail(v + " takes one key name");
      if (KeyCode(a[0]) == SDL_SCANCODE_UNKNOWN) return fail("unknown key \"" + Shown(a[0]) + "\"");
    } else if (v == "move" || v == "click" || v == "mousedown" || v == "mouseup") {
      const size_t most = v == "move" ? 2 : 3;
      if (a.size() < 2 || a.size() > most) return fail(v + " takes X Y");
      if (!ToInt(a[0], -10000, 10000, x) || !ToInt(a[1], -10000, 10000, x))
        return fail("bad position");
      if (a.size() == 3 && a[2] != "left" && a[2] != "right" && a[2] != "middle")
        return fail("button must be left, right or middle");
    } else if (v == "wait") {
      if (a.size() != 1 || !ToInt(a[0], 0, MaxWait, x)) return fail("wait takes 0..100000 frames");
    } else if (v == "shot") {
      if (a.size() != 1) return fail("shot takes one file name");
    } else if (v == "command") {
      if (a.size() != 1 || !ToInt(a[0], 0, 99999, x)) return fail("command takes a code 0..99999");
    } else if (v == "goto") {
      if (a.empty()) return fail("goto takes an object name");
    } else if (v == "quit") {
      if (!a.empty()) return fail("quit takes nothing");
    } else {
      return fail("unknown step \"" + Shown(v) + "\"");
    }
    steps.push_back(std::move(step));
  }
  return true;
}

namespace {

// The script as a source of frames: Advance runs the steps up to the next
// frame and that frame. The main loop of a script run calls it, and so does
// the nested loop of a modal dialog that a step opened, so the steps after
// the one that opened the dialog drive the dialog.
class TScriptRunner {
 public:
  TScriptRunner(TFormSky& form, const std::vector<TScriptStep>& steps, const std::string& base)
      : form_(form), steps_(steps), base_(base) {}

  // False when the script has ended (or failed, or the program ends).
  bool Advance() {
    while (!form_.Terminated && !failed_) {
      if (waitLeft_ > 0) {
        --waitLeft_;
        Frame(form_);
        return true;
      }
      if (next_ >= steps_.size()) return false;
      const TScriptStep& s = steps_[next_++];
      Run(s);
    }
    return false;
  }
  bool Failed() const { return failed_; }

 private:
  void Run(const TScriptStep& s) {
    const auto& a = s.Args;
    if (s.Verb == "key") {
      FeedKey(form_, KeyCode(a[0]), true);
      FeedKey(form_, KeyCode(a[0]), false);
    } else if (s.Verb == "keydown" || s.Verb == "keyup") {
      FeedKey(form_, KeyCode(a[0]), s.Verb == "keydown");
    } else if (s.Verb == "move") {
      FeedMouse(form_, SDL_MOUSEMOTION, std::atoi(a[0].c_str()), std::atoi(a[1].c_str()), 0);
    } else if (s.Verb == "click" || s.Verb == "mousedown" || s.Verb == "mouseup") {
      const int x = std::atoi(a[0].c_str()), y = std::atoi(a[1].c_str()), b = Button(a, 2);
      FeedMouse(form_, SDL_MOUSEMOTION, x, y, 0);
      if (s.Verb != "mouseup") FeedMouse(form_, SDL_MOUSEBUTTONDOWN, x, y, b);
      if (s.Verb != "mousedown") FeedMouse(form_, SDL_MOUSEBUTTONUP, x, y, b);
    } else if (s.Verb == "wait") {
      waitLeft_ = std::atoi(a[0].c_str());
    } else if (s.Verb == "shot") {
      if (form_.DXDraw.Frames() == 0) Frame(form_);
      std::string path = a[0];
      if (!base_.empty() && !path.empty() && path[0] != '/')
        path = (std::filesystem::path(base_) / path).string();
      std::string error;
      if (!form_.DXDraw.SaveScreenshot(path, error)) {
        std::fprintf(stderr, "skyloom: script line %d: %s\n", s.Line, error.c_str());
        failed_ = true;
      }
    } else if (s.Verb == "command") {
      form_.ExecuteCommand(std::atoi(a[0].c_str()));
    } else if (s.Verb == "goto") {
      std::string name;
      for (const std::string& w : a) name += (name.empty() ? "" : " ") + w;
      const int code = FindObjectByName(*SkyModel, name);
      if (code == 0) {
        std::fprintf(stderr, "skyloom: script line %d: %s\n", s.Line,
                     UnknownObjectMessage(name).c_str());
        failed_ = true;
        return;
      }
      form_.StartGoTo(code);
    } else if (s.Verb == "quit") {
      form_.ExecuteCommand(303);
    }
  }

  TFormSky& form_;
  const std::vector<TScriptStep>& steps_;
  std::string base_;
  size_t next_ = 0;
  int waitLeft_ = 0;
  bool failed_ = false;
};

}  // namespace

bool RunScriptSteps(TFormSky& form, const std::vector<TScriptStep>& steps,
                    const std::string& baseFolder) {
  TScriptRunner runner(form, steps, baseFolder);
  auto previous = std::move(form.NextFrame);
  form.NextFrame = [&runner] { return runner.Advance(); };
  while (runner.Advance()) {
  }
  form.NextFrame = std::move(previous);
  return !runner.Failed();
}

bool RunScript(TFormSky& form, const std::string& file, const std::string& baseFolder) {
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
  return RunScriptSteps(form, steps, base);
}
