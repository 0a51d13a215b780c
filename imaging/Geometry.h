// Whole-image geometry: quarter turns, rotation by an angle, nearest and
// bilinear resizing. Every routine takes the buffer it changes first, then its
// parameters, and leaves a 24-bit buffer behind. Temporaries live inside the
// call; passing the same buffer as source and destination is allowed.
#pragma once

#include "imaging/PixelBuffer.h"

namespace vell {

// What every effect works on: a 24-bit picture with pixels. Effects leave
// anything else alone.
inline bool IsWorkingPicture(const TPixelBuffer& b) { return !b.Empty() && b.BitCount() == 24; }

// Quarter turn clockwise: source (x, y) lands at (height - 1 - y, x), so a
// 3 x 2 picture becomes 2 x 3 and its top row becomes the right column.
void RotateQuarter(TPixelBuffer& image);

// Bilinear scaling without wrap-around.
//   proportional: scale = new / old; the last target columns may reach one past
//                 the last source column, which then stands in for it.
//   end-to-end:   scale = new / (old - 1); every neighbour lies inside the
//                 source (2 x 2 -> 4 x 4: target column 3 samples column 0.75).
// A size of 0 or less is taken as 1; the same size returns at once; a source
// one pixel wide or high is replicated along that axis.
void ResizeSmooth(TPixelBuffer& image, int newWidth, int newHeight, bool proportional);

// Nearest-neighbour stretch of the whole picture (never blends colours): the
// picture is stretched into a scratch buffer of the new size and copied back.
// A size of 0 or less is taken as 1.
void ResizeFast(TPixelBuffer& image, int newWidth, int newHeight);

// Bilinear rotation about (centreX, centreY) with wrap-around: destination
// pixel (x, y) samples the source at the position turned back by the angle,
// shifted by half the size difference of the two buffers. The destination
// keeps its size; an empty destination takes the source's.
void RotateBilinear(TPixelBuffer& destination, const TPixelBuffer& source, int centreX, int centreY, float angleDegrees);

// The "Rotate Angle" effect: nearest-neighbour rotation about the centre
// (width div 2, height div 2) with wrap-around, same size.
void RotateAngle(TPixelBuffer& image, double angleDegrees);

}  // namespace vell
