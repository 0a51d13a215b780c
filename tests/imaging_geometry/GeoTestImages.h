// Small picture helpers shared by the geometry and filter tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell::geotest {

inline TPixelBuffer Flat(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Row24(y)[x] = TRGB24{b, g, r};
  return img;
}

inline TPixelBuffer Random(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.Row24(y)[x] = TRGB24{static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
  return img;
}

// Every pixel a different colour: the position is readable from the colour.
inline TPixelBuffer Numbered(int w, int h) {
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.Row24(y)[x] = TRGB24{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x * 7 + y * 3)};
  return img;
}

// A smooth tile that repeats exactly: a few whole-period waves per axis.
inline TPixelBuffer SmoothTile(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> phase(0, 6.283185307179586);
  const double p[6] = {phase(rng), phase(rng), phase(rng), phase(rng), phase(rng), phase(rng)};
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double u = 6.283185307179586 * x / w, v = 6.283185307179586 * y / h;
      const double a = 128 + 60 * std::sin(u + p[0]) + 40 * std::cos(v + p[1]);
      const double b = 128 + 50 * std::sin(2 * u + v + p[2]) + 30 * std::cos(u - 2 * v + p[3]);
      const double c = 128 + 70 * std::sin(u + p[4]) * std::cos(v + p[5]);
      img.Row24(y)[x] = TRGB24{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c)};
    }
  return img;
}

// A smooth picture that does not tile: a ramp across with gentle waves.
inline TPixelBuffer SmoothRamp(int w, int h) {
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t a = static_cast<uint8_t>(20 + 200 * x / w);
      const uint8_t b = static_cast<uint8_t>(20 + 200 * y / h);
      const uint8_t c = static_cast<uint8_t>(128 + 100 * std::sin(0.05 * x + 0.03 * y));
      img.Row24(y)[x] = TRGB24{a, b, c};
    }
  return img;
}

inline TPixelBuffer Copy(const TPixelBuffer& src) {
  TPixelBuffer out;
  CopyPixelsTo(src, out);
  return out;
}

inline bool Same(TRGB24 a, TRGB24 b) { return a.b == b.b && a.g == b.g && a.r == b.r; }

// Pixels only (never the row padding).
inline bool SamePixels(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (!Same(a.Row24(y)[x], b.Row24(y)[x])) return false;
  return true;
}

inline int Channel(TRGB24 p, int ch) { return ch == 0 ? p.b : (ch == 1 ? p.g : p.r); }

// Mean absolute difference between column c1 and column c2 (all channels).
inline double ColumnDiff(const TPixelBuffer& img, int c1, int c2) {
  double s = 0;
  for (int y = 0; y < img.Height(); ++y)
    for (int ch = 0; ch < 3; ++ch) s += std::abs(Channel(img.Row24(y)[c1], ch) - Channel(img.Row24(y)[c2], ch));
  return s / (3.0 * img.Height());
}

inline double RowDiff(const TPixelBuffer& img, int r1, int r2) {
  double s = 0;
  for (int x = 0; x < img.Width(); ++x)
    for (int ch = 0; ch < 3; ++ch) s += std::abs(Channel(img.Row24(r1)[x], ch) - Channel(img.Row24(r2)[x], ch));
  return s / (3.0 * img.Width());
}

// The wrap-around seam (last column to first, last row to first) against the
// largest step between neighbouring columns or rows inside the picture.
inline double SeamExcess(const TPixelBuffer& img) {
  double interior = 0;
  for (int x = 0; x + 1 < img.Width(); ++x) interior = std::max(interior, ColumnDiff(img, x, x + 1));
  for (int y = 0; y + 1 < img.Height(); ++y) interior = std::max(interior, RowDiff(img, y, y + 1));
  const double seam = std::max(ColumnDiff(img, img.Width() - 1, 0), RowDiff(img, img.Height() - 1, 0));
  return seam - interior;
}

// Wrap-around shift: content moves right by dx and down by dy.
inline TPixelBuffer Shifted(const TPixelBuffer& src, int dx, int dy) {
  TPixelBuffer out;
  out.Allocate(src.Width(), src.Height(), 0, 24);
  const int w = src.Width(), h = src.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.Row24(((y + dy) % h + h) % h)[((x + dx) % w + w) % w] = src.Row24(y)[x];
  return out;
}

}  // namespace vell::geotest
