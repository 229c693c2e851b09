// The two interface sounds, synthesised sample by sample at 44.1 kHz.
// Both are short (well under 150 ms), start with a tiny ramp and end with a
// raised-cosine fade so they never pop, and are scaled to a fixed peak well
// below full scale.
#pragma once

#include <vector>

namespace soundgen {

// A soft, rounded tick for the pointer entering a button: a short sine blip
// with a quiet octave partial and a breath of filtered noise; peak -14 dBFS.
std::vector<double> MakeChooseSound();

// A crisp click for pressing a button: a band-passed noise snap over a
// damped mid-range body; peak -6 dBFS.
std::vector<double> MakeClickSound();

}  // namespace soundgen
