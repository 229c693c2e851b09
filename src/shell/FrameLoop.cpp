#include "FrameLoop.h"

#include <SDL.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "FormSky.h"

bool TFrameLoop::Terminated(const TFormSky& form) { return form.Terminated; }

std::function<bool()> TFrameLoop::Hook(TFormSky& form) {
  std::function<bool()> outer = std::move(form.NextFrame);
  form.NextFrame = [this, &form] { return Step(form); };
  return outer;
}

void TFrameLoop::Unhook(TFormSky& form, std::function<bool()> outer) {
  form.NextFrame = std::move(outer);
}

void TFrameLoop::Tick(TFormSky& form) {
  const long before = form.DXDraw.Frames();
  form.DXTimer1Timer();
  if (before == 0 && form.DXDraw.Frames() > 0) {
    if (measure_ < 0) measure_ = std::getenv("SKYLOOM_MEASURE") ? 1 : 0;
    if (measure_ == 1) {
      timespec t{}, cpu{};
      clock_gettime(CLOCK_REALTIME, &t);
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
      std::fprintf(stderr, "skyloom: first frame presented after %lld ms of CPU at %lld\n",
                   static_cast<long long>(cpu.tv_sec) * 1000LL + cpu.tv_nsec / 1000000,
                   static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
    }
  }
}

void TFrameLoop::ReportFrames(const TFormSky& form) const {
  if (std::getenv("SKYLOOM_MEASURE"))
    std::fprintf(stderr, "skyloom: %ld frames presented\n", form.DXDraw.Frames());
}

bool TFrameLoop::Step(TFormSky& form) {
  SDL_Event e;
  if (source_) {
    if (!source_->BeforeFrame(form)) return false;
    // While a script runs, the window only counts for closing and for
    // having to show its picture again.
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT ||
          (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
        form.Terminated = true;
      else if (e.type == SDL_WINDOWEVENT)
        HandleEvent(form, e, false);
    }
    if (form.Terminated) return false;
    form.MediaPlayer1.Poll();
    if (form.DXTimer1Enabled) {
      Tick(form);
      if (sink_ && !sink_->AfterFrame(form)) return false;
    }
    return !form.Terminated;
  }

  while (SDL_PollEvent(&e)) HandleEvent(form, e, true);
  if (form.Terminated) return false;
  // The end of the music is a window-system notice: it is served whether or
  // not the frame timer runs, so the music loops behind other windows too.
  form.MediaPlayer1.Poll();
  if (form.DXTimer1Enabled && form.ApplicationActive) {
    const uint64_t now = SDL_GetTicks64();
    if (now - lastTick_ >= FramePeriod) {
      lastTick_ = now;  // several missed periods still give one call
      Tick(form);
    } else {
      // Sleeps until the next tick is due, woken early by any event.
      const uint64_t left = FramePeriod - (now - lastTick_);
      SDL_WaitEventTimeout(nullptr, static_cast<int>(left));
    }
  } else {
    SDL_WaitEventTimeout(nullptr, 100);
  }
  return !form.Terminated;
}
