// Helpers of the distortion and relief tests, over the geometry tests' pictures.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "imaging/PixelBuffer.h"
#include "tests/imaging_geometry/GeoTestImages.h"

namespace vell::warptest {

using geotest::Copy;
using geotest::Same;
using geotest::SamePixels;

// Fills every row's padding with a pattern that says where it was.
inline void FillPadding(TPixelBuffer& img) {
  for (int y = 0; y < img.Height(); ++y)
    for (int i = img.Width() * 3; i < img.BytesPerLine(); ++i) img.Row(y)[i] = static_cast<uint8_t>(0xA5 ^ (y * 7 + i));
}

inline bool PaddingIntact(const TPixelBuffer& img) {
  for (int y = 0; y < img.Height(); ++y)
    for (int i = img.Width() * 3; i < img.BytesPerLine(); ++i)
      if (img.Row(y)[i] != static_cast<uint8_t>(0xA5 ^ (y * 7 + i))) return false;
  return true;
}

// Largest channel difference between two pictures of one size.
inline int MaxDiff(const TPixelBuffer& a, const TPixelBuffer& b) {
  int m = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int ch = 0; ch < 3; ++ch)
        m = std::max(m, std::abs(geotest::Channel(a.Row24(y)[x], ch) - geotest::Channel(b.Row24(y)[x], ch)));
  return m;
}

inline std::string Px(TRGB24 p) {
  return "(" + std::to_string(p.b) + "," + std::to_string(p.g) + "," + std::to_string(p.r) + ")";
}

}  // namespace vell::warptest
