#include "editor/Apply.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DispatcherFixture.h"
#include "editor/EffectCatalogue.h"
#include "editor/HelpFiles.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/GBlur.h"
#include "imaging/Tiling.h"

namespace vell {
namespace {

// Every refusal before the effect runs: one message, no snapshot, no log line,
// no stored value changed, the picture as it was.
TEST_F(Dispatcher, RefusalsBeforeTheEffectRunChangeNothing) {
  struct Case {
    const char* what;
    int id;
    void (*edit)(TPanelFields&);
    TApplyResult result;
    std::string message;
    bool asError;
  };
  const Case cases[] = {
      {"no effect", -1, [](TPanelFields&) {}, TApplyResult::NoEffect, "First Select an Effect", false},
      {"empty pen size", 13, [](TPanelFields& f) { f.PenSize = ""; }, TApplyResult::EmptyAmount,
       "Amounts cannot be zero-length", false},
      {"empty hidden field", 31, [](TPanelFields& f) { f.Fourth = ""; }, TApplyResult::EmptyAmount,
       "Amounts cannot be zero-length", false},
      {"letters", 13, [](TPanelFields& f) { f.Fifth = "1x"; }, TApplyResult::NotNumeric, "Amounts must be numeric",
       false},
      {"real in an integer field", 13, [](TPanelFields& f) { f.Main = "2.5"; }, TApplyResult::ConversionError,
       "'2.5' is not a valid integer value", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    errors.clear();
    fields = TPanelFields{};
    c.edit(fields);
    const TEffectParams stored = params;
    EXPECT_EQ(Apply(c.id), c.result);
    EXPECT_EQ(c.asError ? errors : messages, std::vector<std::string>{c.message});
    EXPECT_TRUE((c.asError ? messages : errors).empty());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ring.UndoCount(), 0);
    EXPECT_EQ(stored.EffectValues, params.EffectValues);
    EXPECT_EQ(stored.Extras, params.Extras);
    EXPECT_TRUE(Unchanged());
  }
  EXPECT_EQ(NotAvailableMessage(47), "Gradient Bars is not available yet; the image was not changed.");
}

TEST_F(Dispatcher, GaussianBlurAboveFiveRunsWithOneAndRewritesTheField) {
  fields.Main = "9";
  EXPECT_EQ(Apply(13), TApplyResult::Ran);
  EXPECT_EQ(fields.Main, "1");
  EXPECT_EQ(params.Value(13), 1);
  GaussianBlur(before, 1);
  EXPECT_TRUE(Unchanged());  // i.e. equal to the blur of 1
  EXPECT_EQ(log, std::vector<std::string>{"Gaussian Blur, Blurriness 1"});
  EXPECT_EQ(ring.UndoCount(), 1);
  EXPECT_EQ(busy, 0);
  EXPECT_EQ(redisplays, 1);
}

TEST_F(Dispatcher, ColourEffectChangesPixelsAndUndoRestoresThem) {
  TPixelBuffer original;
  CopyImage(editor.dibWork, original);
  EXPECT_EQ(Apply(31), TApplyResult::Ran);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(editor.dibWork.Row24(y)[x].b, 255 - original.Row24(y)[x].b);
      EXPECT_EQ(editor.dibWork.Row24(y)[x].r, 255 - original.Row24(y)[x].r);
    }
  EXPECT_TRUE(apply.Undo());
  EXPECT_TRUE(SamePixels(editor.dibWork, original));
  EXPECT_FALSE(apply.Undo());  // nothing left: no line
  EXPECT_EQ(log, (std::vector<std::string>{"Negative", "UnDo"}));
}

TEST_F(Dispatcher, SnapshotsGoThroughTheEditorsHookWhenSet) {
  int pushes = 0;
  editor.PushUndo = [&] { ++pushes; ring.PushUndo(editor.dibWork); };
  Apply(36);
  EXPECT_EQ(pushes, 1);
  EXPECT_EQ(ring.UndoCount(), 1);
}

TEST_F(Dispatcher, EffectsWithParametersMatchTheirEngine) {
  struct Case {
    int id;
    const char* main;
    void (*engine)(TPixelBuffer&);
    const char* line;
  };
  const Case cases[] = {
      {6, "300", [](TPixelBuffer& b) { ClassicEmboss(b, 300); }, "Classic Emboss, Lightness 300"},
      {25, "300", [](TPixelBuffer&) {}, "Color Noise, Noisiness 300"},  // random: line only
      {30, "3", [](TPixelBuffer& b) { RotateColourBits(b, 3); }, "Color Rotate, Bits 3"},
      {37, "40", [](TPixelBuffer& b) { ExchangeColour(b, 0, 0xFFFFFF, 40); },
       "Exchange Color, Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255"},
      {59, "2", [](TPixelBuffer& b) { SplitBlur(b, 2); }, "Split Blur, Amount 2"},
      {60, "3", [](TPixelBuffer& b) { for (int a = 3; a >= 0; --a) SplitBlur(b, a); }, "Split Gauss, Amount 3"},
      {63, "3", [](TPixelBuffer& b) { SeamlessEdge(b, 3); }, "Seamless Edge, Amount 3"},
      {41, "1", [](TPixelBuffer& b) { b.MirrorColumns(); }, "Mirror L/R"},
      {42, "1", [](TPixelBuffer& b) { b.FlipRows(); }, "Mirror U/D"},
      {7, "1", [](TPixelBuffer& b) { ApplyNamedKernel(b, 7); }, "Hi Pass"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    log.clear();
    Pattern(editor.dibWork, 8, 8);
    Pattern(before, 8, 8);
    fields.Main = c.main;
    EXPECT_EQ(Apply(c.id), TApplyResult::Ran);
    if (c.id != 25) {
      c.engine(before);
      EXPECT_TRUE(Unchanged());
    }
    EXPECT_EQ(log, std::vector<std::string>{c.line});
  }
}

TEST_F(Dispatcher, TintAsksForTheColourAndLogsTheLastOne) {
  EXPECT_EQ(Apply(34), TApplyResult::Cancelled);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(ring.UndoCount(), 0);
  tintAnswer = 0x0000FF;  // red
  EXPECT_EQ(Apply(34), TApplyResult::Ran);
  Tint(before, 0x0000FF);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(editor.dibWork.Row24(0)[0].b, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"Tint, Color R: 0 G: 0 B: 0", "Tint, Color R: 255 G: 0 B: 0"}));
}

TEST_F(Dispatcher, ScrollOnApplyStoresTheAmountOnly) {
  fields.Main = "5";
  EXPECT_EQ(Apply(45), TApplyResult::Selected);
  EXPECT_EQ(params.Value(45), 5);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(ring.UndoCount(), 0);
  EXPECT_TRUE(Unchanged());
}

TEST_F(Dispatcher, ScrollBarsScrollByTheMainAmountInTheirDirection) {
  struct Step {
    bool horizontal;
    int position;
    int dx, dy;  // ScrollWrap's sense: content up by dy, left by dx
    const char* line;
  };
  const Step steps[] = {
      {true, 10, -3, 0, "Scroll Right 3"}, {true, 4, 3, 0, "Scroll Left 3"},
      {false, 7, 0, -3, "Scroll Down 3"},  {false, -1, 0, 3, "Scroll Up 3"},
      {true, 4, 0, 0, nullptr},  // same position: nothing
  };
  int snapshots = 0;
  for (const Step& s : steps) {
    log.clear();
    EXPECT_EQ(apply.ScrollBarMoved(s.horizontal, s.position, "3"), s.line ? TApplyResult::Ran : TApplyResult::Selected);
    before.ScrollWrap(s.dx, s.dy);
    EXPECT_TRUE(Unchanged()) << s.position;
    if (s.line) {
      EXPECT_EQ(log, std::vector<std::string>{s.line});
      ++snapshots;
    } else {
      EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(apply.LastScrollPosition(s.horizontal), s.position);
  }
  EXPECT_EQ(ring.UndoCount(), snapshots);
  EXPECT_EQ(params.Value(45), 3);
  EXPECT_EQ(apply.ScrollBarMoved(true, 9, "2.5"), TApplyResult::ConversionError);
  EXPECT_EQ(errors, std::vector<std::string>{"'2.5' is not a valid integer value"});
}

TEST_F(Dispatcher, MenuLogsTheMenuNameAndTreeTheTreeName) {
  EXPECT_EQ(apply.ApplyFromMenu(35, fields), TApplyResult::Ran);
  EXPECT_EQ(editor.EffectType, 35);
  EXPECT_EQ(editor.EffectName, "GrayScale");
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(apply.ApplyFromMenu(7, fields), TApplyResult::Ran);
  EXPECT_EQ(Apply(7), TApplyResult::Ran);
  EXPECT_EQ(log, (std::vector<std::string>{"GrayScale", "HiPass", "Hi Pass"}));
}

TEST_F(Dispatcher, MenuUsesStoredValuesNotTheFields) {
  params.Value(30) = 8;
  fields.Main = "1";
  EXPECT_EQ(apply.ApplyFromMenu(30, fields), TApplyResult::Ran);
  RotateColourBits(before, 8);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(log, std::vector<std::string>{"Color Rotate, Bits 8"});
}

TEST_F(Dispatcher, MenuScrollOnlySelects) {
  EXPECT_EQ(apply.ApplyFromMenu(45, fields), TApplyResult::Selected);
  EXPECT_EQ(editor.EffectType, 45);
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(Unchanged());
}

TEST_F(Dispatcher, DesignYourOwn) {
  // Cancelled through Apply: only the plain line; through the menu: nothing.
  EXPECT_EQ(Apply(14), TApplyResult::Cancelled);
  EXPECT_EQ(log, std::vector<std::string>{"Design Your Own"});
  log.clear();
  editor.EffectType = 13;
  EXPECT_EQ(apply.ApplyFromMenu(14, fields), TApplyResult::Cancelled);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(editor.EffectType, 13);
  EXPECT_EQ(ring.UndoCount(), 0);
  EXPECT_TRUE(Unchanged());

  // OK with the form's fields: the kernel runs, both lines.
  filterAnswer = TFilterDesign{};
  EXPECT_EQ(Apply(14), TApplyResult::Ran);
  Convolve3x3(before, {2, 1, 1, 1, -3, -1, 1, -1, -1}, 1);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(log, (std::vector<std::string>{"Design Your Own Filter, Settings: 2 1 1 1 -3 -1 1 -1 -1 , Divisor 1",
                                           "Design Your Own"}));

  // A field that is not an integer: the error, nothing else.
  log.clear();
  filterAnswer->e[4] = "2.5";
  EXPECT_EQ(Apply(14), TApplyResult::ConversionError);
  EXPECT_EQ(errors, std::vector<std::string>{"'2.5' is not a valid integer value"});
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(ring.UndoCount(), 1);

  // A divisor of 0 is refused with its message; Apply still names the effect.
  filterAnswer = TFilterDesign{};
  filterAnswer->eDiv = "0";
  EXPECT_EQ(Apply(14), TApplyResult::Refused);
  EXPECT_EQ(messages, std::vector<std::string>{kDivisorZeroMessage});
  EXPECT_EQ(log, std::vector<std::string>{"Design Your Own"});
  EXPECT_EQ(ring.UndoCount(), 1);
}

TEST_F(Dispatcher, ResizeTakesTheDialogsSizeAndUndoBringsTheOldSizeBack) {
  EXPECT_EQ(Apply(38), TApplyResult::Cancelled);
  EXPECT_EQ(log, std::vector<std::string>{"ReSize Fast"});
  log.clear();
  sizeAnswer = TNewSize{10, 5};
  EXPECT_EQ(Apply(39), TApplyResult::Ran);
  EXPECT_EQ(editor.dibWork.Width(), 10);
  EXPECT_EQ(editor.dibWork.Height(), 5);
  EXPECT_EQ(editor.dibScratch.Width(), 10);
  EXPECT_EQ(log, (std::vector<std::string>{"Resize Smooth, Width 10, Height 5", "ReSize Smooth"}));
  log.clear();
  EXPECT_EQ(apply.ApplyFromMenu(38, fields), TApplyResult::Ran);  // 10 x 5 again: no change in size
  EXPECT_EQ(log, std::vector<std::string>{"Resize Fast, Width 10, Height 5"});
  EXPECT_EQ(editor.EffectType, 38);
  apply.Undo();
  apply.Undo();
  EXPECT_TRUE(Unchanged());
}

TEST_F(Dispatcher, RotateSeamlessRefusesANonSquareImageButLogs) {
  Pattern(editor.dibWork, 8, 6);
  EXPECT_EQ(Apply(44), TApplyResult::Refused);
  EXPECT_EQ(messages, std::vector<std::string>{"Image must be square.  ReSize and try again."});
  EXPECT_EQ(log, std::vector<std::string>{"Rotate Seamless"});
  EXPECT_EQ(ring.UndoCount(), 0);
}

TEST_F(Dispatcher, SeamlessCommandsLogTheirLinesAndKeepTheSelection) {
  editor.EffectType = 13;
  editor.EffectName = "Gaussian Blur";
  EXPECT_EQ(apply.EdgeMergeClick(4), TApplyResult::Ran);
  EdgeMerge(before, 4);
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(editor.EffectType, 13);
  EXPECT_EQ(editor.EffectName, "EdgeMerge4");
  EXPECT_EQ(apply.FourWayFlipClick(), TApplyResult::Ran);
  EXPECT_EQ(editor.dibWork.Width(), 16);
  // Applying the selected effect afterwards names that effect, not the merge.
  EXPECT_EQ(apply.bGoClick(fields), TApplyResult::Ran);
  EXPECT_EQ(log, (std::vector<std::string>{"Edge Merge 1/4", "4 Way Flip", "Gaussian Blur, Blurriness 1"}));
  EXPECT_EQ(ring.UndoCount(), 3);
}

TEST_F(Dispatcher, NoLinesWhileNotLogging) {
  editor.Logging = false;
  Apply(31);
  apply.EdgeMergeClick(16);
  apply.Undo();
  EXPECT_TRUE(log.empty());
}

// Every effect the menu offers runs on a 4 x 4 and a 1 x 1 picture with the
// stored defaults, keeps a 24-bit picture and balances the hourglass.
TEST_F(Dispatcher, EveryAvailableEffectRunsOnTinyPictures) {
  tintAnswer = 0x336699;
  sizeAnswer = TNewSize{3, 2};
  filterAnswer = TFilterDesign{};
  okAnswer = true;
  Pattern(texture, 5, 3);
  textureAnswer = "Use Buffer";
  for (int side : {4, 1}) {
    for (int id = 0; id < EffectCount; ++id) {
      SCOPED_TRACE(id);
      Pattern(editor.dibWork, side, side);
      const TApplyResult r = apply.ApplyFromMenu(id, fields);
      if (!EffectAvailable(id)) {
        EXPECT_EQ(r, TApplyResult::NotAvailable);
        continue;
      }
      EXPECT_TRUE(r == TApplyResult::Ran || r == TApplyResult::Selected);
      EXPECT_EQ(editor.dibWork.BitCount(), 24);
      EXPECT_FALSE(editor.dibWork.Empty());
      EXPECT_EQ(busy, 0);
    }
  }
}

TEST(HelpFiles, ShortcutListNamesEveryMenuItemOnce) {
  const std::string text = ShortcutListText();
  const std::string html = ShortcutListHtml();
  for (const TEffectEntry& e : EffectCatalogue()) {
    EXPECT_NE(text.find(std::string(e.MenuCaption) + " "), std::string::npos) << e.MenuCaption;
    EXPECT_NE(html.find("<tr><td>" + std::string(e.MenuCaption) + "</td><td>" + e.Shortcut + "</td></tr>"),
              std::string::npos)
        << e.MenuCaption;
  }
  EXPECT_NE(text.find("\nEffects > Draw\n"), std::string::npos);
  EXPECT_NE(html.find("<h2>Effects &gt; Size/Aspect</h2>"), std::string::npos);
  // Keys line up in one column.
  const size_t a = text.find("Soften More"), b = text.find("Ctrl+Alt+Y", a);
  const size_t c = text.find("StretchBlur with Buffer"), d = text.find("Ctrl+F6", c);
  EXPECT_EQ(b - text.rfind('\n', a), d - text.rfind('\n', c));
}

TEST(HelpFiles, HelpPageIsLookedForBesideTheProgramFirst) {
  EXPECT_EQ(HelpPagePath("/opt/q"), "/opt/q/WebHelp/Quilo.htm");
  EXPECT_EQ(HelpPagePath("/opt/q/"), "/opt/q/WebHelp/Quilo.htm");
  const std::string source = std::string(VELL_TEST_DATA) + "/../../help/";
  EXPECT_EQ(FindHelpPage(source, "/nonexistent/"), HelpPagePath(source));
  EXPECT_EQ(FindHelpPage("/nonexistent/", source), HelpPagePath(source));
  EXPECT_EQ(FindHelpPage("/nonexistent/", ""), std::nullopt);
}

}  // namespace
}  // namespace vell
