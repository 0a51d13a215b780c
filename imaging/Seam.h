// How visible a tile's seam is when it repeats.
//
// The score is the mean colour step across the wrap-around edges (last
// column to first, last row to first) divided by the mean step between
// neighbouring interior pixels. A step is the mean absolute difference of
// the three channels. A seamless tile scores about 1; a visible seam scores
// well above 1.
#pragma once

#include <string>

#include "imaging/PixelBuffer.h"

namespace vell {

struct TSeamMeasure {
  double Score = 1.0;         // EdgeStep / InteriorStep (see Seam.cpp for flat pictures)
  double EdgeStep = 0.0;      // mean step across the wrap-around edges
  double InteriorStep = 0.0;  // mean step between neighbouring interior pixels
};

TSeamMeasure MeasureSeam(const TPixelBuffer& tile);

// The score for people: "Seam score 1.02" and a word on what it means.
std::string SeamScoreText(const TSeamMeasure& measure);

}  // namespace vell
