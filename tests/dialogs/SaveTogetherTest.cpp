// Saving the settings and Config.dat as one: a failed writer leaves every
// file as it was before the save.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileIo.h"
#include "SaveTogether.h"

namespace {

std::string Read(const std::string& path) {
  std::vector<uint8_t> b;
  if (ReadFilePrefix(path, 1 << 20, b) != TReadResult::Ok) return "<none>";
  return std::string(b.begin(), b.end());
}

TEST(SaveTogether, AFailedWriterChangesNoFile) {
  struct Case {
    const char* Name;
    const char* FirstBefore;   // nullptr: the file does not exist
    const char* SecondBefore;
    bool FirstWorks, SecondWorks;
    bool Saved;
  };
  const Case cases[] = {
      {"both written", "old settings", "old config", true, true, true},
      {"both new", nullptr, nullptr, true, true, true},
      {"second fails: first put back", "old settings", "old config", true, false, false},
      {"second fails: new first removed", nullptr, "old config", true, false, false},
      {"first fails", "old settings", nullptr, false, true, false},
  };
  const auto base = std::filesystem::temp_directory_path() /
                    ("skyloom-save-test-" + std::to_string(::getpid()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    const std::string first = (base / "settings").string(), second = (base / "Config.dat").string();
    if (c.FirstBefore) {
      ASSERT_TRUE(WriteFileAtomic(first, std::string(c.FirstBefore)));
    }
    if (c.SecondBefore) {
      ASSERT_TRUE(WriteFileAtomic(second, std::string(c.SecondBefore)));
    }
    int secondCalls = 0;
    const std::vector<TSaveStep> steps = {
        {first,
         [&](std::string& m) {
           if (!c.FirstWorks) {
             m = first + ": disk full";
             return false;
           }
           return WriteFileAtomic(first, std::string("new settings"));
         }},
        {second,
         [&](std::string& m) {
           ++secondCalls;
           if (!c.SecondWorks) {
             m = second + ": disk full";
             return false;
           }
           return WriteFileAtomic(second, std::string("new config"));
         }},
    };
    std::string message;
    EXPECT_EQ(SaveTogether(steps, message), c.Saved);
    if (c.Saved) {
      EXPECT_EQ(Read(first), "new settings");
      EXPECT_EQ(Read(second), "new config");
    } else {
      EXPECT_EQ(Read(first), c.FirstBefore ? c.FirstBefore : "<none>");
      EXPECT_EQ(Read(second), c.SecondBefore ? c.SecondBefore : "<none>");
      EXPECT_NE(message.find("disk full"), std::string::npos);
    }
    EXPECT_EQ(secondCalls, c.FirstWorks ? 1 : 0);
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(base)) files += e.is_regular_file();
    EXPECT_EQ(files, int(c.Saved ? 2 : (c.FirstBefore != nullptr) + (c.SecondBefore != nullptr)));
  }
  // A file in the way that cannot be read back (a folder) stops the save
  // before anything is written.
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "Config.dat");
  const std::string first = (base / "settings").string();
  bool wrote = false;
  std::string message;
  EXPECT_FALSE(SaveTogether({{first, [&](std::string&) { return wrote = true; }},
                             {(base / "Config.dat").string(), [](std::string&) { return true; }}},
                            message));
  EXPECT_FALSE(wrote);
  EXPECT_NE(message.find("Config.dat"), std::string::npos);
  std::filesystem::remove_all(base);
}

}  // namespace
