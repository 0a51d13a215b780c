#include <gtest/gtest.h>

#include "dialogs/PrintLayout.h"

namespace vell {
namespace {

TPrintMetrics Printer(int dpi, int pageWidth, int pageHeight) {
  TPrintMetrics m;
  m.printerDpiX = m.printerDpiY = dpi;
  m.screenDpiX = m.screenDpiY = 96;
  m.pageWidth = pageWidth;
  m.pageHeight = pageHeight;
  return m;
}

TEST(PrintLayout, Rectangles) {
  struct TCase {
    const char* name;
    TPrintSize size;
    TPrintAlign align;
    float scale;
    double wide, high;
    int imageW, imageH;
    TPrintMetrics metrics;
    TPrintRect expected;
  };
  const TCase cases[] = {
      {"screen size, top left", TPrintSize::MatchScreen, TPrintAlign::TopLeft, 1.375f, 0, 0, 256, 256,
       Printer(600, 4800, 6600), {150, 150, 2200, 2200}},
      {"screen size, centred", TPrintSize::MatchScreen, TPrintAlign::Center, 1.375f, 0, 0, 256, 256,
       Printer(600, 4800, 6600), {1300, 2200, 2200, 2200}},
      // Scale 0 prints as 0.1: 600 * 256 / 96 * 0.1 = 160.
      {"scale 0", TPrintSize::MatchScreen, TPrintAlign::TopLeft, 0.0f, 0, 0, 256, 256, Printer(600, 4800, 6600),
       {150, 150, 160, 160}},
      // 300 * 100 / 96 * 1 = 312.5, ties to even; 300 * 60 / 96 = 187.5 -> 188.
      {"halves to even", TPrintSize::MatchScreen, TPrintAlign::TopLeft, 1.0f, 0, 0, 100, 60, Printer(300, 2400, 3300),
       {75, 75, 312, 188}},
      {"CD front, landscape 300 dpi", TPrintSize::CDFront, TPrintAlign::Center, 1.0f, 9.5, 4.75, 256, 256,
       Printer(300, 3300, 2550), {225, 562, 2850, 1425}},
      {"CD back", TPrintSize::CDBack, TPrintAlign::Center, 1.0f, 5.875, 4.625, 256, 256, Printer(300, 3300, 2550),
       {769, 581, 1762, 1388}},
      {"specify size", TPrintSize::Specify, TPrintAlign::TopLeft, 1.0f, 2.0, 1.5, 256, 256, Printer(600, 4800, 6600),
       {150, 150, 1200, 900}},
      {"stretch to fit", TPrintSize::StretchToFit, TPrintAlign::TopLeft, 1.0f, 0, 0, 256, 256,
       Printer(600, 4800, 6600), {150, 150, 4500, 6300}},
      // Larger than the page: centring goes negative, toward zero.
      {"wider than the page", TPrintSize::Specify, TPrintAlign::Center, 1.0f, 9.0, 1.0, 256, 256,
       Printer(100, 851, 1100), {-24, 500, 900, 100}},
  };
  for (const TCase& c : cases) {
    TPrintRequest r;
    r.size = c.size;
    r.align = c.align;
    r.scale = c.scale;
    r.widthInches = c.wide;
    r.heightInches = c.high;
    r.imageWidth = c.imageW;
    r.imageHeight = c.imageH;
    const TPrintRect got = ComputePrintRect(r, c.metrics);
    EXPECT_EQ(got, c.expected) << c.name << ": got " << got.left << "," << got.top << " " << got.width << "x"
                               << got.height;
  }
}

TEST(PrintLayout, DifferentDotsPerInchEachWay) {
  TPrintMetrics m = Printer(600, 4800, 6600);
  m.printerDpiY = 300;
  m.screenDpiY = 120;
  TPrintRequest r;  // 256 x 256, 1.375
  const TPrintRect got = ComputePrintRect(r, m);
  EXPECT_EQ(got, (TPrintRect{150, 75, 2200, 880}));  // 300 * 256 / 120 * 1.375 = 880
}

TEST(PrintLayout, AbsurdSizesDoNotOverflow) {
  TPrintRequest r;
  r.size = TPrintSize::Specify;
  r.widthInches = 1e300;
  r.heightInches = -1e300;
  const TPrintRect got = ComputePrintRect(r, Printer(600, 4800, 6600));
  EXPECT_GT(got.width, 0);
  EXPECT_LT(got.height, 0);
  EXPECT_GT(static_cast<long long>(got.left) + got.width, 0);
}

TEST(PrintLayout, DefaultScaleByScreenWidth) {
  const std::pair<int, const char*> cases[] = {{640, "1.75"},  {800, "1.375"}, {1024, "1.083"}, {1152, "0.979"},
                                               {1280, "1.0"},  {1920, "1.0"},  {0, "1.0"},      {801, "1.0"}};
  for (const auto& [width, text] : cases) EXPECT_STREQ(DefaultScaleText(width), text) << width;
}

TEST(PrintLayout, CDPresets) {
  ASSERT_TRUE(CDPreset(TPrintSize::CDFront));
  EXPECT_STREQ(CDPreset(TPrintSize::CDFront)->width, "9.5");
  EXPECT_STREQ(CDPreset(TPrintSize::CDFront)->height, "4.75");
  EXPECT_STREQ(CDPreset(TPrintSize::CDBack)->width, "5.875");
  EXPECT_STREQ(CDPreset(TPrintSize::CDBack)->height, "4.625");
  EXPECT_FALSE(CDPreset(TPrintSize::Specify));
}

TEST(PrintLayout, FieldNumbers) {
  struct TCase {
    const char* text;
    std::optional<double> value;
  };
  const TCase cases[] = {
      {"1.375", 1.375}, {" 2 ", 2.0},  {"-0.5", -0.5}, {"+3", 3.0},      {".5", 0.5},       {"5.", 5.0},
      {"1e2", 100.0},   {"1E-1", 0.1}, {"", {}},       {"abc", {}},      {"1.2.3", {}},     {"1,5", {}},
      {"1e", {}},       {".", {}},     {"-", {}},      {"1e999", {}},    {"nan", {}},       {"0x10", {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(ParsePrintNumber(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(ParsePrintNumber("1,5", ','), 1.5);
  EXPECT_EQ(ParsePrintNumber("1.5", ','), 1.5);  // the defaults are written with a point
}

TEST(PrintLayout, ReadFieldsStopsAtTheFirstBadNumber) {
  TPrintRequest r;
  r.scale = 7.0f;
  EXPECT_EQ(ReadPrintFields("1.375", "wide", "2", r), std::optional<std::string>("'wide' is not a valid floating point value"));
  EXPECT_EQ(r.scale, 7.0f);  // nothing taken over
  EXPECT_EQ(ReadPrintFields("0.3", "4", "2", r), std::nullopt);
  EXPECT_EQ(r.scale, 0.3f);  // single precision
  EXPECT_EQ(r.widthInches, 4.0);
}

TEST(PrintLayout, InchTextsAndMaintainRatio) {
  EXPECT_EQ(InchesText(256, 96), "2.67");
  EXPECT_EQ(InchesText(12, 96), "0.13");  // 0.125, half away from zero
  EXPECT_EQ(InchesText(256, 96, ','), "2,67");
  EXPECT_EQ(InchesText(96, 96), "1.00");

  struct TCase {
    const char* typed;
    int other, typedSide;
    std::optional<std::string> expected;
  };
  const TCase cases[] = {
      {"4", 256, 512, "2.00"},   // height from a width, 512 x 256
      {"2", 512, 256, "4.00"},   // width from a height
      {"3", 100, 300, "1.00"},   // 1/3 in single precision times 3
      {"1.7", 3, 7, "0.73"},
      {"x", 256, 512, {}},
      {"4", 256, 0, {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(RatioText(c.typed, c.other, c.typedSide), c.expected) << c.typed;
}

}  // namespace
}  // namespace vell
