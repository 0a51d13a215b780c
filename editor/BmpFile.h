// The editor's BMP reader and writer.
//
// Reads 1, 4, 8, 16 (555, bitfields), 24 and 32-bit files, bottom-up and
// top-down, RLE4 and RLE8, with the 12-byte core header or the 40 to 124-byte
// info headers, into a 24-bit TPixelBuffer. Input is treated as hostile:
// every read is bounds-checked, the picture's pixel count is capped before
// anything is allocated, and every failure returns a readable message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

// Largest picture a BMP file may describe (pixels); about 200 MB at 24 bits.
inline constexpr uint64_t kBmpMaxPixels = uint64_t{1} << 26;

struct TBmpResult {
  bool ok = false;
  std::string error;  // empty when ok
  explicit operator bool() const { return ok; }
};

// On failure `picture` is left unchanged.
TBmpResult ReadBmp(const uint8_t* data, size_t size, TPixelBuffer& picture,
                   uint64_t maxPixels = kBmpMaxPixels);
// Reads `path` (a regular file). Uncompressed 24-bit rows go from the file
// straight into the picture's rows, many rows per call; other layouts are
// read whole and decoded as ReadBmp does.
TBmpResult ReadBmpFile(const std::string& path, TPixelBuffer& picture,
                       uint64_t maxPixels = kBmpMaxPixels);
// The same from an open file of `fileSize` bytes (read with pread, the file
// position is not used); messages as ReadBmp's, without the path.
TBmpResult ReadBmpFromFile(int fd, uint64_t fileSize, TPixelBuffer& picture,
                           uint64_t maxPixels = kBmpMaxPixels);

// A bottom-up, uncompressed 24-bit BMP of a 24-bit buffer.
std::vector<uint8_t> EncodeBmp24(const TPixelBuffer& picture);
// A bottom-up 16-bit BMP (5-5-5, no masks) of a 24-bit buffer, as a
// 16-bit screen's bitmap is stored: each channel keeps its top five bits.
std::vector<uint8_t> EncodeBmp16(const TPixelBuffer& picture);
// Written through a temporary file beside `path` and a rename; a 24-bit
// picture's rows go to the file straight from its memory.
TBmpResult WriteBmpFile(const std::string& path, const TPixelBuffer& picture);

}  // namespace vell
