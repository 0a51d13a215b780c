#include "dialogs/Texture.h"

#include "imaging/Colour.h"

namespace vell {

void BuiltInTexture(TPixelBuffer& t) {
  t.Allocate(32, 32, 0, 24);
  for (int y = 0; y < 32; ++y) {
    TRGB24* row = t.Row24(y);
    for (int x = 0; x < 32; ++x) {
      const int a = (x / 4 + y / 8) % 2, b = (y / 4 + x / 8) % 2;
      const uint8_t g = static_cast<uint8_t>(150 + 60 * a + 40 * b - ((x % 4 == 0 || y % 4 == 0) ? 50 : 0));
      row[x] = TRGB24{g, g, g};
    }
  }
}

void TextureToGrey(TPixelBuffer& picture) { ToGrayScale(picture); }

}  // namespace vell
