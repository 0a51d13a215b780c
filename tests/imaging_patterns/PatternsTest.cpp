#include "imaging/Patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "GeoTestImages.h"
#include "PatternTestSupport.h"
#include "imaging/Geometry.h"

namespace vell {
namespace {

using geotest::Copy;
using geotest::Flat;
using geotest::Numbered;
using geotest::Random;
using geotest::Same;
using geotest::SamePixels;
using pattest::FixedSeed;
using pattest::Gray;

// ---- settings that leave the picture as it was ---------------------------------

TEST(Patterns, SettingsThatChangeNothing) {
  const TPixelBuffer empty;
  struct Case {
    const char* what;
    int w, h;
    std::function<void(TPixelBuffer&)> run;
  };
  const Case cases[] = {
      {"Marble turbulence 0", 20, 10, [](TPixelBuffer& i) { EXPECT_EQ(Marble(i, 700, 0, 2.5), TMarbleResult::TurbulenceZero); }},
      {"SuperNova radius 0", 16, 12, [](TPixelBuffer& i) { SuperNova(i, 0x0080FF, 0, 64, 32, 8, 6); }},
      {"SuperNova no spokes", 16, 12, [](TPixelBuffer& i) { SuperNova(i, 0x0080FF, 32, 0, 32, 8, 6); }},
      {"SuperNova negative spokes", 16, 12, [](TPixelBuffer& i) { SuperNova(i, 0x0080FF, 32, -3, 32, 8, 6); }},
      {"SuperNova too many spokes", 16, 12, [](TPixelBuffer& i) { SuperNova(i, 0x0080FF, 32, kMaxNovaSpokes + 1, 32, 8, 6); }},
      {"Mosaic cell 1", 25, 25, [](TPixelBuffer& i) { Mosaic(i, 1); }},
      {"Mosaic cell -4", 25, 25, [](TPixelBuffer& i) { Mosaic(i, -4); }},
      {"Mosaic cell above half the width", 25, 25, [](TPixelBuffer& i) { Mosaic(i, 13); }},
      {"Mosaic cell above half the height", 40, 10, [](TPixelBuffer& i) { Mosaic(i, 6); }},
      {"Mosaic on 3 x 3", 3, 3, [](TPixelBuffer& i) { Mosaic(i, 2); }},
      {"Circle Mosaic size 0", 25, 25, [](TPixelBuffer& i) { CircleMosaic(i, 0); }},
      {"Circle Mosaic above half the width", 25, 25, [](TPixelBuffer& i) { CircleMosaic(i, 13); }},
      {"Circle Mosaic above half the height", 40, 10, [](TPixelBuffer& i) { CircleMosaic(i, 6); }},
      {"Cycloid Mosaic cell 0", 64, 64, [](TPixelBuffer& i) { CycloidMosaic(i, 0); }},
      {"Concentric Rects 0", 30, 30, [](TPixelBuffer& i) { ConcentricRects(i, 0); }},
      {"Concentric Rects -5", 30, 30, [](TPixelBuffer& i) { ConcentricRects(i, -5); }},
      {"Astroid thickness 0", 16, 16, [](TPixelBuffer& i) { Astroid(i, 0); }},
      {"Astroid thickness -3", 16, 16, [](TPixelBuffer& i) { Astroid(i, -3); }},
      {"Buttonize edge 0", 6, 5, [](TPixelBuffer& i) { Buttonize(i, 0, 0xFFFFFF, 0); }},
      {"Spray 1", 9, 7, [](TPixelBuffer& i) { Spray(i, 1); }},
      {"Spray 0", 9, 7, [](TPixelBuffer& i) { Spray(i, 0); }},
      {"Spray -7", 9, 7, [](TPixelBuffer& i) { Spray(i, -7); }},
      {"Trace intensity 0", 9, 7, [](TPixelBuffer& i) { Trace(i, 0, 0); }},
      {"Gradient Bars 0", 10, 4, [](TPixelBuffer& i) { GradientBars(i, 0, 0, 0xFFFFFF); }},
      {"Merge Buffer without a buffer", 5, 5, [&](TPixelBuffer& i) { EXPECT_FALSE(MergeBuffer(i, 50, empty)); }},
      {"Merge Gradient without a gradient", 5, 5, [&](TPixelBuffer& i) { EXPECT_FALSE(MergeGradient(i, 50, empty)); }},
  };
  for (const Case& c : cases) {
    TPixelBuffer img = Random(c.w, c.h, 8);
    const TPixelBuffer before = Copy(img);
    c.run(img);
    EXPECT_TRUE(SamePixels(img, before)) << c.what;
  }
  // A picture of one colour has no outline to trace.
  for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {17, 9}}) {
    TPixelBuffer img = Flat(w, h, 10, 200, 90);
    Trace(img, 2, 0x0000FF);
    EXPECT_TRUE(SamePixels(img, Flat(w, h, 10, 200, 90))) << "Trace of one colour " << w << "x" << h;
  }
  EXPECT_STREQ(kTurbulenceCannotBeZero, "Turbulence cannot be zero");
}

// ---- plasma -----------------------------------------------------------------

TEST(PlasmaField, LastColumnAndRowRepeatTheFirst) {
  FixedSeed seed;
  for (uint32_t s : {1u, 77u, 123456u}) {
    seed.Set(s);
    TPlasmaField f;
    PlasmaField(f, 700, 256, 256);
    for (int y = 0; y < 256; ++y) ASSERT_EQ(f.At(255, y), f.At(0, y)) << "seed " << s << " row " << y;
    for (int x = 0; x < 256; ++x) ASSERT_EQ(f.At(x, 255), f.At(x, 0)) << "seed " << s << " column " << x;
    // Everything was computed: only the four seeds may be 0.
    int zeros = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        ASSERT_LE(f.At(x, y), 255);
        zeros += f.At(x, y) == 0;
      }
    EXPECT_LE(zeros, 8) << s;  // a zero seed on the first row or column is copied once
  }
}

TEST(PlasmaField, OddSizesLeaveTheLastColumnAndRowUncomputed) {
  FixedSeed seed(5);
  TPlasmaField f;
  PlasmaField(f, 300, 9, 13);
  ASSERT_EQ(f.Width(), 13);
  ASSERT_EQ(f.Height(), 9);
  for (int y = 0; y < 9; ++y) EXPECT_EQ(f.At(12, y), 0) << y;
  for (int x = 0; x < 13; ++x) EXPECT_EQ(f.At(x, 8), 0) << x;
  for (int y = 0; y < 8; ++y) EXPECT_EQ(f.At(11, y), f.At(0, y)) << y;
}

TEST(PlasmaField, GraininessOneOnlyAveragesTheSeeds) {
  FixedSeed seed;
  for (uint32_t s : {3u, 99u, 4242u}) {
    seed.Set(s);
    TPlasmaField f;
    PlasmaField(f, 1, 64, 64);
    const int seeds[4] = {f.At(0, 0), f.At(32, 0), f.At(0, 32), f.At(32, 32)};
    const int lo = std::max(1, *std::min_element(seeds, seeds + 4)), hi = *std::max_element(seeds, seeds + 4);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool isSeed = (x == 0 || x == 32 || x == 63) && (y == 0 || y == 32 || y == 63);
        if (isSeed) continue;
        ASSERT_GE(f.At(x, y), lo) << x << "," << y;
        ASSERT_LE(f.At(x, y), hi) << x << "," << y;
      }
    // The first edge midpoint is the rounded-up mean of its ends.
    EXPECT_EQ(f.At(16, 0), std::max(1, (f.At(0, 0) + f.At(32, 0) + 1) >> 1));
  }
}

TEST(PlasmaCloud, GrayAndTheSameSeedGivesTheSameCloud) {
  FixedSeed seed(2024);
  TPixelBuffer a = Random(64, 48, 1), b = Random(64, 48, 2);
  PlasmaCloud(a, 700);
  seed.Set(2024);
  PlasmaCloud(b, 700);
  EXPECT_TRUE(SamePixels(a, b));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_TRUE(a.Row24(y)[x].b == a.Row24(y)[x].g && a.Row24(y)[x].g == a.Row24(y)[x].r);
  // Noise: with graininess the cloud is not a smooth blend of four seeds.
  int levels[256] = {};
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) levels[a.Row24(y)[x].g] = 1;
  EXPECT_GT(std::count(levels, levels + 256, 1), 40);
}

// ---- marble -----------------------------------------------------------------

TEST(Marble, FoldsAboutTheCentre) {
  FixedSeed seed(9);
  const TPixelBuffer src = Numbered(30, 20);
  // Scale 0 sends every pixel to the top-left one.
  TPixelBuffer zero = Copy(src);
  EXPECT_EQ(Marble(zero, 700, 10, 0.0), TMarbleResult::Done);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_TRUE(Same(zero.Row24(y)[x], src.Row24(0)[0])) << x << "," << y;
  // A huge turbulence flattens the plasma's effect: sin ~ 0, cos ~ 1, so the
  // picture is the left column folded about row height div 2 + 1.
  TPixelBuffer fold = Copy(src);
  Marble(fold, 700, 2000000000, 1.0);
  for (int y = 0; y < 20; ++y) {
    const int m = std::clamp(std::abs(y - 20 / 2 - 1) - 1, 0, 19);
    for (int x = 0; x < 30; ++x) ASSERT_TRUE(Same(fold.Row24(y)[x], src.Row24(m)[0])) << x << "," << y;
  }
}

// ---- SuperNova --------------------------------------------------------------

TEST(SuperNova, BrightCoreFadingOutward) {
  FixedSeed seed(77);
  TPixelBuffer img = Flat(200, 200, 40, 40, 40);
  SuperNova(img, 0x0000FF, 8, 16, 0, 100, 100);  // red pen, no hue walk
  EXPECT_EQ(img.Row24(100)[100].r, 255);
  // With no hue walk every spoke is the pen's red: blue and green only glow.
  const TRGB24 mid = img.Row24(100)[112];
  EXPECT_GT(mid.r, mid.g + 100);
  EXPECT_EQ(mid.g, mid.b);
  // Far from a small core the picture shows through nearly untouched.
  TPixelBuffer far = Flat(200, 200, 40, 40, 40);
  SuperNova(far, 0x0000FF, 2, 16, 0, 100, 100);
  for (auto [x, y] : {std::pair{0, 0}, {199, 0}, {0, 199}, {199, 199}}) {
    const TRGB24 p = far.Row24(y)[x];
    EXPECT_NEAR(p.b, 40, 4) << x << "," << y;
    EXPECT_NEAR(p.r, 42, 6) << x << "," << y;
  }
}

TEST(SuperNova, CentreIsHeldInsideThePicture) {
  struct Case {
    int x, y, heldX, heldY;
  };
  const Case cases[] = {{-50, 5, 0, 5}, {5, -1, 5, 0}, {1000, 3, 31, 3}, {3, 1000, 3, 23}};
  for (const Case& c : cases) {
    FixedSeed seed(12);
    TPixelBuffer a = Random(32, 24, 6), b = Copy(a);
    SuperNova(a, 0x00FF00, 10, 12, 90, c.x, c.y);
    seed.Set(12);
    SuperNova(b, 0x00FF00, 10, 12, 90, c.heldX, c.heldY);
    EXPECT_TRUE(SamePixels(a, b)) << c.x << "," << c.y;
  }
}

// ---- mosaic -----------------------------------------------------------------

TEST(Mosaic, CellTenOnTwentyFive) {
  const TPixelBuffer src = Numbered(25, 25);
  TPixelBuffer img = Copy(src);
  Mosaic(img, 10);
  auto from = [](int v) { return v < 20 ? v / 10 * 10 + 5 : 24; };
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 25; ++x)
      ASSERT_TRUE(Same(img.Row24(y)[x], src.Row24(from(y))[from(x)])) << x << "," << y;
}

TEST(CircleMosaic, InscribedCirclesAndFlushOnesAtTheEdges) {
  const TPixelBuffer src = Numbered(20, 20);
  TPixelBuffer img = Copy(src);
  CircleMosaic(img, 6);
  // Full cells at 0, 6 and 12: the centre and its cross take the centre pixel,
  // the corners keep the picture. (The circles flush with the right and
  // bottom edges cover part of the cells at 12.)
  for (int y0 : {0, 6})
    for (int x0 : {0, 6}) {
      const TRGB24 c = src.Row24(y0 + 3)[x0 + 3];
      for (auto [dx, dy] : {std::pair{3, 3}, {1, 3}, {4, 3}, {3, 1}, {3, 4}})
        ASSERT_TRUE(Same(img.Row24(y0 + dy)[x0 + dx], c)) << x0 << "," << y0 << " +" << dx << "," << dy;
      ASSERT_TRUE(Same(img.Row24(y0)[x0], src.Row24(y0)[x0])) << x0 << "," << y0;
      EXPECT_TRUE(Same(img.Row24(y0 + 3)[13], src.Row24(y0 + 3)[15])) << y0;
      EXPECT_TRUE(Same(img.Row24(13)[x0 + 3], src.Row24(15)[x0 + 3])) << x0;
    }
  // The cut-off cells: a full circle flush with the edge (14 ... 19),
  // coloured from the last column, the last row and the corner.
  for (int y0 : {0, 6}) EXPECT_TRUE(Same(img.Row24(y0 + 3)[17], src.Row24(y0 + 3)[19])) << y0;
  for (int x0 : {0, 6}) EXPECT_TRUE(Same(img.Row24(17)[x0 + 3], src.Row24(19)[x0 + 3])) << x0;
  EXPECT_TRUE(Same(img.Row24(17)[17], src.Row24(19)[19]));
  EXPECT_TRUE(Same(img.Row24(19)[19], src.Row24(19)[19]));  // a corner outside every circle
}

// ---- cycloid mosaic and astroid -------------------------------------------------

TEST(CycloidMosaic, SquaresOnTheCurvesInAGrowingColour) {
  TPixelBuffer img = Flat(64, 64, 1, 2, 3);
  CycloidMosaic(img, 3);
  // Five curves of 361 squares; the last square (i = 5, j = 360) is on top.
  const int x = static_cast<int>(std::nearbyint(std::cos(360) * 7 * 5 - 5 * std::cos(7.0 * 360) + 32));
  const int y = static_cast<int>(std::nearbyint(7.0 * 5 * std::sin(360) - 5 * std::sin(7.0 * 360) + 32));
  const uint32_t last = 0xF08000 + 16 * (5 * 361 - 1);  // 0x00BBGGRR
  const TRGB24 expected{static_cast<uint8_t>(last >> 16), static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last)};
  ASSERT_EQ(x, 18);  // the last square sits on the bottom edge, (15, 60) ... (21, 66)
  ASSERT_EQ(y, 63);
  for (auto [dx, dy] : {std::pair{0, 0}, {-3, -3}, {2, -1}}) EXPECT_TRUE(Same(img.Row24(y + dy)[x + dx], expected));
  // The curves stay within 40 + 3 pixels of the centre: the corners keep the picture.
  for (auto [cx, cy] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}})
    EXPECT_TRUE(Same(img.Row24(cy)[cx], TRGB24{1, 2, 3}));
  // Squares larger than the picture: the last one covers it all.
  for (int big : {200, 100000, 2147483647}) {
    TPixelBuffer all = Random(64, 64, 39);
    CycloidMosaic(all, big);
    for (auto [cx, cy] : {std::pair{0, 0}, {63, 0}, {17, 40}, {63, 63}})
      EXPECT_TRUE(Same(all.Row24(cy)[cx], expected)) << big;
  }
}

TEST(Astroid, CurvesInTheLeftColumnsColours) {
  // Column 0 holds one colour per row; the rest is white.
  TPixelBuffer img = Flat(40, 30, 255, 255, 255);
  for (int y = 0; y < 30; ++y) img.Row24(y)[0] = TRGB24{static_cast<uint8_t>(y), 0, 200};
  const TPixelBuffer before = Copy(img);
  Astroid(img, 5);
  int painted = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const TRGB24 p = img.Row24(y)[x];
      if (Same(p, before.Row24(y)[x])) continue;
      ++painted;
      ASSERT_TRUE(p.g == 0 && p.r == 200 && p.b < 30) << x << "," << y;
    }
  EXPECT_GT(painted, 200);
  // Every curve starts on the row through the centre, right of it.
  TPixelBuffer one = Flat(40, 30, 255, 255, 255);
  for (int y = 0; y < 30; ++y) one.Row24(y)[0] = TRGB24{9, 8, 7};
  Astroid(one, 3);
  for (int x = 21; x < 40; ++x) EXPECT_TRUE(Same(one.Row24(15)[x], TRGB24{9, 8, 7})) << x;
}

// ---- concentric rects -------------------------------------------------------

TEST(ConcentricRects, CopiesNestAtEachStepUntilHalfTheWidth) {
  // A red frame on blue: every shrunk copy carries a (softened) red frame.
  TPixelBuffer img = Flat(64, 64, 255, 0, 0);
  for (int i = 0; i < 64; ++i) img.Row24(0)[i] = img.Row24(63)[i] = img.Row24(i)[0] = img.Row24(i)[63] = {0, 0, 255};
  const TPixelBuffer before = Copy(img);
  ConcentricRects(img, 10);
  // The outer ten pixels keep the picture.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (x < 10 || y < 10 || x >= 54 || y >= 54) {
        ASSERT_TRUE(Same(img.Row24(y)[x], before.Row24(y)[x])) << x << "," << y;
      }
  // Copies of 44, 24 and 4 pixels start at 10, 20 and 30; 4 is not above
  // 64 div 2 - 10, so no further copy.
  for (int edge : {10, 20}) {
    EXPECT_GT(img.Row24(32)[edge].r, 100) << edge;
    EXPECT_GT(img.Row24(32)[edge + 2].b, 150) << edge;
  }
  EXPECT_GT(img.Row24(31)[30].r, 0);
}

TEST(ConcentricRects, CopiesStopAtTheLastOneWithPixels) {
  // A wide strip runs out of height long before the width test stops: the
  // copies stop at the last one that has rows (190 x 10 at 5, 5).
  const TPixelBuffer src = Random(200, 20, 10);
  TPixelBuffer strip = Copy(src), expected = Copy(src), shrunk = Copy(src);
  ConcentricRects(strip, 5);
  ResizeSmooth(shrunk, 190, 10, true);
  shrunk.PaintTo(expected, 5, 5);
  EXPECT_TRUE(SamePixels(strip, expected));
}

// ---- buttonize ----------------------------------------------------------------

TEST(Buttonize, EdgeThreeOnEightByEight) {
  TPixelBuffer img = Flat(8, 8, 100, 100, 100);
  Buttonize(img, 0x000000, 0xFFFFFF, 3);
  const uint8_t expected[8][8] = {
      {255, 255, 255, 255, 255, 255, 255, 255}, {255, 216, 177, 177, 177, 177, 152, 0},
      {255, 177, 100, 100, 100, 100, 50, 0},    {255, 177, 100, 100, 100, 100, 50, 0},
      {255, 177, 100, 100, 100, 100, 50, 0},    {255, 177, 100, 100, 100, 100, 50, 0},
      {255, 177, 50, 50, 50, 50, 50, 0},        {255, 0, 0, 0, 0, 0, 0, 0},
  };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], Gray(expected[y][x]))) << x << "," << y;
}

TEST(Buttonize, EdgeOneIsAPureFrame) {
  TPixelBuffer img = Flat(5, 4, 9, 9, 9);
  Buttonize(img, 0x0000FF, 0xFF0000, 1);  // pen red, brush blue
  const TRGB24 red{0, 0, 255}, blue{255, 0, 0}, keep{9, 9, 9};
  const TRGB24 expected[4][5] = {
      {blue, blue, blue, blue, blue},
      {blue, keep, keep, keep, red},
      {blue, keep, keep, keep, red},
      {blue, red, red, red, red},
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], expected[y][x])) << x << "," << y;
}

// ---- spray ------------------------------------------------------------------

TEST(Spray, EveryPixelComesFromWithinTheScatterWrapped) {
  for (int s : {2, 5, 40}) {
    const TPixelBuffer src = Numbered(30, 20);
    TPixelBuffer img = Copy(src);
    SetRandomState(1234);
    Spray(img, s);
    int moved = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) {
        const TRGB24 p = img.Row24(y)[x];  // blue: source column, green: source row
        bool reachX = false, reachY = false;
        for (int d = -(s - 2); d <= s - 1; ++d) {
          reachX = reachX || WrapIndex(x + d, 30) == p.b;
          reachY = reachY || WrapIndex(y + d, 20) == p.g;
        }
        ASSERT_TRUE(reachX && reachY) << "scatter " << s << " at " << x << "," << y;
        moved += p.b != x || p.g != y;
      }
    EXPECT_GT(moved, 100) << s;
  }
}

// ---- trace ------------------------------------------------------------------

TEST(Trace, OutlinesOnTheSideAwayFromTheFirstRegionMet) {
  const TRGB24 A{0, 0, 0}, B{255, 255, 255}, C{128, 128, 128}, R{0, 0, 255};
  struct Case {
    const char* what;
    std::vector<TRGB24> row;
    int intensity;
    std::vector<TRGB24> expected;
  };
  const std::vector<Case> cases = {
      {"two regions", {A, A, B, B}, 1, {A, A, R, R}},
      {"two regions, twice", {A, A, B, B}, 2, {A, A, R, R}},
      {"three regions once", {A, A, B, B, C, C}, 1, {A, A, R, R, C, R}},
      {"three regions twice", {A, A, B, B, C, C}, 2, {A, A, R, R, R, R}},
      {"three regions, more is twice", {A, A, B, B, C, C}, 7, {A, A, R, R, R, R}},
      {"no repetitions", {A, A, B, B, C, C}, 0, {A, A, B, B, C, C}},
  };
  for (const Case& c : cases) {
    const int w = static_cast<int>(c.row.size());
    TPixelBuffer img;
    img.Allocate(w, 3, 0, 24);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) img.Row24(y)[x] = c.row[x];
    Trace(img, c.intensity, 0x0000FF);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], c.expected[x])) << c.what << " at " << x << "," << y;
  }
}

// ---- gradient bars and merges -------------------------------------------------

TEST(GradientBars, ArchesFromBeginToEnd) {
  const uint32_t begin = 0x0000FF, end = 0xFF0000;  // red to blue
  const TRGB24 red{0, 0, 255}, blue{255, 0, 0};
  struct Case {
    int w, bars;
    std::vector<std::pair<int, TRGB24>> columns;
  };
  const Case cases[] = {
      {100, 1, {{0, red}, {50, blue}}},
      {100, 2, {{0, red}, {25, blue}, {50, red}, {75, blue}}},
      {100, -1, {{0, red}, {50, blue}}},
      {1, 3, {{0, red}}},
  };
  for (const Case& c : cases) {
    TPixelBuffer img = Random(c.w, 7, 14);
    GradientBars(img, c.bars, begin, end);
    for (auto [x, colour] : c.columns) EXPECT_TRUE(Same(img.Row24(0)[x], colour)) << c.bars << " bars, column " << x;
    for (int y = 1; y < 7; ++y)
      for (int x = 0; x < c.w; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], img.Row24(0)[x])) << x << "," << y;
  }
  // A column between: t = trunc(|sin(10 / 100 pi)| * 255) = 78.
  TPixelBuffer img = Flat(100, 1, 0, 0, 0);
  GradientBars(img, 1, 0x0A1400, 0xFFFFFF);
  const TRGB24 p = img.Row24(0)[10];
  EXPECT_EQ(p.r, 0 + 78 * 255 / 255);
  EXPECT_EQ(p.g, 20 + 78 * (255 - 20) / 255);
  EXPECT_EQ(p.b, 10 + 78 * (255 - 10) / 255);
}

TEST(MergeBuffer, PercentagesAndChannels) {
  struct Case {
    int percent;
    TRGB24 picture, other, expected;
  };
  const Case cases[] = {
      // Half of black halves, ties to even: 255 -> 128, 3 -> 2, 5 -> 2, 201 -> 100.
      {50, {255, 3, 5}, {0, 0, 0}, {128, 2, 2}},
      {50, {1, 201, 128}, {0, 0, 0}, {0, 100, 64}},
      {25, {0, 100, 200}, {200, 100, 0}, {50, 100, 150}},
      {99, {0, 0, 0}, {255, 255, 255}, {252, 252, 252}},  // 252.45
      {1, {0, 0, 0}, {255, 255, 255}, {3, 3, 3}},         // 2.55
      {150, {0, 255, 100}, {255, 0, 100}, {255, 0, 100}},  // held to 0 ... 255
  };
  for (const Case& c : cases) {
    TPixelBuffer img = Flat(2, 2, c.picture.b, c.picture.g, c.picture.r);
    const TPixelBuffer other = Flat(2, 2, c.other.b, c.other.g, c.other.r);
    ASSERT_TRUE(c.percent == 25 ? MergeGradient(img, c.percent, other) : MergeBuffer(img, c.percent, other));
    const TRGB24 p = img.Row24(1)[1];
    EXPECT_TRUE(Same(p, c.expected)) << c.percent << "%: " << int(p.b) << " " << int(p.g) << " " << int(p.r);
  }
}

TEST(MergeBuffer, TheOtherPictureIsStretchedNearest) {
  TPixelBuffer other;
  other.Allocate(2, 2, 0, 24);
  other.Row24(0)[0] = {200, 0, 0};
  other.Row24(0)[1] = {0, 200, 0};
  other.Row24(1)[0] = {0, 0, 200};
  other.Row24(1)[1] = {200, 200, 200};
  TPixelBuffer img = Flat(4, 6, 0, 0, 0);
  ASSERT_TRUE(MergeBuffer(img, 50, other));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) {
      const TRGB24 o = other.Row24(y * 2 / 6)[x * 2 / 4];
      const TRGB24 e{static_cast<uint8_t>(o.b / 2), static_cast<uint8_t>(o.g / 2), static_cast<uint8_t>(o.r / 2)};
      ASSERT_TRUE(Same(img.Row24(y)[x], e)) << x << "," << y;
    }
}

}  // namespace
}  // namespace vell
