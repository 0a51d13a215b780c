#include "imaging/Warps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "WarpTestImages.h"
#include "imaging/Geometry.h"

namespace vell {
namespace {

using geotest::Numbered;
using geotest::Random;
using geotest::SmoothTile;
using warptest::Copy;
using warptest::Px;
using warptest::Same;
using warptest::SamePixels;

constexpr double kPi = 3.14159265358979323846;

int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// The vertical sine wave as the pixels are moved: with wrap each pixel is
// carried down and brought back once; without it into a taller temporary
// whose margins repeat the edge rows, cropped afterwards.
TPixelBuffer SineUpDownReference(const TPixelBuffer& src, int height, bool wrap, bool usePeaks, double x) {
  TPixelBuffer out = Copy(src);
  const int w = src.Width(), h = src.Height();
  const double p = usePeaks ? w / kPi / x : x;
  const int hh = std::clamp(height, -h, h);
  if (wrap) {
    for (int c = 0; c < w; ++c) {
      const double s = std::sin(c / p);
      for (int r = 0; r < h; ++r) {
        int t = r + RoundEven(hh * s);
        if (t < 0) t += h;
        if (t >= h) t -= h;
        out.Row24(t)[c] = src.Row24(r)[c];
      }
    }
    return out;
  }
  const int tall = h + 2 * hh;
  std::vector<std::vector<TRGB24>> temp(static_cast<size_t>(tall), std::vector<TRGB24>(static_cast<size_t>(w)));
  for (int i = 0; i <= 2 * hh; ++i)
    for (int c = 0; c < w; ++c) temp[static_cast<size_t>(i)][static_cast<size_t>(c)] = src.Row24(0)[c];
  for (int i = tall - (2 * hh + 1); i < tall; ++i)
    for (int c = 0; c < w; ++c) temp[static_cast<size_t>(i)][static_cast<size_t>(c)] = src.Row24(h - 1)[c];
  for (int c = 0; c < w; ++c)
    for (int r = 0; r < h; ++r)
      temp[static_cast<size_t>(hh + r + RoundEven(hh * std::sin(c / p)))][static_cast<size_t>(c)] = src.Row24(r)[c];
  for (int y = 0; y < h; ++y)
    for (int c = 0; c < w; ++c) out.Row24(y)[c] = temp[static_cast<size_t>(hh + y)][static_cast<size_t>(c)];
  return out;
}

// The horizontal sine wave row by row: row r moves right by round(H sin(r / P)),
// wrapped or with the edge pixels repeated.
TPixelBuffer SineLeftRightReference(const TPixelBuffer& src, int height, bool wrap, bool usePeaks, double x) {
  const int w = src.Width(), h = src.Height();
  TPixelBuffer out = Copy(src);
  const double p = usePeaks ? h / kPi / x : x;
  const int hh = std::clamp(height, -w, w);
  for (int r = 0; r < h; ++r) {
    const int s = RoundEven(hh * std::sin(r / p));
    for (int c = 0; c < w; ++c) {
      int from = c - s;
      if (wrap) {
        if (from < 0) from += w;
        if (from >= w) from -= w;
      } else {
        from = std::clamp(from, 0, w - 1);
      }
      out.Row24(r)[c] = src.Row24(r)[from];
    }
  }
  return out;
}

TEST(SineWaveUpDown, MatchesThePixelsMovedOneByOne) {
  struct Case {
    int w, h, height;
    bool wrap, usePeaks;
    double x;
  };
  const Case cases[] = {
      {64, 48, 10, true, true, 3.0},    {64, 48, -10, true, true, 3.0},  {64, 48, 200, true, false, 7.5},
      {64, 48, 23, false, true, 2.5},   {64, 48, 12, false, false, 9.0}, {33, 17, 5, true, false, -4.0},
      {33, 17, 7, false, true, -1.25},  {1, 9, 3, true, true, 1.0},      {5, 1, 1, true, true, 1.0},
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.w, c.h, 7);
    TPixelBuffer img = Copy(src);
    SineWaveUpDown(img, c.height, c.wrap, c.usePeaks, c.x);
    EXPECT_TRUE(SamePixels(img, SineUpDownReference(src, c.height, c.wrap, c.usePeaks, c.x)))
        << c.w << "x" << c.h << " H " << c.height << " wrap " << c.wrap << " peaks " << c.usePeaks << " x " << c.x;
  }
}

TEST(SineWaveLeftRight, MatchesTheRowsShiftedOneByOne) {
  struct Case {
    int w, h, height;
    bool wrap, usePeaks;
    double x;
  };
  const Case cases[] = {{48, 64, 10, true, true, 2.0},   {48, 64, -17, true, false, 17.0}, {48, 64, 30, false, true, 1.5},
                        {48, 64, 999, true, true, 2.0},   {9, 1, 4, true, true, 1.0},        {1, 6, 2, false, true, 3.0}};
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.w, c.h, 8);
    TPixelBuffer img = Copy(src);
    SineWaveLeftRight(img, c.height, c.wrap, c.usePeaks, c.x);
    EXPECT_TRUE(SamePixels(img, SineLeftRightReference(src, c.height, c.wrap, c.usePeaks, c.x)))
        << c.w << "x" << c.h << " H " << c.height << " wrap " << c.wrap;
  }
}

// A 2 x 4 picture whose second column is shifted by exactly `shift` rows
// (sin(1 / P) = 1 for P = 2 / pi); column 0 never moves (sin 0 = 0).
TEST(SineWaveUpDown, OneColumnShiftedByWholeRows) {
  struct Case {
    int height;
    bool wrap;
    int expected[4];  // rows of the source seen in column 1
  };
  const Case cases[] = {
      {1, true, {3, 0, 1, 2}},  {1, false, {0, 0, 1, 2}}, {-1, true, {1, 2, 3, 0}},
      {2, false, {0, 0, 0, 1}}, {4, true, {0, 1, 2, 3}},  {9, true, {0, 1, 2, 3}},  // the full height: unchanged
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Numbered(2, 4);
    TPixelBuffer img = Copy(src);
    SineWaveUpDown(img, c.height, c.wrap, false, 2.0 / kPi);
    for (int y = 0; y < 4; ++y) {
      EXPECT_TRUE(Same(img.Row24(y)[0], src.Row24(y)[0]));
      EXPECT_TRUE(Same(img.Row24(y)[1], src.Row24(c.expected[y])[1]))
          << "H " << c.height << " wrap " << c.wrap << " row " << y << " got " << Px(img.Row24(y)[1]);
    }
  }
}

TEST(SineWaves, CasesWithNothingToDoLeaveThePictureAlone) {
  struct Case {
    const char* name;
    void (*run)(TPixelBuffer&);
  };
  const Case cases[] = {
      {"U/D height 0", [](TPixelBuffer& i) { SineWaveUpDown(i, 0, true, true, 3); }},
      {"U/D peaks 0", [](TPixelBuffer& i) { SineWaveUpDown(i, 20, true, true, 0); }},
      {"U/D wavelength 0", [](TPixelBuffer& i) { SineWaveUpDown(i, 20, true, false, 0); }},
      {"U/D wavelength 0, no wrap", [](TPixelBuffer& i) { SineWaveUpDown(i, 20, false, false, 0); }},
      {"U/D negative height, no wrap", [](TPixelBuffer& i) { SineWaveUpDown(i, -20, false, true, 3); }},
      {"U/D wavelength NaN", [](TPixelBuffer& i) { SineWaveUpDown(i, 20, true, false, std::nan("")); }},
      {"U/D peaks infinite", [](TPixelBuffer& i) { SineWaveUpDown(i, 20, true, true, HUGE_VAL); }},
      {"L/R height 0", [](TPixelBuffer& i) { SineWaveLeftRight(i, 0, false, true, 2); }},
      {"L/R peaks 0", [](TPixelBuffer& i) { SineWaveLeftRight(i, 20, true, true, 0); }},
      {"L/R wavelength 0", [](TPixelBuffer& i) { SineWaveLeftRight(i, 20, false, false, 0); }},
      {"L/R negative height, no wrap", [](TPixelBuffer& i) { SineWaveLeftRight(i, -5, false, false, 17); }},
      {"Both, U/D peaks 0", [](TPixelBuffer& i) { SineWaveBoth(i, 10, 10, 2, 0); }},
      {"Both, L/R peaks 0", [](TPixelBuffer& i) { SineWaveBoth(i, 10, 10, 0, 3); }},
      {"Both, heights 0", [](TPixelBuffer& i) { SineWaveBoth(i, 0, 0, 2, 3); }},
      {"Both, peaks NaN", [](TPixelBuffer& i) { SineWaveBoth(i, 10, 10, std::nan(""), 3); }},
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(40, 30, 3);
    TPixelBuffer img = Copy(src);
    c.run(img);
    EXPECT_TRUE(SamePixels(img, src)) << c.name;
  }
}

TEST(SineWaveBoth, EachPixelComesFromBothShifts) {
  struct Case {
    int w, h, hUD, hLR;
    double peaksLR, peaksUD;
  };
  const Case cases[] = {{64, 48, 50, 64, 2, 3}, {64, 48, -500, 500, 1.5, -2}, {17, 29, 3, -4, 4, 1}, {1, 1, 5, 5, 1, 1}};
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.w, c.h, 11);
    TPixelBuffer img = Copy(src);
    SineWaveBoth(img, c.hUD, c.hLR, c.peaksLR, c.peaksUD);
    const int hUD = std::clamp(c.hUD, -c.h, c.h), hLR = std::clamp(c.hLR, -c.w, c.w);
    for (int r = 0; r < c.h; ++r)
      for (int col = 0; col < c.w; ++col) {
        const int sr = ((r + RoundEven(std::sin(col * kPi * c.peaksUD / c.w) * hUD)) % c.h + c.h) % c.h;
        const int sc = ((col + RoundEven(std::sin(r * kPi * c.peaksLR / c.h) * hLR)) % c.w + c.w) % c.w;
        ASSERT_TRUE(Same(img.Row24(r)[col], src.Row24(sr)[sc])) << c.w << "x" << c.h << " at " << col << "," << r;
      }
  }
}

// Where the slow references of the centred warps are compared: corners, edge
// middles, the centre and a few points in between.
std::vector<std::pair<int, int>> Probes(int w, int h) {
  std::vector<std::pair<int, int>> p = {{0, 0},         {w - 1, 0},     {0, h - 1},     {w - 1, h - 1},
                                        {w / 2, 0},     {w / 2, h - 1}, {0, h / 2},     {w - 1, h / 2},
                                        {w / 2, h / 2}, {(w - 1) / 2, (h - 1) / 2}};
  for (int i = 1; i < 8; ++i) p.push_back({w * i / 8, h * (8 - i) / 9});
  return p;
}

TEST(Twist, MatchesTheFormulaAtCornersEdgesAndCentre) {
  for (auto [w, h, loose] : {std::tuple{64, 64, 100}, {63, 40, 7}, {40, 63, -30}, {5, 3, 1}}) {
    const TPixelBuffer src = Random(w, h, 4);
    TPixelBuffer img;
    Twist(src, img, loose);
    ASSERT_EQ(img.Width(), w);
    ASSERT_EQ(img.Height(), h);
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    for (auto [c, r] : Probes(w, h)) {
      const double dx = c - cx, dy = r - cy, d = std::hypot(dx, dy);
      const double a = std::atan2(dy, dx) - d / loose + kPi / 2;
      const TRGB24 want = SampleBilinear(src, static_cast<float>(cx + std::cos(a) * d),
                                         static_cast<float>(cy + std::sin(a) * d));
      EXPECT_LE(std::abs(img.Row24(r)[c].r - want.r) + std::abs(img.Row24(r)[c].g - want.g) +
                    std::abs(img.Row24(r)[c].b - want.b),
                3)
          << w << "x" << h << " L " << loose << " at " << c << "," << r;
    }
  }
}

TEST(Twist, VeryLooseIsAQuarterTurnBack) {
  const TPixelBuffer src = Random(32, 32, 9);
  TPixelBuffer img;
  Twist(src, img, 2147483647);
  // Output at angle theta samples theta + 90 degrees: a quarter turn
  // counter-clockwise, three clockwise quarter turns.
  TPixelBuffer turned = Copy(src);
  for (int i = 0; i < 3; ++i) RotateQuarter(turned);
  EXPECT_LE(warptest::MaxDiff(img, turned), 1);
}

TEST(Twist, IntoItselfAndLoosenessZero) {
  const TPixelBuffer src = Random(20, 14, 5);
  TPixelBuffer apart;
  Twist(src, apart, 9);
  TPixelBuffer same = Copy(src);
  Twist(same, same, 9);
  EXPECT_TRUE(SamePixels(same, apart));
  // An endless twist has no picture to show: the source comes through.
  TPixelBuffer zero = Random(20, 14, 1);
  Twist(src, zero, 0);
  EXPECT_TRUE(SamePixels(zero, src));
}

TEST(FishEye, HalfMagnificationSamplesTheSameDistanceAtTwentyFive) {
  const TPixelBuffer src = Numbered(100, 100);
  TPixelBuffer img;
  FishEye(src, img, 0.5);
  // Rm = 50: distance 25 maps to t = (1 / 0.5 - 1) * 25 = 25, so those pixels
  // keep their own value; the centre samples itself.
  for (auto [c, r] : {std::pair{75, 50}, {25, 50}, {50, 25}, {50, 75}, {50, 50}})
    EXPECT_TRUE(Same(img.Row24(r)[c], src.Row24(r)[c])) << c << "," << r << " " << Px(img.Row24(r)[c]);
  // Inside 25 the lens magnifies (samples nearer the centre): distance 10
  // samples t = (1 / 0.8 - 1) * 25 = 6.25.
  EXPECT_TRUE(Same(img.Row24(50)[60], SampleBilinear(src, 56.25f, 50.0f)));
}

TEST(FishEye, MatchesTheFormulaEverywhere) {
  for (auto [w, h, m] : {std::tuple{64, 48, 0.75}, {31, 31, 2.0}, {40, 20, 0.01}, {3, 2, 0.5}}) {
    const TPixelBuffer src = Random(w, h, 6);
    TPixelBuffer img;
    FishEye(src, img, m);
    // The sample positions in reading order; a pixel exactly on the rim moves
    // the rim out by 0.01 for itself and every later pixel (3 x 2 at 0.5:
    // Rm = 1.5 and pixel (0, 1) lies on it).
    const double cx = w / 2.0, cy = h / 2.0;
    double rm = m * w;
    std::vector<std::pair<float, float>> at(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        const double dx = c - cx, dy = r - cy, d = std::hypot(dx, dy);
        double fx = cx, fy = cy;
        if (d > 0) {
          if (d == rm) rm += 0.01;
          const double t = (1 / (1 - d / rm) - 1) * rm / 2;
          fx = cx + dx * t / d;
          fy = cy + dy * t / d;
        }
        at[static_cast<size_t>(r) * w + c] = {static_cast<float>(fx), static_cast<float>(fy)};
      }
    // Every pixel, exactly: the lens samples as SampleBilinear does.
    int wrong = 0;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        const auto [fx, fy] = at[static_cast<size_t>(r) * w + c];
        if (!Same(img.Row24(r)[c], SampleBilinear(src, fx, fy))) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << w << "x" << h << " m " << m;
  }
}

// Whirl/Pinch straight from its description, one pixel.
TRGB24 WhirlReference(const TPixelBuffer& src, int c, int r, double radius, double pinch, double angle) {
  const int w = src.Width(), h = src.Height();
  pinch = std::min(pinch, 1.0);
  const double hw = (w - 2) / 2.0, hh = (h - 2) / 2.0;
  const double sx = hw < hh ? hh / hw : 1, sy = hw > hh ? hw / hh : 1;
  const double big = std::max(hw, hh), limit = big * big * radius;
  const double cx = std::nearbyint((w - 1) / 2.0), cy = std::nearbyint((h - 1) / 2.0);
  const double dx = sx * (c - cx), dy = sy * (r - cy), e = dx * dx + dy * dy;
  if (e >= limit) return src.Row24(r)[c];
  const double d = std::sqrt(e / radius) / big;
  double f = std::sin(kPi / 2 * d);
  if (f != 0) f = std::pow(f, -pinch);
  const double turn = angle * kPi / 180 * (1 - d) * (1 - d);
  const double vx = (dx * f * std::cos(turn) - dy * f * std::sin(turn)) / sx + cx;
  const double vy = (dx * f * std::sin(turn) + dy * f * std::cos(turn)) / sy + cy;
  auto index = [](double v, int size) {
    return WrapIndex(static_cast<int>(v >= 0 ? std::nearbyint(v) : std::nearbyint(v - 1)), size);
  };
  return src.Row24(index(vy, h))[index(vx, w)];
}

TEST(WhirlPinch, MatchesTheFormulaEverywhere) {
  struct Case {
    int w, h;
    double radius, pinch, angle;
  };
  const Case cases[] = {{64, 64, 1.0, 0.5, 270}, {64, 40, 2.0, -1.0, -90}, {40, 64, 0.5, 1.0, 720},
                        {65, 33, 1.3, 5.0, 45},  {7, 5, 1.0, 0.25, 180},   {3, 3, 2.0, 0.5, 90}};
  for (const Case& k : cases) {
    const TPixelBuffer src = Random(k.w, k.h, 12);
    TPixelBuffer img = Copy(src);
    WhirlPinch(img, k.radius, k.pinch, k.angle);
    int wrong = 0;
    for (int r = 0; r < k.h; ++r)
      for (int c = 0; c < k.w; ++c)
        if (!Same(img.Row24(r)[c], WhirlReference(src, c, r, k.radius, k.pinch, k.angle))) ++wrong;
    EXPECT_EQ(wrong, 0) << k.w << "x" << k.h << " radius " << k.radius << " pinch " << k.pinch;
  }
}

TEST(WhirlPinch, StillCasesKeepEveryPixel) {
  struct Case {
    const char* name;
    int w, h;
    double radius, pinch, angle;
  };
  const Case cases[] = {
      {"radius 0", 64, 48, 0.0, 0.5, 270},   {"negative radius", 64, 48, -1.0, 0.5, 270},
      {"no turn, no pinch", 64, 48, 1.0, 0.0, 0.0}, {"two pixels wide", 2, 40, 1.0, 0.5, 270},
      {"one pixel high", 40, 1, 2.0, 1.0, 90}, {"radius NaN", 30, 30, std::nan(""), 0.5, 90},
  };
  for (const Case& k : cases) {
    const TPixelBuffer src = Random(k.w, k.h, 13);
    TPixelBuffer img = Copy(src);
    WhirlPinch(img, k.radius, k.pinch, k.angle);
    EXPECT_TRUE(SamePixels(img, src)) << k.name;
  }
}

TEST(Waves, MatchesTheFormulaEverywhere) {
  struct Case {
    int w, h, amplitude, length;
    bool reflective;
    double phase;
  };
  const Case cases[] = {{64, 48, 24, 10, false, 8}, {48, 64, 3, 7, false, -30}, {64, 48, 1, 10, true, 8},
                        {40, 40, 2, 5, true, 90},   {9, 4, -5, -3, false, 0}};
  for (const Case& k : cases) {
    const TPixelBuffer src = Random(k.w, k.h, 14);
    TPixelBuffer img = Copy(src);
    Waves(img, k.amplitude, k.length, k.reflective, k.phase);
    const double hw = k.w / 2.0, hh = k.h / 2.0;
    const double fx = hw < hh ? hh / hw : 1, fy = hw > hh ? hw / hh : 1;
    const double ox = (k.w - 1) / 2.0, oy = (k.h - 1) / 2.0;
    int wrong = 0;
    for (int r = 0; r < k.h; ++r)
      for (int c = 0; c < k.w; ++c) {
        const double dx = fx * (c - ox), dy = fy * (r - oy), d = std::sqrt(dx * dx + dy * dy);
        const double wv = static_cast<float>(k.phase * kPi / 180) + d / (2.0 * k.length) * 2 * kPi;
        int sx, sy;
        if (k.reflective) {
          const double s = std::fabs(std::sin(wv)) * k.amplitude;
          sx = std::clamp(RoundEven(ox + dx * s / fx), 0, k.w - 1);
          sy = std::clamp(RoundEven(oy + dy * s / fy), 0, k.h - 1);
        } else {
          const double s = k.amplitude * std::sin(wv);
          sx = WrapIndex(RoundEven(ox + (dx + s) / fx), k.w);
          sy = WrapIndex(RoundEven(oy + (dy + s) / fy), k.h);
        }
        if (!Same(img.Row24(r)[c], src.Row24(sy)[sx])) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << k.w << "x" << k.h << " A " << k.amplitude << " reflective " << k.reflective;
  }
}

TEST(Waves, AmplitudeZeroOrWaveLengthZeroChangesNothing) {
  for (bool reflective : {false, true})
    for (auto [a, l] : {std::pair{0, 10}, {24, 0}}) {
      const TPixelBuffer src = Random(30, 20, 15);
      TPixelBuffer img = Copy(src);
      Waves(img, a, l, reflective, 8);
      EXPECT_TRUE(SamePixels(img, src)) << "A " << a << " L " << l << " reflective " << reflective;
    }
}

TEST(RippleTooth, AmountThreeOnFourRowsShiftsBySawTooth) {
  const TPixelBuffer src = Numbered(4, 4);
  TPixelBuffer img = Copy(src);
  RippleTooth(img, 3);  // c = min(4 div 2, 3) = 2
  const int shift[4] = {0, 1, 0, 1};
  for (int k = 0; k < 4; ++k)
    for (int r = 0; r < 4; ++r)
      EXPECT_TRUE(Same(img.Row24((r + shift[k]) % 4)[k], src.Row24(r)[k])) << "column " << k << " row " << r;
}

// Every pixel carried down by its tooth, the counter a byte.
TPixelBuffer RippleReference(const TPixelBuffer& src, int a) {
  TPixelBuffer out = Copy(src);
  const int h = src.Height(), c = std::min(h / 2, a);
  if (c <= 0) return out;
  for (int r = h - 1; r >= 0; --r) {
    uint8_t t = 0;
    for (int k = 0; k < src.Width(); ++k) {
      out.Row24((r + t) % h)[k] = src.Row24(r)[k];
      ++t;
      if (t == c) t = 0;
    }
  }
  return out;
}

TEST(RippleTooth, MatchesThePixelsCarriedDown) {
  for (auto [w, h, a] : {std::tuple{64, 64, 16}, {20, 7, 3}, {300, 600, 300}, {600, 1000, 400}, {5, 1, 4}, {9, 9, 100}}) {
    const TPixelBuffer src = Random(w, h, 16);
    TPixelBuffer img = Copy(src);
    RippleTooth(img, a);
    EXPECT_TRUE(SamePixels(img, RippleReference(src, a))) << w << "x" << h << " amount " << a;
  }
  for (int a : {1, 0, -3}) {
    const TPixelBuffer src = Random(10, 10, 17);
    TPixelBuffer img = Copy(src);
    RippleTooth(img, a);
    EXPECT_TRUE(SamePixels(img, src)) << "amount " << a;
  }
}

// The spiral arms laid out as described: 721 arms of 901 steps.
TPixelBuffer CircularReference(const TPixelBuffer& src) {
  TPixelBuffer out = Copy(src);
  const int w = src.Width(), h = src.Height();
  for (int i = 0; i <= 720; ++i) {
    double angle = i / 0.72, rho = 0;
    int k = 0;
    for (int j = 0; j <= 900; ++j) {
      const int x = w / 2 + RoundEven(rho * std::cos(angle * kPi / 180));
      const int y = h / 2 + RoundEven(rho * std::sin(angle * kPi / 180));
      if (x >= 0 && x < w && y >= 0 && y < h) out.Row24(y)[x] = src.Row24(i % h)[k];
      k = (k + 1) % w;
      angle += 1;
      rho = rho + rho / (j + 20) + 0.052;
    }
  }
  return out;
}

TEST(Circular, LaysTheRowsAlongTheArms) {
  for (auto [w, h] : {std::pair{256, 256}, {37, 23}, {1, 1}, {300, 100}}) {
    const TPixelBuffer src = Random(w, h, 18);
    TPixelBuffer img = Copy(src);
    Circular(img);
    EXPECT_TRUE(SamePixels(img, CircularReference(src))) << w << "x" << h;
  }
}

TEST(Swizzle, WithoutWavesTheFlipIsStretchedBack) {
  // Width 0: the wave does nothing, and the four-way flip stretched back to
  // 4 x 4 keeps columns and rows 0 and 2 of the flip: source 0, 2, 3, 1.
  const TPixelBuffer src = Numbered(4, 4);
  TPixelBuffer img = Copy(src);
  Swizzle(img, 0);
  const int from[4] = {0, 2, 3, 1};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(Same(img.Row24(y)[x], src.Row24(from[y])[from[x]])) << x << "," << y;
}

TEST(Swizzle, MakesATileOfAnyPicture) {
  for (auto [w, h, sw] : {std::tuple{64, 48, 64}, {50, 50, 3}, {33, 20, 7}}) {
    TPixelBuffer img = geotest::SmoothRamp(w, h);
    ASSERT_GT(geotest::SeamExcess(img), 0.0);  // the ramp does not tile
    Swizzle(img, sw);
    ASSERT_EQ(img.Width(), w);
    ASSERT_EQ(img.Height(), h);
    EXPECT_LE(geotest::SeamExcess(img), 0.0) << w << "x" << h << " width " << sw;
  }
}

// The wrap-around seam along one axis against the largest step between
// neighbouring lines inside: rows (the bottom row leads into the top) or columns.
double SeamExcessAlong(const TPixelBuffer& img, bool rows) {
  const int n = rows ? img.Height() : img.Width();
  auto step = [&](int a, int b) { return rows ? geotest::RowDiff(img, a, b) : geotest::ColumnDiff(img, a, b); };
  double interior = 0;
  for (int i = 0; i + 1 < n; ++i) interior = std::max(interior, step(i, i + 1));
  return step(n - 1, 0) - interior;
}

// Effects that keep a tile a tile: on smooth tiles the wrap-around seam is
// no larger than the steps inside (up to a unit of mean difference), and where
// the effect is the same at every place along an axis it commutes with a
// wrap-around scroll along it.
TEST(WarpSeams, TilesStayTiles) {
  struct Case {
    const char* name;
    void (*run)(TPixelBuffer&);
    bool rows, columns;    // the seams that must hold
    int scrollX, scrollY;  // a scroll the effect commutes with (0, 0: none)
  };
  const Case cases[] = {
      {"U/D wrap, 3 peaks", [](TPixelBuffer& i) { SineWaveUpDown(i, 6, true, true, 3); }, true, true, 0, 17},
      {"U/D wrap, 2 peaks", [](TPixelBuffer& i) { SineWaveUpDown(i, 6, true, true, 2); }, true, true, 0, 5},
      {"U/D wrap, wavelength", [](TPixelBuffer& i) { SineWaveUpDown(i, 6, true, false, 9); }, true, false, 0, -11},
      {"L/R wrap, 2 peaks", [](TPixelBuffer& i) { SineWaveLeftRight(i, 6, true, true, 2); }, true, true, 13, 0},
      {"L/R wrap, 1 peak", [](TPixelBuffer& i) { SineWaveLeftRight(i, -6, true, true, 1); }, true, true, -9, 0},
      {"L/R wrap, wavelength", [](TPixelBuffer& i) { SineWaveLeftRight(i, 6, true, false, 7); }, false, true, 20, 0},
      {"Both, whole peaks", [](TPixelBuffer& i) { SineWaveBoth(i, 5, 4, 2, 2); }, true, true, 0, 0},
      {"Both, odd peaks", [](TPixelBuffer& i) { SineWaveBoth(i, 5, 4, 1, 3); }, true, true, 0, 0},
      {"RippleTooth 8", [](TPixelBuffer& i) { RippleTooth(i, 8); }, true, true, 16, 7},
      {"Swizzle", [](TPixelBuffer& i) { Swizzle(i, 5); }, true, true, 0, 0},
      {"Whirl inside the picture", [](TPixelBuffer& i) { WhirlPinch(i, 0.6, 0.5, 270); }, true, true, 0, 0},
  };
  for (const Case& c : cases)
    for (uint32_t seed : {1u, 2u, 3u}) {
      const TPixelBuffer tile = SmoothTile(64, 48, seed);
      TPixelBuffer img = Copy(tile);
      c.run(img);
      if (c.rows) {
        EXPECT_LE(SeamExcessAlong(img, true), 1.0) << c.name << " seed " << seed;
      }
      if (c.columns) {
        EXPECT_LE(SeamExcessAlong(img, false), 1.0) << c.name << " seed " << seed;
      }
      if (c.scrollX == 0 && c.scrollY == 0) continue;
      TPixelBuffer scrolled = geotest::Shifted(tile, c.scrollX, c.scrollY);
      c.run(scrolled);
      EXPECT_TRUE(SamePixels(scrolled, geotest::Shifted(img, c.scrollX, c.scrollY))) << c.name << " seed " << seed;
    }
}

// The seam check itself: a wave that is not whole across the width breaks
// the columns' seam of a tile, so the check above can fail.
TEST(WarpSeams, AWaveNotWholeAcrossBreaksTheSeam) {
  TPixelBuffer img = SmoothTile(64, 48, 1);
  SineWaveUpDown(img, 6, true, false, 9);
  EXPECT_GT(SeamExcessAlong(img, false), 1.0);
}

}  // namespace
}  // namespace vell
