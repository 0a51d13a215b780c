// The pictures the benchmarks work on, and a PPM writer so that the compare
// scripts can hand the same pixels to ImageMagick and libvips.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "imaging/PixelBuffer.h"

namespace vell::bench {

// Seeded noise over a gentle ramp: every byte differs, nothing is flat. A
// larger `shift` gives softer noise.
inline TPixelBuffer NoisePicture(int side, uint32_t state = 12345, int shift = 1) {
  TPixelBuffer p;
  p.Allocate(side, side, 0, 24);
  for (int y = 0; y < side; ++y) {
    uint8_t* row = p.Row(y);
    for (int i = 0; i < side * 3; ++i) {
      state = state * 1103515245u + 12345u;
      row[i] = static_cast<uint8_t>(((state >> 24) >> shift) + ((i / 3 + y) >> 6));
    }
  }
  return p;
}

// Plain seeded noise in every byte of an allocated picture.
inline void FillNoise(TPixelBuffer& b) {
  uint32_t state = 12345;
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* row = b.Row(y);
    for (int i = 0; i < 3 * b.Width(); ++i) {
      state = state * 1103515245u + 12345u;
      row[i] = static_cast<uint8_t>(state >> 24);
    }
  }
}

// Photograph-like to the filters: ramps, a soft pattern and noise.
inline void MakePhoto(TPixelBuffer& p, int side) {
  p.Allocate(side, side, 0, 24);
  uint32_t s = 2463534242u;
  for (int y = 0; y < side; ++y) {
    TRGB24* row = p.Row24(y);
    for (int x = 0; x < side; ++x) {
      s ^= s << 13;
      s ^= s >> 17;
      s ^= s << 5;
      const int n = static_cast<int>(s & 15) - 8;
      auto c = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      row[x] = TRGB24{c(((x ^ y) >> 5) + 64 + n), c(y / 16 + n), c(x / 16 - n)};
    }
  }
}

// Binary PPM (RGB order) of a 24-bit picture.
inline bool WritePpm(const std::string& path, const TPixelBuffer& picture) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", picture.Width(), picture.Height());
  std::string rgb(static_cast<size_t>(picture.Width()) * 3, '\0');
  for (int y = 0; y < picture.Height(); ++y) {
    const TRGB24* row = picture.Row24(y);
    for (int x = 0; x < picture.Width(); ++x) {
      rgb[static_cast<size_t>(x) * 3] = static_cast<char>(row[x].r);
      rgb[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(row[x].g);
      rgb[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(row[x].b);
    }
    std::fwrite(rgb.data(), 1, rgb.size(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace vell::bench
