// Drawing onto a 24-bit canvas: transparency, offsets, animation disposal.
#include <gtest/gtest.h>

#include "GifTestSupport.h"

namespace {

const TGifRGB kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kMagenta{255, 0, 255};
const TGifRGB kNavy{0, 0, 128}, kYellow{255, 255, 0};

// The canvas as rows of letters, one per colour in `names`, '?' for others.
std::vector<std::string> Picture(const TGifBitmap& c, const std::vector<std::pair<TGifRGB, char>>& names) {
  std::vector<std::string> rows;
  for (int y = 0; y < c.Height(); ++y) {
    std::string row;
    for (int x = 0; x < c.Width(); ++x) {
      char ch = '?';
      for (const auto& [color, name] : names)
        if (c.Pixel(x, y) == color) ch = name;
      row += ch;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TEST(GifDraw, TransparentPixelsAreLeftUnpainted) {
  TGifPicture pic = PictureOf(3, 2, {kRed, kGreen, kBlue}, {0, 1, 2, 2, 1, 0});
  pic.AddGraphicControl(true, 1);
  TGifRGB fill;
  ASSERT_TRUE(pic.TransparentColor(fill));
  EXPECT_EQ(fill, kGreen);
  TGifBitmap canvas(5, 4);
  EXPECT_EQ(canvas.Stride(), 16u);
  canvas.Fill(kMagenta);
  pic.Draw(canvas, 1, 1);
  const std::vector<std::pair<TGifRGB, char>> names = {{kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}, {kMagenta, '.'}};
  EXPECT_EQ(Picture(canvas, names), (std::vector<std::string>{".....", ".r.b.", ".b.r.", "....."}));

  pic.DrawTransparent = false;
  pic.Draw(canvas, -1, 2);  // clipped on the left and at the bottom
  EXPECT_EQ(Picture(canvas, names), (std::vector<std::string>{".....", ".r.b.", "gb.r.", "gr..."}));
}

TEST(GifDraw, IndexOutsideTheMapDrawsBlack) {
  TGifPicture pic = PictureOf(2, 1, {kRed}, {0, 3});
  TGifRGB fill;
  EXPECT_FALSE(pic.TransparentColor(fill));
  TGifBitmap canvas(2, 1);
  canvas.Fill(kMagenta);
  pic.Draw(canvas);
  EXPECT_EQ(canvas.Pixel(0, 0), kRed);
  EXPECT_EQ(canvas.Pixel(1, 0), (TGifRGB{0, 0, 0}));
}

// im_animated.gif: a navy 16 x 12 frame, a yellow 8 x 6 one at 4,3, a lime 6 x 4 one at 1,1,
// each disposed to the background.
TEST(GifDraw, AnimationRestoresTheBackground) {
  TGifPicture pic;
  ASSERT_TRUE(pic.LoadFromFile(GifData("im_animated.gif")));
  ASSERT_EQ(pic.Frames.size(), 3u);
  const std::vector<std::pair<TGifRGB, char>> names = {
      {kNavy, 'n'}, {kYellow, 'y'}, {kGreen, 'l'}, {kMagenta, '.'}};
  TGifBitmap canvas(16, 12);
  canvas.Fill(kMagenta);
  pic.Draw(canvas);
  for (const auto& row : Picture(canvas, names)) EXPECT_EQ(row, std::string(16, 'n'));

  canvas.Fill(kMagenta);
  pic.DrawComposed(canvas, 0, 0, 1);
  auto rows = Picture(canvas, names);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(rows[y][x], (x >= 4 && x < 12 && y >= 3 && y < 9) ? 'y' : '.') << x << "," << y;

  canvas.Fill(kMagenta);
  pic.DrawComposed(canvas, 0, 0, 2);
  rows = Picture(canvas, names);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(rows[y][x], (x >= 1 && x < 7 && y >= 1 && y < 5) ? 'l' : '.') << x << "," << y;
}

// im_animated_previous.gif: navy, then a transparent 8 x 6 frame at 4,3 with a red 4 x 3
// block at 2,2 disposed to the previous state, then a lime 6 x 4 frame at 9,7.
TEST(GifDraw, AnimationRestoresThePreviousState) {
  TGifPicture pic;
  ASSERT_TRUE(pic.LoadFromFile(GifData("im_animated_previous.gif")));
  ASSERT_EQ(pic.Frames.size(), 3u);
  ASSERT_EQ(pic.Frames[1].GraphicControl()->Disposal(), 3);
  const std::vector<std::pair<TGifRGB, char>> names = {
      {kNavy, 'n'}, {kRed, 'r'}, {kGreen, 'l'}, {kMagenta, '.'}};
  TGifBitmap canvas(16, 12);
  canvas.Fill(kMagenta);
  pic.DrawComposed(canvas, 0, 0, 1);
  auto rows = Picture(canvas, names);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(rows[y][x], (x >= 6 && x < 10 && y >= 5 && y < 8) ? 'r' : 'n') << x << "," << y;

  canvas.Fill(kMagenta);
  pic.DrawComposed(canvas, 0, 0, 2);
  rows = Picture(canvas, names);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(rows[y][x], (x >= 9 && x < 15 && y >= 7 && y < 11) ? 'l' : 'n') << x << "," << y;
}

// Single-frame files draw the colours giflib finds at every pixel.
TEST(GifDraw, SingleFramesMatchGiflibColours) {
  for (const char* name : {"im_plasma256.gif", "im_interlaced.gif", "im_transparent.gif"}) {
    SCOPED_TRACE(name);
    TGifPicture pic;
    ASSERT_TRUE(pic.LoadFromFile(GifData(name)));
    const TOracleGif g = GiflibDecode(ReadBytes(GifData(name)));
    ASSERT_EQ(g.Frames.size(), 1u);
    const TOracleFrame& o = g.Frames[0];
    TGifBitmap canvas(g.Width, g.Height);
    canvas.Fill(kMagenta);
    pic.Draw(canvas);
    for (int y = 0; y < o.Height; ++y)
      for (int x = 0; x < o.Width; ++x) {
        const int v = o.Indices[static_cast<size_t>(y) * o.Width + x];
        const TGifRGB want = v == o.TransparentIndex ? kMagenta : o.Colors[static_cast<size_t>(v)];
        ASSERT_EQ(canvas.Pixel(o.Left + x, o.Top + y), want) << x << "," << y;
      }
  }
}
