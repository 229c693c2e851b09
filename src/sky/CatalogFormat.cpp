#include "CatalogFormat.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "LittleEndian.h"

namespace CatalogFormat {

using namespace LittleEndian;

const TBlockInfo Blocks[9] = {
    {Block::Stars, "stars", PointSize, MaxStars, 0},
    {Block::ConstLines, "constlines", LineSize, MaxLines, 256000},
    {Block::Consts, "consts", ObjectSize, MaxConsts, 268000},
    {Block::StarNames, "starnames", StarNameSize, MaxStarNames, 375200},
    {Block::Bounds, "bounds", PointSize, MaxBounds, 427200},
    {Block::Messier, "messier", PointSize, MaxMessier, 529600},
    {Block::MessierNames, "messiernames", MessierNameSize, MaxMessier, 536000},
    {Block::OfficeLines, "officelines", LineSize, MaxLines, 588000},
    {Block::Offices, "offices", ObjectSize, MaxOffices, 600000},
};

TSkyPoint DecodePoint(std::span<const uint8_t> r) {
  TSkyPoint p;
  p.Lon = GetDouble(r, 0);
  p.Lat = GetDouble(r, 8);
  p.Mag = GetInt32(r, 16);
  p.Owner = GetInt32(r, 20);
  p.X = GetDouble(r, 24);
  p.Y = GetDouble(r, 32);
  p.Z = GetDouble(r, 40);
  p.Visible = GetByte(r, 48);
  p.Image = GetInt32(r, 52);
  p.Greek = GetByte(r, 56);
  return p;
}

void EncodePoint(std::span<uint8_t> r, const TSkyPoint& p) {
  std::fill(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(std::min(r.size(), PointSize)), 0);
  PutDouble(r, 0, p.Lon);
  PutDouble(r, 8, p.Lat);
  PutInt32(r, 16, p.Mag);
  PutInt32(r, 20, p.Owner);
  PutDouble(r, 24, p.X);
  PutDouble(r, 32, p.Y);
  PutDouble(r, 40, p.Z);
  PutByte(r, 48, p.Visible);
  PutInt32(r, 52, p.Image);
  PutByte(r, 56, p.Greek);
}

TLinePair DecodeLine(std::span<const uint8_t> r) {
  TLinePair l;
  l.StarA = GetInt32(r, 0);
  l.StarB = GetInt32(r, 4);
  l.Owner = GetInt32(r, 8);
  return l;
}

void EncodeLine(std::span<uint8_t> r, const TLinePair& l) {
  PutInt32(r, 0, l.StarA);
  PutInt32(r, 4, l.StarB);
  PutInt32(r, 8, l.Owner);
}

TSkyObject DecodeObject(std::span<const uint8_t> r) {
  TSkyObject o;
  o.Reserved0 = GetInt32(r, 0);
  o.HasLabel = GetByte(r, 4);
  o.Name = GetShortString(r, 5);
  o.EName = GetShortString(r, 261);
  o.Reserved1 = GetShortString(r, 517);
  o.EShort = GetShortString(r, 773);
  o.Lon = GetDouble(r, 1032);
  o.Lat = GetDouble(r, 1040);
  o.LabelX = GetDouble(r, 1048);
  o.LabelY = GetDouble(r, 1056);
  o.LabelCount = GetInt32(r, 1064);
  return o;
}

void EncodeObject(std::span<uint8_t> r, const TSkyObject& o) {
  std::fill(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(std::min(r.size(), ObjectSize)), 0);
  PutInt32(r, 0, o.Reserved0);
  PutByte(r, 4, o.HasLabel);
  PutShortString(r, 5, o.Name);
  PutShortString(r, 261, o.EName);
  PutShortString(r, 517, o.Reserved1);
  PutShortString(r, 773, o.EShort);
  PutDouble(r, 1032, o.Lon);
  PutDouble(r, 1040, o.Lat);
  PutDouble(r, 1048, o.LabelX);
  PutDouble(r, 1056, o.LabelY);
  PutInt32(r, 1064, o.LabelCount);
}

TStarName DecodeStarName(std::span<const uint8_t> r) {
  TStarName n;
  n.Star = GetInt32(r, 0);
  n.Name = GetShortString(r, 4);
  n.EName = GetShortString(r, 260);
  n.Kind = GetInt32(r, 516);
  return n;
}

void EncodeStarName(std::span<uint8_t> r, const TStarName& n) {
  PutInt32(r, 0, n.Star);
  PutShortString(r, 4, n.Name);
  PutShortString(r, 260, n.EName);
  PutInt32(r, 516, n.Kind);
}

TMessierName DecodeMessierName(std::span<const uint8_t> r) {
  TMessierName n;
  n.Reserved0 = GetInt32(r, 0);
  n.Name = GetShortString(r, 4);
  n.Code = GetShortString(r, 260);
  return n;
}

void EncodeMessierName(std::span<uint8_t> r, const TMessierName& n) {
  std::fill(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(std::min(r.size(), MessierNameSize)), 0);
  PutInt32(r, 0, n.Reserved0);
  PutShortString(r, 4, n.Name);
  PutShortString(r, 260, n.Code);
}

namespace {

// Calls fn(index, recordBytes) for records 1..N of a block; recordBytes is
// the record as stored, or, for a record cut by the end of the image, a
// zero-padded copy of what is there.
template <typename Fn>
void ForEachRecord(std::span<const uint8_t> bytes, const TBlockInfo& b, Fn fn) {
  if (bytes.size() <= b.Offset) return;
  const size_t avail = std::min(bytes.size() - b.Offset, b.Bytes());
  std::array<uint8_t, ObjectSize> padded{};
  for (int k = 1; k <= b.Records; ++k) {
    const size_t start = static_cast<size_t>(k - 1) * b.RecordSize;
    if (start >= avail) break;
    std::span<const uint8_t> rec = bytes.subspan(b.Offset + start);
    if (avail - start >= b.RecordSize) {
      fn(k, rec.first(b.RecordSize));
    } else {
      padded.fill(0);
      std::memcpy(padded.data(), rec.data(), avail - start);
      fn(k, std::span<const uint8_t>(padded.data(), b.RecordSize));
    }
  }
}

template <typename Fn>
void ForEachOutRecord(std::span<uint8_t> out, const TBlockInfo& b, Fn fn) {
  for (int k = 1; k <= b.Records; ++k) {
    const size_t start = b.Offset + static_cast<size_t>(k - 1) * b.RecordSize;
    if (start + b.RecordSize > out.size()) return;
    fn(k, out.subspan(start, b.RecordSize));
  }
}

}  // namespace

void DecodeCatalog(std::span<const uint8_t> bytes, TSkyloom& sky) {
  for (const TBlockInfo& b : Blocks) {
    switch (b.Id) {
      case Block::Stars:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.Stars[k] = DecodePoint(r); });
        break;
      case Block::ConstLines:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.ConstLines[k] = DecodeLine(r); });
        break;
      case Block::Consts:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.Consts[k] = DecodeObject(r); });
        break;
      case Block::StarNames:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.StarNames[k] = DecodeStarName(r); });
        break;
      case Block::Bounds:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.Bounds[k] = DecodePoint(r); });
        break;
      case Block::Messier:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.Messier[k] = DecodePoint(r); });
        break;
      case Block::MessierNames:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.MessierNames[k] = DecodeMessierName(r); });
        break;
      case Block::OfficeLines:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.OfficeLines[k] = DecodeLine(r); });
        break;
      case Block::Offices:
        ForEachRecord(bytes, b, [&](int k, auto r) { sky.Offices[k] = DecodeObject(r); });
        break;
    }
  }
}

void EncodeCatalog(const TSkyloom& sky, std::span<uint8_t> out) {
  std::fill(out.begin(), out.end(), 0);
  for (const TBlockInfo& b : Blocks) {
    switch (b.Id) {
      case Block::Stars:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodePoint(r, sky.Stars[k]); });
        break;
      case Block::ConstLines:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeLine(r, sky.ConstLines[k]); });
        break;
      case Block::Consts:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeObject(r, sky.Consts[k]); });
        break;
      case Block::StarNames:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeStarName(r, sky.StarNames[k]); });
        break;
      case Block::Bounds:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodePoint(r, sky.Bounds[k]); });
        break;
      case Block::Messier:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodePoint(r, sky.Messier[k]); });
        break;
      case Block::MessierNames:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeMessierName(r, sky.MessierNames[k]); });
        break;
      case Block::OfficeLines:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeLine(r, sky.OfficeLines[k]); });
        break;
      case Block::Offices:
        ForEachOutRecord(out, b, [&](int k, auto r) { EncodeObject(r, sky.Offices[k]); });
        break;
    }
  }
}

}  // namespace CatalogFormat
