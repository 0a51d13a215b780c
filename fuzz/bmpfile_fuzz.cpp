// Feeds arbitrary bytes to the BMP reader's file road (rows read from the file
// in blocks) and holds it to the in-memory reader: the same outcome, the same
// message, the same pixels. Short inputs are padded with zeros past the
// reader's header look-ahead, so the block road is taken too.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "editor/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  if (file.size() < 70000) file.resize(70000, 0);
  const int fd = ::memfd_create("bmp", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (::write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size())) {
    ::close(fd);
    return 0;
  }
  constexpr uint64_t kCap = uint64_t{1} << 20;
  vell::TPixelBuffer fromFile, fromMemory;
  const vell::TBmpResult a = vell::ReadBmpFromFile(fd, file.size(), fromFile, kCap);
  const vell::TBmpResult b = vell::ReadBmp(file.data(), file.size(), fromMemory, kCap);
  ::close(fd);
  if (a.ok != b.ok || a.error != b.error) __builtin_trap();
  if (a.ok) {
    if (fromFile.Width() != fromMemory.Width() || fromFile.Height() != fromMemory.Height()) __builtin_trap();
    const size_t bytes = size_t(fromFile.BytesPerLine()) * size_t(fromFile.Height());
    if (std::memcmp(fromFile.Bits(), fromMemory.Bits(), bytes) != 0) __builtin_trap();
  }
  return 0;
}
