// The fader's pixel work without widgets: the weights of a cross-fade, the
// blend of two pictures, and the random order in which a dissolve copies
// pixels back.
//
// A cross-fade of `steps` steps runs steps + 1 frames; frame i mixes the end
// picture in with weight (i * 32) div steps out of 32. With 5 steps the
// weights are 0, 6, 12, 19, 25, 32; a byte 200 fading to 100 is 150 at
// weight 16 and 196 at weight 1.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

inline constexpr const char kBlendRateMessage[] = "BlendRate must be between 0 and 256";
inline constexpr int kBlendMax = 32;

// The weight of frame `frame` (0 ... steps) out of 32.
int BlendWeight(int64_t frame, int steps);
// Every frame's weight, steps + 1 of them.
std::vector<int> BlendWeights(int steps);
// out[i] = (source[i] * (32 - weight) + end[i] * weight) div 32.
void BlendBytes(const uint8_t* source, const uint8_t* end, uint8_t* out, size_t count, int weight);

// The fader's setters.
inline int ClampBlendRate(int rate) { return rate < 1 ? 1 : rate; }
int ClampDisolvRate(int rate, int width, int height);
// A cross-fade refuses a step count below 1 with kBlendRateMessage.
std::optional<std::string> CheckBlendRate(int rate);

// A dissolve of `pixels` pixels at `rate` frames: `perFrame` pixels in each of
// `frames` frames, then the `rest` in one last step. 46080 pixels at rate 550:
// 83 per frame, 555 frames, 15 left.
struct TDissolvePlan {
  int perFrame = 0;
  int frames = 0;
  int rest = 0;
};
TDissolvePlan PlanDissolve(int pixels, int rate);

struct TPixelPos {
  int row, column;
};
// All positions of a width x height picture in row order, then shuffled:
// entry j swaps with entry random(N) for j = 0 ... N - 1. `random(n)` must
// answer 0 ... n - 1.
std::vector<TPixelPos> DissolveOrder(int width, int height, const std::function<uint32_t(uint32_t)>& random);

// The three pictures of a fader: what is shown, where it goes, and a copy of
// where a cross-fade started. All 24-bit, all of one size.
class TFadeImages {
 public:
  TPixelBuffer display;
  TPixelBuffer end;
  TPixelBuffer source;

  // A cross-fade starts: the display is copied into the source.
  void BeginBlend();
  // One frame: the display becomes source and end mixed at `weight`; weight 0
  // leaves it as it is. Every byte of the rows takes part, padding included.
  void BlendFrame(int weight);

  // A dissolve starts from this order of pixels.
  void BeginDissolve(std::vector<TPixelPos> order, int rate);
  const TDissolvePlan& Plan() const { return plan_; }
  // Copies the next `count` listed pixels from the end into the display;
  // false once the list is used up.
  bool DissolveStep(int count);
  void EndDissolve();
  size_t Dissolved() const { return next_; }

 private:
  std::vector<TPixelPos> order_;
  size_t next_ = 0;
  TDissolvePlan plan_;
};

}  // namespace vell
