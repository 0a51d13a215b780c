// Feeds arbitrary bytes to the BMP reader; any crash, hang or sanitizer report is a bug.
#include <cstddef>
#include <cstdint>

#include "editor/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vell::TPixelBuffer picture;
  // A smaller pixel cap keeps each run fast; the bound logic is the same.
  const vell::TBmpResult r = vell::ReadBmp(data, size, picture, uint64_t{1} << 20);
  if (r.ok && (picture.Width() <= 0 || picture.Height() <= 0 || picture.BitCount() != 24)) __builtin_trap();
  if (!r.ok && r.error.empty()) __builtin_trap();
  return 0;
}
