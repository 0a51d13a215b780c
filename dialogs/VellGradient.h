// The two-colour gradient: its shapes, step colours and the picture that the
// gradient control shows and the editor pastes or blends into the image.
//
// Colours are toolkit colours, 0x00BBGGRR. Positions are 64-bit products with
// truncating division, so step 0 is the begin colour and step N the end colour
// exactly: begin 200, end 100 over N = 3 gives 200, 167, 134, 100.
//
// Rendering draws through the engine's canvas (filled rectangles, ellipses
// and pie wedges, no outline) into a 24-bit TPixelBuffer of the picture's size.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "imaging/Canvas.h"
#include "imaging/PixelBuffer.h"

namespace vell {

enum class TGradientStyle : uint8_t {
  gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter, gsRadial1, gsRadial2,
};

struct TGradientShape {
  uint32_t BeginColor = 0x800000;  // navy
  uint32_t EndColor = 0xFFFF00;    // aqua
  TGradientStyle GradientStyle = TGradientStyle::gsVertical;
  int32_t Steps = 255;
  bool Ctl3D = false;
  int32_t StartAngle = 0;  // degrees, clockwise from straight up
  bool operator==(const TGradientShape&) const = default;
};

// Step k of n, per channel begin + k * (end - begin) / n, truncated toward
// zero. n of 0 (a shape too small to have steps) gives the begin colour.
uint32_t GradientStepColor(uint32_t begin, uint32_t end, int64_t k, int64_t n);

// a * b / n, 64-bit product, truncated toward zero; 0 when n is 0.
int64_t ScaleDiv(int64_t a, int64_t b, int64_t n);

// Where the radial shapes aim for `angle` degrees: x = cx + round(R sin a),
// y = cy - round(R cos a), rounded to nearest with ties to even.
TPoint RadialPoint(int cx, int cy, int radius, int64_t angle);

// The two-colour styles as the dialog's list shows them (list order).
struct TGradientStyleItem {
  std::string_view Text;
  TGradientStyle Style;
};
inline constexpr std::array<TGradientStyleItem, 8> kGradientStyleItems = {{
    {"Vertical", TGradientStyle::gsVertical},
    {"VertCenter", TGradientStyle::gsVertCenter},
    {"Horizontal", TGradientStyle::gsHorizontal},
    {"HorizCenter", TGradientStyle::gsHorizCenter},
    {"Rectangle", TGradientStyle::gsRectangle},
    {"Elliptic", TGradientStyle::gsElliptic},
    {"Radial1", TGradientStyle::gsRadial1},
    {"Radial2", TGradientStyle::gsRadial2},
}};
// The list index of a style (VertCenter: 1).
int GradientStyleIndex(TGradientStyle style);

// Redraws the whole of `bitmap` (24 bits, any size; nothing for an empty one).
void RenderGradient(TPixelBuffer& bitmap, const TGradientShape& shape);

// The radial styles drawn wedge by wedge through the canvas, as the shapes
// are defined; RenderGradient makes the same picture in one pass where the
// wedges form an ordered fan over the whole picture. Other styles: nothing.
void RenderRadialWedges(TPixelBuffer& bitmap, const TGradientShape& shape);

// The largest gradient picture made (pixels); larger sizes leave it empty.
inline constexpr int64_t kGradientMaxPixels = int64_t{1} << 26;

// The control's state: its properties, its size and its picture. A change of
// any property marks the picture dirty; a change of size does not, but the
// picture is rendered again whenever its size differs from the control's.
class TGradientPicture {
 public:
  const TGradientShape& Shape() const { return shape_; }
  uint32_t BeginColor() const { return shape_.BeginColor; }
  uint32_t EndColor() const { return shape_.EndColor; }
  TGradientStyle GradientStyle() const { return shape_.GradientStyle; }
  int32_t Steps() const { return shape_.Steps; }
  bool Ctl3D() const { return shape_.Ctl3D; }
  int32_t StartAngle() const { return shape_.StartAngle; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Each returns whether the value changed.
  bool SetBeginColor(uint32_t colour);
  bool SetEndColor(uint32_t colour);
  bool SetGradientStyle(TGradientStyle style);
  bool SetSteps(int32_t steps);
  bool SetCtl3D(bool on);
  bool SetStartAngle(int32_t angle);
  // Negative sizes count as 0.
  bool SetSize(int width, int height);

  bool Dirty() const { return dirty_; }
  bool NeedsRender() const;
  // The picture, rendered first when needed. Empty for a size of 0 or one
  // beyond kGradientMaxPixels.
  const TPixelBuffer& Picture();
  // How many times it was rendered (lets a display show it was redone).
  int Renders() const { return renders_; }

 private:
  template <typename T>
  bool Set(T& field, T value);

  TGradientShape shape_;
  int width_ = 75, height_ = 75;
  bool dirty_ = true;
  int renders_ = 0;
  TPixelBuffer bitmap_;
};

}  // namespace vell
