// Helpers shared by the pattern generator tests.
#pragma once

#include <cstdint>

#include "imaging/PixelBuffer.h"

namespace vell::pattest {

inline TRGB24 Gray(uint8_t v) { return TRGB24{v, v, v}; }

// Fixes the seed ReseedRandom takes for the life of the object.
class FixedSeed {
 public:
  explicit FixedSeed(uint32_t seed = 1) { Set(seed); }
  ~FixedSeed() { SetReseedSource({}); }
  FixedSeed(const FixedSeed&) = delete;
  FixedSeed& operator=(const FixedSeed&) = delete;
  void Set(uint32_t seed) {
    SetReseedSource([seed] { return seed; });
  }
};

}  // namespace vell::pattest
