// The per-user key/value store that keeps the observer settings between runs
// in place of a system registry. One text file,
// $XDG_CONFIG_HOME/skyloom/settings (default ~/.config/skyloom/settings),
// holds keys and their typed values:
//
//   [\Software\Skyloom\]
//   "Latitude"=hex:0b,5f,...       8-byte (or any length) binary value
//   "TimeZone"=dword:00000008      32-bit integer, 8 hex digits
//
// A line that cannot be parsed as a value makes that value unreadable (a
// read of it fails, as a damaged registry value would); other lines and keys
// are unaffected. Comments and lines the store cannot read are written back
// as they were, in their place. A file with no key line counts as an existing key whose
// values are all unreadable. A file that exists but cannot be read (no
// permission, a folder, a pipe, larger than 1 MiB) is reported once and
// never replaced: its key does not open. The file is always rewritten whole
// through the atomic writer (FileIo.h). Reading takes time linear in the
// file's size.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The folder of the store: $XDG_CONFIG_HOME/skyloom when XDG_CONFIG_HOME is
// an absolute path, else $HOME/.config/skyloom; empty when neither is known.
std::string SettingsFolder();

class TSettingsKey {
 public:
  // Opens `key` (e.g. "\Software\Skyloom\") in the store in `folder`. With
  // create, a missing key (and file and folders) comes into being at the
  // first Close after a write. False when the key does not exist and create
  // is off, or when there is no folder.
  bool Open(const std::string& folder, const std::string& key, bool create);

  // A read fails when the value is missing, damaged, or of another type or
  // size than asked; `why` then says which ("missing", "not a 32-bit
  // integer", ...).
  bool ReadBinary(const std::string& name, void* out, size_t size,
                  std::string* why = nullptr) const;
  bool ReadInteger(const std::string& name, int32_t& out, std::string* why = nullptr) const;

  // The file of the store, as messages name it.
  std::string Path() const;

  void WriteBinary(const std::string& name, const void* data, size_t size);
  void WriteInteger(const std::string& name, int32_t value);

  // Writes the file back if anything was written; false (with `error`) when
  // that fails, in which case the stored file is unchanged.
  bool Close(std::string* error = nullptr);

 private:
  // Kept: a line that is no value (a comment, a blank or stray line), kept
  // as written in its place and never looked up. A damaged value keeps its
  // line too, until a write replaces it.
  enum class TKind { Damaged, Binary, DWord, Kept };
  struct TValue {
    TKind Kind = TKind::Damaged;
    std::vector<uint8_t> Data;
    std::string Line;  // Damaged and Kept: the line as the file had it
  };
  using TValues = std::vector<std::pair<std::string, TValue>>;  // file order

  TValue* Find(const std::string& name);
  const TValue* Find(const std::string& name) const;
  void Parse(const std::string& text);
  std::string Format() const;

  TValues& Values() { return keys_[keyIndex_].second; }
  const TValues& Values() const { return keys_[keyIndex_].second; }

  std::string folder_;
  std::vector<std::string> leading_;  // lines before the first key, as written
  std::vector<std::pair<std::string, TValues>> keys_;  // every key of the file, in order
  size_t keyIndex_ = 0;
  bool dirty_ = false;
  bool open_ = false;
};

// The file name of the store inside its folder.
inline constexpr const char* SettingsFileName = "settings";
