// Reads the text notation of a piece (see data/music/README.md) into a
// Score. On a mistake, returns false with "line N: what is wrong" in `error`.
#pragma once

#include <string>

#include "Score.h"

namespace musicgen {

bool ParseNotation(const std::string& text, Score& score, std::string& error);

}  // namespace musicgen
