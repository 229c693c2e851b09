#include "FrameLoop.h"

#include <SDL.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "CommandCodes.h"
#include "ControlTips.h"
#include "FormLogo.h"
#include "FormSky.h"
#include "ShowModal.h"
#include "GlobalParams.h"

namespace {

// Start of the run: the first frame closes the splash and starts the music.
void StartOfRun(TFormSky& form) {
  if (!form.SplashPending) return;
  form.SplashPending = false;
  if (form.Logo) form.Logo->Close();
  if (!form.StartMessage.empty())
    ShowMessage(form, "提示", std::exchange(form.StartMessage, {}));
  if (form.Parameters.MusicOn) {
    form.MediaPlayer1.Notify = true;
    form.MediaPlayer1.Wait = false;
    form.ExecuteCommand(Cmd::Music);
  }
}

// Input: the direction keys held down turn the view, up, right, down, left.
void InputPhase(TFormSky& form) {
  form.DXInput1.Update();
  if (form.DXInput1.Up()) form.ExecuteCommand(Cmd::Raise);
  if (form.DXInput1.Right()) form.ExecuteCommand(Cmd::TurnRight);
  if (form.DXInput1.Down()) form.ExecuteCommand(Cmd::Lower);
  if (form.DXInput1.Left()) form.ExecuteCommand(Cmd::TurnLeft);
}

// Automatic slots: hover repeat and panel slide, the subtitle scroll, and
// the player with its lead command (a go-to step before the carry-on).
void AutomaticPhase(TFormSky& form) {
  if (form.HoverRepeat.Active && form.HoverRepeat.Tick())
    form.ExecuteCommand(form.HoverRepeat.Command);
  if (form.Parameters.SubtitlesOn && form.TextScroll.Active && form.TextScroll.Tick())
    form.ExecuteCommand(form.TextScroll.Command);
  // A show, a trip or time flow waits where it is while a dialog is open.
  TPlayerSlot& player = form.Player;
  if (player.Active && form.DialogStack.Empty() && player.Tick()) {
    if (player.LeadCommand > 1000) form.ExecuteCommand(player.LeadCommand);
    form.ExecuteCommand(player.Command);
    if (!form.Playing) player.Active = false;
  }
  form.FollowTip();
}

// Commands: dialogs that closed in the last frame leave the stack, and what
// follows from each runs now, between the frames.
void CommandsPhase(TFormSky& form) { FinishClosedDialogs(form); }

// Whether a menu or dialog shows or waits to open.
bool OverlayOpen(const TFormSky& form) {
  return form.DXDraw.OverlayShowing() || !form.DialogStack.Empty() || form.PopupPending;
}

// Whether the dialog shown changes by itself.
bool DialogBusy(const TFormSky& form) {
  const TModalForm* top = form.DialogStack.Top();
  return top && top->IsOpen() && top->Busy();
}

// Whether the overlay needs frames drawn. A menu or dialog that sits idle is
// not drawn again: the overlay draws when it opens or closes, after input or
// any change to the picture, while a menu waits to open, and while ImGui asks
// for frames (pointer events to take, input held, a caret to blink) or the
// dialog changes by itself (a recording's progress) -- each
// time for two frames, as ImGui settles which window holds the pointer one
// frame late.
bool OverlayWantsFrames(const TFormSky& form) {
  const bool open = OverlayOpen(form);
  return open != form.OverlayShown || form.PopupPending || (open && form.PictureStale) ||
         DialogBusy(form) ||
         (form.ImGuiHost.Ready() &&
          (form.ImGuiHost.PointerPending() || form.ImGuiHost.WantsFrame()));
}

// Draw, overlay and present, when the picture can have changed since the
// last present; a still picture is neither drawn nor presented again.
void DrawPhase(TFormSky& form) {
  if (OverlayWantsFrames(form)) form.OverlayFrames = 2;
  form.OverlayShown = OverlayOpen(form);
  const bool due = form.PictureStale || form.DrawEveryFrame || form.OverlayFrames > 0 ||
                   form.DXDraw.Frames() == 0;
  if (!due) return;
  form.PictureStale = false;
  if (form.OverlayFrames > 0) --form.OverlayFrames;
  form.DrawFrame();
  // ImGui (its font atlas holds every interface character: megabytes and
  // tens of milliseconds) starts with the first menu or dialog, not with
  // the first frame.
  if (form.ImGuiHost.Ready() || form.PopupPending || !form.DialogStack.Empty()) form.DrawOverlay();
  form.DXDraw.Flip();
}

bool IsClosing(const SDL_Event& e) {
  return e.type == SDL_QUIT ||
         (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE);
}

}  // namespace

void RunFrame(TFormSky& form) {
  if (!form.DXDraw.CanDraw()) return;
  ++form.FrameDepth;
  StartOfRun(form);
  InputPhase(form);
  CommandsPhase(form);
  AutomaticPhase(form);
  form.UpdateWhenStale();
  DrawPhase(form);
  --form.FrameDepth;
}

bool FrameArmed(TFormSky& form) {
  form.DXInput1.Update();
  const TDXInput& keys = form.DXInput1;
  return keys.Up() || keys.Down() || keys.Left() || keys.Right() || form.HoverRepeat.Active ||
         (form.Parameters.SubtitlesOn && form.TextScroll.Active) ||
         (form.Player.Active && form.DialogStack.Empty()) || form.DialogStack.TopClosed() ||
         form.SkyStale ||
         form.PictureStale || form.DrawEveryFrame || form.OverlayFrames > 0 ||
         form.SplashPending || form.DXDraw.Frames() == 0 || OverlayWantsFrames(form) ||
         // A pointer resting on a control counts frames until its tip shows.
         (form.TipRegion > 0 && form.TipFrames < TipDelayFrames);
}

void HandleEvent(TFormSky& form, const SDL_Event& e, bool followFocus) {
  // ImGui sees every event first; what it takes (the pointer over a menu or
  // dialog, keys typed into a field) does not reach the stage. While a modal
  // dialog is open nothing but closing the window reaches the stage.
  const bool taken = form.ImGuiHost.ProcessEvent(e);
  // Any input may change what is drawn (looks under the pointer, the
  // hovered object, a menu): the next frame draws and presents.
  switch (e.type) {
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
      form.Invalidate();
      break;
    default:
      break;
  }
  if (!form.DialogStack.Empty()) {
    if (IsClosing(e)) form.Terminated = true;
    return;
  }
  if (taken) return;
  switch (e.type) {
    case SDL_QUIT:
      form.Terminated = true;
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) form.Terminated = true;
      // Shown again, uncovered, resized or switched: the next frame presents.
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
          e.window.event == SDL_WINDOWEVENT_RESTORED ||
          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        form.Invalidate();
      if (!followFocus) break;
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) form.ApplicationDeactivate();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) form.ApplicationActivate();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      form.DXInput1.KeyEvent(e.key.keysym.scancode, e.type == SDL_KEYDOWN);
      // A held key acts once (the window system's repeats are ignored).
      if (e.type == SDL_KEYDOWN && !e.key.repeat)
        form.FormKeyDown(VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode),
                         e.key.keysym.mod);
      break;
    case SDL_MOUSEMOTION:
      form.FormMouseMove(0, e.motion.x, e.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int button = e.button.button == SDL_BUTTON_RIGHT    ? 1
                         : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                : 0;
      if (e.type == SDL_MOUSEBUTTONDOWN) {
        form.FormMouseDown(button, 0, e.button.x, e.button.y);
      } else {
        form.FormMouseUp(button, 0, e.button.x, e.button.y);
      }
      break;
    }
    case SDL_MOUSEWHEEL:
      form.FormMouseWheel(e.wheel.y);
      break;
    default:
      break;
  }
}

bool TFrameLoop::Terminated(const TFormSky& form) { return form.Terminated; }

void TFrameLoop::EndOfRun(TFormSky& form) { CloseAllDialogs(form); }

void TFrameLoop::Frame(TFormSky& form) {
  const long before = form.DXDraw.Frames();
  RunFrame(form);
  if (before != 0 || form.DXDraw.Frames() == 0) return;
  if (measure_ < 0) measure_ = std::getenv("SKYLOOM_MEASURE") ? 1 : 0;
  if (measure_ != 1) return;
  timespec t{}, cpu{};
  clock_gettime(CLOCK_REALTIME, &t);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  std::fprintf(stderr, "skyloom: first frame presented after %lld ms of CPU at %lld\n",
               static_cast<long long>(cpu.tv_sec) * 1000LL + cpu.tv_nsec / 1000000,
               static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
}

void TFrameLoop::ReportFrames(const TFormSky& form) const {
  if (std::getenv("SKYLOOM_MEASURE"))
    std::fprintf(stderr, "skyloom: %ld frames presented\n", form.DXDraw.Frames());
}

bool TFrameLoop::Step(TFormSky& form) {
  // Events. While a script runs, the window only counts for closing and
  // for having to show its picture again.
  if (source_ && !source_->BeforeFrame(form)) return false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (!source_) {
      HandleEvent(form, e, true);
    } else if (IsClosing(e)) {
      form.Terminated = true;
    } else if (e.type == SDL_WINDOWEVENT) {
      HandleEvent(form, e, false);
    }
  }
  if (form.Terminated) return false;
  // The end of the music is a window-system notice: it is served whether or
  // not the frame timer runs, so the music loops behind other windows too.
  form.MediaPlayer1.Poll();
  if (source_) {
    if (form.DXTimer1Enabled) {
      Frame(form);
      if (sink_ && !sink_->AfterFrame(form)) return false;
    }
    return !form.Terminated;
  }
  if (!form.DXTimer1Enabled || !form.ApplicationActive) {
    SDL_WaitEventTimeout(nullptr, InactivePeriod);
    return !form.Terminated;
  }
  const uint64_t now = SDL_GetTicks64();
  if (now - lastTick_ >= FramePeriod) {
    lastTick_ = now;  // several missed periods still give one frame
    Frame(form);
  } else if (FrameArmed(form)) {
    // Sleeps until the next frame is due, woken early by any event.
    SDL_WaitEventTimeout(nullptr, static_cast<int>(FramePeriod - (now - lastTick_)));
  } else {
    // Nothing changes without an event (the music's end sends one too);
    // the bound only guards against a wake-up that never comes.
    SDL_WaitEventTimeout(nullptr, IdlePeriod);
  }
  return !form.Terminated;
}
