#include "editor/EffectLog.h"

#include <gtest/gtest.h>

#include <map>

#include "editor/EffectCatalogue.h"

namespace vell {
namespace {

// Every id's line with the start-up values, named as in the tree.
TEST(EffectLog, EveryIdWithDefaults) {
  const std::map<int, std::string> suffix = {
      {6, ", Lightness 250"},
      {13, ", Blurriness 2"},
      {15, ", Peaks 3, Height 50, Wrap = True"},
      {16, ", Peaks 2, Height 64, Wrap = True"},
      {17, ", U/D Peaks 3, U/D Height 50, L/R Peaks 2, L/R Height 64"},
      {18, ", Looseness 100"},
      {19, ", Magnification 0.75"},
      {21, ", Thickness 5"},
      {22, ", Size Difference 25"},
      {23, ", Size of Cell 3"},
      {24, ", Size of Circle 6"},
      {25, ", Noisiness 50"},
      {26, ", Scatterosity 15"},
      {27, ", SwizzleWidth 64"},
      {28, ", Brightness 18, Use Current Texture"},
      {29, ", Graininess 700, Scale 2, Turbulence 120"},
      {30, ", Bits 8"},
      {34, ", Color R: 0 G: 0 B: 0"},
      {37, ", Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255"},
      {43, ", Angle 45"},
      {46, ", Size of Cell 3"},
      {47, ", Number of Bars 3"},
      {48, ", Width 256, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To Color R: 0 G: 255 B: 255, "
           "Angle 0"},
      {49, ", % of Gradient 50"},
      {50, ", % of Buffer 50"},
      {51, ", Edge Size 20, Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255"},
      {52, ", Graininess 700"},
      {53, ", Left/Right 1, Up/Down 1, Repetitions 32"},
      {54, ", Left/Right -1, Up/Down 1, Repetitions 32"},
      {55, ", Left/Right 64, Up/Down 100"},
      {56, ", Left/Right 128, Up/Down -128"},
      {57, ", Colors: R: 0 G: 0 B: 0, Radius 32, Spokes 64, Hue 32, X Pos: 24, Y Pos: 36"},
      {58, ", Azimuth 32, Elevation 20, Depth 16, BumpMap True"},
      {59, ", Amount 4"},
      {60, ", Amount 3"},
      {61, ", Intensity 1, Color: R: 0 G: 0 B: 0"},
      {62, ", Amount 16"},
      {63, ", Amount 16"},
      {64, ", Amplitude 24, Wave Length 10, Phase 8, Reflective False"},
      {65, ", Angle 270, Pinch 0.50, Radius 1.00"},
  };
  const TEffectParams params;
  const TLogContext context;
  for (int id = 0; id < EffectCount; ++id) {
    const std::string name(EffectTreeName(id));
    std::optional<std::string> line = EffectLogLine(id, name, params, context);
    if (id == 45) {
      EXPECT_FALSE(line.has_value());
      continue;
    }
    ASSERT_TRUE(line.has_value()) << id;
    auto it = suffix.find(id);
    EXPECT_EQ(*line, name + (it == suffix.end() ? "" : it->second)) << id;
  }
  EXPECT_FALSE(EffectLogLine(-1, "", params, context).has_value());
  EXPECT_FALSE(EffectLogLine(66, "x", params, context).has_value());
}

TEST(EffectLog, LinesThatDependOnTheRoadAndTheChecks) {
  TEffectParams p;
  TLogContext c;
  EXPECT_EQ(*EffectLogLine(19, EffectMenuName(19), p, c), "FishEye, Magnification 0.75");
  EXPECT_EQ(*EffectLogLine(16, EffectMenuName(16), p, c), "SineWave Left/Right, Peaks 2, Height 64, Wrap = True");
  c.UsePeaks = false;
  c.Wrap = false;
  p.Extras.UDWavVal = 0.3f;
  EXPECT_EQ(*EffectLogLine(15, "SineWave U/D", p, c),
            "SineWave U/D, WaveLength 0.300000011920929, Height 50, Wrap = False");
  c.PenColor = 0x0000FF;  // red
  EXPECT_EQ(EffectLogSuffix(61, p, c), ", Intensity 1, Color: R: 0 G: 0 B: 0");
  p.Extras.TrUseVal = true;
  EXPECT_EQ(EffectLogSuffix(61, p, c), ", Intensity 1, Color: R: 255 G: 0 B: 0");
  c.TextureSource = "Use File /tmp/t.bmp";
  EXPECT_EQ(EffectLogSuffix(28, p, c), ", Brightness 18, Use File /tmp/t.bmp");
  c.TintColor = 0x804020;
  EXPECT_EQ(EffectLogSuffix(34, p, c), ", Color R: 32 G: 64 B: 128");
  c.PenColor = 0x123456;
  c.BrushColor = 0xFFFFFFFF;
  EXPECT_EQ(EffectLogSuffix(37, p, c), ", Pen R: 86 G: 52 B: 18, Brush R: 255 G: 255 B: 255");
  c.DecimalSeparator = ',';
  EXPECT_EQ(EffectLogSuffix(65, p, c), ", Angle 270, Pinch 0,50, Radius 1,00");
}

TEST(EffectLog, OtherCommandLines) {
  const std::pair<std::string, std::string> cases[] = {
      {NewImageLine(0xFFFFFF), "New Image, Color R: 255 G: 255 B: 255"},
      {OpenFileLine("/home/u/tile.bmp"), "Open File /home/u/tile.bmp"},
      {LoadBufferLine("/b.jpg"), "Load Buffer from File /b.jpg"},
      {PasteAsSelectionLine(10, -3), "Paste As Selection at Left 10, Top -3"},
      {ScrollLine(TScrollDirection::Right, 64), "Scroll Right 64"},
      {ScrollLine(TScrollDirection::Left, 64), "Scroll Left 64"},
      {ScrollLine(TScrollDirection::Down, 5), "Scroll Down 5"},
      {ScrollLine(TScrollDirection::Up, 5), "Scroll Up 5"},
      {SlidersLine({255, 255, 0, 255, 255, 255}),
       "ToolBox Sliders to positions:  Lightness 0, Contrast 0, Saturation -255, Red 0, Green 0, Blue 0"},
      {SlidersLine({510, 300, 255, 0, 1, 255}),
       "ToolBox Sliders to positions:  Lightness 255, Contrast 45, Saturation 0, Red -255, Green -254, Blue 0"},
      {EdgeMergeLine(16), "Edge Merge 1/16"},
      {EdgeMergeLine(4), "Edge Merge 1/4"},
      {EdgeMergeEffectName(8), "EdgeMerge8"},
      {ResizeLine(false, 128, 64), "Resize Fast, Width 128, Height 64"},
      {ResizeLine(true, 300, 200), "Resize Smooth, Width 300, Height 200"},
      {DesignFilterLine({"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1"}, "1"),
       "Design Your Own Filter, Settings: 2 1 1 1 -3 -1 1 -1 -1 , Divisor 1"},
      {DesignGradientLine(TGradientFields{}),
       "Design Gradient, Width 256, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To Color R: 0 G: "
       "255 B: 255, Angle 0"},
      {MultiGradientLine("256", "128"), "MultiGradient,  Width 256, Height 128"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

}  // namespace
}  // namespace vell
