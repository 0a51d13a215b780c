#include "imaging/Relief.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

#include "WarpTestImages.h"
#include "imaging/Geometry.h"

namespace vell {
namespace {

using geotest::Flat;
using geotest::Numbered;
using geotest::Random;
using geotest::Shifted;
using geotest::SmoothTile;
using warptest::Copy;
using warptest::Px;
using warptest::Same;
using warptest::SamePixels;

int Mod(int64_t k, int n) { return static_cast<int>(((k % n) + n) % n); }

// Water written out: brightness from the control at the target's size, each
// pixel fetched from its displaced place with wrap-around.
TPixelBuffer WaterReference(int ud, int lr, const TPixelBuffer& control, const TPixelBuffer& target) {
  const int w = target.Width(), h = target.Height();
  TPixelBuffer ctl = Copy(control);
  if (ctl.Width() != w || ctl.Height() != h) ResizeSmooth(ctl, w, h, false);
  TPixelBuffer out = Copy(target);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TRGB24 p = ctl.Row24(y)[x];
      const float v = static_cast<float>(std::max({p.r, p.g, p.b})) / 255.0f;
      const int64_t sy = static_cast<int64_t>(std::nearbyint(y + ud * (1.0 + v)));
      const int64_t sx = static_cast<int64_t>(std::nearbyint(x + lr * (1.0 + v)));
      out.Row24(y)[x] = target.Row24(Mod(sy, h))[Mod(sx, w)];
    }
  return out;
}

TEST(Water, BlackAndWhiteControlsShiftByOnceAndTwiceTheAmounts) {
  struct Case {
    int ud, lr;
  };
  const Case cases[] = {{0, 0}, {3, 5}, {-128, 128}, {-1, -1}, {100, 64}, {-7, 0}, {0, 1000}};
  for (const Case& c : cases)
    for (int white : {0, 1}) {
      const TPixelBuffer target = Random(31, 17, 1);
      const TPixelBuffer control = Flat(31, 17, white * 255, white * 255, white * 255);
      TPixelBuffer img = Copy(target);
      Water(c.ud, c.lr, control, img);
      const int k = white ? 2 : 1;
      // Content moves left by lr and up by ud (times k).
      EXPECT_TRUE(SamePixels(img, Shifted(target, -k * c.lr, -k * c.ud)))
          << "ud " << c.ud << " lr " << c.lr << (white ? " white" : " black");
    }
}

TEST(Water, MatchesThePixelsFetchedOneByOne) {
  struct Case {
    int ud, lr, cw, ch;  // control size
  };
  const Case cases[] = {{100, 64, 40, 30},   {-128, 128, 40, 30}, {7, -3, 13, 50},  {1, 1, 1, 1},
                        {1 << 23, -(1 << 22), 40, 30}, {2147483647, -2147483647, 40, 30}, {255, -510, 40, 30}};
  for (const Case& c : cases) {
    const TPixelBuffer target = Random(40, 30, 2);
    const TPixelBuffer control = Random(c.cw, c.ch, 3);
    TPixelBuffer img = Copy(target);
    Water(c.ud, c.lr, control, img);
    EXPECT_TRUE(SamePixels(img, WaterReference(c.ud, c.lr, control, target)))
        << "ud " << c.ud << " lr " << c.lr << " control " << c.cw << "x" << c.ch;
  }
}

TEST(Water, SelfControlReadsThePictureBeforeItChanges) {
  const TPixelBuffer src = Random(25, 19, 4);
  TPixelBuffer self = Copy(src), apart = Copy(src);
  Water(-128, 128, self, self);
  Water(-128, 128, src, apart);
  EXPECT_TRUE(SamePixels(self, apart));
}

TEST(Water, EmptyControlChangesNothing) {
  const TPixelBuffer src = Random(10, 10, 5);
  TPixelBuffer img = Copy(src);
  Water(5, 5, TPixelBuffer{}, img);
  EXPECT_TRUE(SamePixels(img, src));
}

// StretchBlur written out step by step: scroll, blend in double precision,
// copy, recompute the weights for the self variant; contrast; scroll back.
void StretchBlurReference(TPixelBuffer& img, int ud, int lr, const TPixelBuffer* mask, int reps) {
  const int w = img.Width(), h = img.Height();
  TPixelBuffer scratch;
  if (mask) {
    scratch.Allocate(w, h, 0, 24);
    mask->PaintStretched(scratch, 0, 0, w, h);
  } else {
    scratch = Copy(img);
  }
  std::vector<double> b(static_cast<size_t>(w) * h);
  auto weigh = [&](const TPixelBuffer& from) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TRGB24 p = from.Row24(y)[x];
        b[static_cast<size_t>(y) * w + x] = (p.r + p.g + p.b) / 765.0;
      }
  };
  weigh(scratch);
  scratch = Copy(img);
  for (int i = 0; i < reps; ++i) {
    img.ScrollWrap(lr, ud);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w * 3; ++x) {
        const double wt = b[static_cast<size_t>(y) * w + x / 3];
        img.Row(y)[x] = static_cast<uint8_t>(std::nearbyint(img.Row(y)[x] * (1 - wt) + scratch.Row(y)[x] * wt));
      }
    scratch = Copy(img);
    if (!mask) weigh(img);
  }
  img.AdjustContrast(1, 1, 1);
  img.ScrollWrap(-(lr * reps) / 2, -(ud * reps) / 2);
}

TEST(StretchBlur, MatchesTheStepsWrittenOut) {
  struct Case {
    int ud, lr, reps;
    bool self;
    int mw, mh;
  };
  const Case cases[] = {{1, 1, 32, false, 40, 30}, {1, -1, 32, true, 0, 0},  {-3, 0, 5, false, 11, 50},
                        {0, 7, 9, true, 0, 0},     {5, 2, 1, false, 1, 1},   {-41, 33, 3, true, 0, 0},
                        {2, 2, 4, false, 40, 30}};
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(40, 30, 6);
    const TPixelBuffer mask = c.self ? TPixelBuffer{} : Random(c.mw, c.mh, 7);
    TPixelBuffer img = Copy(src), ref = Copy(src);
    EXPECT_TRUE(StretchBlur(img, c.ud, c.lr, c.self ? img : mask, c.reps));
    StretchBlurReference(ref, c.ud, c.lr, c.self ? nullptr : &mask, c.reps);
    EXPECT_TRUE(SamePixels(img, ref)) << "ud " << c.ud << " lr " << c.lr << " reps " << c.reps << " self " << c.self
                                      << " max diff " << warptest::MaxDiff(img, ref);
  }
}

TEST(StretchBlur, NoShiftNoRepetitionsOrNoMask) {
  struct Case {
    const char* name;
    int ud, lr, reps;
    bool emptyMask, runs;
  };
  const Case cases[] = {
      {"no shift", 0, 0, 32, false, false},
      {"empty mask", 1, 1, 32, true, false},
      {"0 repetitions: contrast +1 only, no net scroll", 5, -3, 0, false, true},
      {"negative repetitions count as 0", 5, -3, -4, false, true},
  };
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(20, 15, 8);
    const TPixelBuffer mask = c.emptyMask ? TPixelBuffer{} : Random(20, 15, 9);
    TPixelBuffer img = Copy(src);
    EXPECT_EQ(StretchBlur(img, c.ud, c.lr, mask, c.reps), c.runs) << c.name;
    EXPECT_TRUE(SamePixels(img, src)) << c.name;
  }
}

TEST(StretchBlur, BlackMaskSmearsWhiteMaskKeeps) {
  // A white mask keeps the old picture at every step; a black one takes the
  // shifted picture, so after n steps and the half scroll back the picture is
  // shifted by n - n div 2 steps.
  const TPixelBuffer src = Random(16, 12, 10);
  TPixelBuffer kept = Copy(src), moved = Copy(src);
  StretchBlur(kept, 1, 2, Flat(3, 3, 255, 255, 255), 6);
  EXPECT_TRUE(SamePixels(kept, Shifted(src, 6, 3)));  // scrolled back by half, 3 x (2, 1)
  StretchBlur(moved, 1, 2, Flat(3, 3, 0, 0, 0), 6);
  EXPECT_TRUE(SamePixels(moved, Shifted(src, -6, -3)));
}

// Map Texture with a flat texture: every channel c becomes round(c * sin(t / 255) * k).
TEST(MapTexture, FlatTexturesScaleEveryChannel) {
  struct Case {
    uint8_t texture;
    double k;
    int in, out;
  };
  const Case cases[] = {
      {255, 1.0, 255, 215}, {255, 1.0, 100, 84}, {255, 1.0, 1, 1},    {255, 1.0, 0, 0},     // sin 1 = 0.8415
      {0, 1.8, 255, 0},     {0, 3.0, 77, 0},                                                // black makes black
      {255, 3.0, 100, 252}, {255, 3.0, 101, 255}, {255, 3.0, 255, 255},                       // above 254: 255
      {128, 1.0, 200, 96},  {255, -1.0, 200, 0},  // sin(0.502) = 0.481; negative factors give black
  };
  for (const Case& c : cases) {
    TPixelBuffer img = Flat(5, 4, static_cast<uint8_t>(c.in), static_cast<uint8_t>(c.in), static_cast<uint8_t>(c.in));
    MapTexture(img, Flat(5, 4, c.texture, c.texture, c.texture), c.k);
    EXPECT_TRUE(Same(img.Row24(3)[4], TRGB24{static_cast<uint8_t>(c.out), static_cast<uint8_t>(c.out),
                                            static_cast<uint8_t>(c.out)}))
        << "texture " << int(c.texture) << " k " << c.k << " in " << c.in << " got " << Px(img.Row24(3)[4]);
  }
}

TEST(MapTexture, EachChannelByTheSameChannelOfTheTextureResizedToFit) {
  const TPixelBuffer src = Random(30, 20, 11);
  const TPixelBuffer texture = Random(7, 9, 12);
  TPixelBuffer img = Copy(src);
  MapTexture(img, texture, 1.8);
  TPixelBuffer fit = Copy(texture);
  ResizeSmooth(fit, 30, 20, false);
  float t[256];
  for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(std::sin(i / 255.0) * 1.8);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 90; ++x) {
      const double v = std::nearbyint(src.Row(y)[x] * static_cast<double>(t[fit.Row(y)[x]]));
      ASSERT_EQ(img.Row(y)[x], v > 254 ? 255 : static_cast<int>(v)) << x << "," << y;
    }
  // The picture as its own texture reads it before changing it.
  TPixelBuffer self = Copy(src), apart = Copy(src);
  MapTexture(self, self, 2.0);
  MapTexture(apart, src, 2.0);
  EXPECT_TRUE(SamePixels(self, apart));
  TPixelBuffer none = Copy(src);
  MapTexture(none, TPixelBuffer{}, 2.0);
  EXPECT_TRUE(SamePixels(none, src));
}

// HeightMap as described: the picture bordered by 3 wrapped pixels, the
// neighbourhood normal of every inner pixel, cropped again.
TPixelBuffer HeightMapReference(const TPixelBuffer& src, int depth, bool bump, int elevation, int azimuth) {
  if (azimuth == 0) azimuth = 30;
  if (elevation == 0) elevation = 45;
  if (depth == 0) depth = 20;
  const double rad = 0.017453292519943295769;
  const double lx = std::cos(azimuth * rad) * std::cos(elevation * rad) * 255.9;
  const double ly = std::sin(azimuth * rad) * std::cos(elevation * rad) * 255.9;
  const double lz = std::sin(elevation * rad) * 255.9, nz = 1530.0 / depth;
  const int w = src.Width(), h = src.Height(), bw = w + 6, bh = h + 6;
  TPixelBuffer bordered;
  bordered.Allocate(bw, bh, 0, 24);
  for (int y = 0; y < bh; ++y)
    for (int x = 0; x < bw; ++x) bordered.Row24(y)[x] = src.Row24(Mod(y - 3, h))[Mod(x - 3, w)];
  TPixelBuffer lit = Copy(bordered);
  auto height = [&](int x, int y) { return static_cast<int>(bordered.Row24(y)[x].b); };
  for (int y = 1; y < bh - 1; ++y)
    for (int x = 1; x < bw - 1; ++x) {
      const int nx = height(x - 1, y - 1) + height(x - 1, y) + height(x - 1, y + 1) - height(x + 1, y - 1) -
                     height(x + 1, y) - height(x + 1, y + 1);
      const int ny = height(x - 1, y + 1) + height(x, y + 1) + height(x + 1, y + 1) - height(x - 1, y - 1) -
                     height(x, y - 1) - height(x + 1, y - 1);
      int shade;
      if (nx == 0 && ny == 0) {
        shade = std::max(0, static_cast<int>(std::trunc(lz)));
      } else {
        const int d = static_cast<int>(std::trunc(nx * lx + ny * ly + nz * lz));
        shade = d < 0 ? 0 : static_cast<int>(std::trunc(d / std::sqrt(double(nx) * nx + double(ny) * ny + nz * nz)));
      }
      TRGB24& out = lit.Row24(y)[x];
      if (bump) {
        const TRGB24 above = bordered.Row24(y - 1)[x];
        out = TRGB24{static_cast<uint8_t>((shade * above.b) >> 8), static_cast<uint8_t>((shade * above.g) >> 8),
                     static_cast<uint8_t>((shade * above.r) >> 8)};
      } else {
        out = TRGB24{static_cast<uint8_t>(shade), static_cast<uint8_t>(shade), static_cast<uint8_t>(shade)};
      }
    }
  TPixelBuffer out;
  out.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.Row24(y)[x] = lit.Row24(y + 3)[x + 3];
  return out;
}

TEST(HeightMap, MatchesTheBorderedPictureLitAndCropped) {
  struct Case {
    int w, h, depth;
    bool bump;
    int elevation, azimuth;
  };
  const Case cases[] = {{64, 48, 16, true, 20, 32}, {64, 48, 16, false, 20, 32}, {17, 9, 0, false, 0, 0},
                        {17, 9, -5, true, -30, 200}, {2, 3, 1, false, 90, 45},    {1, 1, 20, true, 45, 30},
                        {5, 1, 3, false, 10, -60}};
  for (const Case& c : cases) {
    const TPixelBuffer src = Random(c.w, c.h, 13);
    TPixelBuffer img = Copy(src);
    HeightMap(img, c.depth, c.bump, c.elevation, c.azimuth);
    EXPECT_TRUE(SamePixels(img, HeightMapReference(src, c.depth, c.bump, c.elevation, c.azimuth)))
        << c.w << "x" << c.h << " depth " << c.depth << " bump " << c.bump << " el " << c.elevation;
  }
}

TEST(HeightMap, FlatPicturesGiveTheFlatShade) {
  struct Case {
    int elevation;
    bool bump;
    TRGB24 in, out;
  };
  const Case cases[] = {
      {0, false, {9, 99, 200}, {180, 180, 180}},    // the default 45 degrees: trunc(0.7071 * 255.9)
      {45, false, {0, 0, 0}, {180, 180, 180}},
      {20, false, {50, 50, 50}, {87, 87, 87}},      // trunc(0.3420 * 255.9)
      {90, false, {1, 2, 3}, {255, 255, 255}},
      {-45, false, {1, 2, 3}, {0, 0, 0}},           // lit from below: dark, not wrapped round
      {45, true, {100, 200, 255}, {70, 140, 179}},  // (180 * c) >> 8
  };
  for (const Case& c : cases) {
    TPixelBuffer img = Flat(6, 5, c.in.b, c.in.g, c.in.r);
    HeightMap(img, 16, c.bump, c.elevation, 32);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
        ASSERT_TRUE(Same(img.Row24(y)[x], c.out)) << "elevation " << c.elevation << " got " << Px(img.Row24(y)[x]);
  }
}

// A control picture of another depth steers exactly as its 24-bit copy does.
TEST(ReliefControls, ThirtyTwoBitControlsReadAsTheirColours) {
  const TPixelBuffer src = Random(24, 18, 20), control = Random(24, 18, 21);
  TPixelBuffer wide;
  wide.Allocate(24, 18, 0, 32);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 24; ++x) {
      const TRGB24 p = control.Row24(y)[x];
      wide.WritePixel(y, x, static_cast<uint32_t>(p.r) << 16 | static_cast<uint32_t>(p.g) << 8 | p.b);
    }
  const std::function<void(TPixelBuffer&, const TPixelBuffer&)> runs[] = {
      [](TPixelBuffer& i, const TPixelBuffer& c) { Water(9, -4, c, i); },
      [](TPixelBuffer& i, const TPixelBuffer& c) { StretchBlur(i, 1, 2, c, 6); },
      [](TPixelBuffer& i, const TPixelBuffer& c) { MapTexture(i, c, 1.8); },
  };
  for (size_t n = 0; n < std::size(runs); ++n) {
    TPixelBuffer a = Copy(src), b = Copy(src);
    runs[n](a, control);
    runs[n](b, wide);
    EXPECT_TRUE(SamePixels(a, b)) << "effect " << n;
  }
}

// The relief effects treat every place alike and wrap, so they commute with
// any wrap-around scroll (of the picture and its control together), and keep
// the seam of a smooth tile no larger than the steps inside it.
TEST(ReliefSeams, TilesStayTilesAndScrollsCommute) {
  struct Case {
    const char* name;
    void (*run)(TPixelBuffer& image, const TPixelBuffer& control);
  };
  const Case cases[] = {
      {"Water with a control", [](TPixelBuffer& i, const TPixelBuffer& c) { Water(-5, 7, c, i); }},
      {"Water with itself", [](TPixelBuffer& i, const TPixelBuffer&) { Water(3, -4, i, i); }},
      {"StretchBlur with a mask", [](TPixelBuffer& i, const TPixelBuffer& c) { StretchBlur(i, 1, 1, c, 8); }},
      {"StretchBlur with itself", [](TPixelBuffer& i, const TPixelBuffer&) { StretchBlur(i, 1, -1, i, 8); }},
      {"Map Texture", [](TPixelBuffer& i, const TPixelBuffer& c) { MapTexture(i, c, 1.8); }},
      {"HeightMap gray", [](TPixelBuffer& i, const TPixelBuffer&) { HeightMap(i, 16, false, 20, 32); }},
      {"HeightMap bump", [](TPixelBuffer& i, const TPixelBuffer&) { HeightMap(i, 16, true, 20, 32); }},
  };
  for (const Case& c : cases)
    for (auto [dx, dy] : {std::pair{5, 3}, {-17, 0}, {0, -1}, {63, 47}}) {
      const TPixelBuffer tile = SmoothTile(64, 48, 3);
      const TPixelBuffer control = SmoothTile(64, 48, 4);
      TPixelBuffer img = Copy(tile);
      c.run(img, control);
      if (dx == 5) {
        EXPECT_LE(geotest::SeamExcess(img), 0.0) << c.name;
      }
      TPixelBuffer scrolled = Shifted(tile, dx, dy);
      c.run(scrolled, Shifted(control, dx, dy));
      EXPECT_TRUE(SamePixels(scrolled, Shifted(img, dx, dy))) << c.name << " scroll " << dx << "," << dy;
    }
}

}  // namespace
}  // namespace vell
