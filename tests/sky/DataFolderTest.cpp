// Where the program finds its data (a named folder, its own folder in a
// build, ../share/skyloom when installed) and the user's show folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "DataFolder.h"
#include "SkyTestFiles.h"

namespace {

// Sets an environment variable (or removes it) for one scope.
class TEnv {
 public:
  TEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~TEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// An installed tree (prefix/bin, prefix/share/skyloom with data), a build's
// runtime folder (program and data together) and a folder without data.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"prefix/bin", "prefix/share/skyloom", "runtime", "empty"})
      std::filesystem::create_directories(tmp / d);
    WriteText(tmp / "prefix/share/skyloom/StarData.dat", "x");
    WriteText(tmp / "runtime/StarData.dat", "x");
  }
  TTempFolder tmp;
};

TEST_F(DataFolderTest, FoundBesideTheProgramOrNamed) {
  struct Case {
    const char* what;
    std::string program;
    std::optional<std::string> named;
    std::string expected;
  };
  const Case cases[] = {
      {"installed: ../share/skyloom", tmp / "prefix/bin", std::nullopt, tmp / "prefix/share/skyloom"},
      {"a build: the program's own folder", tmp / "runtime", std::nullopt, tmp / "runtime"},
      {"named, wins over the program's folder", tmp / "runtime", tmp / "prefix/share/skyloom",
       tmp / "prefix/share/skyloom"},
      {"an empty name counts as none", tmp / "runtime", std::string(), tmp / "runtime"},
  };
  for (const Case& c : cases) {
    TEnv env(DataFolderVariable, c.named);
    std::string error = "stale";
    const std::string found = FindDataFolder(c.program, error);
    EXPECT_EQ(std::filesystem::path(found), std::filesystem::canonical(c.expected)) << c.what;
    EXPECT_EQ(error, "") << c.what;
  }
}

TEST_F(DataFolderTest, MissingDataNameTheFoldersLookedIn) {
  {
    TEnv env(DataFolderVariable, std::nullopt);
    std::string error;
    EXPECT_EQ(FindDataFolder(tmp / "empty", error), "");
    EXPECT_EQ(error.rfind("StarData.dat: the program's data are not found (looked in ", 0), 0u) << error;
    EXPECT_NE(error.find(std::filesystem::canonical(tmp / "empty").string() + " and "), std::string::npos)
        << error;
    EXPECT_NE(error.find(tmp.Path() + "/share/skyloom"), std::string::npos) << error;
    EXPECT_NE(error.find("SKYLOOM_DATA"), std::string::npos) << error;
  }
  {
    // A folder named outright is the only one looked in.
    TEnv env(DataFolderVariable, tmp / "empty");
    std::string error;
    EXPECT_EQ(FindDataFolder(tmp / "runtime", error), "");
    EXPECT_EQ(error, tmp / "empty" + "/StarData.dat: the program's data are not there (the folder named by "
                                     "SKYLOOM_DATA)");
  }
}

TEST(UserShowFolder, FollowsXdgDataHomeElseHome) {
  {
    TEnv data("XDG_DATA_HOME", "/srv/x");
    EXPECT_EQ(UserShowFolder(), "/srv/x/skyloom/shows");
  }
  {
    // A relative XDG_DATA_HOME is ignored, as the XDG rules say.
    TEnv data("XDG_DATA_HOME", "relative");
    TEnv home("HOME", "/home/t");
    EXPECT_EQ(UserShowFolder(), "/home/t/.local/share/skyloom/shows");
  }
  {
    TEnv data("XDG_DATA_HOME", std::nullopt);
    TEnv home("HOME", std::nullopt);
    EXPECT_EQ(UserShowFolder(), "");
  }
}

}  // namespace
