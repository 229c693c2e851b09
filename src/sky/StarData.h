// Reading and writing "StarData.dat", the star catalogue with every
// catalogue table of the sky model (layout in CatalogFormat.h).
#pragma once

#include <string>

#include "SkyModel.h"

// The catalogue file name in the working directory.
inline constexpr const char* StarDataFileName = "StarData.dat";
// The names beside the catalogue: lines "object number<TAB>name" (UTF-8).
inline constexpr const char* NameIndexFileName = "NameIndex.txt";
// The number of stars in use after a catalogue was opened.
constexpr int CatalogStarCount = 3144;

// What LoadStarData does, from any path: a missing file leaves the model
// untouched; an opened file sets StarCount to 3144 and fills the tables from
// the bytes it holds (a short file fills what it reaches, a longer one's
// surplus is ignored; both are reported on stderr with their size). A file
// that exists but cannot be read (a folder, pipe or device included) is
// reported and treated like a missing one. Returns true when the file was
// read.
bool LoadStarDataFrom(TSkyloom& sky, const std::string& path);

// Replaces sky.OtherNames by the lines of the name file at `path` (at most
// 2000 lines of 256 bytes; malformed lines are skipped and reported once).
// A missing file leaves the list empty.
void LoadNameIndexFrom(TSkyloom& sky, const std::string& path);

// Writes the catalogue tables of `sky` as a complete catalogue file
// (atomically). False, with `error`, on failure.
bool WriteStarData(const TSkyloom& sky, const std::string& path, std::string* error = nullptr);
