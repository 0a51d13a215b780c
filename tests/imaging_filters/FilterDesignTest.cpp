#include "dialogs/FilterDesign.h"

#include <gtest/gtest.h>

#include "GeoTestImages.h"

namespace vell {
namespace {

TEST(FilterDesign, IntegerConversion) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {"5", true, 5},       {"-3", true, -3},   {"+7", true, 7},      {"  12", true, 12},   {"$1F", true, 31},
      {"-2147483648", true, -2147483647 - 1},   {"2147483647", true, 2147483647},
      {"2147483648", false, 0}, {"", false, 0}, {"-", false, 0},      {"5 ", false, 0},     {"1.5", false, 0},
      {"abc", false, 0},    {"$", false, 0},    {"99999999999", false, 0},
  };
  for (const Case& c : cases) {
    int v = 0;
    EXPECT_EQ(StrToIntChecked(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(FilterDesign, DefaultsRunTheDesignedKernel) {
  const TPixelBuffer src = geotest::Random(6, 5, 3);
  TPixelBuffer img = geotest::Copy(src), ref = geotest::Copy(src);
  const TFilterDesignOutcome r = ApplyFilterDesign(img, TFilterDesign{});
  EXPECT_EQ(r.status, TFilterDesignStatus::Done);
  EXPECT_TRUE(r.message.empty());
  Convolve3x3(ref, {2, 1, 1, 1, -3, -1, 1, -1, -1}, 1);
  EXPECT_TRUE(geotest::SamePixels(img, ref));
}

TEST(FilterDesign, RefusalsChangeNothing) {
  struct Case {
    const char* field;
    const char* divisor;
    TFilterDesignStatus status;
    const char* message;
  };
  const Case cases[] = {
      {"1", "0", TFilterDesignStatus::DivisorZero, kDivisorZeroMessage},
      {"1", "65536", TFilterDesignStatus::DivisorZero, kDivisorZeroMessage},
      {"1", "x", TFilterDesignStatus::NotInteger, "'x' is not a valid integer value"},
      {"2.5", "1", TFilterDesignStatus::NotInteger, "'2.5' is not a valid integer value"},
  };
  const TPixelBuffer src = geotest::Random(4, 4, 5);
  for (const Case& c : cases) {
    TFilterDesign design;
    design.e[4] = c.field;
    design.eDiv = c.divisor;
    TPixelBuffer img = geotest::Copy(src);
    const TFilterDesignOutcome r = ApplyFilterDesign(img, design);
    EXPECT_EQ(r.status, c.status) << c.field << " / " << c.divisor;
    EXPECT_EQ(r.message, c.message);
    EXPECT_TRUE(geotest::SamePixels(img, src));
  }
}

}  // namespace
}  // namespace vell
