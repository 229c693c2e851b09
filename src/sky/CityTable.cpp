#include "CityTable.h"

#include <filesystem>

#include <cstdio>
#include <vector>

#include "FileIo.h"
#include "LittleEndian.h"

TCityInfo DecodeCity(std::span<const uint8_t> r) {
  using namespace LittleEndian;
  TCityInfo c;
  c.Country = GetShortString(r, 0);
  c.CityName = GetShortString(r, 256);
  c.Latitude = GetDouble(r, 512);
  c.Longitude = GetDouble(r, 520);
  c.TimeZone = GetInt32(r, 528);
  return c;
}

void EncodeCity(std::span<uint8_t> r, const TCityInfo& c) {
  using namespace LittleEndian;
  PutShortString(r, 0, c.Country);
  PutShortString(r, 256, c.CityName);
  PutDouble(r, 512, c.Latitude);
  PutDouble(r, 520, c.Longitude);
  PutInt32(r, 528, c.TimeZone);
  PutInt32(r, 532, 0);
}

int TCityTable::Load(const std::string& path) {
  for (int i = 1; i <= MaxCities; ++i) Cities[i] = TCityInfo{};
  CityCount = 0;
  std::vector<uint8_t> bytes;
  std::string error;
  uint64_t size = 0;
  constexpr size_t Used = CityRecordSize * MaxCities;
  const TReadResult r = ReadFilePrefix(path, Used, bytes, &error, &size);
  if (r == TReadResult::Unreadable) ReportFile(path, "cannot be read; no cities", error);
  if (r != TReadResult::Ok) return 0;
  const std::span<const uint8_t> all(bytes);
  while (CityCount < MaxCities &&
         static_cast<size_t>(CityCount + 1) * CityRecordSize <= all.size()) {
    Cities[CityCount + 1] = DecodeCity(all.subspan(CityCount * CityRecordSize, CityRecordSize));
    ++CityCount;
  }
  const std::string sizeText = std::to_string(size) + " bytes";
  if (size > Used)
    ReportFile(path, "more than " + std::to_string(MaxCities) + " cities; the rest are ignored",
               sizeText);
  else if (size % CityRecordSize != 0)
    ReportFile(path, "ends in a partial city record; it is ignored",
               sizeText + ", not a multiple of " + std::to_string(CityRecordSize));
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const std::string namesPath = (folder.empty() ? "" : folder + "/") + CityEnglishFileName;
  std::string names;
  if (IsRegularFile(namesPath) && !ReadTextFile(namesPath, MaxCities * 256, names, &error))
    ReportFile(CityEnglishFileName, "cannot be read; cities are found by their Chinese names",
               error);
  size_t start = 0;
  for (int i = 1; i <= CityCount && start < names.size(); ++i) {
    size_t end = names.find('\n', start);
    if (end == std::string::npos) end = names.size();
    std::string_view line(names.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() <= 255) Cities[i].English.set(std::string(line));
    start = end + 1;
  }
  return CityCount;
}
