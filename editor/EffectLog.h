// Lines of the operation log: the effect line WriteEffectLog writes and the
// lines of the other commands. Pure text; writing is the caller's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/EffectParams.h"

namespace vell {

// Colours are 0x00BBGGRR and appear as "R: " red " G: " green " B: " blue;
// flags as "True" / "False".

// The fields of the two-colour gradient dialog as shown.
struct TGradientFields {
  std::string Width = "256";
  std::string Height = "256";
  std::string Style = "VertCenter";
  uint32_t FromColor = 0x800000;  // R 0 G 0 B 128
  uint32_t ToColor = 0xFFFF00;    // R 0 G 255 B 255
  std::string Angle = "0";
};

// State outside the stored parameters that some effect lines name.
struct TLogContext {
  bool UsePeaks = true;  // "Use Peaks" check box
  bool Wrap = true;      // "Wrap" check box
  uint32_t PenColor = 0x000000;
  uint32_t BrushColor = 0xFFFFFF;
  uint32_t TintColor = 0x000000;                       // the tint colour last chosen
  std::string TextureSource = "Use Current Texture";   // Map Texture's source text
  TGradientFields Gradient;
  char DecimalSeparator = '.';
};

// The part after EffectName for an id ("" for ids without parameters).
std::string EffectLogSuffix(int id, const TEffectParams& params, const TLogContext& context);

// The whole line, or nothing: Scroll (45) and ids outside the catalogue write no line.
std::optional<std::string> EffectLogLine(int id, std::string_view effectName, const TEffectParams& params,
                                         const TLogContext& context);

// ---- lines of other commands --------------------------------------------

inline constexpr std::string_view LogAppendMarker = "<=Appending to Existing Log=>";
inline constexpr std::string_view LogUndo = "UnDo";
inline constexpr std::string_view LogImageReset = "Image Reset";
inline constexpr std::string_view LogCopyImageToClipboard = "Copy Image to Clipboard";
inline constexpr std::string_view LogPasteClipboardToImage = "Paste Clipboard to Image";
inline constexpr std::string_view LogPasteTransparent = "Paste Transparent";
inline constexpr std::string_view LogCopyImageToBuffer = "Copy Image to Buffer";
inline constexpr std::string_view LogPasteBufferToImage = "Paste Buffer to Image";
inline constexpr std::string_view LogCopyBufferToClipboard = "Copy Buffer to Clipboard";
inline constexpr std::string_view LogPasteClipboardToBuffer = "Paste Clipboard to Buffer";
inline constexpr std::string_view LogFourWayFlip = "4 Way Flip";
inline constexpr std::string_view LogPasteGradientToImage = "Paste Gradient to Image";
inline constexpr std::string_view LogColorWheel = "Color Wheel";
inline constexpr std::string_view LogRainbow = "Rainbow";

std::string OpenFileLine(std::string_view fullPath);              // "Open File " path
std::string LoadBufferLine(std::string_view fullPath);            // "Load Buffer from File " path
std::string NewImageLine(uint32_t brushColour);                   // "New Image, Color R: ..."
std::string PasteAsSelectionLine(int left, int top);              // "Paste As Selection at Left x, Top y"

enum class TScrollDirection : uint8_t { Right, Left, Down, Up };
std::string ScrollLine(TScrollDirection direction, int amount);   // "Scroll Right 64"

// Slider positions 0 ... 510 in the order Lightness, Contrast, Saturation,
// Red, Green, Blue; logged relative to 255.
std::string SlidersLine(const std::array<int, 6>& positions);

// d = 16, 8 or 4: "Edge Merge 1/16" ...
std::string EdgeMergeLine(int divisor);
// The EffectName the Edge Merge items put: "EdgeMerge16" ...
std::string EdgeMergeEffectName(int divisor);

std::string ResizeLine(bool smooth, int newWidth, int newHeight);  // "Resize Smooth, Width w, Height h"

// "Design Your Own Filter, Settings: e1 e2 ... e9 , Divisor d" (fields as entered).
std::string DesignFilterLine(const std::array<std::string, 9>& kernel, std::string_view divisor);

// "Design Gradient, Width ..." with the gradient dialog's fields.
std::string DesignGradientLine(const TGradientFields& gradient);
// "MultiGradient,  Width w, Height h" (fields as entered).
std::string MultiGradientLine(std::string_view width, std::string_view height);

}  // namespace vell
