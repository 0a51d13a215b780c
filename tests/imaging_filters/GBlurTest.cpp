#include "imaging/GBlur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "GeoTestImages.h"

namespace vell {
namespace {

using geotest::Channel;
using geotest::Random;
using geotest::Same;

TEST(GaussianKernel, HalfSizesAndNormalisation) {
  const std::pair<int, int> cases[] = {{2, 5}, {3, 8}, {4, 9}, {5, 9}, {6, 9}};
  for (auto [radius, half] : cases) {
    const TGaussianKernel k = GaussianKernel(radius);
    EXPECT_EQ(k.half, half) << radius;
    double sum = 0;
    for (double w : k.weight) sum += w;
    EXPECT_NEAR(sum, 1.0, 1e-12);
    EXPECT_EQ(k.weight[static_cast<size_t>(10 + half + 1)], 0.0);
    EXPECT_DOUBLE_EQ(k.weight[static_cast<size_t>(10 - half)], k.weight[static_cast<size_t>(10 + half)]);
  }
}

// Both passes in double precision with the trimmed kernel, end pixels
// repeated, each pass truncated to bytes.
void BlurReference(TPixelBuffer& img, int radius) {
  const TGaussianKernel k = GaussianKernel(radius);
  const int w = img.Width(), h = img.Height();
  auto pass = [&](bool across) {
    const TPixelBuffer src = geotest::Copy(img);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t v[3];
        for (int ch = 0; ch < 3; ++ch) {
          double s = 0;
          for (int t = -k.half; t <= k.half; ++t) {
            const int sx = across ? std::clamp(x - t, 0, w - 1) : x, sy = across ? y : std::clamp(y - t, 0, h - 1);
            s += k.weight[static_cast<size_t>(t + 10)] * Channel(src.Row24(sy)[sx], ch);
          }
          v[ch] = static_cast<uint8_t>(s >= 255 ? 255 : (s < 0 ? 0 : static_cast<int>(s)));
        }
        img.Row24(y)[x] = TRGB24{v[0], v[1], v[2]};
      }
  };
  pass(true);
  pass(false);
}

TEST(GaussianBlurBitmap, StaysWithinOneOfTheDoubleReference) {
  for (int radius : {2, 3, 6}) {
    const TPixelBuffer src = Random(37, 23, static_cast<uint32_t>(radius));
    TPixelBuffer img = geotest::Copy(src), ref = geotest::Copy(src);
    ASSERT_TRUE(GaussianBlurBitmap(img, radius));
    BlurReference(ref, radius);
    int exact = 0, total = 0;
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x)
        for (int ch = 0; ch < 3; ++ch) {
          const int d = std::abs(Channel(img.Row24(y)[x], ch) - Channel(ref.Row24(y)[x], ch));
          ASSERT_LE(d, 1) << radius << " at " << x << "," << y;
          exact += d == 0;
          ++total;
        }
    EXPECT_GT(exact, total * 9 / 10) << radius;
  }
}

TEST(GaussianBlurBitmap, RefusesOtherBitCounts) {
  TPixelBuffer img;
  img.Allocate(4, 4, 0, 8);
  img.Row(1)[1] = 200;
  EXPECT_FALSE(GaussianBlurBitmap(img, 3));
  EXPECT_EQ(img.Row(1)[1], 200);
  EXPECT_EQ(img.Row(1)[0], 0);
  EXPECT_STREQ(kGBlurOnly24Bits, "GBlur only works for 24-bit bitmaps");
}

TEST(GaussianBlur, FlatPicturesAndPureWhiteStayExactly) {
  for (int v : {255, 0, 1, 128, 254})
    for (int b : {1, 3, 5}) {
      const uint8_t c = static_cast<uint8_t>(v);
      TPixelBuffer img = geotest::Flat(9, 7, c, c, c);
      GaussianBlur(img, b);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], TRGB24{c, c, c})) << v << " blur " << b;
    }
}

TEST(GaussianBlur, EqualsBlurringACopyFramedByTheOppositeEdges) {
  for (auto [w, h, blurriness] : {std::tuple{23, 17, 2}, {5, 4, 5}, {1, 2, 1}, {40, 3, 4}}) {
    const TPixelBuffer src = Random(w, h, static_cast<uint32_t>(w + h));
    const int b = blurriness + 1;
    TPixelBuffer framed;
    framed.Allocate(w + 2 * b, h + 2 * b, 0, 24);
    for (int y = 0; y < h + 2 * b; ++y)
      for (int x = 0; x < w + 2 * b; ++x)
        framed.Row24(y)[x] = src.Row24(((y - b) % h + h) % h)[((x - b) % w + w) % w];
    ASSERT_TRUE(GaussianBlurBitmap(framed, b));
    TPixelBuffer img = geotest::Copy(src);
    GaussianBlur(img, blurriness);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_TRUE(Same(img.Row24(y)[x], framed.Row24(y + b)[x + b])) << w << "x" << h;
  }
}

TEST(GaussianBlur, TinyPicturesAndOutOfRangeBlurriness) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 3}, {2, 1}}) {
    TPixelBuffer img = Random(w, h, 3);
    GaussianBlur(img, 5);
    EXPECT_EQ(img.Width(), w);
  }
  const TPixelBuffer src = Random(12, 12, 4);
  TPixelBuffer six = geotest::Copy(src), one = geotest::Copy(src);
  GaussianBlur(six, 6);
  GaussianBlur(one, 1);
  EXPECT_TRUE(geotest::SamePixels(six, one));
}

// Away from the edges, where the kernel stays inside the wrapped frame, the
// blur commutes with a wrap-around scroll.
TEST(GaussianBlur, CommutesWithScrollingWhereTheFrameReaches) {
  const int w = 40, h = 36, blurriness = 2, reach = GaussianKernel(blurriness + 1).half - (blurriness + 1);
  const TPixelBuffer src = Random(w, h, 8);
  const int dx = 13, dy = 9;
  TPixelBuffer a = geotest::Copy(src);
  GaussianBlur(a, blurriness);
  a = geotest::Shifted(a, dx, dy);
  TPixelBuffer b = geotest::Shifted(src, dx, dy);
  GaussianBlur(b, blurriness);
  auto inside = [&](int x, int y) { return x >= reach && x < w - reach && y >= reach && y < h - reach; };
  int compared = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int ox = ((x - dx) % w + w) % w, oy = ((y - dy) % h + h) % h;
      if (!inside(x, y) || !inside(ox, oy)) continue;
      ++compared;
      ASSERT_TRUE(Same(a.Row24(y)[x], b.Row24(y)[x])) << x << "," << y;
    }
  EXPECT_GT(compared, 300);
}

}  // namespace
}  // namespace vell
