// Hostile drawing calls (coordinates and pen widths of any size, any mode,
// wrap on or off) on a small picture with junk in its row padding:
// - nothing is written outside the picture (the padding stays junk),
// - each primitive drawn twice with XOR leaves the picture as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/Canvas.h"

namespace {

using namespace vell;

struct TReader {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  // Mostly near the picture, sometimes anywhere in 32 bits.
  int Coord() {
    const uint8_t kind = Byte();
    if (kind < 200) return static_cast<int>(Byte()) - 64;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return static_cast<int>(v);
  }
};

bool PaddingIntact(const TPixelBuffer& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int i = b.Width() * 3; i < b.BytesPerLine(); ++i)
      if (b.Row(y)[i] != 0xA5) return false;
  return true;
}

void Draw(TCanvas& c, int op, const int v[8]) {
  switch (op) {
    case 0: c.MoveTo(v[0], v[1]); c.LineTo(v[2], v[3]); break;
    case 1: c.Polyline({{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}}); break;
    case 2: c.Rectangle(v[0], v[1], v[2], v[3]); break;
    case 3: c.Ellipse(v[0], v[1], v[2], v[3]); break;
    case 4: c.Pie(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
    default: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReader r{data, size};
  const int w = 1 + r.Byte() % 40, h = 1 + r.Byte() % 40;
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  std::memset(b.Bits(), 0xA5, static_cast<size_t>(b.BytesPerLine()) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * 3; ++x) b.Row(y)[x] = static_cast<uint8_t>(x * 7 + y * 13);
  TCanvas c(b);
  for (int step = 0; step < 8 && r.n > 0; ++step) {
    const uint8_t op = r.Byte();
    c.Wrap = op & 0x80;
    c.Pen.Width = static_cast<int>(r.Byte() % 24) - 2;
    c.Pen.Dashed = op & 0x40;
    c.Pen.Clear = (op & 0x30) == 0x30;
    c.Brush.Clear = op & 0x08;
    c.Pen.Color = static_cast<uint32_t>(r.Byte()) * 0x010305u;
    c.Brush.Color = static_cast<uint32_t>(r.Byte()) * 0x030107u;
    int v[8];
    for (int& k : v) k = r.Coord();
    const int kind = op & 0x07;
    if (kind >= 5) {
      // Fills and pixels change the picture for good.
      c.Pen.Mode = static_cast<TRop2>(1 + r.Byte() % 16);
      if (kind == 5) c.FloodFill(v[0], v[1]);
      else if (kind == 6) c.FillRect(v[0], v[1], v[2], v[3]);
      else c.SetPixel(v[0], v[1], c.Pen.Color);
    } else {
      c.Pen.Mode = TRop2::XorPen;
      std::vector<uint8_t> before(b.Bits(), b.Bits() + static_cast<size_t>(b.BytesPerLine()) * h);
      Draw(c, kind, v);
      Draw(c, kind, v);
      if (std::memcmp(before.data(), b.Bits(), before.size()) != 0) std::abort();
    }
    if (!PaddingIntact(b)) std::abort();
    (void)c.Pixel(v[2], v[3]);
    (void)c.TakeDirty();
  }
  return 0;
}
