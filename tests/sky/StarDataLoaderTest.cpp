// Reading "StarData.dat" into the model: fields at their documented offsets,
// short, long, missing and unreadable files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "SkyModel.h"
#include "SkyTestFiles.h"
#include "StarData.h"

namespace {

constexpr size_t FullSize = 1028800;

// A hand-made file image with one marked record in every block, written by
// offset arithmetic alone.
std::vector<uint8_t> MarkedImage() {
  std::vector<uint8_t> b(FullSize, 0);
  // Star 2.
  Raw::PutDouble(b, 64 + 0, 1.25);
  Raw::PutDouble(b, 64 + 8, -0.5);
  Raw::PutInt(b, 64 + 16, 37);
  Raw::PutInt(b, 64 + 20, 14);
  b[64 + 56] = 'b';
  // Star 4000, the last record of block 1.
  Raw::PutInt(b, 255936 + 16, 99);
  // Constellation line 3: stars 5-6, owner 7; line 4 unused (owner 0).
  Raw::PutInt(b, 256000 + 24 + 0, 5);
  Raw::PutInt(b, 256000 + 24 + 4, 6);
  Raw::PutInt(b, 256000 + 24 + 8, 7);
  Raw::PutInt(b, 256000 + 36 + 0, 1);
  Raw::PutInt(b, 256000 + 36 + 4, 2);
  // Constellation 2.
  Raw::PutStr(b, 268000 + 1072 + 5, "\xC6\xBD");  // GBK bytes kept as they are
  Raw::PutStr(b, 268000 + 1072 + 261, "Antlia");
  Raw::PutStr(b, 268000 + 1072 + 773, "Ant");
  Raw::PutDouble(b, 268000 + 1072 + 1032, 2.5);
  Raw::PutDouble(b, 268000 + 1072 + 1040, -0.6);
  // Star name 1.
  Raw::PutInt(b, 375200 + 0, 1);
  Raw::PutStr(b, 375200 + 260, "Sirius");
  Raw::PutInt(b, 375200 + 516, 2);
  // Boundary point 1600.
  Raw::PutDouble(b, 427200 + 1599 * 64 + 8, 0.25);
  Raw::PutInt(b, 427200 + 1599 * 64 + 16, 1);
  // Messier 100.
  Raw::PutDouble(b, 529600 + 99 * 64, 3.0);
  Raw::PutStr(b, 536000 + 99 * 520 + 4, "M");
  Raw::PutStr(b, 536000 + 99 * 520 + 260, "M104");
  // Asterism line 1000 and asterism 400.
  Raw::PutInt(b, 588000 + 999 * 12 + 8, 400);
  Raw::PutStr(b, 600000 + 399 * 1072 + 5, "X");
  Raw::PutDouble(b, 600000 + 399 * 1072 + 1040, 0.75);
  return b;
}

class StarDataLoad : public ::testing::Test {
 protected:
  std::unique_ptr<TSkyloom> sky = std::make_unique<TSkyloom>();
  TTempFolder tmp;
  std::string file = tmp / "StarData.dat";
};

TEST_F(StarDataLoad, FieldsComeFromTheirOffsets) {
  WriteBytes(file, MarkedImage());
  ASSERT_TRUE(LoadStarDataFrom(*sky, file));
  EXPECT_EQ(sky->StarCount, 3144);
  const TSkyPoint& s = sky->Stars[2];
  EXPECT_EQ(s.Lon, 1.25);
  EXPECT_EQ(s.Lat, -0.5);
  EXPECT_EQ(s.Mag, 37);
  EXPECT_EQ(s.Owner, 14);
  EXPECT_EQ(s.Greek, 'b');
  EXPECT_EQ(sky->Stars[4000].Mag, 99);
  EXPECT_EQ(sky->ConstLines[3].StarA, 5);
  EXPECT_EQ(sky->ConstLines[3].StarB, 6);
  EXPECT_EQ(sky->ConstLines[3].Owner, 7);
  EXPECT_EQ(sky->ConstLines[4].StarA, 1);
  EXPECT_EQ(sky->ConstLines[4].Owner, 0);  // an unused slot stays unused
  EXPECT_EQ(sky->Consts[2].Name.str(), "\xC6\xBD");
  EXPECT_EQ(sky->Consts[2].EName.str(), "Antlia");
  EXPECT_EQ(sky->Consts[2].EShort.str(), "Ant");
  EXPECT_EQ(sky->Consts[2].Lon, 2.5);
  EXPECT_EQ(sky->Consts[2].Lat, -0.6);
  EXPECT_EQ(sky->StarNames[1].Star, 1);
  EXPECT_EQ(sky->StarNames[1].EName.str(), "Sirius");
  EXPECT_EQ(sky->StarNames[1].Kind, 2);
  EXPECT_EQ(sky->Bounds[1600].Lat, 0.25);
  EXPECT_EQ(sky->Bounds[1600].Mag, 1);
  EXPECT_EQ(sky->Messier[100].Lon, 3.0);
  EXPECT_EQ(sky->MessierNames[100].Code.str(), "M104");
  EXPECT_EQ(sky->OfficeLines[1000].Owner, 400);
  EXPECT_EQ(sky->Offices[400].Name.str(), "X");
  EXPECT_EQ(sky->Offices[400].Lat, 0.75);
}

// A file of any length: what it reaches is filled, the rest stays empty, and
// StarCount is 3144 whatever the file holds.
TEST_F(StarDataLoad, ShortAndLongFiles) {
  struct Case {
    size_t Size;
    bool Stars, Lines, Consts, LastOffice;
  } cases[] = {
      {0, false, false, false, false},
      {256000, true, false, false, false},       // stars only
      {256000 + 30, true, false, false, false},  // line 3 is cut before its Owner
      {600000 + 399 * 1072, true, true, true, false},
      {FullSize, true, true, true, true},
      {FullSize + 5000, true, true, true, true},  // surplus ignored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Size);
    std::vector<uint8_t> image = MarkedImage();
    image.resize(c.Size, 0x7F);
    WriteBytes(file, image);
    auto model = std::make_unique<TSkyloom>();
    ASSERT_TRUE(LoadStarDataFrom(*model, file));
    EXPECT_EQ(model->StarCount, 3144);
    EXPECT_EQ(model->Stars[2].Mag == 37, c.Stars);
    EXPECT_EQ(model->ConstLines[3].Owner == 7, c.Lines);
    EXPECT_EQ(model->Consts[2].EName.str() == "Antlia", c.Consts);
    EXPECT_EQ(model->Offices[400].Name.str() == "X", c.LastOffice);
    if (!c.Consts) {
      EXPECT_TRUE(model->Consts[2].Name.empty());
      EXPECT_EQ(model->Bounds[1600].Mag, 0);
      EXPECT_TRUE(model->MessierNames[100].Code.empty());
    }
  }
}

TEST_F(StarDataLoad, PartialRecordKeepsWhatWasRead) {
  std::vector<uint8_t> image = MarkedImage();
  image.resize(256000 + 24 + 4);  // line 3: StarA only
  WriteBytes(file, image);
  ASSERT_TRUE(LoadStarDataFrom(*sky, file));
  EXPECT_EQ(sky->ConstLines[3].StarA, 5);
  EXPECT_EQ(sky->ConstLines[3].StarB, 0);
  EXPECT_EQ(sky->ConstLines[3].Owner, 0);
}

TEST_F(StarDataLoad, MissingOrUnreadableFileLeavesTheModelEmpty) {
  EXPECT_FALSE(LoadStarDataFrom(*sky, tmp / "absent.dat"));
  EXPECT_EQ(sky->StarCount, 0);
  std::filesystem::create_directory(tmp / "folder.dat");
  EXPECT_FALSE(LoadStarDataFrom(*sky, tmp / "folder.dat"));  // exists, cannot be read
  EXPECT_EQ(sky->StarCount, 0);
  EXPECT_EQ(sky->Stars[1].Owner, 0);
}

// The catalogue is the whole sky: when it is missing, cut short or in the
// wrong shape, stderr says so (the program runs on with what was read).
TEST_F(StarDataLoad, EveryDamagedCatalogueIsReported) {
  const struct {
    const char* Name;
    size_t Size;  // bytes written; SIZE_MAX: no file, SIZE_MAX - 1: a folder, SIZE_MAX - 2: a pipe
    const char* Says;  // nullptr: nothing said
  } cases[] = {
      {"absent.dat", SIZE_MAX, ": missing; the sky has no stars"},
      {"folder.dat", SIZE_MAX - 1, ": cannot be read; no catalogue loaded (is a folder)"},
      {"pipe.dat", SIZE_MAX - 2, ": cannot be read; no catalogue loaded (not a regular file)"},
      {"empty.dat", 0, "shorter than a catalogue; the tables past its end stay empty "
                       "(0 bytes, 1028800 bytes expected)"},
      {"cut.dat", 256000 + 7, "(256007 bytes, 1028800 bytes expected)"},
      {"long.dat", FullSize + 1, "longer than a catalogue; the bytes past its layout are ignored "
                                 "(1028801 bytes, 1028800 bytes expected)"},
      {"whole.dat", FullSize, nullptr},
  };
  for (const auto& c : cases) {
    const std::string path = tmp / c.Name;
    if (c.Size == SIZE_MAX - 1) std::filesystem::create_directory(path);
    else if (c.Size == SIZE_MAX - 2) ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    else if (c.Size != SIZE_MAX) WriteBytes(path, std::vector<uint8_t>(c.Size, 0));
    testing::internal::CaptureStderr();
    LoadStarDataFrom(*sky, path);
    const std::string said = testing::internal::GetCapturedStderr();
    if (c.Says) {
      EXPECT_NE(said.find(c.Says), std::string::npos) << c.Name << ": " << said;
      EXPECT_EQ(said.rfind("skyloom: " + path + ": ", 0), 0u) << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "said once: " << said;
    } else {
      EXPECT_EQ(said, "") << c.Name;
    }
  }
}

// A file one byte too long is read in its layout: every record where it
// belongs, the surplus byte ignored (and reported above).
TEST_F(StarDataLoad, LongerFileKeepsEveryRecordInPlace) {
  std::vector<uint8_t> image = MarkedImage();
  image.push_back(0x5a);
  WriteBytes(file, image);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadStarDataFrom(*sky, file));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(sky->Stars[2].Lon, 1.25);
  EXPECT_EQ(sky->Stars[2].Lat, -0.5);
  EXPECT_EQ(sky->Stars[4000].Mag, 99);
  EXPECT_EQ(sky->Consts[2].Lon, 2.5);
}

TEST_F(StarDataLoad, NonFiniteAnglesReadAsZero) {
  std::vector<uint8_t> image(64, 0);
  Raw::PutDouble(image, 0, std::numeric_limits<double>::quiet_NaN());
  Raw::PutDouble(image, 8, -std::numeric_limits<double>::infinity());
  Raw::PutInt(image, 16, 12);
  WriteBytes(file, image);
  ASSERT_TRUE(LoadStarDataFrom(*sky, file));
  EXPECT_EQ(sky->Stars[1].Lon, 0.0);
  EXPECT_EQ(sky->Stars[1].Lat, 0.0);
  EXPECT_EQ(sky->Stars[1].Mag, 12);
}

TEST_F(StarDataLoad, MemberReadsTheWorkingFolder) {
  WriteBytes(file, MarkedImage());
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(tmp.Path());
  sky->LoadStarData();
  std::filesystem::current_path(old);
  EXPECT_EQ(sky->StarCount, 3144);
  EXPECT_EQ(sky->Stars[2].Owner, 14);
}

// The writer and the reader agree on every table: the compiled catalogue
// written again from the loaded model is byte for byte the same.
TEST(StarDataRoundTrip, CompiledCatalogueSurvivesLoadAndWrite) {
  const std::string compiled = std::string(SKYLOOM_RUNTIME_DIR) + "/StarData.dat";
  auto sky = std::make_unique<TSkyloom>();
  ASSERT_TRUE(LoadStarDataFrom(*sky, compiled));
  TTempFolder tmp;
  ASSERT_TRUE(WriteStarData(*sky, tmp / "again.dat"));
  EXPECT_TRUE(ReadBytes(tmp / "again.dat") == ReadBytes(compiled));
}

}  // namespace
