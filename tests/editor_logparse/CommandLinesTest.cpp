// The lines of the commands and tools read back from their writers' text,
// and lines the editor never writes refused without touching the state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/CanvasTools.h"
#include "editor/Editor.h"
#include "editor/EffectLog.h"
#include "editor/LogParse.h"
#include "editor/OperationLog.h"

namespace vell {
namespace {

using K = TLogLineKind;

// The line the editor writes for what was read: every member the parser
// filled goes back through the writer of its kind.
std::string WriteBack(const TLogLine& l) {
  const TGradientFields& g = l.Gradient;
  switch (l.Kind) {
    case K::Start:
      return LogStartLine({l.Width, l.Height, g.Style, ColorText(g.FromColor), ColorText(g.ToColor), g.Angle});
    case K::OpenFile: return OpenFileLine(l.Path);
    case K::LoadBuffer: return LoadBufferLine(l.Path);
    case K::NewImage: return NewImageLine(l.Colour);
    case K::PasteAsSelection: return PasteAsSelectionLogLine(l.At.x, l.At.y);
    case K::Sliders: return SlidersLine(l.Sliders);
    case K::Scroll: return ScrollLine(l.Direction, l.Amount);
    case K::DesignFilter: return DesignFilterLine(l.Kernel, l.KernelDivisor);
    case K::EdgeMerge: return EdgeMergeLine(l.Divisor);
    case K::Resize: return ResizeLine(l.Smooth, l.Width, l.Height);
    case K::DesignGradient: return DesignGradientLine(g);
    case K::MultiGradient: return MultiGradientLine(l.SizeText[0], l.SizeText[1]);
    case K::Freehand: return FreehandLogLine(l.PenSize, l.Pen);
    case K::Shape: return ShapeLogLine(l.Ellipse, l.From, l.To, l.PenSize, l.Pen, l.Brush, l.Filled);
    case K::Line: return LineLogLine(l.From, l.To, l.PenSize, l.Pen, l.PenMode);
    case K::FloodFill: return FloodFillLogLine(l.At.x, l.At.y, l.Brush);
    case K::Eyedropper: return EyedropperLogLine(l.At.x, l.At.y);
    case K::Select: return SelectLogLine(l.From, l.To, l.Action);
    case K::Text:
      return TextToolLogLine(l.FontName, l.FontSize, l.Colour, l.Bold, l.Italic, l.TextBody, l.At.x, l.At.y);
    default: return "(fixed)";
  }
}

TEST(CommandLines, EveryKindFromItsWriter) {
  const std::pair<std::string, K> cases[] = {
      {"", K::Empty},
      {"   ", K::Empty},
      {LogStartLine({640, 480, "Elliptic", ColorText(0x010203), ColorText(0xFFFFFF), "15"}), K::Start},
      {std::string(LogAppendMarker), K::AppendMarker},
      {std::string(LogUndo), K::UnDo},
      {OpenFileLine("/home/u/My Tiles/a, b.bmp"), K::OpenFile},
      {NewImageLine(0x00FF7F), K::NewImage},
      {std::string(LogImageReset), K::ImageReset},
      {std::string(LogCopyImageToClipboard), K::CopyImageToClipboard},
      {std::string(LogPasteClipboardToImage), K::PasteClipboardToImage},
      {std::string(LogPasteTransparent), K::PasteTransparent},
      {PasteAsSelectionLogLine(-12, 34), K::PasteAsSelection},
      {std::string(LogCopyImageToBuffer), K::CopyImageToBuffer},
      {std::string(LogPasteBufferToImage), K::PasteBufferToImage},
      {std::string(LogCopyBufferToClipboard), K::CopyBufferToClipboard},
      {std::string(LogPasteClipboardToBuffer), K::PasteClipboardToBuffer},
      {LoadBufferLine("/tmp/buf.jpg"), K::LoadBuffer},
      {SlidersLine({0, 510, 255, 1, 509, 300}), K::Sliders},
      {ScrollLine(TScrollDirection::Right, 64), K::Scroll},
      {ScrollLine(TScrollDirection::Left, 1), K::Scroll},
      {ScrollLine(TScrollDirection::Down, 0), K::Scroll},
      {ScrollLine(TScrollDirection::Up, -3), K::Scroll},
      {DesignFilterLine({"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1"}, "1"), K::DesignFilter},
      // Fields as entered: blanks before a number, a sign, hex digits.
      {DesignFilterLine({" 2", "+1", "$A", "  0", "1", "1", "1", "1", "1"}, " 16"), K::DesignFilter},
      {EdgeMergeLine(16), K::EdgeMerge},
      {EdgeMergeLine(8), K::EdgeMerge},
      {EdgeMergeLine(4), K::EdgeMerge},
      {std::string(LogFourWayFlip), K::FourWayFlip},
      {ResizeLine(true, 1024, 1), K::Resize},
      {ResizeLine(false, 3, 5), K::Resize},
      {DesignGradientLine({"300", "2", "Radial1", 0x0000FF, 0x102030, "-90"}), K::DesignGradient},
      {std::string(LogPasteGradientToImage), K::PasteGradient},
      {std::string(LogColorWheel), K::ColorWheel},
      {MultiGradientLine("512", "64"), K::MultiGradient},
      {std::string(LogRainbow), K::Rainbow},
      {FreehandLogLine("12", 0x0000FF), K::Freehand},
      {ShapeLogLine(true, {200, 150}, {10, -5}, "3", 0x111111, 0x222222, false), K::Shape},
      {ShapeLogLine(false, {0, 0}, {8, 8}, "$1", 0, 0xFFFFFF, true), K::Shape},
      {LineLogLine({1, 2}, {3, 4}, "2", 0x00FF00, 11), K::Line},
      {LineLogLine({1, 2}, {3, 4}, "2", 0, 4), K::Line},
      {FloodFillLogLine(7, 9, 0xABCDEF), K::FloodFill},
      {EyedropperLogLine(255, 0), K::Eyedropper},
      {SelectLogLine({100, 90}, {10, 20}, TSelectAction::Crop), K::Select},
      {SelectLogLine({0, 0}, {5, 5}, TSelectAction::CopyToClipboard), K::Select},
      {SelectLogLine({0, 0}, {5, 5}, TSelectAction::CopyToBuffer), K::Select},
      {TextToolLogLine("DejaVu Sans", 12, 0x0000FF, true, true, "Hi", 5, 6), K::Text},
      {TextToolLogLine("Serif", 10, 0xFFFFFF, false, false, "", 0, 0), K::Text},
  };
  for (const auto& [line, kind] : cases) {
    SCOPED_TRACE(line);
    TEffectParams params;
    TLogContext context;
    TLogLine out;
    const std::optional<std::string> error = ParseLogLine(line, params, context, out);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(out.Kind, kind);
    if (WriteBack(out) != "(fixed)") {
      EXPECT_EQ(WriteBack(out), line);
    }
    // Only effect lines change the running state.
    EXPECT_EQ(params.Extras, TEffectParams().Extras);
    EXPECT_EQ(context.Gradient.Style, TLogContext().Gradient.Style);
  }
}

// The font name and the text may look like the fixed parts around them.
TEST(CommandLines, TextToolWithLookalikeFontAndText) {
  const std::string text = "say \"x\" , Location X 1 Y 2, Size 9, Style Bold \"";
  TEffectParams params;
  TLogContext context;
  TLogLine out;
  ASSERT_FALSE(ParseLogLine(TextToolLogLine("Odd, Size 3", 8, 0, false, true, text, -4, 40), params, context, out));
  EXPECT_EQ(out.FontName, "Odd, Size 3");
  EXPECT_EQ(out.FontSize, 8);
  EXPECT_FALSE(out.Bold);
  EXPECT_TRUE(out.Italic);
  EXPECT_EQ(out.TextBody, text);
  EXPECT_EQ(out.At.x, -4);
  EXPECT_EQ(out.At.y, 40);
}

// What a hand edit gets: a short reason, and nothing changed.
TEST(CommandLines, MalformedLinesAreRefusedAndChangeNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"Twist", "Twist: the line ends before Looseness"},
      {"Twist, Looseness", "Twist: the value after Looseness is missing"},
      {"Twist, Loseness 100", "Twist: expected Looseness at \", Loseness 100\""},
      {"Twist,  Looseness 100", "Twist: expected Looseness"},
      {"Twist, Looseness  100", "Twist: the value after Looseness is not a whole number"},
      {"Twist, Looseness 100 ", "Twist: unexpected \" \" at the end"},
      {"Twist, Looseness 0100", "Twist: the line differs from what the editor writes"},
      {"Twist, Looseness 99999999999", "Twist: the value after Looseness does not fit 32 bits"},
      {"Gaussian Blur, Blurriness 2x", "Gaussian Blur: the value after Blurriness is not a whole number"},
      {"Tint, Color R: 256 G: 0 B: 0", "Tint: the colour after Color has a part that is not a whole number 0 ... 255"},
      {"Tint, Color R: 0 G: 0", "Tint: the colour after Color is not written as R: r G: g B: b"},
      {"SineWave U/D, Peaks 3.0, Height 50, Wrap = True", "the line differs from what the editor writes"},
      {"SineWave U/D, Peaks three, Height 50, Wrap = True", "SineWave U/D: the value after Peaks is not a number"},
      {"SineWave U/D, Peaks INF, Height 50, Wrap = True", "the value after Peaks is not a finite number"},
      {"Fisheye, Magnification 1E39", "the value after Magnification is not a finite number"},
      {"SineWave U/D, Peaks 3, Height 50, Wrap = Yes", "the value after Wrap is neither True nor False"},
      {"Negative, Amount 3", "Negative is written without values"},
      {"Frobnicate, Amount 3", "not a log line the editor writes"},
      {"twist, Looseness 100", "not a log line the editor writes"},
      {"Scroll", "not a log line the editor writes"},
      {"Rainbow ", "not a log line the editor writes"},
      {"Map Texture, Brightness 18, Use Nothing", "Map Texture: the texture source is not"},
      {"Gradient, Width 1, Height 1, Gradient Diagonal, From Color R: 0 G: 0 B: 1, To Color R: 0 G: 0 B: 0, Angle 0",
       "Gradient: \"Diagonal\" is not a gradient style"},
      {"Edge Merge 1/2", "Edge Merge takes 1/16, 1/8 or 1/4"},
      {"Resize Smooth, Width -5, Height 10", "Resize Smooth: the width and height must be 1 or more"},
      {"Scroll Right x", "Scroll Right: the value is not a whole number"},
      {"ToolBox Sliders to positions:  Lightness 256, Contrast 0, Saturation 0, Red 0, Green 0, Blue 0",
       "ToolBox Sliders: Lightness is outside -255 ... 255"},
      {"Design Your Own Filter, Settings: 1 2 3 , Divisor 1", "Design Your Own Filter: setting 4 is not a whole number"},
      {"Open File ", "Open File: the file name is missing"},
      {"FreeHand Drawing, Pen Size 0, Pen Color R: 0 G: 0 B: 0", "the pen size is not a whole number above 0"},
      {"Line from X 1 Y 2 To X 3 Y 4, Pen Size 2, Pen Color R: 0 G: 0 B: 0, Pen Sideways",
       "Line: \"Sideways\" is not a pen mode"},
      {"Ellipse from X 1 Y 2, To X 3 Y 4, Pen Size 2, Pen Color R: 0 G: 0 B: 0, Brush Color R: 0 G: 0 B: 0, Full",
       "does not end with Filled or Not Filled"},
      {"Select Area From Left 1 Top 2, Right 3 Bottom 4, Print", "does not end with Copy to Clipboard"},
      {"Text Tool, Font Serif, Size 8, Color R: 0 G: 0 B: 0, Style Heavy \"x\" , Location X 1 Y 2",
       "Text Tool: the style is not Normal, Bold, Italic or Bold Italic"},
      {"Log starts  - current Gradient: Width -1, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To "
       "Color R: 0 G: 255 B: 255, Angle 0",
       "Log start line: the image size cannot be negative"},
  };
  const std::string huge = "Twist, Looseness 1" + std::string(kMaxLogLineLength, '0');
  std::vector<std::pair<const char*, const char*>> all(std::begin(cases), std::end(cases));
  all.emplace_back(huge.c_str(), "longer than");
  for (const auto& [line, expected] : all) {
    SCOPED_TRACE(std::string(line).substr(0, 100));
    TEffectParams params;
    params.Value(18) = 77;
    params.Extras.UDPeakVal = 9.5f;
    TLogContext context;
    context.TintColor = 0x123456;
    context.TextureSource = "Use Buffer";
    context.Wrap = false;
    const TEffectParams paramsBefore = params;
    const TLogContext contextBefore = context;
    TLogLine out;
    const std::optional<std::string> error = ParseLogLine(line, params, context, out);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(expected), std::string::npos) << *error;
    EXPECT_EQ(params.EffectValues, paramsBefore.EffectValues);
    EXPECT_EQ(params.Extras, paramsBefore.Extras);
    EXPECT_EQ(context.TintColor, contextBefore.TintColor);
    EXPECT_EQ(context.TextureSource, contextBefore.TextureSource);
    EXPECT_EQ(context.Wrap, contextBefore.Wrap);
  }
}

}  // namespace
}  // namespace vell
