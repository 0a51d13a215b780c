// Neighbourhood filters over the 24-bit working image: 3 x 3 kernels, the
// classic emboss and the split blurs. Pixels beyond an edge come from the
// opposite edge, so a tile that was seamless stays seamless.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "imaging/PixelBuffer.h"

namespace vell {

// Nine weights in reading order (k1 top-left ... k9 bottom-right).
using TKernel3x3 = std::array<int32_t, 9>;

enum class TFilterResult { Done, DivisorZero };

// Convolves with a 3 x 3 kernel. Neighbours beyond an edge come from the
// opposite edge (a pixel of the top row sees the bottom row above it); each of
// the four corner pixels sees itself where its diagonal neighbour would be.
// Each channel is sum div divisor, truncating toward zero, clamped to 0 ... 255.
// The divisor is taken as an unsigned 16-bit number (-1 acts as 65535, 65537
// as 1); one that comes to 0 changes nothing and returns DivisorZero.
TFilterResult Convolve3x3(TPixelBuffer& image, const TKernel3x3& kernel, int divisor);

struct TNamedKernel {
  int effectId;
  const char* name;
  TKernel3x3 kernel;
  int divisor;
};

// The twelve named kernels of the "Filters" group, by effect id.
const std::array<TNamedKernel, 12>& NamedKernels();
// The named kernel of an effect id, or none for an id that has no plain kernel.
std::optional<TNamedKernel> NamedKernel(int effectId);
// Runs the named kernel of an effect id; false when the id has none.
bool ApplyNamedKernel(TPixelBuffer& image, int effectId);

// out(x, y) = clamp(src(x + 2, y + 2) - src(x, y) + lightness div 2), both
// positions wrapped: flat areas become lightness div 2 ("Classic Emboss").
void ClassicEmboss(TPixelBuffer& image, int lightness);

// In place, row by row, left to right: every channel becomes the mean (>> 2)
// of the four pixels at (x -+ a, y -+ a), each coordinate wrapped with
// WrapIndex and read as the image stands at that moment, so rows already
// rewritten feed later ones. a = 0 changes nothing.
void SplitBlur(TPixelBuffer& image, int a);

// SplitBlur with a = amount, amount - 1, ..., 0 ("Split Gauss").
void SplitGauss(TPixelBuffer& image, int amount);

}  // namespace vell
