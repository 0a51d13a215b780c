// Making a picture tile seamlessly, and moving a tile around its wrap-around.
// Each routine changes the 24-bit image it is given in place.
#pragma once

#include <cstdint>

#include "imaging/PixelBuffer.h"

namespace vell {

// The platform's MulDiv: n * d / q with a 64-bit intermediate, rounded to the
// nearest integer with halves away from zero; -1 when q is 0.
int MulDiv(int n, int d, int q);

// Blends the right edge into the mirrored left strip and then the bottom edge
// into the flipped top strip, each width div d (height div d) wide, so the
// last column leads into the first and the last row into the first. Only the
// right and bottom strips change; afterwards the last column equals the old
// first column. d is 16, 8 or 4 ("Edge Merge 1/16" ... "1/4"). A strip of one
// pixel has no blend to make and is left alone.
void EdgeMerge(TPixelBuffer& image, int d);

// The same blend on all four edges with strips of `amount` pixels ("Seamless
// Edge"). An amount above min(width - 1, height - 1) becomes half of that.
void SeamlessEdge(TPixelBuffer& image, int amount);

// Doubles both sizes: the image top-left, mirrored left-right at the top
// right, flipped upside down at the bottom left and turned 180 degrees at the
// bottom right. The result tiles whatever the input.
void FourWayFlip(TPixelBuffer& image);

enum class TRotateSeamlessResult { Done, NotSquare };
inline constexpr const char kImageMustBeSquare[] = "Image must be square.  ReSize and try again.";

// Turns a square tile by 45 degrees so that it still tiles: the tile is shrunk
// by sin 45 (256 -> 181), repeated, rotated with bilinear wrap-around sampling
// and cropped back to the starting size. A picture that is not square is left
// alone and NotSquare returned; the caller shows kImageMustBeSquare.
TRotateSeamlessResult RotateSeamless(TPixelBuffer& image);
// The side the tile is shrunk to before the turn: round(sin 45 * size).
int RotateSeamlessShrink(int size);

// Wrap-around horizontal scroll: a > 0 moves the content right by a pixels
// (shifting [0..5] by +2 gives [4,5,0,1,2,3]), a < 0 left by |a|. Amounts are
// taken modulo the width, so scrolling by the full width changes nothing.
void ScrollHorizontal(TPixelBuffer& image, int a);

}  // namespace vell
