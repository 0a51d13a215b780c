// The file road of the BMP reader and writer (rows moved in blocks between
// the file and the picture) against the in-memory decoder and encoder.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/BmpFile.h"
#include "editor/ImageFiles.h"

namespace vell {
namespace {

class TScratch {
 public:
  TScratch() {
    std::string t = (std::filesystem::temp_directory_path() / "vellbmp-XXXXXX").string();
    path_ = ::mkdtemp(t.data()) ? t : std::string();
  }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void Spill(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// An uncompressed file with noise in every byte after the header, row
// padding included (8 bits: a grey ramp palette first).
std::vector<uint8_t> NoiseFile(int32_t w, int32_t h, uint16_t bpp, uint32_t seed) {
  const uint32_t palette = bpp == 8 ? 1024 : 0;
  const uint64_t rowBytes = ((uint64_t(w) * bpp + 31) / 32) * 4;
  const uint32_t off = 54 + palette;
  std::vector<uint8_t> v(off + rowBytes * uint64_t(h < 0 ? -h : h), 0);
  auto put32 = [&](size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
  };
  v[0] = 'B';
  v[1] = 'M';
  put32(2, uint32_t(v.size()));
  put32(10, off);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  v[26] = 1;
  v[28] = uint8_t(bpp);
  for (uint32_t i = 0; i < palette / 4; ++i) v[54 + 4 * i] = v[55 + 4 * i] = v[56 + 4 * i] = uint8_t(i);
  for (size_t i = off; i < v.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    v[i] = uint8_t(seed >> 24);
  }
  return v;
}

void ExpectSameBuffer(const TPixelBuffer& got, const TPixelBuffer& want, const std::string& what) {
  ASSERT_EQ(got.Width(), want.Width()) << what;
  ASSERT_EQ(got.Height(), want.Height()) << what;
  ASSERT_EQ(got.BitCount(), 24) << what;
  const size_t bytes = size_t(got.BytesPerLine()) * size_t(got.Height());
  EXPECT_EQ(std::memcmp(got.Bits(), want.Bits(), bytes), 0) << what;
  // Row padding never carries what the file kept there.
  for (int y = 0; y < got.Height(); ++y)
    for (int i = got.Width() * 3; i < got.BytesPerLine(); ++i) ASSERT_EQ(got.Row(y)[i], 0) << what << " row " << y;
}

struct TShape {
  const char* what;
  int32_t width, height;  // a negative height is a top-down file
  uint16_t bpp;
};

// Past the 64 KiB header look-ahead the rows come straight from the file
// (24 bits) or the file is decoded whole (other depths); small files are
// decoded whole. Every road gives the in-memory decoder's picture.
TEST(BmpFileRoad, ReadsAsTheMemoryDecoder) {
  const TShape shapes[] = {
      {"small, padded", 5, 3, 24},
      {"small, top-down", 7, -4, 24},
      {"large, no padding", 256, 200, 24},
      {"large, padded", 151, 211, 24},
      {"large, top-down, padded", 151, -211, 24},
      {"more rows than one gathered read", 5, 5000, 24},
      {"one pixel wide, many rows", 1, 6000, 24},
      {"large 32 bits", 200, 150, 32},
      {"large 8 bits", 333, 250, 8},
  };
  TScratch dir;
  uint32_t seed = 7;
  for (const TShape& s : shapes) {
    const std::vector<uint8_t> file = NoiseFile(s.width, s.height, s.bpp, seed++);
    const std::string path = dir / "in.bmp";
    Spill(path, file);
    TPixelBuffer fromMemory, fromFile, fromImageFiles;
    ASSERT_TRUE(ReadBmp(file.data(), file.size(), fromMemory).ok) << s.what;
    const TBmpResult r = ReadBmpFile(path, fromFile);
    ASSERT_TRUE(r.ok) << s.what << ": " << r.error;
    ExpectSameBuffer(fromFile, fromMemory, s.what);
    const TImageResult any = ReadImageFile(path, fromImageFiles);
    ASSERT_TRUE(any.ok) << s.what << ": " << any.error;
    ExpectSameBuffer(fromImageFiles, fromMemory, std::string(s.what) + " (image files)");
  }
}

// Broken large files fail on the file road with the memory decoder's message,
// and before any picture memory is taken for the size the header claims.
TEST(BmpFileRoad, BrokenFilesFailAsInMemory) {
  struct TCut {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  std::vector<TCut> cuts;
  {
    std::vector<uint8_t> v = NoiseFile(300, 300, 24, 1);
    v.resize(v.size() - 1);
    cuts.push_back({"last byte missing", v, "truncated (pixel data)"});
  }
  {
    // A header claiming 8000 x 8000 over 100 KB of rows.
    std::vector<uint8_t> v = NoiseFile(100, 340, 24, 2);
    for (int i = 0; i < 4; ++i) v[18 + i] = v[22 + i] = uint8_t(8000u >> (8 * i));
    cuts.push_back({"claimed size far beyond the file", v, "truncated (pixel data)"});
  }
  {
    std::vector<uint8_t> v = NoiseFile(300, 300, 24, 3);
    for (int i = 0; i < 4; ++i) v[10 + i] = uint8_t(0x7FFFFFF0u >> (8 * i));
    cuts.push_back({"pixel offset past the end", v, "outside the file"});
  }
  {
    std::vector<uint8_t> v = NoiseFile(400, 400, 8, 4);
    v.resize(v.size() / 2);
    cuts.push_back({"8 bits, half the rows", v, "truncated (pixel data)"});
  }
  {
    std::vector<uint8_t> v = NoiseFile(300, 300, 24, 5);
    v[28] = 7;
    cuts.push_back({"unknown bit count", v, "bit count 7"});
  }
  TScratch dir;
  for (const TCut& c : cuts) {
    const std::string path = dir / "bad.bmp";
    Spill(path, c.bytes);
    TPixelBuffer kept;
    kept.Allocate(2, 2, 0, 24);
    kept.Row24(1)[1] = TRGB24{1, 2, 3};
    const TBmpResult memory = ReadBmp(c.bytes.data(), c.bytes.size(), kept);
    const TBmpResult file = ReadBmpFile(path, kept);
    EXPECT_FALSE(file.ok) << c.what;
    EXPECT_NE(file.error.find(c.message), std::string::npos) << c.what << ": " << file.error;
    EXPECT_EQ(file.error, memory.error + ": " + path) << c.what;
    EXPECT_EQ(kept.Width(), 2) << c.what;
    EXPECT_EQ(kept.Row24(1)[1].r, 3) << c.what;
  }
}

// The file written from the rows is byte for byte the encoder's, with zero
// padding whatever the picture's padding bytes hold.
TEST(BmpFileRoad, WritesAsTheEncoder) {
  const TShape shapes[] = {
      {"one pixel", 1, 1, 24},
      {"padded", 5, 3, 24},
      {"no padding", 256, 100, 24},
      {"more rows than one gathered write", 3, 2100, 24},
  };
  TScratch dir;
  for (const TShape& s : shapes) {
    TPixelBuffer p;
    p.Allocate(s.width, s.height, 0, 24);
    uint32_t seed = uint32_t(s.width * 7 + s.height);
    for (int y = 0; y < p.Height(); ++y)
      for (int i = 0; i < p.BytesPerLine(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        p.Row(y)[i] = uint8_t(seed >> 24);  // padding bytes too
      }
    std::vector<uint8_t> want = EncodeBmp24(p);
    const std::string path = dir / "out.bmp";
    const TBmpResult r = WriteBmpFile(path, p);
    ASSERT_TRUE(r.ok) << s.what << ": " << r.error;
    EXPECT_EQ(Slurp(path), want) << s.what;
    const size_t pad = size_t(p.Gap());
    for (int row = 0; row < p.Height() && pad > 0; ++row)
      for (size_t i = 0; i < pad; ++i)
        ASSERT_EQ(want[54 + size_t(row + 1) * size_t(p.BytesPerLine()) - 1 - i], 0) << s.what;
    // The save road for .bmp writes the same bytes.
    ASSERT_TRUE(SaveImageFile(dir / "saved.bmp", p, TSaveOptions{})) << s.what;
    EXPECT_EQ(Slurp(dir / "saved.bmp"), want) << s.what;
  }
}

}  // namespace
}  // namespace vell
