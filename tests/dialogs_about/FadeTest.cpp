#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "dialogs/Fade.h"

namespace vell {
namespace {

TEST(Fade, BlendWeights) {
  struct TCase {
    int steps;
    std::vector<int> weights;
  };
  std::vector<int> identity;
  for (int i = 0; i <= 32; ++i) identity.push_back(i);
  const TCase cases[] = {
      {32, identity},
      {5, {0, 6, 12, 19, 25, 32}},
      {3, {0, 10, 21, 32}},
      {1, {0, 32}},
  };
  for (const TCase& c : cases) EXPECT_EQ(BlendWeights(c.steps), c.weights) << c.steps;
  // Far more steps than weights: weights repeat, the last still 32, nothing overflows.
  EXPECT_EQ(BlendWeight(1000, 1000), 32);
  EXPECT_EQ(BlendWeight(999, 1000), 31);
  EXPECT_EQ(BlendWeight(2147483647, 2147483647), 32);
}

TEST(Fade, BlendBytes) {
  struct TCase {
    uint8_t s, e;
    int weight;
    uint8_t out;
  };
  const TCase cases[] = {
      {200, 100, 16, 150}, {200, 100, 1, 196}, {200, 100, 0, 200}, {200, 100, 32, 100},
      {0, 255, 31, 247},   {255, 0, 1, 247},   {10, 20, 31, 19},
  };
  for (const TCase& c : cases) {
    uint8_t out = 77;
    BlendBytes(&c.s, &c.e, &out, 1, c.weight);
    EXPECT_EQ(out, c.out) << int(c.s) << "->" << int(c.e) << " at " << c.weight;
  }
}

// A 3 x 2 picture: 9 bytes of pixels and 3 of padding per row.
void Fill(TPixelBuffer& b, uint8_t value) {
  b.Allocate(3, 2, 0, 24);
  std::memset(b.Bits(), value, static_cast<size_t>(b.BytesPerLine()) * b.Height());
}

TEST(Fade, CrossFadeFramesIncludingPadding) {
  TFadeImages images;
  Fill(images.display, 200);
  Fill(images.end, 100);
  images.BeginBlend();
  ASSERT_EQ(images.display.BytesPerLine(), 12);
  const size_t bytes = 24;
  // First frame: nothing changes; middle: halfway; last: exactly the end picture.
  images.BlendFrame(BlendWeight(0, 32));
  EXPECT_EQ(std::memcmp(images.display.Bits(), images.source.Bits(), bytes), 0);
  images.BlendFrame(BlendWeight(16, 32));
  for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(images.display.Bits()[i], 150) << i;
  // Every frame mixes from the saved start, not from the frame before.
  images.BlendFrame(BlendWeight(1, 32));
  EXPECT_EQ(images.display.Bits()[11], 196);  // a padding byte
  images.BlendFrame(BlendWeight(32, 32));
  EXPECT_EQ(std::memcmp(images.display.Bits(), images.end.Bits(), bytes), 0);
}

TEST(Fade, DissolvePlan) {
  struct TCase {
    int pixels, rate;
    TDissolvePlan plan;
  };
  const TCase cases[] = {
      {46080, 550, {83, 555, 15}},
      {46080, 200, {230, 200, 80}},
      {5625, 125, {45, 125, 0}},
      {10, 10, {1, 10, 0}},
      {10, 1, {10, 1, 0}},
      // A rate left from a larger control still moves a pixel per frame.
      {10, 50, {1, 10, 0}},
      {0, 125, {0, 0, 0}},
  };
  for (const TCase& c : cases) {
    const TDissolvePlan p = PlanDissolve(c.pixels, c.rate);
    EXPECT_EQ(p.perFrame, c.plan.perFrame) << c.pixels << "/" << c.rate;
    EXPECT_EQ(p.frames, c.plan.frames) << c.pixels << "/" << c.rate;
    EXPECT_EQ(p.rest, c.plan.rest) << c.pixels << "/" << c.rate;
    EXPECT_EQ(static_cast<int64_t>(p.perFrame) * p.frames + p.rest, c.pixels);
  }
}

TEST(Fade, SetterClamps) {
  EXPECT_EQ(ClampDisolvRate(0, 75, 75), 1);
  EXPECT_EQ(ClampDisolvRate(-5, 75, 75), 1);
  EXPECT_EQ(ClampDisolvRate(125, 75, 75), 125);
  EXPECT_EQ(ClampDisolvRate(10000, 75, 75), 5625);
  EXPECT_EQ(ClampBlendRate(0), 1);
  EXPECT_EQ(ClampBlendRate(32), 32);
  EXPECT_EQ(CheckBlendRate(0), std::optional<std::string>("BlendRate must be between 0 and 256"));
  EXPECT_EQ(CheckBlendRate(-1), std::optional<std::string>("BlendRate must be between 0 and 256"));
  EXPECT_EQ(CheckBlendRate(1), std::nullopt);
}

TEST(Fade, DissolveTouchesEveryPixelOnce) {
  uint32_t state = 12345;
  const std::function<uint32_t(uint32_t)> generators[] = {
      [&state](uint32_t n) { state = state * 1103515245u + 12345u; return (state >> 8) % n; },
      [](uint32_t) { return 0u; },                // worst case: always the first entry
      [](uint32_t n) { return n + 7; },           // out of range must not reach past the list
  };
  for (const auto& random : generators) {
    const std::vector<TPixelPos> order = DissolveOrder(256, 180, random);
    ASSERT_EQ(order.size(), 46080u);
    std::set<std::pair<int, int>> seen;
    for (const TPixelPos& p : order) {
      ASSERT_TRUE(p.row >= 0 && p.row < 180 && p.column >= 0 && p.column < 256);
      seen.insert({p.row, p.column});
    }
    EXPECT_EQ(seen.size(), 46080u);
  }
  EXPECT_TRUE(DissolveOrder(0, 5, generators[1]).empty());
}

TEST(Fade, DissolveStepsCopyFromTheEnd) {
  TFadeImages images;
  images.display.Allocate(7, 5, 0, 24);
  images.end.Allocate(7, 5, 0, 24);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) images.end.WritePixel(y, x, static_cast<uint32_t>(0x010203 * (y * 7 + x + 1)));
  uint32_t state = 1;
  images.BeginDissolve(DissolveOrder(7, 5, [&state](uint32_t n) { return (state = state * 69069u + 1u) % n; }), 4);
  const TDissolvePlan plan = images.Plan();
  EXPECT_EQ(plan.perFrame, 8);
  EXPECT_EQ(plan.frames, 4);
  EXPECT_EQ(plan.rest, 3);
  // Pixels that already show the end picture (none do at first: the end has no black).
  auto changed = [&] {
    int k = 0;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) k += std::memcmp(images.display.Row(y) + 3 * x, images.end.Row(y) + 3 * x, 3) == 0;
    return k;
  };
  for (int f = 0; f < plan.frames; ++f) {
    images.DissolveStep(plan.perFrame);
    EXPECT_EQ(changed(), (f + 1) * plan.perFrame);
  }
  EXPECT_FALSE(images.DissolveStep(plan.rest));
  EXPECT_EQ(changed(), 35);
}

}  // namespace
}  // namespace vell
