// Logs written by the editor's road, replayed headless: the same picture.
#include <gtest/gtest.h>

#include <functional>

#include "tests/editor_replay/ReplayRoad.h"

namespace vell {
namespace {

TPanelFields Main(const std::string& text) {
  TPanelFields f;
  f.Main = text;
  return f;
}

TToolInputs Pen(const std::string& size, uint32_t pen, uint32_t brush, bool fill, int mode = 0) {
  TToolInputs in;
  in.PenSize = size;
  in.PenColor = pen;
  in.BrushColor = brush;
  in.FillShape = fill;
  in.PenModeIndex = mode;
  return in;
}

// The texture dialog as the window's: the picture in grey, named by its source.
void TextureFrom(TRoad& r, const TPixelBuffer& picture, const std::string& source) {
  CopyImage(picture, r.texture);
  TextureToGrey(r.texture);
  r.apply.Hooks().AskTexture = [&r, source]() -> std::optional<std::pair<const TPixelBuffer*, std::string>> {
    return std::make_pair(&r.texture, source);
  };
}

struct TRoadCase {
  const char* Name;
  std::function<void(TRoad&)> Steps;
  bool Wrap = false;
};

void PrintTo(const TRoadCase& c, std::ostream* os) { *os << c.Name; }

class RoadReplay : public ::testing::TestWithParam<TRoadCase> {};

// The road opens a 40 x 30 pattern (not square: the effects that care show it),
// runs the steps with logging on; the replay of its log must give its picture.
TEST_P(RoadReplay, GivesTheEditorsPicture) {
  const TRoadCase& c = GetParam();
  const std::string file = PatternFile("start.bmp", 40, 30);
  TRoad road;
  road.wrap = c.Wrap;
  road.StartLine();
  road.Open(file);
  c.Steps(road);
  ASSERT_GE(road.log.size(), 3u) << "the steps wrote no line";
  TReplayOptions options;
  options.WrapDrawing = c.Wrap;
  const TReplayed r = Replayed(road.Text(), options);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message << "\n" << road.Text();
  EXPECT_EQ(r.Result.Skipped, 0u);
  EXPECT_EQ(r.Result.Lines, road.log.size());
  EXPECT_TRUE(SamePixels(r.Picture, road.editor.dibWork)) << road.Text();
}

// Cases beyond the walk of every effect below.
const TRoadCase kEffects[] = {
    {"GaussianBlurAboveFive", [](TRoad& r) { r.Tree(13, Main("9")); }},
    {"RotateSeamlessRefused", [](TRoad& r) { r.Tree(44); }},
    {"ResizeCancelled", [](TRoad& r) { r.Tree(38); }},
    {"MapTextureFromTheBufferThenCurrent",
     [](TRoad& r) {
       r.Menu(31);
       PictureToBuffer(r.editor, r.editor.dibWork);
       r.log.emplace_back(LogCopyImageToBuffer);
       r.Menu(40);
       TextureFrom(r, r.editor.dibBuffer, "Use Buffer");
       r.Tree(28, Main("12"));
       r.apply.Hooks().AskTexture = [&r]() -> std::optional<std::pair<const TPixelBuffer*, std::string>> {
         return std::make_pair(&r.texture, std::string("Use Current Texture"));
       };
       r.Menu(28);
     }},
    {"DesignYourOwnMenu",
     [](TRoad& r) {
       r.design = TFilterDesign{{"0", "1", "0", "1", "4", "1", "0", "1", "0"}, "8"};
       r.Menu(14);
     }},
    {"ResizeFastMenu",
     [](TRoad& r) {
       r.size = TNewSize{17, 90};
       r.Menu(38);
     }},
};
INSTANTIATE_TEST_SUITE_P(Effects, RoadReplay, ::testing::ValuesIn(kEffects),
                         [](const auto& info) { return std::string(info.param.Name); });

const TRoadCase kCommands[] = {
    {"EdgeMergesAndFlip",
     [](TRoad& r) {
       r.apply.EdgeMergeClick(16);
       r.Menu(31);
       r.apply.EdgeMergeClick(8);
       r.apply.EdgeMergeClick(4);
       r.apply.FourWayFlipClick();
     }},
    {"ScrollBars",
     [](TRoad& r) {
       r.apply.ScrollBarMoved(true, 3, "5");
       r.apply.ScrollBarMoved(true, 1, "7");
       r.apply.ScrollBarMoved(false, 2, "4");
       r.apply.ScrollBarMoved(false, 0, "11");
     }},
    {"Sliders",
     [](TRoad& r) {
       const std::array<int, 6> p = {300, 200, 100, 255, 400, 10};
       CommitSliderPositions(r.editor, SliderPositionsOf(p));
       r.log.push_back(SlidersLine(p));
     }},
    {"NewEffectReset",
     [](TRoad& r) {
       r.editor.New(0x123456);
       r.Menu(33);
       r.editor.Reset();
       r.Menu(31);
     }},
    {"BufferCopyMergePaste",
     [](TRoad& r) {
       PictureToBuffer(r.editor, r.editor.dibWork);
       r.log.emplace_back(LogCopyImageToBuffer);
       r.Menu(40);
       r.Tree(50, Main("30"));
       r.Tree(55, Main("6"));
       PictureToImage(r.editor, r.editor.dibBuffer);
       r.log.emplace_back(LogPasteBufferToImage);
     }},
    {"ClipboardWithinTheLog",
     [](TRoad& r) {
       CopyImage(r.editor.dibWork, r.clipboard);
       r.log.emplace_back(LogCopyImageToClipboard);
       r.Menu(31);
       PasteSelectionAt(r.editor, r.clipboard, 7, -4, false);
       r.log.push_back(PasteAsSelectionLine(7, -4));
       PictureToBuffer(r.editor, r.clipboard);
       r.log.emplace_back(LogPasteClipboardToBuffer);
       r.Menu(41);
       PictureToImage(r.editor, r.clipboard);
       r.log.emplace_back(LogPasteClipboardToImage);
       r.Tree(50, Main("50"));
     }},
    {"LoadBuffer",
     [](TRoad& r) {
       const std::string other = PatternFile("other.bmp", 24, 36, 9);
       TPixelBuffer picture;
       ASSERT_TRUE(ReadImageFile(other, picture).ok);
       PictureToBuffer(r.editor, picture);
       r.log.push_back(LoadBufferLine(other));
       r.Tree(53, Main("3"));
       CopyImage(r.editor.dibBuffer, r.clipboard);
       r.log.emplace_back(LogCopyBufferToClipboard);
       PictureToImage(r.editor, r.clipboard);
       r.log.emplace_back(LogPasteClipboardToImage);
     }},
    {"GradientDesignPasteResetMerge",
     [](TRoad& r) {
       TGradientFields g;
       g.Width = "40";
       g.Height = "30";
       g.Style = "Radial2";
       g.FromColor = 0x0000FF;
       g.ToColor = 0x00FFFF;
       g.Angle = "45";
       r.gradient.SetSize(r.editor.dibWork.Width(), r.editor.dibWork.Height());
       ApplyGradientFields(r.gradient, g);
       r.apply.LogContext().Gradient = g;
       r.log.push_back(DesignGradientLine(g));
       r.Tree(47, Main("4"));
       PasteGradientPicture(r.apply, r.editor, r.gradient.Picture());
       r.log.emplace_back(LogPasteGradientToImage);
       r.Menu(31);
       r.editor.Reset();
       r.Tree(49, Main("40"));
     }},
    {"DrawGradientEffect",
     [](TRoad& r) {
       TGradientFields& g = r.apply.LogContext().Gradient;
       g.Width = "33";
       g.Height = "21";
       g.Style = "Elliptic";
       g.FromColor = 0x102030;
       g.ToColor = 0xF0E0D0;
       r.Tree(48);
       r.Menu(31);
       r.Tree(49, Main("70"));
     }},
    {"ColorWheelAndRainbow",
     [](TRoad& r) {
       ColorWheelToImage(r.apply, r.editor);
       r.log.emplace_back(LogColorWheel);
       RainbowOnImage(r.apply, r.editor);
       r.log.emplace_back(LogRainbow);
     }},
    {"UnDoAcrossSizes",
     [](TRoad& r) {
       r.Menu(31);
       r.size = TNewSize{10, 50};
       r.Menu(39);
       r.Tree(23, Main("3"));
       r.apply.Undo();
       r.apply.Undo();
       r.Menu(42);
       r.apply.Undo();
     }},
};
INSTANTIATE_TEST_SUITE_P(Commands, RoadReplay, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.Name); });

// The tools drag through moves; the replay only presses and releases.
const TRoadCase kTools[] = {
    {"RectanglesAndEllipses",
     [](TRoad& r) {
       r.Drag(ToolRectangle, Pen("3", 0x0000FF, 0x00FF00, true), {3, 4}, {{10, 10}, {30, 2}, {25, 20}}, {30, 25});
       r.Drag(ToolRectangle, Pen("1", 0xFFFFFF, 0, false), {35, 28}, {{5, 5}}, {2, 1});
       r.Drag(ToolEllipse, Pen("2", 0x112233, 0x445566, true), {5, 5}, {{20, 20}, {8, 9}}, {33, 22});
       r.Drag(ToolEllipse, Pen("5", 0xFF0000, 0, false), {20, 2}, {}, {38, 28});
     }},
    {"LinesInPenModes",
     [](TRoad& r) {
       const int modes[] = {0, 11, 7, 5, 1, 10};
       int k = 0;
       for (int mode : modes) {
         r.Drag(ToolLine, Pen(k % 2 ? "1" : "4", 0x3399CC + k, 0, false, mode), {k * 5, 1}, {{20, 20}, {k, 29}},
                {39 - k * 3, 28 - k});
         ++k;
       }
     }},
    {"FloodFillAndEyedropper",
     [](TRoad& r) {
       r.Drag(ToolRectangle, Pen("1", 0x000000, 0x808080, true), {5, 5}, {{6, 6}}, {30, 20});
       r.Drag(ToolFill, Pen("2", 0, 0x00A0FF, true), {10, 10}, {}, {10, 10});
       r.Drag(ToolEyedropper, Pen("2", 0, 0, true), {12, 12}, {}, {12, 12});
       r.apply.Undo();  // the eyedropper's press took a snapshot too
       r.apply.Undo();
     }},
    {"SelectCrop",
     [](TRoad& r) { r.Drag(ToolSelect, {}, {30, 25}, {{10, 10}, {60, 60}}, {4, 3}, TSelectAction::Crop); }},
    {"SelectPastEdgeThenUndo",
     [](TRoad& r) {
       r.Drag(ToolSelect, {}, {5, 6}, {{10, 10}}, {90, 90}, TSelectAction::Crop);
       r.apply.Undo();
     }},
    {"SelectToBufferAndClipboard",
     [](TRoad& r) {
       r.Drag(ToolSelect, {}, {2, 2}, {{5, 5}}, {20, 15}, TSelectAction::CopyToBuffer);
       r.Drag(ToolSelect, {}, {10, 8}, {}, {36, 29}, TSelectAction::CopyToClipboard);
       PictureToImage(r.editor, r.editor.dibBuffer);
       r.log.emplace_back(LogPasteBufferToImage);
       PasteSelectionAt(r.editor, r.clipboard, -3, 2, false);
       r.log.push_back(PasteAsSelectionLine(-3, 2));
     }},
    {"WrapDrawing",
     [](TRoad& r) {
       r.Drag(ToolRectangle, Pen("2", 0x0000FF, 0x00FF00, true), {30, 20}, {{45, 40}}, {50, 38});
       r.Drag(ToolLine, Pen("3", 0xFFFFFF, 0, false, 11), {-5, 3}, {{0, 0}}, {12, 35});
       r.Drag(ToolRectangle, Pen("1", 0, 0x111111, true), {1, 1}, {}, {8, 8});
       r.Drag(ToolFill, Pen("1", 0, 0xFF00FF, true), {39, 29}, {}, {39, 29});
       CopyImage(r.editor.dibWork, r.clipboard);
       r.log.emplace_back(LogCopyImageToClipboard);
       PasteSelectionAt(r.editor, r.clipboard, 25, 20, true);
       r.log.push_back(PasteAsSelectionLine(25, 20));
     },
     true},
};
INSTANTIATE_TEST_SUITE_P(Tools, RoadReplay, ::testing::ValuesIn(kTools),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- where the replay starts ----------------------------------------------------

TEST(ReplayStart, ASingleEffectLineWorksOnTheBlackImage) {
  const TReplayed r = Replayed("Negative\r\n");
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  ASSERT_EQ(r.Picture.Width(), 256);
  ASSERT_EQ(r.Picture.Height(), 256);
  EXPECT_EQ(r.Picture.Row24(100)[100].r, 255);
}

TEST(ReplayStart, TheInputStandsInForTheFirstOpenLine) {
  const std::string input = PatternFile("input.bmp", 16, 12, 4);
  const std::string later = PatternFile("later.bmp", 9, 9, 8);
  TRoad road;
  road.StartLine();
  road.Menu(31);  // before the Open: the opened picture replaces it
  road.Open(input);
  road.Menu(41);
  road.Open(later);
  road.Menu(31);
  // The log names another first file; the input takes its place.
  std::string text = road.Text();
  const std::string named = "Open File " + input;
  text.replace(text.find(named), named.size(), "Open File /nowhere/missing.bmp");
  TReplayOptions options;
  options.InputFile = input;
  const TReplayed r = Replayed(text, options);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  EXPECT_TRUE(SamePixels(r.Picture, road.editor.dibWork));
}

TEST(ReplayStart, RelativePathsAreLookedUpInTheBaseFolder) {
  const std::string file = PatternFile("relative.bmp", 12, 10, 2);
  const std::string name = file.substr(file.rfind('/') + 1);
  TReplayOptions options;
  options.BaseFolder = file.substr(0, file.rfind('/'));
  const TReplayed r = Replayed("Open File " + name + "\r\nMirror L/R\r\n", options);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  EXPECT_EQ(r.Picture.Width(), 12);
}

TEST(ReplayStart, ALogBegunOnAnUnknownPictureStops) {
  const std::string text =
      "Log starts  - current Gradient: Width 500, Height 400, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To "
      "Color R: 0 G: 255 B: 255, Angle 0\r\nNegative\r\n";
  const TReplayed r = Replayed(text);
  EXPECT_FALSE(r.Result.Ok);
  EXPECT_EQ(r.Result.Line, 2u);
  EXPECT_NE(r.Result.Message.find("500 x 400"), std::string::npos) << r.Result.Message;
}

TEST(ReplayStart, FilesThatCannotBeReadStopWithTheReadersMessage) {
  struct TCase {
    std::string Text;
    size_t Line;
  };
  const TCase cases[] = {
      {"Negative\r\nOpen File /nowhere/gone.bmp\r\n", 2},
      {"Load Buffer from File /nowhere/gone.bmp\r\n", 1},
  };
  for (const TCase& c : cases) {
    TPixelBuffer image;
    Pattern(image, 3, 3);
    std::istringstream in(c.Text);
    const TReplayResult r = ReplayLog(in, {}, image);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Line, c.Line);
    EXPECT_NE(r.Message.find("/nowhere/gone.bmp"), std::string::npos) << r.Message;
    EXPECT_EQ(image.Width(), 3) << "the image is left as it was";
  }
  TPixelBuffer image;
  TReplayOptions options;
  options.InputFile = "/nowhere/input.png";
  std::istringstream in("Negative\r\n");
  const TReplayResult r = ReplayLog(in, options, image);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Line, 0u);
  EXPECT_NE(r.Message.find("/nowhere/input.png"), std::string::npos);
}

// ---- lines the log cannot determine ---------------------------------------------

struct TUnreplayable {
  const char* Name;
  std::string Before;  // lines before the one that stops
  std::function<std::string()> Line;
  const char* Why;  // part of the reason
};

void PrintTo(const TUnreplayable& c, std::ostream* os) { *os << c.Name; }

class Unreplayable : public ::testing::TestWithParam<TUnreplayable> {};

TEST_P(Unreplayable, StopsNamingTheLineOrIsSkipped) {
  const TUnreplayable& c = GetParam();
  const std::string text = c.Before + c.Line() + "\r\nNegative\r\n";
  size_t number = 1;
  for (char ch : c.Before) number += ch == '\n';
  const TReplayed stop = Replayed(text);
  EXPECT_FALSE(stop.Result.Ok);
  EXPECT_EQ(stop.Result.Line, number);
  EXPECT_TRUE(stop.Result.Message.starts_with("line " + std::to_string(number) + ": ")) << stop.Result.Message;
  EXPECT_NE(stop.Result.Message.find(c.Why), std::string::npos) << stop.Result.Message;

  TReplayOptions skip;
  skip.SkipUnreplayable = true;
  const TReplayed r = Replayed(text, skip);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  EXPECT_EQ(r.Result.Skipped, 1u);
  ASSERT_EQ(r.Skipped.size(), 1u);
  EXPECT_EQ(r.Skipped[0], number);
  EXPECT_NE(r.Why[0].find(c.Why), std::string::npos);
  // The lines around it still ran: the last one negated the picture.
  const TReplayed without = Replayed(c.Before + "Negative\r\n", skip);
  ASSERT_TRUE(without.Result.Ok);
  EXPECT_TRUE(SamePixels(r.Picture, without.Picture));
}

// The line as the editor writes it.
std::function<std::string()> Effect(int id) {
  return [id] { return *EffectLogLine(id, EffectTreeName(id), TEffectParams{}, TLogContext{}); };
}
std::function<std::string()> Text(std::string line) {
  return [line] { return line; };
}

const TUnreplayable kUnreplayable[] = {
    {"Freehand", "", [] { return FreehandLogLine("2", 0x00FF00); }, "freehand stroke's path"},
    {"PlasmaCloud", "", Effect(52), "clock-seeded"},
    {"Marble", "", Effect(29), "clock-seeded"},
    {"SuperNova", "", Effect(57), "clock-seeded"},
    {"ExchangeColor", "", Effect(37), "Tolerance"},
    {"MultiGradient", "", [] { return MultiGradientLine("256", "256"); }, "colours"},
    {"TextTool", "", [] { return TextToolLogLine("Sans", 12, 0xFF, true, false, "Hi", 3, 4); }, "fonts"},
    {"PasteWithoutClipboard", "", Text("Paste Clipboard to Image"), "clipboard"},
    {"PasteAsSelectionWithoutClipboard", "Negative\r\n", Text("Paste As Selection at Left 3, Top 4"), "clipboard"},
    {"BufferFromBeforeTheLog", "", Text("Paste Buffer to Image"), "buffer"},
    {"MergeWithABufferFromBeforeTheLog", "", Effect(50), "buffer"},
    {"UndoBeforeTheLog", "Negative\r\nUnDo\r\n", Text("UnDo"), "nothing to undo"},
    {"CircularOnAnotherSize", "Resize Fast, Width 300, Height 200\r\n", Effect(20), "256 x 256"},
    {"PasteTransparent", "Copy Image to Clipboard\r\n", Text("Paste Transparent"), "not in the log"},
};
INSTANTIATE_TEST_SUITE_P(Lines, Unreplayable, ::testing::ValuesIn(kUnreplayable),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Unreplayable, AnUnDoAfterASkippedLineTakesBackTheSkippedLineOnly) {
  TReplayOptions skip;
  skip.SkipUnreplayable = true;
  const TReplayed r = Replayed("Negative\r\n" + FreehandLogLine("2", 0) + "\r\nUnDo\r\nMirror L/R\r\n", skip);
  const TReplayed expected = Replayed("Negative\r\nMirror L/R\r\n");
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  EXPECT_TRUE(SamePixels(r.Picture, expected.Picture));
}

TEST(Unreplayable, NoiseAfterASkippedClockSeededLineIsUnknownToo) {
  TReplayOptions skip;
  skip.SkipUnreplayable = true;
  const TReplayed r = Replayed(Effect(52)() + "\r\n" + Effect(25)() + "\r\n", skip);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Message;
  ASSERT_EQ(r.Skipped.size(), 2u);
  EXPECT_EQ(r.Skipped[1], 2u);
  EXPECT_NE(r.Why[1].find("line 1"), std::string::npos) << r.Why[1];
}

TEST(Malformed, StopsWithItsNumberAndChangesNothing) {
  const std::string lines[] = {"Negative, Amount 7", "Scroll Sideways 4", "Edge Merge 1/5",
                               "Resize Fast, Width x, Height 4", std::string(70 * 1024, 'a')};
  for (const std::string& bad : lines) {
    TPixelBuffer image;
    Pattern(image, 5, 4);
    TPixelBuffer before;
    CopyImage(image, before);
    std::istringstream in("Negative\r\n4 Way Flip\n" + bad + "\r\nNegative\r\n");
    const TReplayResult r = ReplayLog(in, {}, image);
    EXPECT_FALSE(r.Ok) << bad.substr(0, 40);
    EXPECT_EQ(r.Line, 3u) << bad.substr(0, 40);
    EXPECT_TRUE(r.Message.starts_with("line 3: ")) << r.Message;
    EXPECT_TRUE(SamePixels(image, before));
  }
}

TEST(ReplayFile, ALogWithoutUnDoGivesTheSamePictureFromAFile) {
  TRoad road;
  road.StartLine();
  road.Open(PatternFile("file.bmp", 30, 20));
  road.Tree(23, Main("4"));
  road.apply.EdgeMergeClick(8);
  road.Drag(ToolLine, Pen("2", 0xFF, 0, false, 11), {1, 1}, {{9, 9}}, {28, 17});
  for (bool undo : {false, true}) {
    if (undo) road.apply.Undo();
    const std::string path = TempPath(undo ? "undo.txt" : "plain.txt");
    std::ofstream(path, std::ios::binary) << road.Text();
    TPixelBuffer picture;
    const TReplayResult r = ReplayLogFile(path, {}, picture);
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_TRUE(SamePixels(picture, road.editor.dibWork)) << "undo " << undo;
  }
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

// Every effect through Apply with values other than the defaults in every
// field: its line must carry whatever the run used.
TEST(EffectWalk, EveryDeterminedEffectLineCarriesWhatItRanWith) {
  const std::string file = PatternFile("walk.bmp", 24, 24);
  for (const TEffectEntry& e : EffectCatalogue()) {
    const int id = e.Id;
    // Clock-seeded, asking on this size, a tolerance not logged; Scroll logs no line.
    if (id == 29 || id == 52 || id == 57 || id == 20 || id == 37 || id == 45) continue;
    for (bool menu : {false, true}) {
      TRoad road;
      road.Open(file);
      PictureToBuffer(road.editor, road.editor.dibWork);
      road.log.emplace_back(LogCopyImageToBuffer);
      road.Menu(41);  // the buffer and the image differ
      road.tint = 0x405060;
      road.size = TNewSize{20, 28};
      road.design = TFilterDesign{{"1", "2", "1", "0", "0", "0", "-1", "-2", "-1"}, "2"};
      const TPanelFields f{"7", "3", "2", "5", "9", "2", false, false, false, 0x3060F0, 0x90A0B0};
      road.Tree(id, f);
      // The menu runs with the stored values: those Apply read a step before.
      if (menu) road.Menu(id, f);
      const TReplayed r = Replayed(road.Text());
      EXPECT_TRUE(r.Result.Ok) << e.TreeName << ": " << r.Result.Message;
      EXPECT_TRUE(SamePixels(r.Picture, road.editor.dibWork)) << e.TreeName << "\n" << road.Text();
    }
  }
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

TEST(Malformed, AHandEditedHugeSizeStopsInsteadOfTakingTheMemory) {
  TPixelBuffer image;
  std::istringstream in("Negative\r\n" + ResizeLine(false, 100000, 90000) + "\r\n");
  const TReplayResult r = ReplayLog(in, {}, image);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Line, 2u);
  EXPECT_NE(r.Message.find("100000 x 90000"), std::string::npos) << r.Message;
  EXPECT_TRUE(image.Empty());
}

}  // namespace
}  // namespace vell
