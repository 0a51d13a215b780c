// Many-coloured pictures: the left-to-right gradient through coloured
// markers, the colour wheel and the four-corner blend of "Rainbow".
//
// Colours are toolkit colours, 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

// a * b / n with a 64-bit product, rounded to nearest, halves away from zero;
// -1 when n is 0 (the platform's rule).
int64_t MulDiv(int64_t a, int64_t b, int64_t n);

struct TGradientMarker {
  int Position = 0;  // left edge, also the picture column
  uint32_t Color = 0;
  bool operator==(const TGradientMarker&) const = default;
};
inline constexpr int kMarkerWidth = 5;

// The markers the dialog starts with: fuchsia at 96, aqua at 170.
std::vector<TGradientMarker> DefaultMarkers();

// The picture's narrowest width: the largest right edge of any marker, at least 1.
int MinimumPictureWidth(const std::vector<TGradientMarker>& markers);

// Fills the whole 24-bit picture: the background at both ends, a blend of 151
// full-height bands from each marker to the next in column order (markers in
// creation order; equal columns keep that order).
void RenderMultiGradient(TPixelBuffer& picture, const std::vector<TGradientMarker>& markers, uint32_t background);

// The 256 x 256 hue wheel: white at the centre, full colour at radius 64 (red
// to the right), black from radius 128 on.
void ColorWheel(TPixelBuffer& wheel);

// The four-corner blend over [x1, x2] x [y1, y2] (inclusive, either order) in
// 20-bit fixed point; nothing when the rectangle leaves the picture.
void FourCornerBlend(TPixelBuffer& image, int x1, int y1, int x2, int y2, uint32_t topLeft, uint32_t topRight,
                     uint32_t bottomLeft, uint32_t bottomRight);

// The whole picture blended from blue, magenta, green and (64, 80, 148).
void Rainbow(TPixelBuffer& image);

// The dialog's state: the markers in creation order, the background colour
// and the picture, redrawn after every change.
class TMultiGradient {
 public:
  TMultiGradient();

  const std::vector<TGradientMarker>& Markers() const { return markers_; }
  uint32_t Background() const { return background_; }
  const TPixelBuffer& Picture() const { return picture_; }

  void AddMarker(int position, uint32_t colour);
  // Out-of-range indexes change nothing.
  void MoveMarker(size_t index, int position);
  void RecolourMarker(size_t index, uint32_t colour);
  void DeleteMarker(size_t index);
  void Clear();
  void Default();  // the default markers, the background kept
  void SetBackground(uint32_t colour);

  int MinimumWidth() const { return MinimumPictureWidth(markers_); }
  // A width below the minimum is ignored, and so is a height below 1 or a
  // size beyond the largest picture; each returns whether the size changed.
  bool SetWidth(int width);
  bool SetHeight(int height);
  // Both at once (the command sets the working image's size), same rules.
  bool SetSize(int width, int height);

 private:
  void Redraw();

  std::vector<TGradientMarker> markers_;
  uint32_t background_ = 0x000000;
  TPixelBuffer picture_;
};

}  // namespace vell
