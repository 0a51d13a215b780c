#include "dialogs/MultiGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "imaging/Canvas.h"

namespace vell {

namespace {

constexpr int64_t kMaxPixels = int64_t{1} << 26;  // as the two-colour gradient

int Red(uint32_t c) { return static_cast<int>(c & 0xFF); }
int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

bool Sane(int w, int h) { return w >= 1 && h >= 1 && int64_t{w} * h <= kMaxPixels; }

uint32_t Blend(uint32_t c0, uint32_t c1, int n) {
  auto ch = [n](int a, int b) { return static_cast<uint32_t>((a + MulDiv(n, b - a, 150)) & 0xFF); };
  return ch(Red(c0), Red(c1)) | ch(Green(c0), Green(c1)) << 8 | ch(Blue(c0), Blue(c1)) << 16;
}

// Writes a 0x00BBGGRR colour into a pixel.
void Put(TRGB24& p, int r, int g, int b) {
  p.r = static_cast<uint8_t>(r);
  p.g = static_cast<uint8_t>(g);
  p.b = static_cast<uint8_t>(b);
}

}  // namespace

int64_t MulDiv(int64_t a, int64_t b, int64_t n) {
  if (n == 0) return -1;
  const int64_t p = a * b;
  const bool negative = (p < 0) != (n < 0);
  const int64_t ap = p < 0 ? -p : p, an = n < 0 ? -n : n;
  const int64_t q = (ap + an / 2) / an;
  return negative ? -q : q;
}

std::vector<TGradientMarker> DefaultMarkers() { return {{96, 0xFF00FF}, {170, 0xFFFF00}}; }

int MinimumPictureWidth(const std::vector<TGradientMarker>& markers) {
  int64_t widest = 1;
  for (const TGradientMarker& m : markers) widest = std::max<int64_t>(widest, int64_t{m.Position} + kMarkerWidth);
  return static_cast<int>(std::min<int64_t>(widest, INT32_MAX));
}

void RenderMultiGradient(TPixelBuffer& picture, const std::vector<TGradientMarker>& markers, uint32_t background) {
  if (picture.Empty() || picture.BitCount() != 24) return;
  const int w = picture.Width(), h = picture.Height();
  // Bubble sort that swaps only on a strictly smaller position: equal columns keep creation order.
  std::vector<TGradientMarker> sorted = markers;
  for (size_t pass = 0; pass + 1 < sorted.size(); ++pass)
    for (size_t i = 0; i + 1 < sorted.size() - pass; ++i)
      if (sorted[i + 1].Position < sorted[i].Position) std::swap(sorted[i], sorted[i + 1]);
  TCanvas canvas(picture);
  canvas.Pen.Clear = true;
  // Every band is full height: the first row is drawn and the others copy it.
  auto copyDown = [&] {
    for (int y = 1; y < h; ++y) std::memcpy(picture.Row(y), picture.Row(0), static_cast<size_t>(w) * 3);
  };
  canvas.Brush.Color = background & 0xFFFFFF;
  canvas.FillRect(0, 0, w, 1);
  if (sorted.empty()) return copyDown();
  auto segment = [&](int64_t p0, uint32_t c0, int64_t p1, uint32_t c1) {
    for (int n = 0; n <= 150; ++n) {
      const int64_t x0 = p0 + MulDiv(n, p1 - p0, 150), x1 = p0 + MulDiv(n + 1, p1 - p0, 150);
      // A band that runs backwards (a segment ending left of its start) covers nothing.
      if (x1 <= x0) continue;
      canvas.Brush.Color = Blend(c0, c1, n);
      canvas.FillRect(static_cast<int>(std::clamp<int64_t>(x0, -1, int64_t{w} + 1)), 0,
                      static_cast<int>(std::clamp<int64_t>(x1, -1, int64_t{w} + 1)), 1);
    }
  };
  segment(0, background, sorted.front().Position, sorted.front().Color);
  for (size_t i = 0; i + 1 < sorted.size(); ++i)
    segment(sorted[i].Position, sorted[i].Color, sorted[i + 1].Position, sorted[i + 1].Color);
  segment(sorted.back().Position, sorted.back().Color, w, background);
  copyDown();
}

void ColorWheel(TPixelBuffer& wheel) {
  wheel.Allocate(256, 256, 0, 24);
  if (wheel.Empty()) return;
  const double pi = std::numbers::pi;
  for (int y = -128; y < 128; ++y) {
    TRGB24* row = wheel.Row24(y + 128);
    for (int x = -128; x < 128; ++x) {
      double a;
      if (x != 0) {
        a = std::atan(static_cast<double>(y) / x);
        if (x < 0) a += pi;
      } else {
        a = pi / 2;
        if (y < 0) a += pi;
      }
      int h = static_cast<int>(std::nearbyint(a * 192 / pi));
      if (h < 0) h += 384;
      double r, g, b;
      if (h < 64) {
        r = 1, g = h / 64.0, b = 0;
      } else if (h < 128) {
        r = 1 - (h - 64) / 64.0, g = 1, b = 0;
      } else if (h < 192) {
        r = 0, g = 1, b = (h - 128) / 64.0;
      } else if (h < 256) {
        r = 0, g = 1 - (h - 192) / 64.0, b = 1;
      } else if (h < 320) {
        r = (h - 256) / 64.0, g = 0, b = 1;
      } else {
        r = 1, g = 0, b = 1 - (h - 320) / 64.0;
      }
      const double d = std::sqrt(static_cast<double>(x * x + y * y)) / 64;
      auto weigh = [d](double w) {
        if (d < 1) return (1 - d) + d * w;
        if (d < 2) return (2 - d) * w;
        return 0.0;
      };
      auto byte = [](double w) { return static_cast<int>(std::clamp(std::nearbyint(255 * w), 0.0, 255.0)); };
      Put(row[x + 128], byte(weigh(r)), byte(weigh(g)), byte(weigh(b)));
    }
  }
}

void FourCornerBlend(TPixelBuffer& image, int x1, int y1, int x2, int y2, uint32_t topLeft, uint32_t topRight,
                     uint32_t bottomLeft, uint32_t bottomRight) {
  if (image.Empty() || image.BitCount() != 24) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 < 0 || y1 < 0 || x2 >= image.Width() || y2 >= image.Height()) return;
  constexpr int64_t F = 1 << 20;
  const int64_t sx = x2 == x1 ? 0 : F / (x2 - x1), sy = y2 == y1 ? 0 : F / (y2 - y1);
  const int tl[3] = {Red(topLeft), Green(topLeft), Blue(topLeft)};
  const int tr[3] = {Red(topRight), Green(topRight), Blue(topRight)};
  const int bl[3] = {Red(bottomLeft), Green(bottomLeft), Blue(bottomLeft)};
  const int br[3] = {Red(bottomRight), Green(bottomRight), Blue(bottomRight)};
  for (int k = 0; k <= y2 - y1; ++k) {
    const int64_t u = F - k * sy, v = k * sy;
    int64_t value[3], step[3];
    for (int c = 0; c < 3; ++c) {
      const int64_t left = u * tl[c] + v * bl[c];
      const int64_t right = (u * tr[c] + v * br[c]) >> 20;
      step[c] = (right - (left >> 20)) * sx;
      value[c] = left & ~(F - 1);
    }
    TRGB24* row = image.Row24(y1 + k);
    for (int x = x1; x <= x2; ++x) {
      Put(row[x], static_cast<int>(value[0] >> 20), static_cast<int>(value[1] >> 20), static_cast<int>(value[2] >> 20));
      for (int c = 0; c < 3; ++c) value[c] += step[c];
    }
  }
}

void Rainbow(TPixelBuffer& image) {
  FourCornerBlend(image, 0, 0, image.Width() - 1, image.Height() - 1, 0xFF0000, 0xFF00FF, 0x00FF00, 0x945040);
}

// ---- TMultiGradient ---------------------------------------------------------

TMultiGradient::TMultiGradient() : markers_(DefaultMarkers()) {
  picture_.Allocate(256, 256, 0, 24);
  Redraw();
}

void TMultiGradient::Redraw() { RenderMultiGradient(picture_, markers_, background_); }

void TMultiGradient::AddMarker(int position, uint32_t colour) {
  markers_.push_back({position, colour & 0xFFFFFF});
  Redraw();
}

void TMultiGradient::MoveMarker(size_t index, int position) {
  if (index >= markers_.size()) return;
  markers_[index].Position = position;
  Redraw();
}

void TMultiGradient::RecolourMarker(size_t index, uint32_t colour) {
  if (index >= markers_.size()) return;
  markers_[index].Color = colour & 0xFFFFFF;
  Redraw();
}

void TMultiGradient::DeleteMarker(size_t index) {
  if (index >= markers_.size()) return;
  markers_.erase(markers_.begin() + static_cast<std::ptrdiff_t>(index));
  Redraw();
}

void TMultiGradient::Clear() {
  markers_.clear();
  Redraw();
}

void TMultiGradient::Default() {
  markers_ = DefaultMarkers();
  Redraw();
}

void TMultiGradient::SetBackground(uint32_t colour) {
  background_ = colour & 0xFFFFFF;
  Redraw();
}

bool TMultiGradient::SetWidth(int width) {
  if (width < MinimumWidth()) return false;
  return SetSize(width, picture_.Height());
}

bool TMultiGradient::SetHeight(int height) { return SetSize(picture_.Width(), height); }

bool TMultiGradient::SetSize(int width, int height) {
  if (!Sane(width, height)) return false;
  const bool changed = width != picture_.Width() || height != picture_.Height();
  picture_.Allocate(width, height, 0, 24);
  Redraw();
  return changed;
}

}  // namespace vell
