#pragma once
// LZW coding of GIF image data.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/GifError.h"

// Appends one frame's image data to `out`: the minimum code size byte, the codes in data
// sub-blocks of at most 255 bytes, and the zero-length terminator block.
//
// `pixels` holds width x height colour indices, rows top to bottom. An interlaced frame is
// coded in the four interlace passes (rows 0,8,16..; 4,12..; 2,6..; 1,3..). The code stream
// starts with a clear code and is cleared again whenever the next free code passes 4094.
// minCodeSize is raised to 2. Throws EGifError("Color not in color table") for an index
// not below colorLimit. A frame with no pixels codes only the end code.
//
// A 1 x 1 frame of index 1 with minCodeSize 2 gives 02 02 4C 01 00:
// codes 4 (clear), 1, 5 (end) at 3 bits each, packed from the low bit up.
void GifLzwEncode(const uint8_t* pixels, int width, int height, bool interlaced,
                  int minCodeSize, int colorLimit, std::vector<uint8_t>& out);

// Decodes a code stream (sub-blocks already joined) into exactly `count` indices.
// Throws EGifError with "Decoder bit buffer under-run" when the data runs out,
// "Circular decoder table entry" for a code that names no table entry, "Premature end of
// data" for an end code before `count` indices, "Invalid LZW code size" unless
// 1 <= minCodeSize <= 8. Codes after the last needed index are ignored.
void GifLzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                  size_t count);

// Row order of an interlaced frame: result[i] is the image row of the i-th coded row.
std::vector<int> GifInterlacedRows(int height);
