// Feeds arbitrary bytes to the PNG reader; any crash, hang or sanitizer report is a bug.
#include <cstddef>
#include <cstdint>

#include "editor/PngFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vell::TPixelBuffer picture;
  const vell::TImageResult r = vell::DecodePng(data, size, picture, uint64_t{1} << 20);
  if (r.ok && (picture.Width() <= 0 || picture.Height() <= 0 || picture.BitCount() != 24)) __builtin_trap();
  if (!r.ok && (r.error.empty() || !picture.Empty())) __builtin_trap();
  return 0;
}
