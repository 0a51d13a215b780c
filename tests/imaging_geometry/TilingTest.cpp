#include "imaging/Tiling.h"

#include <gtest/gtest.h>

#include "GeoTestImages.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace vell {
namespace {

using geotest::Random;
using geotest::Same;
using geotest::SamePixels;

TEST(MulDiv, RoundsHalvesAwayFromZeroAndGivesMinusOneForZero) {
  struct Case {
    int n, d, q, expected;
  };
  const Case cases[] = {
      {1, 1, 2, 1},   {1, -1, 2, -1}, {3, -5, 4, -4}, {3, 5, 4, 4},       {2, 10, 3, 7},
      {1, 1, 3, 0},   {0, 200, 24, 0}, {24, -200, 24, -200}, {5, 7, 0, -1}, {7, 9, -2, -32},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.n, c.d, c.q), c.expected) << c.n << "*" << c.d << "/" << c.q;
}

// The right and bottom blends written out directly, one pixel at a time.
void EdgeMergeReference(TPixelBuffer& img, int a, int c) {
  const int w = img.Width(), h = img.Height();
  if (a >= 2) {
    const TPixelBuffer old = geotest::Copy(img);
    for (int y = 0; y < h; ++y)
      for (int k = 0; k < a; ++k) {
        const TRGB24 l = old.Row24(y)[a - 1 - k], r = old.Row24(y)[w - a + k];
        TRGB24& out = img.Row24(y)[w - a + k];
        out.b = static_cast<uint8_t>(r.b + MulDiv(k, l.b - r.b, a - 1));
        out.g = static_cast<uint8_t>(r.g + MulDiv(k, l.g - r.g, a - 1));
        out.r = static_cast<uint8_t>(r.r + MulDiv(k, l.r - r.r, a - 1));
      }
  }
  if (c >= 2) {
    const TPixelBuffer old = geotest::Copy(img);
    for (int k = 0; k < c; ++k)
      for (int x = 0; x < w; ++x) {
        const TRGB24 t = old.Row24(c - 1 - k)[x], b = old.Row24(h - c + k)[x];
        TRGB24& out = img.Row24(h - c + k)[x];
        out.b = static_cast<uint8_t>(b.b + MulDiv(k, t.b - b.b, c - 1));
        out.g = static_cast<uint8_t>(b.g + MulDiv(k, t.g - b.g, c - 1));
        out.r = static_cast<uint8_t>(b.r + MulDiv(k, t.r - b.r, c - 1));
      }
  }
}

TEST(EdgeMerge, QuarterOnAHundredSquareTouchesOnlyTheLastQuarter) {
  TPixelBuffer img = Random(100, 100, 21);
  const TPixelBuffer before = geotest::Copy(img);
  EdgeMerge(img, 4);
  for (int y = 0; y < 75; ++y)
    for (int x = 0; x < 75; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], before.Row24(y)[x])) << x << "," << y;
  // The last column leads into the old first one (down to the first blended
  // row; below it the bottom blend takes over), the last row into the first.
  for (int y = 0; y <= 75; ++y) EXPECT_TRUE(Same(img.Row24(y)[99], before.Row24(y)[0])) << y;
  for (int x = 0; x < 100; ++x) EXPECT_TRUE(Same(img.Row24(99)[x], img.Row24(0)[x])) << x;
  // Column 75 (k = 0) keeps the old pixel of the rows above the bottom strip.
  for (int y = 0; y < 75; ++y) EXPECT_TRUE(Same(img.Row24(y)[75], before.Row24(y)[75]));
}

TEST(EdgeMerge, MatchesTheSlowReference) {
  struct Case {
    int w, h, d;
  };
  const Case cases[] = {{100, 100, 4}, {64, 48, 8}, {160, 33, 16}, {9, 8, 4}, {7, 3, 4}, {2, 2, 4}, {1, 1, 16}};
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.w, c.h, 5);
    TPixelBuffer fast = geotest::Copy(src), slow = geotest::Copy(src);
    EdgeMerge(fast, c.d);
    EdgeMergeReference(slow, c.w / c.d, c.h / c.d);
    EXPECT_TRUE(SamePixels(fast, slow)) << c.w << "x" << c.h << " 1/" << c.d;
  }
}

TEST(EdgeMerge, OnePixelStripsAreLeftAlone) {
  // 7 wide at 1/4 gives a one-column strip: no blend, no byte wrap-around.
  TPixelBuffer img = Random(7, 4, 8);
  const TPixelBuffer before = geotest::Copy(img);
  EdgeMerge(img, 4);
  EXPECT_TRUE(SamePixels(img, before));
}

TEST(SeamlessEdge, MirroredTileIsUnchanged) {
  // Left-right and top-bottom symmetric: every strip already equals its partner.
  TPixelBuffer img;
  img.Allocate(12, 10, 0, 24);
  const TPixelBuffer r = Random(6, 5, 2);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) img.Row24(y)[x] = r.Row24(y < 5 ? y : 9 - y)[x < 6 ? x : 11 - x];
  const TPixelBuffer before = geotest::Copy(img);
  for (int amount : {2, 4, 9, 50}) {
    SeamlessEdge(img, amount);
    EXPECT_TRUE(SamePixels(img, before)) << amount;
  }
}

TEST(SeamlessEdge, TreatsAllFourEdgesAndLimitsTheAmount) {
  const TPixelBuffer src = Random(20, 16, 4);
  // All four edges: the same as blending right and bottom, turning, blending again.
  TPixelBuffer fast = geotest::Copy(src), slow = geotest::Copy(src);
  SeamlessEdge(fast, 5);
  EdgeMergeReference(slow, 5, 5);
  slow.MirrorColumns();
  slow.FlipRows();
  EdgeMergeReference(slow, 5, 5);
  slow.MirrorColumns();
  slow.FlipRows();
  EXPECT_TRUE(SamePixels(fast, slow));
  // Above min(w - 1, h - 1) = 15 the amount becomes 15 div 2 = 7.
  TPixelBuffer big = geotest::Copy(src), seven = geotest::Copy(src);
  SeamlessEdge(big, 16);
  SeamlessEdge(seven, 7);
  EXPECT_TRUE(SamePixels(big, seven));
  // An amount of 1 has nothing to blend; neither has a 1 x 1 picture.
  TPixelBuffer one = geotest::Copy(src);
  SeamlessEdge(one, 1);
  EXPECT_TRUE(SamePixels(one, src));
  TPixelBuffer dot = Random(1, 1, 3);
  const TPixelBuffer dotBefore = geotest::Copy(dot);
  SeamlessEdge(dot, 5);
  EXPECT_TRUE(SamePixels(dot, dotBefore));
}

TEST(FourWayFlip, OnePixelGivesFourOfTheSameColour) {
  TPixelBuffer img = geotest::Flat(1, 1, 10, 20, 30);
  FourWayFlip(img);
  ASSERT_EQ(img.Width(), 2);
  ASSERT_EQ(img.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], TRGB24{10, 20, 30}));
}

TEST(FourWayFlip, QuartersAreMirrorImages) {
  const TPixelBuffer src = Random(3, 2, 9);
  TPixelBuffer img = geotest::Copy(src);
  FourWayFlip(img);
  ASSERT_EQ(img.Width(), 6);
  ASSERT_EQ(img.Height(), 4);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const TRGB24 p = src.Row24(y)[x];
      EXPECT_TRUE(Same(img.Row24(y)[x], p));
      EXPECT_TRUE(Same(img.Row24(y)[5 - x], p));
      EXPECT_TRUE(Same(img.Row24(3 - y)[x], p));
      EXPECT_TRUE(Same(img.Row24(3 - y)[5 - x], p));
    }
}

TEST(RotateSeamless, RefusesANonSquarePicture) {
  TPixelBuffer img = Random(10, 9, 1);
  const TPixelBuffer before = geotest::Copy(img);
  EXPECT_EQ(RotateSeamless(img), TRotateSeamlessResult::NotSquare);
  EXPECT_TRUE(SamePixels(img, before));
  EXPECT_STREQ(kImageMustBeSquare, "Image must be square.  ReSize and try again.");
}

TEST(RotateSeamless, ShrinksBySineFortyFiveAndKeepsTheSize) {
  EXPECT_EQ(RotateSeamlessShrink(256), 181);
  EXPECT_EQ(RotateSeamlessShrink(99), 70);
  for (int n : {1, 2, 3, 32, 256}) {
    TPixelBuffer img = geotest::Flat(n, n, 5, 6, 7);
    EXPECT_EQ(RotateSeamless(img), TRotateSeamlessResult::Done);
    ASSERT_EQ(img.Width(), n);
    ASSERT_EQ(img.Height(), n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], TRGB24{5, 6, 7}));
  }
}

TEST(ScrollHorizontal, MovesContentWithWrapAround) {
  TPixelBuffer img = geotest::Numbered(6, 2);
  ScrollHorizontal(img, 2);  // [0..5] -> [4,5,0,1,2,3]
  const int right[6] = {4, 5, 0, 1, 2, 3};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(img.Row24(1)[x].b, right[x]);
  ScrollHorizontal(img, -3);  // then left by 3: [1,2,3,4,5,0]
  const int left[6] = {1, 2, 3, 4, 5, 0};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(img.Row24(0)[x].b, left[x]);
}

TEST(ScrollHorizontal, FullWidthAndItsMultiplesChangeNothing) {
  const TPixelBuffer src = Random(7, 3, 3);
  for (int a : {7, -7, 14, 0}) {
    TPixelBuffer img = geotest::Copy(src);
    ScrollHorizontal(img, a);
    EXPECT_TRUE(SamePixels(img, src)) << a;
  }
  TPixelBuffer img = geotest::Copy(src), once = geotest::Copy(src);
  ScrollHorizontal(img, 9);
  ScrollHorizontal(once, 2);
  EXPECT_TRUE(SamePixels(img, once));
}

// Effects that make a tile out of any picture: afterwards the wrap-around
// seam is no larger than the steps between neighbours inside the picture.
TEST(SeamlessProperty, TileMakersCloseTheSeam) {
  for (int n : {64, 99}) {
    const TPixelBuffer ramp = geotest::SmoothRamp(n, n);
    ASSERT_GT(geotest::SeamExcess(ramp), 50.0);
    struct Maker {
      const char* name;
      void (*run)(TPixelBuffer&);
    };
    const Maker makers[] = {
        {"EdgeMerge 1/16", [](TPixelBuffer& i) { EdgeMerge(i, 16); }},
        {"EdgeMerge 1/8", [](TPixelBuffer& i) { EdgeMerge(i, 8); }},
        {"EdgeMerge 1/4", [](TPixelBuffer& i) { EdgeMerge(i, 4); }},
        {"SeamlessEdge 12", [](TPixelBuffer& i) { SeamlessEdge(i, 12); }},
        {"FourWayFlip", [](TPixelBuffer& i) { FourWayFlip(i); }},
        {"RotateSeamless", [](TPixelBuffer& i) { RotateSeamless(i); }},
    };
    for (const Maker& m : makers) {
      TPixelBuffer img = geotest::Copy(ramp);
      m.run(img);
      EXPECT_LE(geotest::SeamExcess(img), 0.0) << m.name << " on " << n;
    }
  }
}

// Effects that keep a tile seamless, on random smooth tiles.
TEST(SeamlessProperty, KeepersKeepTheSeamClosed) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    const TPixelBuffer tile = geotest::SmoothTile(48, 40, seed);
    ASSERT_LE(geotest::SeamExcess(tile), 0.0);
    struct Keeper {
      const char* name;
      void (*run)(TPixelBuffer&);
    };
    const Keeper keepers[] = {
        {"Soften More", [](TPixelBuffer& i) { ApplyNamedKernel(i, 0); }},
        {"Sharpen", [](TPixelBuffer& i) { ApplyNamedKernel(i, 8); }},
        {"Blur", [](TPixelBuffer& i) { ApplyNamedKernel(i, 10); }},
        {"Classic Emboss", [](TPixelBuffer& i) { ClassicEmboss(i, 255); }},
        {"Split Gauss", [](TPixelBuffer& i) { SplitGauss(i, 3); }},
        {"Scroll", [](TPixelBuffer& i) { ScrollHorizontal(i, 17); }},
        {"Rotate 90", [](TPixelBuffer& i) { RotateQuarter(i); }},
    };
    for (const Keeper& k : keepers) {
      TPixelBuffer img = geotest::Copy(tile);
      k.run(img);
      // The seam is one more neighbour pair: allow it a rounding step over the largest.
      EXPECT_LE(geotest::SeamExcess(img), 0.5) << k.name << " seed " << seed;
    }
  }
}

// Translation-invariant effects commute with a wrap-around scroll. The 3 x 3
// kernels do so everywhere except at the four corner pixels, which see
// themselves in place of their diagonal neighbours.
TEST(SeamlessProperty, WrapInvariantEffectsCommuteWithScrolling) {
  const TPixelBuffer src = Random(11, 9, 77);
  const int dx = 4, dy = 3;
  auto corner = [](int x, int y, int w, int h) { return (x == 0 || x == w - 1) && (y == 0 || y == h - 1); };
  for (const auto& k : NamedKernels()) {
    TPixelBuffer a = geotest::Copy(src);
    Convolve3x3(a, k.kernel, k.divisor);
    a = geotest::Shifted(a, dx, dy);
    TPixelBuffer b = geotest::Shifted(src, dx, dy);
    Convolve3x3(b, k.kernel, k.divisor);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) {
        const int ox = ((x - dx) % 11 + 11) % 11, oy = ((y - dy) % 9 + 9) % 9;
        if (corner(x, y, 11, 9) || corner(ox, oy, 11, 9)) continue;
        EXPECT_TRUE(Same(a.Row24(y)[x], b.Row24(y)[x])) << k.name << " at " << x << "," << y;
      }
  }
  TPixelBuffer a = geotest::Copy(src);
  ClassicEmboss(a, 300);
  a = geotest::Shifted(a, dx, dy);
  TPixelBuffer b = geotest::Shifted(src, dx, dy);
  ClassicEmboss(b, 300);
  EXPECT_TRUE(SamePixels(a, b));
  // Scrolling itself: the horizontal scroll and the buffer's vertical one.
  TPixelBuffer c = geotest::Copy(src);
  ScrollHorizontal(c, dx);
  c.ScrollWrap(0, -dy);
  EXPECT_TRUE(SamePixels(c, geotest::Shifted(src, dx, dy)));
}

}  // namespace
}  // namespace vell
