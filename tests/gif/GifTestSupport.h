#pragma once
// Pictures for the codec tests, and the check every written file goes through.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GiflibOracle.h"
#include "gif/GifPicture.h"

inline std::string GifData(const std::string& name) { return std::string(VELL_TEST_DATA) + "/gif/" + name; }

// Deterministic index noise (xorshift), values below `colors`.
inline std::vector<uint8_t> NoiseIndices(size_t count, int colors, uint32_t seed = 12345) {
  std::vector<uint8_t> v(count);
  uint32_t s = seed;
  for (auto& x : v) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    x = static_cast<uint8_t>(s % static_cast<uint32_t>(colors));
  }
  return v;
}

// `colors` distinct palette entries.
inline std::vector<TGifRGB> DistinctPalette(int colors) {
  std::vector<TGifRGB> p;
  for (int i = 0; i < colors; ++i)
    p.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>((i * 37) & 255)});
  return p;
}

inline TGifPicture PictureOf(int width, int height, const std::vector<TGifRGB>& palette,
                             const std::vector<uint8_t>& indices) {
  TGifPalettedBitmap bmp;
  bmp.Width = width;
  bmp.Height = height;
  bmp.BitCount = 8;
  bmp.Palette = palette;
  bmp.Bits = indices;
  TGifPicture pic;
  EXPECT_TRUE(pic.Assign(bmp));
  return pic;
}

// Saves the picture and has giflib read it back: same frames, indices and colours.
inline std::vector<uint8_t> SaveChecked(const TGifPicture& pic) {
  std::vector<uint8_t> bytes;
  const TGifResult res = pic.SaveToMemory(bytes);
  EXPECT_TRUE(res) << res.Error;
  const TOracleGif gif = GiflibDecode(bytes);
  EXPECT_TRUE(gif.Ok) << "giflib error " << gif.Error;
  if (!gif.Ok) return bytes;
  size_t shown = 0;
  for (const auto& f : pic.Frames) shown += f.HasPixels() ? 1 : 0;
  EXPECT_EQ(gif.Frames.size(), shown);
  size_t k = 0;
  for (const auto& f : pic.Frames) {
    if (!f.HasPixels() || k >= gif.Frames.size()) continue;
    const TOracleFrame& o = gif.Frames[k++];
    EXPECT_EQ(o.Width, f.Descriptor.Width);
    EXPECT_EQ(o.Height, f.Descriptor.Height);
    EXPECT_EQ(o.Indices, f.Data) << "frame " << k - 1;
    const TGifColorMap& map = pic.ActiveColorMap(f);
    EXPECT_GE(o.Colors.size(), static_cast<size_t>(map.Count));
    if (o.Colors.size() < static_cast<size_t>(map.Count)) continue;
    for (size_t i = 0; i < o.Colors.size(); ++i)
      EXPECT_EQ(o.Colors[i], i < size_t(map.Count) ? map.Entries[i] : TGifRGB{}) << "entry " << i;
    EXPECT_EQ(o.TransparentIndex, f.TransparentIndex());
  }
  return bytes;
}

inline std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, size_t pos, size_t len) {
  return {v.begin() + static_cast<std::ptrdiff_t>(pos), v.begin() + static_cast<std::ptrdiff_t>(pos + len)};
}
