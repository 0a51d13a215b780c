// Shared helpers of the image-file tests: temporary folders, test pictures,
// and ImageMagick as the outside decoder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell::testing {

inline std::vector<uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void Spill(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with everything in it at the end of the test.
class TTempDir {
 public:
  TTempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "vellfiles-XXXXXX").string();
    path_ = ::mkdtemp(t.data()) ? t : std::string();
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::string path_;
};

// A photograph-like picture: smooth ramps with noise, thousands of colours.
inline void MakePhoto(TPixelBuffer& p, int w, int h) {
  p.Allocate(w, h, 0, 24);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) % 24) - 12;
      auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      TRGB24& px = p.Row24(y)[x];
      px.r = clamp(x * 255 / (w - 1) + noise);
      px.g = clamp(y * 255 / (h - 1) - noise);
      px.b = clamp(128 + ((x - w / 2) * (y - h / 2)) / 16 + noise / 2);
    }
}

// Flat blocks of a few colours: exact in every lossless format.
inline void MakeBlocks(TPixelBuffer& p, int w, int h) {
  p.Allocate(w, h, 0, 24);
  const TRGB24 colours[] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {40, 90, 200}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row24(y)[x] = colours[(x / 8 + 2 * (y / 8)) % 6];
}

// Runs a shell command line; its exit code.
inline int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

inline bool HaveMagick() { return Shell("command -v convert") == 0; }

// ImageMagick's decode of a file as 8-bit RGB, rows top-down; empty on failure.
inline std::vector<uint8_t> MagickRgb(const std::string& file, const std::string& scratch) {
  const std::string out = scratch + "/magick.rgb";
  std::remove(out.c_str());
  if (Shell("convert '" + file + "[0]' -depth 8 rgb:'" + out + "'") != 0) return {};
  return Slurp(out);
}

// The buffer as 8-bit RGB rows, to compare with MagickRgb.
inline std::vector<uint8_t> BufferRgb(const TPixelBuffer& p) {
  std::vector<uint8_t> v;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const TRGB24 px = p.Row24(y)[x];
      v.insert(v.end(), {px.r, px.g, px.b});
    }
  return v;
}

// Largest channel difference, -1 when the sizes differ.
inline int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return -1;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
  return worst;
}

}  // namespace vell::testing
