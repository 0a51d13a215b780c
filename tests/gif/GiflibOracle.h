#pragma once
// giflib as an independent decoder: what it reads from a file is what any viewer shows.

#include <cstdint>
#include <string>
#include <vector>

#include "gif/GifPicture.h"

struct TOracleFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  std::vector<TGifRGB> Colors;   // the map the frame uses (local, else global)
  std::vector<uint8_t> Indices;  // rows top to bottom (giflib puts interlaced rows in place)
  int TransparentIndex = -1;
  int Disposal = 0;
};

struct TOracleGif {
  bool Ok = false;
  int Error = 0;
  int Width = 0, Height = 0;
  std::vector<TGifRGB> Global;
  std::vector<TOracleFrame> Frames;
};

TOracleGif GiflibDecode(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
