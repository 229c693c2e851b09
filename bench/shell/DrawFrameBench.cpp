// The whole picture of one frame: background, the sky with every layer and
// label group, the lower panel with a story in its text panel, every button,
// both dials and the status line.
#include <benchmark/benchmark.h>

#include <cmath>

#include "BeijingForm.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GlobalParams.h"
#include "SkyModel.h"

namespace {

void BM_DrawFrameEveryLayer(benchmark::State& state) {
  auto form = StartBeijingForm(20260115);
  form->Sky.ViewAlt = 40 * M_PI / 180;
  form->DXDrawInitialize();
  form->SkyStale = true;
  RunFrame(*form);
  form->ExecuteCommand(105);  // ground off: everything above and below is drawn
  form->FormMouseMove(0, 255, 130);
  form->FormMouseUp(0, 0, 255, 130);
  form->ExecuteCommand(9);    // Orion selected: its story in the panel
  RunFrame(*form);
  for (auto _ : state) form->DrawFrame();
  StopTestForm(form);
}
BENCHMARK(BM_DrawFrameEveryLayer)->Unit(benchmark::kMillisecond);

}  // namespace
