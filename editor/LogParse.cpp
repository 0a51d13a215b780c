#include "editor/LogParse.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <streambuf>
#include <utility>
#include <vector>

#include "dialogs/FilterDesign.h"
#include "dialogs/VellGradient.h"
#include "editor/Editor.h"
#include "editor/EffectCatalogue.h"
#include "editor/EffectTable.h"
#include "editor/OperationLog.h"
#include "editor/RealText.h"

namespace vell {

// ---- scanning -------------------------------------------------------------------

namespace {

// What a label is called in a message: ", X Pos: " -> "X Pos".
std::string Words(std::string_view label) {
  size_t b = 0, e = label.size();
  while (b < e && (label[b] == ',' || label[b] == ' ')) ++b;
  while (e > b && (label[e - 1] == ' ' || label[e - 1] == ':' || label[e - 1] == '=')) --e;
  return std::string(label.substr(b, e - b));
}

std::string ValueName(std::string_view label) {
  const std::string words = Words(label);
  return words.empty() ? "the value" : "the value after " + words;
}

// A short quote of where the line went wrong.
std::string Quote(std::string_view rest) {
  constexpr size_t kShown = 24;
  std::string q = "\"" + std::string(rest.substr(0, kShown));
  if (rest.size() > kShown) q += "...";
  return q + "\"";
}

enum class TWhole { Ok, NotWhole, TooBig };

// [-]digits, within 32 bits.
TWhole ReadWhole(std::string_view t, int32_t& out) {
  size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) i = 1;
  if (i == t.size()) return TWhole::NotWhole;
  int64_t magnitude = 0;
  bool big = false;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return TWhole::NotWhole;
    if (!big) magnitude = magnitude * 10 + (t[i] - '0');
    if (magnitude > int64_t{1} << 31) big = true;
  }
  const int64_t v = negative ? -magnitude : magnitude;
  if (big || v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min())
    return TWhole::TooBig;
  out = static_cast<int32_t>(v);
  return TWhole::Ok;
}

}  // namespace

bool TLogScan::Fail(const std::string& why) {
  if (!error_.empty()) return false;
  if (subject_.empty())
    error_ = why;
  else
    error_ = subject_ + (why.starts_with(' ') ? "" : ": ") + why;
  if (error_.empty()) error_ = "the line cannot be read";
  return false;
}

void TLogScan::Skip(size_t count) { rest_.remove_prefix(std::min(count, rest_.size())); }

bool TLogScan::Label(std::string_view label) {
  if (Failed()) return false;
  if (rest_.starts_with(label)) {
    rest_.remove_prefix(label.size());
    return true;
  }
  const std::string words = Words(label);
  if (rest_.empty() || (label.starts_with(rest_) && !words.empty())) {
    if (words.empty()) return Fail("the line ends too early");
    if (rest_.find(words) != std::string_view::npos) return Fail("the value after " + words + " is missing");
    return Fail("the line ends before " + words);
  }
  return Fail("expected " + (words.empty() ? Quote(label) : words) + " at " + Quote(rest_));
}

bool TLogScan::Lit(std::string_view words) { return Label(words); }

// A value's text: up to a blank or a comma (a real may hold a comma as its
// decimal separator, so for reals only a comma and a blank end it).
std::string_view TLogScan::Token(bool real) {
  size_t i = 0;
  for (; i < rest_.size(); ++i) {
    const char c = rest_[i];
    if (c == ' ') break;
    if (c == ',' && (!real || i + 1 == rest_.size() || rest_[i + 1] == ' ')) break;
  }
  std::string_view t = rest_.substr(0, i);
  rest_.remove_prefix(i);
  return t;
}

bool TLogScan::Int(std::string_view label, int32_t& out) {
  if (!Label(label)) return false;
  int32_t v = 0;
  switch (ReadWhole(Token(false), v)) {
    case TWhole::Ok: out = v; return true;
    case TWhole::NotWhole: return Fail(ValueName(label) + " is not a whole number");
    case TWhole::TooBig: return Fail(ValueName(label) + " does not fit 32 bits");
  }
  return false;
}

bool TLogScan::Whole(std::string_view label, double& out) {
  int32_t v = 0;
  if (!Int(label, v)) return false;
  out = v;
  return true;
}

bool TLogScan::Real(std::string_view label, float& out) {
  if (!Label(label)) return false;
  const std::string_view t = Token(true);
  // RealText's spellings of the values no field can take; an engine would
  // meet them only through a damaged settings file, never from a log.
  if (t == "INF" || t == "-INF" || t == "NAN") return Fail(ValueName(label) + " is not a finite number");
  const bool plain = !t.empty() && std::all_of(t.begin(), t.end(), [this](char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == 'E' || c == separator_;
  });
  const std::optional<double> v = plain ? ParseReal(t, separator_) : std::nullopt;
  if (!v) return Fail(ValueName(label) + " is not a number");
  // The single nearest to what was written. Both written forms keep more
  // digits than a single needs, or round to two decimals, so writing that
  // single again gives the same text.
  const float single = static_cast<float>(*v);
  if (!std::isfinite(single)) return Fail(ValueName(label) + " is not a finite number");
  out = single;
  return true;
}

bool TLogScan::Colour(std::string_view label, uint32_t& out) {
  if (!Label(label)) return false;
  static constexpr std::string_view kParts[] = {"R: ", " G: ", " B: "};
  uint32_t colour = 0;
  for (int i = 0; i < 3; ++i) {
    const std::string what = "the colour after " + Words(label);
    if (!rest_.starts_with(kParts[i])) return Fail(what + " is not written as R: r G: g B: b");
    rest_.remove_prefix(kParts[i].size());
    int32_t v = 0;
    if (ReadWhole(Token(false), v) != TWhole::Ok || v < 0 || v > 255)
      return Fail(what + " has a part that is not a whole number 0 ... 255");
    colour |= static_cast<uint32_t>(v) << (8 * i);
  }
  out = colour;
  return true;
}

bool TLogScan::Flag(std::string_view label, bool& out) {
  if (!Label(label)) return false;
  const std::string_view t = Token(false);
  if (t != "True" && t != "False") return Fail(ValueName(label) + " is neither True nor False");
  out = t == "True";
  return true;
}

bool TLogScan::TextUntil(std::string_view label, std::string_view next, std::string& out) {
  if (!Label(label)) return false;
  const size_t at = rest_.find(next);
  if (at == std::string_view::npos) return Fail(Words(next) + " is missing");
  out.assign(rest_.substr(0, at));
  rest_.remove_prefix(at);
  return true;
}

bool TLogScan::TextToEnd(std::string_view label, std::string& out) {
  if (!Label(label)) return false;
  out.assign(rest_);
  rest_ = {};
  return true;
}

bool TLogScan::Gradient(TGradientFields& g) {
  TGradientFields f = g;
  if (!TextUntil("Width ", ", Height ", f.Width) || !TextUntil(", Height ", ", Gradient ", f.Height) ||
      !TextUntil(", Gradient ", ", From Color ", f.Style) || !Colour(", From Color ", f.FromColor) ||
      !Colour(", To Color ", f.ToColor) || !TextToEnd(", Angle ", f.Angle))
    return false;
  // The style is the text of a drop-down list: one of its items.
  const bool known = std::any_of(kGradientStyleItems.begin(), kGradientStyleItems.end(),
                                 [&](const TGradientStyleItem& item) { return item.Text == f.Style; });
  if (!known) return Fail(Quote(f.Style) + " is not a gradient style");
  g = std::move(f);
  return true;
}

bool TLogScan::AtEnd() {
  if (Failed()) return false;
  if (!rest_.empty()) return Fail("unexpected " + Quote(rest_) + " at the end");
  return true;
}

// ---- the line kinds -------------------------------------------------------------

namespace {

constexpr char kNotALogLine[] = "not a log line the editor writes";

using K = TLogLineKind;

// Lines that are one fixed text.
struct TFixedLine {
  std::string_view Text;
  K Kind;
};
constexpr TFixedLine kFixedLines[] = {
    {LogAppendMarker, K::AppendMarker},
    {LogUndo, K::UnDo},
    {LogImageReset, K::ImageReset},
    {LogCopyImageToClipboard, K::CopyImageToClipboard},
    {LogPasteClipboardToImage, K::PasteClipboardToImage},
    {LogPasteTransparent, K::PasteTransparent},
    {LogCopyImageToBuffer, K::CopyImageToBuffer},
    {LogPasteBufferToImage, K::PasteBufferToImage},
    {LogCopyBufferToClipboard, K::CopyBufferToClipboard},
    {LogPasteClipboardToBuffer, K::PasteClipboardToBuffer},
    {LogFourWayFlip, K::FourWayFlip},
    {LogPasteGradientToImage, K::PasteGradient},
    {LogColorWheel, K::ColorWheel},
    {LogRainbow, K::Rainbow},
};

// Reads the rest of a line its leading words claimed; `line` is the whole
// text (for the read-back), `scan` stands after the leading words.
using TFormReader = bool (*)(TLogScan& scan, std::string_view line, TLogLine& out);

// The read-back every form ends with.
bool Same(TLogScan& s, std::string_view line, const std::string& written) {
  if (!s.AtEnd()) return false;
  if (written != line) return s.Fail("the line differs from what the editor writes for these values");
  return true;
}

bool PathRead(TLogScan& s, std::string& path) {
  if (!s.TextToEnd(" ", path)) return false;
  if (path.empty()) return s.Fail("the file name is missing");
  return true;
}

bool PenSizeRead(TLogScan& s, std::string& penSize) {
  if (!s.TextUntil(", Pen Size ", ", Pen Color ", penSize)) return false;
  if (!CheckPenSize(penSize).Ok) return s.Fail("the pen size is not a whole number above 0");
  return true;
}

bool PointRead(TLogScan& s, std::string_view xLabel, TPoint& p) {
  return s.Int(xLabel, p.x) && s.Int(" Y ", p.y);
}

bool StartRead(TLogScan& s, std::string_view line, TLogLine& out) {
  if (!s.Lit("  - current Gradient: ") || !s.Gradient(out.Gradient)) return false;
  int32_t w = 0, h = 0;
  if (ReadWhole(out.Gradient.Width, w) != TWhole::Ok || ReadWhole(out.Gradient.Height, h) != TWhole::Ok)
    return s.Fail("the image size is not two whole numbers");
  if (w < 0 || h < 0) return s.Fail("the image size cannot be negative");
  out.Width = w;
  out.Height = h;
  TLogStartInfo info{w, h, out.Gradient.Style, ColorText(out.Gradient.FromColor), ColorText(out.Gradient.ToColor),
                     out.Gradient.Angle};
  return Same(s, line, LogStartLine(info));
}

bool OpenRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return PathRead(s, out.Path) && Same(s, line, OpenFileLine(out.Path));
}

bool LoadBufferRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return PathRead(s, out.Path) && Same(s, line, LoadBufferLine(out.Path));
}

bool NewImageRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return s.Colour(", Color ", out.Colour) && Same(s, line, NewImageLine(out.Colour));
}

bool PasteAsSelectionRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return s.Int(" at Left ", out.At.x) && s.Int(", Top ", out.At.y) &&
         Same(s, line, PasteAsSelectionLine(out.At.x, out.At.y));
}

bool SlidersRead(TLogScan& s, std::string_view line, TLogLine& out) {
  static constexpr std::string_view kLabels[] = {"  Lightness ", ", Contrast ", ", Saturation ",
                                                 ", Red ",       ", Green ",    ", Blue "};
  for (size_t i = 0; i < 6; ++i) {
    int32_t v = 0;
    if (!s.Int(kLabels[i], v)) return false;
    if (v < -255 || v > 255) return s.Fail(Words(kLabels[i]) + " is outside -255 ... 255");
    out.Sliders[i] = v + 255;
  }
  return Same(s, line, SlidersLine(out.Sliders));
}

template <TScrollDirection D>
bool ScrollRead(TLogScan& s, std::string_view line, TLogLine& out) {
  out.Direction = D;
  return s.Int(" ", out.Amount) && Same(s, line, ScrollLine(D, out.Amount));
}

bool DesignFilterRead(TLogScan& s, std::string_view line, TLogLine& out) {
  if (!s.Lit(", Settings: ")) return false;
  // Each setting as entered (blanks before it included), then one blank.
  int value = 0;
  for (size_t i = 0; i < 9; ++i) {
    const std::string_view rest = s.Rest();
    size_t n = 0;
    while (n < rest.size() && rest[n] == ' ') ++n;
    while (n < rest.size() && rest[n] != ' ') ++n;
    const std::string entry(rest.substr(0, n));
    if (!StrToIntChecked(entry, value))
      return s.Fail("setting " + std::to_string(i + 1) + " is not a whole number");
    out.Kernel[i] = entry;
    if (n == rest.size()) return s.Fail("the line ends before the divisor");
    s.Skip(n + 1);
  }
  if (!s.TextToEnd(", Divisor ", out.KernelDivisor)) return false;
  if (!StrToIntChecked(out.KernelDivisor, value)) return s.Fail("the divisor is not a whole number");
  return Same(s, line, DesignFilterLine(out.Kernel, out.KernelDivisor));
}

bool EdgeMergeRead(TLogScan& s, std::string_view line, TLogLine& out) {
  for (int d : {16, 8, 4}) {
    if (line == EdgeMergeLine(d)) {
      out.Divisor = d;
      return true;
    }
  }
  return s.Fail(" takes 1/16, 1/8 or 1/4");
}

template <bool Smooth>
bool ResizeRead(TLogScan& s, std::string_view line, TLogLine& out) {
  out.Smooth = Smooth;
  if (!s.Int(", Width ", out.Width) || !s.Int(", Height ", out.Height)) return false;
  // The resize makes at least 1 x 1 and logs the size it made.
  if (out.Width < 1 || out.Height < 1) return s.Fail("the width and height must be 1 or more");
  return Same(s, line, ResizeLine(Smooth, out.Width, out.Height));
}

bool DesignGradientRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return s.Lit(", ") && s.Gradient(out.Gradient) && Same(s, line, DesignGradientLine(out.Gradient));
}

bool MultiGradientRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return s.TextUntil(",  Width ", ", Height ", out.SizeText[0]) && s.TextToEnd(", Height ", out.SizeText[1]) &&
         Same(s, line, MultiGradientLine(out.SizeText[0], out.SizeText[1]));
}

bool FreehandRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return PenSizeRead(s, out.PenSize) && s.Colour(", Pen Color ", out.Pen) &&
         Same(s, line, FreehandLogLine(out.PenSize, out.Pen));
}

template <bool Ellipse>
bool ShapeRead(TLogScan& s, std::string_view line, TLogLine& out) {
  out.Ellipse = Ellipse;
  if (!PointRead(s, " X ", out.From) || !PointRead(s, ", To X ", out.To) || !PenSizeRead(s, out.PenSize) ||
      !s.Colour(", Pen Color ", out.Pen) || !s.Colour(", Brush Color ", out.Brush))
    return false;
  std::string fill;
  if (!s.TextToEnd(", ", fill)) return false;
  if (fill != "Filled" && fill != "Not Filled") return s.Fail("the line does not end with Filled or Not Filled");
  out.Filled = fill == "Filled";
  return Same(s, line, ShapeLogLine(Ellipse, out.From, out.To, out.PenSize, out.Pen, out.Brush, out.Filled));
}

bool LineRead(TLogScan& s, std::string_view line, TLogLine& out) {
  if (!PointRead(s, " X ", out.From) || !PointRead(s, " To X ", out.To) || !PenSizeRead(s, out.PenSize) ||
      !s.Colour(", Pen Color ", out.Pen))
    return false;
  std::string mode;
  if (!s.TextToEnd(", Pen ", mode)) return false;
  const auto& modes = PenModes();
  const auto it = std::find_if(modes.begin(), modes.end(), [&](const TPenModeDef& m) { return mode == m.Caption; });
  if (it == modes.end()) return s.Fail(Quote(mode) + " is not a pen mode");
  out.PenMode = static_cast<int>(it - modes.begin());
  return Same(s, line, LineLogLine(out.From, out.To, out.PenSize, out.Pen, out.PenMode));
}

bool FloodFillRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return PointRead(s, " location X ", out.At) && s.Colour(", Brush Color ", out.Brush) &&
         Same(s, line, FloodFillLogLine(out.At.x, out.At.y, out.Brush));
}

bool EyedropperRead(TLogScan& s, std::string_view line, TLogLine& out) {
  return PointRead(s, " location X ", out.At) && Same(s, line, EyedropperLogLine(out.At.x, out.At.y));
}

bool SelectRead(TLogScan& s, std::string_view line, TLogLine& out) {
  if (!s.Int(" From Left ", out.From.x) || !s.Int(" Top ", out.From.y) || !s.Int(", Right ", out.To.x) ||
      !s.Int(" Bottom ", out.To.y))
    return false;
  static constexpr std::pair<std::string_view, TSelectAction> kTails[] = {
      {"", TSelectAction::Cancel},
      {", Copy to Clipboard", TSelectAction::CopyToClipboard},
      {", Copy to Buffer", TSelectAction::CopyToBuffer},
      {", Crop to Selection", TSelectAction::Crop},
  };
  for (const auto& [tail, action] : kTails) {
    if (s.Rest() == tail) {
      out.Action = action;
      s.Lit(tail);
      return Same(s, line, SelectLogLine(out.From, out.To, action));
    }
  }
  return s.Fail("the line does not end with Copy to Clipboard, Copy to Buffer or Crop to Selection");
}

// The font name and the text are as typed and may hold anything, commas and
// quotes included: the text is what lies between the first quote after the
// style and the last "\" , Location X", the font name what comes before the
// first ", Size n, Color R: .. G: .. B: .., Style s \"".
bool TextRead(TLogScan& s, std::string_view line, TLogLine& out) {
  if (!s.Lit(", Font ")) return false;
  const std::string_view rest = s.Rest();
  constexpr std::string_view kLocation = "\" , Location X ";
  const size_t location = rest.rfind(kLocation);
  if (location == std::string_view::npos) return s.Fail("the location after the text is missing");
  TLogScan where("", rest.substr(location + kLocation.size()));
  TPoint at;
  if (!where.Int("", at.x) || !where.Int(" Y ", at.y) || !where.AtEnd()) return s.Fail(where.Error());

  const std::string_view head = rest.substr(0, location);
  // Longest first: "Bold" begins "Bold Italic".
  static constexpr std::string_view kStyles[] = {"Bold Italic", "Normal", "Italic", "Bold"};
  std::string firstError;
  for (size_t at_size = head.find(", Size "); at_size != std::string_view::npos;
       at_size = head.find(", Size ", at_size + 1)) {
    TLogScan mid("", head.substr(at_size));
    int32_t size = 0;
    uint32_t colour = 0;
    if (mid.Int(", Size ", size) && mid.Colour(", Color ", colour) && mid.Lit(", Style ")) {
      const auto known = std::find_if(std::begin(kStyles), std::end(kStyles),
                                      [&](std::string_view style) { return mid.Rest().starts_with(style); });
      if (known != std::end(kStyles)) mid.Skip(known->size());
      if (known == std::end(kStyles)) {
        mid.Fail("the style is not Normal, Bold, Italic or Bold Italic");
      } else if (!mid.Rest().starts_with(" \"")) {
        mid.Fail("the text does not start with a quote after the style");
      } else {
        const std::string_view style = *known;
        TLogLine t = out;
        t.FontName.assign(head.substr(0, at_size));
        t.FontSize = size;
        t.Colour = colour;
        t.Bold = style.starts_with("Bold");
        t.Italic = style.ends_with("Italic");
        t.TextBody.assign(mid.Rest().substr(2));
        t.At = at;
        if (TextToolLogLine(t.FontName, t.FontSize, t.Colour, t.Bold, t.Italic, t.TextBody, at.x, at.y) == line) {
          out = std::move(t);
          return true;
        }
        mid.Fail("the line differs from what the editor writes for these values");
      }
    }
    if (firstError.empty()) firstError = mid.Error();
  }
  return s.Fail(firstError.empty() ? "the size is missing" : firstError);
}

// Lines claimed by their leading words. A form claims a line that starts with
// its words followed by the end, a blank or a comma; a claimed line is read
// by that form only (a failure is that form's, never an effect's).
struct TForm {
  std::string_view Words;
  std::string_view Subject;  // what its messages start with
  K Kind;
  TFormReader Read;
};
constexpr TForm kForms[] = {
    {"Log starts", "Log start line", K::Start, StartRead},
    {"Open File", "Open File", K::OpenFile, OpenRead},
    {"Load Buffer from File", "Load Buffer from File", K::LoadBuffer, LoadBufferRead},
    {"New Image", "New Image", K::NewImage, NewImageRead},
    {"Paste As Selection", "Paste As Selection", K::PasteAsSelection, PasteAsSelectionRead},
    {"ToolBox Sliders to positions:", "ToolBox Sliders", K::Sliders, SlidersRead},
    {"Scroll Right", "Scroll Right", K::Scroll, ScrollRead<TScrollDirection::Right>},
    {"Scroll Left", "Scroll Left", K::Scroll, ScrollRead<TScrollDirection::Left>},
    {"Scroll Down", "Scroll Down", K::Scroll, ScrollRead<TScrollDirection::Down>},
    {"Scroll Up", "Scroll Up", K::Scroll, ScrollRead<TScrollDirection::Up>},
    {"Design Your Own Filter", "Design Your Own Filter", K::DesignFilter, DesignFilterRead},
    {"Edge Merge", "Edge Merge", K::EdgeMerge, EdgeMergeRead},
    {"Resize Fast", "Resize Fast", K::Resize, ResizeRead<false>},
    {"Resize Smooth", "Resize Smooth", K::Resize, ResizeRead<true>},
    {"Design Gradient", "Design Gradient", K::DesignGradient, DesignGradientRead},
    {"MultiGradient", "MultiGradient", K::MultiGradient, MultiGradientRead},
    {"FreeHand Drawing", "FreeHand Drawing", K::Freehand, FreehandRead},
    {"Ellipse from", "Ellipse", K::Shape, ShapeRead<true>},
    {"Rectangle from", "Rectangle", K::Shape, ShapeRead<false>},
    {"Line from", "Line", K::Line, LineRead},
    {"FloodFill at", "FloodFill", K::FloodFill, FloodFillRead},
    {"Eyedropper at", "Eyedropper", K::Eyedropper, EyedropperRead},
    {"Select Area", "Select Area", K::Select, SelectRead},
    {"Text Tool", "Text Tool", K::Text, TextRead},
};

bool Claims(std::string_view line, std::string_view words) {
  if (!line.starts_with(words)) return false;
  if (line.size() == words.size()) return true;
  const char next = line[words.size()];
  return next == ' ' || next == ',';
}

// Every name an effect line can start with (tree and menu names of the ids
// that write a line), longest first, so that a name that begins another is
// tried after it.
struct TEffectName {
  std::string_view Name;
  int Id;
};
const std::vector<TEffectName>& EffectNames() {
  static const std::vector<TEffectName> names = [] {
    std::vector<TEffectName> list;
    for (const TEffectDef& d : EffectDefs()) {
      if (!d.WritesLine) continue;
      list.push_back({d.Entry.TreeName, d.Entry.Id});
      if (d.Entry.MenuName && std::string_view(d.Entry.MenuName) != d.Entry.TreeName)
        list.push_back({d.Entry.MenuName, d.Entry.Id});
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const TEffectName& a, const TEffectName& b) { return a.Name.size() > b.Name.size(); });
    return list;
  }();
  return names;
}

bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

// The rule that tells the kinds apart, in this order:
// 1. An empty line, or one of blanks only, is Empty.
// 2. A line that is one of the fixed texts ("4 Way Flip", "Rainbow", "Color
//    Wheel", "Image Reset", "UnDo", ...) is that kind. No effect has one of
//    these as its name.
// 3. A line whose leading words are those of a command line ("Scroll Right",
//    "Resize Fast", "Design Your Own Filter", "Text Tool", ...) is read as that
//    command and nothing else. The words are matched exactly, letter case
//    included, so "Resize Fast, Width 8, Height 8" is the resize itself while
//    the plain "ReSize Fast" that Apply writes after it is not claimed, and
//    neither is the plain "Design Your Own" Apply writes after the filter line.
// 4. Anything else is an effect line: a tree or menu name (letter case
//    included), then nothing or that id's suffix. The plain "Design Your Own",
//    "ReSize Fast" and "ReSize Smooth" are effect lines of ids 14, 38, 39.
std::optional<std::string> ParseLogLine(std::string_view text, TEffectParams& params, TLogContext& context,
                                        TLogLine& out) {
  TLogLine line;
  if (text.size() > kMaxLogLineLength)
    return "the line is longer than " + std::to_string(kMaxLogLineLength) + " characters";
  if (Blank(text)) {
    out = std::move(line);
    return std::nullopt;
  }
  for (const TFixedLine& fixed : kFixedLines) {
    if (text == fixed.Text) {
      line.Kind = fixed.Kind;
      out = std::move(line);
      return std::nullopt;
    }
  }
  for (const TForm& form : kForms) {
    if (!Claims(text, form.Words)) continue;
    TLogScan scan(form.Subject, text.substr(form.Words.size()));
    line.Kind = form.Kind;
    if (!form.Read(scan, text, line)) return scan.Error();
    out = std::move(line);
    return std::nullopt;
  }

  std::optional<std::string> firstError;
  for (const TEffectName& candidate : EffectNames()) {
    // Every suffix starts with a comma.
    if (!text.starts_with(candidate.Name) || (text.size() > candidate.Name.size() && text[candidate.Name.size()] != ','))
      continue;
    const TEffectDef* def = EffectDef(candidate.Id);
    TEffectParams p = params;
    TLogContext c = context;
    TLogRead read(candidate.Name, text.substr(candidate.Name.size()), candidate.Id, p, c);
    bool ok;
    if (def->Read) {
      ok = def->Read(read) && read.AtEnd();
    } else {
      ok = read.Rest().empty() || read.Fail(" is written without values");
    }
    if (ok) {
      const std::optional<std::string> again = EffectLogLine(candidate.Id, candidate.Name, p, c);
      if (again && *again == text) {
        params = p;
        context = c;
        line.Kind = K::Effect;
        line.Id = candidate.Id;
        line.Name = std::string(candidate.Name);
        out = std::move(line);
        return std::nullopt;
      }
      read.Fail("the line differs from what the editor writes for these values");
    }
    if (!firstError) firstError = read.Error();
  }
  if (firstError) return firstError;
  return std::string(kNotALogLine);
}

// ---- the reader -------------------------------------------------------------------

bool TLogLineReader::Next(std::string& line) {
  line.clear();
  if (!error_.empty()) return false;
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr) return false;
  using Traits = std::streambuf::traits_type;
  int c = buffer->sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) return false;
  ++number_;
  for (; !Traits::eq_int_type(c, Traits::eof()); c = buffer->sbumpc()) {
    const char ch = Traits::to_char_type(c);
    if (ch == '\n') return true;
    if (ch == '\r') {
      if (Traits::eq_int_type(buffer->sgetc(), Traits::to_int_type('\n'))) buffer->sbumpc();
      return true;
    }
    if (line.size() == kMaxLogLineLength) {
      line.clear();
      line.shrink_to_fit();
      error_ = "the line is longer than " + std::to_string(kMaxLogLineLength) + " characters";
      return false;
    }
    line.push_back(ch);
  }
  return true;  // the last line, without a line end
}

}  // namespace vell
