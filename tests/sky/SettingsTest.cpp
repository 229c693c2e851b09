// Observer settings in the per-user store: first run, round trip, the repair
// rules for damaged keys and files, and the saved place.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Settings.h"
#include "SettingsStore.h"
#include "SkyModel.h"
#include "SkyTestFiles.h"

namespace {

constexpr double Deg = M_PI / 180.0;

// Points the store at a fresh temporary folder for the test's duration.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadOld = old != nullptr;
    if (old) oldValue = old;
    ::setenv("XDG_CONFIG_HOME", tmp.Path().c_str(), 1);
    InitSkyModel(*sky);
  }
  void TearDown() override {
    if (hadOld)
      ::setenv("XDG_CONFIG_HOME", oldValue.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  std::string Folder() const { return tmp / "skyloom"; }
  std::string File() const { return Folder() + "/settings"; }
  void WriteStore(const std::string& text) {
    std::filesystem::create_directories(Folder());
    WriteText(File(), text);
  }
  // A model that has read a stored key holding `line` beside a latitude of
  // 0.5; `said` gets what it wrote on stderr.
  std::unique_ptr<TSkyloom> LoadWithLine(const std::string& line, std::string& said) {
    WriteStore(Key(LatitudeHalf) + line);
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    testing::internal::CaptureStderr();
    m->LoadSettings();
    said = testing::internal::GetCapturedStderr();
    return m;
  }
  // A complete key as the program writes it, with the given Latitude line.
  static std::string Key(const std::string& latitudeLine, bool withCity = true) {
    return "[\\Software\\Skyloom\\]\n" + latitudeLine +
           "\"Longitude\"=hex:00,00,00,00,00,00,00,40\n"  // 2.0
           "\"TimeZone\"=dword:fffffffb\n"                   // -5
           "\"Mode1\"=dword:ffffffff\n"
           "\"Mode2\"=dword:80000800\n"
           "\"Mode3\"=dword:00000000\n"
           "\"Mode4\"=dword:00000007\n" +
           (withCity ? "\"City\"=dword:0000002a\n" : "");  // 42
  }
  static constexpr const char* LatitudeHalf = "\"Latitude\"=hex:00,00,00,00,00,00,e0,3f\n";  // 0.5

  TTempFolder tmp;
  std::unique_ptr<TSkyloom> sky = std::make_unique<TSkyloom>();
  bool hadOld = false;
  std::string oldValue;
};

TEST_F(SettingsTest, FirstRunKeepsTheDefaultsAndWritesNothing) {
  sky->LoadSettings();
  EXPECT_NEAR(sky->Latitude, 40 * Deg, 1e-12);
  EXPECT_NEAR(sky->Longitude, -120 * Deg, 1e-12);
  EXPECT_EQ(sky->TimeZone, 0);
  EXPECT_EQ(sky->Mode1, 0u);
  EXPECT_EQ(sky->Mode2, 0u);
  EXPECT_EQ(sky->Mode3, 0x10000u);
  EXPECT_EQ(sky->Mode4, 0u);
  EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(SettingsTest, SavedValuesComeBack) {
  sky->Latitude = -0.3141592653589793;
  sky->Longitude = 2.0343;
  sky->TimeZone = -7;
  sky->Mode1 = 0x25;
  sky->Mode2 = 0x1F00;
  sky->Mode3 = 0x1'0001'0000;  // only the low 32 bits are kept
  sky->Mode4 = 3;
  sky->City = 123;
  sky->FieldOfView = 20.5;
  sky->SaveSettings();
  ASSERT_TRUE(std::filesystem::exists(File()));
  for (const auto& e : std::filesystem::directory_iterator(Folder()))
    EXPECT_EQ(e.path().filename(), "settings") << "temporary file left behind";

  auto other = std::make_unique<TSkyloom>();
  InitSkyModel(*other);
  other->LoadSettings();
  EXPECT_EQ(other->Latitude, sky->Latitude);
  EXPECT_EQ(other->Longitude, sky->Longitude);
  EXPECT_EQ(other->TimeZone, -7);
  EXPECT_EQ(other->Mode1, 0x25u);
  EXPECT_EQ(other->Mode2, 0x1F00u);
  EXPECT_EQ(other->Mode3, 0x10000u);
  EXPECT_EQ(other->Mode4, 3u);
  EXPECT_EQ(other->City, 123);
  EXPECT_EQ(other->FieldOfView, 20.5);
}

// The field of view: a file without it (an older version) keeps the
// model's field silently; a damaged or out-of-range one is named and
// repaired with the model's field, and the rest of the file is taken.
TEST_F(SettingsTest, TheFieldOfViewIsReadAndADamagedOneRepaired) {
  const struct {
    const char* What;
    const char* Line;
    double Field;
    const char* Named;
  } cases[] = {
      {"missing", "", DefaultFieldOfView, nullptr},
      {"30 degrees", "\"FieldOfView\"=hex:00,00,00,00,00,00,3e,40\n", 30, nullptr},
      {"4 degrees", "\"FieldOfView\"=hex:00,00,00,00,00,00,10,40\n", DefaultFieldOfView, "4 degrees"},
      {"200 degrees", "\"FieldOfView\"=hex:00,00,00,00,00,00,69,40\n", DefaultFieldOfView, "200 degrees"},
      {"NaN", "\"FieldOfView\"=hex:00,00,00,00,00,00,f8,7f\n", DefaultFieldOfView, "nan"},
      {"two bytes", "\"FieldOfView\"=hex:01,02\n", DefaultFieldOfView, "FieldOfView"},
      {"a number", "\"FieldOfView\"=dword:0000001e\n", DefaultFieldOfView, "FieldOfView"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    std::string said;
    const auto m = LoadWithLine(c.Line, said);
    EXPECT_EQ(m->FieldOfView, c.Field);
    EXPECT_EQ(m->Latitude, 0.5);
    EXPECT_EQ(m->City, 42);
    if (!c.Named) {
      EXPECT_EQ(said, "");
      continue;
    }
    EXPECT_NE(said.find("\"FieldOfView\" not taken; repaired"), std::string::npos) << said;
    EXPECT_NE(said.find(c.Named), std::string::npos) << said;
    auto again = std::make_unique<TSkyloom>();
    again->FieldOfView = 99;
    testing::internal::CaptureStderr();
    again->LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(again->FieldOfView, DefaultFieldOfView);
  }
}

// The interface scale: 0 (automatic) or 1..3 is taken; another value is
// named and repaired with the model's scale, the rest of the file taken.
TEST_F(SettingsTest, TheInterfaceScaleIsReadAndABadOneRepaired) {
  const struct {
    const char* What;
    const char* Line;
    double Scale;
    bool Named;
  } cases[] = {
      {"missing", "", 0, false},
      {"automatic", "\"InterfaceScale\"=hex:00,00,00,00,00,00,00,00\n", 0, false},
      {"1.5", "\"InterfaceScale\"=hex:00,00,00,00,00,00,f8,3f\n", 1.5, false},
      {"0.5", "\"InterfaceScale\"=hex:00,00,00,00,00,00,e0,3f\n", 0, true},
      {"5", "\"InterfaceScale\"=hex:00,00,00,00,00,00,14,40\n", 0, true},
      {"two bytes", "\"InterfaceScale\"=hex:01,02\n", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    std::string said;
    const auto m = LoadWithLine(c.Line, said);
    EXPECT_EQ(m->InterfaceScale, c.Scale);
    EXPECT_EQ(m->Latitude, 0.5);
    EXPECT_EQ(said.find("\"InterfaceScale\" not taken; repaired") != std::string::npos, c.Named)
        << said;
    if (!c.Named) continue;
    auto again = std::make_unique<TSkyloom>();
    again->InterfaceScale = 2;
    testing::internal::CaptureStderr();
    again->LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(again->InterfaceScale, 0);
  }
}

TEST_F(SettingsTest, StoredModesAreSignExtended) {
  WriteStore(Key(LatitudeHalf));
  sky->LoadSettings();
  EXPECT_EQ(sky->Latitude, 0.5);
  EXPECT_EQ(sky->Longitude, 2.0);
  EXPECT_EQ(sky->TimeZone, -5);
  EXPECT_EQ(sky->Mode1, ~uint64_t{0});
  EXPECT_EQ(sky->Mode2, 0xFFFF'FFFF'8000'0800u);
  EXPECT_EQ(sky->Mode3, 0u);
  EXPECT_EQ(sky->Mode4, 7u);
  EXPECT_EQ(sky->City, 42);
}

// Each value is read on its own: a bad one is named on stderr and repaired
// from the model, and every other value of the file is kept.
TEST_F(SettingsTest, OneBadValueKeepsTheOthers) {
  auto replace = [](const std::string& line, const std::string& by) {
    std::string k = Key(LatitudeHalf);
    k.replace(k.find(line), line.size(), by);
    return k;
  };
  struct Case {
    const char* What;
    std::string Store;
    const char* Bad;     // the one value not taken
    const char* Reason;
  } cases[] = {
      {"Latitude as an integer", Key("\"Latitude\"=dword:00000005\n"), "Latitude",
       "not a binary value"},
      {"Latitude of 4 bytes", Key("\"Latitude\"=hex:00,00,e0,3f\n"), "Latitude",
       "4 bytes, not 8"},
      {"Latitude unparsable", Key("\"Latitude\"=hex:zz,00\n"), "Latitude", "an unreadable line"},
      {"Latitude missing", Key(""), "Latitude", "missing"},
      {"Latitude of 2 radians", Key("\"Latitude\"=hex:00,00,00,00,00,00,00,40\n"), "Latitude",
       "2 radians, out of range"},
      {"Longitude as text", replace("\"Longitude\"=hex:00,00,00,00,00,00,00,40\n",
                                    "\"Longitude\"=east\n"), "Longitude", "an unreadable line"},
      {"TimeZone of 15", replace("\"TimeZone\"=dword:fffffffb\n", "\"TimeZone\"=dword:0000000f\n"),
       "TimeZone", "15, outside -12..14"},
      {"Mode2 binary", replace("\"Mode2\"=dword:80000800\n", "\"Mode2\"=hex:01\n"), "Mode2",
       "not a 32-bit integer"},
      {"City missing", Key(LatitudeHalf, false), "City", "missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    WriteStore(c.Store);
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    m->City = 9;
    testing::internal::CaptureStderr();
    m->LoadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "skyloom: " + File() + ": \"" + c.Bad +
                        "\" not taken; repaired with the current setting (" + c.Reason + ")\n");
    const std::string bad = c.Bad;
    EXPECT_EQ(m->Latitude, bad == "Latitude" ? 40 * Deg : 0.5);
    EXPECT_EQ(m->Longitude, bad == "Longitude" ? -120 * Deg : 2.0);
    EXPECT_EQ(m->TimeZone, bad == "TimeZone" ? 0 : -5);
    EXPECT_EQ(m->Mode1, ~uint64_t{0});
    EXPECT_EQ(m->Mode2, bad == "Mode2" ? 0u : 0xFFFF'FFFF'8000'0800u);
    EXPECT_EQ(m->Mode4, 7u);
    EXPECT_EQ(m->City, bad == "City" ? 9 : 42);
    // The rewritten key loads completely and silently with the model's values.
    auto again = std::make_unique<TSkyloom>();
    testing::internal::CaptureStderr();
    again->LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(again->Latitude, m->Latitude);
    EXPECT_EQ(again->Longitude, m->Longitude);
    EXPECT_EQ(again->TimeZone, m->TimeZone);
    EXPECT_EQ(again->Mode1, m->Mode1);
    EXPECT_EQ(again->Mode2, m->Mode2);
    EXPECT_EQ(again->Mode4, m->Mode4);
    EXPECT_EQ(again->City, m->City);
  }
}

// A file with no readable key at all is repaired whole from the model.
TEST_F(SettingsTest, FileWithoutAKeyIsRepairedFromTheModel) {
  for (const std::string& store :
       {std::string("\x01\x02\0\xff[junk\n\"x\"=q\n", 17), std::string()}) {
    WriteStore(store);
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    m->City = 9;
    testing::internal::CaptureStderr();
    m->LoadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no readable settings in the file"), std::string::npos) << said;
    auto again = std::make_unique<TSkyloom>();
    again->LoadSettings();
    EXPECT_EQ(again->Latitude, m->Latitude);
    EXPECT_EQ(again->City, 9);
  }
}

// What the program cannot read it never replaces, and an unattended run
// never writes: in each case the file's bytes stay as they were, through a
// load, a place read and a save.
TEST_F(SettingsTest, FilesThatMustNotBeWrittenKeepTheirBytes) {
  struct Case {
    const char* What;
    std::string Store;  // empty: a folder in the file's place
    bool Unattended;
    const char* Says;
  } cases[] = {
      {"a folder", "", false, "cannot be read; the settings are not loaded or saved (is a folder)"},
      {"larger than 1 MiB", Key("\"Latitude\"=dword:1\n") + std::string(1 << 20, ';'), false,
       "cannot be read; the settings are not loaded or saved (larger than 1048576 bytes)"},
      {"a bad value in an unattended run", Key("\"Latitude\"=dword:00000005\n"), true,
       "\"Latitude\" not taken; the current setting is used (the file is not changed by an "
       "unattended run) (not a binary value)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::filesystem::remove_all(Folder());
    if (c.Store.empty()) std::filesystem::create_directories(File());
    else WriteStore(c.Store);
    const std::string before = c.Store.empty() ? "" : ReadText(File());
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    m->SettingsReadOnly = c.Unattended;
    testing::internal::CaptureStderr();
    m->LoadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "skyloom: " + File() + ": " + c.Says + "\n");
    double lat, lon;
    int zone, city;
    testing::internal::CaptureStderr();
    m->ReadSavedPlace(lat, lon, zone, city);
    EXPECT_FALSE(SaveSettingsTo(*m, Folder()));
    testing::internal::GetCapturedStderr();
    if (c.Store.empty())
      EXPECT_TRUE(std::filesystem::is_directory(File()));
    else
      EXPECT_EQ(ReadText(File()), before) << "the file was rewritten";
    for (const auto& e : std::filesystem::directory_iterator(Folder()))
      EXPECT_EQ(e.path().filename(), "settings") << "stray file";
  }
}

// Temporary files of saves that died before their rename are removed when
// the settings are next loaded; one of a save still running is kept.
TEST_F(SettingsTest, TemporaryFilesOfInterruptedSavesAreRemoved) {
  WriteStore(Key(LatitudeHalf));
  const pid_t dead = [] {  // a process that has ended
    const pid_t p = ::fork();
    if (p == 0) ::_exit(0);
    int status = 0;
    ::waitpid(p, &status, 0);
    return p;
  }();
  const std::string stale = File() + ".tmp-" + std::to_string(dead);
  const std::string running = File() + ".tmp-" + std::to_string(::getppid());
  WriteText(stale, "half a save");
  WriteText(running, "a save in progress");
  auto m = std::make_unique<TSkyloom>();
  m->SettingsReadOnly = true;  // an unattended run leaves the folder alone
  m->LoadSettings();
  EXPECT_TRUE(std::filesystem::exists(stale));
  m->SettingsReadOnly = false;
  m->LoadSettings();
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_EQ(m->Latitude, 0.5);
}

// A value that no place can have (a hand-edited or hostile store) is not
// taken: stderr names it and the key is repaired from the model, as for a
// value of the wrong type.
TEST_F(SettingsTest, OutOfRangePlacesAreRefusedAndRepaired) {
  const std::string lonLine = "\"Longitude\"=hex:00,00,00,00,00,00,00,40\n";
  const std::string zoneLine = "\"TimeZone\"=dword:fffffffb\n";
  auto with = [&](const std::string& line, const std::string& replacement) {
    std::string k = Key(LatitudeHalf);
    if (!line.empty()) k.replace(k.find(line), line.size(), replacement);
    return k;
  };
  const struct {
    const char* What;
    std::string Store;
    const char* Named;  // nullptr: everything in range
  } cases[] = {
      {"Latitude of 2 radians", Key("\"Latitude\"=hex:00,00,00,00,00,00,00,40\n"), "Latitude"},
      {"Latitude of -1e300", Key("\"Latitude\"=hex:9c,75,00,88,3c,e4,37,fe\n"), "Latitude"},
      {"Longitude of 7 radians", with(lonLine, "\"Longitude\"=hex:00,00,00,00,00,00,1c,40\n"),
       "Longitude"},
      {"TimeZone of 2^31-1", with(zoneLine, "\"TimeZone\"=dword:7fffffff\n"), "TimeZone"},
      {"TimeZone of -13", with(zoneLine, "\"TimeZone\"=dword:fffffff3\n"), "TimeZone"},
      {"Latitude NaN", Key("\"Latitude\"=hex:00,00,00,00,00,00,f8,7f\n"), "Latitude"},
      {"Latitude -infinity", Key("\"Latitude\"=hex:00,00,00,00,00,00,f0,ff\n"), "Latitude"},
      {"Longitude infinity", with(lonLine, "\"Longitude\"=hex:00,00,00,00,00,00,f0,7f\n"),
       "Longitude"},
      {"the north pole exactly", Key("\"Latitude\"=hex:18,2d,44,54,fb,21,f9,3f\n"), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    WriteStore(c.Store);
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    testing::internal::CaptureStderr();
    m->LoadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LE(std::abs(m->Latitude), 1.5707963267948966);
    EXPECT_LE(std::abs(m->Longitude), 6.283185307179586);
    EXPECT_GE(m->TimeZone, -12);
    EXPECT_LE(m->TimeZone, 14);
    if (!c.Named) {
      EXPECT_EQ(said, "");
      EXPECT_EQ(m->TimeZone, -5);
      continue;
    }
    EXPECT_NE(said.find(std::string("\"") + c.Named + "\""), std::string::npos) << said;
    // The repaired key loads completely, silently, with the model's values.
    auto again = std::make_unique<TSkyloom>();
    testing::internal::CaptureStderr();
    again->LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(again->Latitude, m->Latitude);
    EXPECT_EQ(again->Longitude, m->Longitude);
    EXPECT_EQ(again->TimeZone, m->TimeZone);
    // The place read for the settings dialog is refused the same way.
    WriteStore(c.Store);
    double lat = 0, lon = 0;
    int zone = 0, city = 0;
    testing::internal::CaptureStderr();
    m->ReadSavedPlace(lat, lon, zone, city);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(c.Named), std::string::npos);
    EXPECT_LE(std::abs(lat), 1.5707963267948966);
    EXPECT_LE(std::abs(lon), 6.283185307179586);
    EXPECT_LE(std::abs(zone), 14);
  }
}

TEST_F(SettingsTest, OtherKeysOfTheFileSurviveASave) {
  WriteStore("[\\Software\\Other\\]\n\"Keep\"=dword:00000001\n");
  sky->LoadSettings();  // our key is absent: nothing happens
  EXPECT_NEAR(sky->Latitude, 40 * Deg, 1e-12);
  sky->SaveSettings();
  const std::string text = ReadText(File());
  EXPECT_NE(text.find("\"Keep\"=dword:00000001"), std::string::npos) << text;
  EXPECT_NE(text.find("[\\Software\\Skyloom\\]"), std::string::npos) << text;
}

// A save rewrites only the values it owns: comments, blank lines and lines
// it cannot read stay where they were, and the values come back changed.
TEST_F(SettingsTest, LinesTheProgramDoesNotOwnSurviveASave) {
  const std::string comment = "; my home, checked 2026-03-01\n";
  const std::string garbage = "\"Note\"=text:kept as written\n";
  const std::string stray = "stray words\n";
  WriteStore(comment + "\n" + Key(LatitudeHalf) + garbage + "# the end\n" + stray +
             "[\\Software\\Other\\]\n; other key\n\"Keep\"=dword:00000001\n");
  sky->LoadSettings();
  sky->Latitude = 0.25;
  sky->SaveSettings();
  const std::string text = ReadText(File());
  for (const std::string& line : {comment, garbage, std::string("# the end\n"), stray,
                                  std::string("; other key\n"), std::string("\"Keep\"=dword:00000001\n")})
    EXPECT_NE(text.find(line), std::string::npos) << line << " lost from\n" << text;
  EXPECT_LT(text.find(comment), text.find("[\\Software\\Skyloom\\]")) << text;
  EXPECT_LT(text.find(garbage), text.find("[\\Software\\Other\\]")) << text;
  auto again = std::make_unique<TSkyloom>();
  InitSkyModel(*again);
  again->LoadSettings();
  EXPECT_EQ(again->Latitude, 0.25);
  // Saving again adds nothing: the file is stable.
  again->SaveSettings();
  EXPECT_EQ(ReadText(File()), text);
}

TEST_F(SettingsTest, UnwritableStoreIsReportedNotFatal) {
  // The settings file is a folder: it can be neither read nor replaced.
  std::filesystem::create_directories(File());
  sky->Latitude = 0.1;
  sky->LoadSettings();
  EXPECT_EQ(sky->Latitude, 0.1);
  EXPECT_FALSE(SaveSettingsTo(*sky, Folder()));
  // The store's folder is a file.
  TTempFolder other;
  WriteText(other / "skyloom", "not a folder");
  ::setenv("XDG_CONFIG_HOME", other.Path().c_str(), 1);
  EXPECT_FALSE(SaveSettingsTo(*sky, SettingsFolder()));
  sky->SaveSettings();
  sky->LoadSettings();
  EXPECT_EQ(sky->Latitude, 0.1);
}

TEST_F(SettingsTest, FolderFollowsTheEnvironment) {
  EXPECT_EQ(SettingsFolder(), tmp.Path() + "/skyloom");
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') {
    EXPECT_EQ(SettingsFolder(), std::string(home) + "/.config/skyloom");
  }
  ::unsetenv("XDG_CONFIG_HOME");
  if (home && home[0] == '/') {
    EXPECT_EQ(SettingsFolder(), std::string(home) + "/.config/skyloom");
  }
}

TEST_F(SettingsTest, SavedPlaceLeavesTheModelAlone) {
  double lat = 1, lon = 2;
  int zone = 3, city = 4;
  sky->ReadSavedPlace(lat, lon, zone, city);  // no key: unchanged
  EXPECT_EQ(lat, 1);
  EXPECT_EQ(lon, 2);
  EXPECT_EQ(zone, 3);
  EXPECT_EQ(city, 4);
  EXPECT_FALSE(std::filesystem::exists(File()));

  WriteStore(Key(LatitudeHalf));
  sky->ReadSavedPlace(lat, lon, zone, city);
  EXPECT_EQ(lat, 0.5);
  EXPECT_EQ(lon, 2.0);
  EXPECT_EQ(zone, -5);
  EXPECT_EQ(city, 42);
  EXPECT_NEAR(sky->Latitude, 40 * Deg, 1e-12);  // the model is not touched

  // A failed read: what was read stays; only the values that could not be
  // read are written, from the model.
  WriteStore("[\\Software\\Skyloom\\]\n\"Latitude\"=hex:00,00,00,00,00,00,f0,3f\n"
             "\"Longitude\"=hex:00,00,00,00,00,00,08,40\n");  // 1.0, 3.0
  lat = lon = 0;
  zone = city = 7;
  sky->ReadSavedPlace(lat, lon, zone, city);
  EXPECT_EQ(lat, 1.0);
  EXPECT_EQ(lon, 3.0);
  EXPECT_EQ(zone, 7);
  EXPECT_EQ(city, 7);
  testing::internal::CaptureStderr();
  sky->ReadSavedPlace(lat, lon, zone, city);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the repair was complete";
  EXPECT_EQ(lat, 1.0);
  EXPECT_EQ(lon, 3.0);
  EXPECT_EQ(zone, 0);
  EXPECT_EQ(city, 0);
}

}  // namespace

namespace {

// The two drawing options: saved and read back, missing (a file of an
// older version) or damaged values keep the model's, and neither makes the
// observer settings be repaired.
TEST_F(SettingsTest, DrawingOptionsKeptWithTheSettings) {
  sky->LabelPlacement = 0;
  sky->RealisticSky = 1;
  sky->Refraction = 0;
  sky->MilkyWay = 0;
  ASSERT_TRUE(SaveSettingsTo(*sky, Folder()));
  auto other = std::make_unique<TSkyloom>();
  InitSkyModel(*other);
  LoadSettingsFrom(*other, Folder());
  EXPECT_EQ(other->LabelPlacement, 0);
  EXPECT_EQ(other->RealisticSky, 1);
  EXPECT_EQ(other->Refraction, 0);
  EXPECT_EQ(other->MilkyWay, 0);

  const struct {
    const char* Name;
    std::string Extra;
    int Placement, Realistic;  // after loading into a model holding 1 and 0
  } cases[] = {
      {"missing", "", 1, 0},
      {"both given", "\"LabelPlacement\"=dword:00000000\n\"RealisticSky\"=dword:00000001\n", 0, 1},
      {"out of range", "\"LabelPlacement\"=dword:00000002\n\"RealisticSky\"=dword:ffffffff\n", 1, 0},
      {"wrong type", "\"LabelPlacement\"=hex:01\n\"RealisticSky\"=dword:zz\n", 1, 0},
  };
  for (const auto& c : cases) {
    const std::string text = Key(LatitudeHalf) + c.Extra;
    WriteStore(text);
    auto m = std::make_unique<TSkyloom>();
    InitSkyModel(*m);
    m->LabelPlacement = 1;
    m->RealisticSky = 0;
    LoadSettingsFrom(*m, Folder());
    EXPECT_EQ(m->LabelPlacement, c.Placement) << c.Name;
    EXPECT_EQ(m->RealisticSky, c.Realistic) << c.Name;
    EXPECT_EQ(m->City, 42) << c.Name << ": the observer settings are read";
    EXPECT_EQ(ReadText(File()), text) << c.Name << ": nothing is rewritten";
  }
}

}  // namespace
