#include "editor/ImageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <string_view>

#include "editor/BmpFile.h"
#include "editor/IniFile.h"
#include "editor/JpegFile.h"
#include "editor/PngFile.h"

namespace vell {

TImageFormat SaveFormatForPath(const std::string& path) {
  std::string upper = path;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  if (upper.find(".GIF") != std::string::npos) return TImageFormat::Gif;
  if (upper.find(".BMP") != std::string::npos) return TImageFormat::Bmp;
  if (upper.find(".PNG") != std::string::npos) return TImageFormat::Png;
  return TImageFormat::Jpeg;
}

TImageFormat SniffImageFormat(const uint8_t* data, size_t size) {
  auto starts = [&](std::string_view magic, size_t at = 0) {
    return size >= at + magic.size() && std::memcmp(data + at, magic.data(), magic.size()) == 0;
  };
  if (starts("BM")) return TImageFormat::Bmp;
  if (starts("\xFF\xD8")) return TImageFormat::Jpeg;
  if (starts("\x89PNG\r\n\x1A\n")) return TImageFormat::Png;
  // The GIF reader also takes a signature after a 4-byte length prefix, in any letter case.
  auto gifAt = [&](size_t at) {
    return size >= at + 3 && std::toupper(data[at]) == 'G' && std::toupper(data[at + 1]) == 'I' &&
           std::toupper(data[at + 2]) == 'F';
  };
  if (gifAt(0) || gifAt(4)) return TImageFormat::Gif;
  return TImageFormat::Unknown;
}

TImageResult GifToBuffer(const TGifPicture& gif, TPixelBuffer& picture) {
  const int w = gif.Header.Width, h = gif.Header.Height;
  if (w <= 0 || h <= 0 || gif.Frames.empty()) return TImageResult::Fail("The GIF file holds no picture");
  if (uint64_t(w) * uint64_t(h) > kImageMaxPixels) return TImageResult::Fail("The GIF image is too large");
  TGifBitmap canvas(w, h);
  TGifRGB fill;
  gif.TransparentColor(fill);  // black when there is none
  canvas.Fill(fill);
  gif.Draw(canvas);
  TPixelBuffer result;
  result.Allocate(w, h, 0, 24);
  if (result.Empty()) return TImageResult::Fail("Not enough memory for the GIF image");
  for (int y = 0; y < h; ++y) std::memcpy(result.Row(y), canvas.Row(y), static_cast<size_t>(w) * 3);
  picture = std::move(result);
  return {};
}

TImageResult ReadImage(const uint8_t* data, size_t size, TPixelBuffer& picture) {
  switch (SniffImageFormat(data, size)) {
    case TImageFormat::Bmp: {
      const TBmpResult r = ReadBmp(data, size, picture, kImageMaxPixels);
      return r ? TImageResult{} : TImageResult::Fail(r.error);
    }
    case TImageFormat::Jpeg:
      return DecodeJpeg(data, size, picture);
    case TImageFormat::Png:
      return DecodePng(data, size, picture);
    case TImageFormat::Gif: {
      TGifPicture gif;
      const TGifResult r = gif.LoadFromMemory(data, size);
      if (!r) return TImageResult::Fail("Cannot read the GIF image: " + r.Error);
      return GifToBuffer(gif, picture);
    }
    case TImageFormat::Unknown:
      break;
  }
  if (size == 0) return TImageResult::Fail("The file is empty");
  return TImageResult::Fail("Unknown picture file format (not BMP, JPEG, GIF or PNG)");
}

namespace {

// A BMP file is read straight into its picture rather than whole into memory
// first; false when the file is not one (or cannot be looked at), and the
// general road reports why.
bool ReadBmpDirect(const std::string& path, TPixelBuffer& picture, TImageResult& result) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  char magic[2] = {};
  const bool bmp = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 2 &&
                   static_cast<uint64_t>(st.st_size) <= uint64_t{kImageMaxPixels} * 4 + (1u << 20) &&
                   ::pread(fd, magic, 2, 0) == 2 && magic[0] == 'B' && magic[1] == 'M';
  if (bmp) {
    const TBmpResult r = ReadBmpFromFile(fd, static_cast<uint64_t>(st.st_size), picture, kImageMaxPixels);
    result = r ? TImageResult{} : TImageResult::Fail(path + ": " + r.error);
  }
  ::close(fd);
  return bmp;
}

}  // namespace

TImageResult ReadImageFile(const std::string& path, TPixelBuffer& picture) {
  if (TImageResult direct; ReadBmpDirect(path, picture, direct)) return direct;
  std::string bytes;
  // No picture we accept needs more than its pixels at 32 bits plus headers.
  const TFileResult f = ReadFileBytes(path, bytes, size_t(kImageMaxPixels) * 4 + (1u << 20));
  if (!f.ok) return TImageResult::Fail(f.message);
  TImageResult r = ReadImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture);
  if (!r) r.error = path + ": " + r.error;
  return r;
}

TImageResult MakeSaveGif(const TPixelBuffer& picture, TGifPicture& gif) {
  TGifPalettedBitmap bitmap;
  if (TImageResult r = ReduceToPalette(picture, bitmap); !r) return r;
  TGifPicture result;
  if (const TGifResult g = result.Assign(bitmap); !g) return TImageResult::Fail(g.Error);
  result.OptimizeColorMap();
  gif = std::move(result);
  return {};
}

void ApplyGifChoice(TGifPicture& gif, const TGifChoice& choice) {
  switch (choice.Kind) {
    case TGifChoice::Ok:
      // Nothing picked is the same as no transparent colour.
      if (choice.Index >= 0 && choice.Index < 256) {
        gif.AddGraphicControl(true, choice.Index);
        return;
      }
      [[fallthrough]];
    case TGifChoice::None:
      gif.AddGraphicControl(false, 0);
      return;
    case TGifChoice::Cancel:
      return;
  }
}

TSaveResult EncodeImage(TImageFormat format, const TPixelBuffer& picture, const TSaveOptions& options,
                        std::vector<uint8_t>& bytes) {
  auto failed = [](std::string text) { return TSaveResult{TSaveOutcome::Failed, std::move(text)}; };
  if (picture.Empty() || picture.BitCount() != 24) return failed("There is no image to write");
  switch (format) {
    case TImageFormat::Bmp:
      bytes = options.ScreenBits == 16 ? EncodeBmp16(picture) : EncodeBmp24(picture);
      return {};
    case TImageFormat::Png:
      if (TImageResult r = EncodePng(picture, bytes); !r) return failed(r.error);
      return {};
    case TImageFormat::Gif: {
      TGifPicture gif;
      if (TImageResult r = MakeSaveGif(picture, gif); !r) return failed(r.error);
      if (options.AskGifTransparency) {
        const TGifChoice choice = options.AskGifTransparency(gif.ColorMap());
        if (choice.Kind == TGifChoice::Cancel) return {TSaveOutcome::Cancelled, {}};
        ApplyGifChoice(gif, choice);
      }
      if (const TGifResult g = gif.SaveToMemory(bytes); !g) return failed("Cannot write the GIF image: " + g.Error);
      return {};
    }
    case TImageFormat::Jpeg:
    case TImageFormat::Unknown:
      if (TImageResult r = EncodeJpeg(picture, options.JpegQuality, bytes); !r) return failed(r.error);
      return {};
  }
  return failed("Unknown picture file format");
}

TSaveResult SaveImageFile(const std::string& path, const TPixelBuffer& picture, const TSaveOptions& options) {
  const TImageFormat format = SaveFormatForPath(path);
  if (format == TImageFormat::Bmp && options.ScreenBits != 16 && !picture.Empty() && picture.BitCount() == 24) {
    // Rows go to the file straight from the picture.
    const TBmpResult w = WriteBmpFile(path, picture);
    return w ? TSaveResult{} : TSaveResult{TSaveOutcome::Failed, w.error};
  }
  std::vector<uint8_t> bytes;
  TSaveResult r = EncodeImage(format, picture, options, bytes);
  if (r.Outcome != TSaveOutcome::Saved) {
    if (r.Outcome == TSaveOutcome::Failed) r.Error = "Cannot save " + path + ": " + r.Error;
    return r;
  }
  if (TImageResult w = WriteFileReplacing(path, bytes); !w) return {TSaveOutcome::Failed, w.error};
  return {};
}

TImageResult WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  const TFileResult r =
      ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return r.ok ? TImageResult{} : TImageResult::Fail(r.message);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void PasteTransparent(TPixelBuffer& target, const TPixelBuffer& picture, uint32_t transparent, bool resize) {
  if (target.Empty() || picture.Empty() || target.BitCount() != 24 || picture.BitCount() != 24) return;
  const TPixelBuffer* source = &picture;
  TPixelBuffer stretched;
  if (resize && (picture.Width() != target.Width() || picture.Height() != target.Height())) {
    stretched.Allocate(target.Width(), target.Height(), 0, 24);
    if (stretched.Empty()) return;
    picture.PaintStretched(stretched, 0, 0, target.Width(), target.Height());
    source = &stretched;
  }
  const uint8_t tr = transparent & 0xFF, tg = (transparent >> 8) & 0xFF, tb = (transparent >> 16) & 0xFF;
  const int w = std::min(source->Width(), target.Width());
  const int h = std::min(source->Height(), target.Height());
  for (int y = 0; y < h; ++y) {
    const TRGB24* s = source->Row24(y);
    TRGB24* d = target.Row24(y);
    for (int x = 0; x < w; ++x) {
      if (s[x].b == tb && s[x].g == tg && s[x].r == tr) continue;
      d[x] = s[x];
    }
  }
}

uint32_t LowerLeftColour(const TPixelBuffer& picture) {
  if (picture.Empty()) return 0;
  uint8_t b = 0, g = 0, r = 0;
  picture.ReadPixel(picture.Height() - 1, 0, b, g, r);
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

}  // namespace vell
