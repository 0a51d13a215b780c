#include "gif/GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr int kMaxBits = 12;
constexpr unsigned kTableSize = 1u << kMaxBits;  // 4096 codes

// Packs codes from the low bit up into a buffer sized for the worst case.
class TBitWriter {
 public:
  explicit TBitWriter(size_t capacity) : buf_(capacity) {}
  void Put(unsigned code, int width) {
    acc_ |= static_cast<uint64_t>(code) << bits_;
    bits_ += width;
    if (bits_ >= 32) {
      uint32_t word = static_cast<uint32_t>(acc_);
      uint8_t* p = buf_.data() + len_;
      p[0] = static_cast<uint8_t>(word);
      p[1] = static_cast<uint8_t>(word >> 8);
      p[2] = static_cast<uint8_t>(word >> 16);
      p[3] = static_cast<uint8_t>(word >> 24);
      len_ += 4;
      acc_ >>= 32;
      bits_ -= 32;
    }
  }
  void Flush() {
    while (bits_ > 0) {
      buf_[len_++] = static_cast<uint8_t>(acc_);
      acc_ >>= 8;
      bits_ -= 8;
    }
    bits_ = 0;
  }
  const uint8_t* Data() const { return buf_.data(); }
  size_t Size() const { return len_; }

 private:
  std::vector<uint8_t> buf_;
  size_t len_ = 0;
  uint64_t acc_ = 0;
  int bits_ = 0;
};

// String table of the encoder: open addressing over (prefix << 8 | pixel) keys.
// A slot holds key << 12 | code; codes stay below 4095, so a full word of ones is free.
class TStringTable {
 public:
  static constexpr uint32_t kFree = 0xFFFFFFFFu;
  static constexpr unsigned kBits = 14;  // 16384 slots for at most 4094 entries
  static constexpr uint32_t kMask = (1u << kBits) - 1;

  TStringTable() { Clear(); }
  void Clear() { slots_.fill(kFree); }
  // Returns the code of key, or -1 with `slot` left at the free slot for it.
  int Find(uint32_t key, uint32_t& slot) const {
    uint32_t h = (key * 2654435761u) >> (32 - kBits);
    for (;;) {
      uint32_t s = slots_[h];
      if (s == kFree) {
        slot = h;
        return -1;
      }
      if ((s >> 12) == key) return static_cast<int>(s & 0xFFF);
      h = (h + 1) & kMask;
    }
  }
  void Insert(uint32_t slot, uint32_t key, unsigned code) { slots_[slot] = (key << 12) | code; }

 private:
  std::array<uint32_t, 1u << kBits> slots_;
};

}  // namespace

std::vector<int> GifInterlacedRows(int height) {
  std::vector<int> rows;
  rows.reserve(static_cast<size_t>(std::max(height, 0)));
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

void GifLzwEncode(const uint8_t* pixels, int width, int height, bool interlaced,
                  int minCodeSize, int colorLimit, std::vector<uint8_t>& out) {
  const int m = std::clamp(minCodeSize, 2, 8);
  const unsigned clearCode = 1u << m;
  const unsigned endCode = clearCode + 1;
  const size_t count = (width > 0 && height > 0)
                           ? static_cast<size_t>(width) * static_cast<size_t>(height)
                           : 0;

  // Each pixel yields at most one code of at most 12 bits, plus clear codes.
  TBitWriter bits(count * 2 + 16);
  int codeWidth = m + 1;
  unsigned maxCode = (1u << codeWidth) - 1;
  unsigned nextFree = clearCode + 2;

  auto emit = [&](unsigned code) {
    bits.Put(code, codeWidth);
    if (code == clearCode) {
      codeWidth = m + 1;
      maxCode = (1u << codeWidth) - 1;
    } else if (nextFree > maxCode) {
      ++codeWidth;
      maxCode = codeWidth == kMaxBits ? kTableSize : (1u << codeWidth) - 1;
    }
  };

  if (count == 0) {
    emit(endCode);
  } else {
    const unsigned limit = static_cast<unsigned>(std::clamp(colorLimit, 0, 256));
    std::vector<int> order;
    if (interlaced) order = GifInterlacedRows(height);
    auto table = std::make_unique<TStringTable>();

    emit(clearCode);
    const uint8_t* firstRow = pixels + static_cast<size_t>(interlaced ? order[0] : 0) * width;
    unsigned prefix = firstRow[0];
    if (prefix >= limit) throw EGifError(GifMsg::ColorNotInTable);
    int x0 = 1;
    for (int r = 0; r < height; ++r) {
      const int y = interlaced ? order[static_cast<size_t>(r)] : r;
      const uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
      for (int x = x0; x < width; ++x) {
        const unsigned p = row[x];
        if (p >= limit) throw EGifError(GifMsg::ColorNotInTable);
        const uint32_t key = (prefix << 8) | p;
        uint32_t slot;
        const int code = table->Find(key, slot);
        if (code >= 0) {
          prefix = static_cast<unsigned>(code);
          continue;
        }
        emit(prefix);
        prefix = p;
        if (nextFree > 4094) {
          emit(clearCode);
          table->Clear();
          nextFree = clearCode + 2;
        } else {
          table->Insert(slot, key, nextFree++);
        }
      }
      x0 = 0;
    }
    emit(prefix);
    emit(endCode);
  }
  bits.Flush();

  const size_t n = bits.Size();
  out.reserve(out.size() + n + n / 255 + 3);
  out.push_back(static_cast<uint8_t>(m));
  for (size_t pos = 0; pos < n; pos += 255) {
    const size_t len = std::min<size_t>(255, n - pos);
    out.push_back(static_cast<uint8_t>(len));
    out.insert(out.end(), bits.Data() + pos, bits.Data() + pos + len);
  }
  out.push_back(0);
}

void GifLzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                  size_t count) {
  if (minCodeSize < 1 || minCodeSize > 8) throw EGifError(GifMsg::InvalidCodeSize);
  if (count == 0) return;
  const unsigned clearCode = 1u << minCodeSize;
  const unsigned endCode = clearCode + 1;

  uint16_t prefix[kTableSize];
  uint8_t suffix[kTableSize];
  uint8_t first[kTableSize];
  uint16_t length[kTableSize];
  for (unsigned i = 0; i < clearCode; ++i) {
    prefix[i] = 0;
    suffix[i] = first[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }

  size_t pos = 0;
  uint64_t acc = 0;
  int bits = 0;
  int codeWidth = minCodeSize + 1;
  unsigned nextFree = clearCode + 2;
  int prev = -1;
  size_t o = 0;
  uint8_t spill[kTableSize];

  while (o < count) {
    if (bits < codeWidth) {
      // Refill up to 7 bytes at a time; most codes then need no further refill.
      while (bits <= 56 && pos < size) {
        acc |= static_cast<uint64_t>(data[pos++]) << bits;
        bits += 8;
      }
      if (bits < codeWidth) throw EGifError(GifMsg::BitBufferUnderRun);
    }
    unsigned code = static_cast<unsigned>(acc) & ((1u << codeWidth) - 1);
    acc >>= codeWidth;
    bits -= codeWidth;

    if (code == clearCode) {
      codeWidth = minCodeSize + 1;
      nextFree = clearCode + 2;
      prev = -1;
      continue;
    }
    if (code == endCode) throw EGifError(GifMsg::PrematureEnd);

    if (prev < 0) {
      if (code >= clearCode) throw EGifError(GifMsg::CircularEntry);
    } else {
      if (code > nextFree) throw EGifError(GifMsg::CircularEntry);
      if (nextFree < kTableSize) {
        // The new entry is the previous string plus the first index of this one; when this
        // code is the entry itself, its first index is the previous string's.
        const unsigned p = static_cast<unsigned>(prev);
        prefix[nextFree] = static_cast<uint16_t>(p);
        suffix[nextFree] = code < nextFree ? first[code] : first[p];
        first[nextFree] = first[p];
        length[nextFree] = static_cast<uint16_t>(length[p] + 1);
        ++nextFree;
        if (nextFree == (1u << codeWidth) && codeWidth < kMaxBits) ++codeWidth;
      } else if (code == nextFree) {
        throw EGifError(GifMsg::CircularEntry);
      }
    }
    prev = static_cast<int>(code);

    const size_t len = length[code];
    uint8_t* dst = (o + len <= count) ? out + o : spill;
    uint8_t* p = dst + len - 1;
    unsigned c = code;
    while (c >= clearCode) {
      *p-- = suffix[c];
      c = prefix[c];
    }
    *p = static_cast<uint8_t>(c);
    if (dst == spill) {
      std::memcpy(out + o, spill, count - o);
      o = count;
    } else {
      o += len;
    }
  }
}
