// Turns a Score into the bytes of a standard MIDI file (format 1).
#pragma once

#include <cstdint>
#include <vector>

#include "Score.h"

namespace musicgen {

// Track 1 carries the title, tempo, metre and key; each part follows as its
// own track with its instrument and mixer settings at tick 0. Every track
// ends exactly at the end of the piece, with all notes released there, so a
// player that starts again from the top loops without a gap.
std::vector<uint8_t> ScoreToMidi(const Score& score);

}  // namespace musicgen
