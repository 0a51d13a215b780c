// ImageMagick as the outside oracle: what we write it reads with our pixels,
// and what it writes we read with its pixels.
#include <gtest/gtest.h>

#include "editor/BmpFile.h"
#include "editor/ImageFiles.h"
#include "tests/editor_files/FilesTestSupport.h"

namespace vell {
namespace {

using testing::BufferRgb;
using testing::HaveMagick;
using testing::MagickRgb;
using testing::MakePhoto;
using testing::MaxDifference;
using testing::Shell;
using testing::Spill;
using testing::TTempDir;

TEST(Oracle, ImageMagickReadsWhatWeWrite) {
  if (!HaveMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  TTempDir dir;
  TPixelBuffer photo;
  MakePhoto(photo, 70, 45);
  struct TCase {
    const char* name;
    int screenBits;
    int tolerance;  // against our own reading of the same file
  };
  const TCase cases[] = {
      {"w.bmp", 24, 0}, {"w16.bmp", 16, 0}, {"w.png", 24, 0}, {"w.gif", 24, 0}, {"w.jpg", 24, 2},
  };
  for (const TCase& c : cases) {
    TSaveOptions options;
    options.ScreenBits = c.screenBits;
    ASSERT_TRUE(SaveImageFile(dir / c.name, photo, options)) << c.name;
    TPixelBuffer ours;
    ASSERT_TRUE(ReadImageFile(dir / c.name, ours)) << c.name;
    const std::vector<uint8_t> theirs = MagickRgb(dir / c.name, dir.Path());
    ASSERT_FALSE(theirs.empty()) << "ImageMagick cannot read " << c.name;
    EXPECT_LE(MaxDifference(BufferRgb(ours), theirs), c.tolerance) << c.name;
    EXPECT_GE(MaxDifference(BufferRgb(ours), theirs), 0) << c.name << ": size differs";
  }
  // And the lossless ones are the picture itself.
  for (const char* name : {"w.bmp", "w.png"})
    EXPECT_EQ(MaxDifference(BufferRgb(photo), MagickRgb(dir / name, dir.Path())), 0) << name;
}

TEST(Oracle, WeReadWhatImageMagickWrites) {
  if (!HaveMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  TTempDir dir;
  TPixelBuffer photo;
  MakePhoto(photo, 61, 37);
  Spill(dir / "src.bmp", EncodeBmp24(photo));
  struct TCase {
    const char* name;
    const char* options;
    int tolerance;
    bool optional;  // older ImageMagick builds lack the writer
  };
  const TCase cases[] = {
      {"m1.bmp", "-type Bilevel BMP3:", 0, false},
      {"m4.bmp", "-colors 16 -type Palette BMP3:", 0, false},
      {"m8.bmp", "-colors 200 -type Palette BMP3:", 0, false},
      {"m8rle.bmp", "-colors 200 -type Palette -compress RLE BMP3:", 0, false},
      {"m16.bmp", "-define bmp:subtype=RGB565 BMP:", 0, true},
      {"m24.bmp", "-type TrueColor BMP3:", 0, false},
      {"m32.bmp", "-alpha set -channel A -evaluate set 100% +channel -type TrueColorAlpha BMP:", 0, false},
      {"base.jpg", "-quality 85 ", 3, false},
      {"prog.jpg", "-quality 85 -interlace JPEG ", 3, false},
      {"grey.jpg", "-colorspace Gray ", 3, false},
      {"cmyk.jpg", "-colorspace CMYK ", 6, false},
      {"m.gif", "-colors 64 ", 0, false},
      {"m.png", "", 0, false},
      {"m48.png", "-depth 16 PNG48:", 1, false},
      {"m8.png", "PNG8:", 0, false},
      {"grey.png", "-colorspace Gray ", 0, false},
  };
  for (const TCase& c : cases) {
    const std::string out = dir / c.name;
    if (Shell("convert '" + (dir / "src.bmp") + "' " + c.options + "'" + out + "'") != 0) {
      if (c.optional) continue;
      FAIL() << "ImageMagick cannot write " << c.name;
    }
    TPixelBuffer ours;
    const TImageResult r = ReadImageFile(out, ours);
    ASSERT_TRUE(r) << c.name << ": " << r.error;
    // ImageMagick's own decode, turned to sRGB (CMYK and grey files).
    const std::string rgb = dir / "oracle.rgb";
    ASSERT_EQ(Shell("convert '" + out + "[0]' -colorspace sRGB -depth 8 rgb:'" + rgb + "'"), 0);
    const std::vector<uint8_t> theirs = testing::Slurp(rgb);
    ASSERT_EQ(ours.Width(), 61) << c.name;
    ASSERT_EQ(ours.Height(), 37) << c.name;
    const int diff = MaxDifference(BufferRgb(ours), theirs);
    EXPECT_GE(diff, 0) << c.name;
    EXPECT_LE(diff, c.tolerance) << c.name;
  }
}

}  // namespace
}  // namespace vell
