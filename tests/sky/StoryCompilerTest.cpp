// The story compiler (tools/stories) run on small source fixtures: the pairs
// come out in constellation order as GBK with CR LF, and every fault in the
// sources stops it with a message that names the fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Gbk.h"
#include "SkyTestFiles.h"

namespace {

const std::string Compiler = std::string(SKYLOOM_BINARY_DIR) + "/tools/skyloom-stories";
const std::string Constellations = std::string(SKYLOOM_SOURCE_DIR) + "/data/catalog/constellations.tsv";

std::map<int, std::string> Abbreviations() {
  std::map<int, std::string> abbr;
  std::ifstream in(Constellations);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string num, a;
    std::getline(ss, num, '\t');
    std::getline(ss, a, '\t');
    abbr[std::stoi(num)] = a;
  }
  return abbr;
}

std::string StoryLine(int n, const std::string& abbr) {
  return std::to_string(n) + "\t" + abbr + "\t第" + std::to_string(n) + "个星座的故事。\tStory number " +
         std::to_string(n) + ".\n";
}

struct TRun {
  int Status;
  std::string Errors;
};

// Runs the compiler on the given source files (in a temporary folder).
TRun Compile(const TTempFolder& tmp, const std::vector<std::string>& sources) {
  std::string cmd = "'" + Compiler + "' '" + (tmp / "StoryAll.dat") + "' '" + Constellations + "'";
  for (const std::string& s : sources) cmd += " '" + s + "'";
  cmd += " 2>'" + (tmp / "errors.txt") + "' >/dev/null";
  const int status = std::system(cmd.c_str());
  return {status, ReadText(tmp / "errors.txt")};
}

class StoryCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(Compiler)) << Compiler;
    abbr = Abbreviations();
    ASSERT_EQ(abbr.size(), 88u);
  }
  // Two source files, the higher numbers first, each listed backwards.
  void WriteSources(const std::string& extraFirst = "", const std::string& extraSecond = "") {
    std::string a, b;
    for (int n = 88; n >= 45; --n) a += StoryLine(n, abbr[n]);
    for (int n = 44; n >= 1; --n) b += StoryLine(n, abbr[n]);
    WriteText(tmp / "b.tsv", a + extraFirst);
    WriteText(tmp / "a.tsv", b + extraSecond);
  }
  std::map<int, std::string> abbr;
  TTempFolder tmp;
};

TEST_F(StoryCompiler, WritesPairsInConstellationOrder) {
  WriteSources("\n");  // a blank line is allowed
  const TRun run = Compile(tmp, {tmp / "b.tsv", tmp / "a.tsv"});
  ASSERT_EQ(run.Status, 0) << run.Errors;
  const std::string out = ReadText(tmp / "StoryAll.dat");
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < out.size()) {
    const size_t end = out.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    lines.push_back(out.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 176u);
  EXPECT_EQ(GbkToUtf8(lines[0]), "第1个星座的故事。");
  EXPECT_EQ(lines[0], Utf8ToGbk("第1个星座的故事。"));  // stored as GBK
  EXPECT_EQ(lines[1], "Story number 1.");
  EXPECT_EQ(GbkToUtf8(lines[174]), "第88个星座的故事。");
  EXPECT_EQ(lines[175], "Story number 88.");
}

TEST_F(StoryCompiler, FaultsStopTheBuild) {
  struct Case {
    const char* What;
    std::string Extra;     // appended to the second source
    int Drop;              // constellation left out (0 = none)
    const char* Message;   // part of the error text
  } cases[] = {
      {"missing number", "", 17, "constellation 17 (Car) has no story"},
      {"duplicate number", StoryLine(5, "Aql"), 0, "already told"},
      {"number out of range", StoryLine(89, "Xyz"), 0, "not a constellation number"},
      {"wrong abbreviation", "", -1, "is And, not Ant"},
      {"not GBK", "3\tAps\t天堂鸟😀\tBird.\n", 3, "GBK"},
      {"empty English", "3\tAps\t天燕座\t\n", 3, "English story is empty"},
      {"missing column", "3\tAps\t天燕座\n", 3, "separated by tabs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::string a, b;
    for (int n = 1; n <= 88; ++n) {
      if (n == c.Drop) continue;
      std::string ab = abbr[n];
      if (c.Drop == -1 && n == 1) ab = "Ant";
      (n <= 44 ? a : b) += StoryLine(n, ab);
    }
    WriteText(tmp / "a.tsv", a + c.Extra);
    WriteText(tmp / "b.tsv", b);
    std::filesystem::remove(tmp / "StoryAll.dat");
    const TRun run = Compile(tmp, {tmp / "a.tsv", tmp / "b.tsv"});
    EXPECT_NE(run.Status, 0);
    EXPECT_NE(run.Errors.find(c.Message), std::string::npos) << run.Errors;
    EXPECT_FALSE(std::filesystem::exists(tmp / "StoryAll.dat")) << "no output on failure";
  }
}

}  // namespace
