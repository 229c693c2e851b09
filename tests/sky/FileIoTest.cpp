// The one reader and writer of every file: special files refused without
// blocking, sizes bounded before reading, failed writes leaving nothing
// behind, and the temporary files of interrupted writes cleaned up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "FileIo.h"
#include "SkyTestFiles.h"

namespace {

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(FileIo, EveryKindOfNonFileIsRefusedAtOnceWithItsReason) {
  TTempFolder tmp;
  WriteText(tmp / "file", "abc");
  std::filesystem::create_directory(tmp / "folder");
  ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);  // nobody writes: a blocking open hangs
  struct Case {
    std::string Path;
    TReadResult Result;
    const char* Why;
  } cases[] = {
      {tmp / "file", TReadResult::Ok, ""},
      {tmp / "absent", TReadResult::Missing, "no such file"},
      {tmp / "file/below", TReadResult::Missing, "no such file"},
      {tmp / "folder", TReadResult::Unreadable, "is a folder"},
      {tmp / "pipe", TReadResult::Unreadable, "not a regular file"},
      {"/dev/zero", TReadResult::Unreadable, "not a regular file"},  // endless
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Path);
    std::string why, whyWhole, whyCheck;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadFilePrefix(c.Path, 100, bytes, &why), c.Result);
    EXPECT_EQ(ReadWholeFile(c.Path, 100, bytes, &whyWhole), c.Result);
    EXPECT_EQ(IsRegularFile(c.Path, &whyCheck), c.Result == TReadResult::Ok);
    if (c.Result != TReadResult::Ok) {
      EXPECT_EQ(why, c.Why);
      EXPECT_EQ(whyWhole, c.Why);
      EXPECT_EQ(whyCheck, c.Why);
      EXPECT_TRUE(bytes.empty());
    }
  }
}

TEST(FileIo, SizesAreBoundedAndTheWholeSizeIsTold) {
  TTempFolder tmp;
  WriteText(tmp / "ten", "0123456789");
  std::vector<uint8_t> bytes;
  uint64_t size = 0;
  ASSERT_EQ(ReadFilePrefix(tmp / "ten", 4, bytes, nullptr, &size), TReadResult::Ok);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123");
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(ReadWholeFile(tmp / "ten", 10, bytes), TReadResult::Ok);
  EXPECT_EQ(bytes.size(), 10u);
  std::string why;
  EXPECT_EQ(ReadWholeFile(tmp / "ten", 9, bytes, &why), TReadResult::Unreadable);
  EXPECT_EQ(why, "larger than 9 bytes");
  EXPECT_TRUE(bytes.empty());
  // A sparse 4 GiB file is refused by its size, not read.
  WriteText(tmp / "huge", "x");
  ASSERT_EQ(::truncate((tmp / "huge").c_str(), 4LL << 30), 0);
  EXPECT_EQ(ReadWholeFile(tmp / "huge", 1 << 20, bytes, &why), TReadResult::Unreadable);
  EXPECT_EQ(why, "larger than 1048576 bytes");
}

TEST(FileIo, AWriteReplacesTheFileWholeOrNotAtAll) {
  TTempFolder tmp;
  const std::string file = tmp / "out.dat";
  std::string why;
  ASSERT_TRUE(WriteFileAtomic(file, std::string("first"), &why)) << why;
  ASSERT_TRUE(WriteFileAtomic(file, std::string("second"), &why)) << why;
  EXPECT_EQ(ReadText(file), "second");
  EXPECT_EQ(Names(tmp.Path()), std::vector<std::string>{"out.dat"});
  // A folder in the target's place: the rename fails, the reason is the
  // system's, and the temporary file is gone.
  std::filesystem::create_directories(tmp / "taken/inside");
  EXPECT_FALSE(WriteFileAtomic(tmp / "taken", std::string("x"), &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(why.find(".tmp"), std::string::npos) << "the reason names no temporary file: " << why;
  EXPECT_EQ(Names(tmp.Path()), (std::vector<std::string>{"out.dat", "taken"}));
  // No such folder.
  EXPECT_FALSE(WriteFileAtomic(tmp / "none/out.dat", std::string("x"), &why));
  EXPECT_EQ(why, "No such file or directory");
}

TEST(FileIo, TemporariesOfDeadWritersAreRemovedOthersKept) {
  TTempFolder tmp;
  const std::string file = tmp / "settings";
  const pid_t dead = [] {
    const pid_t p = ::fork();
    if (p == 0) ::_exit(0);
    int status = 0;
    ::waitpid(p, &status, 0);
    return p;
  }();
  const std::string stale = file + ".tmp-" + std::to_string(dead);
  for (const std::string& name :
       {stale, file + ".tmp-" + std::to_string(::getppid()),  // its writer still runs
        file + ".tmp-12x", file + ".tmp-", file + "2.tmp-" + std::to_string(dead)})
    WriteText(name, "left over");
  EXPECT_EQ(RemoveStaleTemporaries(file), 1);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_EQ(Names(tmp.Path()).size(), 4u);
  // The writer cleans up before it writes.
  WriteText(stale, "left over");
  ASSERT_TRUE(WriteFileAtomic(file, std::string("v")));
  EXPECT_FALSE(std::filesystem::exists(stale));
}

// Only regular files and new names are replaced: a pipe, a link (to a
// file or to a device) or a device node at the target stays as it was.
TEST(FileIo, AWriteNeverReplacesASpecialFileOrALink) {
  TTempFolder tmp;
  WriteText(tmp / "kept", "kept");
  ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);
  std::filesystem::create_symlink(tmp / "kept", tmp / "link");
  std::filesystem::create_symlink("/dev/null", tmp / "device-link");
  for (const std::string name : {"pipe", "link", "device-link"}) {
    SCOPED_TRACE(name);
    std::string why;
    EXPECT_FALSE(WriteFileAtomic(tmp / name, std::string("picture"), &why));
    EXPECT_NE(why.find("not replaced"), std::string::npos) << why;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(tmp / "pipe"));
  EXPECT_TRUE(std::filesystem::is_symlink(tmp / "link"));
  EXPECT_TRUE(std::filesystem::is_symlink(tmp / "device-link"));
  EXPECT_EQ(ReadText(tmp / "kept"), "kept");
  std::string why;
  EXPECT_FALSE(WriteFileAtomic("/dev/null", std::string("x"), &why));
  EXPECT_EQ(why, "not a regular file, not replaced");
  EXPECT_EQ(Names(tmp.Path()), (std::vector<std::string>{"device-link", "kept", "link", "pipe"}));
}

// A hard link or symbolic link planted under the writer's temporary name
// never receives the text: the temporary is made anew.
TEST(FileIo, APlantedTemporaryIsNotWrittenThrough) {
  TTempFolder tmp;
  const std::string file = tmp / "settings";
  const std::string temporary = file + ".tmp-" + std::to_string(::getpid());
  WriteText(tmp / "victim", "victim");
  std::filesystem::create_hard_link(tmp / "victim", temporary);
  std::string why;
  ASSERT_TRUE(WriteFileAtomic(file, std::string("secret"), &why)) << why;
  EXPECT_EQ(ReadText(tmp / "victim"), "victim");
  EXPECT_EQ(ReadText(file), "secret");
  std::filesystem::create_symlink(tmp / "victim", temporary);
  ASSERT_TRUE(WriteFileAtomic(file, std::string("again"), &why)) << why;
  EXPECT_EQ(ReadText(tmp / "victim"), "victim");
  EXPECT_EQ(ReadText(file), "again");
  EXPECT_EQ(Names(tmp.Path()), (std::vector<std::string>{"settings", "victim"}));
}

TEST(FileIo, MessagesNameTheFileThenTheFaultThenTheReason) {
  EXPECT_EQ(FileMessage("Music.mid", "music not played", "is a folder"),
            "skyloom: Music.mid: music not played (is a folder)");
  EXPECT_EQ(FileMessage("StarData.dat", "missing; the sky has no stars"),
            "skyloom: StarData.dat: missing; the sky has no stars");
  EXPECT_EQ(FileMessage("CityInfo.dat", "cannot be read", "Permission denied", "skyloom-catalog"),
            "skyloom-catalog: CityInfo.dat: cannot be read (Permission denied)");
  // A fault about the program as a whole has no file part.
  EXPECT_EQ(FileMessage("", "no sound; running silently", "no audio device"),
            "skyloom: no sound; running silently (no audio device)");
}

TEST(FileIo, TheReporterPrintsAFaultOnceAndNoFaultNotAtAll) {
  const TFileError fault{"Config.dat", "damaged, the defaults are used", "byte 0 is neither 0 nor 1"};
  EXPECT_TRUE(fault);
  EXPECT_FALSE(TFileError{});
  testing::internal::CaptureStderr();
  Report(fault);
  Report(TFileError{});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "skyloom: Config.dat: damaged, the defaults are used (byte 0 is neither 0 nor 1)\n");
}

}  // namespace
