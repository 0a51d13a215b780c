// The drawing tools of the working image: the tool table, the Pen menu's
// raster operations, the pen-size check, a stroke's press / move / release,
// and the log lines of every tool.
//
// Strokes draw straight into the working image's pixels; the rubber band of
// the shape, line and select tools is drawn there with XOR and taken out
// again the same way, so the window only has to show the pixels that changed
// (each call returns that area).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "imaging/Canvas.h"
#include "imaging/PixelBuffer.h"

namespace vell {

// ActiveTool's numbering.
enum TToolId { ToolFreehand = 0, ToolEllipse = 1, ToolRectangle = 2, ToolLine = 3, ToolText = 4, ToolSelect = 5,
               ToolFill = 6, ToolEyedropper = 7 };

struct TToolDef {
  const char* Button;  // the tool box's button
  const char* Hint;
  int Tool;
  bool Fill, Text;  // the flags SetTool sets
  int Cursor;       // cursor id; -1: the text-insertion cursor
};
// In the tool box's order: free, ellipse, rectangle, line, fill, text, select, eyedropper.
const std::array<TToolDef, 8>& ToolTable();
const TToolDef* ToolDefFor(int tool);  // null for an unknown id

struct TPenModeDef {
  const char* Caption;  // the Pen menu item, also the line log's mode word
  TRop2 Rop;
};
const std::array<TPenModeDef, 12>& PenModes();
TRop2 PenModeRop(int index);  // out of range: copy

inline constexpr char kPenSizeEmptyText[] = "Pen size cannot be zero length.  Changed to 1";
inline constexpr char kPenSizeErrorText[] = "Pen Size error. Changed to 1";
inline constexpr char kEmptyTextStandIn[] = "Vell'Quilo 99";

// The pen size field: a positive whole number, or the message to show (the
// field then becomes "1" and nothing happens).
struct TPenSizeCheck {
  bool Ok = false;
  int Width = 1;
  const char* Message = nullptr;
};
TPenSizeCheck CheckPenSize(const std::string& text);

enum class TSelectAction { Cancel, CopyToClipboard, CopyToBuffer, Crop };

// Log lines.
std::string FreehandLogLine(const std::string& penSize, uint32_t pen);
std::string ShapeLogLine(bool ellipse, TPoint start, TPoint end, const std::string& penSize, uint32_t pen,
                         uint32_t brush, bool filled);
std::string LineLogLine(TPoint start, TPoint end, const std::string& penSize, uint32_t pen, int penMode);
std::string FloodFillLogLine(int x, int y, uint32_t brush);
std::string EyedropperLogLine(int x, int y);
std::string SelectLogLine(TPoint start, TPoint end, TSelectAction action);
// "Normal", "Bold", "Italic" or "Bold Italic".
std::string TextStyleWord(bool bold, bool italic);
std::string TextToolLogLine(const std::string& fontName, int size, uint32_t colour, bool bold, bool italic,
                            const std::string& text, int x, int y);
std::string PasteAsSelectionLogLine(int x, int y);
// Status panel 4 while selecting: "Width: " + w + "  Height: " + h.
std::string SelectionSizeText(TPoint start, TPoint end);

enum class TMouseButton { Left, Middle, Right };

// What the panel holds at the press.
struct TToolInputs {
  std::string PenSize = "2";
  uint32_t PenColor = 0x000000;  // 0x00BBGGRR
  uint32_t BrushColor = 0xFFFFFF;
  bool FillShape = true;
  int PenModeIndex = 0;
  bool Wrap = false;  // "Wrap Drawing Around Edges"
};

enum class TPressOutcome {
  Nothing,         // right button, a press during a stroke, or a middle press of a stroke tool
  PenSizeRejected, // Message says why; the field becomes "1"
  Eyedropped,      // Colour is the new pen colour
  Filled,          // the flood fill is done
  AskText,         // text mode: the window runs the text dialog
  Drawing,         // a stroke began
};

struct TPressResult {
  TPressOutcome Outcome = TPressOutcome::Nothing;
  const char* Message = nullptr;
  uint32_t Colour = 0;
  std::string Log;  // the line to log, if any
  TRectI Changed;   // pixels to show again
};

enum class TReleaseOutcome {
  Nothing,       // no stroke of this button was running
  Done,          // Log holds the line (empty: nothing to log)
  AskSelection,  // the window asks TfSelect, then calls FinishSelection
};

struct TReleaseResult {
  TReleaseOutcome Outcome = TReleaseOutcome::Nothing;
  std::string Log;
  TRectI Changed;
};

class TCanvasTools {
 public:
  // The tool buttons: flags and tool as the tool table gives them.
  void SetTool(bool fill, bool text, int tool);
  int ActiveTool() const { return tool_; }
  bool FillMode() const { return fill_; }
  bool TextMode() const { return text_; }

  bool Drawing() const { return drawing_; }
  bool Selecting() const { return drawing_ && tool_ == ToolSelect; }
  TPoint Start() const { return start_; }
  TPoint End() const { return end_; }

  // `pushUndo` runs once, before anything changes, for every press that passes
  // the pen-size check with the left or middle button.
  TPressResult Press(TPixelBuffer& image, TMouseButton button, int x, int y, const TToolInputs& in,
                     const std::function<void()>& pushUndo);
  // While a stroke runs: draws it on, returns the pixels that changed.
  TRectI Move(TPixelBuffer& image, int x, int y);
  TReleaseResult Release(TPixelBuffer& image, TMouseButton button, int x, int y);

  // After AskSelection: the rubber band goes; for any action but Cancel the
  // selected area is copied upright into `transfer` (24 bits) and the log line
  // returned. The selection is the rectangle between start and end, kept
  // inside the picture.
  std::string FinishSelection(TPixelBuffer& image, TSelectAction action, TPixelBuffer& transfer, TRectI* changed);

 private:
  TCanvas CanvasFor(TPixelBuffer& image) const;
  void DrawRubber(TCanvas& canvas, TPoint to) const;

  int tool_ = ToolFreehand;
  bool fill_ = false, text_ = false;
  bool drawing_ = false;
  bool selectionPending_ = false;
  TMouseButton button_ = TMouseButton::Left;
  TPoint start_, end_;
  TToolInputs in_;
  int width_ = 1;
};

// Copies the w x h area at (x, y) of `image` into `out` (24 bits); parts
// outside the picture come out black.
void CopyArea(const TPixelBuffer& image, int x, int y, int w, int h, TPixelBuffer& out);

}  // namespace vell
