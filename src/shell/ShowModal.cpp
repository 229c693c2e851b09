#include "ShowModal.h"

#include <SDL.h>

#include <cstdio>
#include <utility>

#include "DialogViews.h"
#include "FormSky.h"

namespace {

// Completions that open dialogs which close at once could go on for ever;
// no real chain is more than a few long.
constexpr int MaxClosingRounds = 64;

}  // namespace

void OpenDialog(TFormSky& form, std::unique_ptr<TModalForm> dialog, std::function<void()> closed) {
  // Keys held when the dialog opened must not keep turning the view, and the
  // stage gets no input until the dialog closes.
  form.DXInput1.ReleaseAll();
  // The text of the key that opened the dialog (C, B ...) is already queued
  // behind its key event; it belongs to the stage, not to the dialog's fields.
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_FlushEvent(SDL_TEXTINPUT);
  form.DialogStack.Push(std::move(dialog), std::move(closed));
  form.Invalidate();
}

void FinishClosedDialogs(TFormSky& form) {
  for (int round = 0; round < MaxClosingRounds && form.DialogStack.TopClosed(); ++round) {
    const std::function<void()> closed = form.DialogStack.PopClosed();
    // Keys pressed while the dialog was open belong to it, not to the stage.
    form.DXInput1.ReleaseAll();
    form.Invalidate();
    closed();
  }
}

void CloseAllDialogs(TFormSky& form) {
  for (int round = 0; round < MaxClosingRounds && !form.DialogStack.Empty(); ++round) {
    TModalForm* top = form.DialogStack.Top();
    if (top->IsOpen()) top->CloseByHost();
    if (top->IsOpen()) break;  // cannot be: every cancel button closes its dialog
    FinishClosedDialogs(form);
  }
}

void ShowMessage(TFormSky& form, const std::string& title, const std::vector<std::string>& lines) {
  for (const std::string& l : lines)
    if (l.rfind("skyloom:", 0) == 0) std::fprintf(stderr, "%s\n", l.c_str());
  OpenDialog(form, std::make_unique<TMessageView>(title, lines));
}
