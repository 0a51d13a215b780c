#include "imaging/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vell {

namespace {

// Coordinates are clamped here so that doubled squares of products fit in 128 bits
// and one-pixel lines stay exact in 64 bits; pictures are far smaller.
constexpr int kLimit = 1 << 26;

int Clamp(int v) { return std::clamp(v, -kLimit, kLimit); }

// Per-bit masks so that a raster operation becomes (destination & a) ^ b.
struct TRopMasks {
  uint32_t a, b;
};

TRopMasks MasksFor(TRop2 mode, uint32_t pen) {
  const unsigned n = static_cast<unsigned>(mode) - 1u;
  auto f = [n](unsigned p, unsigned d) { return (n >> (2 * p + d)) & 1u; };
  const uint32_t a1 = f(1, 0) != f(1, 1) ? ~0u : 0u, b1 = f(1, 0) ? ~0u : 0u;
  const uint32_t a0 = f(0, 0) != f(0, 1) ? ~0u : 0u, b0 = f(0, 0) ? ~0u : 0u;
  return {(pen & a1) | (~pen & a0), (pen & b1) | (~pen & b0)};
}

uint8_t BlueOf(uint32_t c) { return static_cast<uint8_t>(c >> 16); }
uint8_t GreenOf(uint32_t c) { return static_cast<uint8_t>(c >> 8); }
uint8_t RedOf(uint32_t c) { return static_cast<uint8_t>(c); }

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

constexpr int64_t kNone = std::numeric_limits<int64_t>::max() / 4;

// Integers x with k * x + c >= (strict ? 1 : 0), as [lo, hi] (lo > hi: none).
void HalfLine(int64_t k, int64_t c, bool strict, int64_t& lo, int64_t& hi) {
  const int64_t need = strict ? 1 : 0;
  lo = -kNone;
  hi = kNone;
  if (k > 0) {
    lo = CeilDiv(need - c, k);
  } else if (k < 0) {
    hi = FloorDiv(c - need, -k);
  } else if (c < need) {
    lo = kNone;
    hi = -kNone;
  }
}

void AddSpan(std::vector<TSpan>& out, int64_t y, int64_t x0, int64_t x1, int colLo, int colHi) {
  x0 = std::max<int64_t>(x0, colLo);
  x1 = std::min<int64_t>(x1, colHi);
  if (x0 < x1) out.push_back({static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
}

// Sorted and merged spans of one set minus another (both sorted and merged).
std::vector<TSpan> Subtract(const std::vector<TSpan>& from, const std::vector<TSpan>& cut) {
  std::vector<TSpan> out;
  size_t j = 0;
  for (const TSpan& s : from) {
    while (j < cut.size() && (cut[j].y < s.y || (cut[j].y == s.y && cut[j].x1 <= s.x0))) ++j;
    int x = s.x0;
    for (size_t k = j; k < cut.size() && cut[k].y == s.y && cut[k].x0 < s.x1; ++k) {
      if (cut[k].x0 > x) out.push_back({s.y, x, cut[k].x0});
      x = std::max(x, cut[k].x1);
    }
    if (x < s.x1) out.push_back({s.y, x, s.x1});
  }
  return out;
}

// The ellipse inscribed in [l, r) x [t, b): pixel (x, y) is inside when its centre is.
struct TEllipseBox {
  int64_t l, t, r, b;
  bool Empty() const { return r <= l || b <= t; }
  bool Inside(int64_t x, int64_t y) const {
    const __int128 w = r - l, h = b - t;
    const __int128 dx = 2 * x + 1 - (l + r), dy = 2 * y + 1 - (t + b);
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
  }
  // Row y's inside pixels as [x0, x1); false when the row misses.
  bool Row(int64_t y, int64_t& x0, int64_t& x1) const {
    if (Empty() || y < t || y >= b) return false;
    const double h = static_cast<double>(b - t), w = static_cast<double>(r - l);
    const double dy = static_cast<double>(2 * y + 1 - (t + b)) / h;
    const double q = 1.0 - dy * dy;
    if (q < 0) return false;
    const double half = w * std::sqrt(q);
    const int64_t mid = l + r;  // doubled centre
    int64_t a = static_cast<int64_t>(std::floor((static_cast<double>(mid) - half - 1) / 2));
    int64_t z = static_cast<int64_t>(std::ceil((static_cast<double>(mid) + half - 1) / 2));
    a = std::clamp(a, l, r - 1);
    z = std::clamp(z, l, r - 1);
    while (a <= z && !Inside(a, y)) ++a;
    while (a > l && Inside(a - 1, y)) --a;
    if (a > z) {
      // The estimate missed: the centre column decides.
      const int64_t c = FloorDiv(mid - 1, 2);
      if (!Inside(c, y)) return false;
      a = z = c;
      while (a > l && Inside(a - 1, y)) --a;
    }
    while (z >= a && !Inside(z, y)) --z;
    while (z < r - 1 && Inside(z + 1, y)) ++z;
    x0 = a;
    x1 = z + 1;
    return true;
  }
};

// Pixels within radius of the segment a-b (pixel (x, y) stands at the point (x, y)).
void CapsuleSpans(double ax, double ay, double bx, double by, double radius, int rowLo, int rowHi,
                  int colLo, int colHi, std::vector<TSpan>& out) {
  constexpr double kEps = 1e-9;
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy, len = std::sqrt(len2);
  const double r2 = radius * radius;
  const int64_t y0 = std::max<int64_t>(rowLo, static_cast<int64_t>(std::ceil(std::min(ay, by) - radius - kEps)));
  const int64_t y1 = std::min<int64_t>(rowHi - 1, static_cast<int64_t>(std::floor(std::max(ay, by) + radius + kEps)));
  for (int64_t y = y0; y <= y1; ++y) {
    const double fy = static_cast<double>(y);
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    auto disc = [&](double cx, double cy) {
      const double q = r2 - (fy - cy) * (fy - cy);
      if (q < -kEps) return;
      const double s = std::sqrt(std::max(q, 0.0));
      lo = std::min(lo, cx - s);
      hi = std::max(hi, cx + s);
    };
    disc(ax, ay);
    disc(bx, by);
    if (len2 > 0) {
      // 0 <= (p - a).d <= len2 and |(p - a) x d| <= radius * len, each linear in x.
      double slo = -std::numeric_limits<double>::infinity(), shi = -slo;
      auto bound = [&](double k, double c, double from, double to) {
        if (k == 0) {
          if (c < from - kEps || c > to + kEps) slo = std::numeric_limits<double>::infinity();
          return;
        }
        double u = (from - c) / k, v = (to - c) / k;
        if (u > v) std::swap(u, v);
        slo = std::max(slo, u);
        shi = std::min(shi, v);
      };
      bound(dx, -ax * dx + (fy - ay) * dy, 0, len2);
      bound(dy, -ax * dy - (fy - ay) * dx, -radius * len, radius * len);
      if (slo <= shi) {
        lo = std::min(lo, slo);
        hi = std::max(hi, shi);
      }
    }
    if (lo > hi) continue;
    const double clo = std::max(lo, static_cast<double>(colLo) - 1), chi = std::min(hi, static_cast<double>(colHi) + 1);
    if (clo > chi) continue;
    AddSpan(out, y, static_cast<int64_t>(std::ceil(clo - kEps)), static_cast<int64_t>(std::floor(chi + kEps)) + 1,
            colLo, colHi);
  }
}

}  // namespace

uint32_t ApplyRop2(TRop2 mode, uint32_t pen, uint32_t destination) {
  const TRopMasks m = MasksFor(mode, pen);
  return (destination & m.a) ^ m.b;
}

TCanvas::TCanvas(TPixelBuffer& target) : target_(target) {}

void TCanvas::Window() {
  const int w = target_.Width(), h = target_.Height();
  if (Wrap) {
    rowLo_ = -h, rowHi_ = 2 * h, colLo_ = -w, colHi_ = 2 * w;
  } else {
    rowLo_ = 0, rowHi_ = h, colLo_ = 0, colHi_ = w;
  }
}

void TCanvas::Fold(std::vector<TSpan>& spans) const {
  const int w = target_.Width(), h = target_.Height();
  std::vector<TSpan> out;
  out.reserve(spans.size());
  for (const TSpan& s : spans) {
    if (s.y < rowLo_ || s.y >= rowHi_) continue;
    const int x0 = std::max(s.x0, colLo_), x1 = std::min(s.x1, colHi_);
    if (x0 >= x1) continue;
    if (!Wrap) {
      out.push_back({s.y, x0, x1});
      continue;
    }
    const int y = s.y < 0 ? s.y + h : s.y >= h ? s.y - h : s.y;
    for (int ox = -w; ox <= w; ox += w) {
      const int a = std::max(x0 + ox, 0), b = std::min(x1 + ox, w);
      if (a < b) out.push_back({y, a, b});
    }
  }
  std::sort(out.begin(), out.end(), [](const TSpan& p, const TSpan& q) {
    return p.y != q.y ? p.y < q.y : p.x0 < q.x0;
  });
  spans.clear();
  for (const TSpan& s : out) {
    if (!spans.empty() && spans.back().y == s.y && s.x0 <= spans.back().x1)
      spans.back().x1 = std::max(spans.back().x1, s.x1);
    else
      spans.push_back(s);
  }
}

void TCanvas::Paint(const std::vector<TSpan>& folded, uint32_t colour, TRop2 mode) {
  if (folded.empty() || target_.BitCount() != 24) return;
  const TRopMasks m = MasksFor(mode, colour);
  const uint8_t ab = BlueOf(m.a), ag = GreenOf(m.a), ar = RedOf(m.a);
  const uint8_t bb = BlueOf(m.b), bg = GreenOf(m.b), br = RedOf(m.b);
  for (const TSpan& s : folded) {
    TRGB24* row = target_.Row24(s.y);
    for (int x = s.x0; x < s.x1; ++x) {
      row[x].b = static_cast<uint8_t>((row[x].b & ab) ^ bb);
      row[x].g = static_cast<uint8_t>((row[x].g & ag) ^ bg);
      row[x].r = static_cast<uint8_t>((row[x].r & ar) ^ br);
    }
    if (dirty_.Empty()) {
      dirty_ = {s.x0, s.y, s.x1, s.y + 1};
    } else {
      dirty_.left = std::min(dirty_.left, s.x0);
      dirty_.right = std::max(dirty_.right, s.x1);
      dirty_.top = std::min(dirty_.top, s.y);
      dirty_.bottom = std::max(dirty_.bottom, s.y + 1);
    }
  }
}

TRectI TCanvas::TakeDirty() {
  const TRectI d = dirty_;
  dirty_ = {};
  return d;
}

void TCanvas::PaintSpans(std::vector<TSpan> spans, uint32_t colour, TRop2 mode) {
  Window();
  Fold(spans);
  Paint(spans, colour, mode);
}

void TCanvas::PaintShape(std::vector<TSpan> pen, std::vector<TSpan> brush) {
  Fold(pen);
  Fold(brush);
  if (!pen.empty() && !brush.empty()) brush = Subtract(brush, pen);
  Paint(brush, Brush.Color, Pen.Mode);
  Paint(pen, Pen.Color, Pen.Mode);
}

void TCanvas::MoveTo(int x, int y) { pos_ = {x, y}; }

// One-pixel line from (x0, y0) towards (x1, y1), the last point left out. Each
// step rounds the minor coordinate to nearest (halves away from the start);
// only the steps inside the window are visited, so far-off points cost nothing.
void TCanvas::LineSpans(int x0, int y0, int x1, int y1, std::vector<TSpan>& out, int& dashPhase) const {
  const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
  const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t n = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (n == 0) return;
  // The window bounds the steps along the major axis.
  const int64_t majorStart = xMajor ? x0 : y0, majorSign = xMajor ? sx : sy;
  const int64_t winLo = xMajor ? colLo_ : rowLo_, winHi = xMajor ? colHi_ : rowHi_;
  int64_t iLo, iHi;  // [iLo, iHi)
  if (majorSign > 0) {
    iLo = std::max<int64_t>(0, winLo - majorStart);
    iHi = std::min<int64_t>(n, winHi - majorStart);
  } else {
    iLo = std::max<int64_t>(0, majorStart - winHi + 1);
    iHi = std::min<int64_t>(n, majorStart - winLo + 1);
  }
  for (int64_t i = iLo; i < iHi; ++i) {
    if (Pen.Dashed && ((dashPhase + i) / 4) % 2 != 0) continue;
    const int64_t m = (2 * minor * i + n) / (2 * n);
    const int64_t x = xMajor ? x0 + sx * i : x0 + sx * m;
    const int64_t y = xMajor ? y0 + sy * m : y0 + sy * i;
    if (y < rowLo_ || y >= rowHi_ || x < colLo_ || x >= colHi_) continue;
    out.push_back({static_cast<int>(y), static_cast<int>(x), static_cast<int>(x + 1)});
  }
  dashPhase += static_cast<int>(n % 8);
}

void TCanvas::LineTo(int x, int y) {
  x = Clamp(x);
  y = Clamp(y);
  if (!Pen.Clear) {
    Window();
    std::vector<TSpan> spans;
    if (Pen.Width <= 1) {
      int phase = 0;
      LineSpans(Clamp(pos_.x), Clamp(pos_.y), x, y, spans, phase);
    } else {
      const double o = Pen.Width % 2 == 0 ? -0.5 : 0.0;
      CapsuleSpans(pos_.x + o, pos_.y + o, x + o, y + o, Pen.Width / 2.0, rowLo_, rowHi_, colLo_, colHi_, spans);
    }
    Fold(spans);
    Paint(spans, Pen.Color, Pen.Mode);
  }
  pos_ = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (Pen.Clear || points.size() < 2) return;
  Window();
  std::vector<TSpan> spans;
  int phase = 0;
  const double o = Pen.Width % 2 == 0 ? -0.5 : 0.0;
  for (size_t i = 1; i < points.size(); ++i) {
    const int ax = Clamp(points[i - 1].x), ay = Clamp(points[i - 1].y);
    const int bx = Clamp(points[i].x), by = Clamp(points[i].y);
    if (Pen.Width <= 1)
      LineSpans(ax, ay, bx, by, spans, phase);
    else
      CapsuleSpans(ax + o, ay + o, bx + o, by + o, Pen.Width / 2.0, rowLo_, rowHi_, colLo_, colHi_, spans);
  }
  Fold(spans);
  Paint(spans, Pen.Color, Pen.Mode);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  x1 = Clamp(x1), y1 = Clamp(y1), x2 = Clamp(x2), y2 = Clamp(y2);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  Window();
  std::vector<TSpan> pen, brush;
  if (!Pen.Clear) {
    const int w = std::max(1, Pen.Width);
    if (w == 1 && Pen.Dashed) {
      // Walk the frame clockwise from the top-left corner so the dashes run on.
      const int64_t fw = x2 - x1, fh = y2 - y1;
      auto dot = [&](int64_t t, int64_t x, int64_t y) {
        if ((t / 4) % 2 == 0 && y >= rowLo_ && y < rowHi_) AddSpan(pen, y, x, x + 1, colLo_, colHi_);
      };
      const int64_t cLo = std::max<int64_t>(x1, colLo_), cHi = std::min<int64_t>(x2, colHi_);
      const int64_t rLo = std::max<int64_t>(y1 + 1, rowLo_), rHi = std::min<int64_t>(y2, rowHi_);
      for (int64_t x = cLo; x < cHi; ++x) dot(x - x1, x, y1);                    // top
      for (int64_t y = rLo; y < rHi; ++y) dot(fw - 1 + (y - y1), x2 - 1, y);     // right
      if (fh > 1)
        for (int64_t x = cLo; x < std::min<int64_t>(x2 - 1, colHi_); ++x)
          dot(fw + fh - 1 + (x2 - 2 - x), x, y2 - 1);                            // bottom
      if (fw > 1)
        for (int64_t y = rLo; y < std::min<int64_t>(y2 - 1, rowHi_); ++y)
          dot(2 * fw + fh - 2 + (y2 - 2 - y), x1, y);                            // left
    } else {
      const int lo = w / 2, hi = (w - 1) / 2;
      const int64_t ol = static_cast<int64_t>(x1) - lo, orr = static_cast<int64_t>(x2) + hi;  // [ol, orr)
      const int64_t ot = static_cast<int64_t>(y1) - lo, ob = static_cast<int64_t>(y2) + hi;
      const int64_t il = static_cast<int64_t>(x1) + hi + 1, ir = static_cast<int64_t>(x2) - 1 - lo;  // pen-free inside
      const int64_t it = static_cast<int64_t>(y1) + hi + 1, ib = static_cast<int64_t>(y2) - 1 - lo;
      for (int64_t y = std::max<int64_t>(ot, rowLo_); y < std::min<int64_t>(ob, rowHi_); ++y) {
        if (y >= it && y < ib && il < ir) {
          AddSpan(pen, y, ol, il, colLo_, colHi_);
          AddSpan(pen, y, ir, orr, colLo_, colHi_);
        } else {
          AddSpan(pen, y, ol, orr, colLo_, colHi_);
        }
      }
    }
  }
  if (!Brush.Clear)
    for (int64_t y = std::max(y1, rowLo_); y < std::min(y2, rowHi_); ++y) AddSpan(brush, y, x1, x2, colLo_, colHi_);
  PaintShape(std::move(pen), std::move(brush));
}

void TCanvas::FillRect(int x1, int y1, int x2, int y2) {
  x1 = Clamp(x1), y1 = Clamp(y1), x2 = Clamp(x2), y2 = Clamp(y2);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  Window();
  std::vector<TSpan> spans;
  for (int64_t y = std::max(y1, rowLo_); y < std::min(y2, rowHi_); ++y) AddSpan(spans, y, x1, x2, colLo_, colHi_);
  Fold(spans);
  Paint(spans, Brush.Color, TRop2::CopyPen);
}

namespace {

// The ellipse of a box and its outline ring for a pen of width w: the pixels of
// the (widened) ellipse that a diamond of radius w around them leaves, which
// keeps the outline closed however flat the ellipse.
struct TEllipseShape {
  TEllipseBox box, outer;
  int w = 1;
  void Set(int x1, int y1, int x2, int y2, int width) {
    w = width;
    const int lo = w / 2, hi = (w - 1) / 2;
    box = {x1, y1, x2, y2};
    outer = {static_cast<int64_t>(x1) - lo, static_cast<int64_t>(y1) - lo, static_cast<int64_t>(x2) + hi,
             static_cast<int64_t>(y2) + hi};
  }
  // Ring pixels of row y as up to two runs.
  int RingRow(int64_t y, int64_t runs[2][2]) const {
    int64_t a0, a1;
    if (!outer.Row(y, a0, a1)) return 0;
    int64_t i0 = a0 + w, i1 = a1 - w;  // the eroded run
    for (int k = 1; k <= w && i0 < i1; ++k) {
      int64_t u0, u1;
      for (int64_t r : {y - k, y + k}) {
        if (!outer.Row(r, u0, u1)) {
          i1 = i0;
          break;
        }
        i0 = std::max(i0, u0 + (w - k));
        i1 = std::min(i1, u1 - (w - k));
      }
    }
    if (i0 >= i1) {
      runs[0][0] = a0, runs[0][1] = a1;
      return 1;
    }
    runs[0][0] = a0, runs[0][1] = i0;
    runs[1][0] = i1, runs[1][1] = a1;
    return 2;
  }
};

// The wedge of directions from s counter-clockwise to e (y up, doubled units
// about the box centre): the start radial belongs to it, the end radial does not.
struct TWedge {
  int64_t sx, sy, ex, ey;
  int64_t cx2, cy2;  // doubled centre
  bool full = false;
  static int64_t Cross(int64_t ax, int64_t ay, int64_t bx, int64_t by) { return ax * by - ay * bx; }
  bool Holds(int64_t px, int64_t py) const {
    if (full) return true;
    if (px == 0 && py == 0) px = 1;  // the centre counts as direction 0
    const int64_t c = Cross(sx, sy, ex, ey);
    const int64_t cs = Cross(sx, sy, px, py), ce = Cross(px, py, ex, ey);
    if (c > 0) return cs >= 0 && ce > 0;
    if (c < 0) return cs >= 0 || ce > 0;
    return cs > 0 || (cs == 0 && sx * px + sy * py > 0);  // a half-plane: s's side
  }
  // Pixels of row y within [x0, x1) that lie in the wedge, appended as spans.
  void Clip(int64_t y, int64_t x0, int64_t x1, int colLo, int colHi, std::vector<TSpan>& out) const {
    if (x0 >= x1) return;
    if (full) return AddSpan(out, y, x0, x1, colLo, colHi);
    // p = (2x + 1 - cx2, q) with q fixed by the row: every test is linear in x.
    const int64_t q = cy2 - (2 * y + 1);
    auto crossS = [&](bool strict, int64_t& lo, int64_t& hi) { HalfLine(-2 * sy, sx * q - sy * (1 - cx2), strict, lo, hi); };
    auto crossE = [&](bool strict, int64_t& lo, int64_t& hi) { HalfLine(2 * ey, ey * (1 - cx2) - q * ex, strict, lo, hi); };
    auto dotS = [&](int64_t& lo, int64_t& hi) { HalfLine(2 * sx, sx * (1 - cx2) + sy * q, true, lo, hi); };
    const size_t first = out.size();
    auto add = [&](int64_t lo, int64_t hi) { AddSpan(out, y, std::max(lo, x0), std::min(hi + 1, x1), colLo, colHi); };
    const int64_t c = Cross(sx, sy, ex, ey);
    int64_t a0, a1, b0, b1;
    if (c > 0) {
      crossS(false, a0, a1);
      crossE(true, b0, b1);
      add(std::max(a0, b0), std::min(a1, b1));
    } else if (c < 0) {
      crossS(false, a0, a1);
      add(a0, a1);
      crossE(true, b0, b1);
      add(b0, b1);
    } else {
      crossS(true, a0, a1);
      add(a0, a1);
      int64_t d0, d1;
      crossS(false, a0, a1);
      dotS(d0, d1);
      add(std::max(a0, d0), std::min(a1, d1));
    }
    // The centre pixel, when this row has it, goes by direction 0 instead.
    if (q == 0 && (cx2 - 1) % 2 == 0) {
      const int64_t cx = (cx2 - 1) / 2;
      if (cx >= x0 && cx < x1) {
        std::vector<TSpan> keep(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
        out.resize(first);
        for (const TSpan& s : keep) {
          AddSpan(out, y, s.x0, std::min<int64_t>(s.x1, cx), colLo, colHi);
          AddSpan(out, y, std::max<int64_t>(s.x0, cx + 1), s.x1, colLo, colHi);
        }
        if (Holds(0, 0)) AddSpan(out, y, cx, cx + 1, colLo, colHi);
      }
    }
  }
};

}  // namespace

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  x1 = Clamp(x1), y1 = Clamp(y1), x2 = Clamp(x2), y2 = Clamp(y2);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  Window();
  TEllipseShape e;
  e.Set(x1, y1, x2, y2, std::max(1, Pen.Width));
  std::vector<TSpan> pen, brush;
  for (int64_t y = std::max<int64_t>(e.outer.t, rowLo_); y < std::min<int64_t>(e.outer.b, rowHi_); ++y) {
    int64_t runs[2][2];
    if (!Pen.Clear)
      for (int i = 0, n = e.RingRow(y, runs); i < n; ++i) AddSpan(pen, y, runs[i][0], runs[i][1], colLo_, colHi_);
    int64_t a, b;
    if (!Brush.Clear && e.box.Row(y, a, b)) AddSpan(brush, y, a, b, colLo_, colHi_);
  }
  PaintShape(std::move(pen), std::move(brush));
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  x1 = Clamp(x1), y1 = Clamp(y1), x2 = Clamp(x2), y2 = Clamp(y2);
  x3 = Clamp(x3), y3 = Clamp(y3), x4 = Clamp(x4), y4 = Clamp(y4);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  Window();
  TWedge wedge;
  wedge.cx2 = static_cast<int64_t>(x1) + x2;
  wedge.cy2 = static_cast<int64_t>(y1) + y2;
  wedge.sx = 2 * static_cast<int64_t>(x3) - wedge.cx2, wedge.sy = wedge.cy2 - 2 * static_cast<int64_t>(y3);
  wedge.ex = 2 * static_cast<int64_t>(x4) - wedge.cx2, wedge.ey = wedge.cy2 - 2 * static_cast<int64_t>(y4);
  if (wedge.sx == 0 && wedge.sy == 0) wedge.sx = 1;
  if (wedge.ex == 0 && wedge.ey == 0) wedge.ex = 1;
  wedge.full = TWedge::Cross(wedge.sx, wedge.sy, wedge.ex, wedge.ey) == 0 &&
               wedge.sx * wedge.ex + wedge.sy * wedge.ey > 0;
  const int w = std::max(1, Pen.Width);
  TEllipseShape e;
  e.Set(x1, y1, x2, y2, w);
  std::vector<TSpan> pen, brush;
  for (int64_t y = std::max<int64_t>(e.outer.t, rowLo_); y < std::min<int64_t>(e.outer.b, rowHi_); ++y) {
    int64_t runs[2][2];
    if (!Pen.Clear)
      for (int i = 0, n = e.RingRow(y, runs); i < n; ++i) wedge.Clip(y, runs[i][0], runs[i][1], colLo_, colHi_, pen);
    int64_t a, b;
    if (!Brush.Clear && e.box.Row(y, a, b)) wedge.Clip(y, a, b, colLo_, colHi_, brush);
  }
  if (!Pen.Clear) {
    // The two radii, from the centre to the outline's middle.
    const double cx = (x1 + static_cast<double>(x2)) / 2 - 0.5, cy = (y1 + static_cast<double>(y2)) / 2 - 0.5;
    const double ra = (x2 - static_cast<double>(x1)) / 2 - 0.5, rb = (y2 - static_cast<double>(y1)) / 2 - 0.5;
    auto radial = [&](double dx, double dy) {
      const double k = (ra > 0 && rb > 0) ? 1.0 / std::sqrt((dx / ra) * (dx / ra) + (dy / rb) * (dy / rb)) : 0.0;
      CapsuleSpans(cx, cy, cx + dx * k, cy + dy * k, std::max(0.5, w / 2.0), rowLo_, rowHi_, colLo_, colHi_, pen);
    };
    radial(static_cast<double>(wedge.sx), -static_cast<double>(wedge.sy));
    if (!wedge.full) radial(static_cast<double>(wedge.ex), -static_cast<double>(wedge.ey));
  }
  PaintShape(std::move(pen), std::move(brush));
}

namespace {

// Runs of one colour in a 24-bit row, eight pixels (three 64-bit words) at a time.
struct TColourRun {
  uint8_t b, g, r;
  uint64_t word[3];
  explicit TColourRun(uint32_t colour) : b(BlueOf(colour)), g(GreenOf(colour)), r(RedOf(colour)) {
    uint8_t block[24];
    for (int i = 0; i < 8; ++i) block[3 * i] = b, block[3 * i + 1] = g, block[3 * i + 2] = r;
    std::memcpy(word, block, sizeof word);
  }
  bool Is(const TRGB24* row, int x) const { return row[x].b == b && row[x].g == g && row[x].r == r; }
  bool Block(const uint8_t* p) const {
    uint64_t v[3];
    std::memcpy(v, p, sizeof v);
    return ((v[0] ^ word[0]) | (v[1] ^ word[1]) | (v[2] ^ word[2])) == 0;
  }
  // First x' >= x (up to end) whose pixel is not this colour.
  int RunEnd(const TRGB24* row, int x, int end) const {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(row);
    while (x + 8 <= end && Block(p + 3 * static_cast<size_t>(x))) x += 8;
    while (x < end && Is(row, x)) ++x;
    return x;
  }
  // Lowest x' <= x (down to begin) such that [x', x) is all this colour.
  int RunBegin(const TRGB24* row, int x, int begin) const {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(row);
    while (x - 8 >= begin && Block(p + 3 * static_cast<size_t>(x - 8))) x -= 8;
    while (x > begin && Is(row, x - 1)) --x;
    return x;
  }
  void Fill(TRGB24* row, int x0, int x1) const {
    uint8_t* p = reinterpret_cast<uint8_t*>(row);
    int x = x0;
    for (; x + 8 <= x1; x += 8) std::memcpy(p + 3 * static_cast<size_t>(x), word, sizeof word);
    for (; x < x1; ++x) row[x].b = b, row[x].g = g, row[x].r = r;
  }
};

}  // namespace

void TCanvas::FloodFill(int x, int y) {
  const int w = target_.Width(), h = target_.Height();
  if (w <= 0 || h <= 0 || target_.BitCount() != 24) return;
  if (Wrap) {
    x = ((x % w) + w) % w;
    y = ((y % h) + h) % h;
  } else if (x < 0 || y < 0 || x >= w || y >= h) {
    return;
  }
  const TRGB24 seedPixel = target_.Row24(y)[x];
  const uint32_t seed = static_cast<uint32_t>(seedPixel.b) << 16 | seedPixel.g << 8 | seedPixel.r;
  const uint32_t fillColour = Brush.Color & 0xFFFFFF;
  // Filled pixels stop matching, which is what ends the spread; a fill in the
  // seed's own colour changes nothing.
  if (fillColour == seed) return;
  const TColourRun match(seed), paint(fillColour);
  int minX = w, maxX = -1, minY = h, maxY = -1;
  auto mark = [&](int yy, int x0, int x1) {
    minX = std::min(minX, x0), maxX = std::max(maxX, x1), minY = std::min(minY, yy), maxY = std::max(maxY, yy);
  };

  if (!Wrap) {
    // Span fill that never rescans the row it came from: (x1, x2, y, dy) asks to
    // scan row y over [x1, x2], reached from row y - dy.
    struct TTask {
      int x1, x2, y, dy;
    };
    std::vector<TTask> stack;
    // The next rows to scan are fetched while the current one is worked on.
    auto push = [&](int a, int b, int row, int dy) {
      if (row < 0 || row >= h) return;
      __builtin_prefetch(target_.Row24(row) + a);
      stack.push_back({a, b, row, dy});
    };
    stack.push_back({x, x, y, 1});
    stack.push_back({x, x, y - 1, -1});
    while (!stack.empty()) {
      TTask t = stack.back();
      stack.pop_back();
      if (t.y < 0 || t.y >= h) continue;
      TRGB24* row = target_.Row24(t.y);
      int x1 = t.x1, xs = t.x1;
      if (match.Is(row, x1)) {
        xs = match.RunBegin(row, x1, 0);
        paint.Fill(row, xs, x1);
        if (xs < x1) push(xs, x1 - 1, t.y - t.dy, -t.dy);
      }
      while (x1 <= t.x2) {
        const int end = match.RunEnd(row, x1, w);
        if (end > x1) paint.Fill(row, x1, end);
        if (end > xs) {
          mark(t.y, xs, end);
          push(xs, end - 1, t.y + t.dy, t.dy);
        }
        if (end - 1 > t.x2) push(t.x2 + 1, end - 1, t.y - t.dy, -t.dy);
        x1 = end + 1;
        while (x1 < t.x2 && !match.Is(row, x1)) ++x1;
        xs = x1;
      }
    }
  } else {
    // On the torus: seeds are run starts; each run spreads both ways around the row.
    std::vector<TPoint> stack{{x, y}};
    while (!stack.empty()) {
      const TPoint s = stack.back();
      stack.pop_back();
      TRGB24* row = target_.Row24(s.y);
      if (!match.Is(row, s.x)) continue;
      int left = match.RunBegin(row, s.x, 0), right = match.RunEnd(row, s.x, w);
      paint.Fill(row, left, right);
      int count = right - left;
      mark(s.y, left, right);
      if (left == 0 && right < w) {
        const int l2 = match.RunBegin(row, w, right);
        paint.Fill(row, l2, w);
        mark(s.y, l2, w);
        count += w - l2;
        left = l2;  // the run now starts at l2 and wraps to right
      } else if (right == w && left > 0) {
        const int r2 = match.RunEnd(row, 0, left);
        paint.Fill(row, 0, r2);
        mark(s.y, 0, r2);
        count += r2;
      }
      for (int ny : {s.y - 1, s.y + 1}) {
        ny = (ny + h) % h;
        const TRGB24* next = target_.Row24(ny);
        bool previous = false;
        for (int i = 0; i < count; ++i) {
          const int xi = (left + i) % w;
          const bool hit = match.Is(next, xi);
          if (hit && !previous) stack.push_back({xi, ny});
          previous = hit;
        }
      }
    }
  }
  if (maxX >= 0) {
    const TRectI d{minX, minY, maxX, maxY + 1};
    if (dirty_.Empty()) {
      dirty_ = d;
    } else {
      dirty_ = {std::min(dirty_.left, d.left), std::min(dirty_.top, d.top), std::max(dirty_.right, d.right),
                std::max(dirty_.bottom, d.bottom)};
    }
  }
}

void TCanvas::SetPixel(int x, int y, uint32_t colour) {
  const int w = target_.Width(), h = target_.Height();
  if (target_.BitCount() != 24) return;
  if (Wrap) {
    // Only the 3 x 3 mosaic around the picture folds back onto it.
    if (x >= -w && x < 0) x += w;
    else if (x >= w && x < 2 * w) x -= w;
    if (y >= -h && y < 0) y += h;
    else if (y >= h && y < 2 * h) y -= h;
  }
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  TRGB24& p = target_.Row24(y)[x];
  p.b = BlueOf(colour), p.g = GreenOf(colour), p.r = RedOf(colour);
  if (dirty_.Empty()) {
    dirty_ = {x, y, x + 1, y + 1};
  } else {
    dirty_ = {std::min(dirty_.left, x), std::min(dirty_.top, y), std::max(dirty_.right, x + 1),
              std::max(dirty_.bottom, y + 1)};
  }
}

uint32_t TCanvas::Pixel(int x, int y) const {
  const int w = target_.Width(), h = target_.Height();
  if (w <= 0 || h <= 0 || target_.BitCount() != 24) return 0xFFFFFFFFu;
  if (Wrap) {
    x = ((x % w) + w) % w;
    y = ((y % h) + h) % h;
  } else if (x < 0 || y < 0 || x >= w || y >= h) {
    return 0xFFFFFFFFu;
  }
  const TRGB24 p = target_.Row24(y)[x];
  return static_cast<uint32_t>(p.b) << 16 | static_cast<uint32_t>(p.g) << 8 | p.r;
}

}  // namespace vell
