// Map Texture's pictures without the dialog.
#pragma once

#include "imaging/PixelBuffer.h"

namespace vell {

// The texture the dialog starts with: a soft grey weave, 32 x 32, that tiles.
void BuiltInTexture(TPixelBuffer& texture);

// Grey in place: every channel := (77 R + 151 G + 28 B) div 256; the
// dialog keeps every picture it is given that way.
void TextureToGrey(TPixelBuffer& picture);

}  // namespace vell
