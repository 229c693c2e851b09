// The Milky Way's brightness over the sky, in galactic coordinates: the
// component table it is built from (data/milkyway/milkyway.tsv, read by
// the build's compiler), the brightness map the build makes of it
// ("MilkyWay.dat": a 1-degree grid of longitude l and latitude b) and the
// map's reader and writer.
//
// The file is "SKMW", the number of columns (longitudes 0..359) and of
// rows (latitudes -90..+90) as little-endian 16-bit numbers, then one byte
// of brightness (0..255, perceived: the relative surface brightness to the
// power 0.6) per cell, row by row from b = -90.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* MilkyWayFileName = "MilkyWay.dat";

struct TMilkyWayMap {
  static constexpr int Columns = 360, Rows = 181;
  static constexpr size_t HeaderSize = 8;
  static constexpr size_t FileSize = HeaderSize + static_cast<size_t>(Columns) * Rows;
  // Rows x Columns brightness values; empty when no map is loaded.
  std::vector<uint8_t> Cells;

  bool Empty() const { return Cells.empty(); }
  uint8_t Cell(int column, int row) const {
    return Cells[static_cast<size_t>(row) * Columns + column];
  }
  // Brightness 0..1 at galactic longitude and latitude l, b (radians),
  // interpolated between the four nearest cells; 0 without a map.
  double At(double l, double b) const;
};

// One row of the component table (degrees).
struct TMilkyWayComponent {
  enum class TKind { Band, Glow, Dark } Kind = TKind::Band;
  double L = 0, B = 0, SigmaL = 0, SigmaB = 1, Value = 0;
};

// Reads the component table: tab-separated rows "kind l b sigma_l sigma_b
// value", '#' starts a comment. False with the line and the fault in
// `error` at the first bad row; at least two band rows are needed.
bool ParseMilkyWayTable(const std::string& text, std::vector<TMilkyWayComponent>& out,
                        std::string& error);

// Relative surface brightness of the table's sky at l, b (degrees), before
// any scaling.
double MilkyWayBrightness(const std::vector<TMilkyWayComponent>& table, double l, double b);

// The map of a table: the brightest cell 255.
TMilkyWayMap BuildMilkyWayMap(const std::vector<TMilkyWayComponent>& table);

// The file's bytes of a map, and the map of a file's bytes. DecodeMilkyWay
// keeps the whole rows a short file holds (the rest stay dark) and ignores
// what lies past the layout; `fault` then says which, and is empty for a
// sound file. False (and no map) when the header is wrong. `reason` gives
// the sizes or the header found.
std::vector<uint8_t> EncodeMilkyWay(const TMilkyWayMap& map);
bool DecodeMilkyWay(const std::vector<uint8_t>& bytes, TMilkyWayMap& map, std::string& fault,
                    std::string& reason);

// Reads the map from `path` through the one reader, reporting a missing,
// unreadable, damaged, short or long file once on stderr. A missing or
// damaged file leaves the map empty (no Milky Way is drawn).
void LoadMilkyWayFrom(TMilkyWayMap& map, const std::string& path);
