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

// One pass of the message loop: the pending window-system events, the music
// player's completion notice, then the frame handler once at least 33 ms
// have passed since `lastTick` (milliseconds) while the timer runs and the
// application is active; otherwise a short wait.
void MessageLoopStep(TFormSky& form, uint64_t& lastTick);

// Routes one window-system event to the form (keys, pointer, activation,
// closing). Scripts feed their events through the same door.
void HandleEvent(TFormSky& form, const SDL_Event& event, bool followFocus);
