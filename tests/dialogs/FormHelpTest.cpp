// The help viewer: topic and body rules of the manual, the contents file in
// the run's private folder, and the shipped manual itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "FileIo.h"
#include "FormHelp.h"
#include "Gbk.h"
#include "RunFolder.h"

namespace {

std::string Gbk(const std::string& utf8) { return Utf8ToGbk(utf8); }

// A small manual: comments, a lower-case keyword, nesting, text before the
// first topic, trailing blanks, CR LF.
const std::string kManual = Gbk(
    "- comment before everything\r\n"
    "preface that is never shown\r\n"
    "LIST : 入门   \r\n"
    "第一行\r\n"
    "- a comment inside a topic\r\n"
    "第二行\r\n"
    "list :  子主题\r\n"
    "子正文\r\n"
    "LiSt :   孙主题\r\n"
    "LIST :      跳得太深\r\n"
    " LIST : 以空格开头的不是主题\r\n"
    "LIST : 最后\r\n"
    "\r\n"
    "末行\r\n");

TEST(HelpManual, ContentsKeepLeadingBlanksAndDropTrailingOnes) {
  const std::vector<std::string> want = {Gbk("入门"), Gbk(" 子主题"), Gbk("  孙主题"),
                                         Gbk("     跳得太深"), Gbk("最后")};
  EXPECT_EQ(ManualContents(kManual), want);
  const std::vector<THelpTopic> tree = TopicsFromContents(ManualContents(kManual));
  ASSERT_EQ(tree.size(), 5u);
  const int depths[] = {0, 1, 2, 3, 0};  // never more than one below the node before
  for (size_t i = 0; i < tree.size(); ++i) EXPECT_EQ(tree[i].Depth, depths[i]) << i;
  EXPECT_EQ(tree[0].Title, "入门");
  EXPECT_EQ(tree[2].Title, "孙主题");
}

TEST(HelpManual, TopicTextRules) {
  struct Case {
    int Topic;
    std::vector<std::string> Want;  // UTF-8
  };
  const Case cases[] = {
      // Title trimmed, an empty line, every body line double spaced, the
      // comment inside the topic left out.
      {1, {"入门", "", "第一行", "", "第二行", ""}},
      {2, {"子主题", "", "子正文", ""}},          // keyword in lower case
      {3, {"孙主题", ""}},                        // mixed case, no body
      // " LIST" is a body line of topic 4; the topic after it is 5.
      {4, {"跳得太深", "", " LIST : 以空格开头的不是主题", ""}},
      {5, {"最后", "", "", "", "末行", ""}},
      {6, {}},
      {0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Topic);
    std::vector<std::string> got;
    for (const std::string& line : TopicText(kManual, c.Topic)) got.push_back(GbkToUtf8(line));
    EXPECT_EQ(got, c.Want);
  }
  // The preface before the first topic never shows anywhere.
  for (int n = 1; n <= 5; ++n)
    for (const std::string& line : TopicText(kManual, n))
      EXPECT_EQ(line.find("preface"), std::string::npos);
}

TEST(HelpManual, LongTitleIsCutAtACharacterBoundary) {
  std::string title;
  for (int i = 0; i < 60; ++i) title += "星";  // 120 bytes of GBK
  const std::string manual = Gbk("LIST : x" + title + "\r\n");  // 1 + 120 bytes
  const std::vector<std::string> contents = ManualContents(manual);
  ASSERT_EQ(contents.size(), 1u);
  EXPECT_EQ(contents[0].size(), 99u);  // "x" and 49 whole characters
  EXPECT_EQ(GbkToUtf8(contents[0]).find('?'), std::string::npos);
}

class HelpFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = std::filesystem::temp_directory_path() /
           ("skyloom-help-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(base);
    manual = (base / "帮助.txt").string();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
  }
  std::filesystem::path base;
  std::string manual;
};

TEST_F(HelpFormTest, ContentsFileInThePrivateFolderAndTopicsByTreeIndex) {
  ASSERT_TRUE(WriteFileAtomic(manual, kManual));
  TRunFolder run;
  const std::string folder = run.Path();
  ASSERT_FALSE(folder.empty());
  struct stat st {};
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::geteuid());

  TFormHelp help(manual, folder);
  help.FormCreate();
  EXPECT_TRUE(help.Message.empty()) << help.Message;
  EXPECT_EQ(help.ContentsFile, folder + "/Content.txt");
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadFilePrefix(help.ContentsFile, 1 << 20, bytes), TReadResult::Ok);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            Gbk("入门\r\n 子主题\r\n  孙主题\r\n     跳得太深\r\n最后\r\n"));
  ASSERT_EQ(help.TreeView1.size(), 5u);

  help.FormShow();
  EXPECT_TRUE(help.Open);
  EXPECT_EQ(help.Selected, 0);
  EXPECT_EQ(help.Memo1, "入门\n\n第一行\n\n第二行\n");
  help.TreeView1Change(1);
  EXPECT_EQ(help.Memo1, "子主题\n\n子正文\n");
  help.TreeView1Change(99);  // no such node: nothing changes
  EXPECT_EQ(help.Selected, 1);
}

TEST_F(HelpFormTest, TheRunFolderIsRemovedAtTheEnd) {
  std::string folder;
  {
    TRunFolder run;
    folder = run.Path();
    TFormHelp help(manual, folder);
    ASSERT_TRUE(WriteFileAtomic(manual, kManual));
    help.FormCreate();
    ASSERT_TRUE(std::filesystem::exists(folder + "/Content.txt"));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

// A NUL ends its line of the manual: topics and text keep what comes before
// it, and no NUL reaches the dialog's texts (or the font they are drawn with).
TEST_F(HelpFormTest, ANulCutsItsLineOfTheManual) {
  using namespace std::string_literals;
  ASSERT_TRUE(WriteFileAtomic(manual, Gbk("LIST : 入门"s + '\0' + "之后\r\n第一" + '\0' +
                                          "不见\r\n第二行\r\nLIST : 最后\r\n末行\r\n")));
  TRunFolder run;
  TFormHelp help(manual, run.Path());
  help.FormCreate();
  EXPECT_TRUE(help.Message.empty()) << help.Message;
  ASSERT_EQ(help.TreeView1.size(), 2u);
  help.FormShow();
  EXPECT_EQ(help.Memo1, "入门\n\n第一\n\n第二行\n");
  EXPECT_EQ(help.Memo1.find('\0'), std::string::npos);
}

// The private folder of a run that died stays until a later run makes its
// own; folders of running processes, other names and links are left alone.
TEST_F(HelpFormTest, FoldersOfDeadRunsAreRemoved) {
  const std::string old = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  ::setenv("TMPDIR", base.c_str(), 1);
  const pid_t dead = [] {
    const pid_t p = ::fork();
    if (p == 0) ::_exit(0);
    int status = 0;
    ::waitpid(p, &status, 0);
    return p;
  }();
  const auto make = [&](const std::string& name) {
    std::filesystem::create_directories(base / name);
    std::filesystem::permissions(base / name, std::filesystem::perms::owner_all);
    std::ofstream(base / name / "Content.txt") << "left";
  };
  const std::string stale = "skyloom-" + std::to_string(dead) + "-abcdef";
  const std::string running = "skyloom-" + std::to_string(::getppid()) + "-abcdef";
  make(stale);
  make(running);
  make("skyloom-abcdef");
  std::filesystem::create_directory_symlink(base / running,
                                            base / ("skyloom-" + std::to_string(dead) + "-link00"));
  {
    TRunFolder run;
    const std::string mine = run.Path();
    ASSERT_FALSE(mine.empty());
    EXPECT_EQ(std::filesystem::path(mine).filename().string().rfind(
                  "skyloom-" + std::to_string(::getpid()) + "-", 0), 0u) << mine;
    EXPECT_FALSE(std::filesystem::exists(base / stale));
    EXPECT_TRUE(std::filesystem::exists(base / running / "Content.txt"));
    EXPECT_TRUE(std::filesystem::exists(base / "skyloom-abcdef" / "Content.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(base / ("skyloom-" + std::to_string(dead) + "-link00")));
  }
  if (old.empty()) ::unsetenv("TMPDIR");
  else ::setenv("TMPDIR", old.c_str(), 1);
}

TEST_F(HelpFormTest, MissingAndUnreadableManuals) {
  TRunFolder run;
  {
    TFormHelp help((base / "none.txt").string(), run.Path());
    help.FormCreate();
    help.FormShow();
    EXPECT_TRUE(help.TreeView1.empty());
    EXPECT_TRUE(help.Memo1.empty());
    EXPECT_TRUE(help.Message.empty());  // a missing manual is no error
  }
  {
    std::filesystem::create_directories(base / "folder.txt");
    TFormHelp help((base / "folder.txt").string(), run.Path());
    help.FormCreate();
    EXPECT_TRUE(help.TreeView1.empty());
    EXPECT_NE(help.Message.find("folder.txt"), std::string::npos);
  }
  {
    ASSERT_TRUE(WriteFileAtomic(manual, kManual));
    TFormHelp help(manual, (base / "no-such-folder").string());
    help.FormCreate();
    EXPECT_TRUE(help.TreeView1.empty());
    EXPECT_NE(help.Message.find("Content.txt"), std::string::npos);
  }
}

// The manual that ships with the program.
TEST(ShippedManual, TopicsAreNestedAndEveryTopicHasText) {
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadFilePrefix(std::string(SKYLOOM_RUNTIME_DIR) + "/帮助.txt", 1 << 22, bytes),
            TReadResult::Ok);
  const std::string text(bytes.begin(), bytes.end());
  // GBK with CR LF throughout.
  size_t lf = 0, crlf = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      ++lf;
      if (i > 0 && text[i - 1] == '\r') ++crlf;
    }
  EXPECT_EQ(lf, crlf);
  bool ok = true;
  Utf8ToGbk(GbkToUtf8(text), &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(GbkToUtf8(text).find('?'), std::string::npos);

  const std::vector<THelpTopic> tree = TopicsFromContents(ManualContents(text));
  EXPECT_GE(tree.size(), 10u);
  EXPECT_LE(tree.size(), 20u);
  int nested = 0;
  std::set<std::string> titles;
  for (size_t i = 0; i < tree.size(); ++i) {
    nested += tree[i].Depth > 0;
    titles.insert(tree[i].Title);
    EXPECT_GT(TopicText(text, int(i) + 1).size(), 2u) << tree[i].Title;
  }
  EXPECT_GE(nested, 4);
  for (const char* want : {"快速入门", "控制面板", "键盘", "右键菜单", "观测设置", "观星工具",
                           "让时间流动", "播放天文节目", "编写自己的天文节目",
                           "在投影仪上全屏放映", "常见问题"})
    EXPECT_TRUE(titles.count(want)) << want;
}

}  // namespace
