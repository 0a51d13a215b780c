#pragma once
// TGifPicture: a GIF file held as its header, frames, colour maps and extensions.
//
// Reading keeps what the file holds (descriptors as stored, extensions byte for byte);
// writing recomputes the packed flags from the colour maps. Errors never escape as
// exceptions: Load*, Save* and Assign return a TGifResult whose Error is the message for the
// user ("Invalid GIF signature", "Premature end of data", ...). Warnings (data that is odd
// but readable) go to OnWarning when it is set.
//
// Hostile dimensions are refused before any allocation: a frame over kGifMaxFramePixels
// pixels, or one that claims more pixels than its remaining bytes could code, fails the load.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

#include "gif/GifError.h"

inline constexpr uint64_t kGifMaxFramePixels = 16384ull * 16384ull;

struct TGifResult {
  bool Ok = true;
  std::string Error;
  explicit operator bool() const { return Ok; }
  static TGifResult Fail(std::string message) { return {false, std::move(message)}; }
};

struct TGifRGB {
  uint8_t Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const TGifRGB&, const TGifRGB&) = default;
};

class TGifColorMap {
 public:
  std::array<TGifRGB, 256> Entries{};
  int Count = 0;
  bool Optimized = false;  // entries are sorted by importance (the sort flag)

  bool Empty() const { return Count == 0; }
  // 0 for an empty map, else the smallest b >= 1 with 2^b >= Count.
  int BitsPerPixel() const;
  void Clear() { *this = TGifColorMap(); }
  // Appends an entry; returns its index, or -1 when the map is full.
  int Add(TGifRGB color);
};

// Logical screen descriptor as stored, with the global colour map.
struct TGifHeader {
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Packed = 0;  // 7: global map, 6-4: colour resolution, 3: sort, 2-0: map size
  uint8_t BackgroundIndex = 0;
  uint8_t AspectRatio = 0;
  TGifColorMap ColorMap;
};

inline constexpr uint8_t kGifExtensionIntroducer = 0x21;
inline constexpr uint8_t kGifImageSeparator = 0x2C;
inline constexpr uint8_t kGifTrailer = 0x3B;
inline constexpr uint8_t kGifLabelGraphicControl = 0xF9;
inline constexpr uint8_t kGifLabelComment = 0xFE;
inline constexpr uint8_t kGifLabelPlainText = 0x01;
inline constexpr uint8_t kGifLabelApplication = 0xFF;

struct TGifGraphicControl {
  uint8_t BlockSize = 4;
  uint8_t Packed = 0;  // 4-2: disposal, 1: user input, 0: transparent colour present
  uint16_t Delay = 0;  // hundredths of a second
  uint8_t TransparentIndex = 0;
  uint8_t Terminator = 0;

  int Disposal() const { return (Packed >> 2) & 7; }
  bool Transparent() const { return (Packed & 1) != 0; }
  void SetTransparent(bool on) { Packed = static_cast<uint8_t>(on ? (Packed | 1) : (Packed & ~1)); }
  void SetDisposal(int d) { Packed = static_cast<uint8_t>((Packed & ~0x1C) | ((d & 7) << 2)); }
};

// The other extensions keep their data sub-blocks exactly as read and are written back so.
struct TGifComment {
  std::vector<std::vector<uint8_t>> Blocks;
  std::string Text() const;
};

struct TGifPlainText {
  std::vector<std::vector<uint8_t>> Blocks;  // Blocks[0]: the 12-byte text grid header
};

struct TGifApplication {
  std::vector<std::vector<uint8_t>> Blocks;  // Blocks[0]: identifier (8) + auth code (3)
  std::string Identifier() const;            // e.g. "NETSCAPE2.0", empty when missing
  // Loop count of the NETSCAPE2.0 / ANIMEXTS1.0 looping block, -1 when there is none.
  int LoopCount() const;
};

using TGifExtension = std::variant<TGifGraphicControl, TGifComment, TGifPlainText, TGifApplication>;
uint8_t GifExtensionLabel(const TGifExtension& e);

struct TGifImageDescriptor {
  uint8_t Separator = kGifImageSeparator;
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Packed = 0;  // 7: local map, 6: interlaced, 5: sort, 4-3: reserved, 2-0: map size
};

class TGifFrame {
 public:
  std::vector<TGifExtension> Extensions;
  TGifImageDescriptor Descriptor;
  TGifColorMap ColorMap;      // local map, may be empty
  std::vector<uint8_t> Data;  // Width x Height indices, rows top to bottom

  bool HasPixels() const { return !Data.empty(); }
  bool Interlaced() const { return (Descriptor.Packed & 0x40) != 0; }
  // The first graphic control extension, or nullptr.
  TGifGraphicControl* GraphicControl();
  const TGifGraphicControl* GraphicControl() const;
  bool Transparent() const;
  int TransparentIndex() const;  // -1 when the frame is not transparent
};

// A paletted picture handed to the codec: rows top-down, BitCount 1, 4 or 8, pixels packed
// from the high bit of each byte as in a device-independent bitmap. Stride 0 means
// ceil(Width * BitCount / 8).
struct TGifPalettedBitmap {
  int Width = 0;
  int Height = 0;
  int BitCount = 8;
  std::vector<TGifRGB> Palette;  // all of it becomes the frame's colour map (at most 256)
  std::vector<uint8_t> Bits;
  size_t Stride = 0;
};

// Drawing target: 24-bit pixels B,G,R, one row pointer per row.
class TGifCanvas {
 public:
  virtual ~TGifCanvas() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual uint8_t* Row(int y) = 0;
};

// A canvas that owns its pixels, rows padded to a multiple of 4 bytes.
class TGifBitmap : public TGifCanvas {
 public:
  TGifBitmap(int width, int height);
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  uint8_t* Row(int y) override { return bits_.data() + static_cast<size_t>(y) * stride_; }
  size_t Stride() const { return stride_; }
  void Fill(TGifRGB color);
  TGifRGB Pixel(int x, int y) const;

 private:
  int width_, height_;
  size_t stride_;
  std::vector<uint8_t> bits_;
};

enum class TGifCompression { LZW };

class TGifPicture {
 public:
  TGifHeader Header;
  std::vector<TGifFrame> Frames;
  TGifCompression Compression = TGifCompression::LZW;
  bool DrawTransparent = true;  // transparent pixels are left unpainted
  bool DrawTile = false;
  std::function<void(const std::string&)> OnWarning;

  // Reading replaces the content only when the whole file was read; on an error the picture
  // is unchanged and a stream is put back where it was.
  TGifResult LoadFromStream(std::istream& in);
  TGifResult LoadFromFile(const std::string& path);
  // `consumed` receives the bytes read up to and including the trailer.
  TGifResult LoadFromMemory(const uint8_t* data, size_t size, size_t* consumed = nullptr);

  TGifResult SaveToStream(std::ostream& out) const;
  TGifResult SaveToFile(const std::string& path) const;
  TGifResult SaveToMemory(std::vector<uint8_t>& out) const;

  // "87a", "89a", or "" (the unsupported version 0) for a picture without frames.
  std::string Version() const;

  // Replaces the content by one frame at 0,0 holding the bitmap's palette and indices.
  TGifResult Assign(const TGifPalettedBitmap& bitmap);

  // Reduces all colour maps to one global map of the used colours, most frequent first.
  void OptimizeColorMap();

  // The picture's colour map: the global map, or frame 0's own map when there is no global.
  const TGifColorMap& ColorMap() const;

  // The colour of frame 0's transparent index in its map (black when the index lies outside
  // it); false when frame 0 is not transparent. Callers fill the target with it before Draw.
  bool TransparentColor(TGifRGB& color) const;

  // Gives frame 0 a graphic control extension (reusing one it has) with the transparent flag
  // and index; an index not below the count of frame 0's active map, when that map is not
  // empty, becomes 0. Returns false when there is no frame.
  bool AddGraphicControl(bool transparent, int transparentIndex);

  // Draws the first shown frame with its top-left screen corner at (left, top), clipped to
  // the canvas. One frame: painted straight on, its transparent pixels skipped. Several: the
  // frames up to the first one with pixels are composed by their disposal methods.
  void Draw(TGifCanvas& canvas, int left = 0, int top = 0) const;
  // Shows the animation as it stands after `frame` has been drawn (used by Draw).
  void DrawComposed(TGifCanvas& canvas, int left, int top, size_t frame) const;

  // The colour map frame uses: its own when not empty, else the global one.
  const TGifColorMap& ActiveColorMap(const TGifFrame& frame) const;

 private:
  void Warn(const char* message) const;
};
