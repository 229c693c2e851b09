// The interface tables: the column reader, the compiled record images and
// Config.dat read back at their offsets, and the region machine per type.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "FileIo.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "LittleEndian.h"

namespace {

namespace fs = std::filesystem;

// A BUTN line from its fields, in the fixed columns.
std::string Butn(int sec, int x, int y, int w, int h, int type, int pri, int cmd, char vis,
                 const std::string& name, const std::string& interval = " 1") {
  char buf[128];
  std::snprintf(buf, sizeof buf, "BUTN   %4d %5d %5d %5d %5d  %4d  %4d  %4d %c %-15s %s", sec, x, y,
                w, h, type, pri, cmd, vis, name.c_str(), interval.c_str());
  return buf;
}

fs::path TempFolder(const char* name) {
  fs::path p = fs::temp_directory_path() / ("skyloom-ui-" + std::to_string(getpid())) / name;
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}

TEST(ColumnReader, GoodLinesAndEachFailure) {
  TRegion r;
  int column = 0;
  ASSERT_TRUE(ParseRegionLine(Butn(2, 614, 42, 44, 32, 5, 1, 201, '1', "BtnTurnLeft", " 3"), r, column));
  EXPECT_EQ(r.Section, 2);
  EXPECT_EQ(r.X, 614);
  EXPECT_EQ(r.Y, 42);
  EXPECT_EQ(r.Width, 44);
  EXPECT_EQ(r.Height, 32);
  EXPECT_EQ(r.Type, 5);
  EXPECT_EQ(r.Priority, 1);
  EXPECT_EQ(r.Command, 201);
  EXPECT_TRUE(r.Visible);
  EXPECT_EQ(r.Image.str(), "BtnTurnLeft");
  EXPECT_EQ(r.Interval, 3);
  EXPECT_EQ(r.State, 0);
  // A NUL ends the name, as the compiled copy reads it back.
  std::string nul = Butn(2, 614, 42, 44, 32, 5, 1, 201, '1', "BtnTurnLeft", " 3");
  nul[59] = '\0';
  ASSERT_TRUE(ParseRegionLine(nul, r, column));
  EXPECT_EQ(r.Image.str(), "Btn");

  struct Case {
    const char* Name;
    std::string Line;
    bool Ok;
    int Column, Interval;
  } cases[] = {
      {"interval of a blank and a zero", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A", " 0"), true, 0, 1},
      {"interval of two zeros", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A", "00"), true, 0, 1},
      {"negative coordinate", Butn(2, -5, 1, 1, 1, 1, 1, 1, '1', "A"), true, 0, 1},
      {"blank interval", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A", "  "), false, 73, 0},
      {"line ends before the interval", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A").substr(0, 71), false, 73, 0},
      {"letters in X", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A").replace(14, 3, "1x2"), false, 13, 0},
      {"trailing blank in Y", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A").replace(18, 5, "  12 "), false, 19, 0},
      {"blank command", Butn(2, 1, 1, 1, 1, 1, 1, 1, '1', "A").replace(49, 4, "    "), false, 50, 0},
  };
  for (const Case& c : cases) {
    column = 0;
    TRegion out;
    EXPECT_EQ(ParseRegionLine(c.Line, out, column), c.Ok) << c.Name;
    if (c.Ok) EXPECT_EQ(out.Interval, c.Interval) << c.Name;
    else EXPECT_EQ(column, c.Column) << c.Name;
  }
  // A name longer than 15 characters is cut; column 72 is ignored.
  std::string longName = Butn(2, 1, 1, 1, 1, 1, 1, 1, '0', "ABCDEFGHIJKLMNO");
  longName[71] = 'P';
  ASSERT_TRUE(ParseRegionLine(longName, r, column));
  EXPECT_EQ(r.Image.str(), "ABCDEFGHIJKLMNO");
  EXPECT_FALSE(r.Visible);
}

TEST(ColumnReader, FileSkipsCommentsKeepsSlotsAndReportsFaults) {
  TInterface ui;
  const fs::path dir = TempFolder("reader");
  std::string text = "- a comment\r\n \r\n\r\nSCEN      1\r\n";
  text += "sect      1     0     0   800   432     0     2     0 1 Sky\r\n";  // lower case accepted
  text += Butn(2, 10, 10, 10, 10, 1, 1, 5, '1', "First") + "\r\n";
  text += Butn(2, 10, 10, 10, 10, 1, 1, 5, '1', "Bad", "  ") + "\r\n";  // slot 2 stays empty
  text += Butn(2, 20, 20, 10, 10, 2, 1, 6, '1', "Third") + "\r\n";
  for (int i = 4; i <= MaxRegions + 1; ++i) text += Butn(2, i, 0, 1, 1, 1, 1, i, '1', "More") + "\r\n";
  std::ofstream(dir / "desc.txt", std::ios::binary) << text;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(ui.ReadInterfaceDescription((dir / "desc.txt").string(), (dir / "cache").string()));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("desc.txt: line 7, column 73"), std::string::npos) << err;
  EXPECT_NE(err.find("more than 40 regions"), std::string::npos) << err;
  EXPECT_EQ(ui.Sections[1].Width, 800);
  EXPECT_EQ(ui.Sections[1].Name.str(), "Sky");
  EXPECT_EQ(ui.Regions[1].Image.str(), "First");
  EXPECT_EQ(ui.Regions[2].Command, 0);
  EXPECT_EQ(ui.Regions[3].Image.str(), "Third");
  EXPECT_EQ(ui.Regions[MaxRegions].Command, MaxRegions);
  // A faulty description leaves no compiled copy behind.
  EXPECT_FALSE(fs::exists(dir / "cache" / "Active.dat"));
  EXPECT_FALSE(ui.ReadInterfaceDescription((dir / "missing.txt").string(), ""));
}

TEST(CompiledTables, RecordsAtTheirOffsetsAndPartialFiles) {
  TInterface ui;
  ui.Sections[1].Y = 432;
  ui.Sections[1].Width = 800;
  ui.Sections[1].Height = 168;
  ui.Sections[1].Kind = 7;
  ui.Sections[1].Command = 9;
  ui.Sections[1].Visible = true;
  ui.Sections[1].Name.set("Panel");
  ui.Sections[1].Priority = 3;
  ui.Sections[1].Scene = 1;
  ui.Regions[2].X = 614;
  ui.Regions[2].Y = 42;
  ui.Regions[2].Width = 44;
  ui.Regions[2].Height = 32;
  ui.Regions[2].Command = 201;
  ui.Regions[2].Type = 5;
  ui.Regions[2].State = 2;
  ui.Regions[2].Section = 2;
  ui.Regions[2].Priority = 4;
  ui.Regions[2].Visible = true;
  ui.Regions[2].Image.set("BtnTurnLeft");
  ui.Regions[2].Interval = 6;
  const fs::path dir = TempFolder("tables");
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  EXPECT_EQ(fs::file_size(dir / SceneFile), 2 * 524u);
  EXPECT_EQ(fs::file_size(dir / SectionFile), 30 * 300u);
  EXPECT_EQ(fs::file_size(dir / ActiveFile), MaxRegions * 564u);
  std::vector<uint8_t> s, a;
  ASSERT_EQ(ReadFilePrefix((dir / SectionFile).string(), 1 << 20, s), TReadResult::Ok);
  ASSERT_EQ(ReadFilePrefix((dir / ActiveFile).string(), 1 << 20, a), TReadResult::Ok);
  namespace LE = LittleEndian;
  EXPECT_EQ(LE::GetInt32(s, 4), 432);
  EXPECT_EQ(LE::GetInt32(s, 16), 7);
  EXPECT_EQ(LE::GetInt32(s, 20), 9);
  EXPECT_EQ(s[24], 1);
  EXPECT_EQ(s[25], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[26]), 5), "Panel");
  EXPECT_EQ(LE::GetInt32(s, 284), 3);
  EXPECT_EQ(LE::GetInt32(s, 288), 1);
  const size_t r = 564;  // slot 2
  EXPECT_EQ(LE::GetInt32(a, r + 4), 614);
  EXPECT_EQ(LE::GetInt32(a, r + 16), 32);
  EXPECT_EQ(LE::GetInt32(a, r + 276), 201);
  EXPECT_EQ(LE::GetInt32(a, r + 280), 5);
  EXPECT_EQ(LE::GetInt32(a, r + 284), 2);
  EXPECT_EQ(LE::GetInt32(a, r + 292), 2);
  EXPECT_EQ(LE::GetInt32(a, r + 296), 4);
  EXPECT_EQ(a[r + 300], 1);
  EXPECT_EQ(a[r + 301], 11);
  EXPECT_EQ(LE::GetInt32(a, r + 560), 6);

  // A Section.dat of 12 records fills slots 1..12 and leaves the rest.
  s.resize(12 * 300);
  ASSERT_TRUE(WriteFileAtomic((dir / SectionFile).string(), s));
  ui = TInterface{};
  ui.Sections[13].X = 77;
  ASSERT_TRUE(ui.ReadCompiledTables(dir.string()));
  EXPECT_EQ(ui.Sections[1].Y, 432);
  EXPECT_EQ(ui.Sections[13].X, 77);
  EXPECT_EQ(ui.Regions[2].Image.str(), "BtnTurnLeft");
  // One missing file: none is read.
  fs::remove(dir / SceneFile);
  ui = TInterface{};
  EXPECT_FALSE(ui.ReadCompiledTables(dir.string()));
  EXPECT_EQ(ui.Sections[1].Y, 0);
}

// Writing the same tables again keeps the copies (no write at start when
// nothing changed); a changed table, or a copy others may write, is replaced.
TEST(CompiledTables, AnUnchangedCopyIsKept) {
  const fs::path dir = TempFolder("kept");
  TInterface ui;
  ui.Regions[1].Command = 201;
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  const auto inode = [&](const char* name) {
    struct stat st {};
    EXPECT_EQ(::stat((dir / name).c_str(), &st), 0);
    return st.st_ino;
  };
  const auto scene = inode(SceneFile), section = inode(SectionFile), active = inode(ActiveFile);
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  EXPECT_EQ(inode(SceneFile), scene);
  EXPECT_EQ(inode(SectionFile), section);
  EXPECT_EQ(inode(ActiveFile), active);
  ui.Regions[1].Command = 202;
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  EXPECT_NE(inode(ActiveFile), active);
  EXPECT_EQ(inode(SectionFile), section);
  fs::permissions(dir / SectionFile, fs::perms::others_write, fs::perm_options::add);
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  EXPECT_NE(inode(SectionFile), section);
  EXPECT_EQ(fs::status(dir / SectionFile).permissions() & fs::perms::others_write, fs::perms::none);
}

// A compiled copy someone else could have made or changed is not read, nor
// one older than its description, nor one with a field no description can
// hold (a planted region, a size that overflows); nothing of it is taken.
TEST(CompiledTables, OnlyASoundCopyOfThisUserIsTrusted) {
  const fs::path dir = TempFolder("trust");
  TInterface ui;
  ui.Regions[1].Command = 201;
  ui.Regions[1].Width = 40;
  ASSERT_FALSE(ui.WriteCompiledTables(dir.string()));
  const auto readsBack = [&](const std::string& source = "") {
    ui = TInterface{};
    testing::internal::CaptureStderr();
    const bool ok = ui.ReadCompiledTables(dir.string(), source);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ok, said.empty()) << said;
    EXPECT_EQ(ui.Regions[1].Command, ok ? 201 : 0);
    return ok ? std::string() : said;
  };
  ASSERT_EQ(readsBack(), "");
  const fs::path active = dir / ActiveFile;
  fs::permissions(active, fs::perms::others_write, fs::perm_options::add);
  EXPECT_NE(readsBack().find("Active.dat: the compiled copy is not used (writable by others)"),
            std::string::npos);
  fs::permissions(active, fs::perms::others_write, fs::perm_options::remove);
  fs::permissions(dir, fs::perms::others_write, fs::perm_options::add);
  EXPECT_NE(readsBack().find("(writable by others)"), std::string::npos);
  fs::permissions(dir, fs::perms::others_write, fs::perm_options::remove);
  ASSERT_EQ(readsBack(), "");
  if (::geteuid() == 0) {  // as root, a file of another user can be made
    ASSERT_EQ(::chown(active.c_str(), 65534, 65534), 0);
    EXPECT_NE(readsBack().find("(owned by another user)"), std::string::npos);
    ASSERT_EQ(::chown(active.c_str(), 0, 0), 0);
  }
  // A description changed after the copy was made.
  const fs::path description = dir / "description.txt";
  std::ofstream(description) << "-\n";
  fs::last_write_time(description, fs::last_write_time(active) + std::chrono::hours(1));
  EXPECT_NE(readsBack(description.string()).find("older than"), std::string::npos);
  // Hostile fields: a width that overflows, a region state no run sets.
  std::vector<uint8_t> a;
  ASSERT_EQ(ReadFilePrefix(active.string(), 1 << 20, a), TReadResult::Ok);
  namespace LE = LittleEndian;
  for (const auto& [at, value, said] :
       {std::tuple<size_t, int32_t, const char*>{12, INT32_MAX, "record 1: Width 2147483647 is outside"},
        {564 + 4, INT32_MIN, "record 2: X -2147483648 is outside"},
        {284, 77, "record 1: State 77 is outside 0..3"},
        {560, 1000, "record 1: Interval 1000 is outside 1..99"}}) {
    std::vector<uint8_t> bad = a;
    LE::PutInt32(bad, at, value);
    ASSERT_TRUE(WriteFileAtomic(active.string(), bad));
    EXPECT_NE(readsBack().find(said), std::string::npos) << said;
  }
}

TEST(ConfigFile, LayoutAtItsOffsetsAndDamagedFiles) {
  TParameters params;
  ResetParameters(params);
  params.MusicOn = 1;
  params.SubtitleSpeed = 9;
  params.FullScreen = 1;
  params.KeyTable[0].Key = 'G';
  const fs::path dir = TempFolder("config");
  ASSERT_FALSE(WriteParameters(params, dir.string()));
  std::vector<uint8_t> b;
  ASSERT_EQ(ReadFilePrefix((dir / ConfigFileName).string(), 1 << 20, b), TReadResult::Ok);
  ASSERT_EQ(b.size(), 11370u);
  namespace LE = LittleEndian;
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(LE::GetInt32(b, 3), 9);
  EXPECT_EQ(LE::GetInt32(b, 7), 1);          // key 0 enabled
  EXPECT_EQ(LE::GetInt32(b, 11), 'G');       // its key
  EXPECT_EQ(LE::GetInt32(b, 7 + 264), 9);    // region of the horizon switch
  EXPECT_EQ(LE::GetInt32(b, 7 + 268), 105);
  EXPECT_EQ(LE::GetInt32(b, 7 + 272), 2);
  EXPECT_EQ(LE::GetInt32(b, 7 + 12 * 284 + 4), 'N');
  EXPECT_EQ(LE::GetInt32(b, 7 + 12 * 284 + 268), 1301);
  EXPECT_EQ(LE::GetInt32(b, 7 + 13 * 284 + 4), 'G');
  EXPECT_EQ(LE::GetInt32(b, 7 + 13 * 284 + 268), 1302);
  const size_t m6 = 5687 + 5 * 284;          // menu entry 6: the boundary
  EXPECT_EQ(LE::GetInt32(b, m6), 1);
  EXPECT_EQ(LE::GetInt32(b, m6 + 268), 1205);
  EXPECT_EQ(b[m6 + 276], 1);
  EXPECT_EQ(LE::GetInt32(b, m6 + 280), 1);
  EXPECT_EQ(b[11368], 1);

  // Read back; then a short and a damaged file give the defaults, untouched.
  ResetParameters(params);
  EXPECT_TRUE(ReadParameters(params, dir.string(), ""));
  EXPECT_EQ(params.MusicOn, 1);
  EXPECT_EQ(params.KeyTable[0].Key, 'G');
  for (size_t size : {size_t{100}, size_t{11369}}) {
    std::vector<uint8_t> cut(b.begin(), b.begin() + static_cast<long>(size));
    ASSERT_TRUE(WriteFileAtomic((dir / ConfigFileName).string(), cut));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadParameters(params, dir.string(), ""));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
    EXPECT_EQ(params.MusicOn, 0);
    EXPECT_EQ(params.KeyTable[0].Key, 'R');
    EXPECT_EQ(fs::file_size(dir / ConfigFileName), size);
  }
  b[11369] = 7;
  ASSERT_TRUE(WriteFileAtomic((dir / ConfigFileName).string(), b));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ReadParameters(params, dir.string(), ""));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(params.FullScreen, 0);
}

// The region machine, event by event.
class RegionMachine : public ::testing::Test {
 protected:
  TInterface ui;
  void SetUp() override {
    ui.CurrentScene = 1;
    ui.SetBareSections();  // the sky area over the lower panel
    auto put = [this](int slot, int x, int y, int type, int cmd) {
      TRegion& r = ui.Regions[slot];
      r.X = x;
      r.Y = y;
      r.Width = r.Height = 20;
      r.Section = 2;
      r.Type = type;
      r.Command = cmd;
      r.Priority = 1;
    };
    put(1, 0, 0, RegionType::Push, 103);
    put(2, 100, 0, RegionType::Toggle, 105);
    put(3, 200, 0, RegionType::HoverRepeat, 201);
    put(4, 300, 0, RegionType::HoldRepeat, 203);
    put(5, 400, 0, RegionType::Drag, 21);
    put(6, 500, 0, RegionType::Push, 1);   // overlapping, equal priority:
    put(7, 505, 0, RegionType::Push, 2);   // the lower slot wins
  }
  TRegionAction Move(int x, int y) {
    const TRegionAction a = ui.HitTestRegions(x, y);
    ui.Pointer.PreviousRegion = ui.Pointer.Region;
    return a;
  }
  TRegionAction Press() {
    ui.Pointer.MouseState = 1;
    return ui.PressRegion();
  }
  TRegionAction Release() { return ui.ReleaseRegion(); }
};

TEST_F(RegionMachine, EventsPerType) {
  struct Step {
    const char* What;
    int Kind;  // 0 move, 1 press, 2 release
    int X, Y, Event, Command;
  } steps[] = {
      {"enter the push button", 0, 5, 440, RegionEvent::Entered, 0},
      {"press it", 1, 5, 440, RegionEvent::PushPressed, 0},
      {"release inside runs it", 2, 5, 440, RegionEvent::Execute, 103},
      {"enter the toggle", 0, 105, 440, RegionEvent::Entered, 0},
      {"press it while off", 1, 105, 440, RegionEvent::ToggleOn, 105},
      {"release: nothing more", 2, 105, 440, RegionEvent::None, 0},
      {"enter the hover repeat: runs at once", 0, 205, 440, RegionEvent::Execute, 201},
      {"leave it for the hold repeat", 0, 305, 440, RegionEvent::Entered, 0},
      {"press the hold repeat", 1, 305, 440, RegionEvent::Execute, 203},
      {"release it", 2, 305, 440, RegionEvent::LeftRepeat, 203},
      {"over to the drag region: the repeat ends", 0, 405, 440, RegionEvent::LeftRepeat, 0},
      {"press the drag region: capture only", 1, 405, 440, RegionEvent::None, 0},
      {"equal priority, lower slot", 0, 510, 440, RegionEvent::Entered, 0},
  };
  for (const Step& s : steps) {
    const TRegionAction a = s.Kind == 0 ? Move(s.X, s.Y) : s.Kind == 1 ? Press() : Release();
    EXPECT_EQ(a.Event, s.Event) << s.What;
    EXPECT_EQ(a.Command, s.Command) << s.What;
  }
  EXPECT_EQ(ui.Pointer.Region, 6);
  Move(405, 440);
  Press();
  EXPECT_EQ(ui.Pointer.Captured, 5);
  EXPECT_EQ(ui.DragRegionMove().Command, 22);
  EXPECT_EQ(ui.DragRegionEnd().Command, 23);
}

TEST_F(RegionMachine, EdgeCases) {
  // A toggle that is on reports the press while on.
  ui.Regions[2].State = RegionLook::On;
  Move(105, 440);
  EXPECT_EQ(Press().Event, RegionEvent::ToggleOff);
  Release();
  // Push pressed, left while held, released outside: no command.
  Move(5, 440);
  Press();
  Move(50, 440);
  EXPECT_EQ(Release().Event, RegionEvent::None);
  // Off every section: the last region stays under the pointer.
  Move(5, 440);
  ui.HitTestRegions(900, 900);
  EXPECT_EQ(ui.Pointer.Section, 0);
  EXPECT_EQ(ui.Pointer.Region, 1);
  // Leaving a hover-repeat region ends its repeat.
  Move(205, 440);
  EXPECT_EQ(Move(250, 440).Event, RegionEvent::LeftRepeat);
  // Both rectangle ends count.
  Move(20, 452);
  EXPECT_EQ(ui.Pointer.Region, 1);
  Move(21, 452);
  EXPECT_EQ(ui.Pointer.Region, 0);
}

// On a stage larger than 800x600 the panel's buttons sit where the layout
// draws them (centred, on the bottom edge), while the sky section and the
// panel's section reach the stage's edges.
TEST_F(RegionMachine, HitTestingFollowsTheStageLayout) {
  struct Case {
    int Width, Height;
    double Scale;
  };
  for (const Case& c : {Case{800, 600, 1}, Case{1280, 800, 1}, Case{1920, 1080, 1},
                        Case{1920, 1080, 1.5}, Case{3840, 2160, 2}}) {
    const TStageLayout m{.Width = c.Width, .Height = c.Height, .Scale = c.Scale};
    SCOPED_TRACE(testing::Message() << c.Width << "x" << c.Height << " at " << c.Scale);
    for (int slot = 1; slot <= 5; ++slot) {
      // The middle of the region as drawn, and just right of it.
      const int x = ui.RegionScreenX(slot, m), y = ui.RegionScreenY(slot, m);
      const int mid = m.Length(10);
      ui.HitTestRegions(x + mid, y + mid, m);
      EXPECT_EQ(ui.Pointer.Section, 2);
      EXPECT_EQ(ui.Pointer.Region, slot);
      ui.HitTestRegions(x + m.Length(20) + 2, y + mid, m);
      EXPECT_NE(ui.Pointer.Region, slot);
    }
    EXPECT_EQ(ui.RegionScreenY(1, m), c.Height - m.Length(600 - 432));
    EXPECT_EQ(ui.RegionScreenX(1, m) * 2 + m.Length(800), c.Width);
    // The stage's corners: sky at the top, the panel's band at the bottom.
    ui.HitTestRegions(0, 0, m);
    EXPECT_EQ(ui.Pointer.Section, 1);
    ui.HitTestRegions(c.Width - 1, 0, m);
    EXPECT_EQ(ui.Pointer.Section, 1);
    ui.HitTestRegions(0, c.Height - 1, m);
    EXPECT_EQ(ui.Pointer.Section, 2);
    ui.HitTestRegions(c.Width - 1, c.Height - 1, m);
    EXPECT_EQ(ui.Pointer.Section, 2);
    ui.HitTestRegions(c.Width - 1, m.Y(432) - 2, m);
    EXPECT_EQ(ui.Pointer.Section, 1);
  }
}

// The automatic scale is the largest step at which the 800x600 frame fits;
// a scale asked for is taken up to that.
TEST(InterfaceScale, LargestStepThatFitsAndAskedScalesUpToIt) {
  const struct {
    int W, H;
    double Asked, Scale;
  } cases[] = {
      {800, 600, 0, 1},       {1024, 768, 0, 1.25},  {1280, 800, 0, 1.25},
      {1366, 768, 0, 1.25},   {1600, 900, 0, 1.5},   {1920, 1080, 0, 1.75},
      {1920, 1200, 0, 2},     {2560, 1440, 0, 2},   {2560, 1600, 0, 2.5},  {3840, 2160, 0, 3},
      {1920, 1080, 1, 1},     {1920, 1080, 1.5, 1.5}, {1920, 1080, 2.5, 1.75},
      {800, 600, 2, 1},       {3840, 2160, 1.3, 1.3}, {1920, 1080, 0.5, 1.75},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InterfaceScaleFor(c.W, c.H, c.Asked), c.Scale) << c.W << "x" << c.H << " " << c.Asked;
    const TStageLayout m{.Width = c.W, .Height = c.H, .Scale = c.Scale};
    EXPECT_LE(m.Length(800), c.W);
    EXPECT_LE(m.Length(600), c.H);
  }
}

TEST(KeyTable, DefaultsAndTheSkySwitches) {
  const TKeyTable KeyTable = TParameters{}.KeyTable;
  EXPECT_EQ(KeyTable[0].Key, 'R');
  EXPECT_EQ(KeyTable[0].Command, 105);
  EXPECT_EQ(KeyTable[11].Key, 'B');
  EXPECT_EQ(KeyTable[12].Key, 'N');
  EXPECT_EQ(KeyTable[12].Region, 8);
  EXPECT_EQ(KeyTable[12].LookMask, 0);
  EXPECT_EQ(KeyTable[13].Key, 'G');
  EXPECT_EQ(KeyTable[13].Command, 1302);
  EXPECT_EQ(KeyTable[14].Key, 'T');
  EXPECT_EQ(KeyTable[14].Command, 1303);
  EXPECT_EQ(KeyTable[15].Key, 'Y');
  EXPECT_EQ(KeyTable[15].Command, 1304);
  EXPECT_EQ(KeyTable[16].Enabled, 0);
  EXPECT_EQ(KeyTable[16].Key, 0);
}

}  // namespace
