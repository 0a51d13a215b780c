// Every geometry, tiling and filter effect on tiny pictures and on pictures it
// does not handle: no failure, a sound size, nothing touched that should not be.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "GeoTestImages.h"
#include "imaging/Filters.h"
#include "imaging/GBlur.h"
#include "imaging/Geometry.h"
#include "imaging/Tiling.h"

namespace vell {
namespace {

struct Effect {
  const char* name;
  std::function<void(TPixelBuffer&)> run;
  int widthFactor = 1;  // 4 Way Flip doubles
};

std::vector<Effect> Effects() {
  std::vector<Effect> e = {
      {"RotateQuarter", [](TPixelBuffer& i) { RotateQuarter(i); }},
      {"RotateAngle", [](TPixelBuffer& i) { RotateAngle(i, 33); }},
      {"ResizeSmooth", [](TPixelBuffer& i) { ResizeSmooth(i, i.Width(), i.Height() + 1, false); }},
      {"ResizeSmoothProportional", [](TPixelBuffer& i) { ResizeSmooth(i, i.Width(), i.Height() + 1, true); }},
      {"ResizeFast", [](TPixelBuffer& i) { ResizeFast(i, i.Width(), i.Height() + 1); }},
      {"RotateBilinear", [](TPixelBuffer& i) { RotateBilinear(i, i, i.Width() / 2, i.Height() / 2, 45.0f); }},
      {"EdgeMerge16", [](TPixelBuffer& i) { EdgeMerge(i, 16); }},
      {"EdgeMerge4", [](TPixelBuffer& i) { EdgeMerge(i, 4); }},
      {"SeamlessEdge", [](TPixelBuffer& i) { SeamlessEdge(i, 3); }},
      {"FourWayFlip", [](TPixelBuffer& i) { FourWayFlip(i); }, 2},
      {"RotateSeamless", [](TPixelBuffer& i) { RotateSeamless(i); }},
      {"ScrollHorizontal", [](TPixelBuffer& i) { ScrollHorizontal(i, 5); }},
      {"ClassicEmboss", [](TPixelBuffer& i) { ClassicEmboss(i, 250); }},
      {"GaussianBlur", [](TPixelBuffer& i) { GaussianBlur(i, 5); }},
      {"SplitBlur", [](TPixelBuffer& i) { SplitBlur(i, 7); }},
      {"SplitGauss", [](TPixelBuffer& i) { SplitGauss(i, 4); }},
  };
  for (const TNamedKernel& k : NamedKernels())
    e.push_back({k.name, [k](TPixelBuffer& i) { Convolve3x3(i, k.kernel, k.divisor); }});
  return e;
}

TEST(EffectWalk, TinyPicturesNeverFail) {
  for (const Effect& e : Effects())
    for (auto [w, h] : {std::pair{1, 1}, {4, 4}, {2, 1}, {1, 3}}) {
      TPixelBuffer img = geotest::Random(w, h, 1);
      e.run(img);
      EXPECT_GT(img.Width(), 0) << e.name;
      EXPECT_GT(img.Height(), 0) << e.name;
      EXPECT_EQ(img.BitCount(), 24) << e.name;
    }
}

TEST(EffectWalk, EmptyPicturesStayEmpty) {
  for (const Effect& e : Effects()) {
    TPixelBuffer img;
    e.run(img);
    EXPECT_TRUE(img.Empty()) << e.name;
  }
}

TEST(EffectWalk, OtherBitCountsAreLeftAlone) {
  for (const Effect& e : Effects()) {
    TPixelBuffer img;
    img.Allocate(6, 6, 0, 8);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < img.BytesPerLine(); ++x) img.Row(y)[x] = static_cast<uint8_t>(x * 11 + y);
    std::vector<uint8_t> before(img.Bits(), img.Bits() + img.BytesPerLine() * 6);
    e.run(img);
    ASSERT_EQ(img.BitCount(), 8) << e.name;
    ASSERT_EQ(img.Width(), 6) << e.name;
    EXPECT_EQ(0, std::memcmp(before.data(), img.Bits(), before.size())) << e.name;
  }
}

TEST(EffectWalk, RotateIntoNeedsTheSamePixelSize) {
  const TPixelBuffer src = geotest::Random(4, 4, 2);
  TPixelBuffer dst;
  dst.Allocate(4, 4, 0, 32);
  std::memset(dst.Bits(), 0xAB, static_cast<size_t>(dst.BytesPerLine()) * 4);
  src.RotateInto(dst, 2, 2, 10.0);
  for (int i = 0; i < dst.BytesPerLine() * 4; ++i) ASSERT_EQ(dst.Bits()[i], 0xAB);
}

}  // namespace
}  // namespace vell
