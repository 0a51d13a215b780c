#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "editor/BmpFile.h"
#include "editor/ImageFiles.h"
#include "editor/JpegFile.h"
#include "editor/PngFile.h"
#include "tests/editor_files/FilesTestSupport.h"

namespace vell {
namespace {

using testing::MakeBlocks;
using testing::MakePhoto;
using testing::Slurp;
using testing::Spill;
using testing::TTempDir;

TEST(SaveFormat, FollowsTheUpperCasePath) {
  struct TCase {
    const char* path;
    TImageFormat want;
  };
  const TCase cases[] = {
      {"/t/tile.jpg", TImageFormat::Jpeg},
      {"/t/tile", TImageFormat::Jpeg},
      {"/t/tile.jpeg", TImageFormat::Jpeg},
      {"/t/tile.gif", TImageFormat::Gif},
      {"/t/TILE.GIF", TImageFormat::Gif},
      {"/t/tile.gif.jpg", TImageFormat::Gif},    // ".GIF" anywhere wins
      {"/t/a.gifs/tile.bmp", TImageFormat::Gif},  // the folder counts too
      {"/t/tile.Bmp", TImageFormat::Bmp},
      {"/t/tile.bmp.png", TImageFormat::Bmp},    // BMP before PNG
      {"/t/tile.gif.bmp", TImageFormat::Gif},
      {"/t/tile.png", TImageFormat::Png},
      {"/t/tile.PNG", TImageFormat::Png},
      {"/t/tilebmp", TImageFormat::Jpeg},        // needs the dot
  };
  for (const TCase& c : cases) EXPECT_EQ(SaveFormatForPath(c.path), c.want) << c.path;
}

bool SamePixels(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

int MaxDiff(const TPixelBuffer& a, const TPixelBuffer& b) {
  return testing::MaxDifference(testing::BufferRgb(a), testing::BufferRgb(b));
}

TEST(SaveAndOpen, EveryFormatComesBack) {
  TTempDir dir;
  TPixelBuffer blocks, photo;
  MakeBlocks(blocks, 37, 21);  // odd width: padded rows in BMP
  MakePhoto(photo, 64, 48);
  struct TCase {
    const char* name;
    const TPixelBuffer* picture;
    int tolerance;  // largest channel difference after the round trip
  };
  const TCase cases[] = {
      {"a.bmp", &blocks, 0}, {"a.png", &blocks, 0}, {"b.png", &photo, 0},
      {"a.gif", &blocks, 12},  // through a JPEG at quality 100 and the quantiser
      {"a.jpg", &blocks, 160}, {"b.jpg", &photo, 40},  // pure colour edges and halved chroma
  };
  for (const TCase& c : cases) {
    const std::string path = dir / c.name;
    const TSaveResult saved = SaveImageFile(path, *c.picture, TSaveOptions{});
    ASSERT_TRUE(saved) << c.name << ": " << saved.Error;
    TPixelBuffer back;
    const TImageResult read = ReadImageFile(path, back);
    ASSERT_TRUE(read) << c.name << ": " << read.error;
    EXPECT_EQ(back.BitCount(), 24);
    EXPECT_EQ(back.Width(), c.picture->Width());
    EXPECT_EQ(back.Height(), c.picture->Height());
    EXPECT_LE(MaxDiff(back, *c.picture), c.tolerance) << c.name;
  }
  // Only the files themselves: no temporary left behind.
  EXPECT_EQ(dir.Names().size(), std::size(cases));
}

TEST(SaveAndOpen, TheSignatureDecidesWhatIsRead) {
  // A PNG saved under a JPEG-looking name still opens (the rule saves by name, Open reads by content).
  TTempDir dir;
  TPixelBuffer blocks;
  MakeBlocks(blocks, 16, 16);
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(blocks, png));
  Spill(dir / "really-png.jpg", png);
  TPixelBuffer back;
  ASSERT_TRUE(ReadImageFile(dir / "really-png.jpg", back));
  EXPECT_TRUE(SamePixels(back, blocks));
}

TEST(SaveAndOpen, JpegQualityIsTheOneGiven) {
  TPixelBuffer photo;
  MakePhoto(photo, 64, 64);
  std::vector<uint8_t> low, high, viaSave;
  ASSERT_TRUE(EncodeJpeg(photo, 10, low));
  ASSERT_TRUE(EncodeJpeg(photo, 95, high));
  EXPECT_LT(low.size(), high.size() / 2);
  TSaveOptions options;
  options.JpegQuality = 10;
  ASSERT_TRUE(EncodeImage(TImageFormat::Jpeg, photo, options, viaSave));
  EXPECT_EQ(viaSave, low);
}

TEST(SaveAndOpen, BmpOnASixteenBitScreenHasSixteenBits) {
  TTempDir dir;
  TPixelBuffer photo;
  MakePhoto(photo, 33, 9);
  TSaveOptions options;
  options.ScreenBits = 16;
  ASSERT_TRUE(SaveImageFile(dir / "s.bmp", photo, options));
  const std::vector<uint8_t> bytes = Slurp(dir / "s.bmp");
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes[28] | (bytes[29] << 8), 16);  // biBitCount
  TPixelBuffer back;
  ASSERT_TRUE(ReadImageFile(dir / "s.bmp", back));
  // Each channel keeps its top five bits (the reader widens them again).
  for (int y = 0; y < photo.Height(); ++y)
    for (int x = 0; x < photo.Width(); ++x) {
      const TRGB24 a = photo.Row24(y)[x], b = back.Row24(y)[x];
      ASSERT_EQ(a.r >> 3, b.r >> 3);
      ASSERT_EQ(a.g >> 3, b.g >> 3);
      ASSERT_EQ(a.b >> 3, b.b >> 3);
    }
  options.ScreenBits = 24;
  ASSERT_TRUE(SaveImageFile(dir / "t.bmp", photo, options));
  const std::vector<uint8_t> full = Slurp(dir / "t.bmp");
  EXPECT_EQ(full[28], 24);
}

// ---- the GIF save road ----

TEST(GifSave, APhotographGetsAtMost236ColoursInA256EntryMap) {
  TPixelBuffer photo;
  MakePhoto(photo, 96, 64);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(EncodeImage(TImageFormat::Gif, photo, TSaveOptions{}, bytes));
  ASSERT_GT(bytes.size(), 13u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");  // no dialog, no extension
  const uint8_t packed = bytes[10];
  EXPECT_EQ(packed & 0x80, 0x80);  // global map
  EXPECT_EQ(packed & 0x08, 0x08);  // sorted (optimised)
  EXPECT_EQ(packed & 0x07, 7);     // 2^8 entries

  TGifPicture gif;
  ASSERT_TRUE(gif.LoadFromMemory(bytes.data(), bytes.size()));
  std::set<int> used(gif.Frames[0].Data.begin(), gif.Frames[0].Data.end());
  EXPECT_LE(used.size(), 236u);
  EXPECT_GT(used.size(), 100u);  // the quantiser had plenty to do
  EXPECT_LE(*used.rbegin(), 235);
  // The optimised map is ordered by use: the first entry is the most frequent.
  std::vector<int> counts(256);
  for (uint8_t i : gif.Frames[0].Data) ++counts[i];
  EXPECT_EQ(std::max_element(counts.begin(), counts.end()) - counts.begin(), 0);
  // Dithered, but close to the photograph.
  TPixelBuffer back;
  ASSERT_TRUE(GifToBuffer(gif, back));
  long total = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) {
      const TRGB24 a = photo.Row24(y)[x], b = back.Row24(y)[x];
      total += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
  EXPECT_LT(total / (96 * 64 * 3), 12);
}

TEST(GifSave, TheDialogsAnswerDecidesTheExtension) {
  TPixelBuffer blocks;
  MakeBlocks(blocks, 16, 16);
  struct TCase {
    TGifChoice choice;
    bool written;
    const char* version;
    int flags;  // graphic control packed byte, -1 for none
  };
  const TCase cases[] = {
      {{TGifChoice::Ok, 2}, true, "89a", 0x01},
      {{TGifChoice::None, 256}, true, "89a", 0x00},
      {{TGifChoice::Ok, 256}, true, "89a", 0x00},  // OK with nothing picked: no transparency
      {{TGifChoice::Cancel, 256}, false, "", -1},
  };
  for (const TCase& c : cases) {
    int asked = 0;
    int mapCount = 0;
    TSaveOptions options;
    options.AskGifTransparency = [&](const TGifColorMap& map) {
      ++asked;
      mapCount = map.Count;
      return c.choice;
    };
    std::vector<uint8_t> bytes;
    const TSaveResult r = EncodeImage(TImageFormat::Gif, blocks, options, bytes);
    EXPECT_EQ(asked, 1);
    // The optimised map holds only the colours used: the four and a few from the JPEG step's edges.
    EXPECT_GE(mapCount, 4);
    EXPECT_LE(mapCount, 40);
    EXPECT_EQ(r.Outcome, c.written ? TSaveOutcome::Saved : TSaveOutcome::Cancelled);
    if (!c.written) continue;
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 6), c.version);
    TGifPicture gif;
    ASSERT_TRUE(gif.LoadFromMemory(bytes.data(), bytes.size()));
    const TGifGraphicControl* gce = gif.Frames[0].GraphicControl();
    ASSERT_NE(gce, nullptr);
    EXPECT_EQ(gce->Packed, c.flags);
    if (c.flags == 1) EXPECT_EQ(gce->TransparentIndex, 2);
  }
}

TEST(GifSave, CancelWritesNothingAndKeepsTheOldFile) {
  TTempDir dir;
  TPixelBuffer blocks;
  MakeBlocks(blocks, 8, 8);
  Spill(dir / "keep.gif", {'o', 'l', 'd'});
  TSaveOptions options;
  options.AskGifTransparency = [](const TGifColorMap&) { return TGifChoice{TGifChoice::Cancel, 0}; };
  EXPECT_EQ(SaveImageFile(dir / "keep.gif", blocks, options).Outcome, TSaveOutcome::Cancelled);
  EXPECT_EQ(SaveImageFile(dir / "new.gif", blocks, options).Outcome, TSaveOutcome::Cancelled);
  EXPECT_EQ(Slurp(dir / "keep.gif"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"keep.gif"});
}

TEST(GifSave, TheCodecsOwnFileWriterLeavesNoFixedTemporary) {
  // A user's "x.gif.tmp" must survive a save of "x.gif".
  TTempDir dir;
  Spill(dir / "x.gif.tmp", {'m', 'i', 'n', 'e'});
  TPixelBuffer blocks;
  MakeBlocks(blocks, 8, 8);
  TGifPicture gif;
  ASSERT_TRUE(MakeSaveGif(blocks, gif));
  ASSERT_TRUE(gif.SaveToFile(dir / "x.gif"));
  EXPECT_EQ(Slurp(dir / "x.gif.tmp"), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
  std::vector<std::string> names = dir.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"x.gif", "x.gif.tmp"}));
}

// ---- failures ----

TEST(SaveFailure, SaysWhyAndLeavesNothingBehind) {
  TTempDir dir;
  TPixelBuffer blocks;
  MakeBlocks(blocks, 8, 8);
  Spill(dir / "plain", {'x'});
  for (const char* name : {"missing/a.jpg", "plain/a.bmp", "missing/a.png", "missing/a.gif"}) {
    const TSaveResult r = SaveImageFile(dir / name, blocks, TSaveOptions{});
    EXPECT_EQ(r.Outcome, TSaveOutcome::Failed) << name;
    EXPECT_NE(r.Error.find(dir / name), std::string::npos) << r.Error;
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"plain"});
  TPixelBuffer empty;
  EXPECT_EQ(SaveImageFile(dir / "e.jpg", empty, TSaveOptions{}).Outcome, TSaveOutcome::Failed);
}

TEST(SaveFailure, ReplacingKeepsTheFilesMode) {
  TTempDir dir;
  Spill(dir / "m.png", {'o', 'l', 'd'});
  std::filesystem::permissions(dir / "m.png", std::filesystem::perms(0640));
  TPixelBuffer blocks;
  MakeBlocks(blocks, 8, 8);
  ASSERT_TRUE(SaveImageFile(dir / "m.png", blocks, TSaveOptions{}));
  EXPECT_EQ(std::filesystem::status(dir / "m.png").permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0640));
}

// Where the entropy-coded data of the first scan starts.
size_t ScanDataAt(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
  return jpeg.size() / 2;
}

// Truncated and damaged files of every format are refused and the picture is untouched.
TEST(ReadFailure, TruncatedAndCorruptFilesAreRefused) {
  TPixelBuffer photo;
  MakePhoto(photo, 48, 40);
  std::vector<uint8_t> jpeg, png, gif;
  ASSERT_TRUE(EncodeJpeg(photo, 90, jpeg));
  ASSERT_TRUE(EncodePng(photo, png));
  ASSERT_TRUE(EncodeImage(TImageFormat::Gif, photo, TSaveOptions{}, gif));
  const std::vector<uint8_t> bmp = EncodeBmp24(photo);

  auto cut = [](std::vector<uint8_t> v, size_t keep) {
    v.resize(keep);
    return v;
  };
  auto flip = [](std::vector<uint8_t> v, size_t from, size_t count) {
    for (size_t i = from; i < from + count && i < v.size(); ++i) v[i] ^= 0x5A;
    return v;
  };
  auto put = [](std::vector<uint8_t> v, size_t at, std::vector<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), v.begin() + static_cast<std::ptrdiff_t>(at));
    return v;
  };
  struct TCase {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const TCase cases[] = {
      {"empty", {}},
      {"unknown", {'h', 'e', 'l', 'l', 'o'}},
      {"jpeg header only", cut(jpeg, 200)},
      {"jpeg half", cut(jpeg, jpeg.size() / 2)},
      // (Scrambled entropy bytes often still decode: JPEG cannot tell. A marker inside can.)
      {"jpeg marker inside the data", put(jpeg, ScanDataAt(jpeg) + 40, {0xFF, 0xD9})},
      {"png half", cut(png, png.size() / 2)},
      {"png bad crc", flip(png, png.size() / 2, 4)},
      {"png signature only", cut(png, 8)},
      {"gif half", cut(gif, gif.size() / 2)},
      {"gif screen only", cut(gif, 13)},
      {"bmp half", cut(bmp, bmp.size() / 2)},
      {"bmp header only", cut(bmp, 54)},
  };
  for (const TCase& c : cases) {
    TPixelBuffer picture;
    MakeBlocks(picture, 5, 3);
    const TImageResult r = ReadImage(c.bytes.data(), c.bytes.size(), picture);
    EXPECT_FALSE(r) << c.what << " read as " << picture.Width() << "x" << picture.Height();
    EXPECT_FALSE(r.error.empty()) << c.what;
    TPixelBuffer original;
    MakeBlocks(original, 5, 3);
    EXPECT_TRUE(SamePixels(picture, original)) << c.what;
  }
}

TEST(ReadFailure, HugeDimensionsAreRefusedBeforeAllocating) {
  TPixelBuffer photo;
  MakePhoto(photo, 16, 16);
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(EncodeJpeg(photo, 90, jpeg));
  // The SOF0 frame header holds height and width; claim 60000 x 60000.
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = 0xEA, jpeg[i + 6] = 0x60, jpeg[i + 7] = 0xEA, jpeg[i + 8] = 0x60;
      break;
    }
  TPixelBuffer picture;
  const TImageResult r = DecodeJpeg(jpeg.data(), jpeg.size(), picture);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
  EXPECT_TRUE(picture.Empty());
}

TEST(ReadFailure, AMissingFileSaysSo) {
  TPixelBuffer picture;
  const TImageResult r = ReadImageFile("/nonexistent/dir/x.jpg", picture);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("/nonexistent/dir/x.jpg"), std::string::npos);
}

// ---- transparent paste ----

TPixelBuffer Filled(int w, int h, TRGB24 px) {
  TPixelBuffer p;
  p.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row24(y)[x] = px;
  return p;
}

TEST(PasteTransparent, LeavesOutExactlyTheTransparentColour) {
  const TRGB24 white{255, 255, 255}, red{0, 0, 255}, grey{90, 90, 90}, nearWhite{255, 255, 254};
  TPixelBuffer clip = Filled(4, 4, white);
  clip.Row24(1)[1] = red;        // inside
  clip.Row24(0)[3] = nearWhite;  // not equal: pasted
  EXPECT_EQ(LowerLeftColour(clip), 0xFFFFFFu);
  TPixelBuffer work = Filled(4, 4, grey);
  PasteTransparent(work, clip, LowerLeftColour(clip), true);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const TRGB24 px = work.Row24(y)[x];
      const TRGB24 want = (x == 1 && y == 1) ? red : (x == 3 && y == 0) ? nearWhite : grey;
      EXPECT_TRUE(px.r == want.r && px.g == want.g && px.b == want.b) << x << "," << y;
    }
}

TEST(PasteTransparent, SizesWithAndWithoutResize) {
  const TRGB24 grey{90, 90, 90}, blue{255, 0, 0};
  struct TCase {
    int cw, ch;
    bool resize;
    int wantW, wantH;  // the changed top-left block
  };
  const TCase cases[] = {
      {100, 50, false, 100, 50},   // smaller: only its own area
      {100, 50, true, 256, 256},   // stretched over all
      {300, 300, false, 256, 256}, // larger: cut at the edges
      {256, 256, true, 256, 256},
  };
  for (const TCase& c : cases) {
    TPixelBuffer work = Filled(256, 256, grey);
    const TPixelBuffer clip = Filled(c.cw, c.ch, blue);
    PasteTransparent(work, clip, 0x00FF00, c.resize);  // green: nothing transparent
    ASSERT_EQ(work.Width(), 256);
    ASSERT_EQ(work.Height(), 256);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const bool inside = x < c.wantW && y < c.wantH;
        ASSERT_EQ(work.Row24(y)[x].b, inside ? 255 : 90) << c.cw << "x" << c.ch << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace vell
