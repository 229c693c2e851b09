#include "Interface.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "FileIo.h"
#include "Gbk.h"
#include "LittleEndian.h"

namespace LE = LittleEndian;

namespace {

// Far beyond any description: 60 records of 80 bytes and comments.
constexpr size_t MaxDescriptionBytes = 1u << 20;

// A number right-aligned in columns first..last (1-based, inclusive):
// leading blanks and a sign, then digits to the last column.
bool ColumnInt(std::string_view line, int first, int last, int32_t& out) {
  const size_t from = static_cast<size_t>(first - 1), to = static_cast<size_t>(last);
  if (line.size() < to) return false;  // the field runs past the line's end
  std::string_view f = line.substr(from, to - from);
  size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '-' || f[i] == '+')) negative = f[i++] == '-';
  if (i == f.size()) return false;  // blanks (or a sign) only
  int64_t v = 0;
  for (; i < f.size(); ++i) {
    if (f[i] < '0' || f[i] > '9') return false;
    v = v * 10 + (f[i] - '0');
  }
  out = static_cast<int32_t>(negative ? -v : v);
  return true;
}

bool ColumnVisible(std::string_view line) { return line.size() >= 55 && line[54] == '1'; }

// Columns 57-71, trimmed of blanks; a NUL ends the name, as it ends every
// text the program reads.
ShortString ColumnName(std::string_view line) {
  ShortString s;
  if (line.size() >= 57) {
    std::string_view f = line.substr(56, 15);
    f = f.substr(0, f.find('\0'));
    size_t a = 0, b = f.size();
    while (a < b && f[a] == ' ') ++a;
    while (b > a && f[b - 1] == ' ') --b;
    s.set(f.substr(a, b - a));
  }
  return s;
}

struct TField {
  int First, Last;
  int32_t* Into;
};

bool ReadFields(std::string_view line, std::span<const TField> fields, int& column) {
  for (const TField& f : fields) {
    if (!ColumnInt(line, f.First, f.Last, *f.Into)) {
      column = f.First;
      return false;
    }
  }
  return true;
}

std::string Folder(const std::string& folder, const char* file) {
  return (std::filesystem::path(folder) / file).string();
}

// Edges far outside the frame are held there before mapping (no overflow).
int Held(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -100000, 100000)); }

}  // namespace

bool TInterface::RegionContains(int region, int x, int y, const TStageLayout& m) const {
  const TRegion& r = Regions[region];
  const TSection& s = Sections[r.Section >= 1 && r.Section <= MaxSections ? r.Section : 0];
  const int64_t left = int64_t{s.X} + r.X, top = int64_t{s.Y} + r.Y;
  return x >= m.EdgeX(Held(left)) && x <= m.EdgeX(Held(left + r.Width)) &&
         y >= m.EdgeY(Held(top)) && y <= m.EdgeY(Held(top + r.Height));
}

const TRegion& TInterface::Slot(int region) const {
  return region >= 1 && region <= MaxRegions ? Regions[region] : Regions[0];
}

std::string CompiledTablesFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/skyloom";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.cache/skyloom";
  return {};
}

bool ParseSectionLine(std::string_view line, TSection& out, int& column) {
  TSection s;
  const TField fields[] = {{8, 11, &s.Scene},   {13, 17, &s.X},       {19, 23, &s.Y},
                           {25, 29, &s.Width},  {31, 35, &s.Height},  {38, 41, &s.Kind},
                           {44, 47, &s.Priority}, {50, 53, &s.Command}};
  if (!ReadFields(line, fields, column)) return false;
  s.Visible = ColumnVisible(line);
  s.Name = ColumnName(line);
  out = s;
  return true;
}

bool ParseRegionLine(std::string_view line, TRegion& out, int& column) {
  TRegion r;
  const TField fields[] = {{8, 11, &r.Section},  {13, 17, &r.X},      {19, 23, &r.Y},
                           {25, 29, &r.Width},   {31, 35, &r.Height}, {38, 41, &r.Type},
                           {44, 47, &r.Priority}, {50, 53, &r.Command}, {73, 74, &r.Interval}};
  if (!ReadFields(line, fields, column)) return false;
  r.Visible = ColumnVisible(line);
  r.Image = ColumnName(line);
  // A repeat needs a period of at least one frame.
  if (r.Interval < 1) r.Interval = 1;
  out = r;
  return true;
}

bool TInterface::ReadInterfaceDescription(const std::string& fileName, const std::string& cacheFolder) {
  std::vector<uint8_t> bytes;
  std::string why;
  const TReadResult read = ReadFilePrefix(fileName, MaxDescriptionBytes + 1, bytes, &why);
  if (read == TReadResult::Missing) return false;
  if (read == TReadResult::Unreadable) {
    Report({fileName, "cannot be read", why});
    return false;
  }
  if (bytes.size() > MaxDescriptionBytes) {
    Report({fileName, "larger than 1 MiB", "not an interface description"});
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  int sections = 0, regions = 0, lineNo = 0;
  bool faults = false;
  auto report = [&](int column, const char* what) {
    Report({fileName,
            "line " + std::to_string(lineNo) + ", column " + std::to_string(column) + ": " + what,
            ""});
    faults = true;
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '-' || line[0] == ' ') continue;
    std::string key(line.substr(0, 4));
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    int column = 0;
    if (key == "SECT") {
      if (sections == MaxSections) {
        report(1, "more than 30 sections; the line is ignored");
        continue;
      }
      TSection& slot = Sections[++sections];
      if (!ParseSectionLine(line, slot, column)) {
        slot = TSection{};
        report(column, "not a whole number; the section stays empty");
      }
    } else if (key == "BUTN") {
      if (regions == MaxRegions) {
        report(1, "more than 40 regions; the line is ignored");
        continue;
      }
      TRegion& slot = Regions[++regions];
      if (!ParseRegionLine(line, slot, column)) {
        slot = TRegion{};
        report(column, "not a whole number; the region stays empty");
      }
    }
  }
  // A faulty description does not replace the good compiled copy.
  if (!faults && !cacheFolder.empty()) {
    Report(WriteCompiledTables(cacheFolder));
  }
  return true;
}

bool TInterface::ReadInterfaceDescription() {
  return ReadInterfaceDescription(InterfaceDescriptionFile, CompiledTablesFolder());
}

void EncodeSection(const TSection& s, std::span<uint8_t, SectionRecordSize> out) {
  std::fill(out.begin(), out.end(), 0);
  LE::PutInt32(out, 0, s.X);
  LE::PutInt32(out, 4, s.Y);
  LE::PutInt32(out, 8, s.Width);
  LE::PutInt32(out, 12, s.Height);
  LE::PutInt32(out, 16, s.Kind);
  LE::PutInt32(out, 20, s.Command);
  LE::PutByte(out, 24, s.Visible ? 1 : 0);
  LE::PutShortString(out, 25, s.Name);
  LE::PutInt32(out, 284, s.Priority);
  LE::PutInt32(out, 288, s.Scene);
  LE::PutInt32(out, 292, s.Reserved);
  LE::PutInt32(out, 296, s.State);
}

TSection DecodeSection(std::span<const uint8_t, SectionRecordSize> in) {
  TSection s;
  s.X = LE::GetInt32(in, 0);
  s.Y = LE::GetInt32(in, 4);
  s.Width = LE::GetInt32(in, 8);
  s.Height = LE::GetInt32(in, 12);
  s.Kind = LE::GetInt32(in, 16);
  s.Command = LE::GetInt32(in, 20);
  s.Visible = LE::GetByte(in, 24) != 0;
  s.Name = LE::GetShortString(in, 25);
  s.Priority = LE::GetInt32(in, 284);
  s.Scene = LE::GetInt32(in, 288);
  s.Reserved = LE::GetInt32(in, 292);
  s.State = LE::GetInt32(in, 296);
  return s;
}

void EncodeRegion(const TRegion& r, std::span<uint8_t, RegionRecordSize> out) {
  std::fill(out.begin(), out.end(), 0);
  LE::PutInt32(out, 0, r.Reserved0);
  LE::PutInt32(out, 4, r.X);
  LE::PutInt32(out, 8, r.Y);
  LE::PutInt32(out, 12, r.Width);
  LE::PutInt32(out, 16, r.Height);
  LE::PutInt32(out, 276, r.Command);
  LE::PutInt32(out, 280, r.Type);
  LE::PutInt32(out, 284, r.State);
  LE::PutInt32(out, 288, r.Reserved2);
  LE::PutInt32(out, 292, r.Section);
  LE::PutInt32(out, 296, r.Priority);
  LE::PutByte(out, 300, r.Visible ? 1 : 0);
  LE::PutShortString(out, 301, r.Image);
  LE::PutInt32(out, 560, r.Interval);
}

TRegion DecodeRegion(std::span<const uint8_t, RegionRecordSize> in) {
  TRegion r;
  r.Reserved0 = LE::GetInt32(in, 0);
  r.X = LE::GetInt32(in, 4);
  r.Y = LE::GetInt32(in, 8);
  r.Width = LE::GetInt32(in, 12);
  r.Height = LE::GetInt32(in, 16);
  r.Command = LE::GetInt32(in, 276);
  r.Type = LE::GetInt32(in, 280);
  r.State = LE::GetInt32(in, 284);
  r.Reserved2 = LE::GetInt32(in, 288);
  r.Section = LE::GetInt32(in, 292);
  r.Priority = LE::GetInt32(in, 296);
  r.Visible = LE::GetByte(in, 300) != 0;
  r.Image = LE::GetShortString(in, 301);
  r.Interval = LE::GetInt32(in, 560);
  if (r.Interval < 1) r.Interval = 1;
  return r;
}

TFileError TInterface::WriteCompiledTables(const std::string& folder) const {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return {folder, "cannot be made", ec.message()};
  std::vector<uint8_t> scene(2 * SceneRecordSize, 0);
  std::vector<uint8_t> sections(MaxSections * SectionRecordSize);
  std::vector<uint8_t> regions(MaxRegions * RegionRecordSize);
  for (int i = 1; i <= MaxSections; ++i)
    EncodeSection(Sections[i], std::span<uint8_t, SectionRecordSize>(
                                   sections.data() + (i - 1) * SectionRecordSize, SectionRecordSize));
  for (int i = 1; i <= MaxRegions; ++i)
    EncodeRegion(Regions[i], std::span<uint8_t, RegionRecordSize>(
                                 regions.data() + (i - 1) * RegionRecordSize, RegionRecordSize));
  const std::pair<const char*, const std::vector<uint8_t>*> files[] = {
      {SceneFile, &scene}, {SectionFile, &sections}, {ActiveFile, &regions}};
  for (const auto& [name, bytes] : files) {
    // A copy of this user's that already holds these bytes is kept: a start
    // then costs no writes (each one waits for the disk).
    struct stat st {};
    std::vector<uint8_t> held;
    if (::lstat(Folder(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && !(st.st_mode & (S_IWGRP | S_IWOTH)) &&
        ReadFilePrefix(Folder(folder, name), bytes->size() + 1, held) == TReadResult::Ok &&
        held == *bytes)
      continue;
    std::string why;
    if (!WriteFileAtomic(Folder(folder, name), *bytes, &why))
      return {Folder(folder, name), "cannot be written", why};
  }
  return {};
}

namespace {

// A compiled copy is trusted only when this user made it: the folder and the
// file are this user's, nobody else may write them, the file is no link,
// and it is not older than the description it stands in for. Otherwise
// false with the reason.
bool Trusted(const struct stat& st, const std::string& source, std::string& why) {
  if (st.st_uid != ::geteuid()) why = "owned by another user";
  else if (st.st_mode & S_IWOTH) why = "writable by others";
  else {
    struct stat src {};
    if (!source.empty() && ::stat(source.c_str(), &src) == 0 && src.st_mtime > st.st_mtime &&
        !S_ISDIR(st.st_mode))
      why = "older than " + source;
  }
  return why.empty();
}

// The ranges the description's columns can hold: a compiled record beyond
// them was not written by the program. "" when every field fits.
std::string RecordFault(const TSection& s) {
  const struct {
    const char* Field;
    int32_t Value, Lo, Hi;
  } fields[] = {{"X", s.X, -9999, 99999},          {"Y", s.Y, -9999, 99999},
                {"Width", s.Width, -9999, 99999},  {"Height", s.Height, -9999, 99999},
                {"Kind", s.Kind, -999, 9999},      {"Priority", s.Priority, -999, 9999},
                {"Scene", s.Scene, -999, 9999},    {"Command", s.Command, -999, 9999}};
  for (const auto& f : fields)
    if (f.Value < f.Lo || f.Value > f.Hi)
      return std::string(f.Field) + " " + std::to_string(f.Value) + " is outside " +
             std::to_string(f.Lo) + ".." + std::to_string(f.Hi);
  return "";
}

std::string RecordFault(const TRegion& r) {
  const struct {
    const char* Field;
    int32_t Value, Lo, Hi;
  } fields[] = {{"X", r.X, -9999, 99999},          {"Y", r.Y, -9999, 99999},
                {"Width", r.Width, -9999, 99999},  {"Height", r.Height, -9999, 99999},
                {"Type", r.Type, -999, 9999},      {"Priority", r.Priority, -999, 9999},
                {"Section", r.Section, -999, 9999}, {"Command", r.Command, -999, 9999},
                {"State", r.State, 0, RegionLook::Highlighted | RegionLook::On},
                {"Interval", r.Interval, 1, 99}};
  for (const auto& f : fields)
    if (f.Value < f.Lo || f.Value > f.Hi)
      return std::string(f.Field) + " " + std::to_string(f.Value) + " is outside " +
             std::to_string(f.Lo) + ".." + std::to_string(f.Hi);
  return "";
}

}  // namespace

bool TInterface::ReadCompiledTables(const std::string& folder, const std::string& source) {
  if (folder.empty()) return false;
  const std::string files[3] = {Folder(folder, SceneFile), Folder(folder, SectionFile),
                                Folder(folder, ActiveFile)};
  for (const std::string& f : files) {
    std::error_code ec;
    if (!std::filesystem::exists(f, ec)) return false;
  }
  for (const std::string& f : {folder, files[0], files[1], files[2]}) {
    struct stat st {};
    std::string why;
    if (::lstat(f.c_str(), &st) != 0) why = std::strerror(errno);
    else if (S_ISLNK(st.st_mode)) why = "a symbolic link";
    else Trusted(st, f == folder ? "" : source, why);
    if (!why.empty()) {
      Report({f, "the compiled copy is not used", why});
      return false;
    }
  }
  const size_t sizes[3] = {SceneRecordSize, SectionRecordSize, RegionRecordSize};
  const size_t counts[3] = {2, MaxSections, MaxRegions};
  std::vector<uint8_t> data[3];
  for (int k = 0; k < 3; ++k) {
    std::string why;
    if (ReadFilePrefix(files[k], sizes[k] * counts[k] + 1, data[k], &why) != TReadResult::Ok) {
      Report({files[k], "cannot be read", why});
      data[k].clear();
      continue;
    }
    if (data[k].size() > sizes[k] * counts[k]) {
      Report({files[k],
              "longer than " + std::to_string(counts[k]) + " records; the rest is ignored", ""});
      data[k].resize(sizes[k] * counts[k]);
    } else if (data[k].size() % sizes[k] != 0) {
      Report({files[k], "ends inside a record; the whole records are used", ""});
    }
  }
  // Every record is checked before any is taken.
  std::vector<TSection> sections(data[1].size() / SectionRecordSize);
  std::vector<TRegion> regions(data[2].size() / RegionRecordSize);
  for (size_t i = 0; i < sections.size(); ++i)
    sections[i] = DecodeSection(std::span<const uint8_t, SectionRecordSize>(
        data[1].data() + i * SectionRecordSize, SectionRecordSize));
  for (size_t i = 0; i < regions.size(); ++i)
    regions[i] = DecodeRegion(std::span<const uint8_t, RegionRecordSize>(
        data[2].data() + i * RegionRecordSize, RegionRecordSize));
  const auto refuse = [](const std::string& file, size_t record, const std::string& fault) {
    Report({file, "record " + std::to_string(record) + ": " + fault + "; the compiled copy is not used",
            ""});
    return false;
  };
  for (size_t i = 0; i < sections.size(); ++i)
    if (const std::string fault = RecordFault(sections[i]); !fault.empty())
      return refuse(files[1], i + 1, fault);
  for (size_t i = 0; i < regions.size(); ++i)
    if (const std::string fault = RecordFault(regions[i]); !fault.empty())
      return refuse(files[2], i + 1, fault);
  for (size_t i = 0; i < sections.size(); ++i) Sections[i + 1] = sections[i];
  for (size_t i = 0; i < regions.size(); ++i) Regions[i + 1] = regions[i];
  return true;
}

bool TInterface::ReadCompiledTables() {
  return ReadCompiledTables(CompiledTablesFolder(), InterfaceDescriptionFile);
}

void TInterface::SetBareSections() {
  auto bare = [](int y, int height, int priority) {
    TSection s;
    s.Width = 800;
    s.Y = y;
    s.Height = height;
    s.Scene = 1;
    s.Priority = priority;
    return s;
  };
  Sections[1] = bare(0, 432, 2);
  Sections[2] = bare(432, 168, 1);
}

void TInterface::FillWellKnownRegions(int scene) {
  static constexpr int Scene1[WellKnownCount] = {5, 17, 18, 20, 25, 26, 21, 27, 6, 9};
  for (int i = 0; i < WellKnownCount; ++i) WellKnown[i] = scene == 1 ? Scene1[i] : 0;
}

TRegion& TInterface::WellKnownRegion(int entry) {
  if (entry >= 0 && entry < WellKnownCount) {
    const int r = WellKnown[entry];
    if (r >= 1 && r <= MaxRegions) return Regions[r];
  }
  SpareRegion = TRegion{};
  return SpareRegion;
}

TRegion& TInterface::RegionAt(int slot) {
  if (slot >= 1 && slot <= MaxRegions) return Regions[slot];
  SpareRegion = TRegion{};
  return SpareRegion;
}

double AutoInterfaceScale(int stageWidth, int stageHeight) {
  const double fit = std::min(stageWidth / 800.0, stageHeight / 600.0);
  double best = InterfaceScaleSteps[0];
  for (double step : InterfaceScaleSteps)
    if (step <= fit + 1e-9) best = step;
  return best;
}

double InterfaceScaleFor(int stageWidth, int stageHeight, double asked) {
  const double automatic = AutoInterfaceScale(stageWidth, stageHeight);
  if (!(asked >= MinInterfaceScale && asked <= MaxInterfaceScale)) return automatic;
  return std::min(asked, std::max(automatic, MinInterfaceScale));
}

int TInterface::RegionScreenX(int region, const TStageLayout& layout) const {
  const TRegion& r = Slot(region);
  const int s = r.Section >= 1 && r.Section <= MaxSections ? r.Section : 0;
  return layout.X(Held(int64_t{Sections[s].X} + r.X));
}

int TInterface::RegionScreenY(int region, const TStageLayout& layout) const {
  const TRegion& r = Slot(region);
  const int s = r.Section >= 1 && r.Section <= MaxSections ? r.Section : 0;
  return layout.Y(Held(int64_t{Sections[s].Y} + r.Y));
}

TRegionAction TInterface::HitTestRegions(int x, int y, const TStageLayout& m) {
  TPointerState& p = Pointer;
  TRegionAction out;
  // The section under the pointer: smallest priority, first on a tie.
  p.Section = 0;
  int best = 9999;
  for (int i = 1; i <= MaxSections; ++i) {
    const TSection& s = Sections[i];
    if (s.Scene != CurrentScene) continue;
    if (x >= m.EdgeX(s.X) && x <= m.EdgeX(Held(int64_t{s.X} + s.Width)) && y >= m.EdgeY(s.Y) &&
        y <= m.EdgeY(Held(int64_t{s.Y} + s.Height)) && s.Priority < best) {
      best = s.Priority;
      p.Section = i;
    }
  }
  if (p.Section == 0) return out;  // off every section: the region under the pointer stays
  const int before = p.Region;
  p.Region = 0;
  best = 9999;
  for (int i = 1; i <= MaxRegions; ++i) {
    if (Regions[i].Section != p.Section || !RegionContains(i, x, y, m)) continue;
    if (Regions[i].Priority < best) {
      best = Regions[i].Priority;
      p.Region = i;
    }
  }
  const bool changed = p.Region != before;
  const int previousType = Slot(p.PreviousRegion).Type;
  if (changed && (previousType == RegionType::HoverRepeat || previousType == RegionType::HoldRepeat))
    out.Event = RegionEvent::LeftRepeat;
  const TRegion& r = Slot(p.Region);
  switch (r.Type) {
    case RegionType::Push:
    case RegionType::Toggle:
      if (changed && p.Region > 0) out.Event = RegionEvent::Entered;
      break;
    case RegionType::HoverRepeat:
      if (changed) {
        out.Command = r.Command;
        out.Event = RegionEvent::Execute;
      }
      break;
    case RegionType::HoldRepeat:
      if (p.MouseState == 1 && p.Region == p.Captured && changed &&
          Slot(p.Captured).Type == RegionType::HoldRepeat) {
        out.Command = r.Command;
        out.Event = RegionEvent::Execute;
      } else if (changed) {
        out.Event = RegionEvent::Entered;
      }
      break;
    default:
      break;
  }
  return out;
}

TRegionAction TInterface::PressRegion() {
  TPointerState& p = Pointer;
  TRegionAction out;
  if (p.Section == 0 || p.Region == 0) return out;
  const TRegion& r = Slot(p.Region);
  switch (r.Type) {
    case RegionType::Push:
      p.Captured = p.Region;
      p.MouseState = 1;
      out.Event = RegionEvent::PushPressed;
      break;
    case RegionType::Toggle:
      p.Captured = p.Region;
      p.MouseState = 1;
      out.Event = (r.State & RegionLook::On) ? RegionEvent::ToggleOff : RegionEvent::ToggleOn;
      out.Command = r.Command;
      break;
    case RegionType::HoldRepeat:
    case RegionType::Press:
      p.MouseState = 1;
      out.Event = RegionEvent::Execute;
      out.Command = r.Command;
      p.Captured = p.Region;
      break;
    case RegionType::Drag:
      p.Captured = p.Region;
      p.MouseState = 1;
      break;
    default:
      break;
  }
  return out;
}

TRegionAction TInterface::ReleaseRegion() {
  TPointerState& p = Pointer;
  TRegionAction out;
  if (p.Region != 0 && p.Region == p.Captured) {
    const TRegion& r = Slot(p.Region);
    if (r.Type == RegionType::Push) {
      out.Event = RegionEvent::Execute;
      out.Command = r.Command;
    } else if (r.Type == RegionType::HoldRepeat) {
      out.Event = RegionEvent::LeftRepeat;
      out.Command = r.Command;
    }
  }
  p.MouseState = 2;
  p.Captured = 0;
  return out;
}

TRegionAction TInterface::DragRegionMove() {
  return {RegionEvent::Execute, Slot(Pointer.Captured).Command + 1};
}

TRegionAction TInterface::DragRegionEnd() {
  return {RegionEvent::Execute, Slot(Pointer.Captured).Command + 2};
}
