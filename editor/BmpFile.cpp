#include "editor/BmpFile.h"

#include "editor/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string_view>

namespace vell {

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;  // written by some tools; same layout as bitfields

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

TBmpResult Fail(std::string text) { return TBmpResult{false, std::move(text)}; }

// One channel of a bitfield pixel: where it sits and how wide it is.
struct TChannel {
  int shift = 0;
  int bits = 0;

  static TChannel FromMask(uint32_t mask) {
    TChannel c;
    if (mask == 0) return c;
    while (!(mask & 1u)) {
      mask >>= 1;
      ++c.shift;
    }
    while (mask & 1u) {
      mask >>= 1;
      ++c.bits;
    }
    return c;
  }

  // The field scaled to 8 bits by repeating its high bits (5 bits abcde -> abcdeabc).
  uint8_t Extract(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint32_t v = (pixel >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1));
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << bits) | v;
      filled += bits;
    }
    return static_cast<uint8_t>(out >> (filled - 8));
  }
};

bool ContiguousMask(uint32_t mask) {
  if (mask == 0) return true;
  while (!(mask & 1u)) mask >>= 1;
  return (mask & (mask + 1)) == 0;
}

struct THeader {
  uint32_t offBits = 0;
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;
  bool topDown = false;
  uint32_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  size_t paletteOffset = 0;
  int paletteEntrySize = 4;
};

// Bytes of one uncompressed file row, padded to a whole number of 32-bit words.
uint64_t FileRowBytes(const THeader& h) { return ((static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32) * 4; }

TBmpResult CheckRowsInFile(const THeader& h, uint64_t fileSize) {
  if (h.offBits > fileSize) return Fail("The BMP pixel data offset lies outside the file");
  const uint64_t need = FileRowBytes(h) * static_cast<uint64_t>(h.height);
  if (need > fileSize - h.offBits) return Fail("The BMP file is truncated (pixel data)");
  return TBmpResult{true, {}};
}

class TDecoder {
 public:
  TDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The header and the colour table, with the picture's size checked.
  TBmpResult Prepare(uint64_t maxPixels) {
    if (TBmpResult r = ReadHeader(); !r) return r;
    if (h_.width <= 0 || h_.height <= 0)
      return Fail("Invalid BMP image size " + std::to_string(h_.width) + " x " +
                  std::to_string(h_.topDown ? -h_.height : h_.height));
    if (static_cast<uint64_t>(h_.width) * static_cast<uint64_t>(h_.height) > maxPixels ||
        h_.width > std::numeric_limits<int>::max() / 4 || h_.height > std::numeric_limits<int>::max() / 4)
      return Fail("The BMP image is too large (" + std::to_string(h_.width) + " x " +
                  std::to_string(h_.height) + ")");
    return ReadPalette();
  }

  TBmpResult Run(TPixelBuffer& picture, uint64_t maxPixels) {
    if (TBmpResult r = Prepare(maxPixels); !r) return r;
    const bool rle = h_.compression == kBiRle8 || h_.compression == kBiRle4;
    // Uncompressed rows must all be in the file before their memory is taken.
    if (!rle)
      if (TBmpResult r = CheckRowsInFile(h_, size_); !r) return r;
    TPixelBuffer out;
    out.Allocate(static_cast<int>(h_.width), static_cast<int>(h_.height), 0, 24);
    if (out.Empty()) return Fail("Out of memory for the BMP image");
    TBmpResult r = rle ? DecodeRle(out) : DecodeRows(out);
    if (!r) return r;
    picture = std::move(out);
    return TBmpResult{true, {}};
  }

  const THeader& Header() const { return h_; }

 private:
  TBmpResult ReadHeader() {
    if (size_ < 14 + 12 || data_[0] != 'B' || data_[1] != 'M') return Fail("Not a BMP file");
    h_.offBits = Get32(data_ + 10);
    h_.headerSize = Get32(data_ + 14);
    const uint8_t* ih = data_ + 14;
    if (h_.headerSize == 12) {
      h_.width = Get16(ih + 4);
      h_.height = static_cast<int16_t>(Get16(ih + 6));
      h_.bitCount = Get16(ih + 10);
      h_.paletteEntrySize = 3;
    } else if (h_.headerSize == 40 || h_.headerSize == 52 || h_.headerSize == 56 || h_.headerSize == 64 ||
               h_.headerSize == 108 || h_.headerSize == 124) {
      if (size_ < 14 + static_cast<size_t>(h_.headerSize)) return Fail("The BMP file is truncated (header)");
      h_.width = static_cast<int32_t>(Get32(ih + 4));
      h_.height = static_cast<int32_t>(Get32(ih + 8));
      h_.bitCount = Get16(ih + 14);
      h_.compression = Get32(ih + 16);
      h_.colorsUsed = Get32(ih + 32);
      if (h_.headerSize == 64 && h_.compression >= 3) return Fail("Unsupported OS/2 BMP compression");
    } else {
      return Fail("Unsupported BMP header size " + std::to_string(h_.headerSize));
    }
    if (h_.height < 0) {
      h_.topDown = true;
      h_.height = -h_.height;
    }
    h_.paletteOffset = 14 + static_cast<size_t>(h_.headerSize);

    switch (h_.bitCount) {
      case 1: case 4: case 8: case 16: case 24: case 32: break;
      default: return Fail("Unsupported BMP bit count " + std::to_string(h_.bitCount));
    }
    if (h_.compression == kBiAlphaBitfields) h_.compression = kBiBitfields;
    switch (h_.compression) {
      case kBiRgb:
        break;
      case kBiRle8:
        if (h_.bitCount != 8) return Fail("RLE8 compression needs 8 bits per pixel");
        break;
      case kBiRle4:
        if (h_.bitCount != 4) return Fail("RLE4 compression needs 4 bits per pixel");
        break;
      case kBiBitfields:
        if (h_.bitCount != 16 && h_.bitCount != 32) return Fail("Bitfields need 16 or 32 bits per pixel");
        break;
      default:
        return Fail("Unsupported BMP compression " + std::to_string(h_.compression));
    }
    if (h_.topDown && (h_.compression == kBiRle8 || h_.compression == kBiRle4))
      return Fail("A compressed BMP cannot be top-down");

    if (h_.compression == kBiBitfields) {
      // Masks sit in the header from 52 bytes on, else right after it.
      size_t at = 14 + 40;
      if (h_.headerSize == 40) h_.paletteOffset += 12;
      if (at + 12 > size_) return Fail("The BMP file is truncated (colour masks)");
      for (int i = 0; i < 3; ++i) h_.masks[i] = Get32(data_ + at + 4 * i);
      for (uint32_t m : h_.masks)
        if (!ContiguousMask(m)) return Fail("Invalid BMP colour mask");
    } else if (h_.bitCount == 16) {
      h_.masks[0] = 0x7C00;
      h_.masks[1] = 0x03E0;
      h_.masks[2] = 0x001F;
    } else if (h_.bitCount == 32) {
      h_.masks[0] = 0x00FF0000;
      h_.masks[1] = 0x0000FF00;
      h_.masks[2] = 0x000000FF;
    }
    return TBmpResult{true, {}};
  }

  TBmpResult ReadPalette() {
    if (h_.bitCount > 8) return TBmpResult{true, {}};
    const uint32_t maxColours = 1u << h_.bitCount;
    uint32_t count = h_.colorsUsed == 0 || h_.colorsUsed > maxColours ? maxColours : h_.colorsUsed;
    // The table may not run into the pixels nor past the end of the file.
    const size_t limit = h_.offBits >= h_.paletteOffset && h_.offBits <= size_ ? h_.offBits : size_;
    const size_t room = limit > h_.paletteOffset ? (limit - h_.paletteOffset) / h_.paletteEntrySize : 0;
    if (room < count) count = static_cast<uint32_t>(room);
    if (count == 0) return Fail("The BMP colour table is missing");
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* p = data_ + h_.paletteOffset + static_cast<size_t>(i) * h_.paletteEntrySize;
      palette_[i] = TRGB24{p[0], p[1], p[2]};
    }
    paletteSize_ = count;
    return TBmpResult{true, {}};
  }

  TRGB24 Colour(uint32_t index) const { return index < paletteSize_ ? palette_[index] : TRGB24{0, 0, 0}; }

  TBmpResult DecodeRows(TPixelBuffer& out) {
    if (TBmpResult r = CheckRowsInFile(h_, size_); !r) return r;
    const uint64_t rowBytes = FileRowBytes(h_);
    const TChannel red = TChannel::FromMask(h_.masks[0]), green = TChannel::FromMask(h_.masks[1]),
                   blue = TChannel::FromMask(h_.masks[2]);
    const int w = static_cast<int>(h_.width), hgt = static_cast<int>(h_.height);
    for (int fileRow = 0; fileRow < hgt; ++fileRow) {
      const uint8_t* src = data_ + h_.offBits + rowBytes * static_cast<uint64_t>(fileRow);
      TRGB24* dst = out.Row24(h_.topDown ? fileRow : hgt - 1 - fileRow);
      switch (h_.bitCount) {
        case 1:
          for (int x = 0; x < w; ++x) dst[x] = Colour((src[x >> 3] >> (7 - (x & 7))) & 1u);
          break;
        case 4:
          for (int x = 0; x < w; ++x) dst[x] = Colour((x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4);
          break;
        case 8:
          for (int x = 0; x < w; ++x) dst[x] = Colour(src[x]);
          break;
        case 16:
          for (int x = 0; x < w; ++x) {
            const uint32_t v = Get16(src + 2 * x);
            dst[x] = TRGB24{blue.Extract(v), green.Extract(v), red.Extract(v)};
          }
          break;
        case 24:
          std::memcpy(dst, src, static_cast<size_t>(w) * 3);
          break;
        case 32:
          for (int x = 0; x < w; ++x) {
            const uint32_t v = Get32(src + 4 * static_cast<size_t>(x));
            dst[x] = TRGB24{blue.Extract(v), green.Extract(v), red.Extract(v)};
          }
          break;
      }
    }
    return TBmpResult{true, {}};
  }

  // Run-length data: pixels never written keep colour 0 of the table.
  TBmpResult DecodeRle(TPixelBuffer& out) {
    if (h_.offBits >= size_) return Fail("The BMP pixel data offset lies outside the file");
    const int w = static_cast<int>(h_.width), hgt = static_cast<int>(h_.height);
    const TRGB24 background = Colour(0);
    for (int y = 0; y < hgt; ++y) {
      TRGB24* row = out.Row24(y);
      for (int x = 0; x < w; ++x) row[x] = background;
    }
    const bool four = h_.compression == kBiRle4;
    size_t pos = h_.offBits;
    int64_t x = 0, y = 0;  // y counts file rows, from the bottom
    auto put = [&](uint32_t index) {
      if (x < w && y < hgt) out.Row24(hgt - 1 - static_cast<int>(y))[x] = Colour(index);
      ++x;
    };
    while (y < hgt) {
      if (pos + 2 > size_) return Fail("The BMP file is truncated (compressed data)");
      const uint8_t count = data_[pos], value = data_[pos + 1];
      pos += 2;
      if (count > 0) {
        // Encoded run; clipping at the right edge keeps the loop bounded by count.
        for (int i = 0; i < count && x < w; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
        continue;
      }
      switch (value) {
        case 0:  // end of line
          x = 0;
          ++y;
          break;
        case 1:  // end of bitmap
          return TBmpResult{true, {}};
        case 2:  // delta
          if (pos + 2 > size_) return Fail("The BMP file is truncated (compressed data)");
          x += data_[pos];
          y += data_[pos + 1];
          pos += 2;
          break;
        default: {  // absolute run of `value` pixels, padded to a whole word
          const size_t bytes = four ? (static_cast<size_t>(value) + 1) / 2 : value;
          const size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
          if (pos + bytes > size_) return Fail("The BMP file is truncated (compressed data)");
          for (int i = 0; i < value; ++i) {
            const uint8_t b = data_[pos + (four ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i))];
            put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
          }
          pos += padded;
          break;
        }
      }
    }
    return TBmpResult{true, {}};
  }

  const uint8_t* data_;
  size_t size_;
  THeader h_;
  std::array<TRGB24, 256> palette_{};
  uint32_t paletteSize_ = 0;
};

// The 54-byte file and info header of a bottom-up, uncompressed picture.
std::array<uint8_t, 54> InfoHeader(uint32_t width, uint32_t height, uint16_t bitCount) {
  const uint32_t rowBytes = ((width * bitCount + 31) / 32) * 4;
  const uint32_t imageSize = rowBytes * height;
  std::array<uint8_t, 54> h{};
  auto put16 = [&](size_t at, uint32_t v) {
    h[at] = static_cast<uint8_t>(v);
    h[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  h[0] = 'B';
  h[1] = 'M';
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  put16(26, 1);
  put16(28, bitCount);
  put32(30, kBiRgb);
  put32(34, imageSize);
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  return h;
}

// 0 when every byte the pieces ask for was read from `offset` on; else the
// errno, or -1 when the file ended first.
int ReadPieces(int fd, uint64_t offset, iovec* iov, int count) {
  while (count > 0) {
    const ssize_t n = ::preadv(fd, iov, count, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return -1;
    offset += static_cast<uint64_t>(n);
    size_t left = static_cast<size_t>(n);
    while (count > 0 && left >= iov->iov_len) {
      left -= iov->iov_len;
      ++iov;
      --count;
    }
    if (count > 0) {
      iov->iov_base = static_cast<uint8_t*>(iov->iov_base) + left;
      iov->iov_len -= left;
    }
  }
  return 0;
}

TBmpResult ReadFailure(int err) {
  if (err < 0) return Fail("The BMP file is truncated (pixel data)");
  return Fail(std::string("Cannot read the BMP file (") + std::strerror(err) + ")");
}

// Uncompressed 24-bit rows are laid out in the file as in memory, padding
// included, so they are read straight into the rows, many per call.
TBmpResult ReadRows24(int fd, const THeader& h, uint64_t fileSize, TPixelBuffer& picture) {
  if (TBmpResult r = CheckRowsInFile(h, fileSize); !r) return r;
  TPixelBuffer out;
  out.Allocate(static_cast<int>(h.width), static_cast<int>(h.height), 0, 24);
  if (out.Empty()) return Fail("Out of memory for the BMP image");
  const int rows = out.Height();
  const size_t rowBytes = static_cast<size_t>(out.BytesPerLine());
  if (h.topDown) {
    iovec all{out.Bits(), rowBytes * static_cast<size_t>(rows)};
    if (int err = ReadPieces(fd, h.offBits, &all, 1)) return ReadFailure(err);
  } else {
    std::vector<iovec> iov(static_cast<size_t>(std::min(rows, IOV_MAX)));
    for (int done = 0; done < rows;) {
      const int count = std::min(rows - done, IOV_MAX);
      // File row k is picture row rows - 1 - k (the file is bottom-up).
      for (int i = 0; i < count; ++i) iov[static_cast<size_t>(i)] = iovec{out.Row(rows - 1 - (done + i)), rowBytes};
      if (int err = ReadPieces(fd, h.offBits + static_cast<uint64_t>(done) * rowBytes, iov.data(), count))
        return ReadFailure(err);
      done += count;
    }
  }
  // Whatever the file kept in its row padding stays out of the picture.
  if (const int gap = out.Gap(); gap > 0)
    for (int y = 0; y < rows; ++y) std::memset(out.Row(y) + rowBytes - static_cast<size_t>(gap), 0, static_cast<size_t>(gap));
  picture = std::move(out);
  return TBmpResult{true, {}};
}

}  // namespace

TBmpResult ReadBmp(const uint8_t* data, size_t size, TPixelBuffer& picture, uint64_t maxPixels) {
  if (data == nullptr) return Fail("Not a BMP file");
  return TDecoder(data, size).Run(picture, maxPixels);
}

TBmpResult ReadBmpFromFile(int fd, uint64_t fileSize, TPixelBuffer& picture, uint64_t maxPixels) {
  // Every header field lies within the first bytes; the rows come after.
  constexpr size_t kPrefix = 64 * 1024;
  const size_t prefixSize = static_cast<size_t>(std::min<uint64_t>(fileSize, kPrefix));
  std::vector<uint8_t> prefix(prefixSize);
  iovec head{prefix.data(), prefixSize};
  if (int err = ReadPieces(fd, 0, &head, 1)) return err < 0 ? Fail("Not a BMP file") : ReadFailure(err);
  if (prefixSize == fileSize) return ReadBmp(prefix.data(), prefixSize, picture, maxPixels);

  TDecoder decoder(prefix.data(), prefixSize);
  if (TBmpResult r = decoder.Prepare(maxPixels); !r) return r;
  const THeader& h = decoder.Header();
  if (h.compression == kBiRgb && h.bitCount == 24) return ReadRows24(fd, h, fileSize, picture);

  // Other layouts are converted pixel by pixel anyway: decode the whole file.
  if (fileSize > SIZE_MAX) return Fail("The file is too large to be a BMP image");
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[static_cast<size_t>(fileSize)]);
  if (!bytes) return Fail("Out of memory for the BMP image");
  std::memcpy(bytes.get(), prefix.data(), prefixSize);
  iovec rest{bytes.get() + prefixSize, static_cast<size_t>(fileSize) - prefixSize};
  if (int err = ReadPieces(fd, prefixSize, &rest, 1)) return ReadFailure(err);
  return ReadBmp(bytes.get(), static_cast<size_t>(fileSize), picture, maxPixels);
}

TBmpResult ReadBmpFile(const std::string& path, TPixelBuffer& picture, uint64_t maxPixels) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail("Cannot open file " + path);
  struct stat st {};
  TBmpResult r;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    r = Fail("Cannot read file " + path);
  } else if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxPixels * 4 + (1u << 20)) {
    // The largest sensible file: the biggest picture at 32 bits plus headers.
    r = Fail("The file is too large to be a BMP image: " + path);
  } else {
    r = ReadBmpFromFile(fd, static_cast<uint64_t>(st.st_size), picture, maxPixels);
    if (!r) r.error += ": " + path;
  }
  ::close(fd);
  return r;
}

std::vector<uint8_t> EncodeBmp24(const TPixelBuffer& picture) {
  const uint32_t w = static_cast<uint32_t>(picture.Width()), h = static_cast<uint32_t>(picture.Height());
  const size_t rowBytes = ((w * 24 + 31) / 32) * 4;
  const std::array<uint8_t, 54> header = InfoHeader(w, h, 24);
  std::vector<uint8_t> v(54 + rowBytes * h);
  std::memcpy(v.data(), header.data(), header.size());
  for (uint32_t fileRow = 0; fileRow < h; ++fileRow) {
    const int y = static_cast<int>(h - 1 - fileRow);
    uint8_t* d = v.data() + 54 + rowBytes * fileRow;
    if (picture.BitCount() == 24) {
      // Rows are stored B,G,R already.
      std::memcpy(d, picture.Row(y), size_t(w) * 3);
      continue;
    }
    for (uint32_t x = 0; x < w; ++x, d += 3) picture.ReadPixel(y, static_cast<int>(x), d[0], d[1], d[2]);
  }
  return v;
}

std::vector<uint8_t> EncodeBmp16(const TPixelBuffer& picture) {
  const uint32_t w = static_cast<uint32_t>(picture.Width()), h = static_cast<uint32_t>(picture.Height());
  const size_t rowBytes = ((w * 16 + 31) / 32) * 4;
  const std::array<uint8_t, 54> header = InfoHeader(w, h, 16);
  std::vector<uint8_t> v(54 + rowBytes * h);
  std::memcpy(v.data(), header.data(), header.size());
  for (uint32_t fileRow = 0; fileRow < h; ++fileRow) {
    const int y = static_cast<int>(h - 1 - fileRow);
    uint8_t* d = v.data() + 54 + rowBytes * fileRow;
    for (uint32_t x = 0; x < w; ++x, d += 2) {
      uint8_t b = 0, g = 0, r = 0;
      picture.ReadPixel(y, static_cast<int>(x), b, g, r);
      const uint16_t p = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      d[0] = static_cast<uint8_t>(p);
      d[1] = static_cast<uint8_t>(p >> 8);
    }
  }
  return v;
}

TBmpResult WriteBmpFile(const std::string& path, const TPixelBuffer& picture) {
  if (picture.Empty()) return Fail("There is no image to write");
  TFileResult r;
  if (picture.BitCount() == 24) {
    // The header, then each row's pixels straight from the picture, bottom
    // row first, each followed by zero padding to a whole word.
    const uint32_t w = static_cast<uint32_t>(picture.Width());
    const int h = picture.Height();
    const std::array<uint8_t, 54> header = InfoHeader(w, static_cast<uint32_t>(h), 24);
    static constexpr char kZeros[4] = {};
    const size_t pixels = size_t(w) * 3, pad = (4 - pixels % 4) % 4;
    std::vector<std::string_view> pieces;
    pieces.reserve(1 + (pad ? 2 : 1) * static_cast<size_t>(h));
    pieces.emplace_back(reinterpret_cast<const char*>(header.data()), header.size());
    for (int y = h - 1; y >= 0; --y) {
      pieces.emplace_back(reinterpret_cast<const char*>(picture.Row(y)), pixels);
      if (pad) pieces.emplace_back(kZeros, pad);
    }
    r = ReplaceFileContents(path, std::span<const std::string_view>(pieces));
  } else {
    const std::vector<uint8_t> bytes = EncodeBmp24(picture);
    r = ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  if (!r.ok) return Fail(r.message);
  return TBmpResult{true, {}};
}

}  // namespace vell
