// Separable gaussian blur with a trimmed kernel.
#pragma once

#include <array>

#include "imaging/PixelBuffer.h"

namespace vell {

inline constexpr const char kGBlurOnly24Bits[] = "GBlur only works for 24-bit bitmaps";

struct TGaussianKernel {
  int half = 0;                    // the kernel spans -half ... half
  std::array<double, 21> weight{};  // weight[10 + k] for k = -10 ... 10; zero beyond half
};

// exp(-k^2 / (2 radius^2)) for k = -10 ... 10, normalised; the tails are cut
// while what they hold stays below 1/510 (never below a half-size of 1) and
// the rest normalised again. Radius 2 keeps 5 each side, 3 keeps 8, 4 to 6 keep 9.
TGaussianKernel GaussianKernel(int radius);

// Blurs the whole bitmap, rows then columns; positions beyond an end repeat
// the end pixel. Returns false and changes nothing for a bitmap that is not
// 24 bits per pixel (the caller reports kGBlurOnly24Bits). A radius below 1
// changes nothing. The weights are used in fixed point (15 fraction bits)
// summing to exactly one, so flat areas (pure white included) stay exactly as
// they were; any pixel is within 1 of a double-precision evaluation.
bool GaussianBlurBitmap(TPixelBuffer& bitmap, int radius);

// "Gaussian Blur": blurs with radius blurriness + 1 over a copy framed by the
// opposite edges, so the tile's edges see their wrap-around neighbours (as far
// as the frame reaches). Blurriness outside 0 ... 5 is taken as 1.
void GaussianBlur(TPixelBuffer& image, int blurriness);

}  // namespace vell
