#include "MilkyWayDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "DateFrame.h"

namespace {

// J2000 equator -> galactic (the IAU definition of the galactic frame).
constexpr double EquatorToGalactic[3][3] = {
    {-0.0548755604, -0.8734370902, -0.4838350155},
    {0.4941094279, -0.4448296300, 0.7469822445},
    {-0.8676661490, -0.1980763734, 0.4559837762}};

// Horizontal (S, E, U) -> equator of date: the inverse of the turn by the
// sky rotation angle and the tilt by the latitude of HorizontalOf.
TVector3 EquatorOfHorizontal(const TVector3& h, double theta, double phi) {
  const double cp = std::cos(phi), sp = std::sin(phi), ct = std::cos(theta), st = std::sin(theta);
  const double x1 = sp * h.X + cp * h.Z;
  const double z = -cp * h.X + sp * h.Z;
  return {ct * x1 + st * h.Y, -st * x1 + ct * h.Y, z};
}

// Brightest colour the Milky Way adds (8-bit levels, a cold white) at full
// strength and full brightness of the map.
constexpr double PeakR = 72, PeakG = 80, PeakB = 94;

// The glow added to one row: between nodes i and i + 1 (`step` pixels
// apart) the three channels go linearly, in 16.16 fixed point (at most
// 4096 * 81920 < 2^31), plus the row's ordered dither. Adding nothing where
// a pixel gets no step keeps the loop free of branches.
void AddGlowSpan(uint16_t* out, int from, int to, int32_t r, int32_t g, int32_t bl, int32_t dr,
                 int32_t dg, int32_t db, const int32_t* dither) {
  for (int x = from; x < to; ++x, r += dr, g += dg, bl += db) {
    const int32_t d = dither[x & 3];
    const uint16_t p = out[x];
    const int pr = std::min(31, (p >> 11) + (((r >> 16) + d) >> 8));
    const int pg = std::min(63, ((p >> 5) & 63) + (((g >> 16) + d) >> 8));
    const int pb = std::min(31, (p & 31) + (((bl >> 16) + d) >> 8));
    out[x] = static_cast<uint16_t>(pr << 11 | pg << 5 | pb);
  }
}

void AddGlowRowPlain(uint16_t* out, const int32_t* row, int width, int step, const int32_t* dither,
                     int32_t kr, int32_t kg, int32_t kb) {
  for (int x0 = 0, i = 0; x0 < width; x0 += step, ++i) {
    const int32_t a = row[i], b = row[i + 1];
    if (a <= 0 && b <= 0) continue;
    AddGlowSpan(out, x0, std::min(width, x0 + step), a * kr, a * kg, a * kb, (b - a) * kr / step,
                (b - a) * kg / step, (b - a) * kb / step, dither);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The 565 steps a channel gains: ((v >> 16) + dither) >> 8 per lane.
__attribute__((target("avx2"))) inline __m256i GlowSteps(__m256i v, __m256i dith) {
  return _mm256_srai_epi32(_mm256_add_epi32(_mm256_srai_epi32(v, 16), dith), 8);
}

// The same, eight pixels at a time with AVX2: the glow is most of what a
// frame of the sky costs at full HD. Every lane does the scalar loop's
// integer steps, so the pixels come out the same.
__attribute__((target("avx2"))) void AddGlowRowAvx2(uint16_t* out, const int32_t* row, int width,
                                                     int step, const int32_t* dither, int32_t kr,
                                                     int32_t kg, int32_t kb) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i max5 = _mm256_set1_epi32(31), max6 = _mm256_set1_epi32(63);
  const __m256i low16 = _mm256_set1_epi32(0xFFFF);
  for (int x0 = 0, i = 0; x0 < width; x0 += step, ++i) {
    const int32_t a = row[i], b = row[i + 1];
    if (a <= 0 && b <= 0) continue;
    const int x1 = std::min(width, x0 + step);
    const int32_t dr = (b - a) * kr / step, dg = (b - a) * kg / step, db = (b - a) * kb / step;
    // The dither repeats every four pixels; spans start on a multiple of four.
    const __m256i dith = _mm256_setr_epi32(dither[x0 & 3], dither[(x0 + 1) & 3], dither[(x0 + 2) & 3],
                                           dither[(x0 + 3) & 3], dither[x0 & 3], dither[(x0 + 1) & 3],
                                           dither[(x0 + 2) & 3], dither[(x0 + 3) & 3]);
    __m256i vr = _mm256_add_epi32(_mm256_set1_epi32(a * kr), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dr)));
    __m256i vg = _mm256_add_epi32(_mm256_set1_epi32(a * kg), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dg)));
    __m256i vb = _mm256_add_epi32(_mm256_set1_epi32(a * kb), _mm256_mullo_epi32(lane, _mm256_set1_epi32(db)));
    const __m256i sr = _mm256_set1_epi32(8 * dr), sg = _mm256_set1_epi32(8 * dg), sb = _mm256_set1_epi32(8 * db);
    int x = x0;
    for (; x + 8 <= x1; x += 8) {
      const __m256i p = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x)));
      const __m256i pr = _mm256_min_epi32(max5, _mm256_add_epi32(_mm256_srli_epi32(p, 11), GlowSteps(vr, dith)));
      const __m256i pg = _mm256_min_epi32(
          max6, _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(p, 5), max6), GlowSteps(vg, dith)));
      const __m256i pb = _mm256_min_epi32(max5, _mm256_add_epi32(_mm256_and_si256(p, max5), GlowSteps(vb, dith)));
      const __m256i v = _mm256_and_si256(
          _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(pr, 11), _mm256_slli_epi32(pg, 5)), pb), low16);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                       _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
      vr = _mm256_add_epi32(vr, sr);
      vg = _mm256_add_epi32(vg, sg);
      vb = _mm256_add_epi32(vb, sb);
    }
    const int done = x - x0;
    AddGlowSpan(out, x, x1, a * kr + done * dr, a * kg + done * dg, a * kb + done * db, dr, dg, db, dither);
  }
}
#endif

// The widest row laid apart before it is written out.
constexpr int MaxLaidRow = 4096;

// The sky area is written whole in every frame and read again only pixel
// by pixel (stars, lines) before the frame is shown: on x86-64 its rows are
// written past the caches, without first reading in the memory they
// replace. StreamDone makes them visible to what follows.
void StreamFill(uint16_t* out, uint16_t value, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi16(static_cast<short>(value));
  for (; i < n && (reinterpret_cast<uintptr_t>(out + i) & 15) != 0; ++i) out[i] = value;
  for (; i + 8 <= n; i += 8) _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), v);
#endif
  for (; i < n; ++i) out[i] = value;
}

void StreamCopy(uint16_t* out, const uint16_t* from, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i < n && (reinterpret_cast<uintptr_t>(out + i) & 15) != 0; ++i) out[i] = from[i];
  for (; i + 8 <= n; i += 8)
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
#endif
  for (; i < n; ++i) out[i] = from[i];
}

void StreamDone() {
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

}  // namespace

TGlowRowAdder PlainGlowRowAdder() { return AddGlowRowPlain; }

TGlowRowAdder FastGlowRowAdder() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx2")) return AddGlowRowAvx2;
#endif
  return AddGlowRowPlain;
}

double MilkyWayFade(int limitTenths) { return std::clamp((limitTenths - 35) / 25.0, 0.0, 1.0); }

double MilkyWayStrength(const TSkyloom& sky, const TSkyLight& light) {
  if (!sky.MilkyWay || !(sky.ShowFlags & SkyBits::MilkyWay) || sky.MilkyWayMap.Empty()) return 0;
  if (!light.On && sky.IsDaylight()) return 0;
  const int limit = std::min(sky.StarLimit, light.On ? std::min(light.Limit, light.MoonLimit) : 1000);
  return MilkyWayFade(limit);
}

TGalacticTurn GalacticTurnOf(const TSkyloom& sky) {
  const TDateFrame frame = DateFrameOf(sky.DayNumber);
  TGalacticTurn t;
  const TVector3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int k = 0; k < 3; ++k) {
    const TVector3 ofDate = EquatorOfHorizontal(axes[k], sky.SiderealTime, sky.Latitude);
    const TVector3 j2000 = RotateBack(frame.Npb, ofDate);
    const double v[3] = {j2000.X, j2000.Y, j2000.Z};
    for (int r = 0; r < 3; ++r)
      t.M[r][k] = EquatorToGalactic[r][0] * v[0] + EquatorToGalactic[r][1] * v[1] +
                  EquatorToGalactic[r][2] * v[2];
  }
  return t;
}

void GalacticAtScreen(const TSkyloom& sky, const TGalacticTurn& turn, double x, double y,
                      double& l, double& b) {
  const TVector3 g = turn.Apply(ScreenDirection(sky, x, y));
  l = std::atan2(g.Y, g.X);
  b = std::atan2(g.Z, std::hypot(g.X, g.Y));
}

void DrawMilkyWay(TBackBuffer& buffer, const TSkyloom& sky, double strength, const TColor* clearTo) {
  const int W = std::min(buffer.Width(), std::max(0, sky.ScreenWidth));
  const int H = std::min(buffer.Height(), std::max(0, sky.ScreenHeight));
  const uint16_t clear = clearTo ? TBackBuffer::To565(*clearTo) : 0;
  const int rowLength = buffer.Width();
  // Rows [from, to) set to the clearing colour, when there is one.
  auto clearRows = [&](int from, int to) {
    if (clearTo && from < to) StreamFill(buffer.Pixels() + static_cast<size_t>(from) * rowLength,
                                          clear, static_cast<size_t>(to - from) * rowLength);
  };
  if (W <= 0 || H <= 0 || !(strength > 0) || sky.MilkyWayMap.Empty()) {
    clearRows(0, H);
    StreamDone();
    return;
  }
  // About 60 nodes across whatever the size: the map's finest detail (a
  // degree) stays several nodes wide at the field of the stage.
  int step = 8;
  while (W / step > 64 || W / step + 2 > MilkyWayMaxColumns || H / step + 2 > MilkyWayMaxRows)
    step *= 2;
  const int nx = W / step + 2, ny = H / step + 2;
  const bool ground = (sky.ShowFlags & SkyBits::Ground) != 0;
  const TGalacticTurn turn = GalacticTurnOf(sky);
  // Node brightness in 1/4096 of the peak; a node below the horizon with
  // the ground shown is dark, so the glow ends at the horizon. Nodes too
  // faint to change a pixel count as dark, so that the dark sky costs
  // nothing.
  std::array<int32_t, MilkyWayMaxColumns * MilkyWayMaxRows> node;
  const double scale = 4096 * std::min(strength, 1.0);
  constexpr int32_t Faintest = 12;
  bool any = false;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const TVector3 h = ScreenDirection(sky, i * step, j * step);
      int32_t v = 0;
      if (!ground || h.Z >= 0) {
        const TVector3 g = turn.Apply(h);
        const double l = std::atan2(g.Y, g.X), b = std::atan2(g.Z, std::hypot(g.X, g.Y));
        v = static_cast<int32_t>(sky.MilkyWayMap.At(l, b) * scale);
        if (v < Faintest) v = 0;
      }
      node[static_cast<size_t>(j * MilkyWayMaxColumns + i)] = v;
      any = any || v > 0;
    }
  if (!any) {
    clearRows(0, H);
    StreamDone();
    return;
  }
  // The added colour per channel in 1/256 of a 565 step (red and blue have
  // 8 levels of 8-bit colour per step, green 4) per 1/4096 of the peak,
  // as 16.16 fixed point: 65536 / 4096 = 16.
  const int32_t kr = static_cast<int32_t>(PeakR / 8 * 256 * 16);
  const int32_t kg = static_cast<int32_t>(PeakG / 4 * 256 * 16);
  const int32_t kb = static_cast<int32_t>(PeakB / 8 * 256 * 16);
  // A 4x4 ordered dither spreads the few 16-bit steps of so faint a glow.
  static constexpr int32_t Dither[4][4] = {
      {0, 128, 32, 160}, {192, 64, 224, 96}, {48, 176, 16, 144}, {240, 112, 208, 80}};
  std::array<int32_t, MilkyWayMaxColumns> row;
  std::array<uint16_t, MaxLaidRow> laid;
  static const TGlowRowAdder addGlowRow = FastGlowRowAdder();
  for (int y = 0; y < H; ++y) {
    const int j = y / step, fy = y % step;
    const int32_t* top = &node[static_cast<size_t>(j * MilkyWayMaxColumns)];
    const int32_t* bottom = top + MilkyWayMaxColumns;
    bool rowAny = false;
    for (int i = 0; i < nx; ++i) {
      row[static_cast<size_t>(i)] = top[i] + (bottom[i] - top[i]) * fy / step;
      rowAny = rowAny || row[static_cast<size_t>(i)] > 0;
    }
    uint16_t* out = buffer.Pixels() + static_cast<size_t>(y) * rowLength;
    if (!rowAny) {
      clearRows(y, y + 1);
    } else if (clearTo && rowLength <= MaxLaidRow) {
      // Laid in a row of its own and written out whole.
      std::fill(laid.begin(), laid.begin() + rowLength, clear);
      addGlowRow(laid.data(), row.data(), W, step, Dither[y & 3], kr, kg, kb);
      StreamCopy(out, laid.data(), static_cast<size_t>(rowLength));
    } else {
      clearRows(y, y + 1);
      addGlowRow(out, row.data(), W, step, Dither[y & 3], kr, kg, kb);
    }
  }
  StreamDone();
}
