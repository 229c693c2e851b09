// The application: program entry, the command-line settings, and the choice
// of what drives the frames (the window, one picture, a script).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TOptions;
class TFormSky;

// Runs the planetarium; returns the process exit code.
int RunSkyloom(int argc, char** argv);

// Applies the command-line settings to the model and the form (after
// FormShow, before the first frame).
void ApplyOptions(const TOptions& options, TFormSky& form);

