#include "imaging/Colour.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace vell {
namespace {

constexpr uint8_t kJunk = 0xA5;

// A 24-bit picture of the given (R, G, B) pixels in one row, padding filled with junk.
TPixelBuffer Picture(const std::vector<std::array<int, 3>>& rgb, int rows = 1, int bits = 24) {
  TPixelBuffer b;
  b.Allocate(static_cast<int>(rgb.size()), rows, 0, bits);
  std::memset(b.Bits(), kJunk, static_cast<size_t>(b.BytesPerLine()) * rows);
  for (int y = 0; y < rows; ++y)
    for (size_t x = 0; x < rgb.size(); ++x)
      b.WritePixel(y, static_cast<int>(x), static_cast<uint32_t>(rgb[x][0] << 16 | rgb[x][1] << 8 | rgb[x][2]));
  return b;
}

std::array<int, 3> Rgb(const TPixelBuffer& b, int x, int y = 0) {
  uint8_t blue, green, red;
  b.ReadPixel(y, x, blue, green, red);
  return {red, green, blue};
}

// Every pixel of a 16 x 16 test card: channels spread over 0 ... 255.
TPixelBuffer Card(int bits = 24) {
  TPixelBuffer b;
  b.Allocate(17, 16, 0, bits);  // 17 wide: 24-bit rows carry 1 byte of padding
  std::memset(b.Bits(), kJunk, static_cast<size_t>(b.BytesPerLine()) * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 17; ++x)
      b.WritePixel(y, x, static_cast<uint32_t>((x * 15) << 16 | (y * 17) << 8 | ((x * 37 + y * 11) & 0xFF)));
  return b;
}

std::vector<uint8_t> Gaps(const TPixelBuffer& b) {
  std::vector<uint8_t> out;
  for (int y = 0; y < b.Height(); ++y)
    out.insert(out.end(), b.Row(y) + b.BytesPerLine() - b.Gap(), b.Row(y) + b.BytesPerLine());
  return out;
}

std::vector<uint8_t> Bytes(const TPixelBuffer& b) {
  return std::vector<uint8_t>(b.Bits(), b.Bits() + static_cast<size_t>(b.BytesPerLine()) * b.Height());
}

struct TableCase {
  const char* name;
  TChannelTable table;
  int in, out;
};

TEST(ColourTables, EdgeValues) {
  const TableCase cases[] = {
      {"lightness +255", LightnessTable(255), 0, 254},   {"lightness +255", LightnessTable(255), 128, 254},
      {"lightness +255", LightnessTable(255), 255, 255}, {"lightness -255", LightnessTable(-255), 255, 1},
      {"lightness -255", LightnessTable(-255), 0, 0},    {"lightness +1", LightnessTable(1), 0, 0},
      {"lightness -100", LightnessTable(-100), 200, 122},  // 200 - 20000 / 256 = 200 - 78
      {"contrast -255", ContrastTable(-255), 0, 127},    {"contrast -255", ContrastTable(-255), 255, 129},
      {"contrast -255", ContrastTable(-255), 128, 128},  {"contrast +255", ContrastTable(255), 0, 0},
      {"contrast +255", ContrastTable(255), 200, 255},   {"contrast +100", ContrastTable(100), 100, 90},
      {"shift +40", ShiftTable(40), 230, 255},           {"shift -40", ShiftTable(-40), 30, 0},
      {"shift 0", ShiftTable(0), 77, 77},                {"brighten", BrightenTable(), 255, 255},
      {"brighten", BrightenTable(), 100, 105},           {"brighten", BrightenTable(), 10, 10},
      {"brighten", BrightenTable(), 0, 0},               {"brighten", BrightenTable(), 30, 32},
      {"brighten", BrightenTable(), 50, 52},             {"brighten", BrightenTable(), 243, 255},
  };
  for (const TableCase& c : cases) EXPECT_EQ(c.table[static_cast<size_t>(c.in)], c.out) << c.name << " of " << c.in;
}

TEST(ColourTables, LightenCurve) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 2}, {64, 79}, {128, 142}, {200, 207}, {255, 255}};
  for (auto [in, out] : cases) EXPECT_EQ(LightenTable()[static_cast<size_t>(in)], out) << in;
  EXPECT_EQ(&LightenTable(), &LightenTable());  // built once
}

TEST(ColourTables, SaturationWeights) {
  const std::array<int, 256> neutral = SaturationWeights(256);
  for (int k = 0; k < 256; ++k) EXPECT_EQ(neutral[static_cast<size_t>(k)], k + 1);
  EXPECT_EQ(SaturationWeights(128)[85], 43);
  EXPECT_EQ(SaturationWeights(510)[255], 510);
}

struct SaturationCase {
  int amount;
  std::array<int, 3> in, out;
};

TEST(ColourSaturation, PixelValues) {
  const SaturationCase cases[] = {
      // m = 85, A = (k + 1) / 2 truncated: base 85 - 43 = 42; red 42 + 128.
      {128, {255, 0, 0}, {170, 42, 42}},
      // A = 1.5 (k + 1) truncated: base 85 - 129 = -44; red 340 -> 255, others -43 -> 0.
      {384, {255, 0, 0}, {255, 0, 0}},
      {0, {30, 60, 90}, {60, 60, 60}},  // amount 0 turns every pixel grey
      {256, {1, 2, 250}, {1, 2, 250}},
      {255, {255, 255, 255}, {255, 255, 255}},  // near-identity pass: m = 255, base = 255 - 255 = 0
      {255, {0, 0, 0}, {0, 0, 0}},
  };
  for (const SaturationCase& c : cases) {
    TPixelBuffer b = Picture({c.in});
    b.AdjustSaturation(c.amount);
    EXPECT_EQ(Rgb(b, 0), c.out) << c.amount;
  }
}

TEST(ColourSaturation, NeutralAmountKeepsEveryDepth) {
  for (int bits : {16, 24, 32}) {
    TPixelBuffer b = Card(bits);
    const std::vector<uint8_t> before = Bytes(b);
    b.AdjustSaturation(256);
    EXPECT_EQ(Bytes(b), before) << bits;
  }
}

struct EffectCase {
  const char* name;
  std::function<void(TPixelBuffer&)> effect;
  std::array<int, 3> in, out;
};

TEST(ColourEffects, PixelValues) {
  const uint32_t toolkitOrange = 0x0080FF;  // 0x00BBGGRR: red 255, green 128, blue 0
  const EffectCase cases[] = {
      {"brighten", Brighten, {255, 100, 10}, {255, 105, 10}},
      {"brighten", Brighten, {0, 50, 30}, {0, 52, 32}},
      {"lighten", Lighten, {64, 128, 1}, {79, 142, 2}},
      {"negate", Negate, {0, 255, 100}, {255, 0, 155}},
      {"grayscale red", ToGrayScale, {255, 0, 0}, {76, 76, 76}},
      {"grayscale white", ToGrayScale, {255, 255, 255}, {255, 255, 255}},
      {"grayscale mix", ToGrayScale, {10, 20, 30}, {18, 18, 18}},  // (770 + 3020 + 840) >> 8
      {"tint", [&](TPixelBuffer& b) { Tint(b, toolkitOrange); }, {128, 0, 7}, {128, 64, 0}},
      {"tint black", [&](TPixelBuffer& b) { Tint(b, toolkitOrange); }, {0, 0, 0}, {0, 0, 0}},
      {"rotate 8", [](TPixelBuffer& b) { RotateColourBits(b, 8); }, {255, 0, 0}, {0, 255, 0}},
      {"rotate 8 twice over", [](TPixelBuffer& b) { RotateColourBits(b, 8); }, {1, 2, 3}, {3, 1, 2}},
      {"rotate 1", [](TPixelBuffer& b) { RotateColourBits(b, 1); }, {0x80, 0x81, 0x80}, {0x01, 0x03, 0x01}},
      {"rotate 24", [](TPixelBuffer& b) { RotateColourBits(b, 24); }, {1, 2, 3}, {1, 2, 3}},
      {"rotate 0", [](TPixelBuffer& b) { RotateColourBits(b, 0); }, {1, 2, 3}, {1, 2, 3}},
      {"erase", EraseToBlack, {9, 8, 7}, {0, 0, 0}},
      {"exchange exact", [](TPixelBuffer& b) { ExchangeColour(b, 0x030201, 0x0A0B0C, 0); }, {1, 2, 3}, {12, 11, 10}},
      {"exchange miss", [](TPixelBuffer& b) { ExchangeColour(b, 0x030201, 0x0A0B0C, 0); }, {1, 2, 4}, {1, 2, 4}},
      {"exchange window", [](TPixelBuffer& b) { ExchangeColour(b, 0x030201, 0x0A0B0C, 5); }, {6, 0, 8}, {12, 11, 10}},
      {"exchange outside", [](TPixelBuffer& b) { ExchangeColour(b, 0x030201, 0x0A0B0C, 5); }, {7, 0, 8}, {7, 0, 8}},
      // 65536 + 2 as an unsigned 16-bit number is 2.
      {"exchange tol wraps", [](TPixelBuffer& b) { ExchangeColour(b, 0x000000, 0xFFFFFF, 65538); }, {3, 0, 0}, {3, 0, 0}},
      {"exchange wide window", [](TPixelBuffer& b) { ExchangeColour(b, 0xFFFFFF, 0x102030, 300); }, {0, 9, 0}, {48, 32, 16}},
      {"noise 256", [](TPixelBuffer& b) { AddNoise(b, 256); }, {0, 128, 255}, {0, 128, 255}},
  };
  for (const EffectCase& c : cases) {
    TPixelBuffer b = Picture({c.in, c.in}, 2);
    c.effect(b);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) EXPECT_EQ(Rgb(b, x, y), c.out) << c.name;
    EXPECT_THAT(Gaps(b), ::testing::Each(kJunk)) << c.name;
  }
}

TEST(ColourEffects, TintRoundsEveryProductToNearest) {
  // Every tint channel c against every maximum M: round(c * M / 255).
  TPixelBuffer grey;
  grey.Allocate(256, 1, 0, 24);
  for (int c = 0; c < 256; ++c) {
    for (int m = 0; m < 256; ++m) grey.WritePixel(0, m, static_cast<uint32_t>(m) << 8);  // green = M
    Tint(grey, static_cast<uint32_t>(c | (255 - c) << 16));                        // red c, blue 255 - c
    for (int m = 0; m < 256; ++m) {
      const std::array<int, 3> got = Rgb(grey, m);
      ASSERT_EQ(got[0], static_cast<int>(std::nearbyint(c * m / 255.0))) << c << " " << m;
      ASSERT_EQ(got[1], 0);
      ASSERT_EQ(got[2], static_cast<int>(std::nearbyint((255 - c) * m / 255.0))) << c << " " << m;
    }
  }
}

TEST(ColourEffects, WideRowsMatchThePixelRules) {
  // Rows long enough for the vector paths, checked pixel by pixel against the rules.
  TPixelBuffer card = Card();
  TPixelBuffer wide;
  wide.Allocate(131, 3, 0, 24);
  std::memset(wide.Bits(), kJunk, static_cast<size_t>(wide.BytesPerLine()) * 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 131; ++x)
      wide.WritePixel(y, x, static_cast<uint32_t>((x * 7 + y * 50) % 256 << 16 | (x * 13) % 256 << 8 | (x * 29 + y) % 256));
  struct Rule {
    const char* name;
    std::function<void(TPixelBuffer&)> effect;
    std::function<std::array<int, 3>(std::array<int, 3>)> pixel;  // (R, G, B) -> (R, G, B)
  };
  const Rule rules[] = {
      {"gray", ToGrayScale, [](std::array<int, 3> c) {
         const int g = (c[0] * 77 + c[1] * 151 + c[2] * 28) >> 8;
         return std::array<int, 3>{g, g, g};
       }},
      {"rotate 11", [](TPixelBuffer& b) { RotateColourBits(b, 11); }, [](std::array<int, 3> c) {
         uint32_t p = static_cast<uint32_t>(c[2] << 16 | c[1] << 8 | c[0]);
         for (int i = 0; i < 11; ++i) p = ((p << 1) | (p >> 23)) & 0xFFFFFF;
         return std::array<int, 3>{static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                   static_cast<int>(p >> 16)};
       }},
      {"exchange", [](TPixelBuffer& b) { ExchangeColour(b, 0x405060, 0x010203, 40); }, [](std::array<int, 3> c) {
         const bool in = c[0] >= 0x60 - 40 && c[0] <= 0x60 + 40 && c[1] >= 0x50 - 40 && c[1] <= 0x50 + 40 &&
                         c[2] >= 0x40 - 40 && c[2] <= 0x40 + 40;
         return in ? std::array<int, 3>{3, 2, 1} : c;
       }},
      {"saturation 300", [](TPixelBuffer& b) { b.AdjustSaturation(300); }, [](std::array<int, 3> c) {
         const std::array<int, 256> a = SaturationWeights(300);
         const int m = (c[0] + c[1] + c[2]) / 3, base = m - a[m];
         std::array<int, 3> out;
         for (int i = 0; i < 3; ++i) out[i] = std::clamp(base + a[c[i]], 0, 255);
         return out;
       }},
      {"tables", [](TPixelBuffer& b) { b.AdjustContrast(90, -30, 200); }, [](std::array<int, 3> c) {
         return std::array<int, 3>{ContrastTable(90)[c[0]], ContrastTable(-30)[c[1]], ContrastTable(200)[c[2]]};
       }},
      {"one table", [](TPixelBuffer& b) { b.AdjustLightness(-70, -70, -70); }, [](std::array<int, 3> c) {
         const TChannelTable t = LightnessTable(-70);
         return std::array<int, 3>{t[c[0]], t[c[1]], t[c[2]]};
       }},
      {"tint", [](TPixelBuffer& b) { Tint(b, 0x4080C0); }, [](std::array<int, 3> c) {
         const int m = std::max({c[0], c[1], c[2]});
         auto scale = [m](int k) { return static_cast<int>(std::nearbyint(k * m / 255.0)); };
         return std::array<int, 3>{scale(0xC0), scale(0x80), scale(0x40)};
       }},
      {"negate", Negate, [](std::array<int, 3> c) { return std::array<int, 3>{255 - c[0], 255 - c[1], 255 - c[2]}; }},
  };
  for (bool wideVectors : {true, false}) {
  UseWideVectors(wideVectors);
  for (const Rule& rule : rules) {
    for (TPixelBuffer* source : {&card, &wide}) {
      for (int bits : {24, 32}) {
        TPixelBuffer b;
        b.Allocate(source->Width(), source->Height(), 0, bits);
        std::memset(b.Bits(), kJunk, static_cast<size_t>(b.BytesPerLine()) * b.Height());
        source->PaintTo(b, 0, 0);
        rule.effect(b);
        for (int y = 0; y < b.Height(); ++y)
          for (int x = 0; x < b.Width(); ++x) {
            ASSERT_EQ(Rgb(b, x, y), rule.pixel(Rgb(*source, x, y))) << rule.name << " " << bits << " " << x << "," << y;
            if (bits == 32 && std::string(rule.name) != "negate") {  // negate inverts every byte
              ASSERT_EQ(b.Row(y)[4 * x + 3], kJunk) << rule.name;
            }
          }
        EXPECT_THAT(Gaps(b), ::testing::Each(kJunk)) << rule.name;
      }
    }
  }
  }
  UseWideVectors(true);
}

TEST(ColourEffects, ThirtyTwoBitsKeepTheFourthByte) {
  const std::vector<std::function<void(TPixelBuffer&)>> effects = {
      Brighten, Lighten, ToGrayScale, EraseToBlack, [](TPixelBuffer& b) { Tint(b, 0xFFFFFF); },
      [](TPixelBuffer& b) { RotateColourBits(b, 3); }, [](TPixelBuffer& b) { ExchangeColour(b, 0, 0, 255); }};
  for (const auto& effect : effects) {
    TPixelBuffer b;
    b.Allocate(3, 1, 0, 32);
    for (int x = 0; x < 3; ++x) b.Row32(0)[x] = 0x7E102030;
    effect(b);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Row(0)[x * 4 + 3], 0x7E);
  }
}

TEST(ColourEffects, NoiseTwoFiftySixStillAdvancesTheGenerator) {
  TPixelBuffer b = Picture({{1, 2, 3}, {4, 5, 6}});
  SetRandomState(99);
  AddNoise(b, 256);
  uint32_t expected = 99;
  for (int i = 0; i < 6; ++i) expected = expected * 0x08088405u + 1u;
  EXPECT_EQ(RandomState(), expected);
}

TEST(ColourProperties, NegateTwiceIsIdentityAtEveryDepth) {
  for (int bits : {16, 24, 32}) {
    TPixelBuffer b = Card(bits);
    const std::vector<uint8_t> before = Bytes(b);
    Negate(b);
    EXPECT_NE(Bytes(b), before);
    Negate(b);
    EXPECT_EQ(Bytes(b), before) << bits;
  }
  TPixelBuffer b4;
  b4.Allocate(3, 1, 0, 4);
  std::memset(b4.Bits(), 0x1F, 4);
  Negate(b4);
  EXPECT_THAT(std::vector<uint8_t>(b4.Bits(), b4.Bits() + 4), ::testing::ElementsAre(0xE0, 0xEF, 0x1F, 0x1F));
}

TEST(ColourProperties, NeutralTablesKeepThePicture) {
  TPixelBuffer b = Card();
  const std::vector<uint8_t> before = Bytes(b);
  b.ShiftChannels(0, 0, 0);
  b.AdjustContrast(0, 0, 0);
  b.AdjustLightness(0, 0, 0);
  EXPECT_EQ(Bytes(b), before);
}

TEST(ColourSliders, PreviewAppliesInOrderAndLeavesTheSource) {
  TPixelBuffer work = Card(), preview;
  const std::vector<uint8_t> before = Bytes(work);
  // Saturation at 0 skips that pass; neutral everything else: an exact copy.
  ApplySliders(preview, work, TSliderPositions{255, 255, 0, 255, 255, 255});
  EXPECT_EQ(Bytes(preview), before);

  TSliderPositions s{255 + 60, 255 - 100, 256, 255 + 40, 255, 255 - 10};
  ApplySliders(preview, work, s);
  EXPECT_EQ(Bytes(work), before);
  const TChannelTable l = LightnessTable(60), c = ContrastTable(-100);
  const TChannelTable red = ShiftTable(40), green = ShiftTable(0), blue = ShiftTable(-10);
  for (int y = 0; y < work.Height(); ++y)
    for (int x = 0; x < work.Width(); ++x) {
      const std::array<int, 3> in = Rgb(work, x, y);
      const std::array<int, 3> expected = {red[c[l[in[0]]]], green[c[l[in[1]]]], blue[c[l[in[2]]]]};
      EXPECT_EQ(Rgb(preview, x, y), expected) << x << "," << y;
    }
}

TEST(ColourSliders, NeutralPositionsKeepThePicture) {
  // At 255 the saturation pass still runs, but A[k] = (255 (k + 1)) >> 8 = k makes it exact.
  TPixelBuffer work = Card(), preview;
  ApplySliders(preview, work, TSliderPositions{});
  EXPECT_EQ(Bytes(preview), Bytes(work));
}

}  // namespace
}  // namespace vell
