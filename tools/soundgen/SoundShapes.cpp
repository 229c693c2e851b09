#include "SoundShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "WavWriter.h"

namespace soundgen {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Deterministic white noise in [-1, 1] (xorshift32 with a fixed seed), so
// every build writes the same bytes.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483647.5 - 1.0;
  }

 private:
  uint32_t state_;
};

// Second-order band-pass filter (constant peak gain), centre in Hz.
class BandPass {
 public:
  BandPass(double centreHz, double q) {
    const double w = kTwoPi * centreHz / kSampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    b0_ = alpha / a0;
    b2_ = -alpha / a0;
    a1_ = -2.0 * std::cos(w) / a0;
    a2_ = (1.0 - alpha) / a0;
  }
  double Step(double x) {
    const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

int Samples(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

// Shapes the start and the end: a raised-cosine ramp in, a raised-cosine
// fade out, then scales the whole sound to the given peak (linear, 0..1).
void Finish(std::vector<double>& s, double rampSeconds, double fadeSeconds, double peak) {
  const int n = static_cast<int>(s.size());
  const int ramp = std::min(n, Samples(rampSeconds));
  for (int i = 0; i < ramp; ++i)
    s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / ramp);
  const int fade = std::min(n, Samples(fadeSeconds));
  for (int i = 0; i < fade; ++i)
    s[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / fade);
  double maxAbs = 0;
  for (double v : s) maxAbs = std::max(maxAbs, std::abs(v));
  if (maxAbs > 0)
    for (double& v : s) v *= peak / maxAbs;
}

}  // namespace

std::vector<double> MakeChooseSound() {
  const int n = Samples(0.070);
  std::vector<double> s(n);
  Noise noise(0x5eed1234u);
  BandPass air(2600.0, 1.2);
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    // A6 fundamental with a slightly detuned octave: a small glassy tick.
    const double body = std::exp(-t / 0.016) *
                        (std::sin(kTwoPi * 1760.0 * t) +
                         0.22 * std::sin(kTwoPi * 3524.0 * t + 0.7));
    const double breath = 0.35 * std::exp(-t / 0.004) * air.Step(noise.Next());
    s[i] = body + breath;
  }
  Finish(s, 0.0015, 0.020, std::pow(10.0, -14.0 / 20.0));
  return s;
}

std::vector<double> MakeClickSound() {
  const int n = Samples(0.055);
  std::vector<double> s(n);
  Noise noise(0xc11c4b1du);
  BandPass snap(4200.0, 1.6);
  BandPass knock(1300.0, 3.0);
  const double smooth = 1.0 - std::exp(-kTwoPi * 9000.0 / kSampleRate);
  double soft = 0;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double x = noise.Next();
    const double crack = 1.4 * std::exp(-t / 0.0025) * snap.Step(x);
    const double wood = 0.8 * std::exp(-t / 0.007) * knock.Step(x);
    const double body = 0.45 * std::exp(-t / 0.009) * std::sin(kTwoPi * 2150.0 * t) +
                        0.30 * std::exp(-t / 0.012) * std::sin(kTwoPi * 620.0 * t);
    // A gentle one-pole low-pass (about 9 kHz) takes the fizz off the top.
    soft += smooth * (crack + wood + body - soft);
    s[i] = soft;
  }
  Finish(s, 0.0003, 0.015, std::pow(10.0, -6.0 / 20.0));
  return s;
}

}  // namespace soundgen
