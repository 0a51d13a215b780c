// JPEG through the system libjpeg.
//
// Writing takes a 24-bit buffer at a quality of 0 ... 100. Reading accepts
// baseline and progressive files in greyscale, YCbCr/RGB and CMYK/YCCK
// (Adobe's inverted CMYK included) and always yields a 24-bit buffer. Input
// is hostile: the picture size is capped before anything is allocated, the
// number of scans of a progressive file is capped, and a file that libjpeg
// reports as truncated or corrupt is refused instead of shown half grey.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/ImageResult.h"
#include "gif/GifPicture.h"
#include "imaging/PixelBuffer.h"

namespace vell {

// Scans beyond this in one file are refused (a real progressive file has
// about ten; crafted ones use thousands to make decoding crawl).
inline constexpr int kJpegMaxScans = 500;

// A 24-bit buffer as baseline JPEG with libjpeg's default settings (4:2:0).
TImageResult EncodeJpeg(const TPixelBuffer& picture, int quality, std::vector<uint8_t>& out);
// The same with the chroma at full resolution (4:4:4) when `fullChroma`.
TImageResult EncodeJpegSampled(const TPixelBuffer& picture, int quality, bool fullChroma, std::vector<uint8_t>& out);

// On failure `picture` is left unchanged.
TImageResult DecodeJpeg(const uint8_t* data, size_t size, TPixelBuffer& picture,
                        uint64_t maxPixels = kImageMaxPixels);

// Decodes with libjpeg's colour quantiser (two passes, Floyd-Steinberg) into
// an 8-bit paletted bitmap of at most `colours` palette entries.
TImageResult DecodeJpegQuantized(const uint8_t* data, size_t size, int colours, TGifPalettedBitmap& bitmap,
                                 uint64_t maxPixels = kImageMaxPixels);

// The GIF save's colour reduction: JPEG at quality 100 (4:4:4), decoded
// again to 236 colours.
inline constexpr int kGifQuantizeColours = 236;
TImageResult ReduceToPalette(const TPixelBuffer& picture, TGifPalettedBitmap& bitmap);

}  // namespace vell
