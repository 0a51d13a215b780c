// Every distortion and relief effect on tiny and odd-sized pictures, on
// pictures it does not handle, and with extreme parameters: no failure, the
// size kept, the row padding never written.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "WarpTestImages.h"
#include "imaging/Relief.h"
#include "imaging/Warps.h"

namespace vell {
namespace {

struct Effect {
  const char* name;
  std::function<void(TPixelBuffer&)> run;
};

std::vector<Effect> Effects() {
  static const TPixelBuffer control = geotest::Random(9, 4, 77);
  return {
      {"SineWaveUpDown wrap", [](TPixelBuffer& i) { SineWaveUpDown(i, 50, true, true, 3); }},
      {"SineWaveUpDown", [](TPixelBuffer& i) { SineWaveUpDown(i, 50, false, false, 3); }},
      {"SineWaveLeftRight wrap", [](TPixelBuffer& i) { SineWaveLeftRight(i, 64, true, true, 2); }},
      {"SineWaveLeftRight", [](TPixelBuffer& i) { SineWaveLeftRight(i, 64, false, false, 17); }},
      {"SineWaveBoth", [](TPixelBuffer& i) { SineWaveBoth(i, 50, 64, 2, 3); }},
      {"Twist", [](TPixelBuffer& i) { Twist(i, i, 100); }},
      {"FishEye", [](TPixelBuffer& i) { FishEye(i, i, 0.75); }},
      {"Circular", [](TPixelBuffer& i) { Circular(i); }},
      {"RippleTooth", [](TPixelBuffer& i) { RippleTooth(i, 16); }},
      {"Waves", [](TPixelBuffer& i) { Waves(i, 24, 10, false, 8); }},
      {"Waves reflective", [](TPixelBuffer& i) { Waves(i, 24, 10, true, 8); }},
      {"WhirlPinch", [](TPixelBuffer& i) { WhirlPinch(i, 1.0, 0.5, 270); }},
      {"Swizzle", [](TPixelBuffer& i) { Swizzle(i, 64); }},
      {"Water with a control", [](TPixelBuffer& i) { Water(100, 64, control, i); }},
      {"Water with itself", [](TPixelBuffer& i) { Water(-128, 128, i, i); }},
      {"StretchBlur with a mask", [](TPixelBuffer& i) { StretchBlur(i, 1, 1, control, 32); }},
      {"StretchBlur with itself", [](TPixelBuffer& i) { StretchBlur(i, 1, -1, i, 32); }},
      {"MapTexture", [](TPixelBuffer& i) { MapTexture(i, control, 1.8); }},
      {"HeightMap", [](TPixelBuffer& i) { HeightMap(i, 16, true, 20, 32); }},
      {"HeightMap gray", [](TPixelBuffer& i) { HeightMap(i, 16, false, 20, 32); }},
  };
}

TEST(WarpWalk, SmallAndOddPicturesKeepTheirSizeAndPadding) {
  for (const Effect& e : Effects())
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {64, 64}, {65, 7}, {2, 9}}) {
      TPixelBuffer img = geotest::Random(w, h, 1);
      warptest::FillPadding(img);
      e.run(img);
      ASSERT_EQ(img.Width(), w) << e.name;
      ASSERT_EQ(img.Height(), h) << e.name;
      ASSERT_EQ(img.BitCount(), 24) << e.name;
      EXPECT_TRUE(warptest::PaddingIntact(img)) << e.name << " on " << w << "x" << h;
    }
}

TEST(WarpWalk, EmptyPicturesStayEmpty) {
  for (const Effect& e : Effects()) {
    TPixelBuffer img;
    e.run(img);
    EXPECT_TRUE(img.Empty()) << e.name;
  }
}

TEST(WarpWalk, OtherBitCountsAreLeftAlone) {
  for (const Effect& e : Effects()) {
    TPixelBuffer img;
    img.Allocate(6, 6, 0, 8);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < img.BytesPerLine(); ++x) img.Row(y)[x] = static_cast<uint8_t>(x * 11 + y);
    std::vector<uint8_t> before(img.Bits(), img.Bits() + img.BytesPerLine() * 6);
    e.run(img);
    ASSERT_EQ(img.BitCount(), 8) << e.name;
    EXPECT_EQ(0, std::memcmp(before.data(), img.Bits(), before.size())) << e.name;
  }
}

// Numbers a user can type: none may crash, hang or read outside the picture
// (the sanitizer build checks the last).
TEST(WarpWalk, ExtremeParametersAreSurvived) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const std::vector<std::function<void(TPixelBuffer&)>> runs = {
      [](TPixelBuffer& i) { SineWaveUpDown(i, INT_MAX, true, true, 1e-300); },
      [](TPixelBuffer& i) { SineWaveUpDown(i, INT_MIN, true, false, 1e300); },
      [](TPixelBuffer& i) { SineWaveUpDown(i, INT_MAX, false, true, -7); },
      [](TPixelBuffer& i) { SineWaveLeftRight(i, INT_MIN, true, true, 1e-310); },
      [](TPixelBuffer& i) { SineWaveLeftRight(i, INT_MAX, false, false, 1e-9); },
      [](TPixelBuffer& i) { SineWaveBoth(i, INT_MIN, INT_MAX, 1e300, -1e300); },
      [&](TPixelBuffer& i) { SineWaveBoth(i, 5, 5, inf, 2); },
      [](TPixelBuffer& i) { SineWaveBoth(i, INT_MAX, INT_MIN, 1e308, 1e308); },
      [](TPixelBuffer& i) { SineWaveUpDown(i, INT_MAX, true, false, 1e-306); },
      [](TPixelBuffer& i) { SineWaveLeftRight(i, INT_MIN, true, false, -1e-306); },
      [](TPixelBuffer& i) { SineWaveUpDown(i, INT_MAX, false, true, 1e306); },
      [](TPixelBuffer& i) { Twist(i, i, INT_MIN); },
      [](TPixelBuffer& i) { Twist(i, i, 1); },
      [&](TPixelBuffer& i) { FishEye(i, i, nan); },
      [](TPixelBuffer& i) { FishEye(i, i, 0.0); },
      [](TPixelBuffer& i) { FishEye(i, i, -1e300); },
      [](TPixelBuffer& i) { FishEye(i, i, 1e-300); },
      [](TPixelBuffer& i) { RippleTooth(i, INT_MAX); },
      [](TPixelBuffer& i) { RippleTooth(i, INT_MIN); },
      [](TPixelBuffer& i) { Waves(i, INT_MAX, 1, false, 1e300); },
      [&](TPixelBuffer& i) { Waves(i, INT_MIN, INT_MIN, true, nan); },
      [](TPixelBuffer& i) { Waves(i, INT_MIN, INT_MAX, false, -1e20); },
      [](TPixelBuffer& i) { WhirlPinch(i, 2.0, -1e300, 1e300); },
      [&](TPixelBuffer& i) { WhirlPinch(i, inf, 1, 90); },
      [](TPixelBuffer& i) { WhirlPinch(i, 1e-300, 1, 90); },
      [&](TPixelBuffer& i) { WhirlPinch(i, 2.0, -inf, 90); },
      [](TPixelBuffer& i) { Swizzle(i, INT_MIN); },
      [](TPixelBuffer& i) { Water(INT_MAX, INT_MIN, i, i); },
      [](TPixelBuffer& i) { StretchBlur(i, INT_MAX, INT_MIN, i, 3); },
      [](TPixelBuffer& i) { StretchBlur(i, INT_MIN, 1, i, 1 << 20 >> 18); },
      [&](TPixelBuffer& i) { MapTexture(i, i, inf); },
      [&](TPixelBuffer& i) { MapTexture(i, i, nan); },
      [](TPixelBuffer& i) { HeightMap(i, INT_MIN, true, INT_MAX, INT_MIN); },
      [](TPixelBuffer& i) { HeightMap(i, 1, false, -90, 0); },
  };
  for (size_t n = 0; n < runs.size(); ++n)
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {13, 11}}) {
      TPixelBuffer img = geotest::Random(w, h, 2);
      warptest::FillPadding(img);
      runs[n](img);
      ASSERT_EQ(img.Width(), w) << "case " << n;
      EXPECT_TRUE(warptest::PaddingIntact(img)) << "case " << n << " on " << w << "x" << h;
    }
}

}  // namespace
}  // namespace vell
