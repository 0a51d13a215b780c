#include "imaging/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

#include "GeoTestImages.h"

namespace vell {
namespace {

using geotest::Numbered;
using geotest::Random;
using geotest::Same;
using geotest::SamePixels;

TEST(RotateQuarter, ThreeByTwoBecomesTwoByThreeTopRowToRightColumn) {
  TPixelBuffer img = Numbered(3, 2);
  const TPixelBuffer before = geotest::Copy(img);
  RotateQuarter(img);
  ASSERT_EQ(img.Width(), 2);
  ASSERT_EQ(img.Height(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(Same(img.Row24(x)[2 - 1 - y], before.Row24(y)[x])) << x << "," << y;
  // The top row is now the right column, read downwards.
  for (int x = 0; x < 3; ++x) EXPECT_TRUE(Same(img.Row24(x)[1], before.Row24(0)[x]));
}

TEST(RotateQuarter, FourTurnsAreTheIdentity) {
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {1, 7}, {66, 65}}) {
    TPixelBuffer img = Random(w, h, 7);
    const TPixelBuffer before = geotest::Copy(img);
    for (int i = 0; i < 4; ++i) RotateQuarter(img);
    EXPECT_TRUE(SamePixels(img, before)) << w << "x" << h;
  }
}

// The bilinear resize written out the slow way, one pixel at a time.
TPixelBuffer ResizeReference(const TPixelBuffer& src, int nw, int nh, bool proportional) {
  const int ow = src.Width(), oh = src.Height();
  const float sx = proportional ? float(nw) / float(ow) : float(nw) / float(ow - 1);
  const float sy = proportional ? float(nh) / float(oh) : float(nh) / float(oh - 1);
  TPixelBuffer out;
  out.Allocate(nw, nh, 0, 24);
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < nw; ++x) {
      const float fy = float(y) / sy, fx = float(x) / sx;
      const int iy = int(fy), ix = int(fx);
      const float wy1 = fy - float(iy), wy0 = 1 - wy1, wx1 = fx - float(ix), wx0 = 1 - wx1;
      const int ix1 = std::min(ix + 1, ow - 1), iy1 = std::min(iy + 1, oh - 1);
      uint8_t v[3];
      for (int ch = 0; ch < 3; ++ch) {
        const float s = wx0 * wy0 * float(geotest::Channel(src.Row24(iy)[ix], ch)) +
                        wx1 * wy0 * float(geotest::Channel(src.Row24(iy)[ix1], ch)) +
                        wx0 * wy1 * float(geotest::Channel(src.Row24(iy1)[ix], ch)) +
                        wx1 * wy1 * float(geotest::Channel(src.Row24(iy1)[ix1], ch));
        v[ch] = static_cast<uint8_t>(std::nearbyint(s));
      }
      out.Row24(y)[x] = TRGB24{v[0], v[1], v[2]};
    }
  return out;
}

TEST(ResizeSmooth, EndToEndTwoByTwoToFourByFour) {
  TPixelBuffer img;
  img.Allocate(2, 2, 0, 24);
  img.Row24(0)[0] = {0, 0, 0};
  img.Row24(0)[1] = {100, 100, 100};
  img.Row24(1)[0] = {200, 200, 200};
  img.Row24(1)[1] = {40, 40, 40};
  ResizeSmooth(img, 4, 4, false);
  ASSERT_EQ(img.Width(), 4);
  ASSERT_EQ(img.Height(), 4);
  // Column 0 samples source column 0 exactly; column 3 samples 0.75.
  EXPECT_EQ(img.Row24(0)[0].g, 0);
  EXPECT_EQ(img.Row24(0)[3].g, 75);
  EXPECT_EQ(img.Row24(3)[0].g, 150);
  // 0.5625 * 0 + 0.1875 * 100 + 0.1875 * 200 + 0.0625 * 40 = 58.75
  EXPECT_EQ(img.Row24(1)[1].g, 59);
  // 0.5 * 0 + 0.5 * 100 exactly: no rounding involved.
  EXPECT_EQ(img.Row24(0)[2].g, 50);
}

TEST(ResizeSmooth, SameSizeReturnsAtOnce) {
  TPixelBuffer img = Random(5, 4, 3);
  const uint8_t* bits = img.Bits();
  const TPixelBuffer before = geotest::Copy(img);
  ResizeSmooth(img, 5, 4, false);
  ResizeSmooth(img, 5, 4, true);
  EXPECT_EQ(img.Bits(), bits);
  EXPECT_TRUE(SamePixels(img, before));
}

TEST(ResizeSmooth, MatchesTheSlowReference) {
  const std::tuple<int, int, int, int, bool> cases[] = {
      {7, 5, 13, 11, false}, {7, 5, 3, 2, false}, {7, 5, 13, 11, true}, {7, 5, 3, 2, true},
      {16, 16, 8, 8, true},  {16, 16, 32, 32, false}, {3, 9, 40, 4, false}, {30, 20, 31, 19, true},
  };
  for (auto [ow, oh, nw, nh, prop] : cases) {
    const TPixelBuffer src = Random(ow, oh, 11);
    TPixelBuffer img = geotest::Copy(src);
    ResizeSmooth(img, nw, nh, prop);
    EXPECT_TRUE(SamePixels(img, ResizeReference(src, nw, nh, prop))) << ow << "x" << oh << "->" << nw << "x" << nh;
  }
}

TEST(ResizeSmooth, ProportionalHalvingPicksEveryOtherPixel) {
  const TPixelBuffer src = Random(8, 6, 5);
  TPixelBuffer img = geotest::Copy(src);
  ResizeSmooth(img, 4, 3, true);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], src.Row24(2 * y)[2 * x]));
}

TEST(ResizeSmooth, ProportionalLastColumnStandsInForOnePast) {
  // 2 -> 3: target column 2 samples 1.333; its second neighbour would be column 2.
  TPixelBuffer img = geotest::Flat(2, 1, 0, 0, 0);
  img.Row24(0)[1] = {90, 90, 90};
  ResizeSmooth(img, 3, 1, true);
  EXPECT_EQ(img.Row24(0)[2].b, 90);
}

TEST(ResizeSmooth, ZeroSizesAndOnePixelSourcesNeverFail) {
  struct Case {
    int ow, oh, nw, nh;
    bool prop;
    int ew, eh;
  };
  const Case cases[] = {
      {4, 4, 0, 0, false, 1, 1}, {4, 4, -3, 2, true, 1, 2}, {1, 1, 3, 2, false, 3, 2},
      {1, 3, 4, 3, false, 4, 3}, {3, 1, 3, 5, false, 3, 5}, {1, 1, 5, 5, true, 5, 5},
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.ow, c.oh, 9);
    TPixelBuffer img = geotest::Copy(src);
    ResizeSmooth(img, c.nw, c.nh, c.prop);
    ASSERT_EQ(img.Width(), c.ew);
    ASSERT_EQ(img.Height(), c.eh);
    // A one-pixel-wide source is replicated across; one pixel high, down.
    if (c.ow == 1) {
      for (int y = 0; y < c.eh; ++y)
        for (int x = 0; x < c.ew; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], img.Row24(y)[0]));
    }
    if (c.oh == 1) {
      for (int y = 0; y < c.eh; ++y)
        for (int x = 0; x < c.ew; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], img.Row24(0)[x]));
    }
    if (c.ow == 1 && c.oh == 1) {
      EXPECT_TRUE(Same(img.Row24(c.eh - 1)[c.ew - 1], src.Row24(0)[0]));
    }
  }
}

TEST(ResizeFast, NeverBlendsColours) {
  const TPixelBuffer src = Numbered(9, 7);
  std::set<std::tuple<int, int, int>> colours;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) colours.insert({src.Row24(y)[x].b, src.Row24(y)[x].g, src.Row24(y)[x].r});
  for (auto [nw, nh] : {std::pair{20, 15}, {4, 3}, {9, 30}, {1, 1}}) {
    TPixelBuffer img = geotest::Copy(src);
    ResizeFast(img, nw, nh);
    ASSERT_EQ(img.Width(), nw);
    ASSERT_EQ(img.Height(), nh);
    for (int y = 0; y < nh; ++y)
      for (int x = 0; x < nw; ++x) {
        const TRGB24 p = img.Row24(y)[x];
        EXPECT_TRUE(colours.count({p.b, p.g, p.r})) << nw << "x" << nh << " at " << x << "," << y;
      }
  }
}

TEST(ResizeFast, ZeroSizeBecomesOnePixel) {
  TPixelBuffer img = Random(4, 4, 1);
  ResizeFast(img, 0, 0);
  EXPECT_EQ(img.Width(), 1);
  EXPECT_EQ(img.Height(), 1);
}

TEST(RotateInto, ZeroDegreesIsACopy) {
  const TPixelBuffer src = Random(6, 5, 2);
  TPixelBuffer dst;
  dst.Allocate(6, 5, 0, 24);
  src.RotateInto(dst, 3, 2, 0.0);
  EXPECT_TRUE(SamePixels(src, dst));
}

TEST(RotateInto, HalfTurnAboutTheOriginWrapsNegativeIntegersOneShort) {
  // theta = -180: column x reads source x' = -x, row y reads -y; an exact
  // negative integer -n lands on size - 1 - (n mod size).
  const TPixelBuffer src = Numbered(4, 4);
  TPixelBuffer dst;
  dst.Allocate(4, 4, 0, 24);
  src.RotateInto(dst, 0, 0, 180.0);
  const int expected[4] = {0, 2, 1, 0};  // -0, -1 -> 2, -2 -> 1, -3 -> 0
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(Same(dst.Row24(y)[x], src.Row24(expected[y])[expected[x]])) << x << "," << y;
}

TEST(RotateInto, LargerDestinationIsCentredAndFilledByWrapAround) {
  const TPixelBuffer src = Numbered(4, 4);
  TPixelBuffer dst;
  dst.Allocate(6, 6, 0, 24);
  src.RotateInto(dst, 2, 2, 0.0);
  // Offset (6 - 4) / 2 = 1: destination column 0 reads source column -1,
  // which the rotation's wrap rule turns into column 2.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const int sx = x - 1 < 0 ? 2 : (x - 1) % 4, sy = y - 1 < 0 ? 2 : (y - 1) % 4;
      EXPECT_TRUE(Same(dst.Row24(y)[x], src.Row24(sy)[sx])) << x << "," << y;
    }
}

// The rotation as written down: step along each destination row from its
// fixed-point start, one pixel at a time.
void RotateReference(const TPixelBuffer& src, TPixelBuffer& dst, int cx, int cy, double angle) {
  auto index = [](int64_t v, int size) {
    if (v >= 0) return static_cast<int>((v >> 16) % size);
    return size - static_cast<int>(((-v) >> 16) % size) - 1;
  };
  const double theta = -angle * 0.017453292519943295769, s = std::sin(theta), c = std::cos(theta);
  const int64_t cs = static_cast<int64_t>(std::nearbyint(c * 65536.0)), ss = static_cast<int64_t>(std::nearbyint(s * 65536.0));
  const double ox = (dst.Width() - src.Width()) / 2.0, oy = (dst.Height() - src.Height()) / 2.0;
  for (int y = 0; y < dst.Height(); ++y) {
    int64_t X = static_cast<int64_t>(std::nearbyint((cx - cx * c - (y - cy) * s - ox) * 65536.0));
    int64_t Y = static_cast<int64_t>(std::nearbyint((cy - cx * s + (y - cy) * c - oy) * 65536.0));
    for (int x = 0; x < dst.Width(); ++x, X += cs, Y += ss)
      dst.Row24(y)[x] = src.Row24(index(Y, src.Height()))[index(X, src.Width())];
  }
}

// Pictures of several tiles of the traversal, odd sizes, the destination of
// another size, and angles in every quadrant.
TEST(RotateInto, TiledTraversalMatchesTheRowByRowRule) {
  struct TCase {
    int sw, sh, dw, dh, cx, cy;
    double angle;
  };
  const TCase cases[] = {
      {150, 97, 150, 97, 75, 48, 45},  {150, 97, 150, 97, 75, 48, 200}, {130, 131, 130, 131, 65, 65, 333},
      {70, 200, 129, 65, 10, 190, 17}, {64, 64, 64, 64, 32, 32, 91},    {257, 3, 257, 3, 128, 1, 135},
  };
  for (const TCase& c : cases) {
    const TPixelBuffer src = Random(c.sw, c.sh, c.sw + c.sh);
    TPixelBuffer got, want;
    got.Allocate(c.dw, c.dh, 0, 24);
    want.Allocate(c.dw, c.dh, 0, 24);
    src.RotateInto(got, c.cx, c.cy, c.angle);
    RotateReference(src, want, c.cx, c.cy, c.angle);
    EXPECT_TRUE(SamePixels(got, want)) << c.sw << " x " << c.sh << " at " << c.angle;
  }
  // Rotate Angle is the same rule about the centre, in place.
  TPixelBuffer img = Random(150, 97, 9), want;
  want.Allocate(150, 97, 0, 24);
  RotateReference(img, want, 75, 48, 45);
  RotateAngle(img, 45);
  EXPECT_TRUE(SamePixels(img, want));
}

TEST(RotateInto, QuarterTurnAndBackIsTheIdentity) {
  TPixelBuffer img = Random(8, 8, 4);
  const TPixelBuffer before = geotest::Copy(img);
  RotateAngle(img, 90);
  EXPECT_FALSE(SamePixels(img, before));
  RotateAngle(img, 270);
  EXPECT_TRUE(SamePixels(img, before));
  RotateAngle(img, 360);
  EXPECT_TRUE(SamePixels(img, before));
}

TEST(RotateInto, AngleThenItsComplementIsCloseOnASmoothPicture) {
  TPixelBuffer img = geotest::SmoothTile(128, 128, 3);
  const TPixelBuffer before = geotest::Copy(img);
  RotateAngle(img, 30);
  RotateAngle(img, 330);
  // Inside the inscribed circle both turns read real pixels, not wrapped ones.
  double err = 0;
  int n = 0;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      if ((x - 64) * (x - 64) + (y - 64) * (y - 64) < 60 * 60) {
        err += std::abs(img.Row24(y)[x].b - before.Row24(y)[x].b);
        ++n;
      }
  EXPECT_LT(err / n, 2.5);
}

TEST(RotateInto, OtherPixelSizesAndInPlace) {
  for (int bits : {8, 16, 32}) {
    TPixelBuffer src;
    src.Allocate(5, 5, 0, bits);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < src.BytesPerLine(); ++x) src.Row(y)[x] = static_cast<uint8_t>(y * 40 + x);
    TPixelBuffer dst;
    dst.Allocate(5, 5, 0, bits);
    src.RotateInto(dst, 2, 2, 0.0);
    const size_t rowBytes = static_cast<size_t>(5 * bits / 8);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(0, std::memcmp(dst.Row(y), src.Row(y), rowBytes)) << bits;
  }
  TPixelBuffer img = Random(7, 7, 8);
  TPixelBuffer expected;
  expected.Allocate(7, 7, 0, 24);
  img.RotateInto(expected, 3, 3, 45.0);
  img.RotateInto(img, 3, 3, 45.0);
  EXPECT_TRUE(SamePixels(img, expected));
}

TEST(RotateBilinear, ZeroDegreesIsACopyAndALargerFrameWraps) {
  const TPixelBuffer src = Random(5, 4, 6);
  TPixelBuffer same;
  same.Allocate(5, 4, 0, 24);
  RotateBilinear(same, src, 2, 2, 0.0f);
  EXPECT_TRUE(SamePixels(same, src));
  TPixelBuffer big;
  big.Allocate(9, 8, 0, 24);
  RotateBilinear(big, src, 2, 2, 0.0f);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 9; ++x)
      EXPECT_TRUE(Same(big.Row24(y)[x], src.Row24(((y - 2) % 4 + 4) % 4)[((x - 2) % 5 + 5) % 5])) << x << "," << y;
}

TEST(RotateBilinear, FlatStaysFlatAtAnyAngle) {
  const TPixelBuffer src = geotest::Flat(10, 10, 30, 60, 90);
  for (float a : {12.5f, 45.0f, 200.0f}) {
    TPixelBuffer dst;
    dst.Allocate(14, 14, 0, 24);
    RotateBilinear(dst, src, 7, 7, a);
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 14; ++x) EXPECT_TRUE(Same(dst.Row24(y)[x], TRGB24{30, 60, 90}));
  }
}

}  // namespace
}  // namespace vell
