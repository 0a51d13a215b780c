#include "editor/PngFile.h"

#include <png.h>

#include <cstring>
#include <string>

namespace vell {

namespace {

std::string PngMessage(const char* what, const png_image& image) {
  return std::string(what) + ": " + (image.message[0] ? image.message : "unknown error");
}

}  // namespace

TImageResult EncodePng(const TPixelBuffer& picture, std::vector<uint8_t>& out) {
  if (picture.Empty() || picture.BitCount() != 24) return TImageResult::Fail("There is no 24-bit image to write");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.Width());
  image.height = static_cast<png_uint_32>(picture.Height());
  image.format = PNG_FORMAT_BGR;
  const png_int_32 stride = picture.BytesPerLine();
  png_alloc_size_t size = 0;
  // First the size, then the bytes.
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, picture.Bits(), stride, nullptr))
    return TImageResult::Fail(PngMessage("Cannot write the PNG image", image));
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.Bits(), stride, nullptr))
    return TImageResult::Fail(PngMessage("Cannot write the PNG image", image));
  bytes.resize(size);
  out = std::move(bytes);
  return {};
}

TImageResult DecodePng(const uint8_t* data, size_t size, TPixelBuffer& picture, uint64_t maxPixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    TImageResult r = TImageResult::Fail(PngMessage("Cannot read the PNG image", image));
    png_image_free(&image);
    return r;
  }
  if (image.width == 0 || image.height == 0 || uint64_t(image.width) * image.height > maxPixels ||
      image.width > 65535 || image.height > 65535) {
    const std::string text = "The PNG image is too large (" + std::to_string(image.width) + " x " +
                             std::to_string(image.height) + ")";
    png_image_free(&image);
    return TImageResult::Fail(text);
  }
  TPixelBuffer result;
  result.Allocate(static_cast<int>(image.width), static_cast<int>(image.height), 0, 24);
  if (result.Empty()) {
    png_image_free(&image);
    return TImageResult::Fail("Not enough memory for the PNG image");
  }
  image.format = PNG_FORMAT_BGR;
  // Transparent parts show white, as on a page.
  const png_color white{255, 255, 255};
  if (!png_image_finish_read(&image, &white, result.Bits(), result.BytesPerLine(), nullptr)) {
    TImageResult r = TImageResult::Fail(PngMessage("Cannot read the PNG image", image));
    png_image_free(&image);
    return r;
  }
  png_image_free(&image);
  picture = std::move(result);
  return {};
}

}  // namespace vell
