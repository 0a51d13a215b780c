#include "imaging/Patterns.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>

#include "imaging/Canvas.h"
#include "imaging/Geometry.h"
#include "imaging/Tiling.h"

namespace vell {

namespace {

constexpr double kPi = 3.14159265358979323846;

TRGB24 FromToolkit(uint32_t colour) {
  return TRGB24{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
}

uint32_t ToToolkit(TRGB24 p) { return uint32_t{p.r} | uint32_t{p.g} << 8 | uint32_t{p.b} << 16; }

uint8_t ClampByte(double v) {
  if (!(v > 0)) return 0;  // NaN too
  if (v >= 255) return 255;
  return static_cast<uint8_t>(v);
}

// trunc(v) held to 0 ... 255 (v may be far outside, or not a number).
int TruncByte(double v) { return ClampByte(std::trunc(v)); }

// A real index held inside 0 ... size - 1 before it becomes an int.
int HoldIndex(double v, int size) {
  if (!(v > 0)) return 0;
  if (v >= size - 1) return size - 1;
  return static_cast<int>(v);
}

// WrapIndex for offsets that may pass the int range.
int WrapIndex64(int64_t k, int size) {
  if (k < 0) return static_cast<int>(size - 1 - ((-k) % size));
  if (k >= size) return static_cast<int>(k % size);
  return static_cast<int>(k);
}

}  // namespace

// ---- plasma -----------------------------------------------------------------

void TPlasmaField::Reset(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  cells_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

namespace {

class TPlasmaBuilder {
 public:
  TPlasmaBuilder(TPlasmaField& field, uint32_t graininess) : f_(field), g_(graininess) {}

  void Quadrant(int x0, int y0, int x1, int y1) {
    depth_ = 0;
    Subdivide(x0, y0, x1, y1);
  }

 private:
  int32_t Displace(int32_t a, int32_t b) {
    const int64_t r = static_cast<int64_t>(NextRandom(g_) >> depth_);
    const bool plus = NextRandom(2) != 0;
    const int64_t v = ((static_cast<int64_t>(a) + b + 1) >> 1) + (plus ? r : -r);
    return static_cast<int32_t>(std::clamp<int64_t>(v, 1, 255));
  }

  void Midpoint(int x, int y, int ax, int ay, int bx, int by) {
    int32_t& cell = f_.At(x, y);
    if (cell == 0) cell = Displace(f_.At(ax, ay), f_.At(bx, by));
  }

  void Subdivide(int x0, int y0, int x1, int y1) {
    // A one-pixel-wide picture makes empty quadrants; they hold nothing.
    if (x1 < x0 || y1 < y0) return;
    if (x1 - x0 <= 1 && y1 - y0 <= 1) return;
    ++depth_;
    const int mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
    Midpoint(mx, y0, x0, y0, x1, y0);  // top
    Midpoint(x1, my, x1, y0, x1, y1);  // right
    Midpoint(mx, y1, x0, y1, x1, y1);  // bottom
    Midpoint(x0, my, x0, y0, x0, y1);  // left
    int32_t& centre = f_.At(mx, my);
    if (centre == 0)
      centre = (f_.At(mx, y0) + f_.At(x1, my) + f_.At(mx, y1) + f_.At(x0, my) + 2) >> 2;
    Subdivide(x0, y0, mx, my);
    Subdivide(mx, y0, x1, my);
    Subdivide(mx, my, x1, y1);
    Subdivide(x0, my, mx, y1);
    --depth_;
  }

  TPlasmaField& f_;
  uint32_t g_;
  int depth_ = 0;
};

}  // namespace

void PlasmaField(TPlasmaField& field, int graininess, int height, int width) {
  ReseedRandom();
  field.Reset(width, height);
  if (field.Width() == 0 || field.Height() == 0) return;
  const int hw = field.Width() / 2, hh = field.Height() / 2;
  const int w2 = 2 * hw, h2 = 2 * hh;
  for (int* seed : {&field.At(0, 0), &field.At(hw, 0), &field.At(0, hh), &field.At(hw, hh)}) *seed = NextRandom(255);

  TPlasmaBuilder b(field, static_cast<uint32_t>(std::max(graininess, 0)));
  b.Quadrant(0, 0, hw, hh);
  if (w2 > 0)
    for (int y = 0; y <= hh; ++y) field.At(w2 - 1, y) = field.At(0, y);
  b.Quadrant(hw, 0, w2 - 1, hh);
  if (h2 > 0)
    for (int x = 0; x < w2; ++x) field.At(x, h2 - 1) = field.At(x, 0);
  b.Quadrant(hw, hh, w2 - 1, h2 - 1);
  if (w2 > 0)
    for (int y = hh; y < h2; ++y) field.At(0, y) = field.At(w2 - 1, y);
  b.Quadrant(0, hh, hw, h2 - 1);
}

void PlasmaCloud(TPixelBuffer& image, int graininess) {
  if (!IsWorkingPicture(image)) return;
  TPlasmaField field;
  PlasmaField(field, graininess, image.Height(), image.Width());
  for (int y = 0; y < image.Height(); ++y) {
    TRGB24* row = image.Row24(y);
    for (int x = 0; x < image.Width(); ++x) {
      const uint8_t v = static_cast<uint8_t>(field.At(x, y));
      row[x] = TRGB24{v, v, v};
    }
  }
}

TMarbleResult Marble(TPixelBuffer& image, int graininess, int turbulence, double scale) {
  if (turbulence == 0) return TMarbleResult::TurbulenceZero;
  if (!IsWorkingPicture(image)) return TMarbleResult::Done;
  const int w = image.Width(), h = image.Height();
  TPixelBuffer scratch;
  CopyPixelsTo(image, scratch);
  std::array<float, 256> sinT{}, cosT{};
  // Single precision; a scale beyond its range is held at the largest float.
  auto single = [](double v) { return std::isnan(v) ? NAN : static_cast<float>(std::clamp(v, -FLT_MAX * 1.0, FLT_MAX * 1.0)); };
  for (int i = 0; i < 256; ++i) {
    sinT[i] = single(std::sin(static_cast<double>(i) / turbulence) * scale);
    cosT[i] = single(scale * std::cos(static_cast<double>(i) / turbulence));
  }
  TPlasmaField p1, p2;
  PlasmaField(p1, graininess, h, w);
  PlasmaField(p2, graininess, h, w);
  for (int y = 0; y < h; ++y) {
    TRGB24* row = image.Row24(y);
    const double dy = static_cast<double>(y - h / 2 - 1);
    for (int x = 0; x < w; ++x) {
      const double dx = static_cast<double>(x - w / 2 - 1);
      const int k = HoldIndex(std::fabs(std::nearbyint(sinT[p1.At(x, y) & 0xFF] * dx)) - 1, w);
      const int m = HoldIndex(std::fabs(std::nearbyint(dy * cosT[p2.At(x, y) & 0xFF])) - 1, h);
      row[x] = scratch.Row24(m)[k];
    }
  }
  return TMarbleResult::Done;
}

// ---- SuperNova --------------------------------------------------------------

namespace {

struct THsl {
  double h = 0, s = 0, l = 0;  // all 0 ... 1
};

THsl ToHsl(double r, double g, double b) {
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  THsl c;
  c.l = (mx + mn) / 2;
  if (mx == mn) return c;
  const double d = mx - mn;
  c.s = c.l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
  if (mx == r)
    c.h = (g - b) / d + (g < b ? 6 : 0);
  else if (mx == g)
    c.h = (b - r) / d + 2;
  else
    c.h = (r - g) / d + 4;
  c.h /= 6;
  return c;
}

double HueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

void FromHsl(const THsl& c, double& r, double& g, double& b) {
  if (c.s == 0) {
    r = g = b = c.l;
    return;
  }
  const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
  const double p = 2 * c.l - q;
  r = HueChannel(p, q, c.h + 1.0 / 3);
  g = HueChannel(p, q, c.h);
  b = HueChannel(p, q, c.h - 1.0 / 3);
}

double UniformReal() { return NextRandom(2147483647u) / 2147483647.0; }

}  // namespace

void SuperNova(TPixelBuffer& image, uint32_t penColour, int radius, int spokes, int randomHue, int xPos, int yPos) {
  // No spokes or no radius: the spoke index and the offsets cannot be formed.
  if (!IsWorkingPicture(image) || radius == 0 || spokes < 1 || spokes > kMaxNovaSpokes) return;
  const int w = image.Width(), h = image.Height();
  const double cx = std::clamp(xPos, 0, w - 1), cy = std::clamp(yPos, 0, h - 1);
  ReseedRandom();

  const TRGB24 pen = FromToolkit(penColour);
  THsl hsl = ToHsl(pen.r / 255.0, pen.g / 255.0, pen.b / 255.0);
  const size_t n = static_cast<size_t>(spokes);
  std::vector<double> length(n);
  std::vector<std::array<int, 3>> colour(n);  // b, g, r
  for (size_t s = 0; s < n; ++s) {
    double sum = 0;
    for (int k = 0; k < 6; ++k) sum += UniformReal();
    length[s] = sum / 6;
    hsl.h += (UniformReal() - 0.5) * randomHue / 360.0;
    if (hsl.h < 0)
      hsl.h += 1;
    else if (hsl.h > 1)
      hsl.h -= 1;
    if (hsl.h < 0 || hsl.h > 1) hsl.h -= std::floor(hsl.h);  // spreads beyond a full turn
    double r, g, b;
    FromHsl(hsl, r, g, b);
    colour[s] = {static_cast<int>(b * 255), static_cast<int>(g * 255), static_cast<int>(r * 255)};
  }

  const double inv = 1.0 / radius;
  for (int y = 0; y < h; ++y) {
    TRGB24* row = image.Row24(y);
    const double v = (y - cy) * inv;
    for (int x = 0; x < w; ++x) {
      const double u = (x - cx) * inv;
      const double d = std::sqrt(u * u + v * v);
      double t = (std::atan2(u, v) / (2 * kPi) + 0.51) * spokes;
      const double fi = std::floor(t);
      t -= fi;
      const size_t i = static_cast<size_t>(static_cast<int64_t>(fi) % spokes);
      const size_t j = (i + 1) % n;
      const double w1 = std::pow((1 - t) * length[i] + t * length[j], 2);
      const double c = 0.9 / (d + 0.001);
      const double alpha = std::clamp(c, 0.0, 1.0);
      const double glow = std::clamp(w1 * c, 0.0, 1.0) * 255;
      uint8_t* px = &row[x].b;
      for (int ch = 0; ch < 3; ++ch) {
        const double col = (1 - t) * colour[i][ch] + t * colour[j][ch];
        const double p = c > 1 ? TruncByte(c * col) : std::trunc(px[ch] * (1 - alpha) + col * alpha);
        px[ch] = static_cast<uint8_t>(TruncByte(glow + p));
      }
    }
  }
}

// ---- mosaics ----------------------------------------------------------------

namespace {

bool CellFits(const TPixelBuffer& image, int s) {
  return IsWorkingPicture(image) && s >= 2 && s <= image.Width() / 2 && s <= image.Height() / 2;
}

// The colour of the cell starting at (x0, y0): its centre pixel, or for a
// cell cut off by the edge the last column's or row's pixel.
TRGB24 CellColour(const TPixelBuffer& image, int s, int x0, int y0) {
  const int x = x0 + s <= image.Width() ? x0 + s / 2 : image.Width() - 1;
  const int y = y0 + s <= image.Height() ? y0 + s / 2 : image.Height() - 1;
  return image.Row24(y)[x];
}

}  // namespace

void Mosaic(TPixelBuffer& image, int cellSize) {
  if (!CellFits(image, cellSize)) return;
  const int w = image.Width(), h = image.Height(), s = cellSize;
  // Each cell reads only its own pixels, so the band is read before it is written.
  std::vector<TRGB24> band(static_cast<size_t>(w));
  for (int y0 = 0; y0 < h; y0 += s) {
    for (int x0 = 0; x0 < w; x0 += s) {
      const TRGB24 c = CellColour(image, s, x0, y0);
      std::fill(band.begin() + x0, band.begin() + std::min(x0 + s, w), c);
    }
    for (int y = y0; y < std::min(y0 + s, h); ++y) std::memcpy(image.Row24(y), band.data(), band.size() * 3);
  }
}

void CircleMosaic(TPixelBuffer& image, int circleSize) {
  if (!CellFits(image, circleSize)) return;
  const int w = image.Width(), h = image.Height(), s = circleSize;
  // Circles cut off at the edges are drawn flush with it and overlap their
  // neighbours, so every colour comes from the untouched picture.
  TPixelBuffer copy;
  CopyPixelsTo(image, copy);
  TCanvas canvas(image);
  canvas.Pen.Clear = true;
  auto circle = [&](int x0, int y0) {
    canvas.Brush.Color = ToToolkit(CellColour(copy, s, x0, y0));
    const int left = std::min(x0, w - s), top = std::min(y0, h - s);
    canvas.Ellipse(left, top, left + s, top + s);
  };
  for (int y0 = 0; y0 < h; y0 += s)
    for (int x0 = 0; x0 < w; x0 += s) circle(x0, y0);
}

void CycloidMosaic(TPixelBuffer& image, int cellSize) {
  if (!IsWorkingPicture(image) || cellSize < 1) return;
  const int w = image.Width(), h = image.Height();
  // Every centre lies within the picture's width of it, so a larger half side
  // covers the picture as fully as this one (and keeps the corners in range).
  const int a = static_cast<int>(std::min<int64_t>(cellSize, 2 * (int64_t{w} + h)));
  const double cx = w / 2, cy = h / 2;
  std::vector<TPoint> centres;
  for (int i = 1; i <= (w / 2) / 6; ++i)
    for (int j = 0; j <= 360; ++j)
      centres.push_back({static_cast<int>(std::nearbyint(std::cos(j) * 7 * i - i * std::cos(7.0 * j) + cx)),
                         static_cast<int>(std::nearbyint(7.0 * i * std::sin(j) - i * std::sin(7.0 * j) + cy))});
  // A square that covers the whole picture hides every square before it;
  // with cells far larger than the hint this saves drawing them all.
  size_t first = 0;
  for (size_t k = centres.size(); k-- > 0;) {
    const TPoint c = centres[k];
    if (int64_t{c.x} - a <= 0 && int64_t{c.y} - a <= 0 && int64_t{c.x} + a >= w && int64_t{c.y} + a >= h) {
      first = k;
      break;
    }
  }
  TCanvas canvas(image);
  canvas.Pen.Clear = true;
  const uint32_t start = 240u << 16 | 128u << 8;  // red 0, green 128, blue 240
  for (size_t k = first; k < centres.size(); ++k) {
    // The packed colour grows by 16 a square, within 24 bits.
    canvas.Brush.Color = static_cast<uint32_t>((start + 16 * uint64_t{k}) & 0xFFFFFF);
    const TPoint c = centres[k];
    canvas.FillRect(c.x - a, c.y - a, c.x + a, c.y + a);
  }
}

void ConcentricRects(TPixelBuffer& image, int sizeDifference) {
  if (!IsWorkingPicture(image) || sizeDifference <= 0) return;
  const int w = image.Width(), h = image.Height();
  const int64_t a = sizeDifference;
  TPixelBuffer scratch;
  CopyPixelsTo(image, scratch);
  for (int64_t b = a; w / 2 - a < scratch.Width(); b += a) {
    const int64_t nw = w - 2 * b, nh = h - 2 * b;
    if (nw < 1 || nh < 1) break;  // the next copy would have no pixels
    ResizeSmooth(scratch, static_cast<int>(nw), static_cast<int>(nh), true);
    scratch.PaintTo(image, static_cast<int>((w - nw) / 2), static_cast<int>((h - nh) / 2));
  }
}

void Astroid(TPixelBuffer& image, int thickness) {
  // Below 1 the powers of cos and sin run off to infinity.
  if (!IsWorkingPicture(image) || thickness < 1) return;
  const int w = image.Width(), h = image.Height();
  const int cx = w / 2, cy = h / 2;
  // The curve of radius 1, and the pen colours from the untouched left column.
  std::array<double, 361> ux{}, uy{};
  for (int t = 0; t <= 360; ++t) {
    const double r = t * 0.017453292519943295769;
    ux[t] = std::pow(std::cos(r), thickness);
    uy[t] = std::pow(std::sin(r), thickness);
  }
  std::vector<uint32_t> pens(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) pens[y] = ToToolkit(image.Row24(y)[0]);
  TCanvas canvas(image);
  for (int n = 0; n <= 2 * h - 2; ++n) {
    canvas.Pen.Color = pens[static_cast<size_t>(n % h)];
    canvas.MoveTo(cx + n, cy);
    for (int t = 0; t <= 360; ++t)
      canvas.LineTo(cx + static_cast<int>(std::nearbyint(n * ux[t])), cy + static_cast<int>(std::nearbyint(n * uy[t])));
  }
}

// ---- bevel ------------------------------------------------------------------

namespace {

// The blend p + MulDiv(k, target - p, e - 1) of every channel. With e = 1
// there is no step to divide: the strip is the target colour.
TRGB24 Blend(TRGB24 p, TRGB24 target, int k, int e) {
  if (e == 1) return target;
  auto one = [&](uint8_t a, uint8_t b) { return static_cast<uint8_t>(a + MulDiv(k, b - a, e - 1)); };
  return TRGB24{one(p.b, target.b), one(p.g, target.g), one(p.r, target.r)};
}

}  // namespace

void Buttonize(TPixelBuffer& image, uint32_t pen, uint32_t brush, int edgeSize) {
  if (!IsWorkingPicture(image) || edgeSize < 1) return;
  const int w = image.Width(), h = image.Height();
  const int e = edgeSize;
  const TRGB24 shadow = FromToolkit(pen), light = FromToolkit(brush);
  // Right edge toward the shadow, then left from the highlight: column k of each strip.
  for (int y = 0; y < h; ++y) {
    TRGB24* row = image.Row24(y);
    for (int k = std::max(0, e - w); k < e; ++k) row[w - e + k] = Blend(row[w - e + k], shadow, k, e);
    for (int k = 0; k < std::min(e, w); ++k) row[k] = e == 1 ? light : Blend(light, row[k], k, e);
  }
  // Bottom edge: row k of the strip, mitred against the sides.
  for (int k = std::max(0, e - h); k < e; ++k) {
    TRGB24* row = image.Row24(h - e + k);
    for (int x = std::max(0, e - k); x < std::min(w, w - e + k); ++x) row[x] = Blend(row[x], shadow, k, e);
  }
  // Top edge.
  for (int k = 0; k < std::min(e, h); ++k) {
    TRGB24* row = image.Row24(k);
    for (int x = k; x <= w - 1 - k; ++x) row[x] = e == 1 ? light : Blend(light, row[x], k, e);
  }
}

// ---- scattering and tracing ---------------------------------------------------

void Spray(TPixelBuffer& image, int scatterosity) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  const uint32_t s = static_cast<uint32_t>(std::max(scatterosity, 1));
  TPixelBuffer copy;
  CopyPixelsTo(image, copy);
  for (int y = 0; y < h; ++y) {
    TRGB24* row = image.Row24(y);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = NextRandom(s);
      const int64_t dx = int64_t{c} - NextRandom(2 * c);
      const int64_t dy = int64_t{c} - NextRandom(2 * c);
      int64_t sx = x + dx, sy = y + dy;
      if (sx < 0 || sx >= w) sx = WrapIndex64(sx, w);
      if (sy < 0 || sy >= h) sy = WrapIndex64(sy, h);
      row[x] = copy.Row24(static_cast<int>(sy))[sx];
    }
  }
}

namespace {

// The fixed 216-colour reduction: 6 levels a channel, nearest level.
const std::array<uint8_t, 256>& CubeLevel() {
  static const std::array<uint8_t, 256> t = [] {
    std::array<uint8_t, 256> l{};
    for (int v = 0; v < 256; ++v) l[v] = static_cast<uint8_t>((2 * v + 51) / 102);
    return l;
  }();
  return t;
}

}  // namespace

void Trace(TPixelBuffer& image, int intensity, uint32_t colour) {
  if (!IsWorkingPicture(image) || intensity < 1) return;
  const int w = image.Width(), h = image.Height();
  const int bw = w + 2, bh = h + 2;
  // Index picture of the copy framed by the opposite edges.
  const std::array<uint8_t, 256>& level = CubeLevel();
  std::vector<uint8_t> index(static_cast<size_t>(bw) * bh);
  for (int by = 0; by < bh; ++by) {
    const TRGB24* src = image.Row24(by == 0 ? h - 1 : (by - 1) % h);
    uint8_t* out = &index[static_cast<size_t>(by) * bw];
    for (int bx = 0; bx < bw; ++bx) {
      const int x = bx == 0 ? w - 1 : (bx - 1) % w;
      const TRGB24 p = src[x];
      out[bx] = static_cast<uint8_t>(level[p.r] * 36 + level[p.g] * 6 + level[p.b]);
    }
  }
  const TRGB24 ink = FromToolkit(colour);
  auto at = [&](int x, int y) { return index[static_cast<size_t>(y) * bw + x]; };
  auto paint = [&](int x, int y) {
    if (x >= 1 && x <= w && y >= 1 && y <= h) image.Row24(y - 1)[x - 1] = ink;
  };
  std::optional<uint8_t> latch;
  // One neighbour pair: paint the pixel unless it holds the latched index.
  auto pair = [&](int x, int y, int nx, int ny) {
    const uint8_t here = at(x, y), there = at(nx, ny);
    if (here == there) return;
    if (!latch) {
      paint(x, y);
      latch = there;
    } else if (*latch == here) {
      paint(nx, ny);
    } else {
      paint(x, y);
    }
  };
  for (int y = 0; y <= bh - 2; ++y)
    for (int x = 0; x <= bw - 2; ++x) {
      pair(x, y, x + 1, y);
      pair(x, y, x, y + 1);
    }
  // Neither the index picture nor the latch changes after the first
  // boundary, so every repetition past the second repeats the second.
  if (intensity >= 2)
    for (int y = bh - 1; y >= 1; --y)
      for (int x = bw - 1; x >= 1; --x) {
        pair(x, y, x - 1, y);
        pair(x, y, x, y - 1);
      }
}

// ---- gradients and merges -------------------------------------------------------

void GradientBars(TPixelBuffer& image, int bars, uint32_t beginColour, uint32_t endColour) {
  if (!IsWorkingPicture(image) || bars == 0) return;
  const int w = image.Width();
  const TRGB24 b = FromToolkit(beginColour), e = FromToolkit(endColour);
  const double period = static_cast<double>(w) / bars;
  std::vector<TRGB24> line(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) {
    const int t = static_cast<int>(std::fabs(std::sin(x / period * kPi)) * 255);
    line[x] = TRGB24{static_cast<uint8_t>(b.b + t * (e.b - b.b) / 255), static_cast<uint8_t>(b.g + t * (e.g - b.g) / 255),
                     static_cast<uint8_t>(b.r + t * (e.r - b.r) / 255)};
  }
  for (int y = 0; y < image.Height(); ++y) std::memcpy(image.Row24(y), line.data(), line.size() * 3);
}

namespace {

bool MergeWith(TPixelBuffer& image, int percent, const TPixelBuffer& other) {
  if (!IsWorkingPicture(image) || other.Empty() || other.Width() < 1 || other.Height() < 1) return false;
  const int w = image.Width(), h = image.Height();
  // A 24-bit picture of the same size is its own stretch (and may be the picture itself).
  TPixelBuffer stretched;
  const bool direct = other.BitCount() == 24 && other.Width() == w && other.Height() == h;
  if (!direct) {
    stretched.Allocate(w, h, 0, 24);
    other.PaintStretched(stretched, 0, 0, w, h);
  }
  const TPixelBuffer& from = direct ? other : stretched;
  // Every (other, picture) pair of channel values, worked once.
  const double c = static_cast<float>(percent) / 100.0f;
  std::vector<uint8_t> mix(65536);
  for (int o = 0; o < 256; ++o)
    for (int p = 0; p < 256; ++p) mix[(o << 8) | p] = ClampByte(std::nearbyint(c * o + (1 - c) * p));
  for (int y = 0; y < h; ++y) {
    uint8_t* dst = image.Row(y);
    const uint8_t* src = from.Row(y);
    for (int i = 0; i < 3 * w; ++i) dst[i] = mix[(src[i] << 8) | dst[i]];
  }
  return true;
}

}  // namespace

bool MergeGradient(TPixelBuffer& image, int percent, const TPixelBuffer& gradient) {
  return MergeWith(image, percent, gradient);
}

bool MergeBuffer(TPixelBuffer& image, int percent, const TPixelBuffer& buffer) {
  return MergeWith(image, percent, buffer);
}

}  // namespace vell
