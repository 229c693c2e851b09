// A main form started as the program starts it, without a window: a fresh
// sky model with a fixed seed, the automatic slots (program globals) afresh,
// and "now" fixed at 2026-01-15 21:00. Tests run in the runtime folder when
// they read its files.
#pragma once

#include <cstdint>
#include <memory>

#include "AutoCommand.h"
#include "FormSky.h"
#include "SkyModel.h"

inline std::unique_ptr<TFormSky> StartTestForm(uint32_t seed) {
  CreateSkyModel(seed);
  static_cast<TAutoCommand&>(Player) = TAutoCommand{};
  Player.LeadCommand = Player.HistoryCount = Player.HistoryIndex = 0;
  HoverRepeat = TextScroll = TAutoCommand{};
  auto form = std::make_unique<TFormSky>();
  FormSky = form.get();
  form->FixedNow = true;
  form->Now = {2026, 1, 15, 21, 0};
  form->FormCreate();
  form->FormShow();
  return form;
}

inline void StopTestForm(std::unique_ptr<TFormSky>& form) {
  FormSky = nullptr;
  form.reset();
  FreeSkyModel();
}
