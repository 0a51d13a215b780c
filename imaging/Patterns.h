// The pattern generators: effects that draw new content into the picture,
// partly or wholly replacing it.
//
// One signature for every effect: the 24-bit picture changed in place first,
// then the parameters as the parameter panel gives them, then any second
// picture or colour the caller holds (the gradient's colours and picture, the
// buffer image). Toolkit colours (pen, brush, gradient colours) are
// 0x00BBGGRR, red in the low byte. Temporaries live inside each call. A
// picture that is not 24 bits or has no pixels is left alone; row padding is
// never written.
//
// Random generators: the plasma (Plasma Cloud, Marble) and SuperNova restart
// the process-wide sequence with ReseedRandom; Spray continues it where it
// stands.
//
// Which keep a tile seamless: Spray, Trace, Merge Gradient and Merge Buffer
// (when the other picture tiles); Mosaic and Circle Mosaic when the size is a
// multiple of the cell. Plasma Cloud makes a tile of any picture, Gradient
// Bars across the width. The centred ones (SuperNova, Marble, Astroid,
// Concentric Rects, Cycloid Mosaic, Buttonize) do not tile.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

// Width x height 32-bit cells addressed [column][row]. 0 means "not computed
// yet"; the generator fills 1 ... 255 (its four seeds may be 0).
class TPlasmaField {
 public:
  // Resizes to width x height cells (negative sizes count as 0), all 0.
  void Reset(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  int32_t& At(int column, int row) { return cells_[Index(column, row)]; }
  int32_t At(int column, int row) const { return cells_[Index(column, row)]; }

 private:
  // Stored row by row: pictures are read that way.
  size_t Index(int column, int row) const {
    return static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<int32_t> cells_;
};

// Midpoint displacement over a field of width x height (after ReseedRandom):
// four seeds at the corners of the top-left quarter, then each quarter is
// subdivided, edge midpoints displaced by up to NextRandom(graininess) >> depth
// and centres the mean of their four edge midpoints. Between the quarters the
// first column and row are copied to the last even column and row, so the
// field tiles: column 2 * (width div 2) - 1 equals column 0 and row
// 2 * (height div 2) - 1 equals row 0. For odd sizes the last column (row) is
// left 0. Graininess 1 (or less) displaces nothing: only the seeds are random.
void PlasmaField(TPlasmaField& field, int graininess, int height, int width);

// "Plasma Cloud": every pixel becomes gray, all three channels the low byte of
// a fresh plasma field at its position. The result tiles.
void PlasmaCloud(TPixelBuffer& image, int graininess);

enum class TMarbleResult { Done, TurbulenceZero };
inline constexpr const char kTurbulenceCannotBeZero[] = "Turbulence cannot be zero";

// "Marble": the picture folded about its centre and broken up by two plasma
// fields: pixel (x, y) takes the old pixel at
//   k = |round(sin(P1 / turbulence) * scale * (x - width div 2 - 1))| - 1,
//   m = |round((y - height div 2 - 1) * scale * cos(P2 / turbulence))| - 1,
// each held inside the picture (sine and cosine tables in single precision).
// Turbulence 0 changes nothing and returns TurbulenceZero; the caller shows
// kTurbulenceCannotBeZero.
TMarbleResult Marble(TPixelBuffer& image, int graininess, int turbulence, double scale);

// "SuperNova": a glowing core of the pen colour at (xPos, yPos) (held inside
// the picture) with `spokes` radiating spokes of random length whose hue walks
// by up to randomHue / 2 degrees from spoke to spoke. Restarts the random
// sequence. A radius of 0 or fewer than 1 spoke leaves the picture unchanged,
// and so does a spoke count beyond kMaxNovaSpokes.
inline constexpr int kMaxNovaSpokes = 1 << 20;
void SuperNova(TPixelBuffer& image, uint32_t penColour, int radius, int spokes, int randomHue, int xPos, int yPos);

// "Mosaic": every full cell x cell square (cells start at multiples of the
// size) takes the colour of its centre pixel (offset cell div 2 both ways).
// Cells cut off at the right take, per cell row, the last column's pixel at
// the cell's centre row; at the bottom the last row's pixel at the centre
// column; the corner the bottom-right pixel. 25 x 25 with cell 10: cells at 0
// and 10 take the pixels at 5 and 15, columns 20 ... 24 the pixels of column 24.
// Nothing happens unless 2 <= cell <= width div 2 and cell <= height div 2.
void Mosaic(TPixelBuffer& image, int cellSize);

// "Circle Mosaic": a filled circle inscribed in every full cell, in the colour
// of the cell's centre pixel; between the circles the picture stays. Cells cut
// off at the right and bottom get a full-size circle flush with the edge,
// coloured as in Mosaic. Same size check as Mosaic.
void CircleMosaic(TPixelBuffer& image, int circleSize);

// "Cycloid Mosaic": filled squares of side 2 * cellSize centred on points of
// six-cusped epicycloids of growing size around the picture's centre, for
// i = 1 ... (width div 2) div 6 and j = 0 ... 360 (radians):
//   x = round(7i cos j - i cos 7j + width div 2), y = round(7i sin j - i sin 7j + height div 2).
// The colour starts at red 0, green 128, blue 240 and its packed 0x00BBGGRR
// value grows by 16 after each square (wrapping within 24 bits).
void CycloidMosaic(TPixelBuffer& image, int cellSize);

// "Concentric Rects": smaller and smaller copies of the picture painted
// centred on it, each step shrinking the previous copy (bilinear, the
// proportional rule) to (width - 2b) x (height - 2b) for b = d, 2d, ...,
// while width div 2 - d is below the copy's width and the next copy still has
// pixels. A difference of 0 or less changes nothing.
void ConcentricRects(TPixelBuffer& image, int sizeDifference);

// "Astroid": nested curves around the centre, for n = 0 ... 2 * height - 2 a
// polyline through (cx + round(n cos^k t), cy + round(n sin^k t)) for
// t = 0 ... 360 degrees, in the colour of the picture's column 0 at row
// n mod height. k is the thickness as the caller passes it (the dispatcher
// makes it odd and at most 9).
void Astroid(TPixelBuffer& image, int thickness);

// "Buttonize": a bevel edgeSize pixels wide. The right and bottom strips blend
// toward the pen colour (the shadow), pure at the outer edge; the left and top
// strips from pure brush colour (the highlight) at the outer edge to the
// picture at the inner one; the bottom and top strips are mitred against the
// sides. Each blend is p + MulDiv(k, target - p, edgeSize - 1) per channel, so
// with edge size 1 the outermost ring is pure pen and brush colour. An edge
// size below 1 changes nothing; strips wider than the picture are cut at it.
void Buttonize(TPixelBuffer& image, uint32_t pen, uint32_t brush, int edgeSize);

// "Spray": every pixel (rows first) takes the old pixel at a random offset:
// c = NextRandom(s), dx = c - NextRandom(2c), dy = c - NextRandom(2c), the
// position wrapped (WrapIndex), so offsets lie in -c + 1 ... c. Scatterosity
// 1 (or less) leaves the picture unchanged. Keeps a tile seamless.
void Spray(TPixelBuffer& image, int scatterosity);

// "Trace": the boundaries between colour regions drawn one pixel wide in
// `colour` (the pen colour, or black). Regions are those of the picture
// reduced to a fixed 216-colour cube (6 levels a channel, nearest level),
// framed by one pixel from the opposite edges so outlines continue across the
// tile edges. Of two different neighbours, the one not of the first region
// colour met at a boundary is painted; intensity 1 paints the upper/left one
// of such a pair, 2 or more both. Intensity 0 or less, or a picture of one
// colour, changes nothing. Keeps a tile seamless.
void Trace(TPixelBuffer& image, int intensity, uint32_t colour);

// "Gradient Bars": `bars` arches across the width from the begin colour to the
// end colour and back: column x has t = trunc(|sin(x / (width / bars) * pi)| * 255)
// and channel begin + t * (end - begin) div 255; all rows alike. With one bar
// column 0 is the begin colour and the middle column the end colour. Whole bar
// counts tile across the width. 0 bars changes nothing.
void GradientBars(TPixelBuffer& image, int bars, uint32_t beginColour, uint32_t endColour);

// "Merge Gradient" and "Merge Buffer": the other picture is stretched (nearest
// neighbour) to the picture's size and every channel becomes
// round(c * other + (1 - c) * picture) with c = percent / 100 in single
// precision, ties to even, held to 0 ... 255: 50 % of black turns 255 into 128
// and 3 into 2. Returns false and changes nothing when the other picture has
// no pixels.
bool MergeGradient(TPixelBuffer& image, int percent, const TPixelBuffer& gradient);
bool MergeBuffer(TPixelBuffer& image, int percent, const TPixelBuffer& buffer);

}  // namespace vell
