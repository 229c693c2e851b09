// The stored layout of "StarData.dat": nine blocks of fixed-size
// little-endian records, no header, 1,028,800 bytes in all. Each record is
// encoded and decoded field by field at fixed offsets (CatalogFormat.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "SkyModel.h"

namespace CatalogFormat {

constexpr size_t PointSize = 64, LineSize = 12, ObjectSize = 1072, StarNameSize = 520,
                 MessierNameSize = 520;

// The nine blocks in file order, with their byte offsets.
enum class Block { Stars, ConstLines, Consts, StarNames, Bounds, Messier, MessierNames,
                   OfficeLines, Offices };
struct TBlockInfo {
  Block Id;
  const char* Name;     // short name used by the dump tool
  size_t RecordSize;
  int Records;
  size_t Offset;        // from the start of the file
  size_t Bytes() const { return RecordSize * static_cast<size_t>(Records); }
};
extern const TBlockInfo Blocks[9];
constexpr size_t FileSize = 1028800;

// Point record (stars, boundary points, Messier positions): Lon 0, Lat 8,
// Mag 16, Owner 20, X 24, Y 32, Z 40, Visible 48, Image 52, Greek 56.
TSkyPoint DecodePoint(std::span<const uint8_t> rec);
void EncodePoint(std::span<uint8_t> rec, const TSkyPoint& p);
// Line record: StarA 0, StarB 4, Owner 8.
TLinePair DecodeLine(std::span<const uint8_t> rec);
void EncodeLine(std::span<uint8_t> rec, const TLinePair& l);
// Object record (constellations, asterisms): HasLabel 4, Name 5, EName 261,
// reserved string 517, EShort 773, Lon 1032, Lat 1040, LabelX 1048,
// LabelY 1056, LabelCount 1064.
TSkyObject DecodeObject(std::span<const uint8_t> rec);
void EncodeObject(std::span<uint8_t> rec, const TSkyObject& o);
// Star-name record: Star 0, Name 4, EName 260, Kind 516.
TStarName DecodeStarName(std::span<const uint8_t> rec);
void EncodeStarName(std::span<uint8_t> rec, const TStarName& n);
// Messier-name record: Name 4, Code 260.
TMessierName DecodeMessierName(std::span<const uint8_t> rec);
void EncodeMessierName(std::span<uint8_t> rec, const TMessierName& n);

// Decodes the file image `bytes` (which may be short) into the catalogue
// tables of `sky`. Records that lie wholly or partly in `bytes` are taken, a
// partial record with its missing bytes as zero; a block the image does not
// reach, and every block after it, keeps its previous contents.
void DecodeCatalog(std::span<const uint8_t> bytes, TSkyloom& sky);
// Encodes the catalogue tables of `sky` into a full file image of FileSize
// bytes; every field is written as it stands in the model.
void EncodeCatalog(const TSkyloom& sky, std::span<uint8_t> out);

}  // namespace CatalogFormat
