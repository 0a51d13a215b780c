#include "imaging/Colour.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// Whole-row loops are compiled twice, for AVX2 and for the baseline, and the
// better one is picked when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VELL_VECTOR_CLONES
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELL_HAVE_VBMI 1
#define VELL_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))
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

// Saturation of one pixel: A[k] = (amount (k + 1)) >> 8, m = (B + G + R) / 3,
// every channel c -> clamp(m - A[m] + A[c]). Plain arithmetic, so rows vectorise.
inline void Saturate(int amount, uint8_t& blue, uint8_t& green, uint8_t& red) {
  const int m = (blue + green + red) / 3;
  const int base = m - ((amount * (m + 1)) >> 8);
  blue = Clamp255(base + ((amount * (blue + 1)) >> 8));
  green = Clamp255(base + ((amount * (green + 1)) >> 8));
  red = Clamp255(base + ((amount * (red + 1)) >> 8));
}

template <int Stride>
inline void SaturateRow(uint8_t* __restrict p, int n, int amount) {
  for (int i = 0; i < n; ++i) Saturate(amount, p[Stride * i], p[Stride * i + 1], p[Stride * i + 2]);
}

VELL_VECTOR_CLONES void SaturateRow3(uint8_t* p, int n, int amount) { SaturateRow<3>(p, n, amount); }
VELL_VECTOR_CLONES void SaturateRow4(uint8_t* p, int n, int amount) { SaturateRow<4>(p, n, amount); }

#ifdef VELL_HAVE_VBMI
// 24-bit rows 64 pixels at a time: three 64-byte loads are split into blue,
// green and red planes by byte permutes, a kernel works on the planes, and the
// planes are woven back. Leftover pixels at the row's end go to the row kernel,
// so nothing past the picture is read or written.
struct TPlanes {
  alignas(64) uint8_t split[3][64];      // plane lane j <- byte 3j + c of the first 128
  alignas(64) uint8_t splitHigh[3][64];  // ... or of the third vector
  uint64_t fromHigh[3] = {};
  alignas(64) uint8_t join[3][64];     // output byte <- blue or green plane
  alignas(64) uint8_t joinRed[3][64];  // ... or the red plane
  uint64_t fromRed[3] = {};
  TPlanes() {
    for (int c = 0; c < 3; ++c)
      for (int j = 0; j < 64; ++j) {
        const int byte = 3 * j + c;
        split[c][j] = static_cast<uint8_t>(byte < 128 ? byte : 0);
        splitHigh[c][j] = static_cast<uint8_t>(byte < 128 ? 0 : byte - 128);
        if (byte >= 128) fromHigh[c] |= uint64_t{1} << j;
      }
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 64; ++i) {
        const int byte = 64 * k + i, plane = byte % 3, lane = byte / 3;
        join[k][i] = static_cast<uint8_t>(plane == 1 ? 64 + lane : lane);
        joinRed[k][i] = static_cast<uint8_t>(lane);
        if (plane == 2) fromRed[k] |= uint64_t{1} << i;
      }
  }
};

bool HaveVbmi() { return WideVectorsAvailable(); }

template <typename Kernel, typename Tail>
VELL_VBMI void PlanarRows24(TPixelBuffer& image, const Kernel& kernel, Tail tail) {
  static const TPlanes planes;
  __m512i split[3], splitHigh[3], join[3], joinRed[3];
  for (int k = 0; k < 3; ++k) {
    split[k] = _mm512_load_si512(planes.split[k]);
    splitHigh[k] = _mm512_load_si512(planes.splitHigh[k]);
    join[k] = _mm512_load_si512(planes.join[k]);
    joinRed[k] = _mm512_load_si512(planes.joinRed[k]);
  }
  const int width = image.Width();
  for (int r = 0; r < image.Height(); ++r) {
    uint8_t* row = image.Row(r);
    int x = 0;
    for (; x + 64 <= width; x += 64) {
      uint8_t* q = row + 3 * x;
      const __m512i v0 = _mm512_loadu_si512(q), v1 = _mm512_loadu_si512(q + 64), v2 = _mm512_loadu_si512(q + 128);
      __m512i plane[3];
      for (int c = 0; c < 3; ++c)
        plane[c] = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(v0, split[c], v1), planes.fromHigh[c],
                                                splitHigh[c], v2);
      kernel(plane[0], plane[1], plane[2]);
      for (int k = 0; k < 3; ++k)
        _mm512_storeu_si512(q + 64 * k, _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(plane[0], join[k], plane[1]),
                                                                      planes.fromRed[k], joinRed[k], plane[2]));
    }
    if (x < width) tail(row + 3 * x, width - x);
  }
}

// Bytes widened to 16-bit words, low and high 32 lanes, and back (values 0 ... 255).
// (The zero-masked forms: GCC 12 warns about the undefined upper halves of the plain ones.)
VELL_VBMI inline __m512i Low16(__m512i v) { return _mm512_cvtepu8_epi16(_mm512_maskz_extracti64x4_epi64(0xF, v, 0)); }
VELL_VBMI inline __m512i High16(__m512i v) { return _mm512_cvtepu8_epi16(_mm512_maskz_extracti64x4_epi64(0xF, v, 1)); }
VELL_VBMI inline __m512i Narrow(__m512i low, __m512i high) {
  static const struct TEven {
    alignas(64) uint8_t index[64];
    TEven() {
      for (int i = 0; i < 64; ++i) index[i] = static_cast<uint8_t>(i < 32 ? 2 * i : 64 + 2 * (i - 32));
    }
  } even;
  return _mm512_permutex2var_epi8(low, _mm512_load_si512(even.index), high);
}

struct TGrayKernel {
  VELL_VBMI __m512i Half(__m512i b, __m512i g, __m512i r) const {
    const __m512i sum = _mm512_add_epi16(
        _mm512_add_epi16(_mm512_mullo_epi16(r, _mm512_set1_epi16(77)), _mm512_mullo_epi16(g, _mm512_set1_epi16(151))),
        _mm512_mullo_epi16(b, _mm512_set1_epi16(28)));
    return _mm512_srli_epi16(sum, 8);
  }
  VELL_VBMI void operator()(__m512i& b, __m512i& g, __m512i& r) const {
    const __m512i gray = Narrow(Half(Low16(b), Low16(g), Low16(r)), Half(High16(b), High16(g), High16(r)));
    b = g = r = gray;
  }
};

struct TTintKernel {
  uint16_t rc, gc, bc;
  VELL_VBMI static __m512i Scale(__m512i m, uint16_t c) {
    // round(c M / 255) as RoundDiv255 does it
    const __m512i y = _mm512_add_epi16(_mm512_mullo_epi16(m, _mm512_set1_epi16(static_cast<short>(c))),
                                       _mm512_set1_epi16(127));
    return _mm512_srli_epi16(_mm512_add_epi16(_mm512_add_epi16(y, _mm512_set1_epi16(1)), _mm512_srli_epi16(y, 8)), 8);
  }
  VELL_VBMI void operator()(__m512i& b, __m512i& g, __m512i& r) const {
    const __m512i m = _mm512_max_epu8(_mm512_max_epu8(b, g), r);
    const __m512i low = Low16(m), high = High16(m);
    b = Narrow(Scale(low, bc), Scale(high, bc));
    g = Narrow(Scale(low, gc), Scale(high, gc));
    r = Narrow(Scale(low, rc), Scale(high, rc));
  }
};

struct TRotateKernel {
  int bytes, bits;
  VELL_VBMI __m512i Up(__m512i x) const {  // each byte << bits
    return _mm512_and_si512(_mm512_sll_epi16(x, _mm_cvtsi32_si128(bits)),
                            _mm512_set1_epi8(static_cast<char>((0xFF << bits) & 0xFF)));
  }
  VELL_VBMI __m512i Down(__m512i x) const {  // each byte >> (8 - bits)
    return _mm512_and_si512(_mm512_srl_epi16(x, _mm_cvtsi32_si128(8 - bits)),
                            _mm512_set1_epi8(static_cast<char>(0xFF >> (8 - bits))));
  }
  VELL_VBMI void operator()(__m512i& b, __m512i& g, __m512i& r) const {
    __m512i nb = b, ng = g, nr = r;
    if (bytes == 1) nr = b, ng = r, nb = g;
    if (bytes == 2) nr = g, ng = b, nb = r;
    if (bits != 0) {
      r = _mm512_or_si512(Up(nr), Down(nb));
      g = _mm512_or_si512(Up(ng), Down(nr));
      b = _mm512_or_si512(Up(nb), Down(ng));
    } else {
      r = nr, g = ng, b = nb;
    }
  }
};

struct TExchangeKernel {
  uint8_t low[3], span[3], brush[3];  // blue, green, red
  VELL_VBMI void operator()(__m512i& b, __m512i& g, __m512i& r) const {
    auto inside = [](__m512i v, uint8_t lo, uint8_t sp) VELL_VBMI {
      return _mm512_cmple_epu8_mask(_mm512_sub_epi8(v, _mm512_set1_epi8(static_cast<char>(lo))),
                                    _mm512_set1_epi8(static_cast<char>(sp)));
    };
    const __mmask64 hit = inside(b, low[0], span[0]) & inside(g, low[1], span[1]) & inside(r, low[2], span[2]);
    b = _mm512_mask_blend_epi8(hit, b, _mm512_set1_epi8(static_cast<char>(brush[0])));
    g = _mm512_mask_blend_epi8(hit, g, _mm512_set1_epi8(static_cast<char>(brush[1])));
    r = _mm512_mask_blend_epi8(hit, r, _mm512_set1_epi8(static_cast<char>(brush[2])));
  }
};

// Amounts 0 ... 511 only: A[k] = q (k + 1) + ((rest (k + 1)) >> 8) with
// amount = 256 q + rest keeps every step inside 16-bit words.
struct TSaturationKernel {
  int amount;
  VELL_VBMI __m512i Weight(__m512i k) const {  // A[k] for words k
    const __m512i k1 = _mm512_add_epi16(k, _mm512_set1_epi16(1));
    const __m512i whole = _mm512_mullo_epi16(k1, _mm512_set1_epi16(static_cast<short>(amount >> 8)));
    const __m512i part = _mm512_mulhi_epu16(k1, _mm512_set1_epi16(static_cast<short>((amount & 0xFF) << 8)));
    return _mm512_add_epi16(whole, part);
  }
  VELL_VBMI void Half(__m512i& b, __m512i& g, __m512i& r) const {
    // m = s / 3 as (s * 21846) >> 16, exact for s <= 765
    const __m512i m = _mm512_mulhi_epu16(_mm512_add_epi16(_mm512_add_epi16(b, g), r), _mm512_set1_epi16(21846));
    const __m512i base = _mm512_sub_epi16(m, Weight(m));
    const __m512i zero = _mm512_setzero_si512(), top = _mm512_set1_epi16(255);
    b = _mm512_min_epi16(_mm512_max_epi16(_mm512_add_epi16(base, Weight(b)), zero), top);
    g = _mm512_min_epi16(_mm512_max_epi16(_mm512_add_epi16(base, Weight(g)), zero), top);
    r = _mm512_min_epi16(_mm512_max_epi16(_mm512_add_epi16(base, Weight(r)), zero), top);
  }
  VELL_VBMI void operator()(__m512i& b, __m512i& g, __m512i& r) const {
    __m512i bl = Low16(b), gl = Low16(g), rl = Low16(r), bh = High16(b), gh = High16(g), rh = High16(r);
    Half(bl, gl, rl);
    Half(bh, gh, rh);
    b = Narrow(bl, bh);
    g = Narrow(gl, gh);
    r = Narrow(rl, rh);
  }
};
#endif

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

// 24-bit pictures take the plane kernel where the processor has it.
#ifdef VELL_HAVE_VBMI
#define VELL_PLANAR(image, kernel, tail)                                  \
  if (PixelStride(image) == 3 && HaveVbmi()) {                            \
    PlanarRows24(image, kernel, tail);                                    \
    return;                                                               \
  }
#else
#define VELL_PLANAR(image, kernel, tail)
#endif

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

void AdjustSaturation(TPixelBuffer& image, int amount) {
  amount = std::clamp(amount, -(1 << 20), 1 << 20);  // keeps amount * 256 inside an int
  const int bits = image.BitCount();
  if (bits == 1 || bits == 4 || bits == 8) {
    for (int i = 0; i < (1 << bits); ++i) {
      TRGBQuad& q = image.ColorTable()[i];
      Saturate(amount, q.rgbBlue, q.rgbGreen, q.rgbRed);
    }
    return;
  }
  if (image.Empty()) return;
  if (bits == 16) {
    // Every possible pixel word once, then one lookup per pixel.
    std::vector<uint16_t> table(65536);
    const int bs = image.BlueShift(), gs = image.GreenShift(), rs = image.RedShift();
    const int gp = image.GreenPosition(), rp = image.RedPosition();
    for (uint32_t v = 0; v < 65536; ++v) {
      uint8_t b = static_cast<uint8_t>((v & ((1u << (8 - bs)) - 1)) << bs);
      uint8_t g = static_cast<uint8_t>(((v >> gp) & ((1u << (8 - gs)) - 1)) << gs);
      uint8_t r = static_cast<uint8_t>(((v >> rp) & ((1u << (8 - rs)) - 1)) << rs);
      Saturate(amount, b, g, r);
      table[v] = static_cast<uint16_t>((r >> rs) << rp | (g >> gs) << gp | (b >> bs));
    }
    for (int y = 0; y < image.Height(); ++y) {
      uint16_t* p = image.Row16(y);
      for (int x = 0; x < image.Width(); ++x) p[x] = table[p[x]];
    }
    return;
  }
  if (amount >= 0 && amount < 512) {
    VELL_PLANAR(image, TSaturationKernel{amount}, [&](uint8_t* p, int n) { SaturateRow3(p, n, amount); })
  }
  ForEachRow(
      image, [&](uint8_t* p, int n) { SaturateRow3(p, n, amount); },
      [&](uint8_t* p, int n) { SaturateRow4(p, n, amount); });
}

namespace {
bool gWideVectors = true;
}

void UseWideVectors(bool on) { gWideVectors = on; }

bool WideVectorsAvailable() {
#ifdef VELL_HAVE_VBMI
  static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                           __builtin_cpu_supports("avx512vbmi");
  return have && gWideVectors;
#else
  return false;
#endif
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
  VELL_PLANAR(image, TGrayKernel{}, GrayRow3)
  ForEachRow(image, GrayRow3, GrayRow4);
}

void Tint(TPixelBuffer& image, uint32_t colour) {
  const uint16_t rc = colour & 0xFF, gc = (colour >> 8) & 0xFF, bc = (colour >> 16) & 0xFF;
  VELL_PLANAR(image, (TTintKernel{rc, gc, bc}), [&](uint8_t* p, int n) { TintRow3(p, n, rc, gc, bc); })
  ForEachRow(
      image, [&](uint8_t* p, int n) { TintRow3(p, n, rc, gc, bc); },
      [&](uint8_t* p, int n) { TintRow4(p, n, rc, gc, bc); });
}

void RotateColourBits(TPixelBuffer& image, int bits) {
  if (bits <= 0) return;
  const int n = bits % 24;
  if (n == 0) return;
  VELL_PLANAR(image, (TRotateKernel{n / 8, n % 8}), [&](uint8_t* p, int w) { RotateRow3(p, w, n / 8, n % 8); })
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
  VELL_PLANAR(image, (TExchangeKernel{{low[0], low[1], low[2]}, {span[0], span[1], span[2]}, {fill[0], fill[1], fill[2]}}),
              [&](uint8_t* p, int n) { ExchangeRow3(p, n, low, span, fill); })
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
