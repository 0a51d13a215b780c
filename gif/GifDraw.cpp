#include <algorithm>
#include <array>
#include <cstring>

#include "gif/GifPicture.h"

TGifBitmap::TGifBitmap(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_((static_cast<size_t>(width_) * 3 + 3) & ~size_t{3}),
      bits_(stride_ * static_cast<size_t>(height_)) {}

void TGifBitmap::Fill(TGifRGB color) {
  for (int y = 0; y < height_; ++y) {
    uint8_t* p = Row(y);
    for (int x = 0; x < width_; ++x, p += 3) {
      p[0] = color.Blue;
      p[1] = color.Green;
      p[2] = color.Red;
    }
  }
}

TGifRGB TGifBitmap::Pixel(int x, int y) const {
  const uint8_t* p = bits_.data() + static_cast<size_t>(y) * stride_ + static_cast<size_t>(x) * 3;
  return {p[2], p[1], p[0]};
}

namespace {

struct TRect {
  int X = 0, Y = 0, W = 0, H = 0;
};

TRect Clip(int x, int y, int w, int h, const TGifCanvas& c) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, c.Width()), y1 = std::min(y + h, c.Height());
  if (x1 <= x0 || y1 <= y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

// A copy of a canvas rectangle, to put back later.
struct TSnapshot {
  TRect Area;
  std::vector<uint8_t> Bytes;

  void Take(TGifCanvas& c, TRect r) {
    Area = r;
    Bytes.resize(static_cast<size_t>(r.W) * r.H * 3);
    for (int y = 0; y < r.H; ++y)
      std::memcpy(Bytes.data() + static_cast<size_t>(y) * r.W * 3, c.Row(r.Y + y) + r.X * 3,
                  static_cast<size_t>(r.W) * 3);
  }
  // Puts back the part of the copy that lies inside r.
  void Restore(TGifCanvas& c, TRect r) const {
    const int x0 = std::max(r.X, Area.X), y0 = std::max(r.Y, Area.Y);
    const int x1 = std::min(r.X + r.W, Area.X + Area.W), y1 = std::min(r.Y + r.H, Area.Y + Area.H);
    for (int y = y0; y < y1; ++y)
      std::memcpy(c.Row(y) + x0 * 3,
                  Bytes.data() + (static_cast<size_t>(y - Area.Y) * Area.W + (x0 - Area.X)) * 3,
                  static_cast<size_t>(std::max(x1 - x0, 0)) * 3);
  }
};

TRect FrameRect(const TGifFrame& f, int left, int top, const TGifCanvas& c) {
  return Clip(left + f.Descriptor.Left, top + f.Descriptor.Top, f.Descriptor.Width,
              f.Descriptor.Height, c);
}

void PaintFrame(const TGifPicture& pic, const TGifFrame& f, TGifCanvas& canvas, int left, int top,
                bool skipTransparent) {
  if (!f.HasPixels()) return;
  const TGifColorMap& map = pic.ActiveColorMap(f);
  std::array<uint8_t, 256 * 3> lut{};  // indices outside the map draw black
  for (int i = 0; i < map.Count; ++i) {
    const TGifRGB& c = map.Entries[static_cast<size_t>(i)];
    lut[static_cast<size_t>(i) * 3] = c.Blue;
    lut[static_cast<size_t>(i) * 3 + 1] = c.Green;
    lut[static_cast<size_t>(i) * 3 + 2] = c.Red;
  }
  const int t = skipTransparent ? f.TransparentIndex() : -1;
  const int fx = left + f.Descriptor.Left, fy = top + f.Descriptor.Top;
  const TRect r = FrameRect(f, left, top, canvas);
  const int w = f.Descriptor.Width;
  for (int y = r.Y; y < r.Y + r.H; ++y) {
    const uint8_t* src = f.Data.data() + static_cast<size_t>(y - fy) * w + (r.X - fx);
    uint8_t* dst = canvas.Row(y) + r.X * 3;
    for (int x = 0; x < r.W; ++x, dst += 3) {
      const int v = src[x];
      if (v == t) continue;
      const uint8_t* c = &lut[static_cast<size_t>(v) * 3];
      dst[0] = c[0];
      dst[1] = c[1];
      dst[2] = c[2];
    }
  }
}

void FillRect(TGifCanvas& canvas, TRect r, TGifRGB color) {
  for (int y = r.Y; y < r.Y + r.H; ++y) {
    uint8_t* p = canvas.Row(y) + r.X * 3;
    for (int x = 0; x < r.W; ++x, p += 3) {
      p[0] = color.Blue;
      p[1] = color.Green;
      p[2] = color.Red;
    }
  }
}

}  // namespace

void TGifPicture::Draw(TGifCanvas& canvas, int left, int top) const {
  if (Frames.empty()) return;
  if (Frames.size() == 1) {
    PaintFrame(*this, Frames[0], canvas, left, top, DrawTransparent);
    return;
  }
  size_t first = 0;
  while (first < Frames.size() && !Frames[first].HasPixels()) ++first;
  if (first == Frames.size()) return;
  DrawComposed(canvas, left, top, first);
}

void TGifPicture::DrawComposed(TGifCanvas& canvas, int left, int top, size_t frame) const {
  if (Frames.empty()) return;
  frame = std::min(frame, Frames.size() - 1);
  const TRect screen = Clip(left, top, Header.Width, Header.Height, canvas);

  // The background: what the canvas held (transparent drawing) or the background colour.
  TSnapshot background;
  const TGifColorMap& global = Header.ColorMap;
  const bool fillBackground = !DrawTransparent && Header.BackgroundIndex < global.Count;
  if (fillBackground)
    FillRect(canvas, screen, global.Entries[Header.BackgroundIndex]);
  else
    background.Take(canvas, screen);

  TSnapshot previous;
  for (size_t i = 0; i <= frame; ++i) {
    const TGifFrame& f = Frames[i];
    if (i > 0) {
      const TGifFrame& p = Frames[i - 1];
      const TGifGraphicControl* g = p.GraphicControl();
      const int disposal = g ? g->Disposal() : 0;
      const TRect pr = FrameRect(p, left, top, canvas);
      if (disposal == 2 && p.HasPixels()) {
        if (fillBackground)
          FillRect(canvas, pr, global.Entries[Header.BackgroundIndex]);
        else
          background.Restore(canvas, pr);
      } else if (disposal == 3 && p.HasPixels()) {
        previous.Restore(canvas, pr);
      }
    }
    const TGifGraphicControl* g = f.GraphicControl();
    if (g && g->Disposal() == 3 && f.HasPixels() && i < frame)
      previous.Take(canvas, FrameRect(f, left, top, canvas));
    PaintFrame(*this, f, canvas, left, top, true);
  }
}
