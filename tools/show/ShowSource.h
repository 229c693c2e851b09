// The show source format: a TOML file a teacher writes (UTF-8), compiled to
// a show file (".shw") and decompiled back. docs/show-format.md describes
// every key. Names (cities, constellations, bodies, asterisms, Messier
// objects, stars) are looked up in the program's own catalogue and city
// table, and "toward" views are computed with the program's own ephemeris.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Lecture.h"
#include "ShortString.h"
#include "ShowFrame.h"

class TSkyloom;

// A whole show as the file holds it.
struct TShowImage {
  char Tag = 'F';
  ShortString Title;
  std::vector<ShortString> Lines;   // description, at most 11
  std::vector<TShowFrame> Frames;   // pages 1..Count
};

// The catalogue and city table the names are looked up in, with a sky model
// for computing directions.
class TShowCatalog {
 public:
  // Reads "StarData.dat" and "CityInfo.dat" from `dataFolder`. False with
  // `error` when either cannot be read.
  bool Open(const std::string& dataFolder, std::string& error);

  // Object number (1..100, 101..110, 201..600, 1001..1100) of a name as a
  // teacher writes it: a constellation's Chinese or English name or
  // abbreviation, a body (火星, Mars), an asterism, a Messier code (M31) or
  // a Messier object's Chinese name. 0 when unknown.
  int FindObject(const std::string& utf8) const;
  // Star number of a proper name (参宿四, Betelgeuse), a designation
  // ("α Ori", "alpha Ori") or "#N". 0 when unknown.
  int FindStar(const std::string& utf8) const;
  // City index (1-based) of "北京", "Beijing" or "中国/北京"; 0 when unknown,
  // -1 when the bare name is in more than one country.
  int FindCity(const std::string& utf8) const;

  // The shortest name that finds the object/star/city again, or "" when
  // none does (the number is written instead).
  std::string ObjectName(int id) const;
  std::string StarName(int star) const;
  std::string CityName(int city) const;

  // Horizontal direction (azimuth from south through east, altitude;
  // radians) of an object or (when star > 0) a star at a local date, time,
  // zone and place.
  void DirectionAt(int id, int star, const TShowFrame& when, int zone, double& az,
                   double& alt) const;

  TSkyloom& Model() const { return *model_; }

 private:
  std::shared_ptr<TSkyloom> model_;
};

struct TSourceError {
  int Line = 0, Column = 0;
  std::string Message;
  // "FILE:LINE:COLUMN: message"
  std::string Text(const std::string& file) const;
};

// Compiles source text. False with the first error (line, column, message).
bool CompileShowSource(const std::string& text, const TShowCatalog& catalog, TShowImage& out,
                       TSourceError& error);
// The source text of a show; compiling it gives the same bytes again.
std::string DecompileShow(const TShowImage& show, const TShowCatalog& catalog);

// File bytes of an image, and an image from file bytes (false with a message
// when the bytes are not a readable show).
std::vector<uint8_t> ShowImageBytes(const TShowImage& show);
bool ShowImageFromBytes(std::span<const uint8_t> bytes, const std::string& name, TShowImage& out,
                        std::string& error);
