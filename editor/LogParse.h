// Reading the operation log back: one line of VellLog.txt into what it says.
//
// The grammar is exactly the one the editor writes (EffectLog.h,
// OperationLog.h, CanvasTools.h). An effect line is read through the effect
// table: its name (the tree name or the menu name that was in EffectName),
// then its suffix, whose values go into the stored parameters. A line is
// accepted only when writing those values back gives the same text, so a
// hand-edited line that merely looks right is refused rather than misread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "editor/CanvasTools.h"
#include "editor/EffectLog.h"
#include "editor/EffectParams.h"

namespace vell {

enum class TLogLineKind : uint8_t {
  Empty,                  // a blank line (a hand edit); nothing to do
  Start,                  // "Log starts  - current Gradient: ..."      Gradient (Width/Height: the image's)
  AppendMarker,           // "<=Appending to Existing Log=>"
  Effect,                 // an effect line                             Id, Name; values into the parameters
  UnDo,                   // "UnDo"
  OpenFile,               // "Open File " path                          Path
  NewImage,               // "New Image, Color R: ..."                  Colour
  ImageReset,             // "Image Reset"
  CopyImageToClipboard,   // "Copy Image to Clipboard"
  PasteClipboardToImage,  // "Paste Clipboard to Image"
  PasteTransparent,       // "Paste Transparent"
  PasteAsSelection,       // "Paste As Selection at Left x, Top y"      At
  CopyImageToBuffer,      // "Copy Image to Buffer"
  PasteBufferToImage,     // "Paste Buffer to Image"
  CopyBufferToClipboard,  // "Copy Buffer to Clipboard"
  PasteClipboardToBuffer, // "Paste Clipboard to Buffer"
  LoadBuffer,             // "Load Buffer from File " path              Path
  Sliders,                // "ToolBox Sliders to positions: ..."        Sliders (0 ... 510)
  Scroll,                 // "Scroll Right 64"                          Direction, Amount
  DesignFilter,           // "Design Your Own Filter, Settings: ..."    Kernel, KernelDivisor (as entered)
  EdgeMerge,              // "Edge Merge 1/16"                          Divisor (16, 8, 4)
  FourWayFlip,            // "4 Way Flip"
  Resize,                 // "Resize Fast, Width w, Height h"           Smooth, Width, Height
  DesignGradient,         // "Design Gradient, Width ..."               Gradient (fields as shown)
  PasteGradient,          // "Paste Gradient to Image"
  ColorWheel,             // "Color Wheel"
  MultiGradient,          // "MultiGradient,  Width w, Height h"        SizeText
  Rainbow,                // "Rainbow"
  Freehand,               // "FreeHand Drawing, ..."                    PenSize, Pen
  Shape,                  // "Ellipse from X ..." / "Rectangle from X " Ellipse, From, To, PenSize, Pen, Brush, Filled
  Line,                   // "Line from X ..."                          From, To, PenSize, Pen, PenMode
  FloodFill,              // "FloodFill at location X x Y y, ..."       At, Brush
  Eyedropper,             // "Eyedropper at location X x Y y"           At
  Select,                 // "Select Area From Left ..."                From, To, Action
  Text,                   // "Text Tool, Font ..."                      Font*, Colour, Bold, Italic, TextBody, At
};

// What one line says. Only the members its kind names (above) are set.
struct TLogLine {
  TLogLineKind Kind = TLogLineKind::Empty;

  int Id = -1;          // Effect: the effect id
  std::string Name;     // Effect: the name as logged (tree or menu name)

  std::string Path;
  uint32_t Colour = 0;  // 0x00BBGGRR
  TPoint At;
  TScrollDirection Direction = TScrollDirection::Right;
  int Amount = 0;
  std::array<int, 6> Sliders{};  // Lightness, Contrast, Saturation, Red, Green, Blue
  std::array<std::string, 9> Kernel;
  std::string KernelDivisor;
  int Divisor = 0;
  bool Smooth = false;
  int Width = 0, Height = 0;
  TGradientFields Gradient;
  std::array<std::string, 2> SizeText;  // MultiGradient's width and height fields

  bool Ellipse = false;
  TPoint From, To;
  std::string PenSize;
  uint32_t Pen = 0, Brush = 0;
  bool Filled = false;
  int PenMode = 0;  // index into PenModes()
  TSelectAction Action = TSelectAction::Cancel;

  std::string FontName;
  int FontSize = 0;
  bool Bold = false, Italic = false;
  std::string TextBody;
};

// Reads one line (without its line end). On success fills `out` and, for an
// effect line, stores the values it names into `params` and `context` (the
// running state, so values a line does not name keep what earlier lines
// gave them). On failure returns why, in words for the user (no line
// number), and leaves `params` and `context` as they were.
std::optional<std::string> ParseLogLine(std::string_view text, TEffectParams& params, TLogContext& context,
                                        TLogLine& out);

// The longest line the reader takes; a longer one is an error, not a memory grab.
inline constexpr size_t kMaxLogLineLength = 64 * 1024;

// Lines of a log, one at a time, split at CR LF, LF or CR like the viewer
// does; memory stays bounded by kMaxLogLineLength whatever the file holds.
class TLogLineReader {
 public:
  explicit TLogLineReader(std::istream& in) : in_(in) {}
  // The next line into `line`; false at the end of the input or on a line
  // that is too long (then Error() says so and LineNumber() is that line).
  bool Next(std::string& line);
  size_t LineNumber() const { return number_; }  // 1-based number of the line last read
  const std::string& Error() const { return error_; }

 private:
  std::istream& in_;
  size_t number_ = 0;
  std::string error_;
};

}  // namespace vell
