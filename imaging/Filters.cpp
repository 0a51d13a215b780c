#include "imaging/Filters.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/Geometry.h"

namespace vell {

namespace {

constexpr std::array<TNamedKernel, 12> kNamedKernels = {{
    {0, "Soften More", {2, 2, 2, 2, 0, 2, 2, 2, 2}, 16},
    {1, "Soften Less", {0, 1, 0, 1, 2, 1, 0, 1, 0}, 6},
    {2, "Edge Enhance More", {-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1},
    {3, "Edge Enhance Less", {0, -1, 0, -1, 5, -1, 0, -1, 0}, 1},
    {4, "Edge Emboss More", {2, 0, 2, 0, 1, 0, 2, 0, -6}, 1},
    {5, "Edge Emboss Less", {1, 0, 1, 0, 0, 0, 1, 0, -2}, 1},
    {7, "HiPass", {-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1},
    {8, "Sharpen", {-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8},
    {9, "Laplace", {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1},
    {10, "Blur", {3, 3, 3, 3, 8, 3, 3, 3, 3}, 32},
    {11, "Find Edges", {1, 1, 1, 1, -2, 1, -1, -1, -1}, 1},
    {12, "Gaussian Soft", {1, 2, 1, 2, 4, 2, 1, 2, 1}, 16},
}};

// How the sum is divided: not at all, by a shift, or by a floating division
// that is exact for the magnitudes of its accumulator.
enum class TDivide { One, Shift, Float };

template <typename Acc, TDivide Mode>
[[gnu::always_inline]] inline void ConvolveRowT(uint8_t* __restrict out, size_t n, const uint8_t* r0, const uint8_t* r1,
                                                const uint8_t* r2, const int32_t* k, int divisor) {
  const Acc k0 = static_cast<Acc>(k[0]), k1 = static_cast<Acc>(k[1]), k2 = static_cast<Acc>(k[2]);
  const Acc k3 = static_cast<Acc>(k[3]), k4 = static_cast<Acc>(k[4]), k5 = static_cast<Acc>(k[5]);
  const Acc k6 = static_cast<Acc>(k[6]), k7 = static_cast<Acc>(k[7]), k8 = static_cast<Acc>(k[8]);
  const int shift = std::countr_zero(static_cast<unsigned>(divisor));
  const Acc bias = static_cast<Acc>(divisor - 1);
  // Float for 16-bit sums, double for 32-bit ones: either is exact enough that
  // truncating the quotient gives the integer quotient.
  using Real = std::conditional_t<sizeof(Acc) == 2, float, double>;
  const Real d = static_cast<Real>(divisor);
  for (size_t i = 0; i < n; ++i) {
    Acc s = static_cast<Acc>(k0 * r0[i] + k1 * r0[i + 3] + k2 * r0[i + 6] + k3 * r1[i] + k4 * r1[i + 3] +
                             k5 * r1[i + 6] + k6 * r2[i] + k7 * r2[i + 3] + k8 * r2[i + 6]);
    if constexpr (Mode == TDivide::Shift) {
      s = static_cast<Acc>((s + ((s >> (sizeof(Acc) * 8 - 1)) & bias)) >> shift);
    } else if constexpr (Mode == TDivide::Float) {
      s = static_cast<Acc>(static_cast<Real>(s) / d);
    }
    out[i] = static_cast<uint8_t>(s > 254 ? 255 : (s <= 0 ? 0 : s));
  }
}

}  // namespace

namespace filters_detail {

// One output row from three bordered rows (each w + 2 pixels). The sum type is
// chosen by the caller so that no sum can overflow it.
#define VELL_CONVOLVE_ROW(name, Acc, Mode)                                                                  \
  __attribute__((target_clones("avx2", "default"))) void name(uint8_t* __restrict out, size_t n, const uint8_t* r0, \
                                                              const uint8_t* r1, const uint8_t* r2,      \
                                                              const int32_t* k, int divisor) {           \
    ConvolveRowT<Acc, Mode>(out, n, r0, r1, r2, k, divisor);                                            \
  }
VELL_CONVOLVE_ROW(ConvolveRow16One, int16_t, TDivide::One)
VELL_CONVOLVE_ROW(ConvolveRow16Shift, int16_t, TDivide::Shift)
VELL_CONVOLVE_ROW(ConvolveRow16Float, int16_t, TDivide::Float)
VELL_CONVOLVE_ROW(ConvolveRow32One, int32_t, TDivide::One)
VELL_CONVOLVE_ROW(ConvolveRow32Shift, int32_t, TDivide::Shift)
VELL_CONVOLVE_ROW(ConvolveRow32Float, int32_t, TDivide::Float)
#undef VELL_CONVOLVE_ROW

// Kernels whose sums do not fit 32 bits: plain 64-bit arithmetic.
void ConvolveRow64(uint8_t* out, size_t n, const uint8_t* r0, const uint8_t* r1, const uint8_t* r2, const int32_t* k,
                   int divisor) {
  for (size_t i = 0; i < n; ++i) {
    const int64_t s = int64_t{k[0]} * r0[i] + int64_t{k[1]} * r0[i + 3] + int64_t{k[2]} * r0[i + 6] +
                      int64_t{k[3]} * r1[i] + int64_t{k[4]} * r1[i + 3] + int64_t{k[5]} * r1[i + 6] +
                      int64_t{k[6]} * r2[i] + int64_t{k[7]} * r2[i + 3] + int64_t{k[8]} * r2[i + 6];
    const int64_t v = s / divisor;
    out[i] = static_cast<uint8_t>(v > 254 ? 255 : (v <= 0 ? 0 : v));
  }
}

}  // namespace filters_detail

TFilterResult Convolve3x3(TPixelBuffer& image, const TKernel3x3& kernel, int divisor) {
  const int d = static_cast<uint16_t>(static_cast<uint32_t>(divisor));
  if (d == 0) return TFilterResult::DivisorZero;
  if (!IsWorkingPicture(image)) return TFilterResult::Done;

  using RowFn = void (*)(uint8_t*, size_t, const uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, int);
  int64_t reach = 0;
  for (int32_t k : kernel) reach += std::abs(int64_t{k}) * 255;
  const bool pow2 = std::has_single_bit(static_cast<unsigned>(d));
  RowFn row;
  if (reach <= 32767) {
    row = d == 1 ? filters_detail::ConvolveRow16One
                 : (pow2 ? filters_detail::ConvolveRow16Shift : filters_detail::ConvolveRow16Float);
  } else if (reach <= 2147483647) {
    row = d == 1 ? filters_detail::ConvolveRow32One
                 : (pow2 ? filters_detail::ConvolveRow32Shift : filters_detail::ConvolveRow32Float);
  } else {
    row = filters_detail::ConvolveRow64;
  }

  // The image framed by one pixel from the opposite edges, built three rows at
  // a time so the output can go straight back into the image: a row is
  // framed before it is overwritten, and the original top row is kept for the
  // frame below the bottom row. Corner cells repeat the nearest image pixel.
  const int w = image.Width(), h = image.Height();
  const size_t rowBytes = static_cast<size_t>(w) * 3, framed = rowBytes + 6;
  std::vector<uint8_t> ring(framed * 3), topRow(rowBytes), frameAbove(framed), frameBelow(framed);
  std::memcpy(topRow.data(), image.Row(0), rowBytes);
  auto frame = [&](uint8_t* dst, const uint8_t* pixels, const uint8_t* leftCell, const uint8_t* rightCell) {
    std::memcpy(dst, leftCell, 3);
    std::memcpy(dst + 3, pixels, rowBytes);
    std::memcpy(dst + 3 + rowBytes, rightCell, 3);
  };
  auto frameRow = [&](uint8_t* dst, const uint8_t* pixels) { frame(dst, pixels, pixels + rowBytes - 3, pixels); };
  const uint8_t* bottom = image.Row(h - 1);
  frame(frameAbove.data(), bottom, topRow.data(), topRow.data() + rowBytes - 3);

  uint8_t* prev = frameAbove.data();
  uint8_t* cur = ring.data();
  uint8_t* next = ring.data() + framed;
  uint8_t* spare = ring.data() + 2 * framed;
  frameRow(cur, image.Row(0));
  for (int y = 0; y < h; ++y) {
    if (y + 1 < h) {
      frameRow(next, image.Row(y + 1));
    } else {
      const uint8_t* last = image.Row(h - 1);
      frame(frameBelow.data(), topRow.data(), last, last + rowBytes - 3);
      next = frameBelow.data();
    }
    row(image.Row(y), rowBytes, prev, cur, next, kernel.data(), d);
    // Rotate the three framed rows; the one above is free again.
    uint8_t* freed = (prev == frameAbove.data()) ? spare : prev;
    prev = cur;
    cur = next;
    next = freed;
  }
  return TFilterResult::Done;
}

const std::array<TNamedKernel, 12>& NamedKernels() { return kNamedKernels; }

std::optional<TNamedKernel> NamedKernel(int effectId) {
  for (const TNamedKernel& k : kNamedKernels)
    if (k.effectId == effectId) return k;
  return std::nullopt;
}

bool ApplyNamedKernel(TPixelBuffer& image, int effectId) {
  const std::optional<TNamedKernel> k = NamedKernel(effectId);
  if (!k) return false;
  Convolve3x3(image, k->kernel, k->divisor);
  return true;
}

void ClassicEmboss(TPixelBuffer& image, int lightness) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  const int lift = lightness / 2;
  // Output row y needs source rows y and y + 2 (wrapped); the first two rows
  // are kept because the last two output rows read them after they changed.
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  std::vector<uint8_t> firstRows(rowBytes * 2), shifted(rowBytes);
  for (int r = 0; r < std::min(h, 2); ++r) std::memcpy(firstRows.data() + rowBytes * static_cast<size_t>(r), image.Row(r), rowBytes);
  const size_t lead = static_cast<size_t>(2 % w) * 3;
  for (int y = 0; y < h; ++y) {
    const int sy = (y + 2) % h;
    const uint8_t* ahead = sy < y ? firstRows.data() + rowBytes * static_cast<size_t>(sy) : image.Row(sy);
    // ahead shifted left by two pixels with wrap-around.
    std::memcpy(shifted.data(), ahead + lead, rowBytes - lead);
    std::memcpy(shifted.data() + rowBytes - lead, ahead, lead);
    uint8_t* out = image.Row(y);
    for (size_t i = 0; i < rowBytes; ++i) {
      const int v = shifted[i] - out[i] + lift;
      out[i] = static_cast<uint8_t>(v > 254 ? 255 : (v <= 0 ? 0 : v));
    }
  }
}

void SplitBlur(TPixelBuffer& image, int a) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  a = std::clamp(a, -(1 << 29), 1 << 29);  // keeps x -+ a inside int
  std::vector<int> left(static_cast<size_t>(w)), right(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) {
    left[static_cast<size_t>(x)] = WrapIndex(x - a, w);
    right[static_cast<size_t>(x)] = WrapIndex(x + a, w);
  }
  for (int y = 0; y < h; ++y) {
    const TRGB24* up = image.Row24(WrapIndex(y - a, h));
    const TRGB24* down = image.Row24(WrapIndex(y + a, h));
    TRGB24* out = image.Row24(y);
    for (int x = 0; x < w; ++x) {
      const TRGB24 p0 = up[left[static_cast<size_t>(x)]], p1 = up[right[static_cast<size_t>(x)]];
      const TRGB24 p2 = down[left[static_cast<size_t>(x)]], p3 = down[right[static_cast<size_t>(x)]];
      out[x].b = static_cast<uint8_t>((p0.b + p1.b + p2.b + p3.b) >> 2);
      out[x].g = static_cast<uint8_t>((p0.g + p1.g + p2.g + p3.g) >> 2);
      out[x].r = static_cast<uint8_t>((p0.r + p1.r + p2.r + p3.r) >> 2);
    }
  }
}

void SplitGauss(TPixelBuffer& image, int amount) {
  for (int a = amount; a >= 0; --a) SplitBlur(image, a);
}

}  // namespace vell
