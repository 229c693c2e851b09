// The application: program entry, the message loop with its 33 ms idle
// tick, activation, and the two unattended modes (one picture, a script).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

union SDL_Event;
struct TOptions;
class TFormSky;

// Runs the planetarium; returns the process exit code.
int RunSkyloom(int argc, char** argv);

// Applies the command-line settings to the model and the form (after
// FormShow, before the first frame).
void ApplyOptions(const TOptions& options, TFormSky& form);

// One pass of the message loop: the form's frame step (FrameLoop.h), which
// keeps its own tick time; the second argument is no longer used.
void MessageLoopStep(TFormSky& form, uint64_t& lastTick);

// Routes one window-system event to the form (keys, pointer, activation,
// closing, exposure). Scripts feed their events through the same door.
void HandleEvent(TFormSky& form, const SDL_Event& event, bool followFocus);
