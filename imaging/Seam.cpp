#include "imaging/Seam.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace vell {
namespace {

// Sum of |a[i] - b[i]| over n bytes. The inner sum stays in 32 bits so the
// loop vectorises; 2^23 bytes of 255 still fit in a signed 32-bit sum.
uint64_t SumAbsDiff(const uint8_t* a, const uint8_t* b, size_t n) {
  uint64_t total = 0;
  while (n > 0) {
    const size_t chunk = std::min(n, size_t{1} << 23);
    // This shape is the one compilers turn into sum-of-absolute-differences.
    int32_t sum = 0;
    for (size_t i = 0; i < chunk; ++i) sum += std::abs(int{a[i]} - int{b[i]});
    total += static_cast<uint32_t>(sum);
    a += chunk;
    b += chunk;
    n -= chunk;
  }
  return total;
}

TSeamMeasure Measure24(const TPixelBuffer& tile) {
  const int w = tile.Width(), h = tile.Height();
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  uint64_t interior = 0, edge = 0;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = tile.Row(y);
    if (w > 1) {
      interior += SumAbsDiff(row, row + 3, rowBytes - 3);
      edge += SumAbsDiff(row + rowBytes - 3, row, 3);
    }
    if (h > 1) {
      const uint8_t* below = tile.Row(y + 1 < h ? y + 1 : 0);
      (y + 1 < h ? interior : edge) += SumAbsDiff(row, below, rowBytes);
    }
  }
  const double W = w, H = h;
  const double interiorPairs = H * (W - 1) + W * (H - 1);
  const double edgePairs = (w > 1 ? H : 0.0) + (h > 1 ? W : 0.0);

  TSeamMeasure m;
  if (interiorPairs > 0) m.InteriorStep = static_cast<double>(interior) / (3 * interiorPairs);
  if (edgePairs > 0) m.EdgeStep = static_cast<double>(edge) / (3 * edgePairs);
  if (edge == 0)
    m.Score = interior == 0 ? 1.0 : 0.0;
  else if (interior == 0)
    // The smallest interior step there could be keeps the score finite.
    m.Score = m.EdgeStep * 3 * std::max(interiorPairs, 1.0);
  else
    m.Score = m.EdgeStep / m.InteriorStep;
  return m;
}

}  // namespace

TSeamMeasure MeasureSeam(const TPixelBuffer& tile) {
  if (tile.Empty() || tile.Width() <= 0 || tile.Height() <= 0) return TSeamMeasure{};
  if (tile.BitCount() == 24) return Measure24(tile);
  // Other depths go through their colours once, into a 24-bit copy.
  TPixelBuffer copy;
  copy.Allocate(tile.Width(), tile.Height(), 0, 24);
  if (copy.Empty()) return TSeamMeasure{};
  tile.PaintTo(copy, 0, 0);
  return Measure24(copy);
}

std::string SeamScoreText(const TSeamMeasure& measure) {
  // The words follow the number as shown, so "1.50" is never called a seam.
  double shown = std::isfinite(measure.Score) ? std::round(measure.Score * 100) / 100 : 1e12;
  shown = std::clamp(shown, 0.0, 1e12);
  char digits[48];
  // to_chars ignores the locale: the score reads the same in every language.
  const auto end = std::to_chars(digits, digits + sizeof digits, shown, std::chars_format::fixed, 2).ptr;
  const char* words = shown <= kSeamlessScore ? "seamless" : shown <= kFaintSeamScore ? "faint seam" : "visible seam";
  return "Seam score " + std::string(digits, end) + " (" + words + ")";
}

}  // namespace vell
