// PNG through libpng's simplified interface.
//
// Reading gives a 24-bit buffer: every PNG colour type and depth is
// converted, transparency is composed over white. The size is checked
// before the pixels are allocated; damaged files (bad CRC, truncated data)
// are refused with libpng's message. Writing stores 8-bit RGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/ImageResult.h"
#include "imaging/PixelBuffer.h"

namespace vell {

TImageResult EncodePng(const TPixelBuffer& picture, std::vector<uint8_t>& out);

// On failure `picture` is left unchanged.
TImageResult DecodePng(const uint8_t* data, size_t size, TPixelBuffer& picture,
                       uint64_t maxPixels = kImageMaxPixels);

}  // namespace vell
