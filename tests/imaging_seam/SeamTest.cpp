#include "imaging/Seam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "editor/ImageFiles.h"
#include "imaging/Tiling.h"
#include "tests/imaging_geometry/GeoTestImages.h"

namespace vell {
namespace {

using geotest::Copy;

// Grey levels row by row, for pictures written out by hand.
TPixelBuffer Grey(int w, int h, const std::vector<int>& levels) {
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto v = static_cast<uint8_t>(levels[static_cast<size_t>(y * w + x)]);
      img.Row24(y)[x] = TRGB24{v, v, v};
    }
  return img;
}

TPixelBuffer Load(const std::string& name) {
  TPixelBuffer raw, img;
  const TImageResult read = ReadImageFile(std::string(VELL_TEST_DATA) + "/" + name, raw);
  EXPECT_TRUE(read.ok) << name << ": " << read.error;
  CopyPixelsTo(raw, img);
  return img;
}

// Low noise around two levels, the right half bright: a hard edge where the
// tile wraps (and one in the middle, as a picture cut anywhere would have).
TPixelBuffer NoiseWithHardEdge(int w, int h) {
  std::mt19937 rng(11);
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int base = x < w / 2 ? 30 : 210;
      auto n = [&] { return static_cast<uint8_t>(base + static_cast<int>(rng() % 16)); };
      img.Row24(y)[x] = TRGB24{n(), n(), n()};
    }
  return img;
}

// A ramp across that jumps back from 255 to 0 where it wraps.
TPixelBuffer JumpingRamp(int w, int h) {
  TPixelBuffer img;
  img.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto v = static_cast<uint8_t>(x * 255 / (w - 1));
      img.Row24(y)[x] = TRGB24{v, static_cast<uint8_t>(v / 2), 40};
    }
  return img;
}

void Scroll(TPixelBuffer& img, int dx, int dy) {
  ScrollHorizontal(img, dx);
  img.ScrollWrap(0, dy);
}

TEST(MeasureSeam, HandWrittenPicturesGiveTheExactMeans) {
  struct Case {
    const char* what;
    int w, h;
    std::vector<int> levels;
    double edge, interior, score;
  };
  const Case cases[] = {
      // Interior: 10, 10 across, 30 down each column; edge: 20 across, 30 down.
      {"3 x 2", 3, 2, {0, 10, 20, 30, 40, 50}, (20 + 20 + 30 * 3) / 5.0, (10 * 4 + 30 * 3) / 7.0,
       (130 / 5.0) / (130 / 7.0)},
      {"1 x 4 counts only the column", 1, 4, {0, 10, 20, 30}, 30, 10, 3},
      {"4 x 1 counts only the row", 4, 1, {0, 10, 20, 30}, 30, 10, 3},
      {"2 x 1: the wrap pair is the inner pair again", 2, 1, {5, 25}, 20, 20, 1},
      {"1 x 1", 1, 1, {77}, 0, 0, 1},
      {"edges repeating the first row and column", 3, 3, {0, 40, 0, 40, 80, 40, 0, 40, 0}, 0, 40, 0},
  };
  for (const Case& c : cases) {
    const TSeamMeasure m = MeasureSeam(Grey(c.w, c.h, c.levels));
    EXPECT_DOUBLE_EQ(m.EdgeStep, c.edge) << c.what;
    EXPECT_DOUBLE_EQ(m.InteriorStep, c.interior) << c.what;
    EXPECT_DOUBLE_EQ(m.Score, c.score) << c.what;
  }
}

TEST(MeasureSeam, AStepIsTheMeanOfTheThreeChannels) {
  TPixelBuffer img;
  img.Allocate(2, 1, 0, 24);
  img.Row24(0)[0] = TRGB24{0, 0, 0};
  img.Row24(0)[1] = TRGB24{30, 0, 90};
  EXPECT_DOUBLE_EQ(MeasureSeam(img).InteriorStep, 40);
}

TEST(MeasureSeam, FlatPicturesAreSeamless) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {2, 2}, {64, 48}}) {
    const TSeamMeasure m = MeasureSeam(geotest::Flat(w, h, 200, 10, 99));
    EXPECT_EQ(m.Score, 1.0) << w << "x" << h;
    EXPECT_EQ(m.EdgeStep, 0.0);
    EXPECT_EQ(m.InteriorStep, 0.0);
    EXPECT_EQ(SeamScoreText(m), "Seam score 1.00 (seamless)");
  }
  const TSeamMeasure empty = MeasureSeam(TPixelBuffer{});
  EXPECT_EQ(empty.Score, 1.0);
}

// Edge Merge and 4 Way Flip make the last column and row repeat the first:
// no step at all across the edges. Cut (scrolled) elsewhere, away from the
// blended strips, the edges look like the inside: about 1 (seen: 0.52 to
// 1.35). A cut inside a blended strip of a steep picture sees the strip's
// steeper blend and may score higher; that is the strip, not a seam.
TEST(MeasureSeam, TilesMadeSeamlessScoreZeroAndNearOneWhenScrolled) {
  struct Picture {
    const char* name;
    std::function<TPixelBuffer()> make;
    bool seamBefore;  // noise has no seam to begin with
  };
  const Picture pictures[] = {
      {"plasma photo", [] { return Load("gif/im_plasma256.gif"); }, true},
      {"smooth ramp", [] { return geotest::SmoothRamp(200, 150); }, true},
      {"noise", [] { return geotest::Random(96, 80, 3); }, false},
  };
  struct Tool {
    const char* name;
    std::function<void(TPixelBuffer&)> run;
  };
  const Tool tools[] = {
      {"Edge Merge 1/16", [](TPixelBuffer& i) { EdgeMerge(i, 16); }},
      {"Edge Merge 1/8", [](TPixelBuffer& i) { EdgeMerge(i, 8); }},
      {"Edge Merge 1/4", [](TPixelBuffer& i) { EdgeMerge(i, 4); }},
      {"4 Way Flip", [](TPixelBuffer& i) { FourWayFlip(i); }},
  };
  for (const Picture& p : pictures) {
    const TPixelBuffer source = p.make();
    ASSERT_FALSE(source.Empty()) << p.name;
    if (p.seamBefore) {
      EXPECT_GT(MeasureSeam(source).Score, 5) << p.name << " should show its seam before";
    }
    for (const Tool& t : tools) {
      TPixelBuffer tile = Copy(source);
      t.run(tile);
      const TSeamMeasure made = MeasureSeam(tile);
      EXPECT_EQ(made.EdgeStep, 0.0) << p.name << ", " << t.name;
      EXPECT_EQ(made.Score, 0.0) << p.name << ", " << t.name;
      for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{tile.Width() / 3, tile.Height() / 3}, {-5, 7}}) {
        TPixelBuffer cut = Copy(tile);
        Scroll(cut, dx, dy);
        const TSeamMeasure m = MeasureSeam(cut);
        EXPECT_GT(m.Score, 0.45) << p.name << ", " << t.name << " scrolled " << dx << "," << dy;
        EXPECT_LT(m.Score, 1.4) << p.name << ", " << t.name << " scrolled " << dx << "," << dy;
        EXPECT_NE(SeamScoreText(m).find("(seamless)"), std::string::npos) << SeamScoreText(m);
      }
    }
  }
}

TEST(MeasureSeam, VisibleSeamsScoreFarAbove) {
  struct Case {
    const char* name;
    TPixelBuffer tile;
    double atLeast;
  };
  Case cases[] = {
      {"noise with a hard edge", NoiseWithHardEdge(128, 96), 10},
      {"ramp jumping at the wrap", JumpingRamp(256, 64), 100},
      {"plasma photo", Load("gif/im_plasma256.gif"), 5},
      {"photo", Load("jpeg/baseline.jpg"), 5},
      {"smooth ramp", geotest::SmoothRamp(200, 150), 5},
  };
  for (Case& c : cases) {
    const TSeamMeasure m = MeasureSeam(c.tile);
    EXPECT_GT(m.Score, c.atLeast) << c.name;
    EXPECT_NE(SeamScoreText(m).find("(visible seam)"), std::string::npos) << c.name << ": " << SeamScoreText(m);
  }
}

// Scrolling moves no seam of a tile that repeats: cut anywhere it stays
// seamless. Noise is alike everywhere; a smooth tile is steeper in some
// places than others, so its score follows the steepness where it is cut.
TEST(MeasureSeam, ScrollingARepeatingTileKeepsItsScore) {
  struct Case {
    const char* name;
    TPixelBuffer tile;
    double spread;
  };
  Case cases[] = {
      {"noise", geotest::Random(64, 64, 9), 0.1},
      {"smooth waves", geotest::SmoothTile(160, 120, 4), 0.5},
      {"smooth waves, other phases", geotest::SmoothTile(97, 131, 8), 0.5},
  };
  for (const Case& c : cases) {
    const double before = MeasureSeam(c.tile).Score;
    EXPECT_NEAR(before, 1.0, c.spread) << c.name;
    for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {17, -23}, {-40, 31}}) {
      TPixelBuffer moved = Copy(c.tile);
      Scroll(moved, dx, dy);
      const TSeamMeasure m = MeasureSeam(moved);
      EXPECT_NEAR(m.Score, 1.0, c.spread) << c.name << " scrolled " << dx << "," << dy;
      EXPECT_NE(SeamScoreText(m).find("(seamless)"), std::string::npos) << c.name << ": " << SeamScoreText(m);
    }
  }
}

TEST(MeasureSeam, MirroredTilesScoreTheSame) {
  const TPixelBuffer tiles[] = {NoiseWithHardEdge(50, 30), JumpingRamp(33, 7), geotest::SmoothRamp(41, 60),
                                geotest::Random(1, 12, 2)};
  for (const TPixelBuffer& tile : tiles) {
    const TSeamMeasure m = MeasureSeam(tile);
    TPixelBuffer lr = Copy(tile), ud = Copy(tile);
    lr.MirrorColumns();
    ud.FlipRows();
    EXPECT_DOUBLE_EQ(MeasureSeam(lr).Score, m.Score);
    EXPECT_DOUBLE_EQ(MeasureSeam(ud).Score, m.Score);
  }
}

TEST(MeasureSeam, OtherBitDepthsMeasureTheirColours) {
  const TPixelBuffer tile = NoiseWithHardEdge(20, 10);
  TPixelBuffer deep;
  deep.Allocate(20, 10, 0, 32);
  tile.PaintTo(deep, 0, 0);
  const TSeamMeasure a = MeasureSeam(tile), b = MeasureSeam(deep);
  EXPECT_DOUBLE_EQ(a.Score, b.Score);
  EXPECT_DOUBLE_EQ(a.InteriorStep, b.InteriorStep);
}

// Rows longer than one inner sum block (2^23 bytes) must not overflow it.
TEST(MeasureSeam, VeryWideRowsAddUp) {
  const int w = (1 << 24) / 3 + 5;
  TPixelBuffer img;
  img.Allocate(w, 1, 0, 24);
  ASSERT_FALSE(img.Empty());
  for (int x = 0; x < w; ++x) img.Row24(0)[x] = (x & 1) ? TRGB24{255, 255, 255} : TRGB24{0, 0, 0};
  const TSeamMeasure m = MeasureSeam(img);
  EXPECT_DOUBLE_EQ(m.InteriorStep, 255);
}

TEST(SeamScoreText, NumberAndWords) {
  struct Case {
    double score;
    const char* text;
  };
  const Case cases[] = {
      {1.0234, "Seam score 1.02 (seamless)"},
      {4.7, "Seam score 4.70 (visible seam)"},
      {0, "Seam score 0.00 (seamless)"},
      {1.504, "Seam score 1.50 (seamless)"},
      {1.506, "Seam score 1.51 (faint seam)"},
      {3.0, "Seam score 3.00 (faint seam)"},
      {3.01, "Seam score 3.01 (visible seam)"},
      {1234567.891, "Seam score 1234567.89 (visible seam)"},
  };
  for (const Case& c : cases) {
    TSeamMeasure m;
    m.Score = c.score;
    EXPECT_EQ(SeamScoreText(m), c.text);
  }
}

}  // namespace
}  // namespace vell
