// TCanvas: GDI-style drawing on a 24-bit TPixelBuffer.
//
// Coverage follows the platform: rectangles, ellipses and pies cover their
// bounding box with the right and bottom edges excluded (Rectangle(0, 0, 4, 3)
// touches columns 0..3 and rows 0..2), one-pixel lines leave out their last
// point, wider lines have round ends and are centred on the path. Every
// primitive changes each pixel at most once, so an XOR shape drawn twice
// restores the picture.
//
// With Wrap on, the picture is a torus: a primitive is drawn as if the tile
// were laid out 3 x 3 with the primitive drawn at the same place in every
// copy, and the centre copy kept; a pixel covered by several copies is still
// changed once. A flood fill spreads across the edges.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

// Binary raster operations, numbered as the platform's R2_ codes (1 ... 16).
// Code - 1 is the truth table: bit (2 * pen + destination) is the result.
enum class TRop2 : uint8_t {
  Black = 1, NotMergePen, MaskNotPen, NotCopyPen, MaskPenNot, Not, XorPen, NotMaskPen,
  MaskPen, NotXorPen, Nop, MergeNotPen, CopyPen, MergePenNot, MergePen, White };

// The operation on every bit of two values.
uint32_t ApplyRop2(TRop2 mode, uint32_t pen, uint32_t destination);

struct TPoint {
  int x = 0, y = 0;
};

struct TPen {
  uint32_t Color = 0;  // 0x00BBGGRR
  int Width = 1;       // 0 or less draws as 1
  TRop2 Mode = TRop2::CopyPen;
  bool Dashed = false;  // one-pixel dashed lines and frames (selection rubber band)
  bool Clear = false;   // no outline at all (the platform's null pen)
};

struct TBrush {
  uint32_t Color = 0xFFFFFF;
  bool Clear = false;  // hollow: the inside is not painted
};

// One row's run of pixels [x0, x1).
struct TSpan {
  int y = 0, x0 = 0, x1 = 0;
};

// A rectangle [left, right) x [top, bottom) in picture coordinates.
struct TRectI {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};

class TCanvas {
 public:
  explicit TCanvas(TPixelBuffer& target);  // 24-bit target; drawing is clipped to it

  TPen Pen;
  TBrush Brush;
  bool Wrap = false;  // torus drawing (drawing-tools option)

  void MoveTo(int x, int y);
  TPoint PenPos() const { return pos_; }
  void LineTo(int x, int y);  // last point excluded for one-pixel pens
  // One primitive: joints are changed once, even with XOR.
  void Polyline(const std::vector<TPoint>& points);
  // Pen outline + Brush inside; the corners may come in any order.
  void Rectangle(int x1, int y1, int x2, int y2);
  void FillRect(int x1, int y1, int x2, int y2);  // Brush only, copied, no outline
  void Ellipse(int x1, int y1, int x2, int y2);   // bounding box, right/bottom excluded
  // The wedge of the ellipse from the radial through (x3, y3) counter-clockwise
  // (as seen on screen) to the radial through (x4, y4); equal radials give the
  // whole ellipse. Wedges that share radials share no pixel and leave no gap.
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Surface fill: the 4-connected area of the seed's colour takes the Brush colour.
  void FloodFill(int x, int y);
  void SetPixel(int x, int y, uint32_t colour);  // copied, Wrap honoured
  // 0x00BBGGRR; 0xFFFFFFFF outside the picture (never outside with Wrap).
  uint32_t Pixel(int x, int y) const;

  // Paints a set of pixels (picture coordinates, any order, overlaps allowed)
  // with colour through mode, each pixel once; Wrap honoured.
  void PaintSpans(std::vector<TSpan> spans, uint32_t colour, TRop2 mode);

  // The area changed since the last call (empty when nothing was drawn); lets a
  // window repaint only that part.
  TRectI TakeDirty();

 private:
  // Turns spans in drawing coordinates into sorted, merged spans inside the picture.
  void Fold(std::vector<TSpan>& spans) const;
  void Paint(const std::vector<TSpan>& folded, uint32_t colour, TRop2 mode);
  // Pen outline then brush inside (brush minus pen), one primitive.
  void PaintShape(std::vector<TSpan> pen, std::vector<TSpan> brush);
  void LineSpans(int x0, int y0, int x1, int y1, std::vector<TSpan>& out, int& dashPhase) const;
  // Rows [rowLo_, rowHi_) and columns [colLo_, colHi_) are all a primitive may touch.
  void Window();

  TPixelBuffer& target_;
  TPoint pos_;
  TRectI dirty_;
  int rowLo_ = 0, rowHi_ = 0, colLo_ = 0, colHi_ = 0;
};

}  // namespace vell
