#include "SettingsStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "FileIo.h"

namespace {

constexpr size_t MaxStoreBytes = 1 << 20;
constexpr const char* FileHeader = "; Skyloom per-user settings";

std::string FilePath(const std::string& folder) { return folder + "/" + SettingsFileName; }

// Creates `folder` and its missing parents.
bool MakeFolders(const std::string& folder) {
  for (size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos < folder.size() && folder[pos] != '/') continue;
    const std::string part = folder.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "0b,5f,..." -> bytes; false on anything else. An empty list is an empty value.
bool ParseHexBytes(const std::string& s, std::vector<uint8_t>& out) {
  out.clear();
  if (s.empty()) return true;
  size_t i = 0;
  while (true) {
    if (i + 2 > s.size()) return false;
    const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    i += 2;
    if (i == s.size()) return true;
    if (s[i] != ',') return false;
    ++i;
  }
}

// Exactly eight hex digits -> the 32-bit pattern, little-endian in `out`.
bool ParseDword(const std::string& s, std::vector<uint8_t>& out) {
  if (s.size() != 8) return false;
  uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  out = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
         static_cast<uint8_t>(v >> 24)};
  return true;
}

}  // namespace

std::string SettingsFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/skyloom";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/skyloom";
  return {};
}

void TSettingsKey::Parse(const std::string& text) {
  keys_.clear();
  leading_.clear();
  TValues* current = nullptr;
  // Lines that are no value stay with the key before them (or before every
  // key), so that a save writes them back where they were.
  const auto keep = [&](const std::string& line) {
    if (keys_.empty()) {
      leading_.push_back(line);
    } else {
      TValue kept;
      kept.Kind = TKind::Kept;
      kept.Line = line;
      keys_.back().second.emplace_back(std::string(), std::move(kept));
    }
  };
  // Where each name of the current key sits, so that a name given twice
  // replaces its value in constant time (the file may hold many values).
  std::unordered_map<std::string, size_t> index;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == FileHeader) continue;  // written anew by every save
    if (line.empty() || line[0] == ';' || line[0] == '#') {
      keep(line);
      continue;
    }
    if (line[0] == '[') {
      if (line.size() >= 2 && line.back() == ']') {
        keys_.emplace_back(line.substr(1, line.size() - 2), TValues{});
        current = &keys_.back().second;
        index.clear();
      } else {
        current = nullptr;  // a damaged key line: its values belong to no key
        keep(line);
      }
      continue;
    }
    const size_t close = line.find('"', 1);
    if (!current || line[0] != '"' || close == std::string::npos) {
      keep(line);
      continue;
    }
    std::string name = line.substr(1, close - 1);
    TValue value;  // Damaged unless the rest parses
    value.Line = line;
    const std::string rest = line.substr(close + 1);
    if (rest.rfind("=hex:", 0) == 0) {
      if (ParseHexBytes(rest.substr(5), value.Data)) value.Kind = TKind::Binary;
    } else if (rest.rfind("=dword:", 0) == 0) {
      if (ParseDword(rest.substr(7), value.Data)) value.Kind = TKind::DWord;
    }
    if (value.Kind == TKind::Damaged) value.Data.clear();
    else value.Line.clear();
    const auto [at, added] = index.try_emplace(name, current->size());
    if (added)
      current->emplace_back(std::move(name), std::move(value));
    else
      (*current)[at->second].second = std::move(value);
  }
}

std::string TSettingsKey::Format() const {
  static const char* const Hex = "0123456789abcdef";
  std::string out = std::string(FileHeader) + "\n";
  for (const std::string& line : leading_) out += line + "\n";
  for (const auto& [key, values] : keys_) {
    out += "[" + key + "]\n";
    for (const auto& [name, v] : values) {
      if (v.Kind == TKind::Damaged || v.Kind == TKind::Kept) {
        out += v.Line + "\n";
        continue;
      }
      out += "\"" + name + "\"=";
      if (v.Kind == TKind::DWord) {
        uint32_t x = 0;
        for (int i = 3; i >= 0; --i) x = (x << 8) | v.Data[static_cast<size_t>(i)];
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", x);
        out += buf;
      } else {
        out += "hex:";
        for (size_t i = 0; i < v.Data.size(); ++i) {
          if (i) out += ',';
          out += Hex[v.Data[i] >> 4];
          out += Hex[v.Data[i] & 15];
        }
      }
      out += "\n";
    }
  }
  return out;
}

std::string TSettingsKey::Path() const { return FilePath(folder_); }

bool TSettingsKey::Open(const std::string& folder, const std::string& key, bool create) {
  open_ = false;
  dirty_ = false;
  keys_.clear();
  folder_ = folder;
  if (folder.empty()) return false;

  std::vector<uint8_t> bytes;
  std::string error;
  const TReadResult r = ReadWholeFile(FilePath(folder), MaxStoreBytes, bytes, &error);
  if (r == TReadResult::Unreadable) {
    // Whatever it holds stays: a file the program cannot read is the user's
    // to mend, never replaced by defaults.
    ReportFile(FilePath(folder), "cannot be read; the settings are not loaded or saved", error);
    return false;
  }
  if (r == TReadResult::Ok) Parse(std::string(bytes.begin(), bytes.end()));

  // A file that exists but holds no key at all is damaged, not absent: its
  // key counts as existing with nothing readable in it.
  const bool damagedFile = r == TReadResult::Ok && keys_.empty();
  if (damagedFile && !create)
    ReportFile(FilePath(folder), "no readable settings in the file");
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i].first == key) {
      keyIndex_ = i;
      open_ = true;
      return true;
    }
  if (!create && !damagedFile) return false;
  keys_.emplace_back(key, TValues{});
  keyIndex_ = keys_.size() - 1;
  open_ = true;
  return true;
}

TSettingsKey::TValue* TSettingsKey::Find(const std::string& name) {
  if (!open_) return nullptr;
  for (auto& [n, v] : Values())
    if (v.Kind != TKind::Kept && n == name) return &v;
  return nullptr;
}

const TSettingsKey::TValue* TSettingsKey::Find(const std::string& name) const {
  if (!open_) return nullptr;
  for (const auto& [n, v] : Values())
    if (v.Kind != TKind::Kept && n == name) return &v;
  return nullptr;
}

namespace {

// Why a value of `kind` and `size` bytes is not the one asked for.
template <typename TKindT>
bool Mismatch(const void* found, TKindT kind, TKindT damaged, TKindT wanted, size_t size,
              size_t wantedSize, const char* wantedText, std::string* why) {
  std::string reason;
  if (!found) reason = "missing";
  else if (kind == damaged) reason = "an unreadable line";
  else if (kind != wanted) reason = std::string("not ") + wantedText;
  else if (size != wantedSize)
    reason = std::to_string(size) + " bytes, not " + std::to_string(wantedSize);
  else return false;
  if (why) *why = reason;
  return true;
}

}  // namespace

bool TSettingsKey::ReadBinary(const std::string& name, void* out, size_t size,
                              std::string* why) const {
  const TValue* v = Find(name);
  if (Mismatch(v, v ? v->Kind : TKind::Damaged, TKind::Damaged, TKind::Binary,
               v ? v->Data.size() : 0, size, "a binary value", why))
    return false;
  std::memcpy(out, v->Data.data(), size);
  return true;
}

bool TSettingsKey::ReadInteger(const std::string& name, int32_t& out, std::string* why) const {
  const TValue* v = Find(name);
  if (Mismatch(v, v ? v->Kind : TKind::Damaged, TKind::Damaged, TKind::DWord,
               v ? v->Data.size() : 0, 4, "a 32-bit integer", why))
    return false;
  const uint32_t x = static_cast<uint32_t>(v->Data[0]) | static_cast<uint32_t>(v->Data[1]) << 8 |
                     static_cast<uint32_t>(v->Data[2]) << 16 |
                     static_cast<uint32_t>(v->Data[3]) << 24;
  out = static_cast<int32_t>(x);
  return true;
}

void TSettingsKey::WriteBinary(const std::string& name, const void* data, size_t size) {
  if (!open_) return;
  TValue value;
  value.Kind = TKind::Binary;
  const auto* p = static_cast<const uint8_t*>(data);
  value.Data.assign(p, p + size);
  if (TValue* v = Find(name))
    *v = std::move(value);
  else
    Values().emplace_back(name, std::move(value));
  dirty_ = true;
}

void TSettingsKey::WriteInteger(const std::string& name, int32_t value) {
  if (!open_) return;
  const uint32_t x = static_cast<uint32_t>(value);
  TValue v;
  v.Kind = TKind::DWord;
  v.Data = {static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(x >> 16),
            static_cast<uint8_t>(x >> 24)};
  if (TValue* old = Find(name))
    *old = std::move(v);
  else
    Values().emplace_back(name, std::move(v));
  dirty_ = true;
}

bool TSettingsKey::Close(std::string* error) {
  const bool write = open_ && dirty_;
  open_ = false;
  dirty_ = false;
  if (!write) return true;
  if (!MakeFolders(folder_)) {
    if (error) *error = std::string("no folder for it: ") + std::strerror(errno);
    return false;
  }
  return WriteFileAtomic(FilePath(folder_), Format(), error);
}
