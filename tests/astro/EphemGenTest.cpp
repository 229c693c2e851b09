// The table generator refuses tables that differ from the published ones
// (and malformed, cut or missing files) and leaves no output behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path Source = SKYLOOM_SOURCE_DIR "/data/ephemeris";
const fs::path Generator = SKYLOOM_BINARY_DIR "/tools/ephemgen/skyloom-ephemgen";

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

struct TCase {
  const char* Name;
  const char* File;
  const char* Find;     // nullptr: cut the file in half; "" with Replace nullptr: delete it
  const char* Replace;
};

class EphemGen : public ::testing::Test {
 protected:
  fs::path Dir, Out;
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("skyloom-ephemgen-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    for (const auto& e : fs::directory_iterator(Source)) fs::copy_file(e.path(), Dir / e.path().filename());
    Out = Dir / "out.cpp";
  }
  void TearDown() override { fs::remove_all(Dir); }
  int Run() {
    std::string cmd;
    for (const std::string& arg : {Generator.string(), Dir.string(), Out.string()}) {
      cmd += '"';
      cmd += arg;
      cmd += "\" ";
    }
    cmd += "2>\"";
    cmd += (Dir / "stderr.txt").string();
    cmd += '"';
    return std::system(cmd.c_str());
  }
};

TEST_F(EphemGen, PublishedTablesPass) {
  ASSERT_TRUE(fs::exists(Generator)) << Generator;
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(fs::exists(Out));
  EXPECT_FALSE(fs::exists(Dir / "out.cpp.tmp"));
}

TEST_F(EphemGen, DifferencesFromThePublishedTablesFail) {
  ASSERT_TRUE(fs::exists(Generator)) << Generator;
  const TCase cases[] = {
      {"MaxHarmonic row", "mercury.txt", "max_harmonic 11 14 10 11 4 5 2 0 0",
       "max_harmonic 11 14 10 11 4 5 3 0 0"},
      {"Distance", "venus.txt", "distance 7.2332982000000001e-01", "distance 7.2332983e-01"},
      {"lunar term count", "moon_lr.txt", "periodic_terms 631", "periodic_terms 360"},
      {"Earth term count", "earth_vsop87b.txt", "count L 623", "count L 622"},
      {"term removed", "jupiter.txt", "\n3 2 5 -6 6 3 7 0\n", "\n"},
      {"multiple beyond MaxHarmonic", "neptune.txt", "\n2 1 7 -2 8 0\n", "\n2 1 7 -12 8 0\n"},
      {"not a number", "pluto.txt", "begin lon 604\n", "begin lon 604\n1.0);abort(\n"},
      {"cut short", "mars.txt", nullptr, nullptr},
      {"missing", "saturn.txt", "", nullptr},
      {"argument phase", "plan404_args.txt", "252.25090552", "252.25090553"},
  };
  for (const TCase& c : cases) {
    const fs::path file = Dir / c.File;
    const std::string original = ReadAll(Source / c.File);
    if (!c.Find) {
      WriteAll(file, original.substr(0, original.size() / 2));
    } else if (!c.Replace) {
      fs::remove(file);
    } else {
      size_t at = original.find(c.Find);
      ASSERT_NE(at, std::string::npos) << c.Name;
      std::string changed = original;
      changed.replace(at, std::string(c.Find).size(), c.Replace);
      WriteAll(file, changed);
    }
    WriteAll(Out, "stale");
    EXPECT_NE(Run(), 0) << c.Name;
    EXPECT_FALSE(fs::exists(Out)) << c.Name;
    EXPECT_NE(ReadAll(Dir / "stderr.txt").find(c.File), std::string::npos)
        << c.Name << ": " << ReadAll(Dir / "stderr.txt");
    WriteAll(file, original);
  }
}

}  // namespace
