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

class TPixelBuffer {
 public:
  TPixelBuffer() = default;
  TPixelBuffer(const TPixelBuffer&) = delete;
  TPixelBuffer& operator=(const TPixelBuffer&) = delete;
  TPixelBuffer(TPixelBuffer&&) noexcept = default;
  TPixelBuffer& operator=(TPixelBuffer&&) noexcept = default;

  // Shape. Allocate keeps the pixels when all four values are unchanged;
  // Allocate(0, 0, 0, 0) releases them. A bit count of 0 means the screen's.
  void Allocate(int width, int height, int formatCode, int bitCount);
  void Describe(int width, int height, int formatCode, int bitCount);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const { return bitCount_; }
  int BytesPerLine() const { return bytesPerLine_; }
  int Gap() const { return gap_; }
  int FormatCode() const { return formatCode_; }
  bool Empty() const { return bits_.empty(); }

  uint8_t* Bits() { return bits_.data(); }
  const uint8_t* Bits() const { return bits_.data(); }
  const TBitmapInfo& Info() const { return info_; }
  TRGBQuad* ColorTable() { return info_.bmiColors.data(); }
  const TRGBQuad* ColorTable() const { return info_.bmiColors.data(); }

  // The row table and its typed views.
  uint8_t* Row(int i) { return rows_[static_cast<size_t>(i)]; }
  const uint8_t* Row(int i) const { return rows_[static_cast<size_t>(i)]; }
  TRGB24* Row24(int i) { return reinterpret_cast<TRGB24*>(Row(i)); }
  const TRGB24* Row24(int i) const { return reinterpret_cast<const TRGB24*>(Row(i)); }
  uint16_t* Row16(int i) { return reinterpret_cast<uint16_t*>(Row(i)); }
  uint32_t* Row32(int i) { return reinterpret_cast<uint32_t*>(Row(i)); }

  uint8_t BlueShift() const { return blueShift_; }
  uint8_t GreenShift() const { return greenShift_; }
  uint8_t RedShift() const { return redShift_; }
  uint8_t GreenPosition() const { return greenPosition_; }
  uint8_t RedPosition() const { return redPosition_; }

  // Single pixels; colour is 0x00RRGGBB.
  void WritePixel(int row, int column, uint32_t colour);
  void ReadPixel(int row, int column, uint8_t& blue, uint8_t& green, uint8_t& red) const;

  // Block transfers onto another buffer (the drawing target), clipped to it.
  void PaintTo(TPixelBuffer& target, int x, int y) const;
  // Nearest-neighbour stretch of the whole buffer to w x h (COLORONCOLOR).
  void PaintStretched(TPixelBuffer& target, int x, int y, int w, int h) const;
  void PaintRegion(TPixelBuffer& target, int x, int y, int w, int h, int sourceX, int sourceY) const;
  // Fills w x h at (x, y) with the buffer repeated, built by doubling.
  void PaintTiled(TPixelBuffer& target, int x, int y, int w, int h) const;

  // Whole-buffer operations.
  void FlipRows();
  void MirrorColumns();
  void ScrollWrap(int dx, int dy);
  void ApplyChannelTables(const uint8_t* redTable, const uint8_t* greenTable, const uint8_t* blueTable);
  void ShiftChannels(int red, int green, int blue);
  void AdjustContrast(int red, int green, int blue);
  void AdjustLightness(int red, int green, int blue);
  void AdjustSaturation(int amount);
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
  std::vector<uint8_t> bits_;
  std::vector<uint8_t*> rows_;
  uint8_t blueShift_ = 0, greenShift_ = 0, redShift_ = 0;
  uint8_t greenPosition_ = 0, redPosition_ = 0;
};

// Allocates the destination to the source's size at 24 bits and copies the pixel memory.
void CopyPixelsTo(const TPixelBuffer& source, TPixelBuffer& destination);

// The engine's wrap-around rule: -1 -> size-2, -size -> size-1, size -> 0.
int WrapIndex(int k, int size);

// Bilinear sample with wrap-around (24-bit source).
TRGB24 SampleBilinear(const TPixelBuffer& source, float fx, float fy);

// Process-wide linear congruential generator (state starts at 0).
uint32_t NextRandom(uint32_t n);
float NextRandomFloat();  // NextRandom(2147483647) / 2147483647
void ReseedRandom();
uint32_t RandomState();
void SetRandomState(uint32_t state);

// Screen facts come from the front end; without one: 24 bits, 565.
void SetScreenProbes(std::function<int()> bitsPerPixel, std::function<int()> format16);
int ScreenBitsPerPixel();
int DetectScreen16BitFormat();

}  // namespace vell
