// A main form started as the program starts it, without a window: a fresh
// sky model with a fixed seed, a fresh view state with its automatic slots,
// and "now" fixed at 2026-01-15 21:00. Tests run in the runtime folder when
// they read its files.
#pragma once

#include <cstdint>
#include <memory>

#include "AutoCommand.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "SkyModel.h"

// A main form with the sky model it was made with: the model is built
// before the form and freed after it.
struct TTestSky {
  std::unique_ptr<TSkyloom> Model;
};
class TTestForm : private TTestSky, public TFormSky {
 public:
  explicit TTestForm(uint32_t seed) : TTestSky{CreateSkyModel(seed)}, TFormSky(*Model) {}
};

inline std::unique_ptr<TFormSky> StartTestForm(uint32_t seed) {
  std::unique_ptr<TFormSky> form = std::make_unique<TTestForm>(seed);
  form->FixedNow = true;
  form->Now = {2026, 1, 15, 21, 0};
  form->FormCreate();
  form->FormShow();
  return form;
}

inline void StopTestForm(std::unique_ptr<TFormSky>& form) { form.reset(); }
