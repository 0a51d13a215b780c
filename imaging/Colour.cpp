#include "imaging/Colour.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// Whole-row loops are compiled twice, for AVX2 and for the baseline, and the
// better one is picked when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VELL_VECTOR_CLONES
#endif

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


void Apply(TPixelBuffer& image, const TChannelTable& table) {
  image.ApplyChannelTables(table.data(), table.data(), table.data());
}

// Row kernels: plain arithmetic on the B, G, R bytes of n pixels, stride bytes
// apart, so that the compiler can vectorise them.
template <int Stride>
inline void GrayRow(uint8_t* __restrict p, int n) {
  for (int i = 0; i < n; ++i) {
    uint8_t* q = p + Stride * i;
    const uint8_t g = static_cast<uint8_t>((q[2] * 77 + q[1] * 151 + q[0] * 28) >> 8);
    q[0] = q[1] = q[2] = g;
  }
}

// round(x / 255) for x = c * M <= 65025. x / 255 never ends in exactly .5 (2x is
// never an odd multiple of 255), so this is also the ties-to-even rounding; the
// 16-bit form (y + 1 + (y >> 8)) >> 8 = y / 255 holds for every y < 65535.
inline uint8_t RoundDiv255(uint16_t x) {
  const uint16_t y = static_cast<uint16_t>(x + 127);
  return static_cast<uint8_t>((y + 1 + (y >> 8)) >> 8);
}

template <int Stride>
inline void TintRow(uint8_t* __restrict p, int n, uint16_t rc, uint16_t gc, uint16_t bc) {
  for (int i = 0; i < n; ++i) {
    uint8_t* q = p + Stride * i;
    const uint16_t m = std::max(q[0], std::max(q[1], q[2]));
    q[0] = RoundDiv255(static_cast<uint16_t>(bc * m));
    q[1] = RoundDiv255(static_cast<uint16_t>(gc * m));
    q[2] = RoundDiv255(static_cast<uint16_t>(rc * m));
  }
}

// Rotation of P = B << 16 | G << 8 | R by whole bytes (red to green, green to
// blue, blue to red), then by the remaining 0 ... 7 bits.
template <int Stride>
inline void RotateRow(uint8_t* __restrict p, int n, int bytes, int bits) {
  for (int i = 0; i < n; ++i) {
    uint8_t* q = p + Stride * i;
    // P = B << 16 | G << 8 | R; rotating by 8 moves R to G, G to B and B to R.
    const uint32_t r0 = q[2], g0 = q[1], b0 = q[0];
    uint32_t r = bytes == 0 ? r0 : bytes == 1 ? b0 : g0;
    uint32_t g = bytes == 0 ? g0 : bytes == 1 ? r0 : b0;
    uint32_t b = bytes == 0 ? b0 : bytes == 1 ? g0 : r0;
    if (bits != 0) {
      const uint32_t nr = ((r << bits) | (b >> (8 - bits))) & 0xFF;
      const uint32_t ng = ((g << bits) | (r >> (8 - bits))) & 0xFF;
      const uint32_t nb = ((b << bits) | (g >> (8 - bits))) & 0xFF;
      r = nr, g = ng, b = nb;
    }
    q[0] = static_cast<uint8_t>(b);
    q[1] = static_cast<uint8_t>(g);
    q[2] = static_cast<uint8_t>(r);
  }
}

// Window [low, low + span] per channel, as unsigned distance from low.
template <int Stride>
inline void ExchangeRow(uint8_t* __restrict p, int n, const uint8_t* low, const uint8_t* span,
                        const uint8_t* brush) {
  const uint8_t l0 = low[0], l1 = low[1], l2 = low[2], s0 = span[0], s1 = span[1], s2 = span[2];
  const uint8_t b0 = brush[0], b1 = brush[1], b2 = brush[2];
  for (int i = 0; i < n; ++i) {
    uint8_t* q = p + Stride * i;
    const bool inside = (static_cast<uint8_t>(q[0] - l0) <= s0) & (static_cast<uint8_t>(q[1] - l1) <= s1) &
                        (static_cast<uint8_t>(q[2] - l2) <= s2);
    q[0] = inside ? b0 : q[0];
    q[1] = inside ? b1 : q[1];
    q[2] = inside ? b2 : q[2];
  }
}

VELL_VECTOR_CLONES void GrayRow3(uint8_t* p, int n) { GrayRow<3>(p, n); }
VELL_VECTOR_CLONES void GrayRow4(uint8_t* p, int n) { GrayRow<4>(p, n); }
VELL_VECTOR_CLONES void TintRow3(uint8_t* p, int n, uint16_t rc, uint16_t gc, uint16_t bc) { TintRow<3>(p, n, rc, gc, bc); }
VELL_VECTOR_CLONES void TintRow4(uint8_t* p, int n, uint16_t rc, uint16_t gc, uint16_t bc) { TintRow<4>(p, n, rc, gc, bc); }
VELL_VECTOR_CLONES void RotateRow3(uint8_t* p, int n, int bytes, int bits) { RotateRow<3>(p, n, bytes, bits); }
VELL_VECTOR_CLONES void RotateRow4(uint8_t* p, int n, int bytes, int bits) { RotateRow<4>(p, n, bytes, bits); }
VELL_VECTOR_CLONES void ExchangeRow3(uint8_t* p, int n, const uint8_t* low, const uint8_t* span, const uint8_t* brush) {
  ExchangeRow<3>(p, n, low, span, brush);
}
VELL_VECTOR_CLONES void ExchangeRow4(uint8_t* p, int n, const uint8_t* low, const uint8_t* span, const uint8_t* brush) {
  ExchangeRow<4>(p, n, low, span, brush);
}

// Runs row3 or row4 over every row of a 24- or 32-bit picture.
template <typename Row3, typename Row4>
void ForEachRow(TPixelBuffer& image, Row3 row3, Row4 row4) {
  const int stride = PixelStride(image);
  for (int r = 0; r < image.Height() && stride != 0; ++r) {
    if (stride == 3)
      row3(image.Row(r), image.Width());
    else
      row4(image.Row(r), image.Width());
  }
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

void ToGrayScale(TPixelBuffer& image) { ForEachRow(image, GrayRow3, GrayRow4); }

void Tint(TPixelBuffer& image, uint32_t colour) {
  const uint16_t rc = colour & 0xFF, gc = (colour >> 8) & 0xFF, bc = (colour >> 16) & 0xFF;
  ForEachRow(
      image, [&](uint8_t* p, int n) { TintRow3(p, n, rc, gc, bc); },
      [&](uint8_t* p, int n) { TintRow4(p, n, rc, gc, bc); });
}

void RotateColourBits(TPixelBuffer& image, int bits) {
  if (bits <= 0) return;
  const int n = bits % 24;
  if (n == 0) return;
  ForEachRow(
      image, [&](uint8_t* p, int w) { RotateRow3(p, w, n / 8, n % 8); },
      [&](uint8_t* p, int w) { RotateRow4(p, w, n / 8, n % 8); });
}

void ExchangeColour(TPixelBuffer& image, uint32_t pen, uint32_t brush, int tolerance) {
  const int t = tolerance & 0xFFFF;
  const int penChannel[3] = {static_cast<int>((pen >> 16) & 0xFF), static_cast<int>((pen >> 8) & 0xFF),
                             static_cast<int>(pen & 0xFF)};  // blue, green, red
  uint8_t low[3], span[3];
  for (int ch = 0; ch < 3; ++ch) {
    const int lo = std::max(0, penChannel[ch] - t), hi = std::min(255, penChannel[ch] + t);
    low[ch] = static_cast<uint8_t>(lo);
    span[ch] = static_cast<uint8_t>(hi - lo);
  }
  const uint8_t fill[3] = {static_cast<uint8_t>(brush >> 16), static_cast<uint8_t>(brush >> 8),
                           static_cast<uint8_t>(brush)};
  ForEachRow(
      image, [&](uint8_t* p, int n) { ExchangeRow3(p, n, low, span, fill); },
      [&](uint8_t* p, int n) { ExchangeRow4(p, n, low, span, fill); });
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
