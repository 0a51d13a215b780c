// How visible a tile's seam is when it repeats.
//
// The score is the mean colour step across the wrap-around edges (last
// column to first, last row to first) divided by the mean step between
// neighbouring interior pixels. A step is the mean absolute difference of
// the three channels. A seamless tile scores about 1; a visible seam scores
// well above 1.
//
// Which pairs count, for a W x H picture:
// - interior: every pixel with its right neighbour (columns x and x + 1,
//   x < W - 1) and with the one below it (rows y and y + 1, y < H - 1);
// - wrap-around edge: column W - 1 with column 0 in every row, and row H - 1
//   with row 0 in every column.
// A picture one pixel wide has no horizontal pairs at all (its column only
// meets itself when it repeats), and one pixel high no vertical pairs; the
// other direction still counts. A 1 x 1 picture has no pairs.
//
// Scores:
// - no step anywhere (a flat picture, 1 x 1, an empty buffer): 1, seamless;
// - no interior step but an edge step (cannot happen with the pairs above;
//   kept safe): the interior is taken as the smallest step there is (one
//   level of one channel over all interior pairs), a very large finite score;
// - otherwise EdgeStep / InteriorStep. A score below 1 means the edges are
//   smoother than the picture: Edge Merge and 4 Way Flip make the last
//   column and row repeat the first, which scores 0.
//
// Words (SeamScoreText): up to 1.5 "seamless", up to 3 "faint seam", above
// 3 "visible seam". Tiles made seamless and then scrolled score about 0.5 to
// 1.4; photos and pictures cut at random score from about 5 into the
// hundreds.
#pragma once

#include <string>

#include "imaging/PixelBuffer.h"

namespace vell {

struct TSeamMeasure {
  double Score = 1.0;         // EdgeStep / InteriorStep (see above for flat pictures)
  double EdgeStep = 0.0;      // mean step across the wrap-around edges
  double InteriorStep = 0.0;  // mean step between neighbouring interior pixels
};

// Highest score still called seamless, and highest called a faint seam.
inline constexpr double kSeamlessScore = 1.5;
inline constexpr double kFaintSeamScore = 3.0;

// One pass over the picture. Any bit depth; other than 24 bits the pixels are
// taken through their colours.
TSeamMeasure MeasureSeam(const TPixelBuffer& tile);

// The score for people: "Seam score 1.02" and a word on what it means, e.g.
// "Seam score 1.02 (seamless)", "Seam score 4.70 (visible seam)".
std::string SeamScoreText(const TSeamMeasure& measure);

}  // namespace vell
