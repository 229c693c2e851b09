// The byte layout of a show page and of both show file layouts, and every way
// a damaged or hostile show file is refused or cut.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

#include "Gbk.h"
#include "Lecture.h"
#include "LittleEndian.h"

using namespace LittleEndian;

namespace {

ShortString Gbk(const std::string& utf8) {
  ShortString s;
  s.set(Utf8ToGbk(utf8));
  return s;
}

// A page with a distinct value in every field.
TShowFrame SampleFrame(int seed) {
  TShowFrame f;
  f.SetMarks = 1;
  f.NewPage = static_cast<uint8_t>(seed & 1);
  f.SetPlace = 1;
  f.SetShow = 0;
  f.HighlightCount = 2;
  f.StarMarkCount = 3;
  f.LineMarkCount = 4;
  f.AreaMarkCount = 1;
  f.Highlights[0] = {7, 1, 2, 3, 4, 0};
  f.Highlights[19] = {201 + seed, 0, 1, 0, 1, 0};
  f.StarMarks[0].Star = 1000 + seed;
  f.StarMarks[0].Circle = 1;
  f.StarMarks[0].Note = 1;
  f.StarMarks[0].Name = 0;
  f.StarMarks[0].Text = Gbk("参宿四");
  f.StarMarks[49].Star = 77;
  f.LineMarks[0] = {11, 12, 0x00FF00};
  f.LineMarks[49] = {13, 14, 0x0000FF};
  f.AreaMarks[0].Stars[0] = 5;
  f.AreaMarks[0].Stars[19] = 6;
  f.AreaMarks[0].Count = 20;
  f.AreaMarks[0].Name = Gbk("冬季大三角");
  f.Caption = Gbk("第一页");
  f.Text[0] = Gbk("猎户座是冬季最醒目的星座。");
  f.Text[49] = Gbk("end");
  f.TextCount = 50;
  f.Year = 2026;
  f.Month = 1;
  f.Day = 15;
  f.Hour = 21;
  f.Minute = 30 + seed;
  f.Second = 44;
  f.Zone = EncodeZone(8);
  f.FieldOfView = 12.5;
  f.Longitude = 2.03;
  f.Latitude = 0.70;
  f.City = 1;
  f.ViewAz = 3.1;
  f.ViewAlt = 0.5;
  f.ShowFlags = 0x10000000819ull;
  f.StarLimit = 55;
  f.Wait = 30;
  f.Moves = 7;
  f.StepUnit = 2;
  f.StepAmount = -3;
  f.Tracking = 1;
  f.TrackId = 105;
  f.SelConst = 60;
  f.PopupSwitches = {1, 0, 1, 0, 1, 0};
  return f;
}

std::vector<uint8_t> Record(const TShowFrame& f) {
  std::vector<uint8_t> rec(ShowFrameSize);
  EncodeFrame(f, rec);
  return rec;
}

}  // namespace

TEST(ShowFrame, FieldsSitAtTheirOffsets) {
  const TShowFrame f = SampleFrame(0);
  const std::vector<uint8_t> rec = Record(f);
  std::span<const uint8_t> b(rec);
  struct {
    size_t At;
    int32_t Value;
  } ints[] = {
      {4, 2},          {8, 3},         {12, 4},           {16, 1},
      {20, 7},         {24, 1},        {36, 4},           {20 + 19 * 24, 201},
      {500, 1000},     {504, 1},       {508, 1},          {512, 0},
      {500 + 49 * 532, 77}, {27100, 11}, {27104, 12},     {27108, 0x00FF00},
      {27100 + 49 * 12, 13}, {27700, 5}, {27700 + 76, 6}, {27780, 20},
      {47556, 50},     {47560, 2026},  {47564, 1},        {47568, 15},
      {47572, 21},     {47576, 30},    {47580, 108},      {47600, 1},
      {47604, 44},
      {47640, 55},     {47644, 30},    {47648, 7},        {47652, 2},
      {47656, -3},     {47664, 105},   {47668, 60},       {47672, 1},
      {47676, 0},      {47680, 1},     {47688, 1},        {47692, 0},
  };
  for (const auto& c : ints) EXPECT_EQ(GetInt32(b, c.At), c.Value) << "offset " << c.At;
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(b[2], 1);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(b[47660], 1);
  EXPECT_EQ(GetDouble(b, 47584), 2.03);
  EXPECT_EQ(GetDouble(b, 47592), 0.70);
  EXPECT_EQ(GetDouble(b, 47608), 3.1);
  EXPECT_EQ(GetDouble(b, 47616), 0.5);
  EXPECT_EQ(static_cast<uint32_t>(GetInt32(b, 47632)), 0x819u);
  EXPECT_EQ(static_cast<uint32_t>(GetInt32(b, 47636)), 0x100u);
  EXPECT_EQ(GetShortString(b, 520).str(), Utf8ToGbk("参宿四"));
  EXPECT_EQ(GetShortString(b, 27784).str(), Utf8ToGbk("冬季大三角"));
  EXPECT_EQ(GetShortString(b, 34500).str(), Utf8ToGbk("第一页"));
  EXPECT_EQ(GetShortString(b, 34756).str(), Utf8ToGbk("猎户座是冬季最醒目的星座。"));
  EXPECT_EQ(GetShortString(b, 34756 + 49 * 256).str(), "end");
  // Reserved bytes stay zero.
  for (size_t at : {47624u, 47628u, 47661u, 47662u, 47663u}) EXPECT_EQ(b[at], 0) << at;
}

TEST(ShowFrame, DecodeGivesBackWhatWasEncoded) {
  const TShowFrame f = SampleFrame(3);
  TShowFrame g;
  TFrameRepairs repairs;
  DecodeFrame(Record(f), g, &repairs);
  EXPECT_FALSE(repairs.Any());
  EXPECT_EQ(Record(g), Record(f));
  EXPECT_EQ(g.Minute, 33);
  EXPECT_EQ(g.Zone, EncodeZone(8));
  EXPECT_EQ(g.FieldOfView, 12.5);
  EXPECT_EQ(g.ShowFlags, 0x10000000819ull);
  EXPECT_EQ(g.AreaMarks[0].Name.str(), Utf8ToGbk("冬季大三角"));
}

TEST(ShowFrame, CountsBeyondTheTablesAreCut) {
  struct {
    size_t At;
    int32_t Stored;
    int32_t TShowFrame::*Field;
    int32_t Used;
  } cases[] = {
      {4, 21, &TShowFrame::HighlightCount, 20},   {4, -1, &TShowFrame::HighlightCount, 0},
      {8, 51, &TShowFrame::StarMarkCount, 50},    {12, 1 << 30, &TShowFrame::LineMarkCount, 50},
      {16, 99, &TShowFrame::AreaMarkCount, 20},   {47556, 51, &TShowFrame::TextCount, 50},
      {47556, INT32_MIN, &TShowFrame::TextCount, 0},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> rec = Record(SampleFrame(0));
    PutInt32(rec, c.At, c.Stored);
    TShowFrame g;
    TFrameRepairs repairs;
    DecodeFrame(rec, g, &repairs);
    EXPECT_EQ(g.*c.Field, c.Used) << c.At << " " << c.Stored;
    EXPECT_TRUE(repairs.Any()) << c.At;
  }
}

TEST(ShowFrame, ZoneFieldZeroKeepsTheUsersZoneAndOutOfRangeIsIgnored) {
  struct {
    int32_t Stored;
    int32_t Kept;
  } cases[] = {{0, 0},  {EncodeZone(-6), 94}, {EncodeZone(14), 114}, {EncodeZone(15), 0},
               {7, 0},  {INT32_MIN, 0},       {INT32_MAX, 0}};
  for (const auto& c : cases) {
    std::vector<uint8_t> rec = Record(SampleFrame(0));
    PutInt32(rec, 47580, c.Stored);
    TShowFrame g;
    DecodeFrame(rec, g);
    EXPECT_EQ(g.Zone, c.Kept) << c.Stored;
  }
}

namespace {

struct ShowBytes {
  std::vector<ShortString> Lines;
  std::vector<TShowFrame> Frames;
  std::vector<uint8_t> Bytes;
};

ShowBytes MakeShow(char tag, int pages, int lines) {
  ShowBytes s;
  for (int i = 1; i <= lines; ++i) s.Lines.push_back(Gbk("说明第" + std::to_string(i) + "行"));
  for (int k = 1; k <= pages; ++k) s.Frames.push_back(SampleFrame(k));
  s.Bytes = EncodeShowFile(tag, Gbk("冬季星空"), s.Lines, s.Frames);
  return s;
}

}  // namespace

TEST(ShowFile, BothLayoutsPutTheirItemsAtTheirOffsets) {
  for (char tag : {'F', 'R'}) {
    const ShowBytes s = MakeShow(tag, 2, 3);
    std::span<const uint8_t> b(s.Bytes);
    ASSERT_EQ(b.size(), 1 + 4 + 2 * ShowFrameSize + 256 + 4 + 3 * 256);
    EXPECT_EQ(b[0], static_cast<uint8_t>(tag));
    const size_t framesAt = tag == 'F' ? 1 : 1 + 256 + 4 + 3 * 256;
    const size_t descAt = tag == 'F' ? 1 + 4 + 2 * ShowFrameSize : 1;
    EXPECT_EQ(GetInt32(b, framesAt), 2);
    EXPECT_EQ(GetInt32(b, framesAt + 4 + 47576), 31);                   // page 1 minute
    EXPECT_EQ(GetInt32(b, framesAt + 4 + ShowFrameSize + 47576), 32);   // page 2 minute
    EXPECT_EQ(GetShortString(b, descAt).str(), Utf8ToGbk("冬季星空"));
    EXPECT_EQ(GetInt32(b, descAt + 256), 3);
    EXPECT_EQ(GetShortString(b, descAt + 260 + 2 * 256).str(), Utf8ToGbk("说明第3行"));

    TLecture lecture;
    const TShowLoadResult r = lecture.LoadShowBytes(b, "x.shw", false);
    EXPECT_EQ(r.Status, TShowStatus::Ok) << r.Message;
    EXPECT_EQ(lecture.Count, 2);
    ASSERT_EQ(lecture.Frames.size(), 3u);
    EXPECT_EQ(lecture.Frames[2].Minute, 32);
    EXPECT_EQ(lecture.Title.str(), Utf8ToGbk("冬季星空"));
    EXPECT_EQ(lecture.LineCount, 3);
    EXPECT_EQ(lecture.Lines[2].str(), Utf8ToGbk("说明第2行"));
    EXPECT_EQ(lecture.Lines[MaxShowLines].str(), TLecture::FooterText());
    EXPECT_EQ(lecture.Current, 0);

    TLecture info;
    EXPECT_EQ(info.LoadShowBytes(b, "x.shw", true).Status, TShowStatus::Ok);
    EXPECT_EQ(info.Count, 0);
    EXPECT_EQ(info.Frames.size(), 1u);
    EXPECT_EQ(info.LineCount, 3);
    EXPECT_EQ(info.Title.str(), Utf8ToGbk("冬季星空"));
  }
}

// A page with a field no page can have is refused with the file and the
// page named, before anything plays: impossible dates and times, angles that
// are not numbers or beyond a turn (a glide toward them never arrives), and
// counts and numbers that overflow when stepped or drawn.
TEST(ShowFile, PagesWithImpossibleFieldsAreRefusedNamingThePage) {
  struct Case {
    size_t At;
    bool IsDouble;
    double Value;
    const char* Fault;
  } cases[] = {
      {47564, false, 13, "month 13 is outside 1..12"},
      {47568, false, 99, "day 99 is outside 1..31"},
      {47572, false, 99, "hour 99 is outside 0..23"},
      {47576, false, -1, "minute -1 is outside 0..59"},
      {47604, false, 60, "second 60 is outside 0..59"},
      {47652, false, 5, "step unit 5 is outside 0..4"},
      {47560, false, INT32_MAX, "year 2147483647 is outside -99999..99999"},
      {47568, false, 29, ""},  // 2026-01-29 is a date
      {47644, false, INT32_MIN, "wait -2147483648 is outside 0..108000"},
      {47656, false, INT32_MIN, "step -2147483648 is outside -100000..100000"},
      {47648, false, 8, "glide 8 is outside 0..7"},
      {47600, false, -5, "city -5 is outside 0..800"},
      {47664, false, 5000, "followed object 5000 is outside 0..1100"},
      {47584, true, 1e308, "longitude 1e+308 radians is out of range"},
      {47592, true, std::nan(""), "latitude nan is not a number"},
      {47608, true, INFINITY, "view azimuth inf is not a number"},
      {47616, true, -2.0, "view altitude -2 radians is out of range"},
      {47624, true, 4.0, "field of view 4 is outside 5..180 degrees (0 keeps it)"},
      {47624, true, std::nan(""), "field of view nan is outside 5..180 degrees (0 keeps it)"},
      {47624, true, 180.0, ""},
      {500, false, 4001, "marked star 4001 is outside 0..4000"},
      {27104, false, -7, "line star -7 is outside 0..4000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Fault);
    ShowBytes s = MakeShow('F', 2, 1);
    const size_t at = 1 + 4 + ShowFrameSize + c.At;  // in page 2
    if (c.IsDouble) PutDouble(s.Bytes, at, c.Value);
    else PutInt32(s.Bytes, at, static_cast<int32_t>(c.Value));
    TLecture lecture;
    const TShowLoadResult r = lecture.LoadShowBytes(s.Bytes, "hostile.shw", false);
    if (!*c.Fault) {
      EXPECT_TRUE(r.Loaded()) << r.Message;
      continue;
    }
    EXPECT_EQ(r.Status, TShowStatus::Damaged);
    EXPECT_EQ(r.Message, std::string("skyloom: hostile.shw: the show is damaged (page 2: ") +
                             c.Fault + ")");
    EXPECT_EQ(lecture.Count, 0);
  }
}

// A NUL in any text of a show ends that text: the title, description and
// page texts come back cut there, so none reaches the dialog font.
TEST(ShowFile, ANulEndsEveryTextOfAShow) {
  ShowBytes s = MakeShow('F', 1, 1);
  const size_t page = 1 + 4, title = page + ShowFrameSize, line = title + 256 + 4;
  for (size_t at : {title, line, page + 34500, page + 34756, page + 500 + 20, page + 27700 + 84}) {
    s.Bytes[at] = 3;
    s.Bytes[at + 1] = 'a';
    s.Bytes[at + 2] = 0;
    s.Bytes[at + 3] = 'b';
  }
  TLecture lecture;
  ASSERT_TRUE(lecture.LoadShowBytes(s.Bytes, "nul.shw", false).Loaded());
  const TShowFrame& f = lecture.Frames[1];
  for (const ShortString* text : std::initializer_list<const ShortString*>{
           &lecture.Title, &lecture.Lines[1], &f.Caption, &f.Text[0], &f.StarMarks[0].Text,
           &f.AreaMarks[0].Name})
    EXPECT_EQ(text->str(), "a");
}

TEST(ShowFile, ATruncationAtAnyFieldBoundaryIsRefusedAndNamesTheFile) {
  for (char tag : {'F', 'R'}) {
    const ShowBytes s = MakeShow(tag, 2, 2);
    // Boundaries of every item of the layout, and one byte inside each.
    std::vector<size_t> cuts;
    const size_t frames = 4 + 2 * ShowFrameSize, desc = 256 + 4 + 2 * 256;
    const size_t firstLen = tag == 'F' ? frames : desc;
    for (size_t at : {size_t{1}, size_t{3}, size_t{5}, size_t{5 + 100}, size_t{5 + ShowFrameSize},
                      size_t{5 + ShowFrameSize + 1}})
      cuts.push_back(tag == 'F' ? at : at + desc);
    for (size_t at : {size_t{1}, size_t{100}, size_t{257}, size_t{259}, size_t{261}, size_t{517},
                      size_t{773}})
      cuts.push_back(tag == 'F' ? at + firstLen : at);
    cuts.push_back(s.Bytes.size() - 1);
    for (size_t cut : cuts) {
      if (cut >= s.Bytes.size()) continue;
      TLecture lecture;
      ASSERT_EQ(lecture.LoadShowBytes(MakeShow(tag, 3, 1).Bytes, "old.shw", false).Status,
                TShowStatus::Ok);
      std::span<const uint8_t> part(s.Bytes.data(), cut);
      const TShowLoadResult r = lecture.LoadShowBytes(part, "天文节目/坏.shw", false);
      EXPECT_EQ(r.Status, TShowStatus::Damaged) << tag << " cut " << cut;
      EXPECT_NE(r.Message.find("skyloom: 天文节目/坏.shw: "), std::string::npos) << r.Message;
      EXPECT_EQ(lecture.Count, 0);
      EXPECT_EQ(lecture.Frames.size(), 1u);
      EXPECT_EQ(lecture.LineCount, 1);  // the description says what is wrong
      EXPECT_NE(GbkToUtf8(lecture.Lines[1].view()).find("天文节目/坏.shw"), std::string::npos);
    }
  }
}

TEST(ShowFile, HostileCountsAreRefusedWithoutAllocating) {
  struct {
    char Tag;
    size_t CountAt;  // offset of the count to spoil, in a 1-page 1-line show
    int32_t Value;
  } cases[] = {
      {'F', 1, INT32_MAX},  {'F', 1, -1},         {'F', 1, 2},
      {'F', 1 + 4 + ShowFrameSize + 256, INT32_MAX}, {'F', 1 + 4 + ShowFrameSize + 256, -5},
      {'R', 257, 0x7FFFFFF0}, {'R', 257, INT32_MIN}, {'R', 257 + 4 + 256, 1 << 20},
      {'R', 257 + 4 + 256, 2},
  };
  for (const auto& c : cases) {
    ShowBytes s = MakeShow(c.Tag, 1, 1);
    PutInt32(s.Bytes, c.CountAt, c.Value);
    TLecture lecture;
    const TShowLoadResult r = lecture.LoadShowBytes(s.Bytes, "h.shw", false);
    EXPECT_EQ(r.Status, TShowStatus::Damaged) << c.Tag << " " << c.CountAt << " " << c.Value;
    EXPECT_EQ(lecture.Count, 0);
    EXPECT_EQ(lecture.Frames.size(), 1u);
  }
}

TEST(ShowFile, TooManyDescriptionLinesAreCutAndTrailingBytesReported) {
  ShowBytes s = MakeShow('R', 1, 13);
  TLecture lecture;
  TShowLoadResult r = lecture.LoadShowBytes(s.Bytes, "many.shw", false);
  EXPECT_EQ(r.Status, TShowStatus::Repaired);
  EXPECT_NE(r.Message.find("LineCount 13 cut to 11"), std::string::npos) << r.Message;
  EXPECT_EQ(lecture.LineCount, 11);
  EXPECT_EQ(lecture.Count, 1);  // the pages after the lines are still found
  EXPECT_EQ(lecture.Frames[1].Minute, 31);

  ShowBytes t = MakeShow('F', 1, 1);
  t.Bytes.push_back(0);
  r = lecture.LoadShowBytes(t.Bytes, "long.shw", false);
  EXPECT_EQ(r.Status, TShowStatus::Repaired);
  EXPECT_NE(r.Message.find("1 bytes after the last item"), std::string::npos) << r.Message;
  EXPECT_EQ(lecture.Count, 1);

  ShowBytes u = MakeShow('F', 2, 1);
  PutInt32(u.Bytes, 5 + ShowFrameSize + 4, 500);  // page 2 HighlightCount
  r = lecture.LoadShowBytes(u.Bytes, "cut.shw", false);
  EXPECT_EQ(r.Status, TShowStatus::Repaired);
  EXPECT_NE(r.Message.find("page 2: HighlightCount 500 cut to 20"), std::string::npos)
      << r.Message;
  EXPECT_EQ(lecture.Frames[2].HighlightCount, 20);
}

TEST(ShowFile, UnknownTagAndEmptyFileSayWhatTheFileIs) {
  TLecture lecture;
  std::vector<uint8_t> bytes = MakeShow('F', 1, 1).Bytes;
  bytes[0] = 'X';
  TShowLoadResult r = lecture.LoadShowBytes(bytes, "新版.shw", false);
  EXPECT_EQ(r.Status, TShowStatus::Unknown);
  EXPECT_NE(r.Message.find("新版.shw: not a show this version can read"), std::string::npos);
  EXPECT_EQ(GbkToUtf8(lecture.Title.view()), "未知格式");
  EXPECT_EQ(GbkToUtf8(lecture.Lines[1].view()), "    文件“新版.shw”不是本版本能读取的天文节目。");
  EXPECT_EQ(GbkToUtf8(lecture.Lines[1].view()).find("网站"), std::string::npos);
  EXPECT_EQ(lecture.Count, 0);

  r = lecture.LoadShowBytes({}, "empty.shw", false);
  EXPECT_EQ(r.Status, TShowStatus::Damaged);
}

TEST(ShowFile, MissingFileChangesNothingAndAFolderIsReported) {
  TLecture lecture;
  ASSERT_TRUE(lecture.LoadShowBytes(MakeShow('F', 2, 1).Bytes, "a.shw", false).Loaded());
  EXPECT_EQ(lecture.LoadShow("no-such-folder/none.shw").Status, TShowStatus::Missing);
  EXPECT_EQ(lecture.Count, 2);

  const std::string dir = std::string(SKYLOOM_BINARY_DIR) + "/tests";
  const TShowLoadResult r = lecture.LoadShow(dir);
  EXPECT_EQ(r.Status, TShowStatus::Unreadable);
  EXPECT_EQ(r.Message.rfind("skyloom: " + dir + ": cannot open the show (", 0), 0u) << r.Message;
  EXPECT_EQ(lecture.Count, 0);
}

TEST(ShowFile, LoadsFromDisk) {
  const std::string path = std::string(SKYLOOM_BINARY_DIR) + "/tests/show-file-test.shw";
  const std::vector<uint8_t> bytes = MakeShow('R', 3, 2).Bytes;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  TLecture lecture;
  EXPECT_EQ(lecture.LoadShow(path).Status, TShowStatus::Ok);
  EXPECT_EQ(lecture.Count, 3);
  EXPECT_EQ(lecture.LoadShowInfo(path).Status, TShowStatus::Ok);
  EXPECT_EQ(lecture.Count, 0);
  EXPECT_EQ(lecture.LineCount, 2);
}
