// One frame of the main form: the frame handler with a still sky (no sky
// update) and with a turning view (sky update every frame), the latter also
// with a story in the text panel, its still layer kept or drawn anew.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include "FormSky.h"
#include "FrameLoop.h"
#include "SkyModel.h"

namespace {

struct Form {
  Form() {
    if (chdir(SKYLOOM_RUNTIME_DIR) != 0) {
    }
    model_ = CreateSkyModel();
    form = std::make_unique<TFormSky>(*model_);
    form->FixedNow = true;
    form->Now = {2026, 1, 15, 21, 0};
    form->FormCreate();
    form->FormShow();
    form->DXDrawInitialize();
    RunFrame(*form);
  }
  ~Form() {
    form.reset();
    model_.reset();
  }
  std::unique_ptr<TSkyloom> model_;  // made before the form, freed after it
  std::unique_ptr<TFormSky> form;
};

void BM_EmptyFrame(benchmark::State& state) {
  // Nothing but the ground: the lightest frame the loop draws.
  Form f;
  f.form->DrawEveryFrame = true;
  f.form->Sky.StarCount = 0;
  f.form->SkyStale = true;
  RunFrame(*f.form);
  for (auto _ : state) RunFrame(*f.form);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);

// A tick of a still sky: nothing changed, so nothing is drawn.
void BM_StillSkyFrame(benchmark::State& state) {
  Form f;
  for (auto _ : state) RunFrame(*f.form);
}
BENCHMARK(BM_StillSkyFrame)->Unit(benchmark::kMicrosecond);

// The same sky drawn again every tick (what a pointer move costs).
void BM_StillSkyRedraw(benchmark::State& state) {
  Form f;
  f.form->DrawEveryFrame = true;
  for (auto _ : state) RunFrame(*f.form);
}
BENCHMARK(BM_StillSkyRedraw)->Unit(benchmark::kMicrosecond);

void BM_TurningSkyFrame(benchmark::State& state) {
  Form f;
  for (auto _ : state) {
    f.form->ExecuteCommand(201);
    RunFrame(*f.form);
  }
}
BENCHMARK(BM_TurningSkyFrame)->Unit(benchmark::kMicrosecond);

// Turning with Orion's story over the translucent story board; argument 1
// forgets the panel's still layer before every frame, as if nothing were
// kept (background, story board and text, buttons drawn every time).
void BM_TurningWithStory(benchmark::State& state) {
  Form f;
  f.form->FormMouseMove(0, 255, 130);
  f.form->FormMouseUp(0, 0, 255, 130);
  f.form->ExecuteCommand(9);
  RunFrame(*f.form);
  for (auto _ : state) {
    if (state.range(0) == 1) f.form->PanelLayer = TPanelLayer{};
    f.form->ExecuteCommand(201);
    RunFrame(*f.form);
  }
}
BENCHMARK(BM_TurningWithStory)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
