#include "imaging/PixelBuffer.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace vell {

namespace {

std::function<int()> gScreenBits;
std::function<int()> gScreenFormat16;

}  // namespace

void SetScreenProbes(std::function<int()> bitsPerPixel, std::function<int()> format16) {
  gScreenBits = std::move(bitsPerPixel);
  gScreenFormat16 = std::move(format16);
}

int ScreenBitsPerPixel() { return gScreenBits ? gScreenBits() : 24; }

int DetectScreen16BitFormat() { return gScreenFormat16 ? gScreenFormat16() : 565; }

void TPixelBuffer::Describe(int width, int height, int formatCode, int bitCount) {
  if (bitCount == 0) bitCount = ScreenBitsPerPixel();
  if (formatCode == 0) {
    if (bitCount == 16) formatCode = DetectScreen16BitFormat();
    if (bitCount == 32) formatCode = 888;
  }
  height = std::abs(height);
  width_ = width;
  height_ = height;
  bitCount_ = bitCount;
  formatCode_ = formatCode;
  bytesPerLine_ = ((bitCount * width + 31) >> 5) * 4;
  if (bitCount <= 0) {
    gap_ = 0;
  } else if (bitCount < 8) {
    gap_ = bytesPerLine_ - width / (8 / bitCount);
  } else if (bitCount == 8) {
    gap_ = bytesPerLine_ - width;
  } else {
    gap_ = bytesPerLine_ - (bitCount / 8) * width;
  }

  info_ = TBitmapInfo{};
  TBitmapInfoHeader& h = info_.bmiHeader;
  h.biWidth = width;
  h.biHeight = -height;
  h.biBitCount = static_cast<uint16_t>(bitCount);
  h.biSizeImage = static_cast<uint32_t>(bytesPerLine_) * static_cast<uint32_t>(height);
  blueShift_ = greenShift_ = redShift_ = 0;
  greenPosition_ = redPosition_ = 0;
  if (bitCount == 16 || bitCount == 32) {
    const int r = formatCode / 100, g = (formatCode / 10) % 10, b = formatCode % 10;
    const uint32_t all = bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    const uint32_t blueMask = all >> (bitCount - b);
    const uint32_t greenMask = (all >> (bitCount - b - g)) & ~blueMask;
    const uint32_t redMask = (all >> (bitCount - b - g - r)) & ~(blueMask | greenMask);
    const uint32_t masks[3] = {redMask, greenMask, blueMask};
    for (size_t i = 0; i < 3; ++i) {
      TRGBQuad& q = info_.bmiColors[i];
      q.rgbBlue = static_cast<uint8_t>(masks[i]);
      q.rgbGreen = static_cast<uint8_t>(masks[i] >> 8);
      q.rgbRed = static_cast<uint8_t>(masks[i] >> 16);
      q.rgbReserved = static_cast<uint8_t>(masks[i] >> 24);
    }
    blueShift_ = static_cast<uint8_t>(8 - b);
    greenShift_ = static_cast<uint8_t>(8 - g);
    redShift_ = static_cast<uint8_t>(8 - r);
    greenPosition_ = static_cast<uint8_t>(b);
    redPosition_ = static_cast<uint8_t>(b + g);
    h.biCompression = 3;
  }
}

void TPixelBuffer::Allocate(int width, int height, int formatCode, int bitCount) {
  if (width == width_ && height == height_ && formatCode == formatCode_ && bitCount == bitCount_ &&
      !(width == 0 && height == 0))
    return;
  Describe(width, height, formatCode, bitCount);
  bits_.clear();
  bits_.shrink_to_fit();
  if (width_ > 0 && height_ > 0 && bitCount_ > 0)
    bits_.assign(static_cast<size_t>(bytesPerLine_) * static_cast<size_t>(height_), 0);
  RebuildRows();
}

void TPixelBuffer::RebuildRows() {
  rows_.assign(bits_.empty() ? 0 : static_cast<size_t>(height_), nullptr);
  for (size_t i = 0; i < rows_.size(); ++i) rows_[i] = bits_.data() + i * static_cast<size_t>(bytesPerLine_);
}

void TPixelBuffer::WritePixel(int row, int column, uint32_t colour) {
  const uint8_t red = static_cast<uint8_t>(colour >> 16), green = static_cast<uint8_t>(colour >> 8),
                blue = static_cast<uint8_t>(colour);
  switch (bitCount_) {
    case 24:
    case 32: {
      uint8_t* p = Row(row) + column * (bitCount_ / 8);
      p[0] = blue;
      p[1] = green;
      p[2] = red;
      break;
    }
    case 16:
      Row16(row)[column] = static_cast<uint16_t>(((red >> redShift_) << redPosition_) |
                                                 ((green >> greenShift_) << greenPosition_) | (blue >> blueShift_));
      break;
    default:
      break;
  }
}

void TPixelBuffer::ReadPixel(int row, int column, uint8_t& blue, uint8_t& green, uint8_t& red) const {
  switch (bitCount_) {
    case 24:
    case 32: {
      const uint8_t* p = Row(row) + column * (bitCount_ / 8);
      blue = p[0];
      green = p[1];
      red = p[2];
      break;
    }
    case 16: {
      const uint16_t v = reinterpret_cast<const uint16_t*>(Row(row))[column];
      const int blueBits = 8 - blueShift_, greenBits = 8 - greenShift_, redBits = 8 - redShift_;
      blue = static_cast<uint8_t>((v & ((1u << blueBits) - 1)) << blueShift_);
      green = static_cast<uint8_t>(((v >> greenPosition_) & ((1u << greenBits) - 1)) << greenShift_);
      red = static_cast<uint8_t>(((v >> redPosition_) & ((1u << redBits) - 1)) << redShift_);
      break;
    }
    default:
      blue = green = red = 0;
      break;
  }
}

void CopyPixelsTo(const TPixelBuffer& source, TPixelBuffer& destination) {
  if (&source == &destination) return;
  destination.Allocate(source.Width(), source.Height(), 0, 24);
  if (!source.Empty() && source.BitCount() == 24)
    std::memcpy(destination.Bits(), source.Bits(),
                static_cast<size_t>(source.BytesPerLine()) * static_cast<size_t>(source.Height()));
}

int WrapIndex(int k, int size) {
  if (k < 0) return size - 1 - ((-k) % size);
  if (k >= size) return k % size;
  return k;
}

namespace {
uint32_t gRandomState = 0;
}

uint32_t NextRandom(uint32_t n) {
  gRandomState = gRandomState * 0x08088405u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(gRandomState) * n) >> 32);
}

float NextRandomFloat() { return static_cast<float>(NextRandom(2147483647u)) / 2147483647.0f; }

uint32_t RandomState() { return gRandomState; }
void SetRandomState(uint32_t state) { gRandomState = state; }

}  // namespace vell
