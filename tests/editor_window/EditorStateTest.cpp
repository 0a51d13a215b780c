#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/ScriptedUi.h"

namespace vell {
namespace {

TEST(EditorText, ColorTextReadsRedFromTheLowByte) {
  EXPECT_EQ(ColorText(0x00000000), "R: 0 G: 0 B: 0");
  EXPECT_EQ(ColorText(0x00FF8001), "R: 1 G: 128 B: 255");
  EXPECT_EQ(ColorText(0x12345678), "R: 120 G: 86 B: 52");  // the top byte is not a channel
  EXPECT_EQ(BoolText(true), "True");
  EXPECT_EQ(BoolText(false), "False");
}

TEST(EditorImages, StartAsFourBlack256Squares) {
  TEditor e;
  e.CreateImages();
  for (const TPixelBuffer* b : {&e.dibWork, &e.dibScratch, &e.dibBuffer, &e.dibOriginal}) {
    ASSERT_EQ(b->Width(), 256);
    ASSERT_EQ(b->Height(), 256);
    ASSERT_EQ(b->BitCount(), 24);
    for (int y = 0; y < 256; y += 85)
      for (int x = 0; x < 256; x += 51) {
        const TRGB24 p = b->Row24(y)[x];
        EXPECT_EQ(p.r | p.g | p.b, 0);
      }
  }
  EXPECT_NE(e.dibWork.Bits(), e.dibOriginal.Bits());  // copies, not shared memory
  EXPECT_EQ(e.EffectType, -1);
  EXPECT_EQ(e.JpegQuality, 90);
  EXPECT_EQ(e.MaxUndo, 15);
}

TEST(EditorImages, CopyImageTakesSizeAndEveryByte) {
  TPixelBuffer src, dst;
  src.Allocate(3, 2, 0, 24);
  src.Row24(1)[2] = TRGB24{7, 8, 9};
  dst.Allocate(9, 9, 0, 24);
  dst.Row24(0)[0] = TRGB24{1, 1, 1};
  CopyImage(src, dst);
  ASSERT_EQ(dst.Width(), 3);
  ASSERT_EQ(dst.Height(), 2);
  EXPECT_EQ(dst.Row24(1)[2].r, 9);
  EXPECT_EQ(dst.Row24(0)[0].r, 0);
}

struct TRecorder {
  std::vector<std::string> events;
  void Attach(TEditor& e) {
    e.PushUndo = [this] { events.push_back("push"); };
    e.WriteLog = [this](const std::string& s) { events.push_back("log " + s); };
  }
};

TEST(EditorCommands, NewFillsWithTheBrushColourAndKeepsTheSize) {
  TEditor e;
  e.CreateImages();
  e.dibWork.Allocate(5, 4, 0, 24);
  TRecorder r;
  r.Attach(e);
  e.Logging = true;
  e.New(0x00336699);  // R 0x99, G 0x66, B 0x33
  ASSERT_EQ(e.dibWork.Width(), 5);
  ASSERT_EQ(e.dibWork.Height(), 4);
  const TRGB24 p = e.dibWork.Row24(3)[4];
  EXPECT_EQ(p.r, 0x99);
  EXPECT_EQ(p.g, 0x66);
  EXPECT_EQ(p.b, 0x33);
  EXPECT_EQ(r.events, (std::vector<std::string>{"push", "log New Image, Color R: 153 G: 102 B: 51"}));
}

TEST(EditorCommands, ResetRestoresTheOriginalNotALaterState) {
  TEditor e;
  e.CreateImages();
  TPixelBuffer opened;
  opened.Allocate(2, 2, 0, 24);
  opened.Row24(0)[1] = TRGB24{10, 20, 30};
  e.InstallLoadedImage(std::move(opened));
  EXPECT_EQ(e.dibScratch.Width(), 2);
  e.New(0x00FFFFFF);
  TRecorder r;
  r.Attach(e);
  e.Reset();  // logging off: a snapshot but no line
  ASSERT_EQ(e.dibWork.Width(), 2);
  EXPECT_EQ(e.dibWork.Row24(0)[1].r, 30);
  EXPECT_EQ(e.dibWork.Row24(1)[1].r, 0);
  EXPECT_EQ(r.events, (std::vector<std::string>{"push"}));
}

TEST(EditorCommands, SelectingACategoryClearsTheName) {
  TEditor e;
  e.SelectEffect(31, "Negative");
  EXPECT_EQ(e.ActivityText(), "Negative");
  e.SelectEffect(-1, "Color");
  EXPECT_EQ(e.EffectName, "");
  EXPECT_EQ(e.ActivityText(), "Idle...");
}

TEST(EditorClosing, AnswersDecideWhetherToCloseAndToSave) {
  struct TCase {
    bool prompt;
    std::optional<TMsgResult> answer;
    bool closes;
    int saves;
  };
  const TCase cases[] = {
      {true, TMsgResult::Yes, true, 1},
      {true, TMsgResult::No, true, 0},
      {true, TMsgResult::Cancel, false, 0},
      {false, std::nullopt, true, 0},
  };
  for (const TCase& c : cases) {
    TEditor e;
    e.PromptForSave = c.prompt;
    ScriptedUi ui;
    if (c.answer) ui.AnswerMessage(*c.answer);
    int saves = 0;
    EXPECT_EQ(e.QueryClose(ui, [&] { ++saves; }), c.closes);
    EXPECT_EQ(saves, c.saves);
    EXPECT_EQ(ui.Unanswered(), 0);
    if (c.prompt) {
      ASSERT_EQ(ui.Asked().size(), 1u);
      EXPECT_EQ(ui.Asked()[0].text,
                "Save the Current Image?\r\r(To avoid this prompt, uncheck the menu item under the Options menu)");
      EXPECT_EQ(ui.ButtonSets()[0], TMsgButtons::YesNoCancel);
    } else {
      EXPECT_TRUE(ui.Asked().empty());
    }
  }
}

}  // namespace
}  // namespace vell
