#include "imaging/Relief.h"

namespace vell {

void Water(int, int, const TPixelBuffer&, TPixelBuffer&) {}
bool StretchBlur(TPixelBuffer&, int, int, const TPixelBuffer&, int) { return false; }
void MapTexture(TPixelBuffer&, const TPixelBuffer&, double) {}
void HeightMap(TPixelBuffer&, int, bool, int, int) {}

}  // namespace vell
