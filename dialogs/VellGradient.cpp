#include "dialogs/VellGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vell {

namespace {

int Red(uint32_t c) { return static_cast<int>(c & 0xFF); }
int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

uint32_t Channel(int begin, int end, int64_t k, int64_t n) {
  return static_cast<uint32_t>((begin + ScaleDiv(k, end - begin, n)) & 0xFF);
}

// Fills [x0, x1) x [y0, y1) with one colour, no outline.
void Fill(TCanvas& canvas, int x0, int y0, int x1, int y1, uint32_t colour) {
  canvas.Brush.Color = colour;
  canvas.FillRect(x0, y0, x1, y1);
}

// Band k of n + 1 over `size` pixels starts at k * size / (n + 1). Each pixel
// lies in exactly one band; runs of pixels in one band are filled together,
// so a huge step count costs no more than the picture has pixels.
template <typename FillRun>
void Bands(int size, int64_t steps, FillRun fill) {
  const int64_t parts = steps + 1;
  int start = 0;
  while (start < size) {
    // The band of pixel `start`: the largest k with k * size / parts <= start.
    const int64_t k = std::min<int64_t>(steps, ((int64_t{start} + 1) * parts - 1) / size);
    const int end = static_cast<int>(std::min<int64_t>(size, ScaleDiv(k + 1, size, parts)));
    fill(start, std::max(end, start + 1), k);
    start = std::max(end, start + 1);
  }
}

// Rows (or columns) 0 .. size - 1 take step min(i, size - i) of size div 2.
template <typename FillRun>
void Centred(int size, FillRun fill) {
  const int half = size / 2;
  for (int i = 0; i < size; ++i) fill(i, i + 1, std::min(i, size - i), half);
}

void Elliptic(TCanvas& canvas, int w, int h, uint32_t begin, uint32_t end) {
  double left = -w / 4.0, top = -h / 4.0, right = w + w / 4.0 + 4, bottom = h + h / 4.0 + 4;
  const double dx = (w / 4.0 + w / 2.0) / 155, dy = (h / 4.0 + h / 2.0) / 155;
  for (int k = 0; k <= 155; ++k) {
    left += dx, right -= dx, top += dy, bottom -= dy;
    canvas.Brush.Color = GradientStepColor(begin, end, k, 155);
    canvas.Ellipse(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
  }
}

void Rectangles(TCanvas& canvas, int w, int h, int64_t steps, uint32_t begin, uint32_t end) {
  if (steps <= 0) {  // no steps to shrink by: the begin colour throughout
    Fill(canvas, 0, 0, w, h, begin);
    return;
  }
  double left = 0, top = 0, right = w + 2.0, bottom = h + 2.0;
  const double dx = (w / 2.0) / static_cast<double>(steps), dy = (h / 2.0) / static_cast<double>(steps);
  for (int64_t k = 0; k <= steps; ++k) {
    left += dx, right -= dx, top += dy, bottom -= dy;
    const int l = static_cast<int>(left), t = static_cast<int>(top), r = static_cast<int>(right),
              b = static_cast<int>(bottom);
    // A rectangle the next one covers exactly is never seen.
    if (k < steps) {
      const int nl = static_cast<int>(left + dx), nt = static_cast<int>(top + dy), nr = static_cast<int>(right - dx),
                nb = static_cast<int>(bottom - dy);
      if (nl == l && nt == t && nr == r && nb == b) continue;
    }
    Fill(canvas, l, t, r, b, GradientStepColor(begin, end, k, steps));
  }
}

// Pie wedges from angle a clockwise to a + 2 degrees; `quarter` is 180 for
// one rise and fall per turn, 90 for two.
void Radial(TCanvas& canvas, int w, int h, int quarter, int64_t start, uint32_t begin, uint32_t end) {
  const int cx = w / 2, cy = h / 2, radius = std::max(w, h) / 2;
  const int l = -(w / 4), t = -(h / 4), r = w + w / 4, b = h + h / 4;
  auto wedge = [&](int64_t a, int64_t step) {
    canvas.Brush.Color = GradientStepColor(begin, end, step, quarter);
    // The canvas turns counter-clockwise on screen: from a + 2 back to a.
    const TPoint from = RadialPoint(cx, cy, radius, a + 2), to = RadialPoint(cx, cy, radius, a);
    canvas.Pie(l, t, r, b, from.x, from.y, to.x, to.y);
  };
  for (int64_t turn = 0; turn < 360; turn += 2 * quarter) {
    for (int k = 0; k < quarter; ++k) wedge(start + turn + k, k);
    for (int j = 0; j < quarter; ++j) wedge(start + turn + quarter + j, quarter - 1 - j);
  }
}

// A frame of `colour` pixels: the top and left edges of [l, r] x [t, b]
// (inclusive) in `topLeft`, the bottom and right edges in `bottomRight`.
void Frame(TCanvas& canvas, int l, int t, int r, int b, uint32_t topLeft, uint32_t bottomRight) {
  if (r < l || b < t) return;
  canvas.Pen.Clear = false;
  canvas.Pen.Width = 1;
  canvas.Pen.Mode = TRop2::CopyPen;
  canvas.Pen.Color = topLeft;
  canvas.Polyline({{l, b}, {l, t}, {r, t}});
  canvas.Pen.Color = bottomRight;
  canvas.Polyline({{r, t}, {r, b}, {l - 1, b}});
}

void Bevel(TCanvas& canvas, int w, int h) {
  // Two pixels of grey and white, then a black and silver ring just inside the outer one.
  for (int i = 0; i < 2; ++i) Frame(canvas, i, i, w - 1 - i, h - 1 - i, 0x808080, 0xFFFFFF);
  Frame(canvas, 1, 1, w - 2, h - 2, 0x000000, 0xC0C0C0);
  canvas.Pen.Clear = true;
}

}  // namespace

int64_t ScaleDiv(int64_t a, int64_t b, int64_t n) { return n == 0 ? 0 : a * b / n; }

uint32_t GradientStepColor(uint32_t begin, uint32_t end, int64_t k, int64_t n) {
  if (n == 0) return begin & 0xFFFFFF;
  return Channel(Red(begin), Red(end), k, n) | Channel(Green(begin), Green(end), k, n) << 8 |
         Channel(Blue(begin), Blue(end), k, n) << 16;
}

TPoint RadialPoint(int cx, int cy, int radius, int64_t angle) {
  // Whole turns first, so that any integer angle keeps its full precision.
  const double a = static_cast<double>(angle % 360) * std::numbers::pi / 180.0;
  return {cx + static_cast<int>(std::nearbyint(radius * std::sin(a))),
          cy - static_cast<int>(std::nearbyint(radius * std::cos(a)))};
}

int GradientStyleIndex(TGradientStyle style) {
  for (size_t i = 0; i < kGradientStyleItems.size(); ++i)
    if (kGradientStyleItems[i].Style == style) return static_cast<int>(i);
  return 0;
}

void RenderGradient(TPixelBuffer& bitmap, const TGradientShape& shape) {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (bitmap.Empty() || bitmap.BitCount() != 24 || w <= 0 || h <= 0) return;
  // Shapes that may leave corners uncovered show black there, whatever was before.
  for (int y = 0; y < h; ++y) std::memset(bitmap.Row(y), 0, static_cast<size_t>(w) * 3);
  TCanvas canvas(bitmap);
  canvas.Pen.Clear = true;
  const uint32_t begin = shape.BeginColor & 0xFFFFFF, end = shape.EndColor & 0xFFFFFF;
  const int64_t steps = shape.Steps;
  switch (shape.GradientStyle) {
    case TGradientStyle::gsHorizontal:
      if (steps < 0) {
        Fill(canvas, 0, 0, w, h, begin);
        break;
      }
      Bands(w, steps, [&](int x0, int x1, int64_t k) { Fill(canvas, x0, 0, x1, h, GradientStepColor(begin, end, k, steps)); });
      break;
    case TGradientStyle::gsVertical:
      if (steps < 0) {
        Fill(canvas, 0, 0, w, h, begin);
        break;
      }
      Bands(h, steps, [&](int y0, int y1, int64_t k) { Fill(canvas, 0, y0, w, y1, GradientStepColor(begin, end, k, steps)); });
      break;
    case TGradientStyle::gsElliptic:
      Elliptic(canvas, w, h, begin, end);
      break;
    case TGradientStyle::gsRectangle:
      Rectangles(canvas, w, h, steps, begin, end);
      break;
    case TGradientStyle::gsVertCenter:
      Centred(h, [&](int y0, int y1, int k, int n) { Fill(canvas, 0, y0, w, y1, GradientStepColor(begin, end, k, n)); });
      break;
    case TGradientStyle::gsHorizCenter:
      Centred(w, [&](int x0, int x1, int k, int n) { Fill(canvas, x0, 0, x1, h, GradientStepColor(begin, end, k, n)); });
      break;
    case TGradientStyle::gsRadial1:
      Radial(canvas, w, h, 180, shape.StartAngle, begin, end);
      break;
    case TGradientStyle::gsRadial2:
      Radial(canvas, w, h, 90, shape.StartAngle, begin, end);
      break;
  }
  if (shape.Ctl3D) Bevel(canvas, w, h);
}

// ---- TGradientPicture -------------------------------------------------------

template <typename T>
bool TGradientPicture::Set(T& field, T value) {
  if (field == value) return false;
  field = value;
  dirty_ = true;
  return true;
}

bool TGradientPicture::SetBeginColor(uint32_t colour) { return Set(shape_.BeginColor, colour); }
bool TGradientPicture::SetEndColor(uint32_t colour) { return Set(shape_.EndColor, colour); }
bool TGradientPicture::SetGradientStyle(TGradientStyle style) { return Set(shape_.GradientStyle, style); }
bool TGradientPicture::SetSteps(int32_t steps) { return Set(shape_.Steps, steps); }
bool TGradientPicture::SetCtl3D(bool on) { return Set(shape_.Ctl3D, on); }
bool TGradientPicture::SetStartAngle(int32_t angle) { return Set(shape_.StartAngle, angle); }

bool TGradientPicture::SetSize(int width, int height) {
  width = std::max(width, 0), height = std::max(height, 0);
  if (width == width_ && height == height_) return false;
  width_ = width, height_ = height;
  return true;
}

namespace {
bool Drawable(int w, int h) { return w > 0 && h > 0 && int64_t{w} * h <= kGradientMaxPixels; }
}  // namespace

bool TGradientPicture::NeedsRender() const {
  const bool drawable = Drawable(width_, height_);
  const bool sizeDiffers = drawable ? bitmap_.Width() != width_ || bitmap_.Height() != height_ : !bitmap_.Empty();
  return dirty_ || sizeDiffers;
}

const TPixelBuffer& TGradientPicture::Picture() {
  if (!NeedsRender()) return bitmap_;
  if (Drawable(width_, height_)) {
    bitmap_.Allocate(width_, height_, 0, 24);
    RenderGradient(bitmap_, shape_);
  } else {
    bitmap_.Allocate(0, 0, 0, 24);
  }
  dirty_ = false;
  ++renders_;
  return bitmap_;
}

}  // namespace vell
