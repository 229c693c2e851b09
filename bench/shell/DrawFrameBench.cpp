// The whole picture of one frame: background, the sky with every layer and
// label group, the lower panel with a story in its text panel, every button,
// both dials and the status line.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>

#include "FormSky.h"
#include "GlobalParams.h"
#include "SkyModel.h"

namespace {

void BM_DrawFrameEveryLayer(benchmark::State& state) {
  if (chdir(SKYLOOM_RUNTIME_DIR) != 0) state.SkipWithError("no runtime folder");
  CreateSkyModel(20260115);
  SetKeyTableDefaults();
  SetMenuTableDefaults();
  auto form = std::make_unique<TFormSky>();
  FormSky = form.get();
  form->FixedNow = true;
  form->Now = {2026, 1, 15, 21, 0};
  form->FormCreate();
  form->FormShow();
  TSkyloom& sky = *SkyModel;
  sky.Latitude = 39.9 * M_PI / 180;
  sky.Longitude = 116.4 * M_PI / 180;
  sky.TimeZone = 8;
  sky.ViewAlt = 40 * M_PI / 180;
  sky.Mode1 = 0x3F;
  sky.Mode2 = 0x1F00;
  sky.NamesOn = sky.LinesOn = 1;
  sky.DeriveShowFlags();
  form->DXDrawInitialize();
  form->SkyStale = true;
  form->DXTimer1Timer();
  form->ExecuteCommand(105);  // ground off: everything above and below is drawn
  form->FormMouseMove(0, 255, 130);
  form->FormMouseUp(0, 0, 255, 130);
  form->ExecuteCommand(9);    // Orion selected: its story in the panel
  form->DXTimer1Timer();
  for (auto _ : state) form->DrawFrame();
  FormSky = nullptr;
  form.reset();
  FreeSkyModel();
}
BENCHMARK(BM_DrawFrameEveryLayer)->Unit(benchmark::kMillisecond);

}  // namespace
