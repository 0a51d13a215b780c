// Image files: which format a path is saved in, reading any of the four
// formats into a 24-bit buffer, and the save roads.
//
// Every save is encoded in memory first and then written to a temporary
// file beside the target and renamed into place, so a failed save leaves any
// file that was there as it was. Reading never touches the caller's buffer
// unless the whole file was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/ImageResult.h"
#include "gif/GifPicture.h"
#include "imaging/PixelBuffer.h"

namespace vell {

enum class TImageFormat { Jpeg, Bmp, Gif, Png, Unknown };

// The save rule, on the path in upper case: ".GIF" anywhere gives GIF, else
// ".BMP" BMP, else ".PNG" PNG, else JPEG ("a.gif.jpg" is a GIF file).
TImageFormat SaveFormatForPath(const std::string& path);

// What the bytes are, from their signature; Unknown when none matches.
TImageFormat SniffImageFormat(const uint8_t* data, size_t size);

// The file dialogs' filters.
inline constexpr const char kOpenFilter[] =
    "BMP, JPG, GIF, PNG|*.bmp;*.jpg;*.jpeg;*.gif;*.png|JPEG Image File (*.jpg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "GIF (*.gif)|*.gif|PNG (*.png)|*.png";
inline constexpr const char kSaveFilter[] =
    "JPG,BMP,GIF,PNG(*.jpg,*.bmp,*.gif,*.png)|*.jpg;*.bmp;*.gif;*.png|JPEG Image File (*.jpg)|*.jpg|"
    "Bitmaps (*.bmp)|*.bmp|GIF (*.gif)|*.gif|PNG (*.png)|*.png";
inline constexpr const char kSaveTitle[] = "Save File As...";
inline constexpr const char kSaveDefaultExt[] = "jpg";

// Reads BMP (every depth), JPEG, GIF (first frame over its transparent
// colour) or PNG, chosen by the file's signature. `picture` becomes 24-bit.
TImageResult ReadImage(const uint8_t* data, size_t size, TPixelBuffer& picture);
TImageResult ReadImageFile(const std::string& path, TPixelBuffer& picture);

// A GIF's first frame drawn into a 24-bit buffer, the transparent colour
// filled in first.
TImageResult GifToBuffer(const TGifPicture& gif, TPixelBuffer& picture);

// The GIF transparency dialog's answer.
struct TGifChoice {
  enum TKind { Cancel, Ok, None } Kind = None;
  int Index = 256;  // with Ok; 256 (nothing picked) counts as None
};

struct TSaveOptions {
  int JpegQuality = 90;
  // Screen depth: at 16 a BMP is written with 16 bits per pixel.
  int ScreenBits = 24;
  // Asked with the optimised colour map when set (the dialog is shown);
  // empty: no dialog, no graphic control extension.
  std::function<TGifChoice(const TGifColorMap&)> AskGifTransparency;
};

enum class TSaveOutcome { Saved, Cancelled, Failed };

struct TSaveResult {
  TSaveOutcome Outcome = TSaveOutcome::Saved;
  std::string Error;
  explicit operator bool() const { return Outcome == TSaveOutcome::Saved; }
};

// The GIF picture a save writes: reduced to 236 colours through libjpeg,
// the colour map optimised. The transparency choice is not applied yet.
TImageResult MakeSaveGif(const TPixelBuffer& picture, TGifPicture& gif);
// Applies the dialog's answer (Ok / None add a graphic control extension).
void ApplyGifChoice(TGifPicture& gif, const TGifChoice& choice);

// The bytes a save under `format` writes; Cancelled only from the GIF dialog.
TSaveResult EncodeImage(TImageFormat format, const TPixelBuffer& picture, const TSaveOptions& options,
                        std::vector<uint8_t>& bytes);
// Encodes by SaveFormatForPath and replaces the file.
TSaveResult SaveImageFile(const std::string& path, const TPixelBuffer& picture, const TSaveOptions& options);

// Writes `bytes` to a uniquely named temporary file beside `path` and
// renames it into place; on failure the old file stays and nothing is left
// behind.
TImageResult WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);

// The folder part of a path ("" for a bare name).
std::string FolderOf(const std::string& path);

// ---- clipboard and buffer pictures ----

// Draws `picture` over `target` at (0, 0), leaving out every pixel equal to
// `transparent` (0x00BBGGRR); with `resize` a picture of another size is
// first stretched to the target's size. Both 24-bit; the target keeps its size.
void PasteTransparent(TPixelBuffer& target, const TPixelBuffer& picture, uint32_t transparent, bool resize);

// The lower-left pixel (x 0, y height - 1) as 0x00BBGGRR; black when empty.
uint32_t LowerLeftColour(const TPixelBuffer& picture);

}  // namespace vell
