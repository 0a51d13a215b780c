// Feeds arbitrary bytes to the JPEG reader, plain and through the GIF save's quantised
// decode; any crash, hang or sanitizer report is a bug.
#include <cstddef>
#include <cstdint>

#include "editor/JpegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A smaller pixel cap keeps each run fast; the bound logic is the same.
  const uint64_t cap = uint64_t{1} << 20;
  vell::TPixelBuffer picture;
  const vell::TImageResult r = vell::DecodeJpeg(data, size, picture, cap);
  if (r.ok && (picture.Width() <= 0 || picture.Height() <= 0 || picture.BitCount() != 24)) __builtin_trap();
  if (!r.ok && (r.error.empty() || !picture.Empty())) __builtin_trap();
  if (r.ok) {
    TGifPalettedBitmap bitmap;
    const vell::TImageResult q = vell::DecodeJpegQuantized(data, size, vell::kGifQuantizeColours, bitmap, cap);
    if (q.ok && (bitmap.Palette.empty() || bitmap.Palette.size() > 256 ||
                 bitmap.Bits.size() != size_t(bitmap.Width) * size_t(bitmap.Height)))
      __builtin_trap();
  }
  return 0;
}
