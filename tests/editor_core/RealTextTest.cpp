#include "editor/RealText.h"

#include <gtest/gtest.h>

namespace vell {
namespace {

TEST(RealText, GeneralForm) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.3f, "0.300000011920929"},  // a single widened, 15 digits
      {0.1f, "0.100000001490116"},
      {0.75f, "0.75"},
      {3.0f, "3"},
      {2.5f, "2.5"},
      {17.0f, "17"},
      {-2.5, "-2.5"},
      {0.0, "0"},
      {0.3, "0.3"},                 // a double keeps its short form
      {100.0, "100"},
      {0.00001, "0.00001"},         // smallest fixed form
      {0.000015, "0.000015"},
      {0.000001, "1E-6"},
      {1.5e-7, "1.5E-7"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {123456789012345678.0, "1.23456789012346E17"},
      {0.9999999999999999, "1"},    // rounding carries into a new digit
      {16777215.0f, "16777215"},
  };
  for (const Case& c : cases) EXPECT_EQ(RealText(c.value), c.text) << c.text;
  EXPECT_EQ(RealText(2.5f, ','), "2,5");
  EXPECT_EQ(RealText(0.3f, ','), "0,300000011920929");
}

TEST(RealText, FixedTwoDecimals) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.5f, "0.50"},  {0.75f, "0.75"}, {1.0f, "1.00"},   {3.0, "3.00"},    {-1.0, "-1.00"},
      {0.125, "0.13"}, {-0.125, "-0.13"}, {0.999, "1.00"}, {-0.001, "0.00"}, {0.3f, "0.30"},
      {0.0, "0.00"},   {123.456, "123.46"}, {0.005f, "0.00"},  // the single is just below 0.005
  };
  for (const Case& c : cases) EXPECT_EQ(FixedText(c.value, 2), c.text) << c.text;
  EXPECT_EQ(FixedText(0.5, 2, ','), "0,50");
  EXPECT_EQ(FixedText(2.5, 0), "3");
}

TEST(RealText, ParseInteger) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"5", true, 5},          {"  5", true, 5},       {"+7", true, 7},     {"-128", true, -128},
      {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"99999999999999999999", false, 0},
      {"2.5", false, 0},       {"1e3", false, 0},      {"", false, 0},      {"5 ", false, 0},
      {"-", false, 0},         {"abc", false, 0},      {"0x10", false, 0},
      {"$1F", true, 31},       {"\t5", false, 0},
  };
  for (const Case& c : cases) {
    std::optional<int32_t> v = ParseInteger(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (v && c.ok) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(RealText, ParseReal) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"2.5", true, 2.5}, {" 2.5 ", true, 2.5}, {"-.5", true, -0.5}, {"5.", true, 5.0}, {"+3", true, 3.0},
      {"1e3", true, 1000.0}, {"1E-2", true, 0.01}, {"abc", false, 0}, {".", false, 0}, {"1e", false, 0},
      {"1.2.3", false, 0}, {"2,5", false, 0}, {"1e999", false, 0}, {"inf", false, 0}, {"nan", false, 0},
      {"", false, 0}, {"1 2", false, 0},
  };
  for (const Case& c : cases) {
    std::optional<double> v = ParseReal(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (v && c.ok) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
  EXPECT_EQ(ParseReal("2,5", ','), 2.5);
  EXPECT_FALSE(ParseReal("2.5", ',').has_value());
}

TEST(RealText, ConversionErrors) {
  EXPECT_EQ(NotValidIntegerText("2.5"), "'2.5' is not a valid integer value");
  EXPECT_EQ(NotValidRealText("1e39"), "'1e39' is not a valid floating point value");
}

}  // namespace
}  // namespace vell
