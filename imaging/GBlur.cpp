#include "imaging/GBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

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

namespace gblur_detail {

// acc[b] = sum over taps t of weight[t] * src[t][b], then >> 16 into out.
// The taps are byte rows already shifted into place by the caller.
__attribute__((target_clones("avx2", "default"))) void WeighRows(uint8_t* out, size_t n, const uint8_t* const* src,
                                                                    const int32_t* weight, int taps, int32_t* acc) {
  {
    const uint8_t* s = src[0];
    const int32_t wt = weight[0];
    for (size_t b = 0; b < n; ++b) acc[b] = wt * s[b];
  }
  for (int t = 1; t < taps; ++t) {
    const uint8_t* s = src[t];
    const int32_t wt = weight[t];
    for (size_t b = 0; b < n; ++b) acc[b] += wt * s[b];
  }
  // Weights sum to exactly 65536, so the result never exceeds 255.
  for (size_t b = 0; b < n; ++b) out[b] = static_cast<uint8_t>(acc[b] >> 16);
}

}  // namespace gblur_detail

bool GaussianBlurBitmap(TPixelBuffer& bitmap, int radius) {
  if (bitmap.BitCount() != 24) return false;
  if (bitmap.Empty() || radius < 1) return true;
  const TGaussianKernel kernel = GaussianKernel(radius);
  const int j = kernel.half, taps = 2 * j + 1;
  std::vector<int32_t> weight(static_cast<size_t>(taps));
  int32_t total = 0;
  for (int t = 0; t < taps; ++t) {
    weight[static_cast<size_t>(t)] =
        static_cast<int32_t>(std::nearbyint(kernel.weight[static_cast<size_t>(t - j + 10)] * 65536.0));
    total += weight[static_cast<size_t>(t)];
  }
  weight[static_cast<size_t>(j)] += 65536 - total;

  const int w = bitmap.Width(), h = bitmap.Height();
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  std::vector<int32_t> acc(rowBytes);
  std::vector<const uint8_t*> src(static_cast<size_t>(taps));

  // Rows: the row framed by j copies of its end pixels, each tap a shifted view.
  std::vector<uint8_t> padded(rowBytes + static_cast<size_t>(2 * j) * 3);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bitmap.Row(y);
    for (int i = 0; i < j; ++i) {
      std::memcpy(padded.data() + static_cast<size_t>(i) * 3, row, 3);
      std::memcpy(padded.data() + rowBytes + static_cast<size_t>(j + i) * 3, row + rowBytes - 3, 3);
    }
    std::memcpy(padded.data() + static_cast<size_t>(j) * 3, row, rowBytes);
    for (int t = 0; t < taps; ++t) src[static_cast<size_t>(t)] = padded.data() + static_cast<size_t>(t) * 3;
    gblur_detail::WeighRows(row, rowBytes, src.data(), weight.data(), taps, acc.data());
  }

  // Columns: rows above the current one have been overwritten, so the last
  // j + 1 rows are kept as they were; rows below are still untouched.
  const int keep = j + 1;
  std::vector<uint8_t> kept(rowBytes * static_cast<size_t>(keep));
  auto keptRow = [&](int r) { return kept.data() + rowBytes * static_cast<size_t>(r % keep); };
  for (int y = 0; y < h; ++y) {
    std::memcpy(keptRow(y), bitmap.Row(y), rowBytes);
    for (int t = 0; t < taps; ++t) {
      const int r = std::clamp(y + t - j, 0, h - 1);
      src[static_cast<size_t>(t)] = r <= y ? keptRow(r) : bitmap.Row(r);
    }
    gblur_detail::WeighRows(bitmap.Row(y), rowBytes, src.data(), weight.data(), taps, acc.data());
  }
  return true;
}

void GaussianBlur(TPixelBuffer& image, int blurriness) {
  if (image.Empty()) return;
  if (blurriness < 0 || blurriness > 5) blurriness = 1;
  const int b = blurriness + 1;
  const int w = image.Width(), h = image.Height();
  // Framed copy: the image at (b, b), every border cell from the opposite side.
  TPixelBuffer framed;
  framed.Allocate(w + 2 * b, h + 2 * b, 0, 24);
  std::vector<int> column(static_cast<size_t>(w + 2 * b));
  for (int x = 0; x < w + 2 * b; ++x) column[static_cast<size_t>(x)] = ((x - b) % w + w) % w;
  for (int y = 0; y < h + 2 * b; ++y) {
    const TRGB24* src = image.Row24(((y - b) % h + h) % h);
    TRGB24* out = framed.Row24(y);
    std::memcpy(out + b, src, static_cast<size_t>(w) * 3);
    for (int x = 0; x < b; ++x) {
      out[x] = src[column[static_cast<size_t>(x)]];
      out[w + b + x] = src[column[static_cast<size_t>(w + b + x)]];
    }
  }
  GaussianBlurBitmap(framed, b);
  for (int y = 0; y < h; ++y) std::memcpy(image.Row(y), framed.Row24(y + b) + b, static_cast<size_t>(w) * 3);
}

}  // namespace vell
