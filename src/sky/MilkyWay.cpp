#include "MilkyWay.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "FileIo.h"

namespace {

constexpr double DegPerRad = 180 / M_PI;
const char Magic[4] = {'S', 'K', 'M', 'W'};

// Longitude difference a - b brought into -180..180 degrees.
double LonDiff(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

// The fields of one line up to a comment, split at tabs and blanks.
std::vector<std::string> Fields(std::string line) {
  const size_t hash = line.find('#');
  if (hash != std::string::npos) line.resize(hash);
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == '\t' || line[i] == ' ' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != '\t' && line[i] != ' ' && line[i] != '\r') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool Number(const std::string& s, double lo, double hi, double& v) {
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end && *end == '\0' && end != s.c_str() && std::isfinite(v) && v >= lo && v <= hi;
}

// Gaussian of a component at (l, b), its width along the sky.
double Spot(const TMilkyWayComponent& c, double l, double b) {
  const double dl = LonDiff(l, c.L) * std::cos((b + c.B) / 2 / DegPerRad) / c.SigmaL;
  const double db = (b - c.B) / c.SigmaB;
  const double q = dl * dl + db * db;
  return q > 40 ? 0 : std::exp(-0.5 * q);
}

}  // namespace

double TMilkyWayMap::At(double l, double b) const {
  if (Empty()) return 0;
  double x = l * DegPerRad;
  x -= 360 * std::floor(x / 360);
  const double y = std::clamp(b * DegPerRad + 90, 0.0, Rows - 1.0);
  int c0 = static_cast<int>(x), r0 = static_cast<int>(y);
  if (c0 >= Columns) c0 = 0;
  const int c1 = c0 + 1 == Columns ? 0 : c0 + 1, r1 = std::min(r0 + 1, Rows - 1);
  const double fx = x - std::floor(x), fy = y - r0;
  const double top = Cell(c0, r0) + (Cell(c1, r0) - Cell(c0, r0)) * fx;
  const double bottom = Cell(c0, r1) + (Cell(c1, r1) - Cell(c0, r1)) * fx;
  return (top + (bottom - top) * fy) / 255.0;
}

bool ParseMilkyWayTable(const std::string& text, std::vector<TMilkyWayComponent>& out,
                        std::string& error) {
  out.clear();
  constexpr size_t MaxRows = 1000;
  int lineNo = 0, bands = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::vector<std::string> f = Fields(text.substr(start, end - start));
    start = end + 1;
    ++lineNo;
    if (f.empty()) continue;
    auto fail = [&](const std::string& what) {
      error = "line " + std::to_string(lineNo) + ": " + what;
      return false;
    };
    if (out.size() >= MaxRows) return fail("more than " + std::to_string(MaxRows) + " rows");
    if (f.size() != 6) return fail("6 fields expected: kind l b sigma_l sigma_b value");
    TMilkyWayComponent c;
    if (f[0] == "band") c.Kind = TMilkyWayComponent::TKind::Band;
    else if (f[0] == "glow") c.Kind = TMilkyWayComponent::TKind::Glow;
    else if (f[0] == "dark") c.Kind = TMilkyWayComponent::TKind::Dark;
    else return fail("unknown kind \"" + f[0] + "\" (band, glow or dark)");
    const bool band = c.Kind == TMilkyWayComponent::TKind::Band;
    if (!Number(f[1], 0, 360, c.L)) return fail("l is 0..360 degrees");
    if (!Number(f[2], -90, 90, c.B)) return fail("b is -90..90 degrees");
    if (band ? f[3] != "-" : !Number(f[3], 0.1, 90, c.SigmaL))
      return fail(band ? "a band row has \"-\" for sigma_l" : "sigma_l is 0.1..90 degrees");
    if (!Number(f[4], 0.1, 90, c.SigmaB)) return fail("sigma_b is 0.1..90 degrees");
    if (!Number(f[5], 0, c.Kind == TMilkyWayComponent::TKind::Dark ? 1 : 10, c.Value))
      return fail("value is 0..10 (0..1 for a dark cloud)");
    if (band) ++bands;
    out.push_back(c);
  }
  if (bands < 2) {
    error = "fewer than two band rows";
    return false;
  }
  // Band rows in order of longitude, so that the band can be interpolated.
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
    if (a.Kind != b.Kind) return a.Kind < b.Kind;
    return a.Kind == TMilkyWayComponent::TKind::Band && a.L < b.L;
  });
  return true;
}

double MilkyWayBrightness(const std::vector<TMilkyWayComponent>& table, double l, double b) {
  using K = TMilkyWayComponent::TKind;
  // The band rows come first, sorted by longitude: find the pair around l.
  size_t n = 0;
  while (n < table.size() && table[n].Kind == K::Band) ++n;
  double sum = 0, dim = 1;
  if (n >= 2) {
    l -= 360 * std::floor(l / 360);
    size_t hi = 0;
    while (hi < n && table[hi].L <= l) ++hi;
    const TMilkyWayComponent& a = table[hi == 0 ? n - 1 : hi - 1];
    const TMilkyWayComponent& c = table[hi == n ? 0 : hi];
    const double span = LonDiff(c.L, a.L) <= 0 ? LonDiff(c.L, a.L) + 360 : LonDiff(c.L, a.L);
    double t = LonDiff(l, a.L);
    if (t < 0) t += 360;
    t = span > 0 ? std::clamp(t / span, 0.0, 1.0) : 0;
    const double centre = a.B + (c.B - a.B) * t, sigma = a.SigmaB + (c.SigmaB - a.SigmaB) * t;
    const double value = a.Value + (c.Value - a.Value) * t;
    const double q = (b - centre) / sigma;
    sum = value * std::exp(-0.5 * q * q);
  }
  for (size_t i = n; i < table.size(); ++i) {
    const TMilkyWayComponent& c = table[i];
    if (c.Kind == K::Glow) sum += c.Value * Spot(c, l, b);
    else dim *= 1 - c.Value * Spot(c, l, b);
  }
  return sum * dim;
}

TMilkyWayMap BuildMilkyWayMap(const std::vector<TMilkyWayComponent>& table) {
  std::vector<double> raw(static_cast<size_t>(TMilkyWayMap::Columns) * TMilkyWayMap::Rows);
  double top = 0;
  for (int r = 0; r < TMilkyWayMap::Rows; ++r)
    for (int c = 0; c < TMilkyWayMap::Columns; ++c) {
      const double v = MilkyWayBrightness(table, c, r - 90.0);
      raw[static_cast<size_t>(r) * TMilkyWayMap::Columns + c] = v;
      top = std::max(top, v);
    }
  TMilkyWayMap map;
  map.Cells.resize(raw.size());
  for (size_t i = 0; i < raw.size(); ++i)
    map.Cells[i] = top > 0 ? static_cast<uint8_t>(std::lround(255 * std::pow(raw[i] / top, 0.6)))
                           : 0;
  return map;
}

std::vector<uint8_t> EncodeMilkyWay(const TMilkyWayMap& map) {
  std::vector<uint8_t> out(TMilkyWayMap::FileSize, 0);
  std::memcpy(out.data(), Magic, 4);
  out[4] = TMilkyWayMap::Columns & 255;
  out[5] = TMilkyWayMap::Columns >> 8;
  out[6] = TMilkyWayMap::Rows & 255;
  out[7] = TMilkyWayMap::Rows >> 8;
  std::copy_n(map.Cells.begin(), std::min(map.Cells.size(), out.size() - TMilkyWayMap::HeaderSize),
              out.begin() + TMilkyWayMap::HeaderSize);
  return out;
}

bool DecodeMilkyWay(const std::vector<uint8_t>& bytes, TMilkyWayMap& map, std::string& fault,
                    std::string& reason) {
  map.Cells.clear();
  fault.clear();
  reason.clear();
  if (bytes.size() < TMilkyWayMap::HeaderSize || std::memcmp(bytes.data(), Magic, 4) != 0) {
    fault = "not a Milky Way map";
    reason = "no SKMW header";
    return false;
  }
  const int columns = bytes[4] | bytes[5] << 8, rows = bytes[6] | bytes[7] << 8;
  if (columns != TMilkyWayMap::Columns || rows != TMilkyWayMap::Rows) {
    fault = "not a Milky Way map of this program";
    reason = "a map of " + std::to_string(columns) + " x " + std::to_string(rows) + " cells, " +
            std::to_string(TMilkyWayMap::Columns) + " x " + std::to_string(TMilkyWayMap::Rows) +
            " expected";
    return false;
  }
  const size_t expected = TMilkyWayMap::FileSize;
  reason =
      std::to_string(bytes.size()) + " bytes, " + std::to_string(expected) + " bytes expected";
  map.Cells.assign(expected - TMilkyWayMap::HeaderSize, 0);
  size_t body = std::min(bytes.size(), expected) - TMilkyWayMap::HeaderSize;
  if (bytes.size() < expected) {
    // Only whole rows are kept: a row cut short would draw a false edge.
    body -= body % TMilkyWayMap::Columns;
    fault = "shorter than a map; the rows past its end stay dark";
  } else if (bytes.size() > expected) {
    fault = "longer than a map; the bytes past its layout are ignored";
  }
  std::copy_n(bytes.begin() + TMilkyWayMap::HeaderSize, body, map.Cells.begin());
  return true;
}

void LoadMilkyWayFrom(TMilkyWayMap& map, const std::string& path) {
  map.Cells.clear();
  std::vector<uint8_t> bytes;
  std::string error;
  uint64_t size = 0;
  switch (ReadFilePrefix(path, TMilkyWayMap::FileSize + 1, bytes, &error, &size)) {
    case TReadResult::Missing:
      ReportFile(path, "missing; the Milky Way is not drawn");
      return;
    case TReadResult::Unreadable:
      ReportFile(path, "cannot be read; the Milky Way is not drawn", error);
      return;
    case TReadResult::Ok:
      break;
  }
  std::string fault, reason;
  if (!DecodeMilkyWay(bytes, map, fault, reason)) {
    ReportFile(path, fault + "; the Milky Way is not drawn", reason);
    return;
  }
  // A longer file is read one byte past its layout; its true length is the
  // size the system gives.
  if (size > bytes.size())
    reason = std::to_string(size) + " bytes, " + std::to_string(TMilkyWayMap::FileSize) +
             " bytes expected";
  if (!fault.empty()) ReportFile(path, fault, reason);
}
