// A piece of music as timed notes per instrument part, ready to be written
// as MIDI. Times are in ticks (`division` ticks per quarter note).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

struct ScoreNote {
  uint32_t start = 0;
  uint32_t length = 0;
  int pitch = 60;      // MIDI note number, C4 = 60
  int velocity = 64;   // 1..127
};

struct ScorePart {
  std::string name;
  int channel = 0;     // 0..15
  int program = 0;     // General MIDI program, 0-based
  int volume = 100;    // controller 7
  int pan = 64;        // controller 10, 0 left .. 127 right
  int reverb = 40;     // controller 91
  int chorus = 0;      // controller 93
  int velocity = 64;   // velocity when a line names no dynamic
  int window = 60;     // lowest note of the chord-voicing octave
  int bassLow = 36;    // lowest note of the bass octave
  bool ring = false;   // pattern notes sound on until the chord changes
  std::vector<ScoreNote> notes;
};

struct Score {
  std::string title;
  double tempo = 72;   // quarter notes per minute
  int meterNumerator = 4;
  int meterDenominator = 4;
  int division = 480;  // ticks per quarter note
  bool hasKey = false;
  int keySharps = 0;   // negative for flats
  bool keyMinor = false;
  uint32_t length = 0; // end of the piece in ticks: the loop point
  std::vector<ScorePart> parts;
};

}  // namespace musicgen
