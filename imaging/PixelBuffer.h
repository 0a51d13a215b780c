// TPixelBuffer: the one in-memory raster every effect works on.
//
// Top-down rows (row 0 at the lowest address), each padded to a multiple of 4
// bytes. 24-bit pixels are stored B,G,R; 32-bit pixels B,G,R,x; 16-bit pixels
// are packed by the 555/565 masks. 1/4/8-bit buffers index the colour table.
// Colours handed to WritePixel are 0x00RRGGBB (blue in the low byte).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vell {

struct TRGBQuad {
  uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

struct TRGB24 {
  uint8_t b, g, r;
};
static_assert(sizeof(TRGB24) == 3, "pixel records must pack to 3 bytes");

struct TBitmapInfoHeader {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // minus the height: top-down
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;  // 0 BI_RGB, 3 BI_BITFIELDS
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

struct TBitmapInfo {
  TBitmapInfoHeader bmiHeader;
  // For 16/32 bits the first three slots hold the red, green and blue masks.
  std::array<TRGBQuad, 256> bmiColors{};
};

// Zeroed pixel memory. Large blocks come straight from the kernel, which
// hands them out zeroed (in huge pages where the system offers them), so a
// new picture is touched once, by whoever fills it, and not first by a
// zero-fill of our own; small blocks come from calloc.
class TPixelMemory {
 public:
  TPixelMemory() = default;
  ~TPixelMemory() { Clear(); }
  TPixelMemory(const TPixelMemory&) = delete;
  TPixelMemory& operator=(const TPixelMemory&) = delete;
  TPixelMemory(TPixelMemory&& other) noexcept;
  TPixelMemory& operator=(TPixelMemory&& other) noexcept;

  // Frees what is held, then takes `size` zero bytes; false (and empty) when
  // the memory cannot be had.
  bool Reset(size_t size);
  void Clear();
  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // length of the kernel mapping, 0 for calloc memory
};

class TPixelBuffer {
 public:
  TPixelBuffer() = default;
  TPixelBuffer(const TPixelBuffer&) = delete;
  TPixelBuffer& operator=(const TPixelBuffer&) = delete;
  // A moved-from buffer is left empty (0 x 0, no rows), never half-shaped.
  TPixelBuffer(TPixelBuffer&& other) noexcept;
  TPixelBuffer& operator=(TPixelBuffer&& other) noexcept;

  // Shape. Allocate keeps the pixels when all four values are unchanged
  // (compared after the defaults below are applied); Allocate(0, 0, 0, 0)
  // releases them. A bit count of 0 means the screen's; a format code of 0
  // means the screen's 16-bit layout for 16 bits and 888 for 32 bits.
  // When the memory cannot be had the buffer is left empty (0 x 0).
  void Allocate(int width, int height, int formatCode, int bitCount);
  void Describe(int width, int height, int formatCode, int bitCount);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const { return bitCount_; }
  int BytesPerLine() const { return bytesPerLine_; }
  int Gap() const { return gap_; }
  int FormatCode() const { return formatCode_; }
  bool Empty() const { return bits_.Empty(); }

  uint8_t* Bits() { return bits_.Data(); }
  const uint8_t* Bits() const { return bits_.Data(); }
  const TBitmapInfo& Info() const { return info_; }
  TRGBQuad* ColorTable() { return info_.bmiColors.data(); }
  const TRGBQuad* ColorTable() const { return info_.bmiColors.data(); }

  // The row table and its typed views.
  uint8_t* Row(int i) { return rows_[static_cast<size_t>(i)]; }
  const uint8_t* Row(int i) const { return rows_[static_cast<size_t>(i)]; }
  TRGB24* Row24(int i) { return reinterpret_cast<TRGB24*>(Row(i)); }
  const TRGB24* Row24(int i) const { return reinterpret_cast<const TRGB24*>(Row(i)); }
  uint16_t* Row16(int i) { return reinterpret_cast<uint16_t*>(Row(i)); }
  const uint16_t* Row16(int i) const { return reinterpret_cast<const uint16_t*>(Row(i)); }
  uint32_t* Row32(int i) { return reinterpret_cast<uint32_t*>(Row(i)); }
  const uint32_t* Row32(int i) const { return reinterpret_cast<const uint32_t*>(Row(i)); }

  uint8_t BlueShift() const { return blueShift_; }
  uint8_t GreenShift() const { return greenShift_; }
  uint8_t RedShift() const { return redShift_; }
  uint8_t GreenPosition() const { return greenPosition_; }
  uint8_t RedPosition() const { return redPosition_; }

  // Single pixels; colour is 0x00RRGGBB. 16, 24 and 32 bits only (others: no effect).
  void WritePixel(int row, int column, uint32_t colour);
  void ReadPixel(int row, int column, uint8_t& blue, uint8_t& green, uint8_t& red) const;

  // Block transfers onto another buffer (the drawing target). Every transfer is
  // clipped to both buffers: pixels that would land outside the target, or come
  // from outside this buffer, are skipped. Same layout copies bytes; otherwise
  // each pixel is converted through its colour (1/4/8-bit targets take the
  // nearest palette entry). A buffer may be painted onto itself.
  void PaintTo(TPixelBuffer& target, int x, int y) const;
  // Nearest-neighbour stretch of the whole buffer to w x h (COLORONCOLOR):
  // target pixel (x + i, y + j) takes source column floor(i * Width() / w) and
  // row floor(j * Height() / h). Never blends. Nothing happens for w or h <= 0.
  void PaintStretched(TPixelBuffer& target, int x, int y, int w, int h) const;
  // The w x h rectangle of this buffer at (sourceX, sourceY), painted at (x, y).
  void PaintRegion(TPixelBuffer& target, int x, int y, int w, int h, int sourceX, int sourceY) const;
  // Fills w x h at (x, y) with the buffer repeated from its top-left corner,
  // built by doubling the painted part to the right and then downwards.
  void PaintTiled(TPixelBuffer& target, int x, int y, int w, int h) const;

  // Whole-buffer operations. None of them touches the row padding.
  void FlipRows();       // upside down
  void MirrorColumns();  // left to right; 8, 16, 24 and 32 bits
  // Rotates the picture with wrap-around: content moves up by dy rows, then
  // left by dx pixels. Rows [0,1,2,3] with dy = -1 become [3,0,1,2].
  void ScrollWrap(int dx, int dy);
  // 1/4/8 bits: the palette; 16 bits: every pixel through a 65536-entry table;
  // 24 and 32 bits: the B, G, R bytes of every pixel (the fourth byte is kept).
  void ApplyChannelTables(const uint8_t* redTable, const uint8_t* greenTable, const uint8_t* blueTable);
  // Signed amounts -255 ... 255 per channel; see imaging/Colour.h for the tables.
  void ShiftChannels(int red, int green, int blue);
  void AdjustContrast(int red, int green, int blue);
  void AdjustLightness(int red, int green, int blue);
  // 256 keeps every pixel; below pulls channels toward their mean, above pushes away.
  void AdjustSaturation(int amount);
  // amount is taken modulo 256, h = amount / 2; each channel (blue, green, red)
  // gets clamp(c + NextRandom(amount) - h), or one draw per pixel when mono.
  // 8 bits: the bytes (palette indices) get the noise.
  void AddNoise(int amount, bool mono);
  // Nearest-neighbour rotation in 16.16 fixed point with wrap-around.
  void RotateInto(TPixelBuffer& destination, int centreX, int centreY, double angleDegrees) const;

 private:
  void RebuildRows();

  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 0;
  int bytesPerLine_ = 0;
  int gap_ = 0;
  int formatCode_ = 0;
  TBitmapInfo info_{};
  TPixelMemory bits_;
  std::vector<uint8_t*> rows_;
  uint8_t blueShift_ = 0, greenShift_ = 0, redShift_ = 0;
  uint8_t greenPosition_ = 0, redPosition_ = 0;
};

// Allocates the destination to the source's size at 24 bits and copies the pixel memory.
void CopyPixelsTo(const TPixelBuffer& source, TPixelBuffer& destination);

// The engine's wrap-around rule: -1 -> size-2, -size -> size-1, size -> 0.
// A size of 0 or less gives 0.
int WrapIndex(int k, int size);

// Bilinear sample with wrap-around: the four pixels around (fx, fy) weighted
// in single precision and rounded to bytes. Coordinates just below 0 take the
// last column/row as their left/upper neighbour, so sampling is continuous
// across the seam. An empty source gives black.
TRGB24 SampleBilinear(const TPixelBuffer& source, float fx, float fy);

// Process-wide linear congruential generator (state starts at 0).
uint32_t NextRandom(uint32_t n);
float NextRandomFloat();  // NextRandom(2147483647) / 2147483647, always below 1
void ReseedRandom();       // low 32 bits of the steady clock
// Where ReseedRandom takes its seed from; an empty function restores the
// clock. Tests fix it to replay the generators that reseed.
void SetReseedSource(std::function<uint32_t()> source);
uint32_t RandomState();
void SetRandomState(uint32_t state);

// Screen facts come from the front end; without one: 24 bits, 565.
void SetScreenProbes(std::function<int()> bitsPerPixel, std::function<int()> format16);
int ScreenBitsPerPixel();
int DetectScreen16BitFormat();

}  // namespace vell
