// The lines of the commands and tools read back from their writers' text,
// and lines the editor never writes refused without touching the state.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/CanvasTools.h"
#include "editor/Editor.h"
#include "editor/EffectLog.h"
#include "editor/LogParse.h"
#include "editor/OperationLog.h"

namespace vell {
namespace {

using K = TLogLineKind;

TEST(CommandLines, EveryKindFromItsWriter) {
  const TGradientFields odd{"300", "2", "Radial1", 0x0000FF, 0x102030, "-90"};
  const TLogStartInfo start{640, 480, "Elliptic", ColorText(0x010203), ColorText(0xFFFFFF), "15"};
  struct TCase {
    std::string Line;
    K Kind;
    std::function<void(const TLogLine&)> Check;
  };
  const TCase cases[] = {
      {"", K::Empty, nullptr},
      {"   ", K::Empty, nullptr},
      {LogStartLine(start), K::Start,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Width, 640);
         EXPECT_EQ(l.Height, 480);
         EXPECT_EQ(l.Gradient.Style, "Elliptic");
         EXPECT_EQ(l.Gradient.FromColor, 0x010203u);
         EXPECT_EQ(l.Gradient.ToColor, 0xFFFFFFu);
         EXPECT_EQ(l.Gradient.Angle, "15");
       }},
      {std::string(LogAppendMarker), K::AppendMarker, nullptr},
      {std::string(LogUndo), K::UnDo, nullptr},
      {OpenFileLine("/home/u/My Tiles/a, b.bmp"), K::OpenFile,
       [](const TLogLine& l) { EXPECT_EQ(l.Path, "/home/u/My Tiles/a, b.bmp"); }},
      {NewImageLine(0x00FF7F), K::NewImage, [](const TLogLine& l) { EXPECT_EQ(l.Colour, 0x00FF7Fu); }},
      {std::string(LogImageReset), K::ImageReset, nullptr},
      {std::string(LogCopyImageToClipboard), K::CopyImageToClipboard, nullptr},
      {std::string(LogPasteClipboardToImage), K::PasteClipboardToImage, nullptr},
      {std::string(LogPasteTransparent), K::PasteTransparent, nullptr},
      {PasteAsSelectionLogLine(-12, 34), K::PasteAsSelection,
       [](const TLogLine& l) {
         EXPECT_EQ(l.At.x, -12);
         EXPECT_EQ(l.At.y, 34);
       }},
      {std::string(LogCopyImageToBuffer), K::CopyImageToBuffer, nullptr},
      {std::string(LogPasteBufferToImage), K::PasteBufferToImage, nullptr},
      {std::string(LogCopyBufferToClipboard), K::CopyBufferToClipboard, nullptr},
      {std::string(LogPasteClipboardToBuffer), K::PasteClipboardToBuffer, nullptr},
      {LoadBufferLine("/tmp/buf.jpg"), K::LoadBuffer, [](const TLogLine& l) { EXPECT_EQ(l.Path, "/tmp/buf.jpg"); }},
      {SlidersLine({0, 510, 255, 1, 509, 300}), K::Sliders,
       [](const TLogLine& l) { EXPECT_EQ(l.Sliders, (std::array<int, 6>{0, 510, 255, 1, 509, 300})); }},
      {ScrollLine(TScrollDirection::Right, 64), K::Scroll,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Direction, TScrollDirection::Right);
         EXPECT_EQ(l.Amount, 64);
       }},
      {ScrollLine(TScrollDirection::Up, -3), K::Scroll,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Direction, TScrollDirection::Up);
         EXPECT_EQ(l.Amount, -3);
       }},
      {ScrollLine(TScrollDirection::Left, 1), K::Scroll,
       [](const TLogLine& l) { EXPECT_EQ(l.Direction, TScrollDirection::Left); }},
      {ScrollLine(TScrollDirection::Down, 0), K::Scroll,
       [](const TLogLine& l) { EXPECT_EQ(l.Direction, TScrollDirection::Down); }},
      {DesignFilterLine({"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1"}, "1"), K::DesignFilter,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Kernel[4], "-3");
         EXPECT_EQ(l.Kernel[8], "-1");
         EXPECT_EQ(l.KernelDivisor, "1");
       }},
      // Fields as entered: blanks before a number and hex digits.
      {DesignFilterLine({" 2", "+1", "$A", "  0", "1", "1", "1", "1", "1"}, " 16"), K::DesignFilter,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Kernel[0], " 2");
         EXPECT_EQ(l.Kernel[2], "$A");
         EXPECT_EQ(l.Kernel[3], "  0");
         EXPECT_EQ(l.KernelDivisor, " 16");
       }},
      {EdgeMergeLine(16), K::EdgeMerge, [](const TLogLine& l) { EXPECT_EQ(l.Divisor, 16); }},
      {EdgeMergeLine(8), K::EdgeMerge, [](const TLogLine& l) { EXPECT_EQ(l.Divisor, 8); }},
      {EdgeMergeLine(4), K::EdgeMerge, [](const TLogLine& l) { EXPECT_EQ(l.Divisor, 4); }},
      {std::string(LogFourWayFlip), K::FourWayFlip, nullptr},
      {ResizeLine(true, 1024, 1), K::Resize,
       [](const TLogLine& l) {
         EXPECT_TRUE(l.Smooth);
         EXPECT_EQ(l.Width, 1024);
         EXPECT_EQ(l.Height, 1);
       }},
      {ResizeLine(false, 3, 5), K::Resize, [](const TLogLine& l) { EXPECT_FALSE(l.Smooth); }},
      {DesignGradientLine(odd), K::DesignGradient,
       [&](const TLogLine& l) {
         EXPECT_EQ(l.Gradient.Width, "300");
         EXPECT_EQ(l.Gradient.Height, "2");
         EXPECT_EQ(l.Gradient.Style, "Radial1");
         EXPECT_EQ(l.Gradient.FromColor, 0x0000FFu);
         EXPECT_EQ(l.Gradient.Angle, "-90");
       }},
      {std::string(LogPasteGradientToImage), K::PasteGradient, nullptr},
      {std::string(LogColorWheel), K::ColorWheel, nullptr},
      {MultiGradientLine("512", "64"), K::MultiGradient,
       [](const TLogLine& l) {
         EXPECT_EQ(l.SizeText[0], "512");
         EXPECT_EQ(l.SizeText[1], "64");
       }},
      {std::string(LogRainbow), K::Rainbow, nullptr},
      {FreehandLogLine("12", 0x0000FF), K::Freehand,
       [](const TLogLine& l) {
         EXPECT_EQ(l.PenSize, "12");
         EXPECT_EQ(l.Pen, 0x0000FFu);
       }},
      {ShapeLogLine(true, {200, 150}, {10, -5}, "3", 0x111111, 0x222222, false), K::Shape,
       [](const TLogLine& l) {
         EXPECT_TRUE(l.Ellipse);
         EXPECT_EQ(l.From.x, 200);
         EXPECT_EQ(l.From.y, 150);
         EXPECT_EQ(l.To.x, 10);
         EXPECT_EQ(l.To.y, -5);
         EXPECT_EQ(l.PenSize, "3");
         EXPECT_EQ(l.Brush, 0x222222u);
         EXPECT_FALSE(l.Filled);
       }},
      {ShapeLogLine(false, {0, 0}, {8, 8}, "1", 0, 0xFFFFFF, true), K::Shape,
       [](const TLogLine& l) {
         EXPECT_FALSE(l.Ellipse);
         EXPECT_TRUE(l.Filled);
       }},
      {LineLogLine({1, 2}, {3, 4}, "2", 0x00FF00, 11), K::Line,
       [](const TLogLine& l) {
         EXPECT_EQ(l.PenMode, 11);  // XORPen
         EXPECT_EQ(l.To.y, 4);
         EXPECT_EQ(l.Pen, 0x00FF00u);
       }},
      {LineLogLine({1, 2}, {3, 4}, "2", 0, 4), K::Line, [](const TLogLine& l) { EXPECT_EQ(l.PenMode, 4); }},
      {FloodFillLogLine(7, 9, 0xABCDEF), K::FloodFill,
       [](const TLogLine& l) {
         EXPECT_EQ(l.At.x, 7);
         EXPECT_EQ(l.Brush, 0xABCDEFu);
       }},
      {EyedropperLogLine(255, 0), K::Eyedropper, [](const TLogLine& l) { EXPECT_EQ(l.At.x, 255); }},
      {SelectLogLine({100, 90}, {10, 20}, TSelectAction::Crop), K::Select,
       [](const TLogLine& l) {
         EXPECT_EQ(l.Action, TSelectAction::Crop);
         EXPECT_EQ(l.From.x, 100);
         EXPECT_EQ(l.To.y, 20);
       }},
      {SelectLogLine({0, 0}, {5, 5}, TSelectAction::CopyToClipboard), K::Select,
       [](const TLogLine& l) { EXPECT_EQ(l.Action, TSelectAction::CopyToClipboard); }},
      {SelectLogLine({0, 0}, {5, 5}, TSelectAction::CopyToBuffer), K::Select,
       [](const TLogLine& l) { EXPECT_EQ(l.Action, TSelectAction::CopyToBuffer); }},
      {TextToolLogLine("DejaVu Sans", 12, 0x0000FF, true, true, "Hi", 5, 6), K::Text,
       [](const TLogLine& l) {
         EXPECT_EQ(l.FontName, "DejaVu Sans");
         EXPECT_EQ(l.FontSize, 12);
         EXPECT_EQ(l.Colour, 0x0000FFu);
         EXPECT_TRUE(l.Bold);
         EXPECT_TRUE(l.Italic);
         EXPECT_EQ(l.TextBody, "Hi");
         EXPECT_EQ(l.At.x, 5);
         EXPECT_EQ(l.At.y, 6);
       }},
      // The text may look like the rest of the line.
      {TextToolLogLine("Odd, Size 3", 8, 0, false, true, "say \"x\" , Location X 1 Y 2, Size 9, Style Bold \"", -4, 40),
       K::Text,
       [](const TLogLine& l) {
         EXPECT_EQ(l.FontName, "Odd, Size 3");
         EXPECT_EQ(l.FontSize, 8);
         EXPECT_FALSE(l.Bold);
         EXPECT_TRUE(l.Italic);
         EXPECT_EQ(l.TextBody, "say \"x\" , Location X 1 Y 2, Size 9, Style Bold \"");
         EXPECT_EQ(l.At.x, -4);
       }},
      {TextToolLogLine("Serif", 10, 0xFFFFFF, false, false, "", 0, 0), K::Text,
       [](const TLogLine& l) {
         EXPECT_TRUE(l.TextBody.empty());
         EXPECT_FALSE(l.Bold || l.Italic);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    TEffectParams params;
    TLogContext context;
    TLogLine out;
    const std::optional<std::string> error = ParseLogLine(c.Line, params, context, out);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(out.Kind, c.Kind);
    if (c.Check) c.Check(out);
    // Only effect lines change the running state.
    EXPECT_EQ(params.Extras, TEffectParams().Extras);
    EXPECT_EQ(context.Gradient.Style, TLogContext().Gradient.Style);
  }
}

// What a hand edit gets: a short reason, and nothing changed.
TEST(CommandLines, MalformedLinesAreRefusedAndChangeNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"Twist", "Twist: the line ends before Looseness"},
      {"Twist, Looseness", "Twist: the line ends before Looseness"},
      {"Twist, Loseness 100", "Twist: expected Looseness at \", Loseness 100\""},
      {"Twist,  Looseness 100", "Twist: expected Looseness"},
      {"Twist, Looseness  100", "Twist: the value after Looseness is not a whole number"},
      {"Twist, Looseness 100 ", "Twist: unexpected \" \" at the end"},
      {"Twist, Looseness 0100", "Twist: the line differs from what the editor writes"},
      {"Twist, Looseness 99999999999", "Twist: the value after Looseness does not fit 32 bits"},
      {"Twist, Looseness 2147483648", "does not fit 32 bits"},
      {"Gaussian Blur, Blurriness 2x", "Gaussian Blur: the value after Blurriness is not a whole number"},
      {"Gaussian Blur, Blurriness 2.5", "Gaussian Blur: the value after Blurriness is not a whole number"},
      {"Tint, Color R: 256 G: 0 B: 0", "Tint: the colour after Color has a part that is not a whole number 0 ... 255"},
      {"Tint, Color R: 0 G: -1 B: 0", "0 ... 255"},
      {"Tint, Color R: 0 G: 0", "Tint: the colour after Color is not written as R: r G: g B: b"},
      {"SineWave U/D, Peaks 3.0, Height 50, Wrap = True", "the line differs from what the editor writes"},
      {"SineWave U/D, Peaks three, Height 50, Wrap = True", "SineWave U/D: the value after Peaks is not a number"},
      {"SineWave U/D, Peaks 3, Height 50, Wrap = Yes", "the value after Wrap is neither True nor False"},
      {"SineWave U/D, Peaks 3, Height 50", "SineWave U/D: the line ends before Wrap"},
      {"Negative, Amount 3", "Negative is written without values"},
      {"Frobnicate, Amount 3", "not a log line the editor writes"},
      {"twist, Looseness 100", "not a log line the editor writes"},
      {"Scroll", "not a log line the editor writes"},
      {"Rainbow ", "not a log line the editor writes"},
      {"Map Texture, Brightness 18, Use Nothing", "Map Texture: the texture source is not"},
      {"Map Texture, Brightness 18, Use File ", "Map Texture: the texture source is not"},
      {"Gradient, Width 256, Height 256, Gradient Diagonal, From Color R: 0 G: 0 B: 128, To Color R: 0 G: 255 B: "
       "255, Angle 0",
       "Gradient: \"Diagonal\" is not a gradient style"},
      {"Edge Merge 1/2", "Edge Merge takes 1/16, 1/8 or 1/4"},
      {"Edge Merge", "Edge Merge takes 1/16, 1/8 or 1/4"},
      {"Resize Smooth, Width -5, Height 10", "Resize Smooth: the width and height must be 1 or more"},
      {"Resize Fast, Width 10", "Resize Fast: the line ends before Height"},
      {"Scroll Right x", "Scroll Right: the value is not a whole number"},
      {"Scroll Up 99999999999", "Scroll Up: the value does not fit 32 bits"},
      {"ToolBox Sliders to positions:  Lightness 256, Contrast 0, Saturation 0, Red 0, Green 0, Blue 0",
       "ToolBox Sliders: Lightness is outside -255 ... 255"},
      {"ToolBox Sliders to positions: Lightness 0, Contrast 0, Saturation 0, Red 0, Green 0, Blue 0",
       "expected Lightness"},
      {"Design Your Own Filter, Settings: 1 2 3 , Divisor 1", "Design Your Own Filter: setting 4 is not a whole number"},
      {"Design Your Own Filter, Settings: 1 1 1 1 1 1 1 1 1 , Divisor x", "the divisor is not a whole number"},
      {"Open File ", "Open File: the file name is missing"},
      {"Open File", "Open File: the line ends too early"},
      {"FreeHand Drawing, Pen Size 0, Pen Color R: 0 G: 0 B: 0", "the pen size is not a whole number above 0"},
      {"Line from X 1 Y 2 To X 3 Y 4, Pen Size 2, Pen Color R: 0 G: 0 B: 0, Pen Sideways",
       "Line: \"Sideways\" is not a pen mode"},
      {"Ellipse from X 1 Y 2, To X 3 Y 4, Pen Size 2, Pen Color R: 0 G: 0 B: 0, Brush Color R: 0 G: 0 B: 0, Full",
       "does not end with Filled or Not Filled"},
      {"Select Area From Left 1 Top 2, Right 3 Bottom 4, Print", "does not end with Copy to Clipboard"},
      {"Text Tool, Font Serif, Size 8, Color R: 0 G: 0 B: 0, Style Heavy \"x\" , Location X 1 Y 2",
       "Text Tool: the style is not Normal, Bold, Italic or Bold Italic"},
      {"Text Tool, Font Serif, Size 8, Color R: 0 G: 0 B: 0, Style Bold \"x\"", "the location after the text is missing"},
      {"Log starts  - current Gradient: Width -1, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To "
       "Color R: 0 G: 255 B: 255, Angle 0",
       "Log start line: the image size cannot be negative"},
      {"Log starts  - current Gradient: Width 256, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128",
       "Log start line: the line ends before To Color"},
  };
  for (const auto& [line, expected] : cases) {
    SCOPED_TRACE(line);
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
    EXPECT_EQ(context.UsePeaks, contextBefore.UsePeaks);
  }
}

}  // namespace
}  // namespace vell
