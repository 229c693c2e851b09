// musicgen NOTATION.txt OUTPUT.mid: reads a piece written in the text
// notation and writes it as a standard MIDI file (through a temporary file
// renamed into place).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FileIo.h"
#include "Notation.h"
#include "ScoreMidi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: musicgen NOTATION.txt OUTPUT.mid\n");
    return 2;
  }
  std::vector<uint8_t> source;
  std::string why;
  if (ReadWholeFile(argv[1], 1u << 20, source, &why) != TReadResult::Ok) {
    ReportFile(argv[1], "cannot be read", why, "musicgen");
    return 1;
  }
  std::stringstream text(std::string(source.begin(), source.end()));

  musicgen::Score score;
  std::string error;
  if (!musicgen::ParseNotation(text.str(), score, error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes = musicgen::ScoreToMidi(score);

  const std::string out = argv[2];
  if (!WriteFileAtomic(out, bytes, &why)) {
    ReportFile(out, "cannot be written", why, "musicgen");
    return 1;
  }
  const double seconds = score.length / double(score.division) * 60.0 / score.tempo;
  std::printf("musicgen: %s, %zu parts, %.1f s\n", out.c_str(), score.parts.size(), seconds);
  return 0;
}
