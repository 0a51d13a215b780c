#include "imaging/Filters.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "GeoTestImages.h"

namespace vell {
namespace {

using geotest::Channel;
using geotest::Random;
using geotest::Same;
using geotest::SamePixels;

// The kernel engine the obvious way: each neighbour fetched by wrap-around,
// except that a corner pixel's diagonal neighbour beyond both edges is the
// corner pixel itself; 64-bit sums; the divisor as an unsigned 16-bit number.
TPixelBuffer ConvolveReference(const TPixelBuffer& src, const TKernel3x3& k, int divisor) {
  const int w = src.Width(), h = src.Height();
  const int64_t d = static_cast<uint16_t>(divisor);
  TPixelBuffer out;
  out.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t v[3];
      for (int ch = 0; ch < 3; ++ch) {
        int64_t sum = 0;
        for (int j = -1; j <= 1; ++j)
          for (int i = -1; i <= 1; ++i) {
            int sx = (x + i + w) % w, sy = (y + j + h) % h;
            const bool outX = x + i < 0 || x + i >= w, outY = y + j < 0 || y + j >= h;
            if (outX && outY) {
              sx = x;
              sy = y;
            }
            sum += int64_t{k[static_cast<size_t>((j + 1) * 3 + i + 1)]} * Channel(src.Row24(sy)[sx], ch);
          }
        const int64_t q = sum / d;
        v[ch] = static_cast<uint8_t>(q > 254 ? 255 : (q <= 0 ? 0 : q));
      }
      out.Row24(y)[x] = TRGB24{v[0], v[1], v[2]};
    }
  return out;
}

TEST(Convolve3x3, NamedKernelsOnFlatPictures) {
  // Flat value v gives v * (sum of weights) div divisor, clamped.
  for (const TNamedKernel& k : NamedKernels()) {
    int weights = 0;
    for (int32_t v : k.kernel) weights += v;
    for (int v : {0, 1, 77, 128, 254, 255}) {
      TPixelBuffer img = geotest::Flat(5, 4, static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v));
      Convolve3x3(img, k.kernel, k.divisor);
      const int q = v * weights / k.divisor;
      const int expected = q > 254 ? 255 : (q <= 0 ? 0 : q);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(img.Row24(y)[x].g, expected) << k.name << " on " << v;
    }
  }
}

TEST(Convolve3x3, LaplaceAndFindEdgesBlackenBlurAndGaussianSoftKeep) {
  struct Case {
    int id;
    bool keeps;
  };
  for (const Case& c : {Case{9, false}, Case{11, false}, Case{10, true}, Case{12, true}}) {
    TPixelBuffer img = geotest::Flat(6, 6, 200, 90, 13);
    ASSERT_TRUE(ApplyNamedKernel(img, c.id));
    const TRGB24 expected = c.keeps ? TRGB24{200, 90, 13} : TRGB24{0, 0, 0};
    EXPECT_TRUE(Same(img.Row24(3)[2], expected)) << c.id;
    EXPECT_TRUE(Same(img.Row24(0)[0], expected)) << c.id;
  }
  TPixelBuffer img = geotest::Flat(2, 2, 1, 1, 1);
  EXPECT_FALSE(ApplyNamedKernel(img, 6));  // Classic Emboss has no plain kernel
  EXPECT_FALSE(ApplyNamedKernel(img, 13));
}

TEST(Convolve3x3, KernelTableHasTwelveUniqueIdsAndHiPassEqualsEdgeEnhanceMore) {
  std::set<int> ids;
  for (const TNamedKernel& k : NamedKernels()) ids.insert(k.effectId);
  EXPECT_EQ(ids.size(), 12u);
  EXPECT_FALSE(ids.count(6));
  EXPECT_EQ(NamedKernel(7)->kernel, NamedKernel(2)->kernel);
  EXPECT_STREQ(NamedKernel(12)->name, "Gaussian Soft");
  EXPECT_EQ(NamedKernel(1)->divisor, 6);
}

TEST(Convolve3x3, MatchesTheSlowReferenceAtCornersEdgesAndCentre) {
  struct Case {
    TKernel3x3 k;
    int divisor;
  };
  std::vector<Case> cases;
  for (const TNamedKernel& k : NamedKernels()) cases.push_back({k.kernel, k.divisor});
  cases.push_back({{2, 1, 1, 1, -3, -1, 1, -1, -1}, 1});            // the designed default
  cases.push_back({{1, 2, 3, 4, 5, 6, 7, 8, 9}, 7});                 // odd divisor, 16-bit sums
  cases.push_back({{300, -20, 5, 0, 90, 1, -7, 3, 2}, 100});         // 32-bit sums
  cases.push_back({{1000000, 0, -999999, 5, 7, 0, 0, 0, 0}, 1024});  // shift with 32-bit sums
  cases.push_back({{2000000000, 2000000000, 0, 0, 1, 0, 0, 0, -1}, 40000});  // beyond 32 bits
  cases.push_back({{1, 1, 1, 1, 1, 1, 1, 1, 1}, -1});                 // acts as 65535
  cases.push_back({{1, 1, 1, 1, 1, 1, 1, 1, 1}, 65537});              // acts as 1
  const std::pair<int, int> sizes[] = {{1, 1}, {1, 5}, {5, 1}, {2, 2}, {3, 3}, {17, 6}, {40, 33}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes) {
      const TPixelBuffer src = Random(w, h, static_cast<uint32_t>(w * 31 + h));
      TPixelBuffer img = geotest::Copy(src);
      ASSERT_EQ(Convolve3x3(img, c.k, c.divisor), TFilterResult::Done);
      const TPixelBuffer ref = ConvolveReference(src, c.k, c.divisor);
      ASSERT_TRUE(SamePixels(img, ref)) << w << "x" << h << " k1=" << c.k[0] << " div " << c.divisor;
    }
}

TEST(Convolve3x3, ALineAtTheLeftEdgeShowsAtTheRightEdge) {
  TPixelBuffer img = geotest::Flat(8, 5, 0, 0, 0);
  for (int y = 0; y < 5; ++y) img.Row24(y)[0] = TRGB24{255, 255, 255};
  ApplyNamedKernel(img, 10);  // Blur: 3 of 32 from each side neighbour
  for (int y = 1; y < 4; ++y) EXPECT_EQ(img.Row24(y)[7].g, 3 * 3 * 255 / 32) << y;
  EXPECT_EQ(img.Row24(2)[3].g, 0);
}

TEST(Convolve3x3, DivisorThatComesToZeroChangesNothing) {
  const TPixelBuffer src = Random(4, 4, 2);
  for (int d : {0, 65536, -65536}) {
    TPixelBuffer img = geotest::Copy(src);
    EXPECT_EQ(Convolve3x3(img, {1, 1, 1, 1, 1, 1, 1, 1, 1}, d), TFilterResult::DivisorZero) << d;
    EXPECT_TRUE(SamePixels(img, src));
  }
}

TEST(ClassicEmboss, FlatBecomesHalfTheLightness) {
  for (auto [light, expected] : {std::pair{250, 125}, {1, 0}, {510, 255}, {3, 1}}) {
    TPixelBuffer img = geotest::Flat(5, 5, 40, 80, 160);
    ClassicEmboss(img, light);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) ASSERT_EQ(img.Row24(y)[x].r, expected) << light;
  }
}

TEST(ClassicEmboss, MatchesTheSlowReferenceOnEverySize) {
  const std::pair<int, int> sizes[] = {{1, 1}, {1, 4}, {4, 1}, {2, 2}, {2, 5}, {3, 3}, {13, 8}};
  for (auto [w, h] : sizes) {
    const TPixelBuffer src = Random(w, h, 12);
    TPixelBuffer img = geotest::Copy(src);
    ClassicEmboss(img, 200);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int ch = 0; ch < 3; ++ch) {
          const int v = Channel(src.Row24((y + 2) % h)[(x + 2) % w], ch) - Channel(src.Row24(y)[x], ch) + 100;
          ASSERT_EQ(Channel(img.Row24(y)[x], ch), v > 254 ? 255 : (v <= 0 ? 0 : v)) << w << "x" << h;
        }
  }
}

// The split pass read sequentially from the picture as it is being rewritten.
void SplitBlurReference(TPixelBuffer& img, int a) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TRGB24 p[4] = {img.Row24(WrapIndex(y - a, h))[WrapIndex(x - a, w)],
                           img.Row24(WrapIndex(y - a, h))[WrapIndex(x + a, w)],
                           img.Row24(WrapIndex(y + a, h))[WrapIndex(x - a, w)],
                           img.Row24(WrapIndex(y + a, h))[WrapIndex(x + a, w)]};
      TRGB24& o = img.Row24(y)[x];
      o.b = static_cast<uint8_t>((p[0].b + p[1].b + p[2].b + p[3].b) >> 2);
      o.g = static_cast<uint8_t>((p[0].g + p[1].g + p[2].g + p[3].g) >> 2);
      o.r = static_cast<uint8_t>((p[0].r + p[1].r + p[2].r + p[3].r) >> 2);
    }
}

TEST(SplitBlur, MatchesTheSequentialReference) {
  for (int a : {1, 2, 5, 9, -3, 40}) {
    const TPixelBuffer src = Random(9, 7, static_cast<uint32_t>(a + 100));
    TPixelBuffer img = geotest::Copy(src), ref = geotest::Copy(src);
    SplitBlur(img, a);
    SplitBlurReference(ref, a);
    EXPECT_TRUE(SamePixels(img, ref)) << a;
  }
}

TEST(SplitBlur, ZeroChangesNothingAndSplitGaussEndsWithIt) {
  const TPixelBuffer src = Random(6, 6, 1);
  TPixelBuffer img = geotest::Copy(src);
  SplitBlur(img, 0);
  EXPECT_TRUE(SamePixels(img, src));
  SplitGauss(img, 0);
  EXPECT_TRUE(SamePixels(img, src));
  TPixelBuffer gauss = geotest::Copy(src), steps = geotest::Copy(src);
  SplitGauss(gauss, 3);
  for (int a = 3; a >= 1; --a) SplitBlurReference(steps, a);
  EXPECT_TRUE(SamePixels(gauss, steps));
}

TEST(SplitBlur, AmountEqualToTheHeight) {
  // With the wrap rule, y - height lands one row up (row -h -> h - 1 for y = 0)
  // while y + height lands on y itself. One column, two rows (0, 200):
  // row 0 = (2 * 200 + 2 * 0) >> 2 = 100, then row 1 = (2 * 100 + 2 * 200) >> 2 = 150.
  TPixelBuffer img = geotest::Flat(1, 2, 0, 0, 0);
  img.Row24(1)[0] = TRGB24{200, 200, 200};
  SplitBlur(img, 2);
  EXPECT_EQ(img.Row24(0)[0].g, 100);
  EXPECT_EQ(img.Row24(1)[0].g, 150);
}

}  // namespace
}  // namespace vell
