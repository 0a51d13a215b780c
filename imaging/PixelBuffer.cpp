#include "imaging/PixelBuffer.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <sys/mman.h>

#include "imaging/Colour.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELL_HAVE_VBMI 1
#endif

// Whole-row loops are compiled twice, for AVX2 and for the baseline, and the
// better one is picked when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VELL_VECTOR_CLONES
#endif

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
    const int r = formatCode / 100 % 10, g = (formatCode / 10) % 10, b = formatCode % 10;
    const uint32_t all = bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    // A layout wider than the pixel (888 at 16 bits) saturates instead of shifting out of range.
    auto low = [&](int bits) { return bits >= bitCount ? all : all >> (bitCount - bits); };
    const uint32_t blueMask = low(b);
    const uint32_t greenMask = low(b + g) & ~blueMask;
    const uint32_t redMask = low(b + g + r) & ~(blueMask | greenMask);
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

namespace {

// The address sanitizer only sees memory from the allocator; under it every
// block comes from calloc so that pixel loops stay checked.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

TPixelMemory::TPixelMemory(TPixelMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

TPixelMemory& TPixelMemory::operator=(TPixelMemory&& other) noexcept {
  if (this != &other) {
    Clear();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void TPixelMemory::Clear() {
  if (data_ != nullptr) {
    if (mapped_ != 0)
      ::munmap(data_, mapped_);
    else
      std::free(data_);
  }
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

bool TPixelMemory::Reset(size_t size) {
  Clear();
  if (size == 0) return true;
  if (kMapLargeBlocks && size >= kHugePage && size <= SIZE_MAX - 2 * kHugePage) {
    // Over-map by one huge page, keep the aligned part and return the rest,
    // so the block starts on a huge-page boundary.
    const size_t page = 4096;
    const size_t length = (size + page - 1) / page * page;
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw != MAP_FAILED) {
      const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
      const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
      if (aligned > start) ::munmap(raw, aligned - start);
      const uintptr_t end = start + length + kHugePage;
      if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
#ifdef MADV_HUGEPAGE
      ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
#endif
      data_ = reinterpret_cast<uint8_t*>(aligned);
      size_ = size;
      mapped_ = length;
      return true;
    }
  }
  data_ = static_cast<uint8_t*>(std::calloc(size, 1));
  if (data_ == nullptr) return false;
  size_ = size;
  return true;
}

TPixelBuffer::TPixelBuffer(TPixelBuffer&& other) noexcept { *this = std::move(other); }

TPixelBuffer& TPixelBuffer::operator=(TPixelBuffer&& other) noexcept {
  if (this == &other) return *this;
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  bitCount_ = std::exchange(other.bitCount_, 0);
  bytesPerLine_ = std::exchange(other.bytesPerLine_, 0);
  gap_ = std::exchange(other.gap_, 0);
  formatCode_ = std::exchange(other.formatCode_, 0);
  info_ = std::exchange(other.info_, TBitmapInfo{});
  bits_ = std::move(other.bits_);
  rows_ = std::move(other.rows_);
  other.bits_.Clear();
  other.rows_.clear();
  blueShift_ = std::exchange(other.blueShift_, 0);
  greenShift_ = std::exchange(other.greenShift_, 0);
  redShift_ = std::exchange(other.redShift_, 0);
  greenPosition_ = std::exchange(other.greenPosition_, 0);
  redPosition_ = std::exchange(other.redPosition_, 0);
  return *this;
}

void TPixelBuffer::Allocate(int width, int height, int formatCode, int bitCount) {
  // Compare in the stored form so that a repeated request keeps the pixels.
  const int wantBits = bitCount == 0 ? ScreenBitsPerPixel() : bitCount;
  int wantFormat = formatCode;
  if (wantFormat == 0 && wantBits == 16) wantFormat = DetectScreen16BitFormat();
  if (wantFormat == 0 && wantBits == 32) wantFormat = 888;
  const int wantHeight = height == INT_MIN ? INT_MAX : std::abs(height);
  if (width == width_ && wantHeight == height_ && wantFormat == formatCode_ && wantBits == bitCount_ &&
      !bits_.Empty())
    return;
  bits_.Clear();
  rows_.clear();
  const bool supported = wantBits == 1 || wantBits == 4 || wantBits == 8 || wantBits == 16 || wantBits == 24 ||
                         wantBits == 32;
  // Sizes whose rows or whole memory overflow cannot be had; the buffer stays empty.
  const int64_t rowBytes = ((static_cast<int64_t>(wantBits) * width + 31) >> 5) * 4;
  const bool sane = width > 0 && wantHeight > 0 && supported && rowBytes <= INT_MAX &&
                    rowBytes * wantHeight <= static_cast<int64_t>(UINT32_MAX);
  if (!sane) {
    Describe(0, 0, 0, supported ? wantBits : 0);
    return;
  }
  Describe(width, wantHeight, formatCode, wantBits);
  if (!bits_.Reset(static_cast<size_t>(bytesPerLine_) * static_cast<size_t>(height_)))
    Describe(0, 0, 0, wantBits);
  RebuildRows();
}

void TPixelBuffer::RebuildRows() {
  rows_.assign(bits_.Empty() ? 0 : static_cast<size_t>(height_), nullptr);
  for (size_t i = 0; i < rows_.size(); ++i) rows_[i] = bits_.Data() + i * static_cast<size_t>(bytesPerLine_);
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
  if (source.Empty() || destination.Empty()) return;
  if (source.BitCount() == 24) {
    std::memcpy(destination.Bits(), source.Bits(),
                static_cast<size_t>(source.BytesPerLine()) * static_cast<size_t>(source.Height()));
    return;
  }
  // Other depths are converted pixel by pixel rather than copied byte for byte
  // into a buffer of a different size.
  source.PaintTo(destination, 0, 0);
}

int WrapIndex(int k, int size) {
  if (size <= 0) return 0;
  if (k < 0) return size - 1 - static_cast<int>((-static_cast<int64_t>(k)) % size);
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

float NextRandomFloat() {
  // Draws close to 2^31 would round up to 1.0f; the range stays [0, 1).
  const float r = static_cast<float>(static_cast<double>(NextRandom(2147483647u)) / 2147483647.0);
  return r < 1.0f ? r : std::nextafter(1.0f, 0.0f);
}

namespace {
std::function<uint32_t()> gReseedSource;
}

void ReseedRandom() {
  gRandomState = gReseedSource
                     ? gReseedSource()
                     : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void SetReseedSource(std::function<uint32_t()> source) { gReseedSource = std::move(source); }

uint32_t RandomState() { return gRandomState; }
void SetRandomState(uint32_t state) { gRandomState = state; }


// ---------------------------------------------------------------------------
// Block transfers

namespace {

// Palette index of a 1/4/8-bit pixel; the leftmost pixel sits in the high bits.
int IndexAt(const TPixelBuffer& b, int row, int column) {
  const uint8_t* p = b.Row(row);
  switch (b.BitCount()) {
    case 1: return (p[column >> 3] >> (7 - (column & 7))) & 1;
    case 4: return (p[column >> 1] >> ((column & 1) ? 0 : 4)) & 0x0F;
    default: return p[column];
  }
}

void SetIndex(TPixelBuffer& b, int row, int column, int index) {
  uint8_t* p = b.Row(row);
  switch (b.BitCount()) {
    case 1: {
      const int shift = 7 - (column & 7);
      p[column >> 3] = static_cast<uint8_t>((p[column >> 3] & ~(1 << shift)) | ((index & 1) << shift));
      break;
    }
    case 4: {
      const int shift = (column & 1) ? 0 : 4;
      p[column >> 1] = static_cast<uint8_t>((p[column >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
      break;
    }
    default: p[column] = static_cast<uint8_t>(index); break;
  }
}

// A pixel's colour as 0x00RRGGBB, through the palette for 1/4/8 bits.
uint32_t ColourAt(const TPixelBuffer& b, int row, int column) {
  if (b.BitCount() <= 8) {
    const TRGBQuad& q = b.ColorTable()[IndexAt(b, row, column)];
    return static_cast<uint32_t>(q.rgbRed) << 16 | static_cast<uint32_t>(q.rgbGreen) << 8 | q.rgbBlue;
  }
  uint8_t blue, green, red;
  b.ReadPixel(row, column, blue, green, red);
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

int NearestPaletteIndex(const TPixelBuffer& b, uint32_t colour) {
  const int red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
  const int entries = 1 << b.BitCount();
  int best = 0, bestDistance = INT_MAX;
  for (int i = 0; i < entries; ++i) {
    const TRGBQuad& q = b.ColorTable()[i];
    const int dr = q.rgbRed - red, dg = q.rgbGreen - green, db = q.rgbBlue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return best;
}

void PutColour(TPixelBuffer& b, int row, int column, uint32_t colour) {
  if (b.BitCount() <= 8)
    SetIndex(b, row, column, NearestPaletteIndex(b, colour));
  else
    b.WritePixel(row, column, colour);
}

bool SameLayout(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.BitCount() != b.BitCount()) return false;
  if (a.BitCount() == 16 || a.BitCount() == 32) return a.FormatCode() == b.FormatCode();
  if (a.BitCount() <= 8)
    return std::memcmp(a.ColorTable(), b.ColorTable(), sizeof(TRGBQuad) << a.BitCount()) == 0;
  return true;
}

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, skipping
// whatever falls outside either buffer. src and dst may be the same buffer.
void CopyRect(const TPixelBuffer& src, TPixelBuffer& dst, int dx, int dy, int w, int h, int sx, int sy) {
  if (src.Empty() || dst.Empty() || w <= 0 || h <= 0) return;
  const int64_t left = std::max<int64_t>({0, -static_cast<int64_t>(sx), -static_cast<int64_t>(dx)});
  const int64_t right = std::min<int64_t>(
      {w, static_cast<int64_t>(src.Width()) - sx, static_cast<int64_t>(dst.Width()) - dx});
  const int64_t top = std::max<int64_t>({0, -static_cast<int64_t>(sy), -static_cast<int64_t>(dy)});
  const int64_t bottom = std::min<int64_t>(
      {h, static_cast<int64_t>(src.Height()) - sy, static_cast<int64_t>(dst.Height()) - dy});
  if (left >= right || top >= bottom) return;
  const int x0 = static_cast<int>(left), x1 = static_cast<int>(right);
  const int y0 = static_cast<int>(top), y1 = static_cast<int>(bottom);
  // Copying downwards within one buffer must start at the bottom.
  const bool upward = &src == &dst && dy > sy;
  const bool bytes = SameLayout(src, dst) && src.BitCount() >= 8;
  const int bpp = src.BitCount() / 8;
  for (int n = 0; n < y1 - y0; ++n) {
    const int j = upward ? y1 - 1 - n : y0 + n;
    if (bytes) {
      std::memmove(dst.Row(dy + j) + static_cast<size_t>(dx + x0) * bpp,
                   src.Row(sy + j) + static_cast<size_t>(sx + x0) * bpp, static_cast<size_t>(x1 - x0) * bpp);
      continue;
    }
    const bool indices = SameLayout(src, dst);
    const bool backwards = &src == &dst && dy == sy && dx > sx;
    for (int m = 0; m < x1 - x0; ++m) {
      const int i = backwards ? x1 - 1 - m : x0 + m;
      if (indices)
        SetIndex(dst, dy + j, dx + i, IndexAt(src, sy + j, sx + i));
      else
        PutColour(dst, dy + j, dx + i, ColourAt(src, sy + j, sx + i));
    }
  }
}

}  // namespace

void TPixelBuffer::PaintTo(TPixelBuffer& target, int x, int y) const {
  CopyRect(*this, target, x, y, width_, height_, 0, 0);
}

void TPixelBuffer::PaintRegion(TPixelBuffer& target, int x, int y, int w, int h, int sourceX, int sourceY) const {
  CopyRect(*this, target, x, y, w, h, sourceX, sourceY);
}

void TPixelBuffer::PaintStretched(TPixelBuffer& target, int x, int y, int w, int h) const {
  if (Empty() || target.Empty() || w <= 0 || h <= 0) return;
  const int64_t left = std::max<int64_t>(0, -static_cast<int64_t>(x));
  const int64_t right = std::min<int64_t>(w, static_cast<int64_t>(target.Width()) - x);
  const int64_t top = std::max<int64_t>(0, -static_cast<int64_t>(y));
  const int64_t bottom = std::min<int64_t>(h, static_cast<int64_t>(target.Height()) - y);
  if (left >= right || top >= bottom) return;
  // Painting a buffer stretched onto itself reads a copy of the original.
  if (&target == this) {
    TPixelBuffer copy;
    copy.Allocate(width_, height_, formatCode_, bitCount_);
    if (copy.Empty()) return;
    copy.info_ = info_;
    std::memcpy(copy.Bits(), Bits(), bits_.Size());
    copy.PaintStretched(target, x, y, w, h);
    return;
  }
  std::vector<int> columns(static_cast<size_t>(right - left));
  for (int64_t i = left; i < right; ++i)
    columns[static_cast<size_t>(i - left)] = static_cast<int>(i * width_ / w);
  const bool bytes = SameLayout(*this, target) && bitCount_ >= 8;
  const bool indices = SameLayout(*this, target);
  const int bpp = bitCount_ / 8;
  for (int64_t j = top; j < bottom; ++j) {
    const int sy = static_cast<int>(j * height_ / h);
    const int ty = static_cast<int>(y + j);
    const uint8_t* src = Row(sy);
    uint8_t* dst = target.Row(ty) + (x + left) * bpp;
    for (size_t n = 0; n < columns.size(); ++n) {
      const int sx = columns[n];
      const int tx = static_cast<int>(x + left + static_cast<int64_t>(n));
      if (bytes) {
        if (bpp == 3) {
          dst[0] = src[sx * 3];
          dst[1] = src[sx * 3 + 1];
          dst[2] = src[sx * 3 + 2];
        } else {
          std::memcpy(dst, src + static_cast<size_t>(sx) * bpp, static_cast<size_t>(bpp));
        }
        dst += bpp;
      } else if (indices) {
        SetIndex(target, ty, tx, IndexAt(*this, sy, sx));
      } else {
        PutColour(target, ty, tx, ColourAt(*this, sy, sx));
      }
    }
  }
}

void TPixelBuffer::PaintTiled(TPixelBuffer& target, int x, int y, int w, int h) const {
  if (Empty() || target.Empty() || w <= 0 || h <= 0) return;
  // Only the part that can land on the target is built.
  const int64_t tw64 = std::min<int64_t>(w, static_cast<int64_t>(target.Width()) - x);
  const int64_t th64 = std::min<int64_t>(h, static_cast<int64_t>(target.Height()) - y);
  if (tw64 <= 0 || th64 <= 0 || x + tw64 <= 0 || y + th64 <= 0) return;
  const int tw = static_cast<int>(tw64), th = static_cast<int>(th64);
  TPixelBuffer tile;
  tile.Allocate(tw, th, target.FormatCode(), target.BitCount());
  if (tile.Empty()) return;
  std::memcpy(tile.ColorTable(), target.ColorTable(), sizeof(TRGBQuad) * 256);
  PaintTo(tile, 0, 0);
  const int firstH = std::min(height_, th);
  for (int filled = std::min(width_, tw); filled < tw; filled *= 2)
    CopyRect(tile, tile, filled, 0, filled, firstH, 0, 0);
  for (int filled = firstH; filled < th; filled *= 2) CopyRect(tile, tile, 0, filled, tw, filled, 0, 0);
  tile.PaintTo(target, x, y);
}

// ---------------------------------------------------------------------------
// Whole-buffer operations

void TPixelBuffer::FlipRows() {
  if (Empty()) return;
  std::vector<uint8_t> temp(static_cast<size_t>(bytesPerLine_));
  for (int i = 0; i <= (height_ - 1) / 2; ++i) {
    const int j = height_ - 1 - i;
    if (i == j) break;
    std::memcpy(temp.data(), Row(i), temp.size());
    std::memcpy(Row(i), Row(j), temp.size());
    std::memcpy(Row(j), temp.data(), temp.size());
  }
}

namespace {
template <typename Pixel>
void MirrorRow(Pixel* row, int width) {
  for (int i = 0; i <= (width - 1) / 2; ++i) std::swap(row[i], row[width - 1 - i]);
}
}  // namespace

void TPixelBuffer::MirrorColumns() {
  if (Empty()) return;
  for (int r = 0; r < height_; ++r) {
    switch (bitCount_) {
      case 8: MirrorRow(Row(r), width_); break;
      case 16: MirrorRow(Row16(r), width_); break;
      case 24: MirrorRow(Row24(r), width_); break;
      case 32: MirrorRow(Row32(r), width_); break;
      default: return;
    }
  }
}

void TPixelBuffer::ScrollWrap(int dx, int dy) {
  if (Empty()) return;
  if (dy != 0) {
    const int shift = static_cast<int>(((static_cast<int64_t>(dy) % height_) + height_) % height_);
    if (shift != 0) {
      // Whole rows move, so every row keeps its own padding at its end.
      const size_t saved = static_cast<size_t>(shift) * static_cast<size_t>(bytesPerLine_);
      std::vector<uint8_t> temp(Bits(), Bits() + saved);
      std::memmove(Bits(), Bits() + saved, bits_.Size() - saved);
      std::memcpy(Bits() + (bits_.Size() - saved), temp.data(), saved);
    }
  }
  if (dx != 0) {
    const int shift = static_cast<int>(((static_cast<int64_t>(dx) % width_) + width_) % width_);
    if (shift == 0) return;
    if (bitCount_ >= 8) {
      const size_t bpp = static_cast<size_t>(bitCount_ / 8);
      const size_t pictureBytes = static_cast<size_t>(width_) * bpp, moved = static_cast<size_t>(shift) * bpp;
      std::vector<uint8_t> temp(moved);
      for (int r = 0; r < height_; ++r) {
        uint8_t* row = Row(r);
        std::memcpy(temp.data(), row, moved);
        std::memmove(row, row + moved, pictureBytes - moved);
        std::memcpy(row + pictureBytes - moved, temp.data(), moved);
      }
    } else {
      std::vector<int> indices(static_cast<size_t>(width_));
      for (int r = 0; r < height_; ++r) {
        for (int c = 0; c < width_; ++c) indices[static_cast<size_t>(c)] = IndexAt(*this, r, (c + shift) % width_);
        for (int c = 0; c < width_; ++c) SetIndex(*this, r, c, indices[static_cast<size_t>(c)]);
      }
    }
  }
}

namespace {

// 16-bit pixels: channels widened to bytes and packed back, as ReadPixel/WritePixel do.
struct TPack16 {
  int blueShift, greenShift, redShift, greenPosition, redPosition;
  explicit TPack16(const TPixelBuffer& b)
      : blueShift(b.BlueShift()),
        greenShift(b.GreenShift()),
        redShift(b.RedShift()),
        greenPosition(b.GreenPosition()),
        redPosition(b.RedPosition()) {}
  void Unpack(uint32_t v, int& blue, int& green, int& red) const {
    blue = static_cast<int>((v & ((1u << (8 - blueShift)) - 1)) << blueShift);
    green = static_cast<int>(((v >> greenPosition) & ((1u << (8 - greenShift)) - 1)) << greenShift);
    red = static_cast<int>(((v >> redPosition) & ((1u << (8 - redShift)) - 1)) << redShift);
  }
  uint16_t Pack(int blue, int green, int red) const {
    return static_cast<uint16_t>((red >> redShift) << redPosition | (green >> greenShift) << greenPosition |
                                 (blue >> blueShift));
  }
};

void ApplyTable16(TPixelBuffer& b, const std::vector<uint16_t>& table) {
  for (int r = 0; r < b.Height(); ++r) {
    uint16_t* __restrict row = b.Row16(r);
    for (int c = 0; c < b.Width(); ++c) row[c] = table[row[c]];
  }
}

// Maps the B, G, R bytes of n pixels stride bytes apart; any fourth byte is left alone.
template <int Stride>
void MapPixels(uint8_t* __restrict p, int n, const uint8_t* __restrict red, const uint8_t* __restrict green,
               const uint8_t* __restrict blue) {
  for (int i = 0; i < n; ++i, p += Stride) {
    p[0] = blue[p[0]];
    p[1] = green[p[1]];
    p[2] = red[p[2]];
  }
}

#ifdef VELL_HAVE_VBMI
// 256-byte lookups 64 bytes at a time: two 128-entry byte permutes, chosen by
// the index's top bit. Lanes take the blue, green or red table by their place
// in the B,G,R(,x) pattern; the 64-byte blocks start at byte offsets whose
// remainder by the stride says where the pattern stands.
struct TVbmiTable {
  __m512i quarter[4];
};

#define VELL_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

VELL_VBMI inline TVbmiTable LoadVbmiTable(const uint8_t* t) {
  TVbmiTable v;
  for (int k = 0; k < 4; ++k) v.quarter[k] = _mm512_loadu_si512(t + 64 * k);
  return v;
}

VELL_VBMI inline __m512i LookUp(const TVbmiTable& t, __m512i index) {
  const __m512i low = _mm512_permutex2var_epi8(t.quarter[0], index, t.quarter[1]);
  const __m512i high = _mm512_permutex2var_epi8(t.quarter[2], index, t.quarter[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

// lanes[phase][channel]: the lanes of a 64-byte block that hold that channel
// when the block starts at a byte offset whose remainder by the stride is phase.
struct TLanes {
  uint64_t lanes[4][3] = {};
  explicit TLanes(int stride) {
    for (int phase = 0; phase < stride; ++phase)
      for (int j = 0; j < 64; ++j) {
        const int channel = (phase + j) % stride;
        if (channel < 3) lanes[phase][channel] |= uint64_t{1} << j;
      }
  }
};

VELL_VBMI inline __m512i MapBlock(__m512i v, const uint64_t* l, bool one, const TVbmiTable& tb,
                                  const TVbmiTable& tg, const TVbmiTable& tr) {
  if (one) return _mm512_mask_blend_epi8(l[0] | l[1] | l[2], v, LookUp(tb, v));
  __m512i out = _mm512_mask_blend_epi8(l[0], v, LookUp(tb, v));
  out = _mm512_mask_blend_epi8(l[1], out, LookUp(tg, v));
  return _mm512_mask_blend_epi8(l[2], out, LookUp(tr, v));
}

VELL_VBMI void MapRowsVbmi(TPixelBuffer& b, int stride, const uint8_t* red, const uint8_t* green,
                           const uint8_t* blue) {
  const bool one = std::memcmp(red, green, 256) == 0 && std::memcmp(red, blue, 256) == 0;
  const TVbmiTable tb = LoadVbmiTable(blue), tg = LoadVbmiTable(green), tr = LoadVbmiTable(red);
  static const TLanes lanes3(3), lanes4(4);
  const TLanes& lanes = stride == 3 ? lanes3 : lanes4;
  const size_t bytes = static_cast<size_t>(b.Width()) * static_cast<size_t>(stride);
  for (int r = 0; r < b.Height(); ++r) {
    uint8_t* p = b.Row(r);
    size_t offset = 0;
    int phase = 0;  // offset % stride; 64 leaves remainder 1 by 3 and 0 by 4
    // Whole blocks with plain loads and stores; only the row's tail is masked,
    // so the padding after it is never written.
    for (; offset + 64 <= bytes; offset += 64) {
      const __m512i v = _mm512_loadu_si512(p + offset);
      _mm512_storeu_si512(p + offset, MapBlock(v, lanes.lanes[phase], one, tb, tg, tr));
      phase = stride == 3 ? (phase == 2 ? 0 : phase + 1) : 0;
    }
    if (offset < bytes) {
      const __mmask64 live = (__mmask64{1} << (bytes - offset)) - 1;
      const __m512i v = _mm512_maskz_loadu_epi8(live, p + offset);
      _mm512_mask_storeu_epi8(p + offset, live, MapBlock(v, lanes.lanes[phase], one, tb, tg, tr));
    }
  }
}

bool HaveVbmi() { return WideVectorsAvailable(); }
#endif

// The picture bytes of every row through the tables, padding untouched.
template <int Stride>
void MapRows(TPixelBuffer& b, const uint8_t* red, const uint8_t* green, const uint8_t* blue) {
#ifdef VELL_HAVE_VBMI
  if (HaveVbmi()) {
    MapRowsVbmi(b, Stride, red, green, blue);
    return;
  }
#endif
  for (int r = 0; r < b.Height(); ++r) MapPixels<Stride>(b.Row(r), b.Width(), red, green, blue);
}

}  // namespace

void TPixelBuffer::ApplyChannelTables(const uint8_t* redTable, const uint8_t* greenTable, const uint8_t* blueTable) {
  switch (bitCount_) {
    case 1:
    case 4:
    case 8:
      for (int i = 0; i < (1 << bitCount_); ++i) {
        TRGBQuad& q = info_.bmiColors[static_cast<size_t>(i)];
        q.rgbBlue = blueTable[q.rgbBlue];
        q.rgbGreen = greenTable[q.rgbGreen];
        q.rgbRed = redTable[q.rgbRed];
      }
      break;
    case 16: {
      if (Empty()) return;
      const TPack16 pack(*this);
      std::vector<uint16_t> table(65536);
      for (uint32_t v = 0; v < 65536; ++v) {
        int blue, green, red;
        pack.Unpack(v, blue, green, red);
        table[v] = pack.Pack(blueTable[blue], greenTable[green], redTable[red]);
      }
      ApplyTable16(*this, table);
      break;
    }
    case 24:
      if (!Empty()) MapRows<3>(*this, redTable, greenTable, blueTable);
      break;
    case 32:
      if (!Empty()) MapRows<4>(*this, redTable, greenTable, blueTable);
      break;
    default:
      break;
  }
}

void TPixelBuffer::ShiftChannels(int red, int green, int blue) {
  const TChannelTable r = ShiftTable(red), g = ShiftTable(green), b = ShiftTable(blue);
  ApplyChannelTables(r.data(), g.data(), b.data());
}

void TPixelBuffer::AdjustContrast(int red, int green, int blue) {
  const TChannelTable r = ContrastTable(red), g = ContrastTable(green), b = ContrastTable(blue);
  ApplyChannelTables(r.data(), g.data(), b.data());
}

void TPixelBuffer::AdjustLightness(int red, int green, int blue) {
  const TChannelTable r = LightnessTable(red), g = LightnessTable(green), b = LightnessTable(blue);
  ApplyChannelTables(r.data(), g.data(), b.data());
}

namespace {

uint8_t Clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

// The arithmetic lives with the colour family.
void TPixelBuffer::AdjustSaturation(int amount) { vell::AdjustSaturation(*this, amount); }

namespace {

constexpr uint32_t kRandomMultiplier = 0x08088405u;
constexpr uint32_t kRandomInverse = 0xD94FA8CDu;  // kRandomMultiplier * kRandomInverse = 1 (mod 2^32)
constexpr int kStreams = 32;

// kStreams steps of the generator at once: state(k + 32) = state(k) * JumpMultiplier() + JumpIncrement().
constexpr uint32_t JumpMultiplier() {
  uint32_t m = 1;
  for (int i = 0; i < kStreams; ++i) m *= kRandomMultiplier;
  return m;
}
constexpr uint32_t JumpIncrement() {
  uint32_t c = 0;
  for (int i = 0; i < kStreams; ++i) c = c * kRandomMultiplier + 1;
  return c;
}

VELL_VECTOR_CLONES void DrawBlocks(int16_t* __restrict out, size_t blocks, uint32_t* __restrict states,
                                   uint32_t range, int half) {
  constexpr uint32_t jumpMultiplier = JumpMultiplier(), jumpIncrement = JumpIncrement();
  for (size_t b = 0; b < blocks; ++b)
    for (int j = 0; j < kStreams; ++j) {
      out[b * kStreams + j] = static_cast<int16_t>((static_cast<uint64_t>(states[j]) * range) >> 32) - half;
      states[j] = states[j] * jumpMultiplier + jumpIncrement;
    }
}

#ifdef VELL_HAVE_VBMI
// Thirty-two streams in two registers: the high halves of the 64-bit products
// state * range, even lanes and odd lanes separately. (Zero-masked forms of the
// intrinsics: GCC 12 warns about the undefined sources of the plain ones.)
__attribute__((target("avx512f,avx512bw"))) inline __m256i WideDraws(__m512i state, __m512i range, __m512i half) {
  const __m512i even = _mm512_maskz_srli_epi64(0xFF, _mm512_maskz_mul_epu32(0xFF, state, range), 32);
  const __m512i odd = _mm512_maskz_mul_epu32(0xFF, _mm512_maskz_srli_epi64(0xFF, state, 32), range);
  return _mm512_maskz_cvtepi32_epi16(0xFFFF, _mm512_sub_epi32(_mm512_mask_blend_epi32(0xAAAA, even, odd), half));
}

__attribute__((target("avx512f,avx512bw"))) void DrawBlocksWide(int16_t* out, size_t blocks, uint32_t* states,
                                                                 uint32_t range, int half) {
  __m512i first = _mm512_loadu_si512(states), second = _mm512_loadu_si512(states + 16);
  const __m512i rangeVector = _mm512_set1_epi64(range), halfVector = _mm512_set1_epi32(half);
  const __m512i jumpMultiplier = _mm512_set1_epi32(static_cast<int>(JumpMultiplier()));
  const __m512i jumpIncrement = _mm512_set1_epi32(static_cast<int>(JumpIncrement()));
  for (size_t b = 0; b < blocks; ++b) {
    int16_t* o = out + b * kStreams;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), WideDraws(first, rangeVector, halfVector));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + 16), WideDraws(second, rangeVector, halfVector));
    first = _mm512_add_epi32(_mm512_mullo_epi32(first, jumpMultiplier), jumpIncrement);
    second = _mm512_add_epi32(_mm512_mullo_epi32(second, jumpMultiplier), jumpIncrement);
  }
  _mm512_storeu_si512(states, first);
  _mm512_storeu_si512(states + 16, second);
}
#endif

// The next n draws NextRandom(range) - half, exactly as n calls in a row would
// give them, and the generator left where those calls would leave it. Thirty-two
// interleaved streams break the chain of dependent multiplications.
void FillDraws(int16_t* out, size_t n, uint32_t range, int half) {
  const size_t blocks = n / kStreams;
  if (blocks > 0) {
    uint32_t states[kStreams];
    uint32_t state = RandomState();
    for (int j = 0; j < kStreams; ++j) states[j] = state = state * kRandomMultiplier + 1;
#ifdef VELL_HAVE_VBMI
    if (HaveVbmi())
      DrawBlocksWide(out, blocks, states, range, half);
    else
#endif
      DrawBlocks(out, blocks, states, range, half);
    // states[0] is now the state after blocks * kStreams + 1 steps; one step back.
    SetRandomState((states[0] - 1) * kRandomInverse);
  }
  for (size_t k = blocks * kStreams; k < n; ++k) out[k] = static_cast<int16_t>(static_cast<int>(NextRandom(range)) - half);
}

VELL_VECTOR_CLONES void AddDraws(uint8_t* __restrict p, const int16_t* __restrict d, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const int v = p[i] + d[i];
    p[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
}

}  // namespace

void TPixelBuffer::AddNoise(int amount, bool mono) {
  if (Empty()) return;
  const uint32_t range = static_cast<uint32_t>(amount) & 0xFF;
  const int half = static_cast<int>(range >> 1);
  const size_t width = static_cast<size_t>(width_);
  switch (bitCount_) {
    case 8:
    case 24:
    case 32: {
      // Draws for one row, in the order the pixels take them, then spread over the bytes.
      const int bpp = bitCount_ / 8;
      const size_t perRow = bitCount_ == 8 ? width : mono ? width : 3 * width;
      std::vector<int16_t> draws(perRow), spread(width * static_cast<size_t>(bpp));
      // One draw per byte already lines up with the bytes: 8 bits, and 24 bits in colour.
      const bool direct = bitCount_ == 8 || (bitCount_ == 24 && !mono);
      for (int r = 0; r < height_; ++r) {
        FillDraws(draws.data(), perRow, range, half);
        if (!direct) {
          for (size_t c = 0; c < width; ++c)
            for (int ch = 0; ch < bpp; ++ch)
              spread[c * bpp + ch] = ch == 3 ? int16_t{0} : mono ? draws[c] : draws[3 * c + ch];
        }
        const int16_t* d = direct ? draws.data() : spread.data();
        AddDraws(Row(r), d, width * static_cast<size_t>(bpp));
      }
      break;
    }
    case 16: {
      const TPack16 pack(*this);
      auto draw = [&] { return static_cast<int>(NextRandom(range)) - half; };
      for (int r = 0; r < height_; ++r) {
        uint16_t* p = Row16(r);
        for (int c = 0; c < width_; ++c) {
          int blue, green, red;
          pack.Unpack(p[c], blue, green, red);
          if (mono) {
            const int d = draw();
            blue += d, green += d, red += d;
          } else {
            blue += draw();
            green += draw();
            red += draw();
          }
          p[c] = pack.Pack(Clamp255(blue), Clamp255(green), Clamp255(red));
        }
      }
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Bilinear sampling

namespace {

// Whole part, weights and the two wrapped neighbours along one axis.
struct TAxis {
  int first, second;
  float w0, w1;
};

TAxis SampleAxis(float f, int size) {
  // Coordinates far outside any picture are brought near it first; trunc of
  // them would not fit an int.
  if (!std::isfinite(f)) f = 0.0f;
  if (std::fabs(f) > 1.0e8f) f = std::fmod(f, static_cast<float>(size));
  const int i = static_cast<int>(f);  // toward zero
  TAxis a;
  if (f >= 0.0f) {
    a.w1 = f - static_cast<float>(i);
    a.w0 = 1.0f - a.w1;
  } else {
    a.w0 = static_cast<float>(i) - f;
    a.w1 = 1.0f - a.w0;
  }
  // Between -1 and 0 the whole part is 0, which is not negative, so the wrap
  // rule alone would take column 0 as the left neighbour and column 1 as the
  // right one: sampling would jump at 0. The left neighbour there is the last one.
  a.first = (f < 0.0f && i == 0) ? size - 1 : WrapIndex(i, size);
  a.second = a.first + 1 < size ? a.first + 1 : 0;
  return a;
}

}  // namespace

TRGB24 SampleBilinear(const TPixelBuffer& source, float fx, float fy) {
  if (source.Empty() || source.Width() <= 0 || source.Height() <= 0) return TRGB24{0, 0, 0};
  const TAxis x = SampleAxis(fx, source.Width());
  const TAxis y = SampleAxis(fy, source.Height());
  uint8_t px[4][3];
  const int cols[2] = {x.first, x.second}, rows[2] = {y.first, y.second};
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      if (source.BitCount() == 24) {
        const TRGB24& p = source.Row24(rows[j])[cols[i]];
        px[j * 2 + i][0] = p.b;
        px[j * 2 + i][1] = p.g;
        px[j * 2 + i][2] = p.r;
      } else {
        const uint32_t c = ColourAt(source, rows[j], cols[i]);
        px[j * 2 + i][0] = static_cast<uint8_t>(c);
        px[j * 2 + i][1] = static_cast<uint8_t>(c >> 8);
        px[j * 2 + i][2] = static_cast<uint8_t>(c >> 16);
      }
    }
  const float w[4] = {x.w0 * y.w0, x.w1 * y.w0, x.w0 * y.w1, x.w1 * y.w1};
  uint8_t out[3];
  for (int ch = 0; ch < 3; ++ch) {
    float sum = 0.0f;
    for (int k = 0; k < 4; ++k) sum += w[k] * static_cast<float>(px[k][ch]);
    out[ch] = Clamp255(static_cast<int>(std::nearbyint(sum)));
  }
  return TRGB24{out[0], out[1], out[2]};
}

}  // namespace vell
