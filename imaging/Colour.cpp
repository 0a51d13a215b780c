#include "imaging/Colour.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vell {

namespace {

uint8_t Clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Pixels the colour effects can address as B, G, R records: 3 or 4 bytes apart.
int PixelStride(const TPixelBuffer& image) {
  if (image.Empty()) return 0;
  return image.BitCount() == 24 ? 3 : image.BitCount() == 32 ? 4 : 0;
}

// Calls op(p) for every pixel's first byte, row by row; the padding is never visited.
template <int Stride, typename Op>
void ForEachPixel(TPixelBuffer& image, Op op) {
  const int width = image.Width();
  for (int r = 0; r < image.Height(); ++r) {
    uint8_t* __restrict p = image.Row(r);
    for (int c = 0; c < width; ++c, p += Stride) op(p);
  }
}

template <typename Op>
void ForEachPixel(TPixelBuffer& image, Op op) {
  switch (PixelStride(image)) {
    case 3: ForEachPixel<3>(image, op); break;
    case 4: ForEachPixel<4>(image, op); break;
    default: break;
  }
}

void Apply(TPixelBuffer& image, const TChannelTable& table) {
  image.ApplyChannelTables(table.data(), table.data(), table.data());
}

}  // namespace

TChannelTable ShiftTable(int amount) {
  TChannelTable t;
  for (int v = 0; v < 256; ++v) t[static_cast<size_t>(v)] = Clamp255(v + amount);
  return t;
}

TChannelTable ContrastTable(int amount) {
  TChannelTable t;
  for (int v = 0; v < 256; ++v) t[static_cast<size_t>(v)] = Clamp255(v + amount * (v - 128) / 256);
  return t;
}

TChannelTable LightnessTable(int amount) {
  TChannelTable t;
  for (int v = 0; v < 256; ++v)
    t[static_cast<size_t>(v)] =
        Clamp255(amount >= 0 ? v + amount * (255 - v) / 256 : v - (-amount) * v / 256);
  return t;
}

std::array<int, 256> SaturationWeights(int amount) {
  std::array<int, 256> a;
  for (int k = 0; k < 256; ++k) a[static_cast<size_t>(k)] = (amount * (k + 1)) >> 8;
  return a;
}

TChannelTable BrightenTable() {
  TChannelTable t;
  for (int v = 0; v < 256; ++v)
    t[static_cast<size_t>(v)] = Clamp255(v + static_cast<int>(std::nearbyint(v * 0.05)));
  return t;
}

const std::array<uint16_t, 256>& LightenTable() {
  static const std::array<uint16_t, 256> table = [] {
    std::array<uint16_t, 256> t;
    for (int v = 0; v < 256; ++v)
      t[static_cast<size_t>(v)] = static_cast<uint16_t>(std::nearbyint(255.0 * std::pow(v / 255.0, 0.85)));
    return t;
  }();
  return table;
}

void ApplySliders(TPixelBuffer& preview, const TPixelBuffer& source, const TSliderPositions& sliders) {
  CopyPixelsTo(source, preview);
  if (sliders.lightness != 255) {
    const int l = sliders.lightness - 255;
    preview.AdjustLightness(l, l, l);
  }
  if (sliders.contrast != 255) {
    const int c = sliders.contrast - 255;
    preview.AdjustContrast(c, c, c);
  }
  if (sliders.saturation != 0) preview.AdjustSaturation(sliders.saturation);
  if (sliders.red != 255 || sliders.green != 255 || sliders.blue != 255)
    preview.ShiftChannels(sliders.red - 255, sliders.green - 255, sliders.blue - 255);
}

void Brighten(TPixelBuffer& image) { Apply(image, BrightenTable()); }

void Lighten(TPixelBuffer& image) {
  TChannelTable t;
  const std::array<uint16_t, 256>& lighten = LightenTable();
  for (size_t v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(lighten[v]);
  Apply(image, t);
}

void Negate(TPixelBuffer& image) {
  if (image.Empty()) return;
  if (image.BitCount() == 24 || image.BitCount() == 8) {
    // Straight over the picture bytes of each row, which vectorises well.
    const int bytes = image.Width() * image.BitCount() / 8;
    for (int r = 0; r < image.Height(); ++r) {
      uint8_t* __restrict p = image.Row(r);
      for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(~p[i]);
    }
    return;
  }
  if (image.BitCount() == 16 || image.BitCount() == 32) {
    // Every bit of the pixel word is inverted, as an inverting block transfer does.
    const uint32_t mask = image.BitCount() == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (int r = 0; r < image.Height(); ++r) {
      if (image.BitCount() == 16) {
        uint16_t* __restrict p = image.Row16(r);
        for (int i = 0; i < image.Width(); ++i) p[i] = static_cast<uint16_t>(p[i] ^ mask);
      } else {
        uint32_t* __restrict p = image.Row32(r);
        for (int i = 0; i < image.Width(); ++i) p[i] ^= mask;
      }
    }
    return;
  }
  // 1 and 4 bits: whole bytes of picture, leaving the padding bytes alone.
  const int bytes = (image.Width() * image.BitCount() + 7) / 8;
  const int whole = image.Width() * image.BitCount() / 8;
  const int tailBits = image.Width() * image.BitCount() % 8;
  for (int r = 0; r < image.Height(); ++r) {
    uint8_t* p = image.Row(r);
    for (int i = 0; i < whole; ++i) p[i] = static_cast<uint8_t>(~p[i]);
    if (bytes > whole) p[whole] = static_cast<uint8_t>(p[whole] ^ (0xFF00 >> tailBits));
  }
}

void ToGrayScale(TPixelBuffer& image) {
  ForEachPixel(image, [](uint8_t* p) {
    const uint8_t g = static_cast<uint8_t>((p[2] * 77 + p[1] * 151 + p[0] * 28) >> 8);
    p[0] = p[1] = p[2] = g;
  });
}

void Tint(TPixelBuffer& image, uint32_t colour) {
  // round(c * M / 255) never meets a tie (2 * c * M is never an odd multiple of 255),
  // so integer rounding gives the exact result.
  const int rc = colour & 0xFF, gc = (colour >> 8) & 0xFF, bc = (colour >> 16) & 0xFF;
  uint8_t red[256], green[256], blue[256];
  for (int m = 0; m < 256; ++m) {
    red[m] = static_cast<uint8_t>((2 * rc * m + 255) / 510);
    green[m] = static_cast<uint8_t>((2 * gc * m + 255) / 510);
    blue[m] = static_cast<uint8_t>((2 * bc * m + 255) / 510);
  }
  ForEachPixel(image, [&](uint8_t* p) {
    const uint8_t m = std::max(p[0], std::max(p[1], p[2]));
    p[0] = blue[m];
    p[1] = green[m];
    p[2] = red[m];
  });
}

void RotateColourBits(TPixelBuffer& image, int bits) {
  if (bits <= 0) return;
  const int n = bits % 24;
  if (n == 0) return;
  ForEachPixel(image, [n](uint8_t* p) {
    const uint32_t packed = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    const uint32_t rotated = ((packed << n) | (packed >> (24 - n))) & 0xFFFFFF;
    p[2] = static_cast<uint8_t>(rotated);
    p[1] = static_cast<uint8_t>(rotated >> 8);
    p[0] = static_cast<uint8_t>(rotated >> 16);
  });
}

void ExchangeColour(TPixelBuffer& image, uint32_t pen, uint32_t brush, int tolerance) {
  const int t = tolerance & 0xFFFF;
  // inside[channel][v]: v lies in that channel's window around the pen colour.
  bool inside[3][256];
  const int penChannel[3] = {static_cast<int>((pen >> 16) & 0xFF), static_cast<int>((pen >> 8) & 0xFF),
                             static_cast<int>(pen & 0xFF)};  // blue, green, red
  for (int ch = 0; ch < 3; ++ch) {
    const int low = std::max(0, penChannel[ch] - t), high = std::min(255, penChannel[ch] + t);
    for (int v = 0; v < 256; ++v) inside[ch][v] = v >= low && v <= high;
  }
  const uint8_t b = static_cast<uint8_t>(brush >> 16), g = static_cast<uint8_t>(brush >> 8),
                r = static_cast<uint8_t>(brush);
  ForEachPixel(image, [&](uint8_t* p) {
    if (inside[0][p[0]] && inside[1][p[1]] && inside[2][p[2]]) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  });
}

void EraseToBlack(TPixelBuffer& image) {
  const int stride = PixelStride(image);
  if (stride == 3) {
    for (int r = 0; r < image.Height(); ++r) std::memset(image.Row(r), 0, static_cast<size_t>(image.Width()) * 3);
  } else if (stride == 4) {
    ForEachPixel<4>(image, [](uint8_t* p) { p[0] = p[1] = p[2] = 0; });
  }
}

void AddNoise(TPixelBuffer& image, int noisiness, bool mono) { image.AddNoise(noisiness, mono); }

}  // namespace vell
