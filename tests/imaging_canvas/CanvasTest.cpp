#include "imaging/Canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vell {
namespace {

constexpr uint32_t kPenRed = 0x0000FF, kBrushGreen = 0x00FF00;

TPixelBuffer Picture(int w, int h, uint32_t colour = 0) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  std::memset(b.Bits(), 0xA5, static_cast<size_t>(b.BytesPerLine()) * h);  // junk in the padding
  TCanvas c(b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.SetPixel(x, y, colour);
  return b;
}

// '.' black, '#' pen red, 'o' brush green, '?' anything else.
std::string Art(const TPixelBuffer& b) {
  TCanvas c(const_cast<TPixelBuffer&>(b));
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const uint32_t p = c.Pixel(x, y);
      s += p == 0 ? '.' : p == kPenRed ? '#' : p == kBrushGreen ? 'o' : '?';
    }
    s += '\n';
  }
  return s;
}

std::string Join(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) s += std::string(r) + "\n";
  return s;
}

bool PaddingIntact(const TPixelBuffer& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int i = b.Width() * 3; i < b.BytesPerLine(); ++i)
      if (b.Row(y)[i] != 0xA5) return false;
  return true;
}

void Scramble(TPixelBuffer& b, uint32_t seed) {
  TCanvas c(b);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      c.SetPixel(x, y, seed >> 8 & 0xFFFFFF);
    }
}

// Each raster operation as the platform defines it, checked bit by bit through a drawn pixel.
TEST(CanvasRop, EveryOperationMatchesItsTruthTable) {
  struct Case {
    TRop2 mode;
    std::function<uint32_t(uint32_t, uint32_t)> truth;  // (pen, destination)
  };
  const std::vector<Case> cases = {
      {TRop2::Black, [](uint32_t, uint32_t) { return 0u; }},
      {TRop2::NotMergePen, [](uint32_t p, uint32_t d) { return ~(p | d); }},
      {TRop2::MaskNotPen, [](uint32_t p, uint32_t d) { return d & ~p; }},
      {TRop2::NotCopyPen, [](uint32_t p, uint32_t) { return ~p; }},
      {TRop2::MaskPenNot, [](uint32_t p, uint32_t d) { return p & ~d; }},
      {TRop2::Not, [](uint32_t, uint32_t d) { return ~d; }},
      {TRop2::XorPen, [](uint32_t p, uint32_t d) { return p ^ d; }},
      {TRop2::NotMaskPen, [](uint32_t p, uint32_t d) { return ~(p & d); }},
      {TRop2::MaskPen, [](uint32_t p, uint32_t d) { return p & d; }},
      {TRop2::NotXorPen, [](uint32_t p, uint32_t d) { return ~(p ^ d); }},
      {TRop2::Nop, [](uint32_t, uint32_t d) { return d; }},
      {TRop2::MergeNotPen, [](uint32_t p, uint32_t d) { return d | ~p; }},
      {TRop2::CopyPen, [](uint32_t p, uint32_t) { return p; }},
      {TRop2::MergePenNot, [](uint32_t p, uint32_t d) { return p | ~d; }},
      {TRop2::MergePen, [](uint32_t p, uint32_t d) { return p | d; }},
      {TRop2::White, [](uint32_t, uint32_t) { return ~0u; }},
  };
  // Together these pairs put every (pen bit, destination bit) combination on every bit.
  const std::vector<std::pair<uint32_t, uint32_t>> pairs = {
      {0x000000, 0x000000}, {0x000000, 0xFFFFFF}, {0xFFFFFF, 0x000000}, {0xFFFFFF, 0xFFFFFF},
      {0x5A3CC3, 0x0FF00F}, {0x123456, 0xFEDCBA}, {0x0000FF, 0x00FF00}};
  for (const Case& c : cases) {
    for (auto [pen, dest] : pairs) {
      SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " pen " << std::hex << pen << " dest " << dest);
      EXPECT_EQ(ApplyRop2(c.mode, pen, dest) & 0xFFFFFF, c.truth(pen, dest) & 0xFFFFFF);
      TPixelBuffer b = Picture(3, 1, dest);
      TCanvas canvas(b);
      canvas.Pen.Color = pen;
      canvas.Pen.Mode = c.mode;
      canvas.MoveTo(0, 0);
      canvas.LineTo(2, 0);  // pixels 0 and 1; the last point is left out
      EXPECT_EQ(canvas.Pixel(0, 0), c.truth(pen, dest) & 0xFFFFFF);
      EXPECT_EQ(canvas.Pixel(1, 0), c.truth(pen, dest) & 0xFFFFFF);
      EXPECT_EQ(canvas.Pixel(2, 0), dest);
    }
  }
}

TEST(CanvasRop, ColoursAreRedInTheLowByte) {
  TPixelBuffer b = Picture(1, 1);
  TCanvas c(b);
  c.SetPixel(0, 0, 0x112233);
  EXPECT_EQ(b.Row24(0)[0].r, 0x33);
  EXPECT_EQ(b.Row24(0)[0].g, 0x22);
  EXPECT_EQ(b.Row24(0)[0].b, 0x11);
}

// One-pixel lines in every octant: start drawn, end left out, one step per pixel, 8-connected.
TEST(CanvasLine, OnePixelLinesInEveryDirection) {
  const std::vector<std::array<int, 4>> lines = {
      {2, 2, 12, 5}, {12, 5, 2, 2}, {2, 2, 5, 12}, {5, 12, 2, 2}, {12, 2, 2, 6}, {2, 6, 12, 2},
      {7, 1, 7, 13}, {1, 7, 13, 7}, {1, 1, 13, 13}, {13, 1, 1, 13}, {7, 7, 7, 7}};
  for (auto [x0, y0, x1, y1] : lines) {
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    TPixelBuffer b = Picture(15, 15);
    TCanvas c(b);
    c.Pen.Color = kPenRed;
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
    EXPECT_EQ(c.PenPos().x, x1);
    const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    std::string art = Art(b);
    EXPECT_EQ(std::count(art.begin(), art.end(), '#'), n);
    if (n == 0) continue;
    EXPECT_EQ(c.Pixel(x0, y0), kPenRed);
    EXPECT_EQ(c.Pixel(x1, y1), 0u);
    // Every drawn pixel but the start has a drawn 8-neighbour closer to the start.
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 15; ++x) {
        if (c.Pixel(x, y) != kPenRed || (x == x0 && y == y0)) continue;
        bool linked = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if ((dx || dy) && c.Pixel(x + dx, y + dy) == kPenRed &&
                std::max(std::abs(x + dx - x0), std::abs(y + dy - y0)) < std::max(std::abs(x - x0), std::abs(y - y0)))
              linked = true;
        EXPECT_TRUE(linked) << "gap before " << x << "," << y;
      }
  }
}

TEST(CanvasLine, ThickLinesAreCentredWithRoundEnds) {
  struct Case {
    int width, x0, y0, x1, y1;
    std::string art;
  };
  const std::vector<Case> cases = {
      {3, 2, 2, 6, 2, Join({"........", ".#######", ".#######", ".#######", "........"})},
      {2, 2, 2, 6, 2, Join({"........", ".######.", ".######.", "........", "........"})},
      {3, 3, 1, 3, 1, Join({"..###...", "..###...", "..###...", "........", "........"})},
      {5, 3, 2, 3, 2, Join({"..###...", ".#####..", ".#####..", ".#####..", "..###..."})},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.width);
    TPixelBuffer b = Picture(8, 5);
    TCanvas c(b);
    c.Pen.Color = kPenRed;
    c.Pen.Width = k.width;
    c.MoveTo(k.x0, k.y0);
    c.LineTo(k.x1, k.y1);
    EXPECT_EQ(Art(b), k.art);
  }
}

// Drawing twice with XOR restores the picture: every primitive changes a pixel once.
TEST(CanvasXor, EveryPrimitiveDrawnTwiceRestores) {
  const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> shapes = {
      {"thin line", [](TCanvas& c) { c.MoveTo(3, 4); c.LineTo(40, 29); }},
      {"thick line", [](TCanvas& c) { c.Pen.Width = 7; c.MoveTo(3, 4); c.LineTo(40, 29); }},
      {"polyline", [](TCanvas& c) { c.Pen.Width = 4; c.Polyline({{2, 2}, {30, 5}, {10, 30}, {2, 2}}); }},
      {"rectangle", [](TCanvas& c) { c.Pen.Width = 3; c.Rectangle(30, 25, 5, 6); }},
      {"dashed frame", [](TCanvas& c) { c.Pen.Dashed = true; c.Brush.Clear = true; c.Rectangle(1, 1, 37, 23); }},
      {"ellipse", [](TCanvas& c) { c.Pen.Width = 2; c.Ellipse(4, 3, 41, 30); }},
      {"pie", [](TCanvas& c) { c.Pen.Width = 3; c.Pie(4, 3, 41, 30, 40, 10, 3, 25); }},
  };
  for (bool wrap : {false, true}) {
    for (const auto& [name, draw] : shapes) {
      SCOPED_TRACE(testing::Message() << name << (wrap ? " wrapped" : ""));
      TPixelBuffer b = Picture(36, 27);
      Scramble(b, 7);
      TPixelBuffer before;
      CopyPixelsTo(b, before);
      TCanvas c(b);
      c.Wrap = wrap;
      c.Pen.Mode = TRop2::XorPen;
      c.Pen.Color = 0xFFFFFF;
      c.Brush.Color = 0x808080;
      draw(c);
      EXPECT_NE(std::memcmp(b.Bits(), before.Bits(), b.BytesPerLine() * 27), 0);
      draw(c);
      EXPECT_EQ(std::memcmp(b.Bits(), before.Bits(), b.BytesPerLine() * 27), 0);
    }
  }
}

TEST(CanvasShapes, RectanglesCoverTheirBoxWithoutRightAndBottom) {
  struct Case {
    int x1, y1, x2, y2, width;
    bool penClear, brushClear;
    std::string art;
  };
  const std::string oneWide = Join({".......", ".####..", ".#oo#..", ".####..", ".......", "......."});
  const std::vector<Case> cases = {
      {1, 1, 5, 4, 1, false, false, oneWide},
      {5, 4, 1, 1, 1, false, false, oneWide},  // dragged from bottom-right to top-left
      {5, 1, 1, 4, 1, false, false, oneWide},
      {1, 1, 5, 4, 1, false, true, Join({".......", ".####..", ".#..#..", ".####..", ".......", "......."})},
      {1, 1, 5, 4, 1, true, false, Join({".......", ".oooo..", ".oooo..", ".oooo..", ".......", "......."})},
      {2, 1, 6, 5, 3, false, false, Join({".######", ".######", ".######", ".######", ".######", ".######"})},
      {1, 1, 6, 6, 2, false, false, Join({"######.", "######.", "##oo##.", "##oo##.", "######.", "######."})},
      {3, 3, 3, 5, 1, false, false, Join({".......", ".......", ".......", ".......", ".......", "......."})},
      {-3, -3, 3, 3, 1, false, false, Join({"oo#....", "oo#....", "###....", ".......", ".......", "......."})},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.x1 << "," << k.y1 << "," << k.x2 << "," << k.y2 << " w" << k.width);
    TPixelBuffer b = Picture(7, 6);
    TCanvas c(b);
    c.Pen = {kPenRed, k.width, TRop2::CopyPen, false, k.penClear};
    c.Brush = {kBrushGreen, k.brushClear};
    c.Rectangle(k.x1, k.y1, k.x2, k.y2);
    EXPECT_EQ(Art(b), k.art);
    EXPECT_TRUE(PaddingIntact(b));
  }
}

TEST(CanvasShapes, EllipseCoverage) {
  struct Case {
    int x1, y1, x2, y2;
    bool penClear;
    std::string art;
  };
  const std::vector<Case> cases = {
      {0, 0, 5, 5, false, Join({".###...", "#ooo#..", "#ooo#..", "#ooo#..", ".###...", "......."})},
      {5, 5, 0, 0, true, Join({".ooo...", "ooooo..", "ooooo..", "ooooo..", ".ooo...", "......."})},
      {1, 2, 2, 5, false, Join({".......", ".......", ".#.....", ".#.....", ".#.....", "......."})},
      {0, 1, 7, 4, false, Join({".......", ".#####.", "#ooooo#", ".#####.", ".......", "......."})},
  };
  for (const Case& k : cases) {
    TPixelBuffer b = Picture(7, 6);
    TCanvas c(b);
    c.Pen = {kPenRed, 1, TRop2::CopyPen, false, k.penClear};
    c.Brush.Color = kBrushGreen;
    c.Ellipse(k.x1, k.y1, k.x2, k.y2);
    EXPECT_EQ(Art(b), k.art);
  }
}

// A 4-connected fill from outside the box never gets into a hollow ellipse.
TEST(CanvasShapes, HollowEllipsesAreClosed) {
  for (auto [w, h, pen] : std::vector<std::array<int, 3>>{{40, 40, 1}, {61, 17, 1}, {12, 58, 1}, {90, 33, 1},
                                                          {33, 32, 2}, {8, 9, 1}, {70, 69, 4}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h << " pen " << pen);
    TPixelBuffer b = Picture(w + 2, h + 2);
    TCanvas c(b);
    c.Pen.Color = kPenRed;
    c.Pen.Width = pen;
    c.Brush.Clear = true;
    c.Ellipse(1, 1, w + 1, h + 1);
    c.Brush.Color = kBrushGreen;
    c.FloodFill(0, 0);
    EXPECT_EQ(c.Pixel((w + 2) / 2, (h + 2) / 2), 0u);
    if (pen % 2 == 0) continue;  // even pens sit half a pixel off the path
    // Mirror symmetry inside the box.
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) {
        ASSERT_EQ(c.Pixel(x, y) == kPenRed, c.Pixel(w + 1 - x, y) == kPenRed) << x << "," << y;
        ASSERT_EQ(c.Pixel(x, y) == kPenRed, c.Pixel(x, h + 1 - y) == kPenRed) << x << "," << y;
      }
  }
}

TEST(CanvasShapes, PieQuarterLiesInItsQuadrant) {
  TPixelBuffer b = Picture(20, 20);
  TCanvas c(b);
  c.Pen.Clear = true;
  c.Brush.Color = kBrushGreen;
  c.Pie(0, 0, 20, 20, 20, 10, 10, 0);  // from the right counter-clockwise to the top
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (x < 10 || y >= 10) {
        ASSERT_EQ(c.Pixel(x, y), 0u) << x << "," << y;
      }
  EXPECT_EQ(c.Pixel(15, 4), kBrushGreen);
  EXPECT_EQ(c.Pixel(10, 9), kBrushGreen);
}

// Wedges that share their radials tile the ellipse: every pixel once, no gap.
TEST(CanvasShapes, PieWedgesPartitionTheEllipse) {
  struct Box {
    int x1, y1, x2, y2;
  };
  for (Box box : {Box{0, 0, 41, 41}, Box{3, 5, 60, 30}, Box{0, 0, 40, 40}, Box{2, 1, 9, 14}}) {
    // Radial points in counter-clockwise order, ending where they start.
    const std::vector<TPoint> radials = {{100, 20}, {50, -100}, {-7, -3}, {-100, 35}, {-100, 70}, {20, 100}, {100, 20}};
    TPixelBuffer b = Picture(64, 48);
    TCanvas c(b);
    c.Pen.Clear = true;
    c.Pen.Mode = TRop2::XorPen;
    for (size_t i = 0; i + 1 < radials.size(); ++i) {
      c.Brush.Color = 1u << i;
      c.Pie(box.x1, box.y1, box.x2, box.y2, radials[i].x, radials[i].y, radials[i + 1].x, radials[i + 1].y);
    }
    TPixelBuffer whole = Picture(64, 48);
    TCanvas e(whole);
    e.Pen.Clear = true;
    e.Ellipse(box.x1, box.y1, box.x2, box.y2);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const uint32_t p = c.Pixel(x, y);
        const bool inside = e.Pixel(x, y) != 0;
        ASSERT_EQ(inside, p != 0) << x << "," << y;
        ASSERT_EQ(p & (p - 1), 0u) << "two wedges at " << x << "," << y;
      }
  }
}

TEST(CanvasShapes, DashedFrameIsPartOfTheSolidFrame) {
  TPixelBuffer solid = Picture(30, 20), dashed = Picture(30, 20);
  TCanvas s(solid), d(dashed);
  for (TCanvas* c : {&s, &d}) {
    c->Pen.Color = kPenRed;
    c->Brush.Clear = true;
  }
  d.Pen.Dashed = true;
  s.Rectangle(2, 3, 27, 18);
  d.Rectangle(2, 3, 27, 18);
  int on = 0, frame = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      if (d.Pixel(x, y) == kPenRed) {
        EXPECT_EQ(s.Pixel(x, y), kPenRed);
      }
      on += d.Pixel(x, y) == kPenRed;
      frame += s.Pixel(x, y) == kPenRed;
    }
  EXPECT_GT(on, frame / 3);
  EXPECT_LT(on, frame);
}

TEST(CanvasShapes, FillRectCopiesTheBrushWithoutOutline) {
  TPixelBuffer b = Picture(5, 4, 0x0F0F0F);
  TCanvas c(b);
  c.Pen.Mode = TRop2::XorPen;  // not used by FillRect
  c.Brush.Color = kBrushGreen;
  c.FillRect(3, 3, 1, 1);
  EXPECT_EQ(c.Pixel(1, 1), kBrushGreen);
  EXPECT_EQ(c.Pixel(2, 2), kBrushGreen);
  EXPECT_EQ(c.Pixel(3, 3), 0x0F0F0Fu);
  EXPECT_EQ(c.Pixel(3, 1), 0x0F0F0Fu);
}

// Far-off coordinates are clipped, not walked: no hang, no write outside.
TEST(CanvasShapes, HostileCoordinatesStayInside) {
  TPixelBuffer b = Picture(5, 3);
  TCanvas c(b);
  c.Pen.Color = 0xFFFFFF;
  const int big = 2000000000;
  c.MoveTo(-big, -big);
  c.LineTo(big, big);
  c.Pen.Width = 9;
  c.LineTo(-big, big / 3);
  c.Polyline({{-big, 1}, {big, 1}, {0, -big}});
  c.Rectangle(-big, -big, big, big);
  c.Ellipse(-big, -big, big, big);
  c.Pie(-big, -big, big, big, big, 0, -big, big);
  c.Pen.Dashed = true;
  c.Pen.Width = 1;
  c.Rectangle(-big, -big, big, big);
  c.Wrap = true;
  c.Ellipse(-big, 0, big, 2);
  c.LineTo(big, -big);
  c.FloodFill(-big, big);
  EXPECT_TRUE(PaddingIntact(b));
  EXPECT_EQ(c.Pixel(-1, 0), c.Pixel(4, 0));
  c.Wrap = false;
  EXPECT_EQ(c.Pixel(5, 0), 0xFFFFFFFFu);
}

TEST(CanvasShapes, DirtyAreaBoundsTheChange) {
  TPixelBuffer b = Picture(40, 30);
  TCanvas c(b);
  EXPECT_TRUE(c.TakeDirty().Empty());
  c.Pen.Width = 3;
  c.MoveTo(10, 5);
  c.LineTo(20, 12);
  const TRectI d = c.TakeDirty();
  EXPECT_EQ(d.left, 9);
  EXPECT_EQ(d.top, 4);
  EXPECT_EQ(d.right, 22);
  EXPECT_EQ(d.bottom, 14);
  EXPECT_TRUE(c.TakeDirty().Empty());
}

// The fill against a breadth-first reference over the same 4-neighbourhood.
void ReferenceFill(TPixelBuffer& b, int x, int y, uint32_t colour, bool wrap) {
  TCanvas c(b);
  const int w = b.Width(), h = b.Height();
  if (wrap) x = ((x % w) + w) % w, y = ((y % h) + h) % h;
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  const uint32_t seed = c.Pixel(x, y);
  if (seed == colour) return;
  std::deque<TPoint> queue{{x, y}};
  c.SetPixel(x, y, colour);
  while (!queue.empty()) {
    TPoint p = queue.front();
    queue.pop_front();
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      int nx = p.x + dx, ny = p.y + dy;
      if (wrap) nx = (nx + w) % w, ny = (ny + h) % h;
      if (nx < 0 || ny < 0 || nx >= w || ny >= h || c.Pixel(nx, ny) != seed) continue;
      c.SetPixel(nx, ny, colour);
      queue.push_back({nx, ny});
    }
  }
}

TPixelBuffer FromArt(std::initializer_list<const char*> rows) {
  const int h = static_cast<int>(rows.size()), w = static_cast<int>(std::strlen(*rows.begin()));
  TPixelBuffer b = Picture(w, h);
  TCanvas c(b);
  int y = 0;
  for (const char* r : rows) {
    for (int x = 0; x < w; ++x) c.SetPixel(x, y, r[x] == '#' ? kPenRed : r[x] == 'o' ? kBrushGreen : 0);
    ++y;
  }
  return b;
}

TEST(CanvasFill, CheckerboardSpiralAndBorders) {
  struct Case {
    const char* name;
    TPixelBuffer picture;
    int x, y;
    bool wrap;
    std::string art;
  };
  std::vector<Case> cases;
  cases.push_back({"checkerboard", FromArt({"#.#.", ".#.#", "#.#.", ".#.#"}), 1, 0, false,
                   Join({"#o#.", ".#.#", "#.#.", ".#.#"})});
  cases.push_back({"spiral", FromArt({"#######", "......#", ".####.#", ".#..#.#", ".#.##.#", ".#....#", ".######"}), 2,
                   3, false, Join({"#######", "oooooo#", "o####o#", "o#oo#o#", "o#o##o#", "o#oooo#", "o######"})});
  cases.push_back({"corner seed", FromArt({"..#", "..#", "###"}), 0, 0, false, Join({"oo#", "oo#", "###"})});
  cases.push_back({"border stops", FromArt({"#...", "#...", "#..."}), 3, 1, false, Join({"#ooo", "#ooo", "#ooo"})});
  cases.push_back({"across the edges", FromArt({"#...", "#...", "#..."}), 3, 1, true, Join({"#ooo", "#ooo", "#ooo"})});
  cases.push_back({"wrapped band", FromArt({"..#..", "##.##", "..#.."}), 0, 0, true, Join({"oo#oo", "##.##", "oo#oo"})});
  cases.push_back({"wrapped corners", FromArt({".#.", "###", ".#."}), 2, 2, true, Join({"o#o", "###", "o#o"})});
  cases.push_back({"same colour", FromArt({"o.", ".o"}), 0, 0, false, Join({"o.", ".o"})});
  cases.push_back({"seed outside", FromArt({"..", ".."}), 2, 0, false, Join({"..", ".."})});
  for (Case& k : cases) {
    SCOPED_TRACE(k.name);
    TCanvas c(k.picture);
    c.Wrap = k.wrap;
    c.Brush.Color = kBrushGreen;
    c.FloodFill(k.x, k.y);
    EXPECT_EQ(Art(k.picture), k.art);
  }
}

TEST(CanvasFill, MatchesBreadthFirstReferenceOnNoise) {
  for (bool wrap : {false, true}) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      const int w = 5 + static_cast<int>(seed % 13) * 3, h = 3 + static_cast<int>(seed % 7) * 4;
      TPixelBuffer a = Picture(w, h), b = Picture(w, h);
      uint32_t s = seed;
      TCanvas ca(a), cb(b);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          s = s * 1103515245u + 12345u;
          const uint32_t colour = (s >> 16) % 100 < 58 ? 0 : kPenRed;  // near the percolation threshold
          ca.SetPixel(x, y, colour);
          cb.SetPixel(x, y, colour);
        }
      const int x = static_cast<int>(s % w), y = static_cast<int>((s >> 8) % h);
      ca.Wrap = wrap;
      ca.Brush.Color = kBrushGreen;
      ca.FloodFill(x, y);
      ReferenceFill(b, x, y, kBrushGreen, wrap);
      ASSERT_EQ(Art(a), Art(b)) << "seed " << seed << (wrap ? " wrapped" : "");
      EXPECT_TRUE(PaddingIntact(a));
    }
  }
}

// Wrap drawing against its definition: the shape drawn on a 3 x 3 mosaic of the
// tile, every copy's coverage brought back onto the tile, the pen over the brush.
TEST(CanvasWrap, ShapesEqualTheFoldedMosaic) {
  const int w = 23, h = 17;
  const std::vector<std::pair<const char*, std::function<void(TCanvas&, int, int)>>> shapes = {
      {"thin line", [](TCanvas& c, int ox, int oy) { c.MoveTo(ox - 5, oy + 3); c.LineTo(ox + 30, oy + 20); }},
      {"thick line", [](TCanvas& c, int ox, int oy) { c.Pen.Width = 5; c.MoveTo(ox + 20, oy - 2); c.LineTo(ox + 2, oy + 15); }},
      {"polyline", [](TCanvas& c, int ox, int oy) { c.Pen.Width = 2; c.Polyline({{ox - 3, oy + 2}, {ox + 18, oy + 20}, {ox + 25, oy + 1}}); }},
      {"rectangle", [](TCanvas& c, int ox, int oy) { c.Pen.Width = 3; c.Rectangle(ox + 18, oy + 12, ox + 30, oy + 25); }},
      {"dashed", [](TCanvas& c, int ox, int oy) { c.Pen.Dashed = true; c.Rectangle(ox - 4, oy - 3, ox + 9, oy + 10); }},
      {"ellipse", [](TCanvas& c, int ox, int oy) { c.Ellipse(ox - 6, oy + 5, ox + 12, oy + 22); }},
      {"big ellipse", [](TCanvas& c, int ox, int oy) { c.Pen.Width = 2; c.Ellipse(ox - 10, oy - 8, ox + 30, oy + 24); }},
      {"pie", [](TCanvas& c, int ox, int oy) { c.Pie(ox + 10, oy - 7, ox + 36, oy + 12, ox + 40, oy, ox, oy + 2); }},
      {"fill rect", [](TCanvas& c, int ox, int oy) { c.FillRect(ox + 20, oy + 14, ox + 27, oy + 19); }},
      {"pixel", [](TCanvas& c, int ox, int oy) { c.SetPixel(ox - 1, oy + h, kPenRed); }},
  };
  for (const auto& [name, draw] : shapes) {
    SCOPED_TRACE(name);
    // Coverage on the mosaic: pen red, brush green, copied onto black.
    TPixelBuffer mosaic = Picture(3 * w, 3 * h);
    TCanvas m(mosaic);
    m.Pen.Color = kPenRed;
    m.Brush.Color = kBrushGreen;
    draw(m, w, h);
    TPixelBuffer tile = Picture(w, h), expected = Picture(w, h);
    Scramble(tile, 99);
    Scramble(expected, 99);
    TCanvas e(expected);
    const uint32_t pen = 0x35C0FF, brush = 0xA01077;
    const TRop2 mode = TRop2::XorPen;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        bool penHit = false, brushHit = false;
        for (int j = 0; j < 3; ++j)
          for (int i = 0; i < 3; ++i) {
            const uint32_t p = m.Pixel(x + i * w, y + j * h);
            penHit |= p == kPenRed;
            brushHit |= p == kBrushGreen;
          }
        // SetPixel and FillRect copy; everything else goes through the pen's mode.
        const bool copies = std::string(name) == "pixel" || std::string(name) == "fill rect";
        const uint32_t d = e.Pixel(x, y);
        if (penHit) e.SetPixel(x, y, copies ? kPenRed : ApplyRop2(mode, pen, d) & 0xFFFFFF);
        else if (brushHit) e.SetPixel(x, y, copies ? brush : ApplyRop2(mode, brush, d) & 0xFFFFFF);
      }
    TCanvas t(tile);
    t.Wrap = true;
    t.Pen.Color = pen;
    t.Pen.Mode = mode;
    t.Brush.Color = brush;
    draw(t, 0, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(t.Pixel(x, y), e.Pixel(x, y)) << x << "," << y;
  }
}

}  // namespace
}  // namespace vell
