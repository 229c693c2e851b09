// Chord symbols ("Dmaj7", "Bm7", "Asus4", "D/F#", "Em9") and their voicing:
// the chord's pitch classes laid out once each, in close position, inside
// one octave starting at a part's window note, plus a bass note.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace musicgen {

struct Chord {
  int root = 0;                 // pitch class, C = 0
  int bass = 0;                 // pitch class of the bass (root unless "/X")
  std::vector<int> intervals;   // semitones above the root, root included
};

// Pitch class of a note letter with optional '#' or 'b' at text[pos];
// advances pos. Empty when there is no note letter.
std::optional<int> ParsePitchClass(const std::string& text, size_t& pos);

// Qualities: "" m 7 maj7 m7 6 m6 9 maj9 m9 add9 sus2 sus4 7sus4 dim m7b5 aug.
std::optional<Chord> ParseChord(const std::string& symbol);

// Chord tones in close position within [windowLow, windowLow + 12), lowest
// first (MIDI note numbers).
std::vector<int> VoiceChord(const Chord& chord, int windowLow);

// The bass pitch class placed within [bassLow, bassLow + 12).
int BassNote(const Chord& chord, int bassLow);

}  // namespace musicgen
