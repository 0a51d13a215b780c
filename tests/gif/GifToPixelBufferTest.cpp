// The codec on the editor's pixel buffer: drawing at 24 bits, taking 8- and 1-bit buffers.
#include <gtest/gtest.h>

#include <cstring>

#include "gif/GifToPixelBuffer.h"

TEST(GifPixelBuffer, DrawsOnTwentyFourBitsOnly) {
  TGifPicture pic;
  TGifPalettedBitmap bmp{2, 2, 8, {{255, 0, 0}, {0, 0, 255}}, {0, 1, 1, 0}, 0};
  ASSERT_TRUE(pic.Assign(bmp));
  pic.AddGraphicControl(true, 1);

  vell::TPixelBuffer b;
  b.Allocate(3, 2, 0, 24);
  for (int y = 0; y < 2; ++y) std::memset(b.Row(y), 0x55, static_cast<size_t>(b.BytesPerLine()));
  ASSERT_TRUE(DrawGifToPixelBuffer(pic, b, 1, 0));
  const uint8_t* r0 = b.Row(0);
  EXPECT_EQ(std::vector<uint8_t>(r0, r0 + 12),
            (std::vector<uint8_t>{0x55, 0x55, 0x55, 0, 0, 255, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}));
  const uint8_t* r1 = b.Row(1);
  EXPECT_EQ(std::vector<uint8_t>(r1, r1 + 9),
            (std::vector<uint8_t>{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0, 0, 255}));

  vell::TPixelBuffer eight;
  eight.Allocate(2, 2, 0, 8);
  EXPECT_FALSE(DrawGifToPixelBuffer(pic, eight));
}

TEST(GifPixelBuffer, TakesPalettedBuffers) {
  vell::TPixelBuffer b;
  b.Allocate(3, 2, 0, 8);
  b.ColorTable()[2] = {30, 20, 10, 0};  // blue, green, red
  b.Row(0)[0] = 2, b.Row(0)[1] = 0, b.Row(0)[2] = 1;
  b.Row(1)[0] = 1, b.Row(1)[1] = 2, b.Row(1)[2] = 2;
  TGifPalettedBitmap bmp;
  ASSERT_TRUE(GifBitmapFromPixelBuffer(b, bmp));
  EXPECT_EQ(bmp.Palette.size(), 256u);
  EXPECT_EQ(bmp.Palette[2], (TGifRGB{10, 20, 30}));
  TGifPicture pic;
  ASSERT_TRUE(pic.Assign(bmp));
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{2, 0, 1, 1, 2, 2}));

  vell::TPixelBuffer mono;
  mono.Allocate(9, 1, 0, 1);
  mono.Row(0)[0] = 0x81, mono.Row(0)[1] = 0x80;
  ASSERT_TRUE(GifBitmapFromPixelBuffer(mono, bmp));
  ASSERT_TRUE(pic.Assign(bmp));
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 1, 1}));
  EXPECT_EQ(pic.Frames[0].ColorMap.Count, 2);

  vell::TPixelBuffer deep;
  deep.Allocate(1, 1, 0, 24);
  EXPECT_FALSE(GifBitmapFromPixelBuffer(deep, bmp));
}
