#include "dialogs/VellGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>
#include <vector>

namespace vell {

namespace {

int Red(uint32_t c) { return static_cast<int>(c & 0xFF); }
int64_t FloorDivision(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
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

struct TBox {
  int l, t, r, b;
  uint32_t colour;
};

// Nested shapes in one pass: each row is filled from the last shape
// outwards, every pixel once. `rowOf(i, y, a, z)` gives shape i's pixels on
// row y as [a, z) (false: none). False when a row's runs are not nested (the
// shapes are then drawn one by one).
template <typename RowOf>
bool NestedRuns(TPixelBuffer& bitmap, const std::vector<uint32_t>& colours, RowOf rowOf) {
  const int w = bitmap.Width(), h = bitmap.Height();
  for (int y = 0; y < h; ++y) {
    TRGB24* row = bitmap.Row24(y);
    int cl = 0, cr = 0;  // the painted run of this row, empty at first
    for (size_t i = colours.size(); i-- > 0;) {
      int64_t a64 = 0, z64 = 0;
      if (!rowOf(i, y, a64, z64)) continue;
      const int a = static_cast<int>(std::max<int64_t>(a64, 0)), z = static_cast<int>(std::min<int64_t>(z64, w));
      if (a >= z) continue;
      const uint32_t c = colours[i];
      const TRGB24 p = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
      if (cl >= cr) {
        for (int x = a; x < z; ++x) row[x] = p;
      } else if (a <= cl && z >= cr) {
        for (int x = a; x < cl; ++x) row[x] = p;
        for (int x = cr; x < z; ++x) row[x] = p;
      } else if (a >= cl && z <= cr) {
        continue;  // hidden behind later ones
      } else {
        return false;
      }
      if (cl >= cr) {
        cl = a, cr = z;
      } else {
        cl = std::min(cl, a), cr = std::max(cr, z);
      }
    }
  }
  return true;
}

bool NestedBoxes(TPixelBuffer& bitmap, const std::vector<TBox>& boxes) {
  std::vector<uint32_t> colours;
  for (const TBox& b : boxes) colours.push_back(b.colour);
  return NestedRuns(bitmap, colours, [&](size_t i, int y, int64_t& a, int64_t& z) {
    const TBox& b = boxes[i];
    if (y < b.t || y >= b.b) return false;
    a = b.l, z = b.r;
    return true;
  });
}

// The pixels of row y whose centres lie in the ellipse inscribed in [l, r) x [t, b).
bool EllipseRow(int64_t l, int64_t t, int64_t r, int64_t b, int64_t y, int64_t& x0, int64_t& x1) {
  if (r <= l || b <= t || y < t || y >= b) return false;
  const __int128 ew = r - l, eh = b - t;
  auto inside = [&](int64_t x) {
    const __int128 dx = 2 * x + 1 - (l + r), dy = 2 * y + 1 - (t + b);
    return dx * dx * eh * eh + dy * dy * ew * ew <= ew * ew * eh * eh;
  };
  const double dy = static_cast<double>(2 * y + 1 - (t + b)) / static_cast<double>(b - t);
  const double q = 1.0 - dy * dy;
  const int64_t mid = l + r;  // doubled centre
  int64_t a = 0;
  if (q > 0) {
    const double half = static_cast<double>(r - l) * std::sqrt(q);
    a = std::clamp(static_cast<int64_t>(std::floor((static_cast<double>(mid) - half - 1) / 2)), l, r - 1);
  } else {
    a = std::clamp(FloorDivision(mid - 1, 2), l, r - 1);
  }
  // Settle the left end exactly; the run is symmetric about the centre in doubled units.
  if (inside(a)) {
    while (a > l && inside(a - 1)) --a;
  } else {
    const int64_t c = FloorDivision(mid - 1, 2);
    while (a < c && !inside(a)) ++a;
    if (!inside(a)) {
      // Only the centre column can hold a pixel of so thin a row.
      if (!inside(c)) return false;
      a = c;
      while (a > l && inside(a - 1)) --a;
    }
  }
  int64_t z = mid - 1 - a;  // the mirror of a
  while (z + 1 < r && inside(z + 1)) ++z;
  while (z > a && !inside(z)) --z;
  x0 = a, x1 = z + 1;
  return true;
}

void Elliptic(TPixelBuffer& bitmap, TCanvas& canvas, int w, int h, uint32_t begin, uint32_t end) {
  struct TOval {
    int64_t l, t, r, b;
  };
  std::vector<TOval> ovals;
  std::vector<uint32_t> colours;
  double left = -w / 4.0, top = -h / 4.0, right = w + w / 4.0 + 4, bottom = h + h / 4.0 + 4;
  const double dx = (w / 4.0 + w / 2.0) / 155, dy = (h / 4.0 + h / 2.0) / 155;
  for (int k = 0; k <= 155; ++k) {
    left += dx, right -= dx, top += dy, bottom -= dy;
    const int l = static_cast<int>(left), t = static_cast<int>(top), r = static_cast<int>(right),
              b = static_cast<int>(bottom);
    // Corners in any order, as the canvas takes them.
    ovals.push_back({std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
    colours.push_back(GradientStepColor(begin, end, k, 155));
  }
  const bool nested = NestedRuns(bitmap, colours, [&](size_t i, int y, int64_t& a, int64_t& z) {
    const TOval& o = ovals[i];
    return EllipseRow(o.l, o.t, o.r, o.b, y, a, z);
  });
  if (nested) return;
  for (size_t i = 0; i < ovals.size(); ++i) {
    canvas.Brush.Color = colours[i];
    canvas.Ellipse(static_cast<int>(ovals[i].l), static_cast<int>(ovals[i].t), static_cast<int>(ovals[i].r),
                   static_cast<int>(ovals[i].b));
  }
}

void Rectangles(TPixelBuffer& bitmap, TCanvas& canvas, int w, int h, int64_t steps, uint32_t begin, uint32_t end) {
  if (steps <= 0) {  // no steps to shrink by: the begin colour throughout
    Fill(canvas, 0, 0, w, h, begin);
    return;
  }
  std::vector<TBox> boxes;
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
    // Corners in any order, as the canvas takes them.
    boxes.push_back({std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b),
                     GradientStepColor(begin, end, k, steps)});
  }
  // Pixels no rectangle reaches stay black either way.
  if (NestedBoxes(bitmap, boxes)) return;
  for (const TBox& box : boxes) Fill(canvas, box.l, box.t, box.r, box.b, box.colour);
}

// The step of wedge i (at angle start + i) of a radial style: `quarter` is
// 180 for one rise and fall per turn, 90 for two.
int RadialStep(int i, int quarter) {
  const int within = i % (2 * quarter);
  return within < quarter ? within : 2 * quarter - 1 - within;
}

// Pie wedges from angle a clockwise to a + 2 degrees, each drawn over the one before.
void RadialWedges(TCanvas& canvas, int w, int h, int quarter, int64_t start, uint32_t begin, uint32_t end) {
  const int cx = w / 2, cy = h / 2, radius = std::max(w, h) / 2;
  const int l = -(w / 4), t = -(h / 4), r = w + w / 4, b = h + h / 4;
  for (int i = 0; i < 360; ++i) {
    canvas.Brush.Color = GradientStepColor(begin, end, RadialStep(i, quarter), quarter);
    // The canvas turns counter-clockwise on screen: from a + 2 back to a.
    const TPoint from = RadialPoint(cx, cy, radius, start + i + 2), to = RadialPoint(cx, cy, radius, start + i);
    canvas.Pie(l, t, r, b, from.x, from.y, to.x, to.y);
  }
}

// Thirty-two pixels of one colour, for filling runs a block at a time.
struct TRun {
  uint8_t block[96];
  TRGB24 pixel;
  explicit TRun(uint32_t colour) {
    pixel = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
    for (int i = 0; i < 32; ++i) std::memcpy(block + 3 * i, &pixel, 3);
  }
  void Fill(TRGB24* row, int x0, int x1) const {
    uint8_t* p = reinterpret_cast<uint8_t*>(row) + 3 * static_cast<size_t>(x0);
    int n = x1 - x0;
    for (; n >= 32; n -= 32, p += 96) std::memcpy(p, block, 96);
    for (; n >= 8; n -= 8, p += 24) std::memcpy(p, block, 24);
    for (; n > 0; --n, p += 3) std::memcpy(p, block, 3);
  }
};

// The same picture as RadialWedges, made in one pass. Wedge i covers the
// directions after radial i up to radial i + 2 and wedge i + 1 is drawn over
// it, so what shows between radial i and radial i + 1 is wedge i (between the
// last radial and the first, wedge 359 over wedge 0: both of step 0). Each row
// is cut where it crosses the radials, with the canvas's own rules: a pixel
// stands at its centre, a radial belongs to the wedge it ends and the centre
// pixel points to the right. Returns false, drawing nothing, where those
// wedges are not an ordered fan of narrow ones covering the whole picture
// (small pictures); the wedges are then drawn one by one.
bool RadialFan(TPixelBuffer& bitmap, int quarter, int64_t start, uint32_t begin, uint32_t end) {
  const int w = bitmap.Width(), h = bitmap.Height();
  const int cx = w / 2, cy = h / 2, radius = std::max(w, h) / 2;
  const int64_t l = -(w / 4), t = -(h / 4), r = w + w / 4, b = h + h / 4;
  const int64_t cx2 = l + r, cy2 = t + b;  // doubled centre of the ellipse's box
  // The whole picture must lie inside the ellipse (it does unless the picture is tiny).
  auto inside = [&](int64_t x, int64_t y) {
    const __int128 ew = r - l, eh = b - t, dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
    return dx * dx * eh * eh + dy * dy * ew * ew <= ew * ew * eh * eh;
  };
  if (!inside(0, 0) || !inside(w - 1, 0) || !inside(0, h - 1) || !inside(w - 1, h - 1)) return false;
  // Radials in doubled units about the centre, y upwards.
  int64_t sx[361], sy[361];
  for (int i = 0; i <= 360; ++i) {
    const TPoint p = RadialPoint(cx, cy, radius, start + i);
    sx[i] = 2 * int64_t{p.x} - cx2, sy[i] = cy2 - 2 * int64_t{p.y};
    if (sx[i] == 0 && sy[i] == 0) return false;
  }
  auto cross = [](int64_t ax, int64_t ay, int64_t bx, int64_t by) { return ax * by - ay * bx; };
  double turned = 0;
  for (int i = 0; i < 360; ++i) {
    const int j = i + 1, k = (i + 2) % 360;
    // Each step turns clockwise by less than a quarter, each wedge is narrower than a half turn.
    if (cross(sx[i], sy[i], sx[j], sy[j]) >= 0 || sx[i] * sx[j] + sy[i] * sy[j] <= 0) return false;
    if (cross(sx[i], sy[i], sx[k], sy[k]) >= 0) return false;
    turned += std::atan2(static_cast<double>(-cross(sx[i], sy[i], sx[j], sy[j])),
                         static_cast<double>(sx[i] * sx[j] + sy[i] * sy[j]));
  }
  if (std::fabs(turned - 2 * std::numbers::pi) > 0.5) return false;

  double slope[361];  // columns per doubled row along each radial
  for (int i = 0; i <= 360; ++i) slope[i] = sy[i] != 0 ? static_cast<double>(sx[i]) / static_cast<double>(sy[i]) : 0.0;
  std::vector<TRun> runs;
  runs.reserve(360);
  for (int i = 0; i < 360; ++i) runs.emplace_back(GradientStepColor(begin, end, RadialStep(i, quarter), quarter));
  // Pixel (x, row) lies between radial k and k + 1: clockwise of k, not clockwise of k + 1.
  auto holds = [&](int k, int64_t px, int64_t q) {
    if (px == 0 && q == 0) px = 1;
    const int n = k + 1;  // radial 360 is radial 0
    return cross(sx[n], sy[n], px, q) >= 0 && cross(px, q, sx[k], sy[k]) > 0;
  };
  const double a0 = std::atan2(static_cast<double>(sx[0]), static_cast<double>(sy[0]));
  auto sectorOf = [&](int64_t px, int64_t q) {
    // The angle guesses the sector; the exact test settles it.
    double a = std::atan2(static_cast<double>(px == 0 && q == 0 ? 1 : px), static_cast<double>(q));
    double turn = (a - a0) * 180 / std::numbers::pi;
    turn -= 360 * std::floor(turn / 360);
    int k = std::clamp(static_cast<int>(turn), 0, 359);
    for (int step = 0; step < 360; ++step) {
      const int probe = ((step % 2 ? k - (step + 1) / 2 : k + step / 2) % 360 + 360) % 360;
      if (holds(probe, px, q)) return probe;
    }
    return k;
  };
  for (int y = 0; y < h; ++y) {
    TRGB24* row = bitmap.Row24(y);
    const int64_t q = cy2 - (2 * int64_t{y} + 1);
    auto px = [cx2](int64_t x) { return 2 * x + 1 - cx2; };
    if (q == 0) {
      // The centre row: straight left of the centre, then straight right (the centre too).
      const int split = static_cast<int>(std::clamp<int64_t>(cx2 / 2, 0, w));  // first px >= 0
      runs[static_cast<size_t>(sectorOf(-1, 0))].Fill(row, 0, split);
      runs[static_cast<size_t>(sectorOf(1, 0))].Fill(row, split, w);
      continue;
    }
    // Walking right turns clockwise above the centre, counter-clockwise below it.
    auto walk = [&](auto aboveTag) {
      constexpr bool kAbove = decltype(aboveTag)::value;
      int x = 0;
      int k = sectorOf(px(0), q);
      while (x < w) {
        int64_t last = w - 1;
        // The radial that ends this sector on the way right, when it crosses the row.
        const int e = kAbove ? k + 1 : k;
        if (kAbove ? sy[e] > 0 : sy[e] < 0) {
          // Still inside: on or left of it above the centre, strictly right of it below.
          auto in = [&](int64_t c) {
            const int64_t v = cross(sx[e], sy[e], px(c), q);
            return kAbove ? v >= 0 : v < 0;
          };
          const double guess = std::floor((slope[e] * static_cast<double>(q) + static_cast<double>(cx2 - 1)) * 0.5);
          last = static_cast<int64_t>(std::clamp(guess, static_cast<double>(x) - 1, static_cast<double>(w - 1)));
          while (last + 1 < w && in(last + 1)) ++last;
          while (last >= x && !in(last)) --last;
        }
        if (last < x) last = x;  // pixel x is in sector k: at least it
        runs[static_cast<size_t>(k)].Fill(row, x, static_cast<int>(last) + 1);
        x = static_cast<int>(last) + 1;
        if (x >= w) break;
        // The next sector that holds the next pixel (thin ones may hold none of this row).
        for (int step = 0; step < 360; ++step) {
          if (kAbove)
            k = k == 359 ? 0 : k + 1;
          else
            k = k == 0 ? 359 : k - 1;
          if (holds(k, px(x), q)) break;
        }
      }
    };
    if (q > 0)
      walk(std::true_type{});
    else
      walk(std::false_type{});
  }
  return true;
}

void Radial(TPixelBuffer& bitmap, TCanvas& canvas, int quarter, int64_t start, uint32_t begin, uint32_t end) {
  if (!RadialFan(bitmap, quarter, start, begin, end))
    RadialWedges(canvas, bitmap.Width(), bitmap.Height(), quarter, start, begin, end);
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

// Column bands: every row is the first one.
void CopyFirstRow(TPixelBuffer& bitmap) {
  const size_t bytes = static_cast<size_t>(bitmap.Width()) * 3;
  for (int y = 1; y < bitmap.Height(); ++y) std::memcpy(bitmap.Row(y), bitmap.Row(0), bytes);
}

void Bevel(TCanvas& canvas, int w, int h) {
  // Two pixels of grey and white, then a black and silver ring just inside the outer one.
  for (int i = 0; i < 2; ++i) Frame(canvas, i, i, w - 1 - i, h - 1 - i, 0x808080, 0xFFFFFF);
  Frame(canvas, 1, 1, w - 2, h - 2, 0x000000, 0xC0C0C0);
  canvas.Pen.Clear = true;
}

}  // namespace

void RenderRadialWedges(TPixelBuffer& bitmap, const TGradientShape& shape) {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (bitmap.Empty() || bitmap.BitCount() != 24 || w <= 0 || h <= 0) return;
  if (shape.GradientStyle != TGradientStyle::gsRadial1 && shape.GradientStyle != TGradientStyle::gsRadial2) return;
  for (int y = 0; y < h; ++y) std::memset(bitmap.Row(y), 0, static_cast<size_t>(w) * 3);
  TCanvas canvas(bitmap);
  canvas.Pen.Clear = true;
  RadialWedges(canvas, w, h, shape.GradientStyle == TGradientStyle::gsRadial1 ? 180 : 90, shape.StartAngle,
               shape.BeginColor & 0xFFFFFF, shape.EndColor & 0xFFFFFF);
}

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
  const uint32_t begin = shape.BeginColor & 0xFFFFFF, end = shape.EndColor & 0xFFFFFF;
  const bool radial = shape.GradientStyle == TGradientStyle::gsRadial1 || shape.GradientStyle == TGradientStyle::gsRadial2;
  // The one-pass fan covers every pixel; the rest may leave corners uncovered, which show black.
  if (radial && !shape.Ctl3D &&
      RadialFan(bitmap, shape.GradientStyle == TGradientStyle::gsRadial1 ? 180 : 90, shape.StartAngle, begin, end))
    return;
  for (int y = 0; y < h; ++y) std::memset(bitmap.Row(y), 0, static_cast<size_t>(w) * 3);
  TCanvas canvas(bitmap);
  canvas.Pen.Clear = true;
  const int64_t steps = shape.Steps;
  switch (shape.GradientStyle) {
    case TGradientStyle::gsHorizontal:
      if (steps < 0) {
        Fill(canvas, 0, 0, w, h, begin);
        break;
      }
      Bands(w, steps, [&](int x0, int x1, int64_t k) { Fill(canvas, x0, 0, x1, 1, GradientStepColor(begin, end, k, steps)); });
      CopyFirstRow(bitmap);
      break;
    case TGradientStyle::gsVertical:
      if (steps < 0) {
        Fill(canvas, 0, 0, w, h, begin);
        break;
      }
      Bands(h, steps, [&](int y0, int y1, int64_t k) { Fill(canvas, 0, y0, w, y1, GradientStepColor(begin, end, k, steps)); });
      break;
    case TGradientStyle::gsElliptic:
      Elliptic(bitmap, canvas, w, h, begin, end);
      break;
    case TGradientStyle::gsRectangle:
      Rectangles(bitmap, canvas, w, h, steps, begin, end);
      break;
    case TGradientStyle::gsVertCenter:
      Centred(h, [&](int y0, int y1, int k, int n) { Fill(canvas, 0, y0, w, y1, GradientStepColor(begin, end, k, n)); });
      break;
    case TGradientStyle::gsHorizCenter:
      Centred(w, [&](int x0, int x1, int k, int n) { Fill(canvas, x0, 0, x1, 1, GradientStepColor(begin, end, k, n)); });
      CopyFirstRow(bitmap);
      break;
    case TGradientStyle::gsRadial1:
      Radial(bitmap, canvas, 180, shape.StartAngle, begin, end);
      break;
    case TGradientStyle::gsRadial2:
      Radial(bitmap, canvas, 90, shape.StartAngle, begin, end);
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
