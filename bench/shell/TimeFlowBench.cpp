// One frame of time flow as the player runs it: the time step, the sky
// update of the new instant and the whole frame drawn, with every name and
// line layer on; and the same with the view tracking a planet.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "AutoCommand.h"
#include "BeijingForm.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "SkyModel.h"

namespace {

struct TimeFlowForm {
  explicit TimeFlowForm(bool tracking) {
    form = StartBeijingForm(1);
    TSkyloom& sky = form->Sky;
    sky.ViewAz = 10 * M_PI / 180;
    sky.ViewAlt = 45 * M_PI / 180;
    if (tracking) {
      sky.Tracking = 1;
      sky.TrackId = 106;  // Jupiter
    }
    form->DXDrawInitialize();
    RunFrame(*form);
    // Play with the default step: one minute forward every frame.
    form->PlayMode = 3;
    form->Player.Command = 1001;
    form->Player.LeadCommand = 0;
    form->Player.Interval = 1;
    form->ExecuteCommand(108);
  }
  ~TimeFlowForm() {
    form->ExecuteCommand(109);
    StopTestForm(form);
  }
  std::unique_ptr<TFormSky> form;
};

void BM_TimeFlowFrame(benchmark::State& state) {
  TimeFlowForm f(false);
  for (auto _ : state) RunFrame(*f.form);
  state.counters["minutes"] = f.form->Sky.Hour * 60 + f.form->Sky.Minute;
}
BENCHMARK(BM_TimeFlowFrame)->Unit(benchmark::kMillisecond);

void BM_TrackedTimeFlowFrame(benchmark::State& state) {
  TimeFlowForm f(true);
  for (auto _ : state) RunFrame(*f.form);
}
BENCHMARK(BM_TrackedTimeFlowFrame)->Unit(benchmark::kMillisecond);

void BM_StepTimeOnly(benchmark::State& state) {
  TimeFlowForm f(false);
  for (auto _ : state) f.form->StepTime();
}
BENCHMARK(BM_StepTimeOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
