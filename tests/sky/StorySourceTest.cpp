// The story sources in data/stories/*.tsv: one story per constellation in
// both languages, numbered and abbreviated as in the constellation table,
// writable in GBK, 80-200 Chinese characters and 60-150 English words.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../../tools/common/Fields.h"
#include "Gbk.h"

namespace {

const std::string Source = SKYLOOM_SOURCE_DIR;

// Code points of a UTF-8 text (invalid bytes count as one each).
std::vector<char32_t> CodePoints(const std::string& s) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    char32_t cp = len == 1 ? c : c & (0x3F >> (len - 1));
    for (size_t k = 1; k < len && i + k < s.size(); ++k)
      cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += len;
  }
  return out;
}

// Chinese characters: the CJK ideographs (punctuation, digits and Latin
// letters are not counted).
int ChineseCharacters(const std::string& s) {
  int n = 0;
  for (char32_t cp : CodePoints(s))
    if ((cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
        (cp >= 0xF900 && cp <= 0xFAFF) || cp >= 0x20000)
      ++n;
  return n;
}

// Words: blank-separated tokens holding at least one letter or digit.
int EnglishWords(const std::string& s) {
  std::istringstream in(s);
  std::string w;
  int n = 0;
  while (in >> w) {
    for (char c : w)
      if (std::isalnum(static_cast<unsigned char>(c))) {
        ++n;
        break;
      }
  }
  return n;
}

std::map<int, std::string> Abbreviations() {
  std::map<int, std::string> abbr;
  std::ifstream in(Source + "/data/catalog/constellations.tsv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    auto f = SplitTabs(line);
    if (f.size() >= 2) abbr[std::stoi(f[0])] = f[1];
  }
  return abbr;
}

TEST(StorySource, EveryConstellationHasTwoSoundStories) {
  const std::string folder = Source + "/data/stories";
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(folder))
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.path().extension() == ".tsv") files.push_back(e.path());
  ASSERT_FALSE(files.empty()) << "no story sources in data/stories";

  const std::map<int, std::string> abbr = Abbreviations();
  ASSERT_EQ(abbr.size(), 88u);
  std::map<int, std::string> seen;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
      ++lineNo;
      const std::string where = file.filename().string() + ":" + std::to_string(lineNo);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      const auto f = SplitTabs(line);
      ASSERT_EQ(f.size(), 4u) << where;
      const int n = std::atoi(f[0].c_str());
      ASSERT_TRUE(abbr.count(n)) << where << ": number " << f[0];
      EXPECT_TRUE(seen.emplace(n, where).second) << where << ": " << n << " also at " << seen[n];
      EXPECT_EQ(f[1], abbr.at(n)) << where;

      const std::string& zh = f[2];
      const std::string& en = f[3];
      bool zhOk = false, enOk = false;
      Utf8ToGbk(zh, &zhOk);
      Utf8ToGbk(en, &enOk);
      EXPECT_TRUE(zhOk) << where << ": Chinese story not writable in GBK";
      EXPECT_TRUE(enOk) << where << ": English story not writable in GBK";
      const int chars = ChineseCharacters(zh), words = EnglishWords(en);
      EXPECT_TRUE(chars >= 80 && chars <= 200) << where << " (" << f[1] << "): " << chars
                                               << " Chinese characters";
      EXPECT_TRUE(words >= 60 && words <= 150) << where << " (" << f[1] << "): " << words
                                               << " English words";
      // The Chinese line is Chinese and the English line is not.
      EXPECT_EQ(ChineseCharacters(en), 0) << where << ": Chinese in the English story";
    }
  }
  for (int n = 1; n <= 88; ++n) EXPECT_TRUE(seen.count(n)) << "no story for " << abbr.at(n);
}

}  // namespace
