// Reading: hand-written files, decoder errors, files written by ImageMagick, malformed files.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "GifTestSupport.h"
#include "gif/GifLzw.h"

namespace {

// A 2 x 2 picture, pixels 0 1 / 1 0 over a black and white global map.
const std::vector<uint8_t> kTwoByTwo = {
    'G', 'I', 'F', '8', '9', 'a',
    0x02, 0x00, 0x02, 0x00,  // screen 2 x 2
    0x80,                    // global map, 2 entries
    0x00, 0x00,              // background, aspect
    0x00, 0x00, 0x00,        // 0: black
    0xFF, 0xFF, 0xFF,        // 1: white
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00,  // image 2 x 2 at 0,0
    0x02,                    // minimum code size
    0x03, 0x44, 0x02, 0x05,  // clear, 0, 1, 1 at 3 bits; 0, end at 4 bits
    0x00,                    // end of data
    0x3B};
constexpr size_t kImageAt = 19;  // offset of the image descriptor in kTwoByTwo

std::vector<uint8_t> Spliced(std::vector<uint8_t> v, size_t at, const std::vector<uint8_t>& insert) {
  v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
  return v;
}

struct TLoad {
  TGifResult Result;
  TGifPicture Pic;
  std::vector<std::string> Warnings;
};

TLoad Load(const std::vector<uint8_t>& bytes) {
  TLoad l;
  l.Pic.OnWarning = [&l](const std::string& w) { l.Warnings.push_back(w); };
  l.Result = l.Pic.LoadFromMemory(bytes.data(), bytes.size());
  return l;
}

}  // namespace

TEST(GifRead, HandWrittenFile) {
  const TLoad l = Load(kTwoByTwo);
  ASSERT_TRUE(l.Result) << l.Result.Error;
  EXPECT_TRUE(l.Warnings.empty());
  EXPECT_EQ(l.Pic.Header.Width, 2);
  EXPECT_EQ(l.Pic.Header.Packed, 0x80);
  EXPECT_EQ(l.Pic.Header.ColorMap.Count, 2);
  EXPECT_EQ(l.Pic.Header.ColorMap.Entries[1], (TGifRGB{255, 255, 255}));
  ASSERT_EQ(l.Pic.Frames.size(), 1u);
  EXPECT_EQ(l.Pic.Frames[0].Data, (std::vector<uint8_t>{0, 1, 1, 0}));
  EXPECT_EQ(GiflibDecode(kTwoByTwo).Frames[0].Indices, l.Pic.Frames[0].Data);
}

TEST(GifRead, SignatureVariants) {
  std::vector<uint8_t> lower = kTwoByTwo;
  lower[0] = 'g', lower[1] = 'i', lower[2] = 'f';
  lower[3] = 'x';  // the version is not checked
  EXPECT_TRUE(Load(lower).Result);

  // A 4-byte length in front of the signature.
  const auto prefixed = Spliced(kTwoByTwo, 0, {0x2E, 0x00, 0x00, 0x00});
  const TLoad l = Load(prefixed);
  ASSERT_TRUE(l.Result) << l.Result.Error;
  EXPECT_EQ(l.Pic.Frames[0].Data, (std::vector<uint8_t>{0, 1, 1, 0}));

  for (const auto& bad : {std::vector<uint8_t>{'G', 'I', 'T', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0},
                          std::vector<uint8_t>{'G', 'I', 'F'}, std::vector<uint8_t>{},
                          Spliced(kTwoByTwo, 0, {1, 2, 3})}) {
    EXPECT_EQ(Load(bad).Result.Error, "Invalid GIF signature");
  }
}

TEST(GifRead, ZeroSizeTakesTheScreenSize) {
  std::vector<uint8_t> v = kTwoByTwo;
  v[kImageAt + 5] = 0;  // width 0
  const TLoad l = Load(v);
  ASSERT_TRUE(l.Result) << l.Result.Error;
  EXPECT_EQ(l.Pic.Frames[0].Descriptor.Width, 2);
  EXPECT_EQ(l.Warnings, (std::vector<std::string>{"Image exceeds Logical Screen size"}));
}

TEST(GifRead, ExtensionsAreKeptAndWrittenBackAsRead) {
  const std::vector<uint8_t> ext = {
      0x21, 0xFE, 0x02, 'h', 'i', 0x01, '!', 0x00,          // comment in two sub-blocks
      0x21, 0x01, 0x0C, 0, 0, 0, 0, 2, 0, 2, 0, 1, 1, 1, 0,  // plain text grid header
      0x03, 'a', 'b', 'c', 0x00,                            // and its text
      0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
      0x03, 0x01, 0x05, 0x00, 0x00,                         // loop 5 times
      0x21, 0xF9, 0x04, 0x09, 0x0A, 0x00, 0x01, 0x00};      // disposal 2, 10/100 s, index 1
  const TLoad l = Load(Spliced(kTwoByTwo, kImageAt, ext));
  ASSERT_TRUE(l.Result) << l.Result.Error;
  const TGifFrame& f = l.Pic.Frames[0];
  ASSERT_EQ(f.Extensions.size(), 4u);
  EXPECT_EQ(std::get<TGifComment>(f.Extensions[0]).Text(), "hi!");
  EXPECT_EQ(std::get<TGifPlainText>(f.Extensions[1]).Blocks.size(), 2u);
  EXPECT_EQ(std::get<TGifApplication>(f.Extensions[2]).Identifier(), "NETSCAPE2.0");
  EXPECT_EQ(std::get<TGifApplication>(f.Extensions[2]).LoopCount(), 5);
  EXPECT_EQ(f.GraphicControl()->Disposal(), 2);
  EXPECT_EQ(f.GraphicControl()->Delay, 10);
  EXPECT_EQ(f.TransparentIndex(), 1);

  const auto out = SaveChecked(l.Pic);
  EXPECT_EQ(Slice(out, 0, 6), (std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}));
  EXPECT_EQ(Slice(out, kImageAt, ext.size()), ext);
}

TEST(GifRead, OddButReadableDataWarns) {
  struct TCase {
    const char* What;
    std::vector<uint8_t> File;
    size_t Frames;
    std::vector<std::string> Warnings;
  };
  std::vector<uint8_t> noTrailer(kTwoByTwo.begin(), kTwoByTwo.end() - 1);
  std::vector<uint8_t> junkBlock = kTwoByTwo;
  junkBlock.back() = 0x99;
  const TCase cases[] = {
      {"graphic control body of 2 bytes", Spliced(kTwoByTwo, kImageAt, {0x21, 0xF9, 0x02, 0x01, 0x07, 0x00}), 1,
       {"Premature end of data"}},
      {"graphic control without body", Spliced(kTwoByTwo, kImageAt, {0x21, 0xF9, 0x00}), 1, {"Premature end of data"}},
      {"unknown block ends the list", junkBlock, 1, {"Unknown GIF block type"}},
      {"missing trailer", noTrailer, 1, {"Premature end of data"}},
      {"zero bytes between blocks", Spliced(kTwoByTwo, kTwoByTwo.size() - 1, {0, 0, 0}), 1, {}},
      {"extension before the trailer", Spliced(kTwoByTwo, kTwoByTwo.size() - 1, {0x21, 0xFE, 0x01, 'x', 0x00}), 2, {}},
  };
  for (const TCase& c : cases) {
    const TLoad l = Load(c.File);
    EXPECT_TRUE(l.Result) << c.What << ": " << l.Result.Error;
    EXPECT_EQ(l.Pic.Frames.size(), c.Frames) << c.What;
    EXPECT_EQ(l.Warnings, c.Warnings) << c.What;
  }
  // A short graphic control body reads as far as it goes.
  const TLoad l = Load(Spliced(kTwoByTwo, kImageAt, {0x21, 0xF9, 0x02, 0x01, 0x07, 0x00}));
  EXPECT_EQ(l.Pic.Frames[0].GraphicControl()->Delay, 7);
  EXPECT_TRUE(l.Pic.Frames[0].Transparent());
}

TEST(GifRead, InvalidColorIndexWarns) {
  const std::vector<uint8_t> w = {
      'G', 'I', 'F', '8', '7', 'a', 0x01, 0x00, 0x01, 0x00,  // screen 1 x 1
      0x80, 0x00, 0x00,                                       // global map of 2
      0, 0, 0, 255, 255, 255,
      0x2C, 0, 0, 0, 0, 0x01, 0x00, 0x01, 0x00, 0x00,          // image 1 x 1
      0x02, 0x02, 0x54, 0x01, 0x00,                           // 100 010 101: clear, 2, end
      0x3B};
  const TLoad l = Load(w);
  ASSERT_TRUE(l.Result) << l.Result.Error;
  EXPECT_EQ(l.Pic.Frames[0].Data, (std::vector<uint8_t>{2}));
  EXPECT_EQ(l.Warnings, (std::vector<std::string>{"Invalid color index"}));
}

TEST(GifRead, ErrorsLeaveThePictureAsItWas) {
  const std::vector<uint8_t> unknownExtension = Spliced(kTwoByTwo, kImageAt, {0x21, 0x99, 0x00});
  auto truncated = std::vector<uint8_t>(kTwoByTwo.begin(), kTwoByTwo.begin() + kImageAt + 12);
  auto underRun = kTwoByTwo;
  underRun[kImageAt + 11] = 0x01;  // one data byte, then the terminator
  underRun.erase(underRun.begin() + kImageAt + 13, underRun.begin() + kImageAt + 15);
  struct TCase {
    const std::vector<uint8_t>& File;
    const char* Error;
  };
  const TCase cases[] = {
      {unknownExtension, "Unknown extension type"},
      {truncated, "Premature end of data"},
      {underRun, "Decoder bit buffer under-run"},
  };
  for (const TCase& c : cases) {
    TGifPicture pic = PictureOf(1, 1, {{1, 2, 3}}, {0});
    const TGifResult r = pic.LoadFromMemory(c.File.data(), c.File.size());
    EXPECT_EQ(r.Error, c.Error);
    ASSERT_EQ(pic.Frames.size(), 1u);
    EXPECT_EQ(pic.Frames[0].ColorMap.Entries[0], (TGifRGB{1, 2, 3}));
  }
}

TEST(GifRead, DecoderCodeStreams) {
  struct TCase {
    const char* What;
    std::vector<uint8_t> Codes;  // packed low bit first
    int MinCodeSize;
    size_t Count;
    std::vector<uint8_t> Pixels;  // expected, or empty with Error
    const char* Error;
  };
  const TCase cases[] = {
      // 100 000 110: clear, 0, then 6, the entry being made (0 + its own first index).
      {"code naming the entry in the making", {0x84, 0x01}, 2, 3, {0, 0, 0}, nullptr},
      // clear, 0, 1, 1, 0, end; codes after the last pixel are not needed.
      {"pixels before the end code", {0x44, 0x02, 0x05}, 2, 4, {0, 1, 1, 0}, nullptr},
      {"more data than pixels", {0x44, 0x02, 0x05}, 2, 3, {0, 1, 1}, nullptr},
      {"data runs out", {0x44}, 2, 4, {}, "Decoder bit buffer under-run"},
      {"no data", {}, 2, 1, {}, "Decoder bit buffer under-run"},
      // 100 111: clear, then 7 which is no entry yet.
      {"first code not a root", {0x3C}, 2, 2, {}, "Circular decoder table entry"},
      // 100 000 111: clear, 0, 7 while the next free code is 6.
      {"code beyond the table", {0xC4, 0x01}, 2, 3, {}, "Circular decoder table entry"},
      // 100 101: clear, end.
      {"end code first", {0x2C}, 2, 1, {}, "Premature end of data"},
      {"code size 0", {0x00}, 0, 1, {}, "Invalid LZW code size"},
      {"code size 9", {0x00}, 9, 1, {}, "Invalid LZW code size"},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> out(c.Count, 0xEE);
    if (c.Error) {
      try {
        GifLzwDecode(c.Codes.data(), c.Codes.size(), c.MinCodeSize, out.data(), out.size());
        ADD_FAILURE() << c.What << ": no error";
      } catch (const EGifError& e) {
        EXPECT_STREQ(e.what(), c.Error) << c.What;
      }
    } else {
      GifLzwDecode(c.Codes.data(), c.Codes.size(), c.MinCodeSize, out.data(), out.size());
      EXPECT_EQ(out, c.Pixels) << c.What;
    }
  }
}

TEST(GifRead, StreamPositionAfterTrailerOrRestoredOnError) {
  const std::string good(kTwoByTwo.begin(), kTwoByTwo.end());
  std::istringstream in("abc" + good + "tail");
  in.seekg(3);
  TGifPicture pic;
  ASSERT_TRUE(pic.LoadFromStream(in));
  EXPECT_EQ(static_cast<size_t>(in.tellg()), 3 + good.size());

  const std::string cut = "abc" + good.substr(0, 11);  // ends inside the screen descriptor
  std::istringstream bad(cut);
  bad.seekg(3);
  EXPECT_EQ(pic.LoadFromStream(bad).Error, "Premature end of data");
  EXPECT_EQ(bad.tellg(), 3);
  EXPECT_EQ(pic.Frames[0].Data, (std::vector<uint8_t>{0, 1, 1, 0}));

  EXPECT_FALSE(pic.LoadFromFile(GifData("no_such_file.gif")));
}

TEST(GifRead, HostileSizesAreRefusedBeforeAllocating) {
  auto huge = kTwoByTwo;
  huge[kImageAt + 5] = huge[kImageAt + 6] = 0xFF;  // 65535 wide
  huge[kImageAt + 7] = huge[kImageAt + 8] = 0xFF;  // 65535 high
  EXPECT_EQ(Load(huge).Result.Error, "GIF image too large");
  auto big = kTwoByTwo;
  big[kImageAt + 6] = big[kImageAt + 8] = 0x20;  // 8194 x 8194 from 3 bytes of codes
  EXPECT_EQ(Load(big).Result.Error, "Decoder bit buffer under-run");
}

// Files written by ImageMagick read as giflib reads them.
TEST(GifRead, ImageMagickFilesMatchGiflib) {
  const char* files[] = {"im_plasma256.gif", "im_interlaced.gif", "im_two_colors.gif",
                         "im_transparent.gif", "im_animated.gif", "im_animated_previous.gif"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const auto bytes = ReadBytes(GifData(name));
    ASSERT_FALSE(bytes.empty());
    const TOracleGif g = GiflibDecode(bytes);
    ASSERT_TRUE(g.Ok);
    TGifPicture pic;
    ASSERT_TRUE(pic.LoadFromFile(GifData(name)));
    EXPECT_EQ(pic.Header.Width, g.Width);
    EXPECT_EQ(pic.Header.Height, g.Height);
    std::vector<const TGifFrame*> shown;
    for (const auto& f : pic.Frames)
      if (f.HasPixels()) shown.push_back(&f);
    ASSERT_EQ(shown.size(), g.Frames.size());
    for (size_t i = 0; i < shown.size(); ++i) {
      const TGifFrame& f = *shown[i];
      const TOracleFrame& o = g.Frames[i];
      EXPECT_EQ(f.Descriptor.Left, o.Left);
      EXPECT_EQ(f.Descriptor.Top, o.Top);
      EXPECT_EQ(f.Descriptor.Width, o.Width);
      EXPECT_EQ(f.Descriptor.Height, o.Height);
      EXPECT_EQ(f.Interlaced(), o.Interlaced);
      EXPECT_EQ(f.Data, o.Indices);
      EXPECT_EQ(f.TransparentIndex(), o.TransparentIndex);
      const TGifColorMap& map = pic.ActiveColorMap(f);
      ASSERT_EQ(static_cast<size_t>(map.Count), o.Colors.size());
      for (size_t k = 0; k < o.Colors.size(); ++k) EXPECT_EQ(map.Entries[k], o.Colors[k]);
    }
    // And what we write from them reads the same in giflib.
    SaveChecked(pic);
  }
  TGifPicture pic;
  ASSERT_TRUE(pic.LoadFromFile(GifData("im_interlaced.gif")));
  EXPECT_TRUE(pic.Frames[0].Interlaced());
}

// Each file in malformed/ is named for how it was found; every one must fail cleanly.
TEST(GifRead, MalformedFilesFailCleanly) {
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(GifData("malformed"))) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    TGifPicture pic = PictureOf(1, 1, {{9, 9, 9}}, {0});
    const TGifResult r = pic.LoadFromFile(entry.path().string());
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.Error.empty());
    EXPECT_EQ(pic.Frames.size(), 1u);
  }
  EXPECT_GE(files, 8u);
}
