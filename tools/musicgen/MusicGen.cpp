// musicgen NOTATION.txt OUTPUT.mid: reads a piece written in the text
// notation and writes it as a standard MIDI file (through a temporary file
// renamed into place).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Notation.h"
#include "ScoreMidi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: musicgen NOTATION.txt OUTPUT.mid\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "musicgen: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();

  musicgen::Score score;
  std::string error;
  if (!musicgen::ParseNotation(text.str(), score, error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes = musicgen::ScoreToMidi(score);

  const std::string out = argv[2];
  const std::string temp = out + ".tmp";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) {
      std::fprintf(stderr, "musicgen: cannot write %s\n", temp.c_str());
      return 1;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, out, ec);
  if (ec) {
    std::fprintf(stderr, "musicgen: cannot rename %s: %s\n", temp.c_str(), ec.message().c_str());
    return 1;
  }
  const double seconds = score.length / double(score.division) * 60.0 / score.tempo;
  std::printf("musicgen: %s, %zu parts, %.1f s\n", out.c_str(), score.parts.size(), seconds);
  return 0;
}
