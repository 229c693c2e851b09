// The program's string table: every id of the two ranges has a text, the
// texts are GBK, and ids outside the ranges give nothing.
#include <gtest/gtest.h>

#include "Gbk.h"
#include "StringTable.h"

namespace {

TEST(StringTable, BothRangesAreCompleteAndNothingElse) {
  for (int id = -1; id <= 120; ++id) {
    const bool inRange = (id >= 1 && id <= 61) || (id >= 101 && id <= 114);
    EXPECT_EQ(!LoadStr(id).empty(), inRange) << id;
  }
}

TEST(StringTable, TextsAreServedInGbk) {
  struct Case {
    int Id;
    const char* Utf8;
  } cases[] = {{1, "年"}, {12, "°"}, {18, "本软件要求的最低分辨率为800*600，请调整后重新运行！"},
               {22, "宋体"}, {44, "αβ星名"}, {103, "本星座αβ星名"}, {114, "取消选择"}};
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(LoadStr(c.Id), Utf8ToGbk(c.Utf8, &ok)) << c.Id;
    EXPECT_TRUE(ok) << c.Id;
    EXPECT_EQ(GbkToUtf8(LoadStr(c.Id)), c.Utf8) << c.Id;
  }
  EXPECT_EQ(LoadStr(22), "\xCB\xCE\xCC\xE5");  // the font name the canvas looks for
}

}  // namespace
