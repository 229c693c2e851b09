// Reading a constellation's pair of story lines, and the compiled story file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Gbk.h"
#include "SkyModel.h"
#include "SkyTestFiles.h"
#include "StarData.h"
#include "Story.h"

namespace {

TEST(StoryPair, PairsAreCountedByLines) {
  TTempFolder tmp;
  const std::string file = tmp / "StoryAll.dat";
  WriteText(file, "zh1\r\nen1\r\n\r\nen2\r\nzh3\r\nen3\r\n");
  struct Case {
    long long N;
    const char* First;
    const char* Second;
  } cases[] = {
      {1, "zh1", "en1"},
      {2, "", "en2"},    // an empty line is kept as empty
      {3, "zh3", "en3"},
      {4, "en3", ""},    // beyond the last pair: the last line, nothing after it
      {0, "en3", ""},    // no line 2n-1 at all
      {-5, "en3", ""},
      {2000000000, "en3", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.N);
    const TStoryPair p = ReadStoryPair(file, c.N);
    EXPECT_EQ(p.First, c.First);
    EXPECT_EQ(p.Second, c.Second);
  }
}

TEST(StoryPair, FileEnds) {
  TTempFolder tmp;
  struct Case {
    const char* Text;
    long long N;
    const char* First;
    const char* Second;
  } cases[] = {
      {"", 1, "", ""},                      // empty file
      {"zh1\r\nen1\r\nzh2", 2, "zh2", ""},  // ends right after line 2n-1, no line end
      {"zh1\r\nen1\r\nzh2\r\n", 2, "zh2", ""},
      {"zh1\nen1\n", 1, "zh1", "en1"},      // LF alone also ends a line
      {"zh1\r\nen1", 1, "zh1", "en1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    WriteText(tmp / "s.dat", c.Text);
    const TStoryPair p = ReadStoryPair(tmp / "s.dat", c.N);
    EXPECT_EQ(p.First, c.First);
    EXPECT_EQ(p.Second, c.Second);
  }
}

TEST(StoryPair, MissingOrUnreadableFileGivesAnEmptyStory) {
  TTempFolder tmp;
  std::filesystem::create_directory(tmp / "folder");
  // A pipe nobody writes to must not hang the reader.
  ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);
  for (const std::string& path : {tmp / "absent.dat", tmp / "folder", tmp / "pipe"}) {
    const TStoryPair p = ReadStoryPair(path, 1);
    EXPECT_EQ(p.First, "");
    EXPECT_EQ(p.Second, "");
  }
}

TEST(StoryPair, OverlongLineIsCut) {
  TTempFolder tmp;
  WriteText(tmp / "s.dat", std::string(MaxStoryLine + 100, 'x') + "\r\nen\r\n");
  const TStoryPair p = ReadStoryPair(tmp / "s.dat", 1);
  EXPECT_EQ(p.First.size(), MaxStoryLine);
  EXPECT_EQ(p.Second, "en");
}

// The model member reads "StoryAll.dat" of the working folder afresh at
// every call, and a missing file empties the story instead of failing.
TEST(LoadStory, ReadsTheWorkingFolderEachTime) {
  TTempFolder tmp;
  auto sky = std::make_unique<TSkyloom>();
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(tmp.Path());
  WriteText("StoryAll.dat", "a\r\nb\r\nc\r\nd\r\n");
  sky->LoadStory(2);
  EXPECT_EQ(sky->StoryTitle, "c");
  EXPECT_EQ(sky->StoryText, "d");
  WriteText("StoryAll.dat", "A\r\nB\r\n");
  sky->LoadStory(1);
  EXPECT_EQ(sky->StoryTitle, "A");
  EXPECT_EQ(sky->StoryText, "B");
  std::filesystem::remove("StoryAll.dat");
  sky->LoadStory(1);
  std::filesystem::current_path(old);
  EXPECT_EQ(sky->StoryTitle, "");
  EXPECT_EQ(sky->StoryText, "");
}

}  // namespace

// The compiled "StoryAll.dat": one pair per constellation in constellation
// order, each story naming its constellation (Chinese name in the first
// line, English name in the second).

namespace {

TEST(CompiledStories, PairsFollowTheConstellationNumbers) {
  const std::string runtime = SKYLOOM_RUNTIME_DIR;
  auto sky = std::make_unique<TSkyloom>();
  ASSERT_TRUE(LoadStarDataFrom(*sky, runtime + "/StarData.dat"));
  const std::string text = ReadText(runtime + "/StoryAll.dat");
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      ++lines;
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "line " << lines << " does not end with CR LF";
    }
  EXPECT_EQ(lines, 176u);
  for (int n = 1; n <= 88; ++n) {
    const TStoryPair p = ReadStoryPair(runtime + "/StoryAll.dat", n);
    const std::string zh = sky->Consts[n].Name.str();
    const std::string en = sky->Consts[n].EName.str();
    EXPECT_NE(p.First.find(zh), std::string::npos) << n << ": " << GbkToUtf8(p.First);
    EXPECT_NE(p.Second.find(en.substr(0, en.find(' '))), std::string::npos) << n << ": " << p.Second;
  }
  EXPECT_EQ(ReadStoryPair(runtime + "/StoryAll.dat", 89).Second, "");
}

}  // namespace

namespace {

// A huge story file (2 GiB with no line break, sparse so it costs no disk) is
// refused by its size before anything is read, with one message.
TEST(StoryPair, HugeFileIsRefusedBeforeReading) {
  TTempFolder tmp;
  const std::string file = tmp / "StoryAll.dat";
  WriteText(file, "x");
  ASSERT_EQ(::truncate(file.c_str(), 2LL << 30), 0);
  testing::internal::CaptureStderr();
  const TStoryPair p = ReadStoryPair(file, 1);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(p.First, "");
  EXPECT_EQ(said, "skyloom: " + file + ": cannot be read; no story shown (larger than " +
                      std::to_string(MaxStoryBytes) + " bytes)\n");
}

TEST(StoryPair, UnreadableFileIsReportedOnceWithItsReason) {
  TTempFolder tmp;
  ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);
  testing::internal::CaptureStderr();
  ReadStoryPair(tmp / "pipe", 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "skyloom: " + (tmp / "pipe") + ": cannot be read; no story shown (not a regular file)\n");
}

}  // namespace
