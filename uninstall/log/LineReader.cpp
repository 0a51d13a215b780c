#include "LineReader.h"

#include <algorithm>

namespace yarb {

LineReader::LineReader(std::string_view bytes, std::function<void(uint64_t)> onRead)
    : bytes_(bytes), onRead_(std::move(onRead)) {}

bool LineReader::Fill() {
  if (blockEnd_ >= bytes_.size()) return false;
  blockStart_ = blockEnd_;
  blockEnd_ = std::min(bytes_.size(), blockStart_ + kLogReadBuffer);
  if (onRead_) onRead_(blockEnd_);
  return true;
}

bool LineReader::Next(LogLine* line) {
  line->text.clear();
  bool started = false;
  bool ended = false;  // a NUL closed the text; the rest of the line is skipped
  for (;;) {
    if (pos_ >= blockEnd_ && !Fill()) {
      if (started && !line->text.empty()) return true;
      return false;
    }
    const char c = bytes_[pos_];
    ++pos_;
    if (c == '\n') continue;
    if (c == '\r') {
      if (started && !line->text.empty()) return true;
      started = false;
      ended = false;
      continue;
    }
    if (!started) {
      started = true;
      line->offset = pos_ - 1;
    }
    if (c == '\0') ended = true;
    if (!ended && line->text.size() < kLogLineChars) line->text.push_back(c);
  }
}

}  // namespace yarb
