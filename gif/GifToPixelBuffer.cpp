#include "gif/GifToPixelBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

class TPixelBufferCanvas : public TGifCanvas {
 public:
  explicit TPixelBufferCanvas(vell::TPixelBuffer& b) : b_(b) {}
  int Width() const override { return b_.Width(); }
  int Height() const override { return b_.Height(); }
  uint8_t* Row(int y) override { return b_.Row(y); }

 private:
  vell::TPixelBuffer& b_;
};

}  // namespace

bool DrawGifToPixelBuffer(const TGifPicture& picture, vell::TPixelBuffer& target, int left, int top) {
  if (target.BitCount() != 24 || target.Empty()) return false;
  TPixelBufferCanvas canvas(target);
  picture.Draw(canvas, left, top);
  return true;
}

bool GifBitmapFromPixelBuffer(const vell::TPixelBuffer& source, TGifPalettedBitmap& bitmap) {
  const int bits = source.BitCount();
  if ((bits != 1 && bits != 4 && bits != 8) || source.Empty()) return false;
  const uint32_t used = source.Info().bmiHeader.biClrUsed;
  const size_t colors = std::min<size_t>(used ? used : (1u << bits), 256);
  bitmap = TGifPalettedBitmap();
  bitmap.Width = source.Width();
  bitmap.Height = source.Height();
  bitmap.BitCount = bits;
  for (size_t i = 0; i < colors; ++i) {
    const vell::TRGBQuad& q = source.ColorTable()[i];
    bitmap.Palette.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue});
  }
  bitmap.Stride = static_cast<size_t>(source.BytesPerLine());
  bitmap.Bits.resize(bitmap.Stride * static_cast<size_t>(source.Height()));
  for (int y = 0; y < source.Height(); ++y)
    std::memcpy(bitmap.Bits.data() + bitmap.Stride * static_cast<size_t>(y), source.Row(y), bitmap.Stride);
  return true;
}
