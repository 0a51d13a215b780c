#include "dialogs/Fade.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vell {

int BlendWeight(int64_t frame, int steps) {
  if (steps < 1) return kBlendMax;
  return static_cast<int>(frame * kBlendMax / steps);
}

std::vector<int> BlendWeights(int steps) {
  std::vector<int> weights;
  if (steps < 1) return weights;
  weights.reserve(static_cast<size_t>(steps) + 1);
  for (int64_t i = 0; i <= steps; ++i) weights.push_back(BlendWeight(i, steps));
  return weights;
}

void BlendBytes(const uint8_t* source, const uint8_t* end, uint8_t* out, size_t count, int weight) {
  weight = std::clamp(weight, 0, kBlendMax);
  const int keep = kBlendMax - weight;
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>((source[i] * keep + end[i] * weight) / kBlendMax);
}

int ClampDisolvRate(int rate, int width, int height) {
  const int64_t pixels = static_cast<int64_t>(std::max(width, 0)) * std::max(height, 0);
  if (rate < 1) return 1;
  if (pixels >= 1 && rate > pixels) return static_cast<int>(pixels);
  return rate;
}

std::optional<std::string> CheckBlendRate(int rate) {
  if (rate < 1) return std::string(kBlendRateMessage);
  return std::nullopt;
}

TDissolvePlan PlanDissolve(int pixels, int rate) {
  TDissolvePlan p;
  if (pixels <= 0) return p;
  // A rate set for a larger control must not leave zero pixels per frame.
  p.perFrame = std::max(1, pixels / std::max(rate, 1));
  p.frames = pixels / p.perFrame;
  p.rest = pixels % p.perFrame;
  return p;
}

std::vector<TPixelPos> DissolveOrder(int width, int height, const std::function<uint32_t(uint32_t)>& random) {
  std::vector<TPixelPos> order;
  if (width <= 0 || height <= 0) return order;
  order.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) order.push_back({r, c});
  const uint32_t n = static_cast<uint32_t>(order.size());
  for (uint32_t j = 0; j < n; ++j) {
    // A generator answering out of range must not reach past the list.
    const uint32_t k = random(n) % n;
    std::swap(order[j], order[k]);
  }
  return order;
}

void TFadeImages::BeginBlend() {
  if (source.Width() != display.Width() || source.Height() != display.Height() || source.BitCount() != 24)
    source.Allocate(display.Width(), display.Height(), 0, 24);
  if (!display.Empty())
    std::memcpy(source.Bits(), display.Bits(), static_cast<size_t>(display.BytesPerLine()) * display.Height());
}

void TFadeImages::BlendFrame(int weight) {
  if (weight <= 0 || display.Empty()) return;
  // The three are one size; should they ever differ, only the common bytes mix.
  const size_t bytes = static_cast<size_t>(display.BytesPerLine()) * display.Height();
  const size_t common =
      std::min({bytes, static_cast<size_t>(source.BytesPerLine()) * source.Height(),
                static_cast<size_t>(end.BytesPerLine()) * end.Height()});
  if (source.Empty() || end.Empty()) return;
  BlendBytes(source.Bits(), end.Bits(), display.Bits(), common, weight);
}

void TFadeImages::BeginDissolve(std::vector<TPixelPos> order, int rate) {
  order_ = std::move(order);
  next_ = 0;
  plan_ = PlanDissolve(static_cast<int>(order_.size()), rate);
}

bool TFadeImages::DissolveStep(int count) {
  if (display.BitCount() != 24 || end.BitCount() != 24) {
    next_ = order_.size();
    return false;
  }
  const int w = std::min(display.Width(), end.Width());
  const int h = std::min(display.Height(), end.Height());
  for (int i = 0; i < count && next_ < order_.size(); ++i, ++next_) {
    const TPixelPos p = order_[next_];
    if (p.row < 0 || p.row >= h || p.column < 0 || p.column >= w) continue;
    std::memcpy(display.Row(p.row) + 3 * p.column, end.Row(p.row) + 3 * p.column, 3);
  }
  return next_ < order_.size();
}

void TFadeImages::EndDissolve() {
  order_.clear();
  order_.shrink_to_fit();
  next_ = 0;
}

}  // namespace vell
