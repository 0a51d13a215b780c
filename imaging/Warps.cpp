#include "imaging/Warps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/Geometry.h"
#include "imaging/Tiling.h"

namespace vell {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = 0.017453292519943295769;

// The pixels of a picture without its row padding, row after row: the
// untouched copy every distortion reads from.
class TPixelCopy {
 public:
  explicit TPixelCopy(const TPixelBuffer& image)
      : width_(image.Width()), pixels_(static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height())) {
    for (int y = 0; y < image.Height(); ++y)
      std::memcpy(Row(y), image.Row24(y), static_cast<size_t>(width_) * sizeof(TRGB24));
  }
  TRGB24* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
  const TRGB24* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }

 private:
  int width_;
  std::vector<TRGB24> pixels_;
};

// Round to nearest even, held well inside int so that later sums cannot
// overflow; any picture is far smaller than the bound.
inline int RoundHeld(double v) {
  constexpr double kBound = 1.0e9;
  if (!(v > -kBound)) return static_cast<int>(-kBound);  // also NaN
  if (v > kBound) return static_cast<int>(kBound);
  return static_cast<int>(std::nearbyint(v));
}

// k brought into 0 ... size - 1 by adding or subtracting size once; k lies in
// -size ... 2 * size - 1.
inline int WrapOnce(int k, int size) { return k < 0 ? k + size : (k >= size ? k - size : k); }

// round(amplitude * s) for a sine value s. A sine of an overflowing argument
// is NaN; that line does not move, so no shift ever exceeds the amplitude.
inline int SineShift(int amplitude, double s) { return s >= -1.0 && s <= 1.0 ? RoundHeld(amplitude * s) : 0; }

// The shift of each line of a sine wave: round(H * sin(i / P)).
std::vector<int> SineOffsets(int count, int amplitude, double divisor) {
  std::vector<int> o(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    o[static_cast<size_t>(i)] = SineShift(amplitude, std::sin(static_cast<double>(i) / divisor));
  return o;
}

// Shared checks of the two one-way sine waves. `along` is the size of the
// axis the lines are counted on, `across` the size they are shifted within.
// Returns false when nothing is to change.
bool SinePlan(int along, int across, int height, bool wrap, bool usePeaks, double x, int& h, double& divisor) {
  if (!std::isfinite(x) || x == 0.0) return false;
  divisor = usePeaks ? static_cast<double>(along) / kPi / x : x;
  if (!std::isfinite(divisor) || divisor == 0.0) return false;
  h = std::clamp(height, -across, across);
  // Without wrap the edge rows fill a margin H wide on either side; a negative
  // H has no margin to fill.
  if (!wrap && h < 0) return false;
  return h != 0;
}

// Writes source(sx, sy) to every pixel, the source position given per pixel.
template <typename Source>
void Resample(TPixelBuffer& image, const TPixelCopy& copy, Source source) {
  for (int y = 0; y < image.Height(); ++y) {
    TRGB24* out = image.Row24(y);
    for (int x = 0; x < image.Width(); ++x) {
      int sx, sy;
      source(x, y, sx, sy);
      out[x] = copy.Row(sy)[sx];
    }
  }
}

// Twist and FishEye write into `image` from `source`; the two may be one buffer.
// Returns the picture to read from, or none when there is nothing to do.
const TPixelBuffer* PrepareTarget(const TPixelBuffer& source, TPixelBuffer& image, TPixelBuffer& keep) {
  if (!IsWorkingPicture(source)) return nullptr;
  if (&source == &image) {
    CopyPixelsTo(source, keep);
    return &keep;
  }
  if (image.Width() != source.Width() || image.Height() != source.Height() || image.BitCount() != 24)
    image.Allocate(source.Width(), source.Height(), 0, 24);
  return image.Empty() ? nullptr : &source;
}

// SampleBilinear for a 24-bit source, inlined into the per-pixel loops of
// Twist and FishEye: the same steps and the same single-precision sums, so
// the bytes are the same.
class TBilinear {
 public:
  explicit TBilinear(const TPixelBuffer& source) : src_(source), w_(source.Width()), h_(source.Height()) {}

  TRGB24 operator()(float fx, float fy) const {
    const TAxis x = Axis(fx, w_), y = Axis(fy, h_);
    const TRGB24* r0 = src_.Row24(y.first);
    const TRGB24* r1 = src_.Row24(y.second);
    const TRGB24 p[4] = {r0[x.first], r0[x.second], r1[x.first], r1[x.second]};
    const float wt[4] = {x.w0 * y.w0, x.w1 * y.w0, x.w0 * y.w1, x.w1 * y.w1};
    float b = 0.0f, g = 0.0f, r = 0.0f;
    for (int k = 0; k < 4; ++k) {
      b += wt[k] * static_cast<float>(p[k].b);
      g += wt[k] * static_cast<float>(p[k].g);
      r += wt[k] * static_cast<float>(p[k].r);
    }
    return TRGB24{Byte(b), Byte(g), Byte(r)};
  }

 private:
  struct TAxis {
    int first, second;
    float w0, w1;
  };

  static uint8_t Byte(float v) {
    const int i = static_cast<int>(std::nearbyint(v));
    return static_cast<uint8_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
  }

  static TAxis Axis(float f, int size) {
    if (!std::isfinite(f)) f = 0.0f;
    if (std::fabs(f) > 1.0e8f) f = std::fmod(f, static_cast<float>(size));
    const int i = static_cast<int>(f);
    TAxis a;
    if (f >= 0.0f) {
      a.w1 = f - static_cast<float>(i);
      a.w0 = 1.0f - a.w1;
    } else {
      a.w0 = static_cast<float>(i) - f;
      a.w1 = 1.0f - a.w0;
    }
    if (f < 0.0f && i == 0)
      a.first = size - 1;
    else if (i < 0)
      a.first = size - 1 - static_cast<int>((-static_cast<int64_t>(i)) % size);
    else
      a.first = i < size ? i : i % size;
    a.second = a.first + 1 < size ? a.first + 1 : 0;
    return a;
  }

  const TPixelBuffer& src_;
  int w_, h_;
};

void CopyPixelsOnly(const TPixelBuffer& source, TPixelBuffer& image) {
  for (int y = 0; y < image.Height(); ++y)
    std::memcpy(image.Row24(y), source.Row24(y), static_cast<size_t>(image.Width()) * sizeof(TRGB24));
}

}  // namespace

void SineWaveUpDown(TPixelBuffer& image, int height, bool wrap, bool usePeaks, double x) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  int amp;
  double divisor;
  if (!SinePlan(w, h, height, wrap, usePeaks, x, amp, divisor)) return;
  const std::vector<int> shift = SineOffsets(w, amp, divisor);
  const TPixelCopy copy(image);
  for (int y = 0; y < h; ++y) {
    TRGB24* out = image.Row24(y);
    for (int c = 0; c < w; ++c) {
      // Pixel (c, r) went to row r + shift, so row y comes from y - shift.
      const int r = y - shift[static_cast<size_t>(c)];
      const int from = wrap ? WrapOnce(r, h) : std::clamp(r, 0, h - 1);
      out[c] = copy.Row(from)[c];
    }
  }
}

void SineWaveLeftRight(TPixelBuffer& image, int height, bool wrap, bool usePeaks, double x) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  int amp;
  double divisor;
  if (!SinePlan(h, w, height, wrap, usePeaks, x, amp, divisor)) return;
  const std::vector<int> shift = SineOffsets(h, amp, divisor);
  std::vector<TRGB24> row(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    // Whole rows move, so each row is its own untouched copy.
    TRGB24* out = image.Row24(y);
    std::memcpy(row.data(), out, row.size() * sizeof(TRGB24));
    const int s = shift[static_cast<size_t>(y)];
    if (wrap) {
      const int k = WrapOnce(-s, w);  // out[c] = row[(c - s) mod w]
      std::memcpy(out, row.data() + k, static_cast<size_t>(w - k) * sizeof(TRGB24));
      std::memcpy(out + (w - k), row.data(), static_cast<size_t>(k) * sizeof(TRGB24));
    } else {
      for (int c = 0; c < w; ++c) out[c] = row[static_cast<size_t>(std::clamp(c - s, 0, w - 1))];
    }
  }
}

void SineWaveBoth(TPixelBuffer& image, int heightUD, int heightLR, double peaksLR, double peaksUD) {
  if (!IsWorkingPicture(image)) return;
  if (!std::isfinite(peaksLR) || !std::isfinite(peaksUD) || peaksLR == 0.0 || peaksUD == 0.0) return;
  const int w = image.Width(), h = image.Height();
  const int hUD = std::max(std::min(heightUD, h), -h);
  const int hLR = std::max(std::min(heightLR, w), -w);
  std::vector<int> rowShift(static_cast<size_t>(w)), columnShift(static_cast<size_t>(h));
  for (int c = 0; c < w; ++c) rowShift[static_cast<size_t>(c)] = SineShift(hUD, std::sin(c * kPi * peaksUD / w));
  for (int r = 0; r < h; ++r) columnShift[static_cast<size_t>(r)] = SineShift(hLR, std::sin(r * kPi * peaksLR / h));
  const TPixelCopy copy(image);
  Resample(image, copy, [&](int c, int r, int& sx, int& sy) {
    sy = WrapOnce(r + rowShift[static_cast<size_t>(c)], h);
    sx = WrapOnce(c + columnShift[static_cast<size_t>(r)], w);
  });
}

void Twist(const TPixelBuffer& source, TPixelBuffer& image, int looseness) {
  TPixelBuffer keep;
  const TPixelBuffer* src = PrepareTarget(source, image, keep);
  if (!src) return;
  if (looseness == 0) {
    if (src != &keep) CopyPixelsOnly(*src, image);
    return;
  }
  const int w = image.Width(), h = image.Height();
  const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
  const TBilinear sample(*src);
  for (int r = 0; r < h; ++r) {
    TRGB24* out = image.Row24(r);
    for (int c = 0; c < w; ++c) {
      // The source lies at angle a = theta - d / L + pi / 2 and distance d.
      // With cos theta = dx / d and sin theta = dy / d, and u = d / L:
      // d cos a = dx sin u - dy cos u, d sin a = dx cos u + dy sin u, so the
      // angle itself is never needed.
      const double dx = c - cx, dy = r - cy;
      const double u = std::sqrt(dx * dx + dy * dy) / looseness;
      const double su = std::sin(u), cu = std::cos(u);
      out[c] = sample(static_cast<float>(cx + dx * su - dy * cu), static_cast<float>(cy + dx * cu + dy * su));
    }
  }
}

void FishEye(const TPixelBuffer& source, TPixelBuffer& image, double magnification) {
  TPixelBuffer keep;
  const TPixelBuffer* src = PrepareTarget(source, image, keep);
  if (!src) return;
  if (!std::isfinite(magnification)) {
    if (src != &keep) CopyPixelsOnly(*src, image);
    return;
  }
  const int w = image.Width(), h = image.Height();
  const double cx = w / 2.0, cy = h / 2.0;
  double rm = magnification * w;
  const TBilinear sample(*src);
  for (int r = 0; r < h; ++r) {
    TRGB24* out = image.Row24(r);
    for (int c = 0; c < w; ++c) {
      const double dx = c - cx, dy = r - cy;
      const double d = std::sqrt(dx * dx + dy * dy);
      double fx = cx, fy = cy;
      if (d != 0.0) {
        // On the lens' rim the formula has a pole; the rim is moved off it
        // for the rest of the picture.
        if (d == rm) rm += 0.01;
        const double t = (1.0 / (1.0 - d / rm) - 1.0) * rm / 2.0;
        fx = cx + dx * t / d;
        fy = cy + dy * t / d;
      }
      out[c] = sample(static_cast<float>(fx), static_cast<float>(fy));
    }
  }
}

void Circular(TPixelBuffer& image) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  const TPixelCopy copy(image);
  int sourceRow = 0;
  for (int arm = 0; arm <= 720; ++arm) {
    const TRGB24* src = copy.Row(sourceRow);
    double angle = arm / 0.72;
    double rho = 0.0;
    int k = 0;
    for (int step = 0; step <= 900; ++step) {
      const int x = w / 2 + RoundHeld(rho * std::cos(angle * kDegToRad));
      const int y = h / 2 + RoundHeld(rho * std::sin(angle * kDegToRad));
      if (x >= 0 && x < w && y >= 0 && y < h) image.Row24(y)[x] = src[k];
      if (++k == w) k = 0;
      angle += 1.0;
      rho = rho + rho / (step + 20) + 0.052;
    }
    if (++sourceRow == h) sourceRow = 0;
  }
}

void RippleTooth(TPixelBuffer& image, int amount) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  const int c = std::min(h / 2, amount);
  if (c <= 1) return;
  // The tooth counter is a byte: it also restarts after 255.
  const int period = std::min(c, 256);
  const TPixelCopy copy(image);
  for (int y = 0; y < h; ++y) {
    TRGB24* out = image.Row24(y);
    int t = 0;
    for (int k = 0; k < w; ++k) {
      out[k] = copy.Row(WrapOnce(y - t, h))[k];
      if (++t == period) t = 0;
    }
  }
}

void Waves(TPixelBuffer& image, int amplitude, int waveLength, bool reflective, double phase) {
  // A phase beyond any float has no angle left to give.
  if (!IsWorkingPicture(image) || amplitude == 0 || waveLength == 0 || !(std::fabs(phase) < 1.0e30)) return;
  const int w = image.Width(), h = image.Height();
  const double hw = w / 2.0, hh = h / 2.0;
  double fx = 1.0, fy = 1.0;
  if (hw < hh) fx = hh / hw;
  if (hw > hh) fy = hw / hh;
  const double ox = (w - 1) / 2.0, oy = (h - 1) / 2.0;
  const double start = static_cast<float>(phase * kPi / 180.0);
  const TPixelCopy copy(image);
  Resample(image, copy, [&](int c, int r, int& sx, int& sy) {
    const double dx = fx * (c - ox), dy = fy * (r - oy);
    const double d = std::sqrt(dx * dx + dy * dy);
    const double wave = start + d / (2.0 * waveLength) * (2.0 * kPi);
    if (reflective) {
      const double s = std::fabs(std::sin(wave)) * amplitude;
      sx = std::clamp(RoundHeld(ox + dx * s / fx), 0, w - 1);
      sy = std::clamp(RoundHeld(oy + dy * s / fy), 0, h - 1);
    } else {
      const double s = amplitude * std::sin(wave);
      sx = WrapIndex(RoundHeld(ox + (dx + s) / fx), w);
      sy = WrapIndex(RoundHeld(oy + (dy + s) / fy), h);
    }
  });
}

void WhirlPinch(TPixelBuffer& image, double radius, double pinch, double angle) {
  if (!IsWorkingPicture(image)) return;
  if (!(radius > 0.0) || !std::isfinite(radius) || std::isnan(pinch) || !std::isfinite(angle)) return;
  if (pinch > 1.0) pinch = 1.0;
  const int w = image.Width(), h = image.Height();
  const double hw = (w - 2) / 2.0, hh = (h - 2) / 2.0;
  // Two pixels or fewer across leave no room around the centre to turn.
  if (hw <= 0.0 || hh <= 0.0) return;
  double sx = 1.0, sy = 1.0;
  if (hw < hh) sx = hh / hw;
  if (hw > hh) sy = hw / hh;
  const double big = std::max(hw, hh);
  const double limit = big * big * radius;
  const double cx = std::nearbyint((w - 1) / 2.0), cy = std::nearbyint((h - 1) / 2.0);
  auto toIndex = [](double v, int size) { return WrapIndex(v >= 0.0 ? RoundHeld(v) : RoundHeld(v - 1.0), size); };
  const TPixelCopy copy(image);
  for (int r = 0; r < h; ++r) {
    TRGB24* out = image.Row24(r);
    for (int c = 0; c < w; ++c) {
      double dx = sx * (c - cx), dy = sy * (r - cy);
      const double e = dx * dx + dy * dy;
      if (e >= limit) {
        out[c] = copy.Row(r)[c];
        continue;
      }
      const double d = std::sqrt(e / radius) / big;
      double factor = std::sin(kPi / 2 * d);
      if (factor != 0.0) factor = std::pow(factor, -pinch);
      const double turn = angle * kDegToRad * (1.0 - d) * (1.0 - d);
      const double ct = std::cos(turn), st = std::sin(turn);
      dx *= factor;
      dy *= factor;
      const int px = toIndex((dx * ct - dy * st) / sx + cx, w);
      const int py = toIndex((dx * st + dy * ct) / sy + cy, h);
      out[c] = copy.Row(py)[px];
    }
  }
}

void Swizzle(TPixelBuffer& image, int swizzleWidth) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  SineWaveUpDown(image, swizzleWidth, true, true, static_cast<double>(w - 1));
  TPixelBuffer quad;
  CopyPixelsTo(image, quad);
  FourWayFlip(quad);
  quad.PaintStretched(image, 0, 0, w, h);
}

}  // namespace vell
