// The multi-colour gradient, the colour wheel and the four-corner blend.
#include "dialogs/MultiGradient.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vell {
namespace {

constexpr uint32_t kFuchsia = 0xFF00FF, kAqua = 0xFFFF00, kRed = 0x0000FF, kGreen = 0x00FF00;

uint32_t At(const TPixelBuffer& b, int x, int y) {
  const TRGB24& p = b.Row24(y)[x];
  return uint32_t{p.b} << 16 | uint32_t{p.g} << 8 | p.r;
}
int R(uint32_t c) { return static_cast<int>(c & 0xFF); }
int G(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(r); }

TPixelBuffer Picture(int w, int h, const std::vector<TGradientMarker>& markers, uint32_t background = 0) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  RenderMultiGradient(b, markers, background);
  return b;
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  struct Case {
    int64_t a, b, n, result;
  };
  const Case cases[] = {{1, 255, 150, 2},   {1, -255, 150, -2}, {1, 75, 150, 1},  {1, -75, 150, -1},
                        {3, 50, 150, 1},    {150, 74, 150, 74}, {7, 0, 150, 0},   {5, 5, 0, -1},
                        {-1, 75, 150, -1},  {1, 74, 150, 0}};
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.n), c.result) << c.a << "*" << c.b << "/" << c.n;
}

TEST(MultiGradient, DefaultsBlendThroughFuchsiaAndAqua) {
  const TPixelBuffer b = Picture(256, 256, DefaultMarkers());
  EXPECT_EQ(At(b, 0, 0), 0u);
  // A marker's column starts the next segment, one band in.
  EXPECT_EQ(At(b, 96, 0), Rgb(253, 2, 255));
  EXPECT_EQ(At(b, 95, 0), Rgb(253, 0, 253));
  EXPECT_EQ(At(b, 170, 255), kAqua);
  // Black to fuchsia rises, fuchsia to aqua trades red for green, aqua falls back to black.
  for (int x = 1; x < 96; ++x) EXPECT_GE(R(At(b, x, 7)), R(At(b, x - 1, 7))) << x;
  for (int x = 97; x < 170; ++x) {
    EXPECT_LE(R(At(b, x, 7)), R(At(b, x - 1, 7))) << x;
    EXPECT_GE(G(At(b, x, 7)), G(At(b, x - 1, 7))) << x;
    EXPECT_EQ(B(At(b, x, 7)), 255) << x;
  }
  for (int x = 171; x < 256; ++x) EXPECT_LE(G(At(b, x, 7)), G(At(b, x - 1, 7))) << x;
  EXPECT_LT(G(At(b, 255, 0)), 8);
  EXPECT_EQ(At(b, 40, 0), At(b, 40, 200));  // full-height bands
}

TEST(MultiGradient, MarkerCases) {
  // One marker: black to its colour and back to black.
  const TPixelBuffer one = Picture(200, 2, {{100, kRed}});
  EXPECT_EQ(At(one, 0, 0), 0u);
  EXPECT_EQ(At(one, 100, 0), kRed);
  EXPECT_NEAR(R(At(one, 50, 0)), 128, 3);
  EXPECT_NEAR(R(At(one, 150, 0)), 128, 3);
  // Two at one column: the first created ends the left segment, the other starts the right.
  const TPixelBuffer same = Picture(200, 2, {{100, kRed}, {100, kGreen}});
  EXPECT_EQ(At(same, 100, 0), kGreen);
  EXPECT_NEAR(R(At(same, 99, 0)), 255, 3);
  EXPECT_EQ(G(At(same, 99, 0)), 0);
  // Created out of column order: drawn in column order.
  const TPixelBuffer swapped = Picture(256, 1, {{170, kAqua}, {96, kFuchsia}});
  EXPECT_TRUE(std::memcmp(swapped.Row(0), Picture(256, 1, DefaultMarkers()).Row(0), 256 * 3) == 0);
  // Left of column 0: the next segment starts from that marker's colour at its column.
  const TPixelBuffer left = Picture(200, 1, {{-50, kRed}, {100, kGreen}});
  EXPECT_EQ(At(left, 0, 0), Rgb(255 - 85, 85, 0));  // band 50 of 150 of red -> green
  EXPECT_EQ(At(left, 100, 0), kGreen);
  // Right of the picture, and no markers at all.
  EXPECT_EQ(At(Picture(50, 1, {{400, kRed}}), 49, 0), Rgb(static_cast<int>(MulDiv(18, 255, 150)), 0, 0));
  const TPixelBuffer none = Picture(9, 3, {}, 0x123456);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(At(none, x, 2), 0x123456u);
}

TEST(MultiGradient, DialogStateKeepsMarkersInsideThePicture) {
  TMultiGradient m;
  EXPECT_EQ(m.Markers(), DefaultMarkers());
  EXPECT_EQ(m.Picture().Width(), 256);
  EXPECT_EQ(m.MinimumWidth(), 175);
  EXPECT_FALSE(m.SetWidth(174));  // a marker would fall outside
  EXPECT_TRUE(m.SetWidth(175));
  EXPECT_FALSE(m.SetHeight(0));   // no picture without rows
  EXPECT_FALSE(m.SetHeight(-5));
  EXPECT_EQ(m.Picture().Height(), 256);
  m.SetBackground(0x0000AA);
  EXPECT_EQ(At(m.Picture(), 0, 0), 0x0000AAu);
  m.Clear();
  EXPECT_EQ(m.MinimumWidth(), 1);
  EXPECT_EQ(At(m.Picture(), 150, 3), 0x0000AAu);
  m.AddMarker(10, kRed);
  m.AddMarker(20, kGreen);
  m.AddMarker(30, kAqua);
  m.DeleteMarker(1);
  EXPECT_EQ(m.Markers(), (std::vector<TGradientMarker>{{10, kRed}, {30, kAqua}}));
  m.MoveMarker(0, -40);
  m.RecolourMarker(1, kFuchsia);
  m.DeleteMarker(7);  // no such marker
  EXPECT_EQ(m.Markers(), (std::vector<TGradientMarker>{{-40, kRed}, {30, kFuchsia}}));
  EXPECT_EQ(At(m.Picture(), 30, 0), kFuchsia);
  m.Default();
  EXPECT_EQ(m.Markers(), DefaultMarkers());
  EXPECT_EQ(m.Background(), 0x0000AAu);  // Default keeps the background
}

TEST(ColorWheel, HuesAroundAWhiteCentre) {
  TPixelBuffer w;
  ColorWheel(w);
  ASSERT_EQ(w.Width(), 256);
  ASSERT_EQ(w.Height(), 256);
  struct Case {
    int dx, dy;
    uint32_t colour;
  };
  const Case cases[] = {
      {0, 0, 0xFFFFFF},                 // white centre
      {64, 0, kRed},                    // red to the right
      {-64, 0, Rgb(0, 255, 255)},       // cyan to the left
      {0, 64, Rgb(128, 255, 0)},        // below: hue 96, between yellow and green
      {127, 127, 0},                    // black corner
      {-128, -128, 0},
      {32, 0, Rgb(255, 128, 128)},      // half way to red from white
      {96, 0, Rgb(128, 0, 0)},          // half way from red to black
  };
  for (const Case& c : cases) EXPECT_EQ(At(w, c.dx + 128, c.dy + 128), c.colour) << c.dx << "," << c.dy;
}

TEST(Rainbow, CornersAndNarrowPictures) {
  TPixelBuffer b;
  b.Allocate(256, 200, 0, 24);
  Rainbow(b);
  EXPECT_EQ(At(b, 0, 0), Rgb(0, 0, 255));
  // The last column and row come out at their corner colour or one short of it.
  const uint32_t tr = At(b, 255, 0), bl = At(b, 0, 199), br = At(b, 255, 199);
  EXPECT_GE(R(tr), 254);
  EXPECT_EQ(B(tr), 255);
  EXPECT_LE(G(bl), 255);
  EXPECT_GE(G(bl), 254);
  EXPECT_LE(B(bl), 1);
  EXPECT_NEAR(R(br), 64, 1);
  EXPECT_NEAR(G(br), 80, 1);
  EXPECT_NEAR(B(br), 148, 1);
  // One column: each row the left colour only, blue down to green.
  TPixelBuffer narrow;
  narrow.Allocate(1, 3, 0, 24);
  Rainbow(narrow);
  EXPECT_EQ(At(narrow, 0, 0), Rgb(0, 0, 255));
  EXPECT_EQ(At(narrow, 0, 1), Rgb(0, 127, 127));
  EXPECT_EQ(At(narrow, 0, 2), Rgb(0, 255, 0));
  // Two by two: every corner exact.
  TPixelBuffer small;
  small.Allocate(2, 2, 0, 24);
  Rainbow(small);
  EXPECT_EQ(At(small, 1, 0), Rgb(255, 0, 255));
  EXPECT_EQ(At(small, 1, 1), Rgb(64, 80, 148));
  // A rectangle leaving the picture draws nothing.
  TPixelBuffer keep;
  keep.Allocate(4, 4, 0, 24);
  FourCornerBlend(keep, 0, 0, 4, 3, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
  EXPECT_EQ(At(keep, 0, 0), 0u);
}

}  // namespace
}  // namespace vell
