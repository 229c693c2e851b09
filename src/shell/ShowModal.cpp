#include "ShowModal.h"

#include <SDL.h>

#include <cstdio>

#include "DialogViews.h"
#include "FormSky.h"
#include "ModalForm.h"

void ShowModal(TFormSky& form, TModalForm& dialog) {
  // Keys held when the dialog opened must not keep turning the view, and the
  // stage gets no input until the dialog closes.
  form.DXInput1.ReleaseAll();
  // The text of the key that opened the dialog (C, B ...) is already queued
  // behind its key event; it belongs to the stage, not to the dialog's fields.
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_FlushEvent(SDL_TEXTINPUT);
  std::function<void()> below = std::move(form.DialogView);
  std::function<bool()> belowBusy = std::move(form.DialogBusy);
  form.DialogView = [&dialog] { dialog.DrawView(); };
  form.DialogBusy = [&dialog] { return dialog.Busy(); };
  ++form.ModalDepth;
  while (dialog.IsOpen()) {
    if (form.Terminated || !form.NextFrame || !form.NextFrame()) {
      dialog.CloseByHost();
      break;
    }
  }
  --form.ModalDepth;
  form.DialogView = std::move(below);
  form.DialogBusy = std::move(belowBusy);
  form.DXInput1.ReleaseAll();
}

void ShowMessage(TFormSky& form, const std::string& title, const std::vector<std::string>& lines) {
  for (const std::string& l : lines)
    if (l.rfind("skyloom:", 0) == 0) std::fprintf(stderr, "%s\n", l.c_str());
  TMessageView view(title, lines);
  ShowModal(form, view);
}
