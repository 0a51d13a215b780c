#include "editor/CanvasTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "editor/Editor.h"

namespace vell {
namespace {

TPixelBuffer Noise(int w, int h, uint32_t seed) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  TCanvas c(b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      c.SetPixel(x, y, seed >> 8 & 0xFFFFFF);
    }
  return b;
}

TPixelBuffer Flat(int w, int h, uint32_t colour) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  FillImage(b, colour);
  return b;
}

bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

TPixelBuffer Copy(const TPixelBuffer& a) {
  TPixelBuffer b;
  CopyImage(a, b);
  return b;
}

struct Stroke {
  TCanvasTools tools;
  int snapshots = 0;
  TPixelBuffer* image = nullptr;
  TPixelBuffer before;  // the picture at the snapshot

  explicit Stroke(int tool) {
    const TToolDef* d = ToolDefFor(tool);
    tools.SetTool(d->Fill, d->Text, d->Tool);
  }
  TPressResult Press(TPixelBuffer& im, int x, int y, const TToolInputs& in, TMouseButton b = TMouseButton::Left) {
    image = &im;
    return tools.Press(im, b, x, y, in, [this, &im] {
      ++snapshots;
      before = Copy(im);
    });
  }
  // Press at the first point, move through the rest, release at the last.
  TReleaseResult Drag(TPixelBuffer& im, const std::vector<TPoint>& path, const TToolInputs& in) {
    Press(im, path.front().x, path.front().y, in);
    for (size_t i = 1; i < path.size(); ++i) tools.Move(im, path[i].x, path[i].y);
    return tools.Release(im, TMouseButton::Left, path.back().x, path.back().y);
  }
};

TEST(CanvasTools, ToolTableAndPenModes) {
  EXPECT_STREQ(ToolDefFor(ToolFill)->Hint, "Flood Fill an area with Brush Color");
  EXPECT_TRUE(ToolDefFor(ToolFill)->Fill);
  EXPECT_TRUE(ToolDefFor(ToolText)->Text);
  EXPECT_EQ(ToolDefFor(ToolText)->Cursor, -1);
  EXPECT_EQ(ToolDefFor(ToolEyedropper)->Cursor, 16);
  EXPECT_EQ(ToolDefFor(9), nullptr);
  EXPECT_EQ(PenModeRop(11), TRop2::XorPen);
  EXPECT_EQ(PenModeRop(7), TRop2::NotCopyPen);
  EXPECT_EQ(PenModeRop(12), TRop2::CopyPen);
  EXPECT_STREQ(PenModes()[10].Caption, "NotXORPen");
}

// Both messages change nothing: no snapshot, no pixel.
TEST(CanvasTools, PenSizeChecks) {
  struct Case {
    const char* text;
    const char* message;  // null: accepted
  };
  for (Case k : {Case{"", kPenSizeEmptyText}, Case{"0", kPenSizeErrorText}, Case{"-4", kPenSizeErrorText},
                 Case{"abc", kPenSizeErrorText}, Case{"2.5", kPenSizeErrorText}, Case{"3x", kPenSizeErrorText},
                 Case{"7", nullptr}, Case{" 3", nullptr}}) {
    SCOPED_TRACE(k.text);
    TPixelBuffer im = Noise(20, 20, 3);
    const TPixelBuffer original = Copy(im);
    Stroke s(ToolFill);
    TToolInputs in;
    in.PenSize = k.text;
    const TPressResult r = s.Press(im, 5, 5, in);
    if (k.message) {
      EXPECT_EQ(r.Outcome, TPressOutcome::PenSizeRejected);
      EXPECT_STREQ(r.Message, k.message);
      EXPECT_EQ(s.snapshots, 0);
      EXPECT_TRUE(Same(im, original));
    } else {
      EXPECT_EQ(r.Outcome, TPressOutcome::Filled);
      EXPECT_EQ(s.snapshots, 1);
    }
  }
}

// Every tool takes its snapshot at the press, of the picture before the tool acted,
// and leaves exactly the final shape: no trace of the rubber band.
TEST(CanvasTools, StrokesLeaveTheShapeAndSnapshotTheImageBefore) {
  struct Case {
    int tool;
    std::function<void(TCanvas&)> reference;
    const char* log;
  };
  const std::vector<TPoint> path = {{30, 20}, {35, 28}, {50, 44}, {12, 40}, {8, 6}};
  const std::vector<Case> cases = {
      {ToolEllipse,
       [](TCanvas& c) {
         c.Pen = {0x0000FF, 3, TRop2::CopyPen, false, false};
         c.Brush = {0x00FF00, false};
         c.Ellipse(30, 20, 8, 6);
       },
       "Ellipse from X 30 Y 20, To X 8 Y 6, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Brush Color R: 0 G: 255 B: 0, "
       "Filled"},
      {ToolRectangle,
       [](TCanvas& c) {
         c.Pen = {0x0000FF, 3, TRop2::CopyPen, false, false};
         c.Brush = {0x00FF00, false};
         c.Rectangle(8, 6, 30, 20);  // the opposite drag draws the same rectangle
       },
       "Rectangle from X 30 Y 20, To X 8 Y 6, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Brush Color R: 0 G: 255 B: 0, "
       "Filled"},
      {ToolLine,
       [](TCanvas& c) {
         c.Pen = {0x0000FF, 3, TRop2::NotCopyPen, false, false};
         c.MoveTo(30, 20);
         c.LineTo(8, 6);
       },
       "Line from X 30 Y 20 To X 8 Y 6, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Pen NotCopyPen"},
      {ToolFreehand,
       [&path](TCanvas& c) {
         c.Pen = {0x0000FF, 3, TRop2::NotCopyPen, false, false};
         for (size_t i = 1; i < path.size(); ++i) {
           c.MoveTo(path[i - 1].x, path[i - 1].y);
           c.LineTo(path[i].x, path[i].y);
         }
       },
       "FreeHand Drawing, Pen Size 3, Pen Color R: 255 G: 0 B: 0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.tool);
    TPixelBuffer im = Noise(64, 48, 11);
    const TPixelBuffer original = Copy(im);
    TPixelBuffer expected = Copy(im);
    TCanvas e(expected);
    k.reference(e);
    Stroke s(k.tool);
    TToolInputs in;
    in.PenSize = "3";
    in.PenColor = 0x0000FF;
    in.BrushColor = 0x00FF00;
    in.PenModeIndex = 7;
    const TReleaseResult r = s.Drag(im, path, in);
    EXPECT_EQ(r.Outcome, TReleaseOutcome::Done);
    EXPECT_EQ(r.Log, k.log);
    EXPECT_TRUE(Same(im, expected));
    EXPECT_EQ(s.snapshots, 1);
    EXPECT_TRUE(Same(s.before, original));
    EXPECT_FALSE(s.tools.Drawing());
  }
}

TEST(CanvasTools, UnfilledEllipseIsHollowAndSaysSo) {
  TPixelBuffer im = Flat(40, 40, 0x102030);
  Stroke s(ToolEllipse);
  TToolInputs in;
  in.PenSize = "1";
  in.FillShape = false;
  const TReleaseResult r = s.Drag(im, {{5, 5}, {20, 20}, {35, 35}}, in);
  EXPECT_NE(r.Log.find(", Not Filled"), std::string::npos);
  EXPECT_EQ(r.Log.substr(r.Log.size() - 12), ", Not Filled");
  TCanvas c(im);
  EXPECT_EQ(c.Pixel(20, 20), 0x102030u);  // inside untouched
  EXPECT_EQ(c.Pixel(20, 5), 0x000000u);   // the black outline
}

TEST(CanvasTools, XorLineTwiceRestoresThePicture) {
  TPixelBuffer im = Noise(50, 50, 5);
  const TPixelBuffer original = Copy(im);
  TToolInputs in;
  in.PenSize = "4";
  in.PenColor = 0x3366CC;
  in.PenModeIndex = 11;
  for (int round = 0; round < 2; ++round) {
    Stroke s(ToolLine);
    const TReleaseResult r = s.Drag(im, {{3, 40}, {20, 20}, {45, 7}}, in);
    EXPECT_EQ(r.Log, "Line from X 3 Y 40 To X 45 Y 7, Pen Size 4, Pen Color R: 204 G: 102 B: 51, Pen XORPen");
    EXPECT_EQ(Same(im, original), round == 1);
  }
}

TEST(CanvasTools, EyedropperAndFill) {
  TPixelBuffer im = Flat(10, 10, 0x000000);
  TCanvas c(im);
  c.SetPixel(4, 6, 0x123456);
  Stroke eye(ToolEyedropper);
  TPressResult r = eye.Press(im, 4, 6, {});
  EXPECT_EQ(r.Outcome, TPressOutcome::Eyedropped);
  EXPECT_EQ(r.Colour, 0x123456u);
  EXPECT_EQ(r.Log, "Eyedropper at location X 4 Y 6");
  EXPECT_EQ(eye.snapshots, 1);

  Stroke fill(ToolFill);
  TToolInputs in;
  in.BrushColor = 0x00FF00;
  r = fill.Press(im, 0, 0, in);
  EXPECT_EQ(r.Outcome, TPressOutcome::Filled);
  EXPECT_EQ(r.Log, "FloodFill at location X 0 Y 0, Brush Color R: 0 G: 255 B: 0");
  EXPECT_EQ(c.Pixel(9, 9), 0x00FF00u);
  EXPECT_EQ(c.Pixel(4, 6), 0x123456u);
  EXPECT_EQ(fill.tools.Release(im, TMouseButton::Left, 0, 0).Outcome, TReleaseOutcome::Nothing);
}

// A press that started no stroke (middle button, right button, during a
// stroke) is followed by a release that draws and logs nothing.
TEST(CanvasTools, ReleaseWithoutAStrokeDoesNothing) {
  for (int tool : {ToolFreehand, ToolEllipse, ToolRectangle, ToolLine, ToolSelect}) {
    SCOPED_TRACE(tool);
    TPixelBuffer im = Noise(30, 30, 8);
    Stroke s(tool);
    s.Press(im, 3, 3, {}, TMouseButton::Middle);
    EXPECT_FALSE(s.tools.Drawing());
    const TPixelBuffer after = Copy(im);
    EXPECT_EQ(s.tools.Release(im, TMouseButton::Middle, 20, 20).Outcome, TReleaseOutcome::Nothing);
    EXPECT_EQ(s.tools.Release(im, TMouseButton::Left, 20, 20).Outcome, TReleaseOutcome::Nothing);
    EXPECT_TRUE(Same(im, after));
    EXPECT_EQ(s.Press(im, 3, 3, {}, TMouseButton::Right).Outcome, TPressOutcome::Nothing);
  }
}

TEST(CanvasTools, SelectionCopiesUprightWhateverTheDragDirection) {
  TPixelBuffer im = Noise(40, 30, 21);
  const TPixelBuffer original = Copy(im);
  TPixelBuffer area;
  CopyArea(im, 5, 4, 20, 15, area);
  for (auto [a, b] : std::vector<std::pair<TPoint, TPoint>>{{{5, 4}, {25, 19}}, {{25, 19}, {5, 4}},
                                                             {{25, 4}, {5, 19}}, {{5, 19}, {25, 4}}}) {
    Stroke s(ToolSelect);
    const TReleaseResult r = s.Drag(im, {a, {17, 11}, b}, {});
    ASSERT_EQ(r.Outcome, TReleaseOutcome::AskSelection);
    EXPECT_FALSE(Same(im, original));  // the band is up while the dialog asks
    TPixelBuffer transfer;
    const std::string log = s.tools.FinishSelection(im, TSelectAction::CopyToClipboard, transfer, nullptr);
    EXPECT_TRUE(Same(im, original));
    EXPECT_TRUE(Same(transfer, area));
    EXPECT_EQ(log, "Select Area From Left " + std::to_string(a.x) + " Top " + std::to_string(a.y) + ", Right " +
                       std::to_string(b.x) + " Bottom " + std::to_string(b.y) + ", Copy to Clipboard");
  }
}

TEST(CanvasTools, SelectionEdgeCases) {
  TPixelBuffer im = Noise(40, 30, 22);
  const TPixelBuffer original = Copy(im);
  TPixelBuffer transfer;
  {  // a click or a flat drag selects nothing: no dialog, picture unchanged
    for (TPoint end : {TPoint{10, 10}, TPoint{30, 10}, TPoint{10, 25}}) {
      Stroke s(ToolSelect);
      EXPECT_EQ(s.Drag(im, {{10, 10}, {20, 20}, end}, {}).Outcome, TReleaseOutcome::Done);
      EXPECT_TRUE(Same(im, original));
    }
  }
  {  // Cancel takes the band away and logs nothing
    Stroke s(ToolSelect);
    s.Drag(im, {{2, 2}, {30, 20}}, {});
    EXPECT_EQ(s.tools.FinishSelection(im, TSelectAction::Cancel, transfer, nullptr), "");
    EXPECT_TRUE(Same(im, original));
  }
  {  // dragged past the picture: the area stops at its edge
    Stroke s(ToolSelect);
    s.Drag(im, {{30, 20}, {60, -9}}, {});
    const std::string log = s.tools.FinishSelection(im, TSelectAction::Crop, transfer, nullptr);
    EXPECT_EQ(log, "Select Area From Left 30 Top 20, Right 40 Bottom 0, Crop to Selection");
    TPixelBuffer area;
    CopyArea(im, 30, 0, 10, 20, area);
    EXPECT_TRUE(Same(transfer, area));
  }
  {  // wrap drawing does not wrap the selection
    Stroke s(ToolSelect);
    TToolInputs in;
    in.Wrap = true;
    s.Drag(im, {{35, 25}, {50, 40}}, in);
    s.tools.FinishSelection(im, TSelectAction::Cancel, transfer, nullptr);
    EXPECT_TRUE(Same(im, original));
  }
}

TEST(CanvasTools, TextLogAndStyleRule) {
  EXPECT_EQ(TextStyleWord(false, false), "Normal");
  EXPECT_EQ(TextStyleWord(true, false), "Bold");
  EXPECT_EQ(TextStyleWord(false, true), "Italic");
  EXPECT_EQ(TextStyleWord(true, true), "Bold Italic");
  EXPECT_EQ(TextToolLogLine("Arial", 12, 0x0000FF, true, true, "Hi", 5, 7),
            "Text Tool, Font Arial, Size 12, Color R: 255 G: 0 B: 0, Style Bold Italic \"Hi\" , Location X 5 Y 7");
  EXPECT_EQ(PasteAsSelectionLogLine(-3, 12), "Paste As Selection at Left -3, Top 12");
  EXPECT_EQ(SelectionSizeText({30, 5}, {10, 25}), "Width: 20  Height: 20");
  Stroke s(ToolText);
  TPixelBuffer im = Flat(5, 5, 0);
  EXPECT_EQ(s.Press(im, 1, 1, {}).Outcome, TPressOutcome::AskText);
  EXPECT_EQ(s.snapshots, 1);
}

// Wrap drawing against its definition: the same stroke on a 3 x 3 mosaic of
// the tile, every copy's change brought back onto the tile.
TEST(CanvasTools, WrapEqualsTheFoldedMosaicForEveryTool) {
  const int w = 31, h = 23;
  struct Case {
    int tool;
    std::vector<TPoint> path;
    int penMode;
  };
  const std::vector<Case> cases = {
      {ToolFreehand, {{28, 3}, {33, 8}, {36, 20}, {29, 25}}, 0},
      {ToolFreehand, {{2, 2}, {-4, 9}, {3, 15}}, 11},
      {ToolEllipse, {{20, 15}, {26, 20}, {38, 30}}, 0},
      {ToolRectangle, {{5, 4}, {-3, 1}, {-8, -6}}, 0},
      {ToolLine, {{25, -3}, {10, 10}, {40, 19}}, 11},
      {ToolLine, {{-5, 11}, {0, 0}, {9, 11}}, 0},
      {ToolFill, {{29, 3}}, 0},
  };
  // A picture with a dark band across the right and left edges and stripes elsewhere.
  auto tileOf = [&] {
    TPixelBuffer t = Flat(w, h, 0x808080);
    TCanvas c(t);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (x >= 26 || x < 4) c.SetPixel(x, y, 0x101010);
        if (y == 12 && (x < 2 || x > 28)) c.SetPixel(x, y, 0x808080);  // opens the band's halves
        if (x > 8 && x < 20 && (y % 4) == 0) c.SetPixel(x, y, 0x0000F0);
      }
    return t;
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "tool " << k.tool << " from " << k.path[0].x << "," << k.path[0].y);
    TToolInputs in;
    in.PenSize = "3";
    in.PenColor = 0x22CC44;
    in.BrushColor = 0xAA0055;
    in.PenModeIndex = k.penMode;
    const TPixelBuffer tile0 = tileOf();
    TPixelBuffer mosaic;
    mosaic.Allocate(3 * w, 3 * h, 0, 24);
    tile0.PaintTiled(mosaic, 0, 0, 3 * w, 3 * h);
    std::vector<TPoint> shifted;
    for (TPoint p : k.path) shifted.push_back({p.x + w, p.y + h});
    Stroke m(k.tool);
    if (k.tool == ToolFill)
      m.Press(mosaic, shifted[0].x, shifted[0].y, in);
    else
      m.Drag(mosaic, shifted, in);
    // Fold: where any copy changed, the tile takes that copy's pixel.
    TPixelBuffer expected = Copy(tile0);
    TCanvas e(expected), mc(mosaic);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int j = 0; j < 3; ++j)
          for (int i = 0; i < 3; ++i)
            if (mc.Pixel(x + i * w, y + j * h) != e.Pixel(x, y) && TCanvas(const_cast<TPixelBuffer&>(tile0)).Pixel(x, y) ==
                                                                       e.Pixel(x, y))
              e.SetPixel(x, y, mc.Pixel(x + i * w, y + j * h));
    TPixelBuffer tile = Copy(tile0);
    in.Wrap = true;
    Stroke t(k.tool);
    if (k.tool == ToolFill)
      t.Press(tile, k.path[0].x, k.path[0].y, in);
    else
      t.Drag(tile, k.path, in);
    TCanvas tc(tile);
    EXPECT_FALSE(Same(tile, tile0));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(tc.Pixel(x, y), e.Pixel(x, y)) << x << "," << y;
  }
}

}  // namespace
}  // namespace vell
