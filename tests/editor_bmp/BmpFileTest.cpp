#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/BmpFile.h"

namespace vell {
namespace {

const std::string kDir = std::string(VELL_TEST_DATA) + "/bmp/";

std::vector<uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct TPpm {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// Binary P6, maxval 255, no comments (what ImageMagick writes).
TPpm ReadPpm(const std::string& path) {
  const std::vector<uint8_t> bytes = Slurp(path);
  std::string text(bytes.begin(), bytes.end());
  std::istringstream in(text);
  std::string magic;
  int maxval = 0;
  TPpm p;
  in >> magic >> p.width >> p.height >> maxval;
  in.get();
  const size_t at = static_cast<size_t>(in.tellg());
  p.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(maxval, 255);
  return p;
}

// Every sample against ImageMagick's decode of the same file.
class BmpSample : public ::testing::TestWithParam<const char*> {};

TEST_P(BmpSample, DecodesLikeImageMagick) {
  const std::string name = GetParam();
  TPixelBuffer picture;
  const TBmpResult r = ReadBmpFile(kDir + name + ".bmp", picture);
  ASSERT_TRUE(r.ok) << r.error;
  const TPpm want = ReadPpm(kDir + name + ".ppm");
  ASSERT_EQ(picture.Width(), want.width);
  ASSERT_EQ(picture.Height(), want.height);
  ASSERT_EQ(picture.BitCount(), 24);
  ASSERT_EQ(want.rgb.size(), static_cast<size_t>(want.width * want.height * 3));
  int mismatches = 0;
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      const TRGB24 got = picture.Row24(y)[x];
      const uint8_t* w = &want.rgb[static_cast<size_t>((y * want.width + x) * 3)];
      if (got.r != w[0] || got.g != w[1] || got.b != w[2]) {
        if (++mismatches <= 5)
          ADD_FAILURE() << name << " (" << x << "," << y << "): got " << int(got.r) << "," << int(got.g) << ","
                        << int(got.b) << " want " << int(w[0]) << "," << int(w[1]) << "," << int(w[2]);
      }
    }
  EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpSample,
                         ::testing::Values("bpp1", "bpp4", "bpp8", "bpp8_topdown", "rle8", "rle8_delta", "rle4",
                                           "rgb555", "bitfields555", "bitfields565", "bpp24", "bpp24_topdown",
                                           "core24", "core4", "bpp32_rgb", "bpp32_bitfields"));

// Hand-made RLE4: exact pixels of the script's rows (palette of 16 VGA colours).
TEST(BmpRle, Rle4RowsAsEncoded) {
  TPixelBuffer p;
  ASSERT_TRUE(ReadBmpFile(kDir + "rle4.bmp", p).ok);
  auto red = [&](int x, int fileRow) { return p.Row24(p.Height() - 1 - fileRow)[x].r; };
  auto blue = [&](int x, int fileRow) { return p.Row24(p.Height() - 1 - fileRow)[x].b; };
  EXPECT_EQ(red(0, 0), 255);   // index 9: red
  EXPECT_EQ(blue(0, 0), 0);
  EXPECT_EQ(red(1, 0), 0);     // index 10: lime
  EXPECT_EQ(red(12, 0), 255);
  EXPECT_EQ(blue(12, 2), 255); // last of the 13-pixel absolute run: index 12, blue
  EXPECT_EQ(red(5, 4), 0);     // skipped by the delta (row 3, x 2 -> row 4, x 6): index 0, black
  EXPECT_EQ(blue(5, 4), 0);
  EXPECT_EQ(red(6, 4), 0);     // index 14: cyan
  EXPECT_EQ(blue(6, 4), 255);
  EXPECT_EQ(red(7, 4), 128);   // index 1: maroon
  EXPECT_EQ(blue(0, 6), 0);    // after the end-of-bitmap code: index 0
}

TEST(BmpWriter, RoundTripKeepsPixelsAndPadding) {
  TPixelBuffer src;
  src.Allocate(5, 3, 0, 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) src.Row24(y)[x] = TRGB24{uint8_t(x * 40), uint8_t(y * 100), uint8_t(x + y)};
  const std::vector<uint8_t> bytes = EncodeBmp24(src);
  ASSERT_EQ(bytes.size(), 54u + 16u * 3u);  // 5 * 3 = 15 bytes padded to 16
  EXPECT_EQ(bytes[0], 'B');
  // The first stored row is the bottom one.
  EXPECT_EQ(bytes[54 + 1], 200);
  TPixelBuffer back;
  ASSERT_TRUE(ReadBmp(bytes.data(), bytes.size(), back).ok);
  ASSERT_EQ(back.Width(), 5);
  ASSERT_EQ(back.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(back.Row24(y)[x].b, src.Row24(y)[x].b);
      EXPECT_EQ(back.Row24(y)[x].g, src.Row24(y)[x].g);
      EXPECT_EQ(back.Row24(y)[x].r, src.Row24(y)[x].r);
    }
}

// --- hostile input --------------------------------------------------------

std::vector<uint8_t> Header(int32_t w, int32_t h, uint16_t bpp, uint32_t comp, uint32_t off, uint32_t clrUsed = 0) {
  std::vector<uint8_t> v(54, 0);
  auto put32 = [&](size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
  };
  v[0] = 'B';
  v[1] = 'M';
  put32(10, off);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  v[26] = 1;
  v[28] = uint8_t(bpp);
  put32(30, comp);
  put32(46, clrUsed);
  return v;
}

struct TBadCase {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* message;  // a part of the expected error text
};

TEST(BmpHostile, MalformedFilesFailWithAMessage) {
  std::vector<TBadCase> cases = {
      {"empty", {}, "Not a BMP"},
      {"wrong magic", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "Not a BMP"},
      {"zero width", Header(0, 4, 24, 0, 54), "Invalid BMP image size"},
      {"zero height", Header(4, 0, 24, 0, 54), "Invalid BMP image size"},
      {"negative width", Header(-4, 4, 24, 0, 54), "Invalid BMP image size"},
      {"huge picture", Header(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 54), "too large"},
      {"huge top-down", Header(100000, -100000, 24, 0, 54), "too large"},
      {"bit count 7", Header(2, 2, 7, 0, 54), "bit count 7"},
      {"compression 9", Header(2, 2, 24, 9, 54), "compression 9"},
      {"rle8 at 24 bits", Header(2, 2, 24, 1, 54), "RLE8"},
      {"rle top-down", Header(2, -2, 8, 1, 54), "top-down"},
      {"pixels missing", Header(4, 4, 24, 0, 54), "truncated"},
      {"offset past end", Header(1, 1, 24, 0, 0xFFFFFFF0u), "outside"},
      {"palette missing", Header(2, 2, 8, 0, 54), "colour table"},
      {"bitfields without masks", Header(2, 2, 16, 3, 54), "masks"},
  };
  {
    std::vector<uint8_t> v = Header(1, 1, 24, 0, 54);
    v.resize(30);
    cases.push_back({"header cut short", v, "truncated"});
  }
  {
    std::vector<uint8_t> v = Header(2, 2, 8, 1, 58, 1);  // RLE8 that stops mid-row
    v.insert(v.end(), {0, 0, 0, 0, 2, 5});
    cases.push_back({"rle runs out", v, "truncated"});
  }
  {
    std::vector<uint8_t> v = Header(2, 2, 16, 3, 66);  // mask with a hole
    const uint8_t masks[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x15, 0, 0, 0};
    v.insert(v.end(), masks, masks + 12);
    cases.push_back({"gappy mask", v, "mask"});
  }
  for (const TBadCase& c : cases) {
    TPixelBuffer picture;
    picture.Allocate(3, 3, 0, 24);
    picture.Row24(1)[1] = TRGB24{1, 2, 3};
    const TBmpResult r = ReadBmp(c.bytes.data(), c.bytes.size(), picture);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_NE(r.error.find(c.message), std::string::npos) << c.what << ": " << r.error;
    // The caller's picture is untouched.
    EXPECT_EQ(picture.Width(), 3) << c.what;
    EXPECT_EQ(picture.Row24(1)[1].r, 3) << c.what;
  }
}

// Every prefix of every sample either decodes or fails with a message.
TEST(BmpHostile, EveryTruncationFailsCleanly) {
  for (const char* name : {"bpp1", "bpp4", "rle8", "rle4", "bitfields565", "core24", "bpp32_bitfields"}) {
    const std::vector<uint8_t> whole = Slurp(kDir + name + ".bmp");
    ASSERT_FALSE(whole.empty()) << name;
    for (size_t n = 0; n < whole.size(); ++n) {
      TPixelBuffer p;
      const TBmpResult r = ReadBmp(whole.data(), n, p);
      if (!r.ok) EXPECT_FALSE(r.error.empty()) << name << " cut at " << n;
      else EXPECT_EQ(p.Width(), 13) << name << " cut at " << n;
    }
  }
}

TEST(BmpHostile, PixelCapAppliesBeforeAllocation) {
  std::vector<uint8_t> v = Header(64, 64, 8, 1, 58, 1);
  v.insert(v.end(), {0, 0, 0, 0, 0, 1});
  TPixelBuffer p;
  EXPECT_TRUE(ReadBmp(v.data(), v.size(), p).ok);
  const TBmpResult r = ReadBmp(v.data(), v.size(), p, 64 * 63);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("too large"), std::string::npos);
}

TEST(BmpHostile, MissingFileNamesThePath) {
  TPixelBuffer p;
  const TBmpResult r = ReadBmpFile(kDir + "no-such-file.bmp", p);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("no-such-file.bmp"), std::string::npos);
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

// A run longer than its row stops at the right edge; it does not spill into the next row.
TEST(BmpRle, RunPastRowEndIsClipped) {
  std::vector<uint8_t> v = Header(2, 2, 8, 1, 62, 2);
  v.insert(v.end(), {0, 0, 0, 0, 0, 0, 255, 0});  // colour 0 black, colour 1 red
  v.insert(v.end(), {5, 1, 0, 0, 0, 1});          // bottom row: five reds, end of line, end
  TPixelBuffer p;
  const TBmpResult r = ReadBmp(v.data(), v.size(), p);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(p.Row24(1)[0].r, 255);
  EXPECT_EQ(p.Row24(1)[1].r, 255);
  EXPECT_EQ(p.Row24(0)[0].r, 0);
  EXPECT_EQ(p.Row24(0)[1].r, 0);
}

}  // namespace
}  // namespace vell
