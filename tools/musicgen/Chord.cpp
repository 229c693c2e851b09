#include "Chord.h"

#include <algorithm>
#include <map>

namespace musicgen {

std::optional<int> ParsePitchClass(const std::string& text, size_t& pos) {
  static const std::map<char, int> kLetters{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                            {'G', 7}, {'A', 9}, {'B', 11}};
  if (pos >= text.size()) return std::nullopt;
  const auto it = kLetters.find(text[pos]);
  if (it == kLetters.end()) return std::nullopt;
  int pc = it->second;
  ++pos;
  if (pos < text.size() && text[pos] == '#') {
    ++pc;
    ++pos;
  } else if (pos < text.size() && text[pos] == 'b') {
    --pc;
    ++pos;
  }
  return (pc + 12) % 12;
}

std::optional<Chord> ParseChord(const std::string& symbol) {
  static const std::map<std::string, std::vector<int>> kQualities{
      {"", {0, 4, 7}},           {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},
      {"maj7", {0, 4, 7, 11}},   {"m7", {0, 3, 7, 10}},     {"6", {0, 4, 7, 9}},
      {"m6", {0, 3, 7, 9}},      {"9", {0, 4, 7, 10, 14}},  {"maj9", {0, 4, 7, 11, 14}},
      {"m9", {0, 3, 7, 10, 14}}, {"add9", {0, 4, 7, 14}},   {"sus2", {0, 2, 7}},
      {"sus4", {0, 5, 7}},       {"7sus4", {0, 5, 7, 10}},  {"dim", {0, 3, 6}},
      {"m7b5", {0, 3, 6, 10}},   {"aug", {0, 4, 8}}};
  size_t pos = 0;
  const auto root = ParsePitchClass(symbol, pos);
  if (!root) return std::nullopt;
  const size_t slash = symbol.find('/', pos);
  const std::string quality = symbol.substr(pos, slash == std::string::npos ? std::string::npos
                                                                             : slash - pos);
  const auto q = kQualities.find(quality);
  if (q == kQualities.end()) return std::nullopt;
  Chord chord;
  chord.root = *root;
  chord.bass = *root;
  chord.intervals = q->second;
  if (slash != std::string::npos) {
    size_t bpos = slash + 1;
    const auto bass = ParsePitchClass(symbol, bpos);
    if (!bass || bpos != symbol.size()) return std::nullopt;
    chord.bass = *bass;
  }
  return chord;
}

std::vector<int> VoiceChord(const Chord& chord, int windowLow) {
  std::vector<int> notes;
  for (int interval : chord.intervals) {
    const int pc = (chord.root + interval) % 12;
    const int note = windowLow + ((pc - windowLow) % 12 + 12) % 12;
    if (std::find(notes.begin(), notes.end(), note) == notes.end()) notes.push_back(note);
  }
  std::sort(notes.begin(), notes.end());
  return notes;
}

int BassNote(const Chord& chord, int bassLow) {
  return bassLow + ((chord.bass - bassLow) % 12 + 12) % 12;
}

}  // namespace musicgen
