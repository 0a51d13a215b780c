// The whole effect table through the dispatcher: every id runs on small
// pictures without touching the row padding, every wired effect passes its
// stored values to its engine in the right places and logs its exact line,
// and the effects that ask first or refuse change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DispatcherFixture.h"
#include "editor/EffectTable.h"
#include "editor/ScriptedUi.h"
#include "imaging/Patterns.h"
#include "imaging/Relief.h"
#include "imaging/Warps.h"

namespace vell {
namespace {

constexpr uint8_t kJunk = 0xA5;

// Row padding filled with junk, so a write past a row's pixels shows.
void FillPadding(TPixelBuffer& image) {
  const int pixels = image.Width() * 3;
  for (int y = 0; y < image.Height(); ++y) std::memset(image.Row(y) + pixels, kJunk, static_cast<size_t>(image.BytesPerLine() - pixels));
}

// The padding still holds the junk, or holds only zeros where the effect
// gave the picture fresh memory; anything else was written past a row.
bool PaddingUntouched(const TPixelBuffer& image) {
  const int pixels = image.Width() * 3;
  bool junk = true, zero = true;
  for (int y = 0; y < image.Height(); ++y)
    for (int i = pixels; i < image.BytesPerLine(); ++i) {
      junk = junk && image.Row(y)[i] == kJunk;
      zero = zero && image.Row(y)[i] == 0;
    }
  return junk || zero;
}

class EffectWalk : public Dispatcher {
 public:
  void SetUp() override {
    Dispatcher::SetUp();
    SetReseedSource([] { return 20240611u; });
    tintAnswer = 0x336699;
    filterAnswer = TFilterDesign{};
    okAnswer = true;
    Pattern(texture, 5, 3);
    textureAnswer = "Use File /tmp/t.bmp";
  }
  void TearDown() override { SetReseedSource({}); }

  // The fields as the panel shows them for `id` after ConfigurePanel.
  TPanelFields ShownFields(int id) {
    TPanelFields f;
    const TPanelConfig shown = ConfigurePanel(id, EffectTreeName(id), params, f.UsePeaks);
    std::string* texts[] = {&f.Main, &f.Second, &f.Third, &f.Fourth, &f.Fifth};
    for (int i = 0; i < PanelFieldCount; ++i)
      if (shown.Fields[static_cast<size_t>(i)].Visible) *texts[i] = shown.Fields[static_cast<size_t>(i)].Text;
    if (shown.BumpVisible) f.Bump = shown.BumpChecked;
    return f;
  }
};

// Every id on both roads, on pictures with and without padding: the effects
// that run leave a 24-bit picture, one snapshot, a balanced hourglass and the
// padding as it was; Apply with the texts the panel shows stores back the
// values it showed.
TEST_F(EffectWalk, EveryIdRunsOnSmallPicturesWithoutTouchingThePadding) {
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{1, 1}, {3, 2}, {13, 7}, {64, 64}};
  for (const Size& size : sizes) {
    for (const bool menu : {true, false}) {
      for (const TEffectDef& def : EffectDefs()) {
        const int id = def.Entry.Id;
        SCOPED_TRACE(std::to_string(id) + (menu ? " menu " : " apply ") + std::to_string(size.width) + "x" +
                     std::to_string(size.height));
        Pattern(editor.dibWork, size.width, size.height);
        FillPadding(editor.dibWork);
        gradient.SetSize(size.width, size.height);  // Draw Gradient pastes a picture of this size
        sizeAnswer = TNewSize{size.width, size.height};  // the resizes keep the size here
        messages.clear();
        const int held = ring.UndoCount();
        const TEffectParams stored = params;
        TApplyResult r;
        if (menu) {
          r = apply.ApplyFromMenu(id, fields);
        } else {
          fields = ShownFields(id);
          r = Apply(id);
        }
        if (!EffectAvailable(id)) {
          EXPECT_EQ(r, TApplyResult::NotAvailable);
          EXPECT_EQ(ring.UndoCount(), held);
          continue;
        }
        const bool notSquare = size.width != size.height;
        if (id == 45) {
          EXPECT_EQ(r, TApplyResult::Selected);
          EXPECT_EQ(ring.UndoCount(), held);
        } else if (id == 44 && notSquare) {
          EXPECT_EQ(r, TApplyResult::Refused);
          EXPECT_EQ(ring.UndoCount(), held);
        } else {
          EXPECT_EQ(r, TApplyResult::Ran);
          EXPECT_EQ(ring.UndoCount(), std::min(held + 1, ring.MaxUndo()));
        }
        EXPECT_EQ(busy, 0);
        EXPECT_EQ(editor.dibWork.BitCount(), 24);
        EXPECT_EQ(editor.dibWork.Width(), id == 40 ? size.height : size.width);
        EXPECT_EQ(editor.dibWork.Height(), id == 40 ? size.width : size.height);
        EXPECT_TRUE(PaddingUntouched(editor.dibWork));
        if (!menu && id != 45) {
          EXPECT_EQ(params.EffectValues, stored.EffectValues);
          EXPECT_EQ(params.Extras, stored.Extras);
        }
        fields = TPanelFields{};
      }
    }
  }
}

// One Apply per wired effect with typed fields: the log line is exact and the
// picture is what the engine makes from the values the line names.
TEST_F(EffectWalk, AppliedEffectsLogExactLinesAndRunTheirEngineWithThoseValues) {
  using F = TPanelFields;
  struct Case {
    int id;
    std::function<void(F&)> type;
    const char* line;
    std::function<void(TPixelBuffer&, TEditor&)> engine;  // nullptr: the picture stays
  };
  const uint32_t red = 0x0000FF, green = 0x00FF00;
  const std::vector<Case> cases = {
      {15, [](F& f) { f.Main = "2.5"; f.Second = "3"; f.Wrap = false; }, "SineWave U/D, Peaks 2.5, Height 3, Wrap = False",
       [](TPixelBuffer& b, TEditor&) { SineWaveUpDown(b, 3, false, true, 2.5); }},
      {16, [](F& f) { f.Main = "9"; f.Second = "2"; f.UsePeaks = false; }, "SineWave L/R, WaveLength 9, Height 2, Wrap = True",
       [](TPixelBuffer& b, TEditor&) { SineWaveLeftRight(b, 2, true, false, 9); }},
      {17, [](F& f) { f.Main = "1.5"; f.Second = "2"; f.Third = "1"; f.Fourth = "3"; },
       "SineWave Both, U/D Peaks 1.5, U/D Height 2, L/R Peaks 1, L/R Height 3",
       [](TPixelBuffer& b, TEditor&) { SineWaveBoth(b, 2, 3, 1, 1.5); }},
      {18, [](F& f) { f.Main = "7"; }, "Twist, Looseness 7",
       [](TPixelBuffer& b, TEditor&) {
         TPixelBuffer copy;
         CopyImage(b, copy);
         Twist(copy, b, 7);
       }},
      {19, [](F& f) { f.Main = "0.5"; }, "Fisheye, Magnification 0.50",
       [](TPixelBuffer& b, TEditor&) {
         TPixelBuffer copy;
         CopyImage(b, copy);
         FishEye(copy, b, 0.5);
       }},
      {20, [](F&) {}, "Circular", [](TPixelBuffer& b, TEditor&) { Circular(b); }},
      {21, [](F& f) { f.Main = "4"; }, "Astroid, Thickness 5", [](TPixelBuffer& b, TEditor&) { Astroid(b, 5); }},
      {22, [](F& f) { f.Main = "2"; }, "Concentric Rects, Size Difference 2",
       [](TPixelBuffer& b, TEditor&) { ConcentricRects(b, 2); }},
      {23, [](F& f) { f.Main = "3"; }, "Mosaic, Size of Cell 3", [](TPixelBuffer& b, TEditor&) { Mosaic(b, 3); }},
      {24, [](F& f) { f.Main = "4"; }, "Circle Mosaic, Size of Circle 4",
       [](TPixelBuffer& b, TEditor&) { CircleMosaic(b, 4); }},
      {26, [](F& f) { f.Main = "3"; }, "Spray, Scatterosity 3",
       [](TPixelBuffer& b, TEditor&) {
         SetRandomState(99);
         Spray(b, 3);
       }},
      {27, [](F& f) { f.Main = "3"; }, "VellSwizzle, SwizzleWidth 3", [](TPixelBuffer& b, TEditor&) { Swizzle(b, 3); }},
      {28, [](F& f) { f.Main = "20"; }, "Map Texture, Brightness 20, Use File /tmp/t.bmp", nullptr},  // below
      {29, [](F& f) { f.Main = "300"; f.Second = "1.5"; f.Third = "60"; }, "Marble, Graininess 300, Scale 1.5, Turbulence 60",
       [](TPixelBuffer& b, TEditor&) { Marble(b, 300, 60, 1.5); }},
      {46, [](F& f) { f.Main = "2"; }, "Cycloid Mosaic, Size of Cell 2",
       [](TPixelBuffer& b, TEditor&) { CycloidMosaic(b, 2); }},
      {50, [](F& f) { f.Main = "25"; }, "Merge Buffer, % of Buffer 25",
       [](TPixelBuffer& b, TEditor& e) { MergeBuffer(b, 25, e.dibBuffer); }},
      {51, [=](F& f) { f.Main = "3"; f.PenColor = red; f.BrushColor = green; },
       "Buttonize, Edge Size 3, Pen R: 255 G: 0 B: 0, Brush R: 0 G: 255 B: 0",
       [=](TPixelBuffer& b, TEditor&) { Buttonize(b, red, green, 3); }},
      {52, [](F& f) { f.Main = "100"; }, "Plasma Cloud, Graininess 100",
       [](TPixelBuffer& b, TEditor&) { PlasmaCloud(b, 100); }},
      {53, [](F& f) { f.Main = "2"; f.Second = "-3"; f.Third = "4"; },
       "StretchBlur with Buffer, Left/Right -3, Up/Down 2, Repetitions 4",
       [](TPixelBuffer& b, TEditor& e) { StretchBlur(b, 2, -3, e.dibBuffer, 4); }},
      {54, [](F& f) { f.Main = "0"; f.Second = "1"; f.Third = "2"; },
       "StretchBlur with Self, Left/Right 1, Up/Down 0, Repetitions 2",
       [](TPixelBuffer& b, TEditor&) { StretchBlur(b, 0, 1, b, 2); }},
      {55, [](F& f) { f.Main = "5"; f.Second = "6"; }, "Water with Buffer, Left/Right 6, Up/Down 5",
       [](TPixelBuffer& b, TEditor& e) { Water(5, 6, e.dibBuffer, b); }},
      {56, [](F& f) { f.Main = "-2"; f.Second = "3"; }, "Water with Self, Left/Right 3, Up/Down -2",
       [](TPixelBuffer& b, TEditor&) { Water(-2, 3, b, b); }},
      {57, [=](F& f) { f.Main = "4"; f.Second = "8"; f.Third = "30"; f.Fourth = "2"; f.Fifth = "3"; f.PenColor = red; },
       "SuperNova, Colors: R: 255 G: 0 B: 0, Radius 4, Spokes 8, Hue 30, X Pos: 2, Y Pos: 3",
       [=](TPixelBuffer& b, TEditor&) { SuperNova(b, red, 4, 8, 30, 2, 3); }},
      {58, [](F& f) { f.Main = "45"; f.Second = "30"; f.Third = "10"; f.Bump = false; },
       "HeightMap, Azimuth 45, Elevation 30, Depth 10, BumpMap False",
       [](TPixelBuffer& b, TEditor&) { HeightMap(b, 10, false, 30, 45); }},
      {61, [=](F& f) { f.Main = "2"; f.Bump = true; f.PenColor = green; }, "Trace, Intensity 2, Color: R: 0 G: 255 B: 0",
       [=](TPixelBuffer& b, TEditor&) { Trace(b, 2, green); }},
      {62, [](F& f) { f.Main = "3"; }, "RippleTooth, Amount 3", [](TPixelBuffer& b, TEditor&) { RippleTooth(b, 3); }},
      {64, [](F& f) { f.Main = "2"; f.Second = "5"; f.Third = "90"; f.Bump = true; },
       "Waves, Amplitude 2, Wave Length 5, Phase 90, Reflective True",
       [](TPixelBuffer& b, TEditor&) { Waves(b, 2, 5, true, 90); }},
      {65, [](F& f) { f.Main = "90"; f.Second = "-0.5"; f.Third = "0.8"; }, "Whirl/Pinch, Angle 90, Pinch -0.50, Radius 0.80",
       [](TPixelBuffer& b, TEditor&) { WhirlPinch(b, 0.8f, -0.5f, 90); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    log.clear();
    Pattern(editor.dibWork, 9, 8);
    Pattern(before, 9, 8);
    fields = TPanelFields{};
    c.type(fields);
    SetRandomState(99);
    const int held = ring.UndoCount();
    EXPECT_EQ(Apply(c.id), TApplyResult::Ran);
    EXPECT_EQ(log, std::vector<std::string>{c.line});
    EXPECT_EQ(ring.UndoCount(), std::min(held + 1, ring.MaxUndo()));
    if (c.id == 28) MapTexture(before, texture, 2.0);
    if (c.engine) c.engine(before, editor);
    EXPECT_TRUE(Unchanged());
  }
}

// The cases with nothing to compute: the picture stays, nothing fails, the
// line is still written.
TEST_F(EffectWalk, DegenerateParametersLeaveThePictureAlone) {
  using F = TPanelFields;
  struct Case {
    int id;
    void (*type)(F&);
    const char* line;
  };
  const Case cases[] = {
      {15, [](F& f) { f.Main = "2"; f.Second = "-3"; f.Wrap = false; }, "SineWave U/D, Peaks 2, Height -3, Wrap = False"},
      {16, [](F& f) { f.Main = "2"; f.Second = "-3"; f.Wrap = false; }, "SineWave L/R, Peaks 2, Height -3, Wrap = False"},
      {15, [](F& f) { f.Main = "0"; f.Second = "3"; f.UsePeaks = false; }, "SineWave U/D, WaveLength 0, Height 3, Wrap = True"},
      {16, [](F& f) { f.Main = "0"; f.Second = "3"; f.UsePeaks = false; }, "SineWave L/R, WaveLength 0, Height 3, Wrap = True"},
      {15, [](F& f) { f.Main = "0"; f.Second = "3"; }, "SineWave U/D, Peaks 0, Height 3, Wrap = True"},
      {17, [](F& f) { f.Main = "0"; f.Second = "3"; f.Third = "2"; f.Fourth = "3"; },
       "SineWave Both, U/D Peaks 0, U/D Height 3, L/R Peaks 2, L/R Height 3"},
      {17, [](F& f) { f.Main = "2"; f.Second = "3"; f.Third = "0"; f.Fourth = "3"; },
       "SineWave Both, U/D Peaks 2, U/D Height 3, L/R Peaks 0, L/R Height 3"},
      {57, [](F& f) { f.Main = "5"; f.Second = "0"; f.Fourth = "2"; f.Fifth = "2"; },
       "SuperNova, Colors: R: 0 G: 0 B: 0, Radius 5, Spokes 0, Hue 3, X Pos: 2, Y Pos: 2"},
      {57, [](F& f) { f.Main = "0"; f.Second = "8"; f.Fourth = "2"; f.Fifth = "2"; },
       "SuperNova, Colors: R: 0 G: 0 B: 0, Radius 0, Spokes 8, Hue 3, X Pos: 2, Y Pos: 2"},
      {62, [](F& f) { f.Main = "1"; }, "RippleTooth, Amount 1"},
      {64, [](F& f) { f.Main = "0"; }, "Waves, Amplitude 0, Wave Length 64, Phase 3, Reflective True"},
      {65, [](F& f) { f.Third = "0"; }, "Whirl/Pinch, Angle 250, Pinch 1.00, Radius 0.00"},
      {22, [](F& f) { f.Main = "0"; }, "Concentric Rects, Size Difference 0"},
      {23, [](F& f) { f.Main = "1"; }, "Mosaic, Size of Cell 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    log.clear();
    Pattern(editor.dibWork, 8, 8);
    fields = TPanelFields{};
    c.type(fields);
    EXPECT_EQ(Apply(c.id), TApplyResult::Ran);
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(log, std::vector<std::string>{c.line});
  }
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(errors.empty());
}

// Refusals and cancellations inside the run: no snapshot, the picture stays,
// the line is written all the same.
TEST_F(EffectWalk, RefusedOrCancelledRunsTakeNoSnapshotButLog) {
  struct Case {
    const char* what;
    int id;
    void (*type)(TPanelFields&);
    std::function<void(EffectWalk&)> arrange;
    TApplyResult result;
    const char* message;  // nullptr: none
    const char* line;
  };
  const Case cases[] = {
      {"marble without turbulence", 29, [](TPanelFields& f) { f.Main = "300"; f.Second = "2"; f.Third = "0"; },
       [](EffectWalk&) {}, TApplyResult::Refused, "Turbulence cannot be zero",
       "Marble, Graininess 300, Scale 2, Turbulence 0"},
      {"stretch blur without a shift", 53, [](TPanelFields& f) { f.Main = "0"; f.Second = "0"; },
       [](EffectWalk&) {}, TApplyResult::Refused, nullptr, "StretchBlur with Buffer, Left/Right 0, Up/Down 0, Repetitions 3"},
      {"circular cancelled", 20, [](TPanelFields&) {}, [](EffectWalk& t) { t.okAnswer = false; }, TApplyResult::Cancelled,
       nullptr, "Circular"},
      {"texture dialog cancelled", 28, [](TPanelFields& f) { f.Main = "15"; },
       [](EffectWalk& t) { t.textureAnswer.reset(); }, TApplyResult::Cancelled, nullptr,
       "Map Texture, Brightness 15, Use Current Texture"},
      {"no texture dialog", 28, [](TPanelFields& f) { f.Main = "15"; },
       [](EffectWalk& t) { t.apply.Hooks().AskTexture = nullptr; }, TApplyResult::Cancelled, nullptr,
       "Map Texture, Brightness 15, Use Current Texture"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A texture chosen before must not name a later cancelled run.
    apply.LogContext().TextureSource = "Use File /old.bmp";
    log.clear();
    messages.clear();
    fields = TPanelFields{};
    c.type(fields);
    c.arrange(*this);
    EXPECT_EQ(Apply(c.id), c.result);
    EXPECT_EQ(ring.UndoCount(), 0);
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(log, std::vector<std::string>{c.line});
  }
}

TEST_F(EffectWalk, CircularAsksThroughTheEditorUiForOtherSizesOnly) {
  ScriptedUi ui;
  UseEditorUi(apply.Hooks(), ui);
  ui.AnswerMessage(TMsgResult::Cancel).AnswerMessage(TMsgResult::Ok);
  EXPECT_EQ(Apply(20), TApplyResult::Cancelled);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(Apply(20), TApplyResult::Ran);
  Circular(before);
  EXPECT_TRUE(Unchanged());
  ASSERT_EQ(ui.Asked().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(ui.Asked()[i].text, "Circular only works correctly with a 256 x 256 image. OK?");
    EXPECT_EQ(ui.ButtonSets()[i], TMsgButtons::OkCancel);
  }
  Pattern(editor.dibWork, 256, 256);
  EXPECT_EQ(Apply(20), TApplyResult::Ran);  // the size it is made for: no question
  EXPECT_EQ(ui.Asked().size(), 2u);
  EXPECT_EQ(ui.Unanswered(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"Circular", "Circular", "Circular"}));
}

// The buffer image starts black: Water with it moves the picture by exactly
// its amounts, wrapping around.
TEST_F(EffectWalk, WaterWithTheBlackBufferShiftsByItsAmounts) {
  ASSERT_EQ(editor.dibBuffer.Width(), 256);
  fields.Main = "3";    // up/down
  fields.Second = "-2"; // left/right
  EXPECT_EQ(Apply(55), TApplyResult::Ran);
  before.ScrollWrap(-2, 3);
  EXPECT_TRUE(Unchanged());
}

TEST_F(EffectWalk, MenuRoadNamesTheLineAfterTheMenuTreeRoadAfterTheTree) {
  struct Case {
    int id;
    const char* menuLine;
    const char* treeLine;
  };
  const Case cases[] = {
      {15, "SineWave Up/Down, Peaks 3, Height 50, Wrap = True", "SineWave U/D, Peaks 3, Height 50, Wrap = True"},
      {16, "SineWave Left/Right, Peaks 2, Height 64, Wrap = True", "SineWave L/R, Peaks 2, Height 64, Wrap = True"},
      {19, "FishEye, Magnification 0.75", "Fisheye, Magnification 0.75"},
      {58, "HeightMap, Azimuth 32, Elevation 20, Depth 16, BumpMap True",
       "HeightMap, Azimuth 32, Elevation 20, Depth 16, BumpMap True"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    log.clear();
    fields = TPanelFields{};
    EXPECT_EQ(apply.ApplyFromMenu(c.id, fields), TApplyResult::Ran);
    EXPECT_EQ(editor.EffectName, EffectMenuName(c.id));
    fields = ShownFields(c.id);
    EXPECT_EQ(Apply(c.id), TApplyResult::Ran);
    EXPECT_EQ(log, (std::vector<std::string>{c.menuLine, c.treeLine}));
  }
}

}  // namespace
}  // namespace vell
