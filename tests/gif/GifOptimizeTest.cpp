// From a paletted bitmap to a picture, and the colour-map optimisation.
#include <gtest/gtest.h>

#include "GifTestSupport.h"

namespace {

TGifFrame FrameOf(int w, int h, std::vector<TGifRGB> local, std::vector<uint8_t> data) {
  TGifFrame f;
  f.Descriptor.Width = static_cast<uint16_t>(w);
  f.Descriptor.Height = static_cast<uint16_t>(h);
  for (const auto& c : local) f.ColorMap.Add(c);
  f.Data = std::move(data);
  return f;
}

std::vector<TGifRGB> Entries(const TGifColorMap& m) {
  return {m.Entries.begin(), m.Entries.begin() + m.Count};
}

void MakeTransparent(TGifFrame& f, int index) {
  auto& g = std::get<TGifGraphicControl>(f.Extensions.emplace_back());
  g.SetTransparent(true);
  g.TransparentIndex = static_cast<uint8_t>(index);
}

const TGifRGB A{10, 10, 10}, B{20, 0, 0}, C{0, 30, 0}, D{5, 5, 5};

}  // namespace

TEST(GifAssign, PaletteAndIndicesOfEveryBitCount) {
  struct TCase {
    int Bits, W, H;
    size_t Stride;
    std::vector<uint8_t> Bytes, Pixels;
  };
  const TCase cases[] = {
      {1, 10, 2, 4, {0xB0, 0x40, 0xEE, 0xEE, 0x01, 0x80, 0xEE, 0xEE},
       {1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}},
      {4, 3, 2, 0, {0x12, 0x30, 0xF0, 0x5F}, {1, 2, 3, 15, 0, 5}},
      {8, 3, 1, 0, {7, 200, 0}, {7, 200, 0}},
  };
  for (const TCase& c : cases) {
    TGifPalettedBitmap bmp{c.W, c.H, c.Bits, DistinctPalette(1 << c.Bits), c.Bytes, c.Stride};
    TGifPicture pic;
    ASSERT_TRUE(pic.Assign(bmp)) << c.Bits;
    ASSERT_EQ(pic.Frames.size(), 1u);
    EXPECT_EQ(pic.Frames[0].Data, c.Pixels) << c.Bits;
    EXPECT_EQ(Entries(pic.Frames[0].ColorMap), DistinctPalette(1 << c.Bits));
    EXPECT_EQ(pic.Header.Width, c.W);
    EXPECT_EQ(pic.Header.Height, c.H);
    EXPECT_TRUE(pic.Header.ColorMap.Empty());
    EXPECT_EQ(&pic.ColorMap(), &pic.Frames[0].ColorMap);
  }
}

TEST(GifAssign, RefusesWhatItCannotTake) {
  TGifPicture pic = PictureOf(1, 1, {A}, {0});
  EXPECT_FALSE(pic.Assign({2, 2, 24, {}, std::vector<uint8_t>(12), 0}));
  EXPECT_FALSE(pic.Assign({2, 2, 8, {}, std::vector<uint8_t>(3), 0}));
  EXPECT_FALSE(pic.Assign({0, 2, 8, {}, {}, 0}));
  EXPECT_FALSE(pic.Assign({70000, 1, 8, {}, std::vector<uint8_t>(70000), 0}));
  EXPECT_EQ(pic.Frames[0].ColorMap.Entries[0], A);  // unchanged
}

TEST(GifOptimize, OrdersByCountAndMergesEqualColours) {
  // A appears twice in the map; D is never used.
  TGifPicture pic = PictureOf(10, 1, {A, B, C, A, D}, {0, 1, 1, 0, 2, 1, 3, 1, 3, 1});
  pic.OptimizeColorMap();
  EXPECT_EQ(Entries(pic.Header.ColorMap), (std::vector<TGifRGB>{B, A, C}));  // 5, 4, 1
  EXPECT_TRUE(pic.Header.ColorMap.Optimized);
  EXPECT_TRUE(pic.Frames[0].ColorMap.Empty());
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{1, 0, 0, 1, 2, 0, 1, 0, 1, 0}));
  const auto f = SaveChecked(pic);
  EXPECT_EQ(f[3], '8');
  EXPECT_EQ(f[4], '7');
  EXPECT_EQ(f[10], 0x99);  // global, resolution 1, sorted, 4 entries
}

TEST(GifOptimize, GlobalMapCountsOverFramesWithoutTheirOwn) {
  TGifPicture pic;
  pic.Header.Width = 3;
  pic.Header.Height = 1;
  pic.Header.ColorMap.Add(A);
  pic.Header.ColorMap.Add(B);
  pic.Frames.push_back(FrameOf(3, 1, {}, {0, 1, 1}));
  pic.Frames.push_back(FrameOf(4, 1, {B, C}, {0, 1, 1, 1}));
  pic.OptimizeColorMap();
  // B: 2 + 1, C: 3, A: 1; B before C on the tie by colour value.
  EXPECT_EQ(Entries(pic.Header.ColorMap), (std::vector<TGifRGB>{B, C, A}));
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{2, 0, 0}));
  EXPECT_EQ(pic.Frames[1].Data, (std::vector<uint8_t>{0, 1, 1, 1}));
  SaveChecked(pic);
}

TEST(GifOptimize, DroppedColoursGoToTheNearestBySignedSum) {
  // 256 colours used three times each fill the map; X, used once, is dropped. Its nearest by
  // |dR + dG + dB| is K1 (0); by the sum of absolute differences it would be K2.
  const TGifRGB K1{0, 100, 0}, K2{90, 0, 0}, X{100, 0, 0};
  std::vector<TGifRGB> full = DistinctPalette(256);
  full[0] = K1;
  full[1] = K2;
  std::vector<uint8_t> px;
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 256; ++i) px.push_back(static_cast<uint8_t>(i));
  TGifPicture pic = PictureOf(32, 24, full, px);
  pic.Frames.push_back(FrameOf(1, 1, {X}, {0}));
  pic.OptimizeColorMap();
  ASSERT_EQ(pic.Header.ColorMap.Count, 256);
  EXPECT_EQ(pic.Header.ColorMap.Entries[pic.Frames[1].Data[0]], K1);
  SaveChecked(pic);
}

TEST(GifOptimize, TransparencyAppendsBlack) {
  TGifPicture pic = PictureOf(5, 1, {A, B, C, D}, {0, 1, 2, 2, 3});
  MakeTransparent(pic.Frames[0], 2);
  pic.OptimizeColorMap();
  // Three colours once each, by colour value (red in the low byte) on the tie, then black.
  EXPECT_EQ(Entries(pic.Header.ColorMap), (std::vector<TGifRGB>{B, D, A, {0, 0, 0}}));
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{2, 0, 3, 3, 1}));
  EXPECT_EQ(pic.Frames[0].TransparentIndex(), 3);
  SaveChecked(pic);
}

TEST(GifOptimize, TransparencyLeavesRoomFor255Colours) {
  std::vector<uint8_t> px;
  for (int i = 0; i < 256; ++i) px.push_back(static_cast<uint8_t>(i));
  px.push_back(0);  // entry 0 is the most used
  px.push_back(7);  // entry 7 is transparent
  std::vector<TGifRGB> pal = DistinctPalette(256);
  TGifPicture pic = PictureOf(258, 1, pal, px);
  MakeTransparent(pic.Frames[0], 7);
  const TGifRGB X{1, 2, 3};
  pic.Frames.push_back(FrameOf(1, 1, {X}, {0}));
  pic.OptimizeColorMap();
  const TGifColorMap& m = pic.Header.ColorMap;
  ASSERT_EQ(m.Count, 256);
  EXPECT_EQ(m.Entries[0], pal[0]);
  EXPECT_EQ(m.Entries[255], (TGifRGB{0, 0, 0}));
  EXPECT_EQ(pic.Frames[0].TransparentIndex(), 255);
  EXPECT_EQ(pic.Frames[0].Data[7], 255);
  EXPECT_EQ(pic.Frames[0].Data[257], 255);
  // 256 colours in use besides the transparent one: one of those used once has to go.
  int dropped = m.Entries[pic.Frames[1].Data[0]] == X ? 0 : 1;
  for (int i = 1; i < 256; ++i)
    if (i != 7 && !(m.Entries[pic.Frames[0].Data[static_cast<size_t>(i)]] == pal[static_cast<size_t>(i)])) ++dropped;
  EXPECT_EQ(dropped, 1);
  SaveChecked(pic);
}

TEST(GifOptimize, UnusedTransparentIndexLosesTransparency) {
  TGifPicture pic = PictureOf(3, 1, {A, B, C}, {0, 1, 0});
  MakeTransparent(pic.Frames[0], 2);
  pic.OptimizeColorMap();
  EXPECT_FALSE(pic.Frames[0].Transparent());
  EXPECT_EQ(pic.Frames[0].GraphicControl()->TransparentIndex, 0);
  EXPECT_EQ(Entries(pic.Header.ColorMap), (std::vector<TGifRGB>{A, B}));
}

TEST(GifOptimize, IndexBeyondTheMapBecomesEntryZero) {
  TGifPicture pic = PictureOf(4, 1, {A, B}, {0, 1, 1, 5});
  std::vector<std::string> warnings;
  pic.OnWarning = [&](const std::string& w) { warnings.push_back(w); };
  pic.OptimizeColorMap();
  EXPECT_EQ(Entries(pic.Header.ColorMap), (std::vector<TGifRGB>{B, A}));  // 2 each, B's value is lower
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{1, 0, 0, 1}));
  EXPECT_EQ(warnings, (std::vector<std::string>{"Color not in color table"}));
}
