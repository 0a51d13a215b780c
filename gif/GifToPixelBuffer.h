#pragma once
// The codec meets the editor's TPixelBuffer here, and only here (library vell_gif_pixelbuffer).

#include "gif/GifPicture.h"
#include "imaging/PixelBuffer.h"

// Draws the picture by TGifPicture::Draw's rules onto a 24-bit buffer; the caller fills the
// buffer first (with the transparent colour, when there is one). False for other depths.
bool DrawGifToPixelBuffer(const TGifPicture& picture, vell::TPixelBuffer& target, int left = 0,
                          int top = 0);

// A 1-, 4- or 8-bit buffer as a paletted bitmap: rows as stored, the colour table's
// biClrUsed entries (all 2^bits when it is 0). False for other depths.
bool GifBitmapFromPixelBuffer(const vell::TPixelBuffer& source, TGifPalettedBitmap& bitmap);
