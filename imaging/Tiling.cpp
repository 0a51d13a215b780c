#include "imaging/Tiling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/Geometry.h"

namespace vell {

int MulDiv(int n, int d, int q) {
  if (q == 0) return -1;
  int64_t num = static_cast<int64_t>(n) * d;
  int64_t den = q;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  const int64_t r = num >= 0 ? (num + den / 2) / den : (num - den / 2) / den;
  if (r > 2147483647 || r < -2147483647) return -1;
  return static_cast<int>(r);
}

namespace tiling_detail {

// out[j] = near[j] + MulDiv(k[j], far[j] - near[j], q) for every byte, with
// q > 0. The quotient is taken in double precision, which is exact here: the
// numerator and q are far below 2^31, so no quotient lands on the wrong side
// of an integer.
__attribute__((target_clones("avx2", "default"))) void BlendBytes(uint8_t* out, const uint8_t* nearStrip,
                                                                     const uint8_t* farStrip, const int32_t* k,
                                                                     size_t n, int q) {
  const double dq = q, half = q / 2;
  for (size_t j = 0; j < n; ++j) {
    const int32_t diff = static_cast<int32_t>(farStrip[j]) - static_cast<int32_t>(nearStrip[j]);
    const int32_t prod = k[j] * diff;
    const int32_t mag = prod < 0 ? -prod : prod;
    const int32_t t = static_cast<int32_t>((static_cast<double>(mag) + half) / dq);
    out[j] = static_cast<uint8_t>(nearStrip[j] + (prod < 0 ? -t : t));
  }
}

}  // namespace tiling_detail

namespace {

// Right strip of `a` columns blended toward the mirrored left strip.
void BlendRightEdge(TPixelBuffer& image, int a) {
  if (a < 2 || a > image.Width()) return;
  const int w = image.Width();
  const size_t n = static_cast<size_t>(a) * 3;
  std::vector<int32_t> k(n);
  for (size_t j = 0; j < n; ++j) k[j] = static_cast<int32_t>(j / 3);
  std::vector<uint8_t> left(n), right(n);
  for (int y = 0; y < image.Height(); ++y) {
    TRGB24* row = image.Row24(y);
    TRGB24* l = reinterpret_cast<TRGB24*>(left.data());
    for (int i = 0; i < a; ++i) l[i] = row[a - 1 - i];
    std::memcpy(right.data(), row + (w - a), n);
    tiling_detail::BlendBytes(reinterpret_cast<uint8_t*>(row + (w - a)), right.data(), left.data(), k.data(), n,
                              a - 1);
  }
}

// Bottom strip of `c` rows blended toward the flipped top strip.
void BlendBottomEdge(TPixelBuffer& image, int c) {
  if (c < 2 || c > image.Height()) return;
  const int h = image.Height();
  const size_t n = static_cast<size_t>(image.Width()) * 3;
  // The two strips overlap when the strip is more than half the height: then
  // the top strip is copied before any bottom row is written.
  const bool overlap = 2 * c > h;
  std::vector<uint8_t> top(overlap ? n * static_cast<size_t>(c) : 0), bottom(n);
  if (overlap)
    for (int r = 0; r < c; ++r) std::memcpy(top.data() + n * static_cast<size_t>(r), image.Row(r), n);
  auto topRow = [&](int r) -> const uint8_t* { return overlap ? top.data() + n * static_cast<size_t>(r) : image.Row(r); };
  std::vector<int32_t> k(n);
  for (int i = 0; i < c; ++i) {
    std::fill(k.begin(), k.end(), i);
    uint8_t* row = image.Row(h - c + i);
    std::memcpy(bottom.data(), row, n);
    tiling_detail::BlendBytes(row, bottom.data(), topRow(c - 1 - i), k.data(), n, c - 1);
  }
}

void Turn180(TPixelBuffer& image) {
  const int w = image.Width(), h = image.Height();
  for (int y = 0; y < (h + 1) / 2; ++y) {
    TRGB24* top = image.Row24(y);
    TRGB24* bottom = image.Row24(h - 1 - y);
    const int count = (y == h - 1 - y) ? w / 2 : w;
    for (int x = 0; x < count; ++x) std::swap(top[x], bottom[w - 1 - x]);
  }
}

}  // namespace

void EdgeMerge(TPixelBuffer& image, int d) {
  if (!IsWorkingPicture(image) || d <= 0) return;
  BlendRightEdge(image, image.Width() / d);
  BlendBottomEdge(image, image.Height() / d);
}

void SeamlessEdge(TPixelBuffer& image, int amount) {
  if (!IsWorkingPicture(image)) return;
  const int limit = std::min(image.Width() - 1, image.Height() - 1);
  if (amount > limit) amount = limit / 2;
  if (amount < 2) return;
  BlendRightEdge(image, amount);
  BlendBottomEdge(image, amount);
  Turn180(image);
  BlendRightEdge(image, amount);
  BlendBottomEdge(image, amount);
  Turn180(image);
}

void FourWayFlip(TPixelBuffer& image) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  TPixelBuffer quad;
  quad.Allocate(2 * w, 2 * h, 0, 24);
  for (int y = 0; y < h; ++y) {
    const TRGB24* src = image.Row24(y);
    TRGB24* top = quad.Row24(y);
    TRGB24* bottom = quad.Row24(2 * h - 1 - y);
    for (int x = 0; x < w; ++x) {
      top[x] = top[2 * w - 1 - x] = src[x];
      bottom[x] = bottom[2 * w - 1 - x] = src[x];
    }
  }
  image = std::move(quad);
}

int RotateSeamlessShrink(int size) {
  return static_cast<int>(std::nearbyint(std::sin(45.0 * 0.017453292519943295769) * size));
}

TRotateSeamlessResult RotateSeamless(TPixelBuffer& image) {
  if (image.Width() != image.Height()) return TRotateSeamlessResult::NotSquare;
  if (!IsWorkingPicture(image)) return TRotateSeamlessResult::Done;
  const int width = image.Width(), height = image.Height();
  const int f = std::max(1, RotateSeamlessShrink(width));
  const int e = std::max(1, RotateSeamlessShrink(height));

  TPixelBuffer shrunk;
  CopyPixelsTo(image, shrunk);
  ResizeSmooth(shrunk, f, e, false);

  // The 2f x 2e window at (f div 2, e div 2) of the shrunk tile repeated.
  TPixelBuffer lattice;
  lattice.Allocate(2 * f, 2 * e, 0, 24);
  for (int y = 0; y < 2 * e; ++y) {
    const TRGB24* src = shrunk.Row24((y + e / 2) % e);
    TRGB24* out = lattice.Row24(y);
    for (int x = 0; x < 2 * f; ++x) out[x] = src[(x + f / 2) % f];
  }

  TPixelBuffer turned;
  turned.Allocate(2 * f, 2 * e, 0, 24);
  RotateBilinear(turned, lattice, f, e, 45.0f);

  const int x0 = std::max(0, (2 * f - width) / 2), y0 = std::max(0, (2 * e - height) / 2);
  for (int y = 0; y < height; ++y) {
    const TRGB24* src = turned.Row24((y0 + y) % (2 * e));
    TRGB24* out = image.Row24(y);
    for (int x = 0; x < width; ++x) out[x] = src[(x0 + x) % (2 * f)];
  }
  return TRotateSeamlessResult::Done;
}

void ScrollHorizontal(TPixelBuffer& image, int a) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width();
  a %= w;
  if (a < 0) a += w;
  if (a == 0) return;
  // Content moves right by a: new[x] = old[(x - a) mod w].
  const size_t tail = static_cast<size_t>(a) * 3, head = static_cast<size_t>(w - a) * 3;
  std::vector<uint8_t> row(head + tail);
  for (int y = 0; y < image.Height(); ++y) {
    uint8_t* p = image.Row(y);
    std::memcpy(row.data(), p, head + tail);
    std::memcpy(p, row.data() + head, tail);
    std::memcpy(p + tail, row.data(), head);
  }
}

}  // namespace vell
