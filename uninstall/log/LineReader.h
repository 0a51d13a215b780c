// Splits the bytes of an install log into lines.
//
// A line ends at CR; LF is dropped wherever it stands; empty lines are skipped; only the
// first 2047 characters of a line are kept and the rest up to its CR is discarded; the
// last line needs no CR. A NUL ends the text of its line, as it would in a C string.
// The bytes are taken 16 384 at a time, and each line carries the file offset of its
// first character, so that the start of a header line can be cut back to:
//   "*** a\r\nB\r\n" gives ("*** a", 0) and ("B", 7).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace yarb {

constexpr size_t kLogLineChars = 2047;
constexpr size_t kLogReadBuffer = 16384;

struct LogLine {
  std::string text;
  uint64_t offset = 0;  // of the line's first character in the file
};

class LineReader {
 public:
  // `onRead` is told the offset reached after every block taken from `bytes`.
  explicit LineReader(std::string_view bytes,
                      std::function<void(uint64_t offset)> onRead = nullptr);

  // The next non-empty line; false at the end of the bytes.
  bool Next(LogLine* line);

 private:
  bool Fill();

  std::string_view bytes_;
  std::function<void(uint64_t)> onRead_;
  size_t blockStart_ = 0;  // offset of the block held in the buffer
  size_t blockEnd_ = 0;
  size_t pos_ = 0;  // next byte to look at
};

}  // namespace yarb
