// Every generator on tiny and odd-sized pictures (no failure, row padding
// untouched, other bit counts left alone), and the tiling behaviour of the
// ones that keep or make a seamless tile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "GeoTestImages.h"
#include "PatternTestSupport.h"
#include "imaging/Patterns.h"

namespace vell {
namespace {

using geotest::Copy;
using geotest::Random;
using geotest::SamePixels;
using geotest::Shifted;
using pattest::FixedSeed;

struct Generator {
  const char* name;
  std::function<void(TPixelBuffer&)> run;
};

std::vector<Generator> Generators() {
  static const TPixelBuffer other = Random(5, 3, 77);
  return {
      {"PlasmaCloud", [](TPixelBuffer& i) { PlasmaCloud(i, 700); }},
      {"Marble", [](TPixelBuffer& i) { Marble(i, 700, 12, 3.0); }},
      {"SuperNova", [](TPixelBuffer& i) { SuperNova(i, 0x3080F0, 32, 64, 32, 24, 36); }},
      {"SuperNovaNegativeRadius", [](TPixelBuffer& i) { SuperNova(i, 0x3080F0, -5, 7, 720, 0, 0); }},
      {"Mosaic", [](TPixelBuffer& i) { Mosaic(i, 3); }},
      {"CircleMosaic", [](TPixelBuffer& i) { CircleMosaic(i, 6); }},
      {"CycloidMosaic", [](TPixelBuffer& i) { CycloidMosaic(i, 3); }},
      {"CycloidMosaicHuge", [](TPixelBuffer& i) { CycloidMosaic(i, 2147483647); }},
      {"ConcentricRects", [](TPixelBuffer& i) { ConcentricRects(i, 1); }},
      {"ConcentricRectsHuge", [](TPixelBuffer& i) { ConcentricRects(i, 2147483647); }},
      {"Astroid", [](TPixelBuffer& i) { Astroid(i, 5); }},
      {"AstroidNegative", [](TPixelBuffer& i) { Astroid(i, -3); }},
      {"Buttonize", [](TPixelBuffer& i) { Buttonize(i, 0, 0xFFFFFF, 20); }},
      {"ButtonizeHuge", [](TPixelBuffer& i) { Buttonize(i, 0, 0xFFFFFF, 2147483647); }},
      {"MosaicHuge", [](TPixelBuffer& i) { Mosaic(i, 2147483647); }},
      {"MarbleHugeScale", [](TPixelBuffer& i) { Marble(i, -5, -1, 1e300); }},
      {"GradientBarsHuge", [](TPixelBuffer& i) { GradientBars(i, -2147483647 - 1, 0, 0xFFFFFF); }},
      {"MergeOutOfRange", [](TPixelBuffer& i) { MergeBuffer(i, -2147483647 - 1, i); }},
      {"Spray", [](TPixelBuffer& i) { Spray(i, 250); }},
      {"SprayHuge", [](TPixelBuffer& i) { Spray(i, 2147483647); }},
      {"Trace", [](TPixelBuffer& i) { Trace(i, 2, 0x0000FF); }},
      {"GradientBars", [](TPixelBuffer& i) { GradientBars(i, 50, 0xFF, 0xFF0000); }},
      {"MergeGradient", [](TPixelBuffer& i) { MergeGradient(i, 30, other); }},
      {"MergeBufferSelf", [](TPixelBuffer& i) { MergeBuffer(i, 70, i); }},
  };
}

TEST(PatternWalk, SmallAndOddPicturesKeepTheirShapeAndPadding) {
  FixedSeed seed(3);
  for (const Generator& g : Generators())
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {2, 1}, {1, 5}, {64, 64}, {65, 3}}) {
      TPixelBuffer img = Random(w, h, 1);
      for (int y = 0; y < h; ++y) std::memset(img.Row(y) + 3 * w, 0xA5, static_cast<size_t>(img.Gap()));
      g.run(img);
      ASSERT_EQ(img.Width(), w) << g.name;
      ASSERT_EQ(img.Height(), h) << g.name;
      ASSERT_EQ(img.BitCount(), 24) << g.name;
      for (int y = 0; y < h; ++y)
        for (int i = 0; i < img.Gap(); ++i) ASSERT_EQ(img.Row(y)[3 * w + i], 0xA5) << g.name << " " << w << "x" << h;
    }
}

TEST(PatternWalk, EmptyAndOtherBitCountsAreLeftAlone) {
  for (const Generator& g : Generators()) {
    TPixelBuffer empty;
    g.run(empty);
    EXPECT_TRUE(empty.Empty()) << g.name;
    TPixelBuffer img;
    img.Allocate(6, 6, 0, 8);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < img.BytesPerLine(); ++x) img.Row(y)[x] = static_cast<uint8_t>(x * 11 + y);
    const std::vector<uint8_t> before(img.Bits(), img.Bits() + img.BytesPerLine() * 6);
    g.run(img);
    ASSERT_EQ(img.BitCount(), 8) << g.name;
    EXPECT_EQ(0, std::memcmp(before.data(), img.Bits(), before.size())) << g.name;
  }
}

// ---- tiling ---------------------------------------------------------------------

// The picture repeated 3 x 3.
TPixelBuffer Tiled3(const TPixelBuffer& tile) {
  TPixelBuffer out;
  out.Allocate(tile.Width() * 3, tile.Height() * 3, 0, 24);
  tile.PaintTiled(out, 0, 0, out.Width(), out.Height());
  return out;
}

TPixelBuffer Centre(const TPixelBuffer& big, int w, int h) {
  TPixelBuffer out;
  out.Allocate(w, h, 0, 24);
  big.PaintRegion(out, 0, 0, w, h, w, h);
  return out;
}

// A tile of a few flat blocks of colour.
TPixelBuffer Blocks(int w, int h, uint32_t seed) {
  const TRGB24 colours[3] = {{0, 0, 0}, {255, 255, 255}, {40, 200, 90}};
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  uint32_t s = seed;
  for (int by = 0; by < h; by += 3)
    for (int bx = 0; bx < w; bx += 4) {
      s = s * 1103515245u + 12345u;
      const TRGB24 c = colours[(s >> 16) % 3];
      for (int y = by; y < std::min(by + 3, h); ++y)
        for (int x = bx; x < std::min(bx + 4, w); ++x) img.Row24(y)[x] = c;
    }
  return img;
}

TEST(PatternTiling, TraceOutlinesContinueAcrossTheTileEdges) {
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u})
    for (int intensity : {1, 2}) {
      TPixelBuffer tile = Blocks(24, 18, seed);
      // The first boundary met is the same in the tile and in its repetition.
      tile.Row24(17)[0] = {0, 0, 0};
      tile.Row24(17)[23] = {255, 255, 255};
      TPixelBuffer big = Tiled3(tile);
      Trace(tile, intensity, 0x0000FF);
      Trace(big, intensity, 0x0000FF);
      EXPECT_TRUE(SamePixels(tile, Centre(big, 24, 18))) << "seed " << seed << " intensity " << intensity;
    }
}

TEST(PatternTiling, MosaicsCommuteWithScrollsByWholeCells) {
  struct Case {
    const char* name;
    std::function<void(TPixelBuffer&)> run;
    int dx, dy;
  };
  const Case cases[] = {
      {"Mosaic 4", [](TPixelBuffer& i) { Mosaic(i, 4); }, 8, 12},
      {"Mosaic 6", [](TPixelBuffer& i) { Mosaic(i, 6); }, -6, 18},
      {"CircleMosaic 8", [](TPixelBuffer& i) { CircleMosaic(i, 8); }, 16, -8},
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(48, 48, 20);
    TPixelBuffer a = Shifted(src, c.dx, c.dy), b = Copy(src);
    c.run(a);
    c.run(b);
    EXPECT_TRUE(SamePixels(a, Shifted(b, c.dx, c.dy))) << c.name;
  }
  // A merge with a tiling picture, both scrolled alike.
  const TPixelBuffer src = Random(48, 48, 21), other = geotest::SmoothTile(48, 48, 22);
  TPixelBuffer a = Shifted(src, 13, 7), b = Copy(src);
  MergeBuffer(a, 35, Shifted(other, 13, 7));
  MergeBuffer(b, 35, other);
  EXPECT_TRUE(SamePixels(a, Shifted(b, 13, 7)));
}

TEST(PatternTiling, MadeAndKeptTilesHaveNoSeam) {
  FixedSeed seed(8);
  struct Case {
    const char* name;
    std::function<void(TPixelBuffer&)> run;
    double slack;
  };
  const Case cases[] = {
      {"PlasmaCloud", [](TPixelBuffer& i) { PlasmaCloud(i, 700); }, 0},
      {"PlasmaCloud smooth", [](TPixelBuffer& i) { PlasmaCloud(i, 40); }, 0},
      {"GradientBars 3", [](TPixelBuffer& i) { GradientBars(i, 3, 0x102030, 0xF0E0D0); }, 0},
      {"GradientBars 7", [](TPixelBuffer& i) { GradientBars(i, 7, 0x0000FF, 0x00FF00); }, 0},
      {"Spray on a smooth tile", [](TPixelBuffer& i) { Spray(i, 4); }, 0},
  };
  for (const Case& c : cases)
    for (uint32_t s : {1u, 2u, 3u}) {
      TPixelBuffer img = geotest::SmoothTile(96, 64, s);
      seed.Set(s);
      SetRandomState(s);
      c.run(img);
      EXPECT_LE(geotest::SeamExcess(img), c.slack) << c.name << " seed " << s;
    }
}

}  // namespace
}  // namespace vell
