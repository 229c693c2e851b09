// The main form of the shell benchmarks: started as the program starts it
// (the tests' StartTestForm), in the runtime folder, observing from Beijing
// at 2026-01-15 21:00 with every name and line layer and the ground on.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "TestForm.h"

inline std::unique_ptr<TFormSky> StartBeijingForm(uint32_t seed) {
  // Without the runtime folder the form runs on empty tables, and says so.
  if (chdir(SKYLOOM_RUNTIME_DIR) != 0) std::fprintf(stderr, "no runtime folder\n");
  auto form = StartTestForm(seed);
  TSkyloom& sky = form->Sky;
  sky.Latitude = 39.9 * M_PI / 180;
  sky.Longitude = 116.4 * M_PI / 180;
  sky.TimeZone = 8;
  sky.Mode1 = 0x3F;
  sky.Mode2 = 0x1F00;
  sky.NamesOn = sky.LinesOn = sky.GroundOn = 1;
  sky.DeriveShowFlags();
  return form;
}
