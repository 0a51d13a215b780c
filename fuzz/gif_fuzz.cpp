// Feeds arbitrary bytes to the GIF reader; what it accepts is drawn and written back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/GifPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGifPicture pic;
  int warnings = 0;
  pic.OnWarning = [&](const std::string&) { ++warnings; };
  if (!pic.LoadFromMemory(data, size)) return 0;

  TGifBitmap canvas(pic.Header.Width % 512, pic.Header.Height % 512);
  pic.Draw(canvas, 0, 0);
  if (pic.Frames.size() > 1) pic.DrawComposed(canvas, -1, 1, pic.Frames.size() - 1);

  std::vector<uint8_t> out;
  if (pic.SaveToMemory(out)) {
    TGifPicture again;
    (void)again.LoadFromMemory(out.data(), out.size());
  }
  pic.OptimizeColorMap();
  (void)pic.SaveToMemory(out);
  return 0;
}
