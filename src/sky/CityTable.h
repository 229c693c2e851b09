// The city table: "CityInfo.dat", a sequence of 536-byte records with no
// header, read once at start-up; at most 800 records are used. Cities are
// numbered from 1 in file order (the City of the model and the settings).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "ShortString.h"
#include "Table.h"

inline constexpr const char* CityFileName = "CityInfo.dat";
// The English city names, one a line in record order, beside the city file.
inline constexpr const char* CityEnglishFileName = "CityNames.txt";
constexpr int MaxCities = 800;
constexpr size_t CityRecordSize = 536;

// Record layout: Country 0, CityName 256 (short strings), Latitude 512,
// Longitude 520 (doubles, radians, north and east positive), TimeZone 528
// (whole hours east), 4 reserved bytes.
struct TCityInfo {
  ShortString Country;
  ShortString CityName;
  double Latitude = 0;
  double Longitude = 0;
  int32_t TimeZone = 0;
  uint8_t Reserved[4] = {};
  ShortString English;  // from the English name file, not part of the record
};

TCityInfo DecodeCity(std::span<const uint8_t> rec);
void EncodeCity(std::span<uint8_t> rec, const TCityInfo& city);

// The cities read from the city file: Cities[1..CityCount].
struct TCityTable {
  Table1<TCityInfo, MaxCities> Cities;
  int CityCount = 0;

  // Empties the table, then appends the file's whole records, at most
  // MaxCities of them. A missing file leaves the table empty; an unreadable
  // one (a folder, pipe or device included: the reader never blocks) does
  // too, with a message on stderr. A file ending in a partial record or
  // holding more than MaxCities records is reported once; its whole records
  // up to that limit are kept. The
  // English names come from CityNames.txt in the same folder when it is
  // there (a city without a line keeps an empty name). Returns CityCount.
  int Load(const std::string& path);
};
