#include "Notation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>

#include "Chord.h"

namespace musicgen {
namespace {

struct Line {
  int number = 0;
  std::vector<std::string> tokens;
};

struct Section {
  std::string name;
  std::optional<Line> chords;
  std::map<std::string, Line> parts;  // part name -> tokens after the name
};

struct ChordSpan {
  uint32_t start, end;
  Chord chord;
};

// Velocity of a line at a given time: a constant level, or a ramp from the
// point where it was written to the end of the section.
struct Dynamic {
  double from = 64, to = 64;
  uint32_t rampStart = 0;
  bool ramp = false;
  int At(uint32_t t, uint32_t sectionEnd) const {
    if (!ramp || sectionEnd <= rampStart) return static_cast<int>(std::lround(from));
    const double f = double(t - rampStart) / double(sectionEnd - rampStart);
    return static_cast<int>(std::lround(from + (to - from) * f));
  }
};

struct Failure {
  int line;
  std::string message;
};

[[noreturn]] void Fail(int line, const std::string& message) { throw Failure{line, message}; }

std::vector<std::string> Tokenize(const std::string& raw) {
  std::string text;
  for (char c : raw) {
    if (c == '|') text += " | ";
    else if (c == '\t' || c == '\r') text += ' ';
    else text += c;
  }
  std::vector<std::string> tokens;
  std::istringstream in(text);
  std::string tok;
  while (in >> tok) {
    if (tok[0] == '#') break;  // a comment: '#' starting a word (sharps follow a letter)
    tokens.push_back(tok);
  }
  return tokens;
}

int ToInt(const std::string& s, int line, int lo, int hi) {
  size_t used = 0;
  int v = 0;
  try {
    v = std::stoi(s, &used);
  } catch (...) {
    Fail(line, "'" + s + "' is not a number");
  }
  if (used != s.size()) Fail(line, "'" + s + "' is not a number");
  if (v < lo || v > hi)
    Fail(line, s + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
  return v;
}

// Note name with octave, "C4" = 60, "F#5", "Bb3".
int ParseNoteName(const std::string& s, int line) {
  static const std::map<char, int> kLetters{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                            {'G', 7}, {'A', 9}, {'B', 11}};
  const auto it = s.empty() ? kLetters.end() : kLetters.find(s[0]);
  if (it == kLetters.end()) Fail(line, "'" + s + "' is not a note name");
  size_t pos = 1;
  int semis = it->second;
  if (pos < s.size() && s[pos] == '#') semis += 1, ++pos;
  else if (pos < s.size() && s[pos] == 'b') semis -= 1, ++pos;
  if (pos == s.size()) Fail(line, "note '" + s + "' needs an octave, like C4");
  const int octave = ToInt(s.substr(pos), line, -1, 9);
  const int note = (octave + 1) * 12 + semis;
  if (note < 0 || note > 127) Fail(line, "note " + s + " is out of range");
  return note;
}

class Reader {
 public:
  explicit Reader(Score& score) : score_(score) {}

  void Read(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    Section* open = nullptr;
    std::string lastPart;  // part whose line a following "| ... |" line continues
    while (std::getline(in, raw)) {
      ++number;
      Line line{number, Tokenize(raw)};
      if (line.tokens.empty()) continue;
      const std::string head = line.tokens[0];
      if (open) {
        if (head == "|" && !lastPart.empty()) {
          // A line of bars continues the part line above it.
          auto& tokens = open->parts[lastPart].tokens;
          tokens.insert(tokens.end(), line.tokens.begin(), line.tokens.end());
          continue;
        }
        lastPart.clear();
        if (head == "end") {
          open = nullptr;
        } else if (head == "chords") {
          line.tokens.erase(line.tokens.begin());
          open->chords = line;
        } else if (head == "copy") {
          if (line.tokens.size() != 2) Fail(number, "copy needs one section name");
          const auto src = sections_.find(line.tokens[1]);
          if (src == sections_.end()) Fail(number, "no section '" + line.tokens[1] + "' yet");
          const std::string name = open->name;
          *open = src->second;
          open->name = name;
        } else if (partIndex_.count(head)) {
          line.tokens.erase(line.tokens.begin());
          open->parts[head] = line;
          lastPart = head;
        } else {
          Fail(number, "'" + head + "' is neither a part nor chords/copy/end");
        }
        continue;
      }
      if (head == "title") {
        const size_t at = raw.find("title") + 5;
        score_.title = raw.substr(raw.find_first_not_of(" \t", at));
      } else if (head == "tempo") {
        Need(line, 2);
        score_.tempo = ToInt(line.tokens[1], number, 20, 300);
      } else if (head == "meter") {
        Need(line, 2);
        const std::string& m = line.tokens[1];
        const size_t slash = m.find('/');
        if (slash == std::string::npos) Fail(number, "meter is written like 4/4");
        score_.meterNumerator = ToInt(m.substr(0, slash), number, 1, 16);
        score_.meterDenominator = ToInt(m.substr(slash + 1), number, 1, 16);
        if (score_.meterDenominator & (score_.meterDenominator - 1))
          Fail(number, "the meter's lower number must be a power of two");
      } else if (head == "division") {
        Need(line, 2);
        score_.division = ToInt(line.tokens[1], number, 24, 9600);
      } else if (head == "key") {
        Need(line, 2);
        ReadKey(line);
      } else if (head == "part") {
        ReadPart(line);
      } else if (head == "pattern") {
        if (line.tokens.size() < 4 || line.tokens[2] != "=")
          Fail(number, "pattern is written: pattern NAME = steps");
        patterns_[line.tokens[1]] = Line{number, {line.tokens.begin() + 3, line.tokens.end()}};
      } else if (head == "section") {
        Need(line, 2);
        if (sections_.count(line.tokens[1])) Fail(number, "section " + line.tokens[1] + " twice");
        open = &sections_[line.tokens[1]];
        open->name = line.tokens[1];
      } else if (head == "form") {
        for (size_t i = 1; i < line.tokens.size(); ++i)
          form_.push_back({line.tokens[i], number});
      } else {
        Fail(number, "unknown word '" + head + "'");
      }
    }
    if (open) Fail(number, "section " + open->name + " has no 'end'");
    if (form_.empty()) Fail(number, "no 'form' line: nothing to play");

    uint32_t at = 0;
    for (const auto& [name, lineNo] : form_) {
      const auto s = sections_.find(name);
      if (s == sections_.end()) Fail(lineNo, "form names unknown section '" + name + "'");
      at = Expand(s->second, at);
    }
    score_.length = at;
    for (ScorePart& p : score_.parts) Tidy(p);
  }

 private:
  void Need(const Line& line, size_t n) {
    if (line.tokens.size() != n) Fail(line.number, "'" + line.tokens[0] + "' takes " +
                                                       std::to_string(n - 1) + " value(s)");
  }

  void ReadKey(const Line& line) {
    // Number of sharps (negative: flats) of the major keys by tonic.
    static const std::map<std::string, int> kMajor{
        {"C", 0},   {"G", 1},   {"D", 2},   {"A", 3},   {"E", 4},   {"B", 5},  {"F#", 6},
        {"F", -1},  {"Bb", -2}, {"Eb", -3}, {"Ab", -4}, {"Db", -5}, {"Gb", -6}};
    static const std::map<std::string, int> kMinor{
        {"A", 0},   {"E", 1},   {"B", 2},   {"F#", 3},  {"C#", 4},  {"G#", 5},
        {"D", -1},  {"G", -2},  {"C", -3},  {"F", -4},  {"Bb", -5}, {"Eb", -6}};
    std::string k = line.tokens[1];
    const bool minor = k.size() > 1 && k.back() == 'm';
    if (minor) k.pop_back();
    const auto& table = minor ? kMinor : kMajor;
    const auto it = table.find(k);
    if (it == table.end()) Fail(line.number, "unknown key '" + line.tokens[1] + "'");
    score_.hasKey = true;
    score_.keySharps = it->second;
    score_.keyMinor = minor;
  }

  void ReadPart(const Line& line) {
    if (line.tokens.size() < 2) Fail(line.number, "part needs a name");
    ScorePart p;
    p.name = line.tokens[1];
    if (partIndex_.count(p.name)) Fail(line.number, "part " + p.name + " twice");
    bool hasChannel = false;
    for (size_t i = 2; i < line.tokens.size(); ++i) {
      const std::string& key = line.tokens[i];
      if (key == "ring") {
        p.ring = true;
        continue;
      }
      if (i + 1 >= line.tokens.size()) Fail(line.number, "'" + key + "' needs a value");
      const std::string& v = line.tokens[++i];
      if (key == "channel") p.channel = ToInt(v, line.number, 1, 16) - 1, hasChannel = true;
      else if (key == "program") p.program = ToInt(v, line.number, 0, 127);
      else if (key == "volume") p.volume = ToInt(v, line.number, 0, 127);
      else if (key == "pan") p.pan = ToInt(v, line.number, 0, 127);
      else if (key == "reverb") p.reverb = ToInt(v, line.number, 0, 127);
      else if (key == "chorus") p.chorus = ToInt(v, line.number, 0, 127);
      else if (key == "velocity") p.velocity = ToInt(v, line.number, 1, 127);
      else if (key == "window") p.window = ParseNoteName(v, line.number);
      else if (key == "bass") p.bassLow = ParseNoteName(v, line.number);
      else Fail(line.number, "unknown part setting '" + key + "'");
    }
    if (!hasChannel) Fail(line.number, "part " + p.name + " needs a channel");
    partIndex_[p.name] = score_.parts.size();
    score_.parts.push_back(p);
  }

  uint32_t BarTicks() const {
    return static_cast<uint32_t>(score_.division * 4 * score_.meterNumerator /
                                 score_.meterDenominator);
  }

  // "4" quarter, "8." dotted eighth, "2.." double-dotted half, "8t" eighth
  // triplet; '~' (a tie) is stripped by the caller.
  uint32_t Duration(std::string d, int line) {
    bool triplet = false;
    int dots = 0;
    if (!d.empty() && d.back() == 't') triplet = true, d.pop_back();
    while (!d.empty() && d.back() == '.') ++dots, d.pop_back();
    const int value = ToInt(d, line, 1, 64);
    if (value & (value - 1)) Fail(line, "note value " + d + " is not a power of two");
    const uint32_t whole = static_cast<uint32_t>(score_.division) * 4;
    if (whole % value) Fail(line, "note value 1/" + d + " is finer than the division");
    uint32_t base = whole / value, ticks = base;
    for (int i = 1; i <= dots; ++i) {
      if (base % (1u << i)) Fail(line, "dotted value too fine for the division");
      ticks += base >> i;
    }
    if (triplet) {
      if ((ticks * 2) % 3) Fail(line, "triplet too fine for the division");
      ticks = ticks * 2 / 3;
    }
    return ticks;
  }

  // A velocity word: pp p mp mf f ff, vNN, or vNN>MM (a ramp to the end
  // of the section). Returns false when `tok` is not one.
  bool ReadDynamic(const std::string& tok, uint32_t now, Dynamic& dyn, int line) {
    static const std::map<std::string, int> kWords{{"ppp", 24}, {"pp", 36}, {"p", 48},
                                                   {"mp", 60}, {"mf", 74}, {"f", 88},
                                                   {"ff", 104}};
    const auto w = kWords.find(tok);
    if (w != kWords.end()) {
      dyn = Dynamic{double(w->second), double(w->second), now, false};
      return true;
    }
    if (tok.size() < 2 || tok[0] != 'v' || !std::isdigit(static_cast<unsigned char>(tok[1])))
      return false;
    const size_t arrow = tok.find('>');
    const int from = ToInt(tok.substr(1, arrow == std::string::npos ? std::string::npos
                                                                      : arrow - 1),
                           line, 1, 127);
    const int to = arrow == std::string::npos ? from : ToInt(tok.substr(arrow + 1), line, 1, 127);
    dyn = Dynamic{double(from), double(to), now, arrow != std::string::npos};
    return true;
  }

  // Deterministic small velocity variation so repeated figures breathe.
  static int Jitter(uint32_t tick, int pitch, int channel) {
    uint32_t h = tick * 2654435761u ^ uint32_t(pitch) * 40503u ^ uint32_t(channel) * 97u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return static_cast<int>(h % 7) - 3;
  }

  void AddNote(ScorePart& p, uint32_t start, uint32_t length, int pitch, int velocity) {
    if (length == 0) return;
    const int v = std::clamp(velocity + Jitter(start, pitch, p.channel), 1, 127);
    p.notes.push_back({start, length, pitch, v});
  }

  std::vector<ChordSpan> ReadChords(const Section& s, uint32_t at, int& bars) {
    std::vector<ChordSpan> spans;
    bars = 0;
    if (!s.chords) return spans;
    const Line& line = *s.chords;
    std::vector<std::vector<std::string>> barList(1);
    for (const std::string& tok : line.tokens) {
      if (tok == "|") {
        if (!barList.back().empty()) barList.emplace_back();
      } else {
        barList.back().push_back(tok);
      }
    }
    if (barList.back().empty()) barList.pop_back();
    bars = static_cast<int>(barList.size());
    for (int b = 0; b < bars; ++b) {
      const auto& syms = barList[b];
      if (BarTicks() % syms.size())
        Fail(line.number, "bar " + std::to_string(b + 1) + " cannot be split evenly");
      const uint32_t each = BarTicks() / static_cast<uint32_t>(syms.size());
      for (size_t i = 0; i < syms.size(); ++i) {
        const uint32_t start = at + b * BarTicks() + static_cast<uint32_t>(i) * each;
        if (syms[i] == "-") {
          if (spans.empty()) Fail(line.number, "'-' continues no chord");
          spans.back().end = start + each;
          continue;
        }
        const auto chord = ParseChord(syms[i]);
        if (!chord) Fail(line.number, "unknown chord '" + syms[i] + "'");
        spans.push_back({start, start + each, *chord});
      }
    }
    return spans;
  }

  static const ChordSpan* SpanAt(const std::vector<ChordSpan>& spans, uint32_t t) {
    for (const ChordSpan& s : spans)
      if (t >= s.start && t < s.end) return &s;
    return nullptr;
  }

  uint32_t Expand(const Section& s, uint32_t at) {
    int bars = 0;
    const std::vector<ChordSpan> spans = ReadChords(s, at, bars);
    if (!s.chords) {
      for (const auto& [name, line] : s.parts) {
        if (std::find(line.tokens.begin(), line.tokens.end(), "|") != line.tokens.end())
          bars = std::max(bars, CountBars(line));
      }
    }
    if (bars == 0) Fail(s.chords ? s.chords->number : 0, "section " + s.name + " has no bars");
    const uint32_t end = at + bars * BarTicks();
    for (const auto& [name, line] : s.parts) {
      ScorePart& part = score_.parts[partIndex_.at(name)];
      if (line.tokens.empty()) Fail(line.number, "part line of " + name + " is empty");
      const std::string& kind = line.tokens[0];
      if (std::find(line.tokens.begin(), line.tokens.end(), "|") != line.tokens.end()) {
        ExpandNotes(part, line, at, end, bars);
      } else if (kind == "pattern" || kind == "hold" || kind == "bass") {
        if (spans.empty()) Fail(line.number, "section " + s.name + " has no chords for " + name);
        ExpandChordal(part, line, spans, at, end, bars);
      } else if (kind != "rest") {
        Fail(line.number, "a part line is '| notes |', pattern, hold, bass or rest");
      }
    }
    return end;
  }

  static int CountBars(const Line& line) {
    int bars = 0;
    bool content = false;
    for (const std::string& tok : line.tokens) {
      if (tok == "|") {
        if (content) ++bars;
        content = false;
      } else {
        content = true;
      }
    }
    return bars;
  }

  // Explicit notes: NOTE/DUR, NOTE+NOTE/DUR (sounding together), r/DUR,
  // with '~' after the value tying into the next note of the same pitch.
  void ExpandNotes(ScorePart& part, const Line& line, uint32_t at, uint32_t end, int bars) {
    Dynamic dyn{double(part.velocity), double(part.velocity), at, false};
    const uint32_t barTicks = BarTicks();
    int bar = 0;
    uint32_t inBar = 0;
    std::map<int, size_t> tied;  // pitch -> index of the note it continues
    for (const std::string& tok : line.tokens) {
      const uint32_t now = at + bar * barTicks + inBar;
      if (tok == "|") {
        if (inBar == 0) continue;  // opening bar line, or "| |" between two text lines
        if (inBar != barTicks)
          Fail(line.number, part.name + ": bar " + std::to_string(bar + 1) + " holds " +
                                std::to_string(inBar) + " ticks, a bar is " +
                                std::to_string(barTicks));
        ++bar;
        inBar = 0;
        continue;
      }
      if (ReadDynamic(tok, now, dyn, line.number)) continue;
      const size_t slash = tok.find('/');
      if (slash == std::string::npos) Fail(line.number, "'" + tok + "' has no /duration");
      std::string d = tok.substr(slash + 1);
      const bool tie = !d.empty() && d.back() == '~';
      if (tie) d.pop_back();
      const uint32_t len = Duration(d, line.number);
      if (bar >= bars) Fail(line.number, part.name + " has more bars than the section");
      const std::string head = tok.substr(0, slash);
      std::map<int, size_t> nextTied;
      if (head != "r") {
        std::istringstream names(head);
        std::string name;
        while (std::getline(names, name, '+')) {
          const int pitch = ParseNoteName(name, line.number);
          const auto t = tied.find(pitch);
          size_t index;
          if (t != tied.end() &&
              part.notes[t->second].start + part.notes[t->second].length == now) {
            index = t->second;
            part.notes[index].length += len;
          } else {
            index = part.notes.size();
            part.notes.push_back({now, len, pitch,
                                  std::clamp(dyn.At(now, end) + Jitter(now, pitch, part.channel),
                                             1, 127)});
          }
          if (tie) nextTied[pitch] = index;
        }
      }
      tied = nextTied;
      inBar += len;
      if (inBar > barTicks)
        Fail(line.number, part.name + ": bar " + std::to_string(bar + 1) + " overflows");
    }
    if (inBar != 0) Fail(line.number, part.name + ": the last bar is not closed with '|'");
    if (bar != bars)
      Fail(line.number, part.name + " has " + std::to_string(bar) + " bars, the section " +
                            std::to_string(bars));
  }

  struct Step {
    uint32_t length;
    std::vector<std::string> tones;  // "b", "3", "5'", "1,"; empty: a rest
  };

  std::vector<Step> ReadPattern(const std::string& name, int usedAt) {
    const auto it = patterns_.find(name);
    if (it == patterns_.end()) Fail(usedAt, "no pattern '" + name + "'");
    const Line& line = it->second;
    std::vector<Step> steps;
    uint32_t total = 0;
    for (const std::string& tok : line.tokens) {
      const size_t slash = tok.find('/');
      if (slash == std::string::npos) Fail(line.number, "step '" + tok + "' has no /duration");
      Step step{Duration(tok.substr(slash + 1), line.number), {}};
      const std::string head = tok.substr(0, slash);
      if (head != "r") {
        std::istringstream parts(head);
        std::string tone;
        while (std::getline(parts, tone, '+')) {
          const size_t core = tone.find_first_of("',");
          const std::string base = tone.substr(0, core);
          if (base != "b") ToInt(base, line.number, 1, 16);
          step.tones.push_back(tone);
        }
      }
      total += step.length;
      steps.push_back(step);
    }
    if (total != BarTicks())
      Fail(line.number, "pattern " + name + " lasts " + std::to_string(total) +
                            " ticks, a bar is " + std::to_string(BarTicks()));
    return steps;
  }

  static int TonePitch(const std::string& tone, const Chord& chord, const ScorePart& part) {
    const size_t core = tone.find_first_of("',");
    const std::string base = tone.substr(0, core);
    int pitch;
    if (base == "b") {
      pitch = BassNote(chord, part.bassLow);
    } else {
      const std::vector<int> voicing = VoiceChord(chord, part.window);
      const int idx = std::stoi(base) - 1;
      const int n = static_cast<int>(voicing.size());
      pitch = voicing[idx % n] + 12 * (idx / n);
    }
    for (size_t i = core == std::string::npos ? tone.size() : core; i < tone.size(); ++i)
      pitch += tone[i] == '\'' ? 12 : -12;
    return std::clamp(pitch, 0, 127);
  }

  // pattern P1 P2 ... [dynamic]: bar k plays pattern k mod n over the chord
  // sounding at each step; hold: the voiced chord for each chord; bass: the
  // bass note for each chord.
  void ExpandChordal(ScorePart& part, const Line& line, const std::vector<ChordSpan>& spans,
                     uint32_t at, uint32_t end, int bars) {
    Dynamic dyn{double(part.velocity), double(part.velocity), at, false};
    std::vector<std::string> names;
    for (size_t i = 1; i < line.tokens.size(); ++i) {
      if (ReadDynamic(line.tokens[i], at, dyn, line.number)) continue;
      if (line.tokens[0] != "pattern") Fail(line.number, "unexpected '" + line.tokens[i] + "'");
      names.push_back(line.tokens[i]);
    }
    const std::string& kind = line.tokens[0];
    if (kind == "hold" || kind == "bass") {
      for (const ChordSpan& s : spans) {
        const int v = dyn.At(s.start, end);
        if (kind == "bass") {
          AddNote(part, s.start, s.end - s.start, BassNote(s.chord, part.bassLow), v);
        } else {
          for (int pitch : VoiceChord(s.chord, part.window))
            AddNote(part, s.start, s.end - s.start, pitch, v);
        }
      }
      return;
    }
    if (names.empty()) Fail(line.number, "pattern needs at least one pattern name");
    for (int b = 0; b < bars; ++b) {
      const std::vector<Step> steps = ReadPattern(names[b % names.size()], line.number);
      uint32_t t = at + b * BarTicks();
      for (const Step& step : steps) {
        const ChordSpan* span = SpanAt(spans, t);
        if (span) {
          for (const std::string& tone : step.tones) {
            const uint32_t len = part.ring ? std::max(step.length, span->end - t) : step.length;
            AddNote(part, t, len, TonePitch(tone, span->chord, part), dyn.At(t, end));
          }
        }
        t += step.length;
      }
    }
  }

  // Notes sorted by time; a note that would still sound when the same pitch
  // starts again is cut there, so no note-off ever ends the wrong note.
  static void Tidy(ScorePart& p) {
    std::stable_sort(p.notes.begin(), p.notes.end(),
                     [](const ScoreNote& a, const ScoreNote& b) { return a.start < b.start; });
    for (size_t i = 0; i < p.notes.size(); ++i) {
      for (size_t j = i + 1; j < p.notes.size(); ++j) {
        if (p.notes[j].pitch != p.notes[i].pitch) continue;
        if (p.notes[j].start < p.notes[i].start + p.notes[i].length)
          p.notes[i].length = p.notes[j].start - p.notes[i].start;
        break;
      }
    }
    std::erase_if(p.notes, [](const ScoreNote& n) { return n.length == 0; });
  }

  Score& score_;
  std::map<std::string, size_t> partIndex_;
  std::map<std::string, Line> patterns_;
  std::map<std::string, Section> sections_;
  std::vector<std::pair<std::string, int>> form_;
};

}  // namespace

bool ParseNotation(const std::string& text, Score& score, std::string& error) {
  score = Score{};
  try {
    Reader(score).Read(text);
  } catch (const Failure& f) {
    error = "line " + std::to_string(f.line) + ": " + f.message;
    return false;
  }
  return true;
}

}  // namespace musicgen
