// Outcome of reading or writing an image: ok, or a sentence for the user.
#pragma once

#include <string>
#include <utility>

namespace vell {

struct TImageResult {
  bool ok = true;
  std::string error;  // empty when ok
  explicit operator bool() const { return ok; }
  static TImageResult Fail(std::string text) { return TImageResult{false, std::move(text)}; }
};

// Largest picture any reader accepts (pixels), checked before allocating;
// about 200 MB at 24 bits.
inline constexpr unsigned long long kImageMaxPixels = 1ull << 26;

}  // namespace vell
