// The one reader and the one writer of every file the program and its tools
// handle. Reading never blocks (a pipe or device in a file's place is
// refused), is bounded before anything is allocated, and says why it failed;
// writing goes to a temporary file in the same folder, flushed and renamed
// over the target, so a reader never sees a half-written file.
//
// Messages about files read "skyloom: FILE: what is wrong (reason)"; the
// functions here give the reason, the caller names the file and the fault
// (FileMessage).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

enum class TReadResult { Ok, Missing, Unreadable };

// True when `path` names a regular file (after links). Otherwise false with
// the reason in `why`: "no such file", "is a folder", "not a regular file"
// or the system's reason. Never opens the file.
bool IsRegularFile(const std::string& path, std::string* why = nullptr);

// Reads at most maxBytes from the start of the file into `out`. Missing: no
// such file. Unreadable: it exists but cannot be opened or read (a folder,
// a pipe or device, no permission, an I/O error); `error` then says why.
// `fileSize`, when given, receives the file's whole size, so that a caller
// can tell a file longer than what it read.
TReadResult ReadFilePrefix(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                           std::string* error = nullptr, uint64_t* fileSize = nullptr);

// Reads a whole regular file of at most maxBytes. A larger file is
// Unreadable with "larger than N bytes" (nothing is read), so that an
// endless or huge file cannot fill the memory.
TReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                          std::string* error = nullptr);

// ReadWholeFile into a string (for text sources); false with `error`.
bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& text,
                  std::string* error = nullptr);

// Opens a regular file as a stream for reading. The open never blocks, so a
// pipe or device in the file's place is refused instead of hanging the
// program. nullptr when it is missing or not a readable regular file;
// `result` and `error` then say which and why.
std::FILE* OpenRegularFile(const std::string& path, TReadResult* result = nullptr,
                           std::string* error = nullptr);

// Writes `bytes` to "path.tmp-<pid>" (made anew, never opened through a
// link or an existing file), flushes it to the disk and renames it over
// `path`. Only a regular file or a new name is replaced: a device, pipe,
// socket, folder or symbolic link at `path` is refused and left as it is. False on failure with the system's reason in `error` (the
// temporary file is then removed and `path` is unchanged). Temporary files
// of earlier writers of `path` that died before their rename are removed
// first.
bool WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes,
                     std::string* error = nullptr);
bool WriteFileAtomic(const std::string& path, const std::string& text,
                     std::string* error = nullptr);

// A file written piece by piece (a video): the same temporary name as
// WriteFileAtomic, in the target's folder, renamed over the target only by
// Commit. Until then the target is untouched; Abandon (or the destructor)
// removes the temporary file, so a failed or cancelled write leaves nothing.
class TAtomicFileWriter {
 public:
  TAtomicFileWriter() = default;
  ~TAtomicFileWriter() { Abandon(); }
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // Creates the temporary file (read and write); false with the system's
  // reason in `error` (a missing or unwritable folder).
  bool Open(const std::string& path, std::string* error = nullptr);
  // The open file's descriptor (-1 when closed) and its temporary name.
  int Fd() const { return fd_; }
  const std::string& TemporaryPath() const { return tmp_; }
  // Writes all of `bytes` at the current offset; false with the reason.
  bool Write(const void* bytes, size_t size, std::string* error = nullptr);
  // Flushes to the disk, closes and renames over the target.
  bool Commit(std::string* error = nullptr);
  void Abandon();

 private:
  std::string path_, tmp_;
  int fd_ = -1;
};

// Removes "path.tmp-<pid>" files left by writers that are no longer
// running (an interrupted save). Files of running processes are kept.
// Returns the number removed.
int RemoveStaleTemporaries(const std::string& path);

// "skyloom: FILE: what (reason)" -- the one form of a message about a file;
// without a reason the parenthesis is left out, without a file its part.
// `program` is the name the user ran ("skyloom", "skyloom-catalog", ...).
std::string FileMessage(const std::string& file, const std::string& what,
                        const std::string& reason = "", const char* program = "skyloom");
// Prints FileMessage(...) and a line end on stderr.
void ReportFile(const std::string& file, const std::string& what, const std::string& reason = "",
                const char* program = "skyloom");

// A fault in the one shape: the file as the user knows it (or what else the
// fault is about: "script line 3", "--show"; empty for the program as a
// whole), what is wrong, and why (errno text, the parser's or the library's
// reason; may be empty). Empty `What`: no fault.
struct TFileError {
  std::string File, What, Why;
  explicit operator bool() const { return !What.empty(); }
  std::string Message(const char* program = "skyloom") const {
    return FileMessage(File, What, Why, program);
  }
};
// The one reporter: prints the fault's message once on stderr (nothing for
// no fault).
void Report(const TFileError& error, const char* program = "skyloom");
