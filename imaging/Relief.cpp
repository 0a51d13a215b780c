#include "imaging/Relief.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/Colour.h"
#include "imaging/Geometry.h"

// Row loops are compiled twice, for AVX2 and for the baseline, and the better
// one is picked when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VELL_VECTOR_CLONES
#endif

namespace vell {

namespace {

constexpr double kDegToRad = 0.017453292519943295769;

// k mod size in 0 ... size - 1, for any k: shifts wrap exactly, so a tile
// shifted by -1 takes its last row, not the one before it.
inline int Mod(int64_t k, int size) {
  const int64_t m = k % size;
  return static_cast<int>(m < 0 ? m + size : m);
}

// (p + s) mod size for p and s in 0 ... size - 1.
inline int WrapShift(int p, int s, int size) { return p + s >= size ? p + s - size : p + s; }

// A 24-bit picture of the target's size made from a control picture of any
// depth and size (end-to-end smooth resize when the sizes differ).
TPixelBuffer ControlAtSize(const TPixelBuffer& control, int width, int height) {
  TPixelBuffer out;
  CopyPixelsTo(control, out);
  if (!out.Empty() && (out.Width() != width || out.Height() != height)) ResizeSmooth(out, width, height, false);
  return out;
}

// Pixel bytes of a picture without its row padding.
std::vector<uint8_t> PackedBytes(const TPixelBuffer& image) {
  const size_t line = static_cast<size_t>(image.Width()) * 3;
  std::vector<uint8_t> out(line * static_cast<size_t>(image.Height()));
  for (int y = 0; y < image.Height(); ++y) std::memcpy(out.data() + line * static_cast<size_t>(y), image.Row(y), line);
  return out;
}

// The displacement of Water along one axis for one control brightness:
// round(p + amount * (1 + v)) = p + whole + (tie ? parity of p + whole : 0),
// which keeps round-half-to-even exact without rounding per pixel.
struct TShift {
  int64_t whole = 0;
  bool tie = false;
};

TShift ShiftFor(int amount, float v) {
  const double z = amount * (1.0 + static_cast<double>(v));
  const double f = std::floor(z);
  TShift s;
  s.tie = z - f == 0.5;
  s.whole = static_cast<int64_t>(s.tie ? f : std::nearbyint(z));
  return s;
}

inline int64_t Shifted(int p, const TShift& s) {
  const int64_t base = p + s.whole;
  return s.tie ? base + (base & 1) : base;
}

}  // namespace

namespace relief_detail {

// out = round(shifted * (1 - b) + still * b) per byte, with b = weight. The
// exact value is an integer over 765, never within 1/1530 of a half, so the
// single-precision error (below 1e-4) cannot change the rounding.
VELL_VECTOR_CLONES void BlendBytes(uint8_t* __restrict out, const uint8_t* __restrict shifted,
                                   const uint8_t* __restrict still, const float* __restrict weight, size_t n) {
  for (size_t j = 0; j < n; ++j) {
    const float a = shifted[j], b = still[j];
    out[j] = static_cast<uint8_t>(static_cast<int>(a + (b - a) * weight[j] + 0.5f));
  }
}

}  // namespace relief_detail

void Water(int ud, int lr, const TPixelBuffer& control, TPixelBuffer& target) {
  if (!IsWorkingPicture(target) || control.Empty()) return;
  const int w = target.Width(), h = target.Height();
  // The brightness of each control pixel, max(R, G, B); v = that / 255.
  std::vector<uint8_t> bright(static_cast<size_t>(w) * static_cast<size_t>(h));
  {
    const TPixelBuffer ctl = ControlAtSize(control, w, h);
    if (ctl.Width() != w || ctl.Height() != h) return;
    for (int y = 0; y < h; ++y) {
      const TRGB24* p = ctl.Row24(y);
      uint8_t* b = bright.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
      for (int x = 0; x < w; ++x) b[x] = std::max({p[x].r, p[x].g, p[x].b});
    }
  }
  if (ud == 0 && lr == 0) return;
  TShift down[256], across[256];
  for (int m = 0; m < 256; ++m) {
    const float v = static_cast<float>(m) / 255.0f;
    down[m] = ShiftFor(ud, v);
    across[m] = ShiftFor(lr, v);
  }
  const std::vector<uint8_t> old = PackedBytes(target);
  const TRGB24* src = reinterpret_cast<const TRGB24*>(old.data());
  for (int y = 0; y < h; ++y) {
    TRGB24* out = target.Row24(y);
    const uint8_t* b = bright.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = 0; x < w; ++x) {
      const int sy = Mod(Shifted(y, down[b[x]]), h);
      const int sx = Mod(Shifted(x, across[b[x]]), w);
      out[x] = src[static_cast<size_t>(sy) * static_cast<size_t>(w) + static_cast<size_t>(sx)];
    }
  }
}

bool StretchBlur(TPixelBuffer& image, int ud, int lr, const TPixelBuffer& mask, int repetitions) {
  if (!IsWorkingPicture(image) || (ud == 0 && lr == 0) || mask.Empty()) return false;
  const int w = image.Width(), h = image.Height();
  const bool self = &mask == &image;
  const int reps = std::max(repetitions, 0);
  const size_t line = static_cast<size_t>(w) * 3;

  // Weights of the buffer variant, b = (R + G + B) / 765, from the mask
  // stretched to the picture's size; the self variant takes them from the
  // picture as it stands before each repetition.
  std::vector<float> fixedWeight;
  if (!self) {
    TPixelBuffer stretched;
    stretched.Allocate(w, h, 0, 24);
    if (stretched.Empty()) return false;
    mask.PaintStretched(stretched, 0, 0, w, h);
    fixedWeight.resize(line * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = stretched.Row(y);
      float* out = fixedWeight.data() + line * static_cast<size_t>(y);
      for (size_t x = 0; x < line; x += 3) out[x] = out[x + 1] = out[x + 2] = (p[x] + p[x + 1] + p[x + 2]) / 765.0f;
    }
  }

  std::vector<uint8_t> cur = PackedBytes(image), next(cur.size());
  std::vector<float> rowWeight(self ? line : 0);
  const int sx = Mod(lr, w), sy = Mod(ud, h);
  const size_t head = static_cast<size_t>(w - sx) * 3, tail = static_cast<size_t>(sx) * 3;
  for (int rep = 0; rep < reps; ++rep) {
    for (int y = 0; y < h; ++y) {
      const uint8_t* still = cur.data() + line * static_cast<size_t>(y);
      // Scrolled content moves left by lr and up by ud: pixel (x, y) of the
      // scrolled picture is (x + lr, y + ud) of the old one.
      const uint8_t* from = cur.data() + line * static_cast<size_t>(WrapShift(y, sy, h));
      const float* weight;
      if (self) {
        for (size_t x = 0; x < line; x += 3)
          rowWeight[x] = rowWeight[x + 1] = rowWeight[x + 2] = (still[x] + still[x + 1] + still[x + 2]) / 765.0f;
        weight = rowWeight.data();
      } else {
        weight = fixedWeight.data() + line * static_cast<size_t>(y);
      }
      uint8_t* out = next.data() + line * static_cast<size_t>(y);
      relief_detail::BlendBytes(out, from + tail, still, weight, head);
      relief_detail::BlendBytes(out + head, from, still + head, weight + head, tail);
    }
    cur.swap(next);
  }

  // Contrast +1, then the smear centred: scrolled back by half the total shift.
  const TChannelTable contrast = ContrastTable(1);
  const int bx = Mod(-(static_cast<int64_t>(lr) * reps / 2), w);
  const int by = Mod(-(static_cast<int64_t>(ud) * reps / 2), h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = cur.data() + line * static_cast<size_t>(WrapShift(y, by, h));
    uint8_t* out = image.Row(y);
    const size_t k = static_cast<size_t>(bx) * 3;
    for (size_t x = 0; x < line - k; ++x) out[x] = contrast[src[x + k]];
    for (size_t x = line - k; x < line; ++x) out[x] = contrast[src[x + k - line]];
  }
  return true;
}

void MapTexture(TPixelBuffer& image, const TPixelBuffer& texture, double k) {
  if (!IsWorkingPicture(image) || texture.Empty() || std::isnan(k)) return;
  const int w = image.Width(), h = image.Height();
  const TPixelBuffer tex = ControlAtSize(texture, w, h);
  if (tex.Width() != w || tex.Height() != h) return;
  float t[256];
  for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(std::sin(i / 255.0) * k);
  // Every (texture byte, picture byte) pair through one 64 KiB table.
  std::vector<uint8_t> table(256 * 256);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 256; ++c) {
      const double v = std::nearbyint(c * static_cast<double>(t[i]));
      table[static_cast<size_t>(i) * 256 + static_cast<size_t>(c)] =
          static_cast<uint8_t>(v > 254.0 ? 255.0 : (v < 0.0 ? 0.0 : v));
    }
  const size_t line = static_cast<size_t>(w) * 3;
  for (int y = 0; y < h; ++y) {
    uint8_t* p = image.Row(y);
    const uint8_t* q = tex.Row(y);
    for (size_t x = 0; x < line; ++x) p[x] = table[static_cast<size_t>(q[x]) * 256 + p[x]];
  }
}

void HeightMap(TPixelBuffer& image, int depth, bool bumpMap, int elevation, int azimuth) {
  if (!IsWorkingPicture(image)) return;
  if (azimuth == 0) azimuth = 30;
  if (elevation == 0) elevation = 45;
  if (depth == 0) depth = 20;
  const double az = azimuth * kDegToRad, el = elevation * kDegToRad;
  const double lx = std::cos(az) * std::cos(el) * 255.9;
  const double ly = std::sin(az) * std::cos(el) * 255.9;
  const double lz = std::sin(el) * 255.9;
  const double nz = 1530.0 / depth;
  const double nz2 = nz * nz, nzlz = nz * lz;
  // Light from below the horizon leaves a flat area dark rather than wrapping.
  const int flat = static_cast<int>(std::clamp(std::trunc(lz), 0.0, 255.0));

  const int w = image.Width(), h = image.Height();
  const std::vector<uint8_t> old = PackedBytes(image);
  const size_t line = static_cast<size_t>(w) * 3;
  // Heights are the blue bytes; neighbours beyond an edge come from the
  // opposite edge, as in a picture bordered by its own wrapped edges.
  std::vector<int> left(static_cast<size_t>(w)), right(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) {
    left[static_cast<size_t>(x)] = Mod(x - 1, w) * 3;
    right[static_cast<size_t>(x)] = Mod(x + 1, w) * 3;
  }
  for (int y = 0; y < h; ++y) {
    const uint8_t* top = old.data() + line * static_cast<size_t>(Mod(y - 1, h));
    const uint8_t* mid = old.data() + line * static_cast<size_t>(y);
    const uint8_t* bottom = old.data() + line * static_cast<size_t>(Mod(y + 1, h));
    uint8_t* out = image.Row(y);
    for (int x = 0; x < w; ++x) {
      const size_t l = static_cast<size_t>(left[static_cast<size_t>(x)]);
      const size_t r = static_cast<size_t>(right[static_cast<size_t>(x)]);
      const size_t c = static_cast<size_t>(x) * 3;
      const int nx = top[l] + mid[l] + bottom[l] - top[r] - mid[r] - bottom[r];
      const int ny = bottom[l] + bottom[c] + bottom[r] - top[l] - top[c] - top[r];
      int shade;
      if (nx == 0 && ny == 0) {
        shade = flat;
      } else {
        const double d = std::trunc(nx * lx + ny * ly + nzlz);
        shade = d < 0.0 ? 0 : static_cast<int>(std::min(255.0, d / std::sqrt(double(nx * nx + ny * ny) + nz2)));
      }
      if (bumpMap) {
        // The colours are taken from the pixel one row above.
        out[c] = static_cast<uint8_t>((shade * top[c]) >> 8);
        out[c + 1] = static_cast<uint8_t>((shade * top[c + 1]) >> 8);
        out[c + 2] = static_cast<uint8_t>((shade * top[c + 2]) >> 8);
      } else {
        out[c] = out[c + 1] = out[c + 2] = static_cast<uint8_t>(shade);
      }
    }
  }
}

}  // namespace vell
