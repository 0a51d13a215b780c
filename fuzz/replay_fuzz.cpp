// A hostile operation log replayed headless: any bytes, any line, any value.
// The replay either stops with a message naming a line or finishes with a
// picture; on a stop the picture handed in is left as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "editor/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vell;
  // The first byte picks the options; the rest is the log.
  const uint8_t flags = size > 0 ? data[0] : 0;
  const std::string text(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
  TReplayOptions options;
  options.SkipUnreplayable = (flags & 1) != 0;
  options.WrapDrawing = (flags & 2) != 0;
  // Files named by the log are looked for where there are none.
  options.BaseFolder = "/nonexistent-replay-folder";
  size_t skipped = 0;
  options.OnSkipped = [&skipped](size_t, const std::string&, const std::string&) { ++skipped; };
  TPixelBuffer image;
  image.Allocate(3, 2, 0, 24);
  std::memset(image.Bits(), 0x5A, static_cast<size_t>(image.BytesPerLine()) * 2);
  std::istringstream in(text);
  const TReplayResult r = ReplayLog(in, options, image);
  if (r.Ok) {
    if (image.Empty() || image.BitCount() != 24) std::abort();
    if (r.Skipped != skipped) std::abort();
  } else {
    if (r.Message.empty()) std::abort();
    if (image.Width() != 3 || image.Height() != 2 || image.Bits()[0] != 0x5A) std::abort();
  }
  return 0;
}
