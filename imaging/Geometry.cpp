#include "imaging/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vell {

namespace {

constexpr double kDegToRad = 0.017453292519943295769;

// Fixed-point 16.16 position to a source index, with the rotation's own
// wrap-around: a negative exact integer -n lands on size - 1 - (n mod size).
inline int FixedToIndex(int64_t v, int size) {
  if (v >= 0) {
    const int64_t i = v >> 16;
    return i < size ? static_cast<int>(i) : static_cast<int>(i % size);
  }
  return size - static_cast<int>(((-v) >> 16) % size) - 1;
}

// Column or row sampling plan of the bilinear resize: the two source indices
// and their weights for every target index.
struct TAxisPlan {
  std::vector<int> i0, i1;
  std::vector<float> w0, w1;
};

TAxisPlan PlanAxis(int oldSize, int newSize, bool proportional) {
  TAxisPlan p;
  p.i0.resize(static_cast<size_t>(newSize));
  p.i1.resize(static_cast<size_t>(newSize));
  p.w0.resize(static_cast<size_t>(newSize));
  p.w1.resize(static_cast<size_t>(newSize));
  // A one-pixel source cannot be scaled end to end (old - 1 == 0): replicate it.
  const bool replicate = !proportional && oldSize == 1;
  const float scale = proportional ? static_cast<float>(newSize) / static_cast<float>(oldSize)
                                   : static_cast<float>(newSize) / static_cast<float>(std::max(oldSize - 1, 1));
  for (int t = 0; t < newSize; ++t) {
    const float f = replicate ? 0.0f : static_cast<float>(t) / scale;
    int i = static_cast<int>(f);
    const float w1 = f - static_cast<float>(i);
    i = std::clamp(i, 0, oldSize - 1);
    const size_t k = static_cast<size_t>(t);
    p.i0[k] = i;
    p.i1[k] = std::min(i + 1, oldSize - 1);
    p.w1[k] = w1;
    p.w0[k] = 1.0f - w1;
  }
  return p;
}

}  // namespace

namespace geometry_detail {

// One target row of the bilinear resize from the neighbours gathered out of
// the two source rows (a: upper row, b: lower row; 0: left, 1: right).
// Products and sums stay in single precision in the order the weights are
// written, then round to nearest even.
__attribute__((target_clones("avx2", "default"))) void BlendRow(uint8_t* __restrict out, size_t n, const float* wx0,
                                                                   const float* wx1, float wy0, float wy1,
                                                                   const uint8_t* a0, const uint8_t* a1,
                                                                   const uint8_t* b0, const uint8_t* b1) {
  for (size_t j = 0; j < n; ++j) {
    const float v = wx0[j] * wy0 * static_cast<float>(a0[j]) + wx1[j] * wy0 * static_cast<float>(a1[j]) +
                    wx0[j] * wy1 * static_cast<float>(b0[j]) + wx1[j] * wy1 * static_cast<float>(b1[j]);
    const float r = std::nearbyint(v);
    out[j] = static_cast<uint8_t>(r > 255.0f ? 255.0f : (r < 0.0f ? 0.0f : r));
  }
}

}  // namespace geometry_detail

void RotateQuarter(TPixelBuffer& image) {
  if (!IsWorkingPicture(image)) return;
  const int w = image.Width(), h = image.Height();
  TPixelBuffer turned;
  turned.Allocate(h, w, 0, 24);
  // Blocked so that both the read rows and the written columns stay in cache.
  constexpr int kBlock = 64;
  for (int y0 = 0; y0 < h; y0 += kBlock) {
    const int y1 = std::min(h, y0 + kBlock);
    for (int x0 = 0; x0 < w; x0 += kBlock) {
      const int x1 = std::min(w, x0 + kBlock);
      for (int y = y0; y < y1; ++y) {
        const TRGB24* src = image.Row24(y);
        const int tx = h - 1 - y;
        for (int x = x0; x < x1; ++x) turned.Row24(x)[tx] = src[x];
      }
    }
  }
  image = std::move(turned);
}

void ResizeSmooth(TPixelBuffer& image, int newWidth, int newHeight, bool proportional) {
  if (!IsWorkingPicture(image)) return;
  newWidth = std::max(newWidth, 1);
  newHeight = std::max(newHeight, 1);
  const int oldWidth = image.Width(), oldHeight = image.Height();
  if (newWidth == oldWidth && newHeight == oldHeight) return;

  const TAxisPlan px = PlanAxis(oldWidth, newWidth, proportional);
  const TAxisPlan py = PlanAxis(oldHeight, newHeight, proportional);

  // Per channel byte of a target row: the x weights.
  const size_t n = static_cast<size_t>(newWidth) * 3;
  std::vector<float> wx0(n), wx1(n);
  for (size_t x = 0; x < static_cast<size_t>(newWidth); ++x)
    for (size_t ch = 0; ch < 3; ++ch) {
      wx0[x * 3 + ch] = px.w0[x];
      wx1[x * 3 + ch] = px.w1[x];
    }

  // A source row's left and right neighbours for every target column,
  // gathered once and kept while target rows still fall on that source row
  // (enlarging reuses each row for several target rows, as upper and lower).
  struct TGathered {
    int row = -1;
    std::vector<uint8_t> left, right;
  };
  TGathered slots[2];
  for (TGathered& g : slots) {
    g.left.resize(n + 1);  // one spare byte: pixels are copied four bytes at a time
    g.right.resize(n + 1);
  }
  auto fetch = [&](int row, int keep) -> const TGathered& {
    for (TGathered& g : slots)
      if (g.row == row) return g;
    TGathered& g = slots[0].row == keep ? slots[1] : slots[0];
    g.row = row;
    const uint8_t* src = image.Row(row);
    for (size_t x = 0; x < static_cast<size_t>(newWidth); ++x) {
      const int i0 = px.i0[x], i1 = px.i1[x];
      // Four-byte copies need a byte after the pixel inside the row.
      if (i1 < oldWidth - 1) {
        std::memcpy(&g.left[x * 3], src + static_cast<size_t>(i0) * 3, 4);
        std::memcpy(&g.right[x * 3], src + static_cast<size_t>(i1) * 3, 4);
      } else {
        std::memcpy(&g.left[x * 3], src + static_cast<size_t>(i0) * 3, 3);
        std::memcpy(&g.right[x * 3], src + static_cast<size_t>(i1) * 3, 3);
      }
    }
    return g;
  };

  TPixelBuffer result;
  result.Allocate(newWidth, newHeight, 0, 24);
  for (int y = 0; y < newHeight; ++y) {
    const size_t ky = static_cast<size_t>(y);
    const TGathered& upper = fetch(py.i0[ky], py.i1[ky]);
    const TGathered& lower = fetch(py.i1[ky], py.i0[ky]);
    geometry_detail::BlendRow(result.Row(y), n, wx0.data(), wx1.data(), py.w0[ky], py.w1[ky], upper.left.data(),
                              upper.right.data(), lower.left.data(), lower.right.data());
  }
  image = std::move(result);
}

void ResizeFast(TPixelBuffer& image, int newWidth, int newHeight) {
  if (!IsWorkingPicture(image)) return;
  newWidth = std::max(newWidth, 1);
  newHeight = std::max(newHeight, 1);
  TPixelBuffer scratch;
  scratch.Allocate(newWidth, newHeight, 0, 24);
  image.PaintStretched(scratch, 0, 0, newWidth, newHeight);
  CopyPixelsTo(scratch, image);
}

void TPixelBuffer::RotateInto(TPixelBuffer& destination, int centreX, int centreY, double angleDegrees) const {
  if (Empty()) return;
  if (&destination == this) {
    TPixelBuffer copy;
    copy.Allocate(width_, height_, formatCode_, bitCount_);
    std::memcpy(copy.Bits(), Bits(), static_cast<size_t>(bytesPerLine_) * static_cast<size_t>(height_));
    copy.RotateInto(destination, centreX, centreY, angleDegrees);
    return;
  }
  if (destination.Empty()) destination.Allocate(width_, height_, formatCode_, bitCount_);
  // Both are addressed with the destination's pixel size.
  if (destination.BitCount() != bitCount_) return;
  const int bpp = destination.BitCount() / 8;
  if (bpp < 1 || bpp > 4 || destination.BitCount() % 8 != 0) return;

  const double theta = -angleDegrees * kDegToRad;
  const double s = std::sin(theta), c = std::cos(theta);
  const int64_t cStep = static_cast<int64_t>(std::nearbyint(c * 65536.0));
  const int64_t sStep = static_cast<int64_t>(std::nearbyint(s * 65536.0));
  const double ox = (destination.Width() - width_) / 2.0;
  const double oy = (destination.Height() - height_) / 2.0;
  const int sw = width_, sh = height_;
  const int64_t xLimit = static_cast<int64_t>(sw) << 16, yLimit = static_cast<int64_t>(sh) << 16;

  // The fixed-point source position of each row's column 0; column x adds x
  // steps, exactly as stepping along the row one column at a time does.
  const int dw = destination.Width(), dh = destination.Height();
  std::vector<int64_t> rowX(static_cast<size_t>(dh)), rowY(static_cast<size_t>(dh));
  for (int y = 0; y < dh; ++y) {
    rowX[static_cast<size_t>(y)] =
        static_cast<int64_t>(std::nearbyint((centreX - centreX * c - (y - centreY) * s - ox) * 65536.0));
    rowY[static_cast<size_t>(y)] =
        static_cast<int64_t>(std::nearbyint((centreY - centreX * s + (y - centreY) * c - oy) * 65536.0));
  }
  if (bpp == 3) {
    // A turned row reads the source across many rows; square tiles of the
    // destination keep the source pixels they read in cache.
    constexpr int kTile = 64;
    const uint8_t* bits = Bits();
    const size_t stride = static_cast<size_t>(bytesPerLine_);
    for (int y0 = 0; y0 < dh; y0 += kTile) {
      const int y1 = std::min(dh, y0 + kTile);
      for (int x0 = 0; x0 < dw; x0 += kTile) {
        const int x1 = std::min(dw, x0 + kTile);
        for (int y = y0; y < y1; ++y) {
          int64_t fx = rowX[static_cast<size_t>(y)] + x0 * cStep;
          int64_t fy = rowY[static_cast<size_t>(y)] + x0 * sStep;
          TRGB24* o = destination.Row24(y);
          for (int x = x0; x < x1; ++x) {
            // Inside the source the index is the integer part; only the
            // wrapped remainder needs the division.
            const int ix = static_cast<uint64_t>(fx) < static_cast<uint64_t>(xLimit) ? static_cast<int>(fx >> 16)
                                                                                      : FixedToIndex(fx, sw);
            const int iy = static_cast<uint64_t>(fy) < static_cast<uint64_t>(yLimit) ? static_cast<int>(fy >> 16)
                                                                                      : FixedToIndex(fy, sh);
            o[x] = reinterpret_cast<const TRGB24*>(bits + static_cast<size_t>(iy) * stride)[ix];
            fx += cStep;
            fy += sStep;
          }
        }
      }
    }
    return;
  }
  for (int y = 0; y < dh; ++y) {
    int64_t fx = rowX[static_cast<size_t>(y)], fy = rowY[static_cast<size_t>(y)];
    uint8_t* out = destination.Row(y);
    for (int x = 0; x < dw; ++x) {
      const int ix = FixedToIndex(fx, sw), iy = FixedToIndex(fy, sh);
      std::memcpy(out + static_cast<size_t>(x) * static_cast<size_t>(bpp),
                  Row(iy) + static_cast<size_t>(ix) * static_cast<size_t>(bpp), static_cast<size_t>(bpp));
      fx += cStep;
      fy += sStep;
    }
  }
}

void RotateBilinear(TPixelBuffer& destination, const TPixelBuffer& source, int centreX, int centreY,
                    float angleDegrees) {
  if (!IsWorkingPicture(source)) return;
  if (&destination == &source) {
    TPixelBuffer copy;
    CopyPixelsTo(source, copy);
    RotateBilinear(destination, copy, centreX, centreY, angleDegrees);
    return;
  }
  if (destination.Empty()) destination.Allocate(source.Width(), source.Height(), 0, 24);
  if (destination.BitCount() != 24) destination.Allocate(destination.Width(), destination.Height(), 0, 24);
  const float theta = -angleDegrees * static_cast<float>(kDegToRad);
  const float s = std::sin(theta), c = std::cos(theta);
  const int ox = (destination.Width() - source.Width()) / 2;
  const int oy = (destination.Height() - source.Height()) / 2;
  const float cx = static_cast<float>(centreX), cy = static_cast<float>(centreY);
  for (int y = 0; y < destination.Height(); ++y) {
    const float dy = static_cast<float>(y - centreY);
    TRGB24* out = destination.Row24(y);
    for (int x = 0; x < destination.Width(); ++x) {
      const float dx = static_cast<float>(x - centreX);
      const float fx = dx * c + cx - dy * s - static_cast<float>(ox);
      const float fy = dx * s + cy + dy * c - static_cast<float>(oy);
      out[x] = SampleBilinear(source, fx, fy);
    }
  }
}

void RotateAngle(TPixelBuffer& image, double angleDegrees) {
  if (!IsWorkingPicture(image)) return;
  TPixelBuffer scratch;
  scratch.Allocate(image.Width(), image.Height(), 0, 24);
  if (scratch.Empty()) return;
  image.RotateInto(scratch, image.Width() / 2, image.Height() / 2, angleDegrees);
  // The turned picture has the image's shape: it takes the image's place.
  image = std::move(scratch);
}

}  // namespace vell
