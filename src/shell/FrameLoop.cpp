#include "FrameLoop.h"

#include <SDL.h>

#include <algorithm>

#include "Application.h"
#include "FormSky.h"

bool TFrameLoop::Terminated(const TFormSky& form) { return form.Terminated; }

void TFrameLoop::Step(TFormSky& form) {
  SDL_Event e;
  if (source_) {
    if (!source_->BeforeFrame(form)) {
      form.Terminated = true;  // the script has ended: so has the run
      return;
    }
    // While a script runs, the window only counts for closing and for
    // having to show its picture again.
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT ||
          (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
        form.Terminated = true;
      else if (e.type == SDL_WINDOWEVENT)
        HandleEvent(form, e, false);
    }
    if (form.Terminated) return;
    form.MediaPlayer1.Poll();
    if (form.DXTimer1Enabled) form.DXTimer1Timer();
    return;
  }

  while (SDL_PollEvent(&e)) HandleEvent(form, e, true);
  if (form.Terminated) return;
  // The end of the music is a window-system notice: it is served whether or
  // not the frame timer runs, so the music loops behind other windows too.
  form.MediaPlayer1.Poll();
  if (form.DXTimer1Enabled && form.ApplicationActive) {
    const uint64_t now = SDL_GetTicks64();
    if (now - lastTick_ >= FramePeriod) {
      lastTick_ = now;  // several missed periods still give one call
      form.DXTimer1Timer();
    } else {
      // Sleeps until the next tick is due, woken early by any event.
      const uint64_t left = FramePeriod - (now - lastTick_);
      SDL_WaitEventTimeout(nullptr, static_cast<int>(left));
    }
  } else {
    SDL_WaitEventTimeout(nullptr, 100);
  }
}
