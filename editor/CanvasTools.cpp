#include "editor/CanvasTools.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>

#include "editor/Editor.h"
#include "editor/RealText.h"

namespace vell {

const std::array<TToolDef, 8>& ToolTable() {
  static const std::array<TToolDef, 8> table = {{
      {"bFree", "Freehand draw", ToolFreehand, false, false, 10},
      {"bEllip", "Draw Ellipse", ToolEllipse, false, false, 11},
      {"bRect", "Draw Rectangle", ToolRectangle, false, false, 12},
      {"bLine", "Draw a Line using current Pen Mode", ToolLine, false, false, 13},
      {"bFill", "Flood Fill an area with Brush Color", ToolFill, true, false, 14},
      {"bText", "Invoke Text Designer...", ToolText, false, true, -1},
      {"bSelect", "Select an area of the Image...", ToolSelect, false, false, 15},
      {"bEyeDrop", "Set Pen Color to color under cursor", ToolEyedropper, false, false, 16},
  }};
  return table;
}

const TToolDef* ToolDefFor(int tool) {
  for (const TToolDef& d : ToolTable())
    if (d.Tool == tool) return &d;
  return nullptr;
}

const std::array<TPenModeDef, 12>& PenModes() {
  static const std::array<TPenModeDef, 12> modes = {{
      {"Normal", TRop2::CopyPen},
      {"MaskNotPen", TRop2::MaskNotPen},
      {"MaskPen", TRop2::MaskPen},
      {"MaskPenNot", TRop2::MaskPenNot},
      {"MergeNotPen", TRop2::MergeNotPen},
      {"MergePen", TRop2::MergePen},
      {"MergePenNot", TRop2::MergePenNot},
      {"NotCopyPen", TRop2::NotCopyPen},
      {"NotMaskPen", TRop2::NotMaskPen},
      {"NotMergePen", TRop2::NotMergePen},
      {"NotXORPen", TRop2::NotXorPen},
      {"XORPen", TRop2::XorPen},
  }};
  return modes;
}

TRop2 PenModeRop(int index) {
  return index >= 0 && index < 12 ? PenModes()[static_cast<size_t>(index)].Rop : TRop2::CopyPen;
}

TPenSizeCheck CheckPenSize(const std::string& text) {
  if (text.empty()) return {false, 1, kPenSizeEmptyText};
  const std::optional<int32_t> v = ParseInteger(text);
  if (!v || *v <= 0) return {false, 1, kPenSizeErrorText};
  return {true, *v, nullptr};
}

namespace {

std::string N(int v) { return std::to_string(v); }

}  // namespace

std::string FreehandLogLine(const std::string& penSize, uint32_t pen) {
  return "FreeHand Drawing, Pen Size " + penSize + ", Pen Color " + ColorText(pen);
}

std::string ShapeLogLine(bool ellipse, TPoint start, TPoint end, const std::string& penSize, uint32_t pen,
                         uint32_t brush, bool filled) {
  return std::string(ellipse ? "Ellipse from X " : "Rectangle from X ") + N(start.x) + " Y " + N(start.y) +
         ", To X " + N(end.x) + " Y " + N(end.y) + ", Pen Size " + penSize + ", Pen Color " + ColorText(pen) +
         ", Brush Color " + ColorText(brush) + ", " + (filled ? "Filled" : "Not Filled");
}

std::string LineLogLine(TPoint start, TPoint end, const std::string& penSize, uint32_t pen, int penMode) {
  const char* word = penMode >= 0 && penMode < 12 ? PenModes()[static_cast<size_t>(penMode)].Caption : "Normal";
  return "Line from X " + N(start.x) + " Y " + N(start.y) + " To X " + N(end.x) + " Y " + N(end.y) + ", Pen Size " +
         penSize + ", Pen Color " + ColorText(pen) + ", Pen " + word;
}

std::string FloodFillLogLine(int x, int y, uint32_t brush) {
  return "FloodFill at location X " + N(x) + " Y " + N(y) + ", Brush Color " + ColorText(brush);
}

std::string EyedropperLogLine(int x, int y) { return "Eyedropper at location X " + N(x) + " Y " + N(y); }

std::string SelectLogLine(TPoint start, TPoint end, TSelectAction action) {
  const char* tail = action == TSelectAction::CopyToClipboard ? ", Copy to Clipboard"
                     : action == TSelectAction::Crop          ? ", Crop to Selection"
                     : action == TSelectAction::CopyToBuffer  ? ", Copy to Buffer"
                                                              : "";
  return "Select Area From Left " + N(start.x) + " Top " + N(start.y) + ", Right " + N(end.x) + " Bottom " +
         N(end.y) + tail;
}

std::string TextStyleWord(bool bold, bool italic) {
  std::string style = "Normal";
  if (bold) style = "Bold";
  if (italic) style = style == "Normal" ? "Italic" : style + " Italic";
  return style;
}

std::string TextToolLogLine(const std::string& fontName, int size, uint32_t colour, bool bold, bool italic,
                            const std::string& text, int x, int y) {
  return "Text Tool, Font " + fontName + ", Size " + N(size) + ", Color " + ColorText(colour) + ", Style " +
         TextStyleWord(bold, italic) + " \"" + text + "\" " + ", Location X " + N(x) + " Y " + N(y);
}

std::string PasteAsSelectionLogLine(int x, int y) { return "Paste As Selection at Left " + N(x) + ", Top " + N(y); }

std::string SelectionSizeText(TPoint start, TPoint end) {
  return "Width: " + N(std::abs(end.x - start.x)) + "  Height: " + N(std::abs(end.y - start.y));
}

void CopyArea(const TPixelBuffer& image, int x, int y, int w, int h, TPixelBuffer& out) {
  out.Allocate(std::max(w, 0), std::max(h, 0), 0, 24);
  if (out.Empty()) return;
  for (int j = 0; j < h; ++j) std::memset(out.Row(j), 0, static_cast<size_t>(w) * 3);
  image.PaintRegion(out, 0, 0, w, h, x, y);
}

// --- a stroke ---------------------------------------------------------------

void TCanvasTools::SetTool(bool fill, bool text, int tool) {
  fill_ = fill;
  text_ = text;
  tool_ = tool;
}

TCanvas TCanvasTools::CanvasFor(TPixelBuffer& image) const {
  TCanvas c(image);
  // The selection frame marks an area of this picture; it never wraps.
  c.Wrap = in_.Wrap && tool_ != ToolSelect;
  return c;
}

// The rubber band: white XOR, hollow; the select tool's one pixel wide and dashed.
void TCanvasTools::DrawRubber(TCanvas& c, TPoint to) const {
  c.Pen = {0xFFFFFF, tool_ == ToolSelect ? 1 : width_, TRop2::XorPen, tool_ == ToolSelect, false};
  c.Brush.Clear = true;
  switch (tool_) {
    case ToolEllipse:
      c.Ellipse(start_.x, start_.y, to.x, to.y);
      break;
    case ToolRectangle:
    case ToolSelect:
      c.Rectangle(start_.x, start_.y, to.x, to.y);
      break;
    case ToolLine:
      c.MoveTo(start_.x, start_.y);
      c.LineTo(to.x, to.y);
      break;
    default:
      break;
  }
}

TPressResult TCanvasTools::Press(TPixelBuffer& image, TMouseButton button, int x, int y, const TToolInputs& in,
                                 const std::function<void()>& pushUndo) {
  TPressResult r;
  // One stroke at a time: a second button during a stroke changes nothing.
  if (drawing_ || selectionPending_) return r;
  const TPenSizeCheck size = CheckPenSize(in.PenSize);
  if (!size.Ok) {
    r.Outcome = TPressOutcome::PenSizeRejected;
    r.Message = size.Message;
    return r;
  }
  if (button == TMouseButton::Right) return r;
  if (pushUndo) pushUndo();
  in_ = in;
  width_ = size.Width;
  TCanvas c = CanvasFor(image);
  if (tool_ == ToolEyedropper) {
    const uint32_t p = c.Pixel(x, y);
    if (p != 0xFFFFFFFFu) {
      r.Outcome = TPressOutcome::Eyedropped;
      r.Colour = p;
      r.Log = EyedropperLogLine(x, y);
    }
    return r;
  }
  if (fill_) {
    c.Brush.Color = in.BrushColor;
    c.FloodFill(x, y);
    r.Outcome = TPressOutcome::Filled;
    r.Log = FloodFillLogLine(x, y, in.BrushColor);
    r.Changed = c.TakeDirty();
    return r;
  }
  if (text_) {
    r.Outcome = TPressOutcome::AskText;
    return r;
  }
  if (button != TMouseButton::Left) return r;
  drawing_ = true;
  button_ = button;
  start_ = end_ = {x, y};
  if (tool_ == ToolLine) DrawRubber(c, end_);  // a zero-length line: a dot for wide pens
  r.Outcome = TPressOutcome::Drawing;
  r.Changed = c.TakeDirty();
  return r;
}

TRectI TCanvasTools::Move(TPixelBuffer& image, int x, int y) {
  if (!drawing_) return {};
  TCanvas c = CanvasFor(image);
  if (tool_ == ToolFreehand) {
    c.Pen = {in_.PenColor, width_, PenModeRop(in_.PenModeIndex), false, false};
    c.MoveTo(end_.x, end_.y);
    c.LineTo(x, y);
    end_ = {x, y};
    return c.TakeDirty();
  }
  DrawRubber(c, end_);  // XOR takes the old band out
  end_ = {x, y};
  DrawRubber(c, end_);
  return c.TakeDirty();
}

TReleaseResult TCanvasTools::Release(TPixelBuffer& image, TMouseButton button, int x, int y) {
  TReleaseResult r;
  if (!drawing_ || button != button_) return r;
  TCanvas c = CanvasFor(image);
  if (tool_ == ToolFreehand) {
    // The last piece up to the release point.
    if (x != end_.x || y != end_.y) {
      c.Pen = {in_.PenColor, width_, PenModeRop(in_.PenModeIndex), false, false};
      c.MoveTo(end_.x, end_.y);
      c.LineTo(x, y);
    }
    drawing_ = false;
    end_ = {x, y};
    r.Outcome = TReleaseOutcome::Done;
    r.Log = FreehandLogLine(in_.PenSize, in_.PenColor);
    r.Changed = c.TakeDirty();
    return r;
  }
  DrawRubber(c, end_);
  drawing_ = false;
  end_ = {x, y};
  r.Outcome = TReleaseOutcome::Done;
  switch (tool_) {
    case ToolEllipse:
    case ToolRectangle:
      c.Pen = {in_.PenColor, width_, TRop2::CopyPen, false, false};
      c.Brush = {in_.BrushColor, !in_.FillShape};
      if (tool_ == ToolEllipse)
        c.Ellipse(start_.x, start_.y, end_.x, end_.y);
      else
        c.Rectangle(start_.x, start_.y, end_.x, end_.y);
      r.Log = ShapeLogLine(tool_ == ToolEllipse, start_, end_, in_.PenSize, in_.PenColor, in_.BrushColor, in_.FillShape);
      break;
    case ToolLine:
      c.Pen = {in_.PenColor, width_, PenModeRop(in_.PenModeIndex), false, false};
      c.MoveTo(start_.x, start_.y);
      c.LineTo(end_.x, end_.y);
      r.Log = LineLogLine(start_, end_, in_.PenSize, in_.PenColor, in_.PenModeIndex);
      break;
    case ToolSelect: {
      // Kept inside the picture: an area beyond it has nothing to copy.
      end_.x = std::clamp(end_.x, 0, image.Width());
      end_.y = std::clamp(end_.y, 0, image.Height());
      if (end_.x == start_.x || end_.y == start_.y) break;  // a click: nothing selected
      DrawRubber(c, end_);  // the band stays up while the dialog asks
      selectionPending_ = true;
      r.Outcome = TReleaseOutcome::AskSelection;
      break;
    }
    default:
      break;
  }
  r.Changed = c.TakeDirty();
  return r;
}

std::string TCanvasTools::FinishSelection(TPixelBuffer& image, TSelectAction action, TPixelBuffer& transfer,
                                          TRectI* changed) {
  if (!selectionPending_) return {};
  selectionPending_ = false;
  TCanvas c = CanvasFor(image);
  DrawRubber(c, end_);
  if (changed) *changed = c.TakeDirty();
  if (action == TSelectAction::Cancel) return {};
  // Whatever the drag direction, the copy comes out upright.
  const int left = std::min(start_.x, end_.x), top = std::min(start_.y, end_.y);
  CopyArea(image, left, top, std::abs(end_.x - start_.x), std::abs(end_.y - start_.y), transfer);
  return SelectLogLine(start_, end_, action);
}

}  // namespace vell
