// Writing: exact bytes of small files, the LZW code stream, and round trips through giflib.
#include <gtest/gtest.h>

#include <sstream>

#include "GifTestSupport.h"
#include "gif/GifLzw.h"

namespace {

// Codes of one frame's LZW data, read with the decoder's width rule; sub-block lengths too.
struct TCodeStream {
  int MinCodeSize = 0;
  std::vector<int> Codes;
  std::vector<int> BlockLengths;
  int MaxWidth = 0;
};

TCodeStream ParseCodes(const std::vector<uint8_t>& data, size_t pos) {
  TCodeStream s;
  s.MinCodeSize = data[pos++];
  std::vector<uint8_t> bytes;
  while (data[pos] != 0) {
    const int len = data[pos++];
    s.BlockLengths.push_back(len);
    bytes.insert(bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                 data.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
  }
  const int clear = 1 << s.MinCodeSize;
  int width = s.MinCodeSize + 1, next = clear + 2;
  bool first = true;
  size_t bit = 0;
  while (bit + width <= bytes.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((bytes[bit / 8] >> (bit % 8)) & 1) << i;
    s.Codes.push_back(code);
    s.MaxWidth = std::max(s.MaxWidth, width);
    if (code == clear) {
      width = s.MinCodeSize + 1;
      next = clear + 2;
      first = true;
    } else if (code == clear + 1) {
      break;
    } else {
      if (!first && next < 4096 && ++next == (1 << width) && width < 12) ++width;
      first = false;
    }
  }
  return s;
}

// Offset of the image data of the first frame in a file without extensions.
size_t ImageDataOffset(const std::vector<uint8_t>& f) {
  size_t pos = 13;
  if (f[10] & 0x80) pos += 3u * (2u << (f[10] & 7));
  EXPECT_EQ(f[pos], 0x2C);
  const uint8_t packed = f[pos + 9];
  pos += 10;
  if (packed & 0x80) pos += 3u * (2u << (packed & 7));
  return pos;
}

}  // namespace

TEST(GifWrite, OnePixelFrameIsClearPixelEnd) {
  TGifPicture pic = PictureOf(1, 1, {{255, 0, 0}, {0, 0, 255}}, {1});
  const std::vector<uint8_t> expected = {
      'G', 'I', 'F', '8', '7', 'a',  // no extension: the older version
      0x01, 0x00, 0x01, 0x00,        // screen 1 x 1
      0x00,                          // no global map; resolution 0, size bits 0 (1 bit)
      0x00, 0x00,                    // background, aspect ratio
      0x2C, 0x00, 0x00, 0x00, 0x00,  // image at 0,0
      0x01, 0x00, 0x01, 0x00,        // 1 x 1
      0x80,                          // local map of 2 entries, not interlaced
      0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,
      0x02,                          // minimum code size: never below 2
      0x02, 0x4C, 0x01,              // codes 4 (clear), 1, 5 (end) at 3 bits, low bit first
      0x00,                          // end of the data sub-blocks
      0x3B};
  EXPECT_EQ(SaveChecked(pic), expected);
}

TEST(GifWrite, Optimized236ColorsGiveEightBitCodesAnd256EntryTable) {
  // 16 x 16 pixels over a 236-colour palette: entries 0..19 twice, the rest once.
  std::vector<uint8_t> px(256);
  for (int i = 0; i < 256; ++i) px[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 236);
  TGifPicture pic = PictureOf(16, 16, DistinctPalette(236), px);
  pic.OptimizeColorMap();
  ASSERT_EQ(pic.ColorMap().Count, 236);
  const auto f = SaveChecked(pic);
  EXPECT_EQ(Slice(f, 0, 6), (std::vector<uint8_t>{'G', 'I', 'F', '8', '7', 'a'}));
  EXPECT_EQ(f[10], 0xFF);  // global map, resolution 7, sort flag, 256 entries
  for (int i = 236; i < 256; ++i)
    EXPECT_EQ(Slice(f, 13 + 3 * i, 3), (std::vector<uint8_t>{0, 0, 0})) << i;
  EXPECT_EQ(f[13 + 768], 0x2C);
  EXPECT_EQ(f[13 + 768 + 9], 0x00);  // no local map
  EXPECT_EQ(f[13 + 768 + 10], 8);    // minimum code size
}

TEST(GifWrite, TwoColorsGiveCodeSizeTwoAndTwoEntryTable) {
  std::vector<uint8_t> px = NoiseIndices(30 * 20, 2);
  for (auto& v : px) v = v ? 200 : 17;
  TGifPicture pic = PictureOf(30, 20, DistinctPalette(236), px);
  pic.OptimizeColorMap();
  const auto f = SaveChecked(pic);
  EXPECT_EQ(f[10], 0x88);  // global map, sorted, resolution 0, 2 entries
  EXPECT_EQ(f[13 + 6], 0x2C);
  EXPECT_EQ(f[13 + 6 + 10], 2);
}

TEST(GifWrite, GraphicControlMakes89aWithExactExtensionBytes) {
  struct TCase {
    bool Transparent;
    int Index;
    uint8_t Flags, WrittenIndex;
  };
  const TCase cases[] = {
      {true, 1, 0x01, 1},
      {false, 2, 0x00, 2},
      {true, 3, 0x01, 0},  // beyond the 3-entry map: index 0
      {true, -4, 0x01, 0},
  };
  for (const TCase& c : cases) {
    TGifPicture pic = PictureOf(3, 1, DistinctPalette(236), {5, 6, 7});
    pic.OptimizeColorMap();
    ASSERT_TRUE(pic.AddGraphicControl(c.Transparent, c.Index));
    const auto f = SaveChecked(pic);
    EXPECT_EQ(Slice(f, 0, 6), (std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}));
    const size_t ext = 13 + 4 * 3;  // after the 4-entry global table
    EXPECT_EQ(Slice(f, ext, 8),
              (std::vector<uint8_t>{0x21, 0xF9, 0x04, c.Flags, 0x00, 0x00, c.WrittenIndex, 0x00}))
        << c.Index;
    EXPECT_EQ(f[ext + 8], 0x2C);
  }
}

TEST(GifWrite, AddingGraphicControlTwiceKeepsOneExtension) {
  TGifPicture pic = PictureOf(2, 1, DistinctPalette(4), {0, 1});
  pic.AddGraphicControl(true, 1);
  pic.AddGraphicControl(false, 2);
  ASSERT_EQ(pic.Frames[0].Extensions.size(), 1u);
  EXPECT_FALSE(pic.Frames[0].Transparent());
  EXPECT_EQ(pic.Frames[0].GraphicControl()->TransparentIndex, 2);
  EXPECT_FALSE(TGifPicture().AddGraphicControl(true, 0));
}

TEST(GifWrite, Errors) {
  std::vector<uint8_t> out = {1, 2, 3};
  TGifResult res = TGifPicture().SaveToMemory(out);
  EXPECT_FALSE(res);
  EXPECT_EQ(res.Error, "Unsupported GIF version");
  EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));  // untouched

  TGifPicture pic = PictureOf(2, 2, DistinctPalette(3), {0, 1, 2, 3});
  res = pic.SaveToMemory(out);
  EXPECT_EQ(res.Error, "Color not in color table");

  // Without any map the limit is 2^m with m at least 2.
  pic.Frames[0].ColorMap.Clear();
  EXPECT_TRUE(pic.SaveToMemory(out));
  pic.Frames[0].Data[3] = 4;
  EXPECT_EQ(pic.SaveToMemory(out).Error, "Color not in color table");

  pic.Frames[0].Data.resize(3);
  EXPECT_FALSE(pic.SaveToMemory(out));
}

TEST(GifWrite, CodeStreamClearsWhenNextFreeCodePasses4094) {
  const int w = 300, h = 200;
  TGifPicture pic = PictureOf(w, h, DistinctPalette(256), NoiseIndices(w * h, 256));
  const auto f = SaveChecked(pic);
  const TCodeStream s = ParseCodes(f, ImageDataOffset(f));
  ASSERT_EQ(s.MinCodeSize, 8);
  EXPECT_EQ(s.MaxWidth, 12);
  ASSERT_EQ(s.Codes.front(), 256);
  EXPECT_EQ(s.Codes.back(), 257);
  // Between two clears: one code per entry 258..4094, and the one that fills the table.
  std::vector<size_t> clears;
  for (size_t i = 0; i < s.Codes.size(); ++i)
    if (s.Codes[i] == 256) clears.push_back(i);
  ASSERT_GE(clears.size(), 3u);
  for (size_t k = 1; k < clears.size(); ++k) EXPECT_EQ(clears[k] - clears[k - 1] - 1, 4094u - 256u);
  for (int c : s.Codes) EXPECT_LE(c, 4094);
  for (size_t i = 0; i + 1 < s.BlockLengths.size(); ++i) EXPECT_EQ(s.BlockLengths[i], 255);
  EXPECT_LE(s.BlockLengths.back(), 255);
}

TEST(GifWrite, EmptyFrameCodesOnlyTheEndCode) {
  std::vector<uint8_t> out;
  GifLzwEncode(nullptr, 0, 0, false, 2, 4, out);
  EXPECT_EQ(out, (std::vector<uint8_t>{0x02, 0x01, 0x05, 0x00}));
}

TEST(GifWrite, RoundTripsThroughGiflibAndBack) {
  struct TCase {
    int W, H, Colors;
    bool Interlaced, Optimize;
    const char* What;
  };
  const TCase cases[] = {
      {1, 1, 2, false, false, "single pixel"},
      {1, 9, 3, true, false, "one column interlaced"},
      {9, 1, 5, false, true, "one row"},
      {13, 11, 16, true, false, "interlaced, every pass"},
      {64, 64, 236, false, true, "editor-sized palette"},
      {300, 200, 256, false, false, "noise with table resets"},
      {513, 17, 4, true, false, "four colours, long rows"},
      {1024, 8, 1, false, false, "one colour: long runs"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TGifPicture pic = PictureOf(c.W, c.H, DistinctPalette(c.Colors), NoiseIndices(size_t(c.W) * c.H, c.Colors));
    if (c.Optimize) pic.OptimizeColorMap();
    if (c.Interlaced) pic.Frames[0].Descriptor.Packed |= 0x40;
    if (c.Interlaced && !pic.Frames[0].ColorMap.Empty()) {
      // A local map clears the interlace flag on writing; move the map to the screen.
      pic.Header.ColorMap = pic.Frames[0].ColorMap;
      pic.Frames[0].ColorMap.Clear();
    }
    const auto bytes = SaveChecked(pic);
    const TOracleGif g = GiflibDecode(bytes);
    ASSERT_EQ(g.Frames.size(), 1u);
    EXPECT_EQ(g.Frames[0].Interlaced, c.Interlaced);

    TGifPicture back;
    ASSERT_TRUE(back.LoadFromMemory(bytes.data(), bytes.size()));
    ASSERT_EQ(back.Frames.size(), 1u);
    EXPECT_EQ(back.Frames[0].Data, pic.Frames[0].Data);
    std::vector<uint8_t> again;
    ASSERT_TRUE(back.SaveToMemory(again));
    EXPECT_EQ(again, bytes);
  }
}

TEST(GifWrite, LocalMapWithInterlaceFlagIsWrittenProgressive) {
  TGifPicture pic = PictureOf(5, 9, DistinctPalette(7), NoiseIndices(45, 7));
  pic.Frames[0].Descriptor.Packed |= 0x40;
  const auto f = SaveChecked(pic);
  EXPECT_EQ(f[13 + 9], 0x82);  // local map of 8, interlace bit cleared
  EXPECT_FALSE(GiflibDecode(f).Frames[0].Interlaced);
}

TEST(GifWrite, LargerLocalMapPadsGlobalTableToTheAnnouncedSize) {
  TGifPicture pic = PictureOf(4, 4, DistinctPalette(200), NoiseIndices(16, 200));
  pic.Header.ColorMap.Add({1, 2, 3});
  pic.Header.ColorMap.Add({4, 5, 6});
  TGifFrame second;
  second.Descriptor.Width = 2;
  second.Descriptor.Height = 1;
  second.Data = {1, 0};
  pic.Frames.push_back(second);
  const auto f = SaveChecked(pic);
  EXPECT_EQ(f[10], 0xF7);              // 256-entry global table announced
  EXPECT_EQ(f[13 + 768], 0x2C);        // and written
}

TEST(GifWrite, StreamAndFile) {
  TGifPicture pic = PictureOf(2, 2, DistinctPalette(4), {0, 1, 2, 3});
  std::ostringstream os;
  ASSERT_TRUE(pic.SaveToStream(os));
  const std::string s = os.str();
  std::vector<uint8_t> mem;
  ASSERT_TRUE(pic.SaveToMemory(mem));
  EXPECT_EQ(std::vector<uint8_t>(s.begin(), s.end()), mem);

  const std::string path = testing::TempDir() + "gif_write_test.gif";
  ASSERT_TRUE(pic.SaveToFile(path));
  EXPECT_EQ(ReadBytes(path), mem);
  // A failed save leaves the file as it was.
  TGifPicture empty;
  EXPECT_FALSE(empty.SaveToFile(path));
  EXPECT_EQ(ReadBytes(path), mem);
  EXPECT_FALSE(pic.SaveToFile(testing::TempDir() + "no/such/dir/x.gif"));
}
