// The two-colour gradient's shapes and the control's picture.
#include "dialogs/VellGradient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

namespace vell {
namespace {

constexpr uint32_t kNavy = 0x800000, kAqua = 0xFFFF00;

// Pixel (x, y) as 0x00BBGGRR.
uint32_t At(const TPixelBuffer& b, int x, int y) {
  const TRGB24& p = b.Row24(y)[x];
  return uint32_t{p.b} << 16 | uint32_t{p.g} << 8 | p.r;
}

uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(r); }

TPixelBuffer Render(int w, int h, TGradientShape shape) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  // Junk everywhere, padding included: every pixel must be drawn, the padding never.
  std::memset(b.Bits(), 0x5A, static_cast<size_t>(b.BytesPerLine()) * h);
  RenderGradient(b, shape);
  return b;
}

TGradientShape Style(TGradientStyle style, int angle = 0) {
  TGradientShape s;
  s.GradientStyle = style;
  s.StartAngle = angle;
  return s;
}

TEST(GradientStep, TruncatesTowardZeroOnEveryChannel) {
  struct Case {
    int begin, end, n;
    std::vector<int> steps;
  };
  const Case cases[] = {
      {200, 100, 3, {200, 167, 134, 100}},  // falling: -33.3 and -66.7 truncate toward zero
      {0, 255, 3, {0, 85, 170, 255}},
      {128, 255, 128, {128, 128}},  // step 1 of 128 keeps 128 (127/128 truncates to 0)
      {10, 10, 5, {10, 10, 10, 10, 10, 10}},
  };
  for (const Case& c : cases) {
    for (size_t k = 0; k < c.steps.size(); ++k) {
      SCOPED_TRACE(std::to_string(c.begin) + "->" + std::to_string(c.end) + " k " + std::to_string(k));
      // The same arithmetic on red, green and blue.
      EXPECT_EQ(GradientStepColor(Rgb(c.begin, c.begin, c.begin), Rgb(c.end, c.end, c.end), static_cast<int64_t>(k), c.n),
                Rgb(c.steps[k], c.steps[k], c.steps[k]));
    }
  }
  EXPECT_EQ(GradientStepColor(kNavy, kAqua, 0, 0), kNavy);  // no steps: the begin colour
  EXPECT_EQ(GradientStepColor(kNavy, kAqua, 255, 255), kAqua);
}

TEST(GradientRender, VertCenterDefaults) {
  const TPixelBuffer b = Render(256, 256, Style(TGradientStyle::gsVertCenter));
  EXPECT_EQ(At(b, 0, 0), kNavy);
  EXPECT_EQ(At(b, 255, 128), kAqua);
  EXPECT_EQ(At(b, 17, 255), Rgb(0, 1, 128));  // step 1 of 128
  EXPECT_EQ(At(b, 3, 1), Rgb(0, 1, 128));     // the rows mirror about the centre
  // Odd height: rows 127 and 128 both carry the end colour.
  const TPixelBuffer odd = Render(10, 255, Style(TGradientStyle::gsVertCenter));
  EXPECT_EQ(At(odd, 0, 127), kAqua);
  EXPECT_EQ(At(odd, 0, 128), kAqua);
  EXPECT_EQ(At(odd, 0, 126), GradientStepColor(kNavy, kAqua, 126, 127));
}

TEST(GradientRender, HorizontalGivesOneColumnPerBandAt256) {
  const TPixelBuffer b = Render(256, 4, Style(TGradientStyle::gsHorizontal));
  for (int x = 0; x < 256; ++x) {
    EXPECT_EQ(At(b, x, 0), GradientStepColor(kNavy, kAqua, x, 255)) << x;
    EXPECT_EQ(At(b, x, 3), At(b, x, 0)) << x;
  }
  EXPECT_EQ(At(b, 0, 0), kNavy);
  EXPECT_EQ(At(b, 255, 0), kAqua);
}

// The band styles against the plain loop over every band, drawn in order.
TEST(GradientRender, BandsMatchTheLoopOverEveryBand) {
  struct Case {
    int size;
    int32_t steps;
  };
  const Case cases[] = {{37, 1000}, {100, 7}, {5, 255}, {1, 3}, {300, 0}, {13, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " steps " + std::to_string(c.steps));
    TGradientShape shape = Style(TGradientStyle::gsVertical);
    shape.Steps = c.steps;
    shape.BeginColor = Rgb(250, 3, 90);
    shape.EndColor = Rgb(5, 200, 91);
    const TPixelBuffer b = Render(3, c.size, shape);
    std::vector<uint32_t> rows(static_cast<size_t>(c.size), 0xFFFFFFFF);
    for (int64_t k = 0; k <= c.steps; ++k)
      for (int64_t y = k * c.size / (c.steps + 1); y < (k + 1) * c.size / (c.steps + 1); ++y)
        rows[static_cast<size_t>(y)] = GradientStepColor(shape.BeginColor, shape.EndColor, k, c.steps);
    for (int y = 0; y < c.size; ++y) EXPECT_EQ(At(b, 1, y), rows[static_cast<size_t>(y)]) << y;
  }
}

// Sizes and steps that would divide by zero draw something sound.
TEST(GradientRender, DegenerateSizesAndStepsDrawTheBeginColour) {
  struct Case {
    const char* what;
    TGradientStyle style;
    int w, h;
    int32_t steps;
  };
  const Case cases[] = {
      {"HorizCenter one column", TGradientStyle::gsHorizCenter, 1, 4, 255},
      {"VertCenter one row", TGradientStyle::gsVertCenter, 4, 1, 255},
      {"Rectangle no steps", TGradientStyle::gsRectangle, 9, 7, 0},
      {"Rectangle negative steps", TGradientStyle::gsRectangle, 9, 7, -4},
      {"Horizontal negative steps", TGradientStyle::gsHorizontal, 9, 7, -1},
      {"Vertical no steps", TGradientStyle::gsVertical, 9, 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TGradientShape shape = Style(c.style);
    shape.Steps = c.steps;
    const TPixelBuffer b = Render(c.w, c.h, shape);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) EXPECT_EQ(At(b, x, y), kNavy) << x << "," << y;
  }
}

TEST(GradientRender, EveryStyleDrawsEveryPixelAndNoPadding) {
  const int sizes[][2] = {{1, 1}, {2, 1}, {1, 2}, {3, 3}, {7, 5}, {64, 9}};
  for (const auto& size : sizes) {
    for (const auto& item : kGradientStyleItems) {
      for (int angle : {0, -725, 2147483647}) {
        SCOPED_TRACE(std::string(item.Text) + " " + std::to_string(size[0]) + "x" + std::to_string(size[1]) +
                     " angle " + std::to_string(angle));
        TGradientShape shape = Style(item.Style, angle);
        const TPixelBuffer b = Render(size[0], size[1], shape);
        for (int y = 0; y < size[1]; ++y) {
          for (int x = 0; x < size[0]; ++x) EXPECT_NE(At(b, x, y), 0x5A5A5Au) << x << "," << y;
          for (int p = size[0] * 3; p < b.BytesPerLine(); ++p) EXPECT_EQ(b.Row(y)[p], 0x5A);
        }
      }
    }
  }
}

TEST(GradientRender, RectanglesNestFromTheEdgeToTheCentre) {
  const TPixelBuffer b = Render(64, 40, Style(TGradientStyle::gsRectangle));
  // The corners keep the last of the first few rectangles that still reach them.
  EXPECT_EQ(At(b, 0, 0), GradientStepColor(kNavy, kAqua, 6, 255));
  // Along the diagonal toward the centre the green channel never falls.
  int last = -1;
  for (int i = 0; i < 20; ++i) {
    const int g = static_cast<int>((At(b, i * 32 / 20, i) >> 8) & 0xFF);
    EXPECT_GE(g, last) << i;
    last = g;
  }
  EXPECT_GT(last, 200);
}

TEST(GradientRender, EllipticIsBeginAtTheCornersAndEndNearTheCentre) {
  const TPixelBuffer b = Render(256, 256, Style(TGradientStyle::gsElliptic));
  // Only the first few ellipses reach the corners.
  for (auto [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}}) EXPECT_LT((At(b, x, y) >> 8) & 0xFF, 40u);
  EXPECT_EQ(At(b, 129, 129), kAqua);  // the last ellipse, just right of and below the centre
  EXPECT_NE(At(b, 120, 129), kAqua);
}

// Green rises 0 .. 255 with the radial step of navy to aqua; `turn` is the
// clockwise angle from straight up at which the step is expected.
int RadialGreen(const TPixelBuffer& b, double degrees) {
  const double a = degrees * std::numbers::pi / 180;
  const int x = 128 + static_cast<int>(std::lround(90 * std::sin(a)));
  const int y = 128 - static_cast<int>(std::lround(90 * std::cos(a)));
  return static_cast<int>((At(b, x, y) >> 8) & 0xFF);
}

TEST(GradientRender, RadialConesTurnClockwiseFromTheStartAngle) {
  struct Case {
    TGradientStyle style;
    int angle;
    double at;      // clockwise from straight up
    double rising;  // expected step share 0 .. 1
  };
  const Case cases[] = {
      {TGradientStyle::gsRadial1, 0, 0.5, 0.0},    {TGradientStyle::gsRadial1, 0, 90.5, 0.5},
      {TGradientStyle::gsRadial1, 0, 178.5, 1.0},  {TGradientStyle::gsRadial1, 0, 270.5, 0.5},
      {TGradientStyle::gsRadial1, 0, 45.5, 0.25},  {TGradientStyle::gsRadial1, 0, 315.5, 0.25},
      {TGradientStyle::gsRadial1, 90, 90.5, 0.0},  {TGradientStyle::gsRadial1, 90, 180.5, 0.5},
      {TGradientStyle::gsRadial1, 90, 0.5, 0.5},   {TGradientStyle::gsRadial1, 90, 268.5, 1.0},
      {TGradientStyle::gsRadial2, 0, 0.5, 0.0},    {TGradientStyle::gsRadial2, 0, 88.5, 1.0},
      {TGradientStyle::gsRadial2, 0, 180.5, 0.0},  {TGradientStyle::gsRadial2, 0, 45.5, 0.5},
      {TGradientStyle::gsRadial2, 0, 225.5, 0.5},  {TGradientStyle::gsRadial2, 360, 88.5, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("style " + std::to_string(static_cast<int>(c.style)) + " start " + std::to_string(c.angle) +
                 " at " + std::to_string(c.at));
    const TPixelBuffer b = Render(256, 256, Style(c.style, c.angle));
    EXPECT_NEAR(RadialGreen(b, c.at), 255 * c.rising, 6);
  }
  // Straight above the centre is the begin colour itself.
  EXPECT_EQ(At(Render(256, 256, Style(TGradientStyle::gsRadial1)), 128, 60), kNavy);
}

TEST(GradientRender, BevelFramesThePicture) {
  TGradientShape shape;
  shape.Ctl3D = true;
  const TPixelBuffer b = Render(20, 10, shape);
  struct Case {
    int x, y;
    uint32_t colour;
  };
  const Case cases[] = {
      {0, 0, 0x808080},  {10, 0, 0x808080}, {0, 5, 0x808080},   // outer top and left
      {19, 0, 0xFFFFFF}, {19, 9, 0xFFFFFF}, {0, 9, 0xFFFFFF},   // outer bottom and right
      {1, 1, 0x000000},  {10, 1, 0x000000}, {1, 5, 0x000000},   // inner top and left
      {18, 5, 0xC0C0C0}, {10, 8, 0xC0C0C0}, {18, 1, 0xC0C0C0},  // inner bottom and right
  };
  for (const Case& c : cases) EXPECT_EQ(At(b, c.x, c.y), c.colour) << c.x << "," << c.y;
  EXPECT_EQ(At(b, 5, 5), GradientStepColor(kNavy, kAqua, 153, 255));  // inside untouched
}

TEST(GradientPicture, RendersWhenDirtyOrResizedOnly) {
  TGradientPicture g;
  EXPECT_TRUE(g.Dirty());
  EXPECT_EQ(g.Picture().Width(), 75);
  EXPECT_EQ(g.Renders(), 1);
  g.Picture();
  EXPECT_EQ(g.Renders(), 1);
  EXPECT_FALSE(g.SetBeginColor(kNavy));  // same value: nothing to do
  EXPECT_FALSE(g.NeedsRender());
  // A new size is not dirty but renders again, at the new size, the same colours.
  EXPECT_TRUE(g.SetSize(256, 256));
  EXPECT_FALSE(g.Dirty());
  EXPECT_TRUE(g.NeedsRender());
  EXPECT_EQ(g.Picture().Height(), 256);
  EXPECT_EQ(g.Renders(), 2);
  EXPECT_EQ(At(g.Picture(), 0, 255), kAqua);  // vertical: the last row is the end colour
  EXPECT_TRUE(g.SetGradientStyle(TGradientStyle::gsVertCenter));
  EXPECT_EQ(At(g.Picture(), 0, 255), Rgb(0, 1, 128));
  EXPECT_EQ(g.Renders(), 3);
  // No pixels, or too many: an empty picture, and back again.
  g.SetSize(-3, 10);
  EXPECT_TRUE(g.Picture().Empty());
  g.SetSize(1 << 14, (1 << 12) + 1);
  EXPECT_TRUE(g.Picture().Empty());
  g.SetSize(4, 4);
  EXPECT_EQ(g.Picture().Width(), 4);
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

// The one-pass radial fill against the wedges drawn one by one.
TEST(GradientRender, RadialFanMatchesTheWedgesDrawnOneByOne) {
  const int sizes[][2] = {{256, 256}, {255, 255}, {100, 37}, {37, 100}, {64, 65}, {301, 299}, {40, 40}, {9, 9}, {2, 3}};
  for (const auto& size : sizes) {
    for (TGradientStyle style : {TGradientStyle::gsRadial1, TGradientStyle::gsRadial2}) {
      for (int angle : {0, 90, 17, -45, 359, 1000001}) {
        SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]) + " style " +
                     std::to_string(static_cast<int>(style)) + " angle " + std::to_string(angle));
        TGradientShape shape = Style(style, angle);
        shape.BeginColor = 0x10E040;
        shape.EndColor = 0xF02090;
        const TPixelBuffer fast = Render(size[0], size[1], shape);
        TPixelBuffer slow;
        slow.Allocate(size[0], size[1], 0, 24);
        RenderRadialWedges(slow, shape);
        int differ = 0;
        for (int y = 0; y < size[1]; ++y)
          for (int x = 0; x < size[0]; ++x)
            if (At(fast, x, y) != At(slow, x, y) && differ++ < 3) ADD_FAILURE() << "pixel " << x << "," << y;
        EXPECT_EQ(differ, 0);
      }
    }
  }
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

// Nested rectangles filled once per pixel against every rectangle drawn in turn.
TEST(GradientRender, RectanglesMatchTheLoopOverEveryRectangle) {
  const int cases[][3] = {{256, 256, 255}, {4096, 12, 255}, {13, 300, 255}, {64, 64, 1}, {64, 40, 3}, {7, 5, 255},
                          {1, 1, 255},     {900, 2, 17},    {2, 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]) + " steps " + std::to_string(c[2]));
    TGradientShape shape = Style(TGradientStyle::gsRectangle);
    shape.Steps = c[2];
    shape.BeginColor = 0x2040F0;
    shape.EndColor = 0xE0C010;
    const TPixelBuffer fast = Render(c[0], c[1], shape);
    TPixelBuffer slow;
    slow.Allocate(c[0], c[1], 0, 24);
    TCanvas canvas(slow);
    canvas.Pen.Clear = true;
    double left = 0, top = 0, right = c[0] + 2.0, bottom = c[1] + 2.0;
    const double dx = (c[0] / 2.0) / c[2], dy = (c[1] / 2.0) / c[2];
    for (int k = 0; k <= c[2]; ++k) {
      left += dx, right -= dx, top += dy, bottom -= dy;
      canvas.Brush.Color = GradientStepColor(shape.BeginColor, shape.EndColor, k, c[2]);
      canvas.FillRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    }
    int differ = 0;
    for (int y = 0; y < c[1]; ++y)
      for (int x = 0; x < c[0]; ++x)
        if (At(fast, x, y) != At(slow, x, y) && differ++ < 3) ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(differ, 0);
  }
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

// Nested ellipses filled once per pixel against every ellipse drawn in turn by the canvas.
TEST(GradientRender, EllipsesMatchTheLoopOverEveryEllipse) {
  const int cases[][2] = {{256, 256}, {255, 100}, {1000, 7}, {7, 400}, {9, 9}, {1, 1}, {2, 5}, {600, 600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]));
    TGradientShape shape = Style(TGradientStyle::gsElliptic);
    shape.BeginColor = 0x2040F0;
    shape.EndColor = 0xE0C010;
    const TPixelBuffer fast = Render(c[0], c[1], shape);
    TPixelBuffer slow;
    slow.Allocate(c[0], c[1], 0, 24);
    TCanvas canvas(slow);
    canvas.Pen.Clear = true;
    const int w = c[0], h = c[1];
    double left = -w / 4.0, top = -h / 4.0, right = w + w / 4.0 + 4, bottom = h + h / 4.0 + 4;
    const double dx = (w / 4.0 + w / 2.0) / 155, dy = (h / 4.0 + h / 2.0) / 155;
    for (int k = 0; k <= 155; ++k) {
      left += dx, right -= dx, top += dy, bottom -= dy;
      canvas.Brush.Color = GradientStepColor(shape.BeginColor, shape.EndColor, k, 155);
      canvas.Ellipse(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    }
    int differ = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(fast, x, y) != At(slow, x, y) && differ++ < 3) ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(differ, 0);
  }
}

}  // namespace
}  // namespace vell
