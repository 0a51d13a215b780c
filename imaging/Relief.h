// Displacement and relief: effects steered by a control picture (the buffer
// image, a texture, or the picture itself) or by the picture's own brightness.
// They change a 24-bit picture in place and leave any other picture alone; a
// control picture of another size is resampled to the picture's size first
// and may be of any depth. The control picture may be the picture itself.
// Row padding is never touched. All of them keep a seamless tile seamless
// when the control picture tiles too.
#pragma once

#include "imaging/PixelBuffer.h"

namespace vell {

// Displacement ("Water"): with v = max(R, G, B) / 255 of the control picture at
// (x, y), target(x, y) takes the old target pixel at
//   row round(y + ud * (1 + v)), column round(x + lr * (1 + v)),
// both wrapped around. A black control shifts the whole picture by exactly
// (lr, ud) (content moves left and up), a white one by (2 lr, 2 ud). An empty
// control picture changes nothing.
void Water(int ud, int lr, const TPixelBuffer& control, TPixelBuffer& target);

// Streaking blur ("StretchBlur"): `repetitions` times, the picture scrolled
// with wrap-around by (lr, ud) (content moves left and up) is blended with the
// picture as it was, weighted by the mask's brightness b = (R + G + B) / 765:
// out = round(shifted * (1 - b) + unshifted * b), so bright mask areas keep
// the old picture and dark ones take the shifted one. The mask is stretched to
// the picture's size by nearest neighbour; when it is the picture itself the
// weights follow the picture after every repetition. Afterwards the smear is
// centred by scrolling back half the total shift. Returns false, with nothing
// changed, when ud and lr are both 0 or the mask is empty (the caller then
// takes no undo snapshot). Negative repetitions count as 0.
bool StretchBlur(TPixelBuffer& image, int ud, int lr, const TPixelBuffer& mask, int repetitions);

// Brightness modulation by a texture ("Map Texture", k = Brightness / 10):
// every channel c becomes round(c * sin(t / 255) * k), t the same channel of the
// texture at the same place, results above 254 becoming 255. A white texture
// with k = 1 multiplies by sin 1 = 0.841; a black texture makes black. An empty
// texture changes nothing.
void MapTexture(TPixelBuffer& image, const TPixelBuffer& texture, double k);

// Relief shading of the blue channel as a height field, lit from `azimuth`
// and `elevation` (degrees), wrapped at the edges so a tile stays a tile.
// Zero azimuth, elevation or depth mean 30, 45 and 20. Without bumpMap the
// result is a gray relief (a flat picture gives trunc(sin(elevation) * 255.9),
// 180 at 45 degrees); with it each channel of the pixel one row above (wrapped)
// is scaled by the shade / 256, so the picture's own colours are lit. Pass the
// "Bump Map" check box as it stands.
void HeightMap(TPixelBuffer& image, int depth, bool bumpMap, int elevation, int azimuth);

}  // namespace vell
