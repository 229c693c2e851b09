// skyloom-stories: compiles the constellation stories, kept as readable
// UTF-8 in data/stories/*.tsv, into the program's "StoryAll.dat".
//
//   skyloom-stories <StoryAll.dat> <constellations.tsv> <story.tsv>...
//
// Stories may be spread over any number of files, in any order.
//
// A story line is "number<TAB>IAU abbreviation<TAB>Chinese<TAB>English"
// (no header). The output holds, for constellation n = 1 .. 88, line 2n-1
// the Chinese and line 2n the English story, GBK, CR LF line ends. The build
// stops with a message naming file and line when a number is missing,
// repeated or out of range, an abbreviation does not match the constellation
// table, a story is empty, or a text cannot be written in GBK.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FileIo.h"
#include "Gbk.h"
#include "../common/Fields.h"

namespace {

constexpr int ConstellationCount = 88;
int Errors = 0;

void Error(const std::string& where, const std::string& message) {
  std::fprintf(stderr, "skyloom-stories: %s: %s\n", where.c_str(), message.c_str());
  ++Errors;
}

// Lines of a UTF-8 text file without their line ends; false if unreadable.
bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  std::string text;
  if (!ReadTextFile(path, 64u << 20, text)) return false;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

// Constellation number -> IAU abbreviation, from the catalogue source table.
std::map<int, std::string> ReadAbbreviations(const std::string& path) {
  std::map<int, std::string> abbr;
  std::vector<std::string> lines;
  if (!ReadLines(path, lines)) {
    Error(path, "cannot be read");
    return abbr;
  }
  for (size_t i = 1; i < lines.size(); ++i) {  // line 0 is the header
    const auto f = SplitTabs(lines[i]);
    if (f.size() >= 2) abbr[std::atoi(f[0].c_str())] = f[1];
  }
  return abbr;
}

struct TStory {
  std::string Where;
  std::string Chinese, English;  // GBK
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: skyloom-stories <StoryAll.dat> <constellations.tsv> <story.tsv>...\n");
    return 2;
  }
  const std::map<int, std::string> abbr = ReadAbbreviations(argv[2]);
  std::map<int, TStory> stories;
  for (int a = 3; a < argc; ++a) {
    const std::string path = argv[a];
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) {
      Error(path, "cannot be read");
      continue;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string where = path + ":" + std::to_string(i + 1);
      if (lines[i].empty()) continue;
      const auto f = SplitTabs(lines[i]);
      if (f.size() != 4) {
        Error(where, "expected number, abbreviation, Chinese and English story separated by tabs");
        continue;
      }
      char* end = nullptr;
      const long n = std::strtol(f[0].c_str(), &end, 10);
      if (f[0].empty() || *end != '\0' || n < 1 || n > ConstellationCount) {
        Error(where, "\"" + f[0] + "\" is not a constellation number 1.." +
                         std::to_string(ConstellationCount));
        continue;
      }
      const int num = static_cast<int>(n);
      if (auto it = stories.find(num); it != stories.end()) {
        Error(where, "constellation " + std::to_string(num) + " is already told at " +
                         it->second.Where);
        continue;
      }
      if (auto it = abbr.find(num); it != abbr.end() && it->second != f[1])
        Error(where, "constellation " + std::to_string(num) + " is " + it->second + ", not " + f[1]);
      TStory story{where, {}, {}};
      const char* language[2] = {"Chinese", "English"};
      std::string* target[2] = {&story.Chinese, &story.English};
      for (int k = 0; k < 2; ++k) {
        const std::string& text = f[2 + static_cast<size_t>(k)];
        if (text.find_first_not_of(" ") == std::string::npos) {
          Error(where, std::string("the ") + language[k] + " story is empty");
          continue;
        }
        bool ok = true;
        *target[k] = Utf8ToGbk(text, &ok);
        if (!ok) Error(where, std::string("the ") + language[k] +
                                  " story holds characters GBK cannot write");
      }
      stories[num] = story;
    }
  }
  if (argc == 3) Error("stories", "no story files given (data/stories/*.tsv)");
  for (int n = 1; n <= ConstellationCount && argc > 3; ++n)
    if (!stories.count(n))
      Error("stories", "constellation " + std::to_string(n) +
                           (abbr.count(n) ? " (" + abbr.at(n) + ")" : std::string()) +
                           " has no story");
  if (Errors) {
    std::fprintf(stderr, "skyloom-stories: %d error(s); %s not written\n", Errors, argv[1]);
    return 1;
  }
  std::string out;
  for (const auto& [n, story] : stories) out += story.Chinese + "\r\n" + story.English + "\r\n";
  std::string error;
  if (!WriteFileAtomic(argv[1], out, &error)) {
    std::fprintf(stderr, "skyloom-stories: cannot write %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::printf("skyloom-stories: %s: %zu stories\n", argv[1], stories.size());
  return 0;
}
