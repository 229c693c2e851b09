// The information text splitter: Chinese text cut into lines at character
// boundaries, English text wrapped at blanks, mixed text never split inside
// a character, and the table limits.
#include <gtest/gtest.h>

#include <string>

#include "Gbk.h"
#include "InfoText.h"

namespace {

std::string Line(const TInfoText& info, int i) { return info.Lines[i].str(); }

// True when every line is whole GBK text: no lead byte left without its
// trail byte at a line end.
bool LinesAreWholeCharacters(const TInfoText& info) {
  for (int i = 1; i <= info.LineCount; ++i) {
    const std::string s = Line(info, i);
    for (size_t p = 0; p < s.size();) {
      const unsigned char c = static_cast<unsigned char>(s[p]);
      if (c >= 0x81 && c <= 0xFE) {
        if (p + 1 >= s.size()) return false;
        p += 2;
      } else {
        ++p;
      }
    }
  }
  return true;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(SplitInfoText, ChineseLinesAreEvenAndWhole) {
  const std::string han = Utf8ToGbk("猎");
  ASSERT_EQ(han.size(), 2u);
  struct Case {
    const char* Name;
    int Bytes, Width;
    std::vector<size_t> Lengths;
  } cases[] = {
      {"100 bytes in a 240-pixel panel", 100, 240, {40, 40, 20}},
      {"the subtitle strip holds 84 bytes", 100, 510, {84, 16}},
      {"exactly two lines", 80, 240, {40, 40}},
      {"one short line", 10, 240, {10}},
  };
  for (const Case& c : cases) {
    TInfoText info;
    SplitInfoText(info, "T", Repeat(han, c.Bytes / 2), 0, 6, c.Width);
    ASSERT_EQ(info.LineCount, static_cast<int>(c.Lengths.size())) << c.Name;
    for (size_t i = 0; i < c.Lengths.size(); ++i)
      EXPECT_EQ(Line(info, static_cast<int>(i) + 1).size(), c.Lengths[i]) << c.Name << " line " << i + 1;
    EXPECT_EQ(info.TopLine, 0);
    EXPECT_EQ(info.Title.str(), "T");
  }
}

// A digit or Latin letter before the cut shifts every character by one byte:
// a fixed 40-byte cut would end the line with half a character.
TEST(SplitInfoText, MixedTextIsCutAtCharacterBoundaries) {
  const std::string text = Utf8ToGbk(
      "猎户座是冬季夜空中最壮观的星座，1颗红超巨星参宿四和蓝白色的参宿七分居两端，"
      "腰带上3颗星排成一线，M42猎户座大星云在剑的位置。");
  TInfoText info;
  SplitInfoText(info, "", text, 0, 6, 240);
  EXPECT_TRUE(LinesAreWholeCharacters(info));
  std::string joined;
  for (int i = 1; i <= info.LineCount; ++i) {
    EXPECT_LE(Line(info, i).size(), 40u) << i;
    if (i < info.LineCount) {
      EXPECT_GE(Line(info, i).size(), 39u) << "line " << i << " wastes room";
    }
    joined += Line(info, i);
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(GbkToUtf8(Line(info, 1)).find('?'), std::string::npos);
}

TEST(SplitInfoText, EnglishWrapsAtBlanks) {
  TInfoText info;
  // n = 240 / 6 = 40: each line ends at the last blank within 40 bytes.
  const std::string text =
      "Orion the hunter stands over the winter sky with his belt of three stars.";
  SplitInfoText(info, "Orion", text, 1, 6, 240);
  ASSERT_EQ(info.LineCount, 2);
  EXPECT_EQ(Line(info, 1), "Orion the hunter stands over the winter ");
  EXPECT_EQ(Line(info, 2), "sky with his belt of three stars.");
}

TEST(SplitInfoText, LongEnglishWordIsCutHard) {
  TInfoText info;
  const std::string word(100, 'x');
  SplitInfoText(info, "", "ab " + word, 1, 6, 60);  // n = 10
  ASSERT_GE(info.LineCount, 2);
  EXPECT_EQ(Line(info, 1), "ab ");
  EXPECT_EQ(Line(info, 2), std::string(11, 'x'));  // the n + 1 bytes p .. p + n
  std::string joined;
  for (int i = 1; i <= info.LineCount; ++i) joined += Line(info, i);
  EXPECT_EQ(joined, "ab " + word);
}

TEST(SplitInfoText, WrappedMixedTextKeepsCharactersWhole) {
  TInfoText info;
  const std::string text = Utf8ToGbk("a中文没有空格的一段很长的文字会被硬切开但不会切坏汉字");
  SplitInfoText(info, "", text, 1, 6, 60);
  EXPECT_TRUE(LinesAreWholeCharacters(info));
  std::string joined;
  for (int i = 1; i <= info.LineCount; ++i) joined += Line(info, i);
  EXPECT_EQ(joined, text);
}

TEST(SplitInfoText, EmptyTextGivesOneEmptyLine) {
  for (int mode : {0, 1}) {
    TInfoText info;
    info.TopLine = 7;
    SplitInfoText(info, "", "", mode, 6, 240);
    EXPECT_EQ(info.LineCount, 1) << mode;
    EXPECT_TRUE(info.Lines[1].empty());
    EXPECT_EQ(info.TopLine, 0);
  }
}

TEST(SplitInfoText, AtMostFiftyLines) {
  TInfoText info;
  SplitInfoText(info, "", Repeat(Utf8ToGbk("星"), 2000), 0, 6, 240);
  EXPECT_EQ(info.LineCount, MaxSplitLines);
  SplitInfoText(info, "", Repeat("word ", 1000), 1, 6, 240);
  EXPECT_EQ(info.LineCount, MaxSplitLines);
  // One more (empty) line fits, then the table is full.
  EXPECT_TRUE(info.AddLine(""));
  EXPECT_FALSE(info.AddLine(""));
  EXPECT_EQ(info.LineCount, MaxInfoLines);
}

TEST(GbkCutLength, NeverSplitsACharacter) {
  const std::string s = "1" + Utf8ToGbk("中文") + "x";
  EXPECT_EQ(GbkCutLength(s, 0), 0u);
  EXPECT_EQ(GbkCutLength(s, 1), 1u);
  EXPECT_EQ(GbkCutLength(s, 2), 1u);
  EXPECT_EQ(GbkCutLength(s, 3), 3u);
  EXPECT_EQ(GbkCutLength(s, 4), 3u);
  EXPECT_EQ(GbkCutLength(s, 5), 5u);
  EXPECT_EQ(GbkCutLength(s, 99), 6u);
  // A lead byte with nothing after it counts as one character.
  EXPECT_EQ(GbkCutLength("a\xD6", 2), 2u);
}

TEST(AppendGbkPieces, CutsAPageLineIntoPieces) {
  TInfoText info;
  const std::string line(100, 'a');
  EXPECT_EQ(AppendGbkPieces(info, line, 30, 50), 4);  // 30, 30, 30, 10
  EXPECT_EQ(Line(info, 4).size(), 10u);
  EXPECT_EQ(AppendGbkPieces(info, "", 30, 50), 1);
  EXPECT_EQ(info.LineCount, 5);
  EXPECT_EQ(AppendGbkPieces(info, line, 30, 2), 2);
}

}  // namespace
