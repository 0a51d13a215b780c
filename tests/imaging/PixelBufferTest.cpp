#include "imaging/PixelBuffer.h"

#include "imaging/Colour.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace vell {
namespace {

constexpr uint8_t kJunk = 0xA5;

// A 24-bit w x h buffer whose pixel (x, y) is (B, G, R) = (x, y, 10 * x + y),
// with the row padding filled with junk so stray writes show.
TPixelBuffer Numbered(int w, int h, int bits = 24) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, bits);
  std::memset(b.Bits(), kJunk, static_cast<size_t>(b.BytesPerLine()) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.WritePixel(y, x, static_cast<uint32_t>((10 * x + y) << 16 | y << 8 | x));
  return b;
}

std::vector<uint8_t> Gaps(const TPixelBuffer& b) {
  std::vector<uint8_t> out;
  for (int y = 0; y < b.Height(); ++y)
    out.insert(out.end(), b.Row(y) + b.BytesPerLine() - b.Gap(), b.Row(y) + b.BytesPerLine());
  return out;
}

// The (x, y) a pixel of a Numbered buffer came from, or (-1, -1) when it is not such a pixel.
std::pair<int, int> Origin(const TPixelBuffer& b, int y, int x) {
  uint8_t blue, green, red;
  b.ReadPixel(y, x, blue, green, red);
  if (red != 10 * blue + green) return {-1, -1};
  return {blue, green};
}

struct ShapeCase {
  int width, bits, bytesPerLine, gap;
};

TEST(PixelBufferShape, BytesPerLineAndGap) {
  const ShapeCase cases[] = {
      {3, 24, 12, 3}, {4, 24, 12, 0}, {1, 24, 4, 1},  {5, 8, 8, 3},   {3, 16, 8, 2},
      {2, 16, 4, 0},  {3, 32, 12, 0}, {9, 1, 4, 3},   {3, 4, 4, 3},   {33, 1, 8, 4},
  };
  for (const ShapeCase& c : cases) {
    TPixelBuffer b;
    b.Allocate(c.width, 2, 0, c.bits);
    EXPECT_EQ(b.BytesPerLine(), c.bytesPerLine) << c.width << "x" << c.bits;
    EXPECT_EQ(b.Gap(), c.gap) << c.width << "x" << c.bits;
    EXPECT_EQ(b.Info().bmiHeader.biHeight, -2);
    EXPECT_EQ(b.Row(1) - b.Row(0), c.bytesPerLine);
  }
}

TEST(PixelBufferShape, MasksOf16And32Bits) {
  TPixelBuffer b;
  b.Allocate(1, 1, 565, 16);
  EXPECT_EQ(b.Info().bmiHeader.biCompression, 3u);
  auto mask = [&](int i) {
    const TRGBQuad& q = b.ColorTable()[i];
    return uint32_t(q.rgbBlue) | uint32_t(q.rgbGreen) << 8 | uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbReserved) << 24;
  };
  EXPECT_EQ(mask(0), 0xF800u);
  EXPECT_EQ(mask(1), 0x07E0u);
  EXPECT_EQ(mask(2), 0x001Fu);
  b.Allocate(1, 1, 555, 16);
  EXPECT_EQ(mask(0), 0x7C00u);
  EXPECT_EQ(mask(1), 0x03E0u);
  b.Allocate(1, 1, 0, 32);
  EXPECT_EQ(b.FormatCode(), 888);
  EXPECT_EQ(mask(0), 0xFF0000u);
  EXPECT_EQ(mask(2), 0xFFu);
}

TEST(PixelBufferShape, ScreenProbesFillInZeroBitsAndFormat) {
  TPixelBuffer b;
  b.Allocate(2, 2, 0, 0);
  EXPECT_EQ(b.BitCount(), 24);  // no front end: 24 bits
  b.Allocate(2, 2, 0, 16);
  EXPECT_EQ(b.FormatCode(), 565);
  SetScreenProbes([] { return 16; }, [] { return 555; });
  b.Allocate(2, 2, 0, 0);
  EXPECT_EQ(b.BitCount(), 16);
  EXPECT_EQ(b.FormatCode(), 555);
  EXPECT_EQ(b.GreenPosition(), 5);
  SetScreenProbes(nullptr, nullptr);
}

TEST(PixelBufferShape, AllocateWithSameShapeKeepsPixels) {
  for (int bits : {24, 32, 16}) {
    TPixelBuffer b = Numbered(5, 3, bits);
    std::vector<uint8_t> before(b.Bits(), b.Bits() + b.BytesPerLine() * 3);
    b.Allocate(5, 3, 0, bits);
    EXPECT_EQ(std::vector<uint8_t>(b.Bits(), b.Bits() + b.BytesPerLine() * 3), before) << bits;
  }
}

TEST(PixelBufferShape, ImpossibleSizesLeaveAnEmptyBuffer) {
  TPixelBuffer b;
  b.Allocate(0x40000000, 0x40000000, 0, 24);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  b.Allocate(-4, 4, 0, 24);
  EXPECT_TRUE(b.Empty());
  b.Allocate(4, -3, 0, 24);  // height is stored as its absolute value
  EXPECT_EQ(b.Height(), 3);
  EXPECT_FALSE(b.Empty());
}

TEST(PixelBufferShape, MovedFromBufferIsEmpty) {
  TPixelBuffer a = Numbered(3, 2);
  TPixelBuffer b(std::move(a));
  EXPECT_EQ(a.Width(), 0);
  EXPECT_TRUE(a.Empty());
  EXPECT_EQ(Origin(b, 1, 2), std::make_pair(2, 1));
}

TEST(PixelBufferPixels, WritePixelByteOrder) {
  TPixelBuffer b;
  b.Allocate(2, 1, 0, 24);
  b.WritePixel(0, 1, 0x00FF8000);
  EXPECT_THAT(std::vector<uint8_t>(b.Row(0) + 3, b.Row(0) + 6), ::testing::ElementsAre(0x00, 0x80, 0xFF));
}

TEST(PixelBufferPixels, SixteenBitRoundTrip) {
  TPixelBuffer b;
  b.Allocate(1, 1, 565, 16);
  b.WritePixel(0, 0, 0xFFFFFF);
  EXPECT_EQ(b.Row16(0)[0], 0xFFFF);
  uint8_t blue, green, red;
  b.ReadPixel(0, 0, blue, green, red);
  EXPECT_EQ(std::vector<int>({red, green, blue}), std::vector<int>({248, 252, 248}));
  b.Allocate(1, 1, 555, 16);
  b.WritePixel(0, 0, 0x00FF8010);  // red 255, green 128, blue 16
  EXPECT_EQ(b.Row16(0)[0], (31 << 10) | (16 << 5) | 2);
  b.ReadPixel(0, 0, blue, green, red);
  EXPECT_EQ(std::vector<int>({red, green, blue}), std::vector<int>({248, 128, 16}));
}

TEST(PixelBufferCopy, CopyPixelsToConvertsOtherDepths) {
  TPixelBuffer src = Numbered(3, 2, 32), dst;
  CopyPixelsTo(src, dst);
  ASSERT_EQ(dst.BitCount(), 24);
  EXPECT_EQ(Origin(dst, 1, 2), std::make_pair(2, 1));
  TPixelBuffer src24 = Numbered(3, 2), dst24;
  CopyPixelsTo(src24, dst24);
  EXPECT_EQ(0, std::memcmp(src24.Bits(), dst24.Bits(), 24));
}

struct WrapCase {
  int k, size, expected;
};

TEST(WrapIndexTest, Values) {
  const WrapCase cases[] = {{-1, 10, 8}, {-10, 10, 9}, {10, 10, 0},  {23, 10, 3}, {0, 10, 0},
                            {9, 10, 9},  {-11, 10, 8}, {-1, 1, 0},   {5, 1, 0},   {3, 0, 0},
                            {INT_MIN, 10, 10 - 1 - static_cast<int>(2147483648LL % 10)}};
  for (const WrapCase& c : cases) EXPECT_EQ(WrapIndex(c.k, c.size), c.expected) << c.k << " " << c.size;
}

TEST(PixelBufferWhole, ScrollWrapOnThreePixelRowKeepsPadding) {
  TPixelBuffer b = Numbered(3, 2);
  ASSERT_EQ(b.BytesPerLine(), 12);
  ASSERT_EQ(b.Gap(), 3);
  b.ScrollWrap(1, 0);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(Origin(b, y, 0), std::make_pair(1, y));
    EXPECT_EQ(Origin(b, y, 1), std::make_pair(2, y));
    EXPECT_EQ(Origin(b, y, 2), std::make_pair(0, y));
  }
  EXPECT_THAT(Gaps(b), ::testing::Each(kJunk));
}

TEST(PixelBufferWhole, ScrollWrapRows) {
  struct Case {
    int dx, dy;
    std::vector<int> rowsFrom;  // the original row now at rows 0..3
    int column0From;
  };
  const Case cases[] = {{0, -1, {3, 0, 1, 2}, 0}, {0, 4, {0, 1, 2, 3}, 0}, {0, 1, {1, 2, 3, 0}, 0},
                        {0, -9, {3, 0, 1, 2}, 0}, {-1, 2, {2, 3, 0, 1}, 4}, {10, 0, {0, 1, 2, 3}, 0}};
  for (const Case& c : cases) {
    TPixelBuffer b = Numbered(5, 4);
    b.ScrollWrap(c.dx, c.dy);
    for (int y = 0; y < 4; ++y)
      EXPECT_EQ(Origin(b, y, 0), std::make_pair(c.column0From, c.rowsFrom[y])) << c.dx << "," << c.dy << " row " << y;
    EXPECT_THAT(Gaps(b), ::testing::Each(kJunk));
  }
}

TEST(PixelBufferWhole, ScrollWrapFourBitIndices) {
  TPixelBuffer b;
  b.Allocate(3, 1, 0, 4);
  b.Row(0)[0] = 0x12;
  b.Row(0)[1] = 0x3F;  // low nibble is padding
  b.ScrollWrap(1, 0);
  EXPECT_EQ(b.Row(0)[0], 0x23);
  EXPECT_EQ(b.Row(0)[1], 0x1F);
}

TEST(PixelBufferWhole, FlipRowsOddAndEvenHeights) {
  for (int h : {1, 2, 3, 5}) {
    TPixelBuffer b = Numbered(2, h);
    b.FlipRows();
    for (int y = 0; y < h; ++y) EXPECT_EQ(Origin(b, y, 1), std::make_pair(1, h - 1 - y)) << h;
    EXPECT_THAT(Gaps(b), ::testing::Each(kJunk));
  }
}

TEST(PixelBufferWhole, MirrorColumnsEveryDepth) {
  for (int bits : {16, 24, 32}) {
    for (int w : {1, 4, 5}) {
      TPixelBuffer b = Numbered(w, 2, bits);
      TPixelBuffer expected = Numbered(w, 2, bits);
      b.MirrorColumns();
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(std::memcmp(b.Row(1) + x * bits / 8, expected.Row(1) + (w - 1 - x) * bits / 8, bits / 8), 0)
            << bits << " bits, width " << w;
      EXPECT_EQ(Gaps(b), Gaps(expected));
    }
  }
  TPixelBuffer b8;
  b8.Allocate(3, 1, 0, 8);
  b8.Row(0)[0] = 1, b8.Row(0)[1] = 2, b8.Row(0)[2] = 3, b8.Row(0)[3] = kJunk;
  b8.MirrorColumns();
  EXPECT_THAT(std::vector<uint8_t>(b8.Row(0), b8.Row(0) + 4), ::testing::ElementsAre(3, 2, 1, kJunk));
}

TEST(PixelBufferPaint, PaintToClipsToTarget) {
  TPixelBuffer src = Numbered(3, 3), dst;
  dst.Allocate(4, 4, 0, 24);
  std::memset(dst.Bits(), kJunk, dst.BytesPerLine() * 4);
  src.PaintTo(dst, 2, -1);
  EXPECT_EQ(Origin(dst, 0, 2), std::make_pair(0, 1));
  EXPECT_EQ(Origin(dst, 1, 3), std::make_pair(1, 2));
  EXPECT_EQ(Origin(dst, 2, 2), std::make_pair(-1, -1));  // untouched
  EXPECT_EQ(dst.Row(0)[0], kJunk);
  EXPECT_THAT(Gaps(dst), ::testing::Each(kJunk));
  src.PaintRegion(dst, 0, 3, 2, 5, 1, 1);  // only one row fits
  EXPECT_EQ(Origin(dst, 3, 0), std::make_pair(1, 1));
  EXPECT_EQ(Origin(dst, 3, 1), std::make_pair(2, 1));
}

TEST(PixelBufferPaint, PaintToConvertsTo16Bits) {
  TPixelBuffer src, dst;
  src.Allocate(1, 1, 0, 24);
  src.WritePixel(0, 0, 0xFFFFFF);
  dst.Allocate(1, 1, 565, 16);
  src.PaintTo(dst, 0, 0);
  EXPECT_EQ(dst.Row16(0)[0], 0xFFFF);
}

TEST(PixelBufferPaint, PaintStretchedMapsNearestAndNeverBlends) {
  struct Case {
    int srcW, w;
    std::vector<int> columns;  // source column of every target column
  };
  const Case cases[] = {{2, 5, {0, 0, 0, 1, 1}}, {5, 2, {0, 2}}, {3, 3, {0, 1, 2}}, {4, 7, {0, 0, 1, 1, 2, 2, 3}}};
  for (const Case& c : cases) {
    TPixelBuffer src = Numbered(c.srcW, 2), dst;
    dst.Allocate(c.w, 3, 0, 24);
    std::memset(dst.Bits(), kJunk, dst.BytesPerLine() * 3);
    src.PaintStretched(dst, 0, 0, c.w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < c.w; ++x)
        EXPECT_EQ(Origin(dst, y, x), std::make_pair(c.columns[x], y * 2 / 3)) << c.srcW << "->" << c.w;
    EXPECT_THAT(Gaps(dst), ::testing::Each(kJunk));
  }
}

TEST(PixelBufferPaint, PaintStretchedOntoItself) {
  TPixelBuffer b = Numbered(2, 2);
  b.PaintStretched(b, 0, 0, 4, 4);  // clipped to the 2 x 2 buffer: the top-left source pixel doubled
  EXPECT_EQ(Origin(b, 0, 1), std::make_pair(0, 0));
  EXPECT_EQ(Origin(b, 1, 1), std::make_pair(0, 0));
}

TEST(PixelBufferPaint, PaintTiledCoversTarget) {
  TPixelBuffer src = Numbered(3, 2), dst;
  for (auto [x, y, w, h] : {std::array<int, 4>{0, 0, 11, 7}, {-4, -3, 20, 20}, {2, 1, 5, 4}}) {
    dst.Allocate(11, 7, 0, 24);
    std::memset(dst.Bits(), kJunk, dst.BytesPerLine() * 7);
    src.PaintTiled(dst, x, y, w, h);
    for (int ty = 0; ty < 7; ++ty)
      for (int tx = 0; tx < 11; ++tx) {
        const bool inside = tx >= x && tx < x + w && ty >= y && ty < y + h;
        const auto expected = inside ? std::make_pair((tx - x) % 3, (ty - y) % 2) : std::make_pair(-1, -1);
        EXPECT_EQ(Origin(dst, ty, tx), expected) << x << "," << y << " at " << tx << "," << ty;
      }
    EXPECT_THAT(Gaps(dst), ::testing::Each(kJunk));
  }
  TPixelBuffer empty;
  empty.PaintTiled(dst, 0, 0, 11, 7);  // nothing happens
}

TEST(PixelBufferTables, SixteenBitTablesMapEveryChannel) {
  uint8_t red[256], green[256], blue[256];
  for (int v = 0; v < 256; ++v) {
    red[v] = static_cast<uint8_t>(255 - v);
    green[v] = static_cast<uint8_t>(v / 2);
    blue[v] = static_cast<uint8_t>(v);
  }
  TPixelBuffer b;
  b.Allocate(3, 2, 565, 16);
  std::memset(b.Bits(), kJunk, b.BytesPerLine() * 2);
  b.WritePixel(0, 0, 0x00F88008);  // red 248, green 128, blue 8
  b.ApplyChannelTables(red, green, blue);
  uint8_t bl, gr, rd;
  b.ReadPixel(0, 0, bl, gr, rd);
  EXPECT_EQ(std::vector<int>({rd, gr, bl}), std::vector<int>({0, 64, 8}));  // 255-248 = 7 -> 0 after packing
  EXPECT_THAT(Gaps(b), ::testing::Each(kJunk));
}

TEST(PixelBufferTables, TwentyFourBitsSkipTheGapAt32BitsKeepTheFourthByte) {
  uint8_t inc[256], twice[256];
  for (int v = 0; v < 256; ++v) inc[v] = static_cast<uint8_t>(v + 1), twice[v] = static_cast<uint8_t>(2 * v);
  for (bool wide : {true, false}) {
    UseWideVectors(wide);
    for (int w : {1, 3, 8, 9, 17, 22, 25}) {  // 22 and 25: rows past one and two 64-byte blocks
      TPixelBuffer b = Numbered(w, 2), c = Numbered(w, 2);
      b.ApplyChannelTables(inc, inc, inc);
      c.ApplyChannelTables(twice, inc, inc);  // red alone differs
      for (int x = 0; x < w; ++x) {
        uint8_t bl, gr, rd;
        b.ReadPixel(1, x, bl, gr, rd);
        EXPECT_EQ(std::vector<int>({bl, gr, rd}), std::vector<int>({x + 1, 2, (10 * x + 2) % 256})) << w;
        c.ReadPixel(1, x, bl, gr, rd);
        EXPECT_EQ(std::vector<int>({bl, gr, rd}), std::vector<int>({x + 1, 2, (2 * (10 * x + 1)) % 256})) << w;
      }
      EXPECT_THAT(Gaps(b), ::testing::Each(kJunk));
      EXPECT_THAT(Gaps(c), ::testing::Each(kJunk));
    }
  }
  UseWideVectors(true);
  TPixelBuffer b32;
  b32.Allocate(1, 1, 0, 32);
  b32.Row32(0)[0] = 0x7F010203;
  b32.ApplyChannelTables(inc, inc, inc);
  EXPECT_EQ(b32.Row32(0)[0], 0x7F020304u);
}

TEST(PixelBufferTables, PaletteEntriesAreMapped) {
  uint8_t inv[256];
  for (int v = 0; v < 256; ++v) inv[v] = static_cast<uint8_t>(255 - v);
  TPixelBuffer b;
  b.Allocate(4, 1, 0, 4);
  b.ColorTable()[15] = TRGBQuad{10, 20, 30, 0};
  b.Row(0)[0] = 0xF0;
  b.ApplyChannelTables(inv, inv, inv);
  EXPECT_EQ(b.ColorTable()[15].rgbBlue, 245);
  EXPECT_EQ(b.ColorTable()[15].rgbRed, 225);
  EXPECT_EQ(b.ColorTable()[16].rgbRed, 0);  // only 2^4 entries
  EXPECT_EQ(b.Row(0)[0], 0xF0);
}

TEST(PixelBufferNoise, NoiseFollowsTheGenerator) {
  // amount 10: h = 5, each channel in blue, green, red order gets NextRandom(10) - 5.
  TPixelBuffer b;
  b.Allocate(2, 1, 0, 24);
  for (int i = 0; i < 6; ++i) b.Row(0)[i] = static_cast<uint8_t>(100 + i);
  SetRandomState(12345);
  std::vector<int> expected;
  for (int i = 0; i < 6; ++i) expected.push_back(100 + i + static_cast<int>(NextRandom(10)) - 5);
  SetRandomState(12345);
  b.AddNoise(266, false);  // 266 mod 256 = 10
  EXPECT_EQ(std::vector<int>(b.Row(0), b.Row(0) + 6), expected);

  SetRandomState(777);
  const int d0 = static_cast<int>(NextRandom(10)) - 5, d1 = static_cast<int>(NextRandom(10)) - 5;
  SetRandomState(777);
  for (int i = 0; i < 6; ++i) b.Row(0)[i] = 100;
  b.AddNoise(10, true);
  EXPECT_THAT(std::vector<int>(b.Row(0), b.Row(0) + 6),
              ::testing::ElementsAre(100 + d0, 100 + d0, 100 + d0, 100 + d1, 100 + d1, 100 + d1));
}

TEST(PixelBufferNoise, WideRowsTakeDrawsInPixelOrder) {
  // Rows long enough for the interleaved generator; each byte against one NextRandom call at a time.
  for (int variant = 0; variant < 6; ++variant) {
    const int bits = variant % 3 == 0 ? 8 : variant % 3 == 1 ? 24 : 32;
    UseWideVectors(variant < 3);
    for (bool mono : {false, true}) {
      TPixelBuffer b;
      b.Allocate(37, 3, 0, bits);
      for (size_t i = 0; i < static_cast<size_t>(b.BytesPerLine()) * 3; ++i) b.Bits()[i] = static_cast<uint8_t>(i * 31);
      std::vector<uint8_t> expected(b.Bits(), b.Bits() + b.BytesPerLine() * 3);
      SetRandomState(4242);
      const int bpp = bits / 8;
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 37; ++x) {
          uint8_t* p = expected.data() + y * b.BytesPerLine() + x * bpp;
          const int channels = bits == 8 ? 1 : 3;
          int d = 0;
          for (int c = 0; c < channels; ++c) {
            if (c == 0 || !mono) d = static_cast<int>(NextRandom(200)) - 100;
            p[c] = static_cast<uint8_t>(std::clamp(p[c] + d, 0, 255));
          }
        }
      const uint32_t endState = RandomState();
      SetRandomState(4242);
      b.AddNoise(200, mono);
      EXPECT_EQ(std::vector<uint8_t>(b.Bits(), b.Bits() + b.BytesPerLine() * 3), expected) << bits << " " << mono;
      EXPECT_EQ(RandomState(), endState) << bits << " " << mono;
    }
  }
  UseWideVectors(true);
}

TEST(RandomTest, SequenceFromZeroAndFloatRange) {
  SetRandomState(0);
  EXPECT_EQ(NextRandom(0xFFFFFFFFu), 0u);  // state 1: (1 * (2^32 - 1)) >> 32
  EXPECT_EQ(RandomState(), 1u);
  EXPECT_EQ(NextRandom(1000), static_cast<uint32_t>((uint64_t(0x08088406u) * 1000) >> 32));
  // States whose next draw is 2147483646 or close to it, which single precision rounds to 1.
  for (uint32_t s : {0xFFFFFFFEu, 0xFFFFFFF0u}) {
    SetRandomState((s - 1) * 0xD94FA8CDu);  // inverse step: state * 0x08088405 + 1 = s
    EXPECT_LT(NextRandomFloat(), 1.0f);
    EXPECT_EQ(RandomState(), s);
  }
}

TEST(SampleBilinearTest, WrapsAndWeighs) {
  // One row 0, 100, 200, 40 (all channels equal), two rows alike.
  TPixelBuffer b;
  b.Allocate(4, 2, 0, 24);
  const int values[4] = {0, 100, 200, 40};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) b.WritePixel(y, x, values[x] * 0x010101u);
  struct Case {
    float fx;
    int expected;
  };
  const Case cases[] = {
      {0.0f, 0},    {1.0f, 100},   {0.5f, 50},   {1.25f, 125}, {3.5f, 20},   // last column blends with column 0
      {4.0f, 0},    {5.5f, 150},   {-1.0f, 40},  {-1.5f, 120}, {-0.25f, 10},  // just left of 0: last column
      {-0.75f, 30}, {-4.0f, 0},    {-4.5f, 20},
  };
  for (const Case& c : cases) {
    const TRGB24 p = SampleBilinear(b, c.fx, 0.0f);
    EXPECT_EQ(p.r, c.expected) << c.fx;
    EXPECT_EQ(p.g, p.b);
  }
  // Rows wrap the same way; y = -0.5 mixes the last row and row 0, which are equal.
  EXPECT_EQ(SampleBilinear(b, 1.0f, -0.5f).r, 100);
  EXPECT_EQ(SampleBilinear(b, 1.0f, 1.5f).r, 100);
  // Ties round to even: 0.5 * 1 + 0.5 * 2 = 1.5 -> 2; 0.5 * 2 + 0.5 * 3 = 2.5 -> 2.
  TPixelBuffer t;
  t.Allocate(2, 1, 0, 24);
  t.WritePixel(0, 0, 0x010203);
  t.WritePixel(0, 1, 0x020304);
  const TRGB24 tie = SampleBilinear(t, 0.5f, 0.0f);
  EXPECT_EQ(std::vector<int>({tie.r, tie.g, tie.b}), std::vector<int>({2, 2, 4}));
  TPixelBuffer empty;
  EXPECT_EQ(SampleBilinear(empty, 1.0f, 1.0f).r, 0);
  EXPECT_EQ(SampleBilinear(b, 1e30f, -1e30f).r, SampleBilinear(b, 1e30f, -1e30f).g);  // no crash
}

// Small blocks come from the allocator, large ones from the kernel: either
// way a new picture reads zero everywhere, every row can be written to its
// last byte, a new shape starts from zero again, and a move hands the memory
// over whole.
TEST(PixelBufferMemory, NewPicturesAreZeroAndWritableOnBothRoads) {
  struct TShape {
    int width, height;
  };
  const TShape shapes[] = {{1, 1}, {3, 2}, {256, 256}, {838, 834}, {1024, 1024}, {4096, 700}};
  for (const TShape& s : shapes) {
    TPixelBuffer p;
    p.Allocate(s.width, s.height, 0, 24);
    ASSERT_FALSE(p.Empty()) << s.width << " x " << s.height;
    const size_t bytes = size_t(p.BytesPerLine()) * size_t(p.Height());
    for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(p.Bits()[i], 0) << s.width << " x " << s.height << " byte " << i;
    for (int y = 0; y < p.Height(); ++y) std::memset(p.Row(y), 0xA5, size_t(p.BytesPerLine()));
    p.Allocate(s.width + 1, s.height, 0, 24);
    for (int y = 0; y < p.Height(); ++y)
      for (int i = 0; i < p.BytesPerLine(); ++i) ASSERT_EQ(p.Row(y)[i], 0) << s.width << " x " << s.height;
    p.Row(p.Height() - 1)[p.BytesPerLine() - 1] = 7;
    TPixelBuffer moved(std::move(p));
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(moved.Row(moved.Height() - 1)[moved.BytesPerLine() - 1], 7);
    TPixelBuffer other;
    other.Allocate(2, 2, 0, 24);
    other = std::move(moved);
    EXPECT_EQ(other.Width(), s.width + 1);
    EXPECT_EQ(other.Row(other.Height() - 1)[other.BytesPerLine() - 1], 7);
  }
}

}  // namespace
}  // namespace vell
