#include "imaging/Warps.h"

namespace vell {

void SineWaveUpDown(TPixelBuffer&, int, bool, bool, double) {}
void SineWaveLeftRight(TPixelBuffer&, int, bool, bool, double) {}
void SineWaveBoth(TPixelBuffer&, int, int, double, double) {}
void Twist(const TPixelBuffer&, TPixelBuffer&, int) {}
void FishEye(const TPixelBuffer&, TPixelBuffer&, double) {}
void Circular(TPixelBuffer&) {}
void RippleTooth(TPixelBuffer&, int) {}
void Waves(TPixelBuffer&, int, int, bool, double) {}
void WhirlPinch(TPixelBuffer&, double, double, double) {}
void Swizzle(TPixelBuffer&, int) {}

}  // namespace vell
