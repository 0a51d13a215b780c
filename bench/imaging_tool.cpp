// A small command-line front end over the colour engine, so that whole runs
// (read a 24-bit BMP, apply one operation, write a BMP) can be timed beside
// other image tools on the same file.
//
//   imaging_tool make OUT.bmp WIDTH HEIGHT    write a deterministic test picture
//   imaging_tool OP IN.bmp OUT.bmp            OP: copy, negate, level, gray, brighten
//
// Prints "op_ms <milliseconds>", the processor time of the operation alone
// (reading and writing excluded).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "imaging/Colour.h"
#include "imaging/PixelBuffer.h"

namespace {

using vell::TPixelBuffer;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

bool WriteBmp(const TPixelBuffer& b, const char* path) {
  std::vector<uint8_t> header;
  const uint32_t image = static_cast<uint32_t>(b.BytesPerLine()) * b.Height();
  header.push_back('B');
  header.push_back('M');
  Put32(header, 54 + image);
  Put32(header, 0);
  Put32(header, 54);
  Put32(header, 40);
  Put32(header, static_cast<uint32_t>(b.Width()));
  Put32(header, static_cast<uint32_t>(b.Height()));  // bottom-up, as most readers expect
  Put16(header, 1);
  Put16(header, 24);
  Put32(header, 0);
  Put32(header, image);
  for (int i = 0; i < 4; ++i) Put32(header, 0);
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
  for (int r = b.Height() - 1; r >= 0 && ok; --r)
    ok = std::fwrite(b.Row(r), 1, static_cast<size_t>(b.BytesPerLine()), f) == static_cast<size_t>(b.BytesPerLine());
  return std::fclose(f) == 0 && ok;
}

bool ReadBmp(const char* path, TPixelBuffer& b) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::vector<uint8_t> data;
  uint8_t chunk[1 << 16];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
  std::fclose(f);
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t offset = Get32(&data[10]);
  const int width = static_cast<int>(Get32(&data[18]));
  const int height = static_cast<int>(Get32(&data[22]));
  const int bits = data[28] | data[29] << 8;
  if (bits != 24 || width <= 0 || height == 0 || Get32(&data[30]) != 0) return false;
  b.Allocate(width, height, 0, 24);
  if (b.Empty()) return false;
  const size_t line = static_cast<size_t>(b.BytesPerLine());
  if (offset + line * b.Height() > data.size()) return false;
  for (int r = 0; r < b.Height(); ++r) {
    const int fileRow = height > 0 ? b.Height() - 1 - r : r;
    std::memcpy(b.Row(r), &data[offset + line * fileRow], line);
  }
  return true;
}

// The same straight line as ImageMagick's -level 10%,90%: 25.5 -> 0, 229.5 -> 255.
vell::TChannelTable LevelTable() {
  vell::TChannelTable t;
  for (int v = 0; v < 256; ++v) {
    const double out = (v - 25.5) * 255.0 / 204.0;
    t[static_cast<size_t>(v)] = static_cast<uint8_t>(out < 0 ? 0 : out > 255 ? 255 : out + 0.5);
  }
  return t;
}

int Usage() {
  std::fprintf(stderr, "usage: imaging_tool make OUT W H | imaging_tool copy|negate|level|gray|brighten IN OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const std::string op = argv[1];
  TPixelBuffer b;
  if (op == "make") {
    if (argc < 5) return Usage();
    b.Allocate(std::atoi(argv[3]), std::atoi(argv[4]), 0, 24);
    if (b.Empty()) return 1;
    uint32_t state = 2024;
    for (int r = 0; r < b.Height(); ++r)
      for (int c = 0; c < b.Width(); ++c) {
        state = state * 1103515245u + 12345u;
        const int noise = static_cast<int>(state >> 27);  // 0 ... 31
        b.WritePixel(r, c, static_cast<uint32_t>(((c + noise) & 0xFF) << 16 | ((r + noise) & 0xFF) << 8 |
                                                 ((c ^ r) & 0xFF)));
      }
    return WriteBmp(b, argv[2]) ? 0 : 1;
  }
  if (!ReadBmp(argv[2], b)) {
    std::fprintf(stderr, "cannot read %s (24-bit BMP expected)\n", argv[2]);
    return 1;
  }
  const std::clock_t start = std::clock();
  if (op == "negate") {
    vell::Negate(b);
  } else if (op == "level") {
    const vell::TChannelTable t = LevelTable();
    b.ApplyChannelTables(t.data(), t.data(), t.data());
  } else if (op == "gray") {
    vell::ToGrayScale(b);
  } else if (op == "brighten") {
    vell::Brighten(b);
  } else if (op != "copy") {
    return Usage();
  }
  const double ms = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("op_ms %.3f\n", ms);
  return WriteBmp(b, argv[3]) ? 0 : 1;
}
