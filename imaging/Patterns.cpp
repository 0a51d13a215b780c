#include "imaging/Patterns.h"

namespace vell {

void TPlasmaField::Reset(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  cells_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

void PlasmaField(TPlasmaField&, int, int, int) {}
void PlasmaCloud(TPixelBuffer&, int) {}
TMarbleResult Marble(TPixelBuffer&, int, int turbulence, double) {
  return turbulence == 0 ? TMarbleResult::TurbulenceZero : TMarbleResult::Done;
}
void SuperNova(TPixelBuffer&, uint32_t, int, int, int, int, int) {}
void Mosaic(TPixelBuffer&, int) {}
void CircleMosaic(TPixelBuffer&, int) {}
void CycloidMosaic(TPixelBuffer&, int) {}
void ConcentricRects(TPixelBuffer&, int) {}
void Astroid(TPixelBuffer&, int) {}
void Buttonize(TPixelBuffer&, uint32_t, uint32_t, int) {}
void Spray(TPixelBuffer&, int) {}
void Trace(TPixelBuffer&, int, uint32_t) {}
void GradientBars(TPixelBuffer&, int, uint32_t, uint32_t) {}
bool MergeGradient(TPixelBuffer&, int, const TPixelBuffer&) { return false; }
bool MergeBuffer(TPixelBuffer&, int, const TPixelBuffer&) { return false; }

}  // namespace vell
