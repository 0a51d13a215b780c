#include "imaging/GBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/Geometry.h"

namespace vell {

TGaussianKernel GaussianKernel(int radius) {
  TGaussianKernel k;
  if (radius < 1) return k;
  std::array<double, 21> w{};
  double sum = 0;
  for (int i = -10; i <= 10; ++i) {
    w[static_cast<size_t>(i + 10)] = std::exp(-static_cast<double>(i * i) / (2.0 * radius * radius));
    sum += w[static_cast<size_t>(i + 10)];
  }
  for (double& v : w) v /= sum;
  int j = 10;
  double t = 0;
  while (t < 1.0 / 510.0 && j > 1) {
    t += 2 * w[static_cast<size_t>(j + 10)];
    --j;
  }
  double kept = 0;
  for (int i = -j; i <= j; ++i) kept += w[static_cast<size_t>(i + 10)];
  k.half = j;
  for (int i = -j; i <= j; ++i) k.weight[static_cast<size_t>(i + 10)] = w[static_cast<size_t>(i + 10)] / kept;
  return k;
}

namespace {

// The weights in fixed point summing to exactly 2^15. Every product of a byte
// and a weight, and every sum of them, is an integer below 2^24, so single
// precision holds them exactly: the float arithmetic below is integer
// arithmetic, and scaling by 2^-15 and truncating gives the floor.
constexpr int kWeightBits = 15;
constexpr float kUnscale = 1.0f / 32768.0f;

template <int H, typename Out>
[[gnu::always_inline]] inline void WeighT(Out* __restrict out, size_t n, const float* const* src, const float* w) {
  // Symmetric kernel: the two taps at the same distance share one multiply.
  const float* s[2 * H + 1];
  float wt[H + 1];
  for (int t = 0; t <= 2 * H; ++t) s[t] = src[t];
  for (int t = 0; t <= H; ++t) wt[t] = w[t];
  for (size_t b = 0; b < n; ++b) {
    float acc = wt[H] * s[H][b];
#pragma GCC unroll 16
    for (int t = 0; t < H; ++t) acc += wt[t] * (s[t][b] + s[2 * H - t][b]);
    out[b] = static_cast<Out>(static_cast<int>(acc * kUnscale));
  }
}

template <typename Out>
[[gnu::always_inline]] inline void WeighAny(Out* __restrict out, size_t n, const float* const* src, const float* w,
                                            int h) {
  switch (h) {
    case 1: WeighT<1>(out, n, src, w); break;
    case 2: WeighT<2>(out, n, src, w); break;
    case 3: WeighT<3>(out, n, src, w); break;
    case 4: WeighT<4>(out, n, src, w); break;
    case 5: WeighT<5>(out, n, src, w); break;
    case 6: WeighT<6>(out, n, src, w); break;
    case 7: WeighT<7>(out, n, src, w); break;
    case 8: WeighT<8>(out, n, src, w); break;
    default: WeighT<9>(out, n, src, w); break;
  }
}

}  // namespace

namespace gblur_detail {

// out[b] = floor(sum over taps t of w[t] * src[t][b] / 2^15), taps 2h + 1;
// into bytes (the picture) or into floats holding those bytes (the row ring).
__attribute__((target_clones("avx2", "default"))) void WeighToBytes(uint8_t* __restrict out, size_t n,
                                                                       const float* const* src, const float* w,
                                                                       int h) {
  WeighAny(out, n, src, w, h);
}
__attribute__((target_clones("avx2", "default"))) void WeighToFloats(float* __restrict out, size_t n,
                                                                        const float* const* src, const float* w,
                                                                        int h) {
  WeighAny(out, n, src, w, h);
}

__attribute__((target_clones("avx2", "default"))) void BytesToFloats(float* __restrict out,
                                                                        const uint8_t* __restrict in, size_t n) {
  for (size_t i = 0; i < n; ++i) out[i] = in[i];
}

}  // namespace gblur_detail

namespace {

int FloorMod(int k, int n) { return ((k % n) + n) % n; }

// Both passes over a picture seen through a frame: position p along an axis
// of size n reads the picture at FloorMod(clamp(p, -frame, n - 1 + frame), n).
// A frame of 0 repeats the end pixels; a frame of B is the picture framed by
// B pixels from the opposite edges, whose own ends then repeat. Works row by
// row with the output going back into the picture: a row's horizontal pass is
// made before that row is overwritten, and the rows the bottom frame needs
// from the top are kept beforehand.
void BlurFramed(TPixelBuffer& image, int radius, int frame) {
  const TGaussianKernel kernel = GaussianKernel(radius);
  const int j = std::clamp(kernel.half, 1, 9), taps = 2 * j + 1;
  std::vector<int32_t> fixed(static_cast<size_t>(taps));
  int32_t total = 0;
  for (int t = 0; t < taps; ++t) {
    fixed[static_cast<size_t>(t)] = static_cast<int32_t>(
        std::nearbyint(kernel.weight[static_cast<size_t>(t - j + 10)] * (1 << kWeightBits)));
    total += fixed[static_cast<size_t>(t)];
  }
  fixed[static_cast<size_t>(j)] += (1 << kWeightBits) - total;
  const std::vector<float> weight(fixed.begin(), fixed.end());

  const int w = image.Width(), h = image.Height();
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  auto source = [frame](int p, int n) { return FloorMod(std::clamp(p, -frame, n - 1 + frame), n); };

  // Rows the frame below the picture takes from its top.
  const int keep = std::min(h, frame);
  std::vector<uint8_t> topRows(rowBytes * static_cast<size_t>(keep));
  for (int r = 0; r < keep; ++r) std::memcpy(topRows.data() + rowBytes * static_cast<size_t>(r), image.Row(r), rowBytes);

  // Columns -j ... w - 1 + j of a row; the middle is the row itself.
  std::vector<int> column(static_cast<size_t>(w + 2 * j));
  for (int m = 0; m < w + 2 * j; ++m) column[static_cast<size_t>(m)] = source(m - j, w);
  std::vector<uint8_t> padded(rowBytes + static_cast<size_t>(2 * j) * 3);
  std::vector<float> paddedF(padded.size());
  std::vector<const float*> src(static_cast<size_t>(taps));

  // Horizontal results of the framed rows within reach, by framed row number.
  std::vector<float> ring(rowBytes * static_cast<size_t>(taps));
  auto slot = [&](int f) { return ring.data() + rowBytes * static_cast<size_t>(FloorMod(f, taps)); };
  auto horizontal = [&](int f) {
    const int r = source(f, h);
    const uint8_t* row = (f >= h && r < keep) ? topRows.data() + rowBytes * static_cast<size_t>(r) : image.Row(r);
    for (int m = 0; m < j; ++m) {
      std::memcpy(padded.data() + static_cast<size_t>(m) * 3, row + static_cast<size_t>(column[static_cast<size_t>(m)]) * 3, 3);
      const size_t e = static_cast<size_t>(w + j + m);
      std::memcpy(padded.data() + e * 3, row + static_cast<size_t>(column[e]) * 3, 3);
    }
    std::memcpy(padded.data() + static_cast<size_t>(j) * 3, row, rowBytes);
    gblur_detail::BytesToFloats(paddedF.data(), padded.data(), padded.size());
    for (int t = 0; t < taps; ++t) src[static_cast<size_t>(t)] = paddedF.data() + static_cast<size_t>(t) * 3;
    gblur_detail::WeighToFloats(slot(f), rowBytes, src.data(), weight.data(), j);
  };

  // Framed rows run from -frame to h - 1 + frame; beyond them the end repeats.
  const int first = -frame, last = h - 1 + frame;
  for (int f = std::max(first, -j); f <= std::min(last, j - 1); ++f) horizontal(f);
  for (int y = 0; y < h; ++y) {
    if (y + j <= last) horizontal(y + j);
    for (int t = 0; t < taps; ++t) src[static_cast<size_t>(t)] = slot(std::clamp(y + t - j, first, last));
    gblur_detail::WeighToBytes(image.Row(y), rowBytes, src.data(), weight.data(), j);
  }
}

}  // namespace

bool GaussianBlurBitmap(TPixelBuffer& bitmap, int radius) {
  if (bitmap.BitCount() != 24) return false;
  if (bitmap.Empty() || radius < 1) return true;
  BlurFramed(bitmap, radius, 0);
  return true;
}

void GaussianBlur(TPixelBuffer& image, int blurriness) {
  if (!IsWorkingPicture(image)) return;
  if (blurriness < 0 || blurriness > 5) blurriness = 1;
  // Radius B = blurriness + 1 over the picture framed by B pixels from the
  // opposite edges; only the picture's own area is written back.
  BlurFramed(image, blurriness + 1, blurriness + 1);
}

}  // namespace vell
