#include "GiflibOracle.h"

#include <gif_lib.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

struct TSource {
  const std::vector<uint8_t>* Bytes;
  size_t Pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* dst, int len) {
  auto* s = static_cast<TSource*>(gif->UserData);
  const size_t n = std::min<size_t>(static_cast<size_t>(len), s->Bytes->size() - s->Pos);
  std::memcpy(dst, s->Bytes->data() + s->Pos, n);
  s->Pos += n;
  return static_cast<int>(n);
}

std::vector<TGifRGB> Colors(const ColorMapObject* map) {
  std::vector<TGifRGB> out;
  if (!map) return out;
  for (int i = 0; i < map->ColorCount; ++i)
    out.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  return out;
}

}  // namespace

TOracleGif GiflibDecode(const std::vector<uint8_t>& bytes) {
  TOracleGif result;
  TSource src{&bytes, 0};
  int err = 0;
  GifFileType* gif = DGifOpen(&src, ReadFromMemory, &err);
  if (!gif) {
    result.Error = err;
    return result;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    result.Error = gif->Error;
    DGifCloseFile(gif, &err);
    return result;
  }
  result.Ok = true;
  result.Width = gif->SWidth;
  result.Height = gif->SHeight;
  result.Global = Colors(gif->SColorMap);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& img = gif->SavedImages[i];
    TOracleFrame f;
    f.Left = img.ImageDesc.Left;
    f.Top = img.ImageDesc.Top;
    f.Width = img.ImageDesc.Width;
    f.Height = img.ImageDesc.Height;
    f.Interlaced = img.ImageDesc.Interlace;
    f.Colors = Colors(img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap);
    f.Indices.assign(img.RasterBits, img.RasterBits + size_t(f.Width) * size_t(f.Height));
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
      f.TransparentIndex = gcb.TransparentColor;
      f.Disposal = gcb.DisposalMode;
    }
    result.Frames.push_back(std::move(f));
  }
  DGifCloseFile(gif, &err);
  return result;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
