// The main window with its tool box and dialogs: effects chosen in the tree,
// the panel and the menus reach the working image, undo and the status bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <memory>

#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectCatalogue.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "tests/support/QtTestApp.h"

using vell::testing::App;

namespace vell {
namespace {

// One application for the whole program, never deleted: windows of a failed
// test may still hold on to it at exit.

// Pixel (x, y) as 0xRRGGBB.
uint32_t Pixel(const TPixelBuffer& b, int x, int y) {
  const uint8_t* p = b.Row(y) + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// Left to right red ramp, top to bottom green ramp: no symmetry, no seams.
void FillRamp(TPixelBuffer& b) {
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* row = b.Row(y);
    for (int x = 0; x < b.Width(); ++x) {
      row[3 * x] = 40;
      row[3 * x + 1] = static_cast<uint8_t>(y);
      row[3 * x + 2] = static_cast<uint8_t>(x);
    }
  }
}

bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (Pixel(a, x, y) != Pixel(b, x, y)) return false;
  return true;
}

class Integration : public ::testing::Test {
 public:
  void SetUp() override {
    App();
    window = std::make_unique<TfVellTile>(&ui);
    window->CreateCompanions();
    box = window->ToolBox();
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
  }
  void TearDown() override { window.reset(); }

  QAction* Action(const QString& name) { return window->findChild<QAction*>(name); }
  QTreeWidgetItem* Node(const QString& text) {
    const auto found = window->TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  void Select(const QString& text) {
    QTreeWidgetItem* node = Node(text);
    ASSERT_NE(node, nullptr) << text.toStdString();
    window->TreeView1()->setCurrentItem(node);
  }
  TPixelBuffer& Work() { return window->Editor().dibWork; }
  TPixelBuffer CopyOfWork() {
    TPixelBuffer copy;
    CopyImage(Work(), copy);
    return copy;
  }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
  TfToolBox* box = nullptr;
};

TEST_F(Integration, StartsWithTheToolBoxShownAndAskingForAnEffect) {
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(box->parent() == nullptr);  // a disabled main window must not disable it
  EXPECT_EQ(box->lblHelp->text(), "Choose an effect...");
  EXPECT_EQ(window->StatusText(4), "Idle...");
}

TEST_F(Integration, NegativeFromTheTreeAppliesAndUndoRestores) {
  Select("Negative");
  EXPECT_EQ(window->Editor().EffectType, 31);
  EXPECT_EQ(box->lblHelp->text(), "No User Settings");
  EXPECT_EQ(window->StatusText(4), "Negative");
  QAction* bUndo = Action("bUndo");
  EXPECT_FALSE(bUndo->isEnabled());

  box->bGo2->click();
  EXPECT_EQ(Pixel(Work(), 0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(Work(), 255, 255), 0xFFFFFFu);
  EXPECT_EQ(window->imSine()->Picture().pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_TRUE(bUndo->isEnabled());
  EXPECT_EQ(window->Undo().UndoCount(), 1);

  bUndo->trigger();
  EXPECT_EQ(Pixel(Work(), 0, 0), 0x000000u);
  EXPECT_EQ(Pixel(Work(), 255, 255), 0x000000u);
  EXPECT_FALSE(bUndo->isEnabled());
  EXPECT_EQ(ui.Asked().size(), 0u);
}

TEST_F(Integration, ApplyCommandsOfToolbarTreeKeyAndDoubleClick) {
  struct TCase {
    const char* how;
    std::function<void(Integration&)> apply;
  };
  const TCase cases[] = {
      {"toolbar bGo", [](Integration& t) { t.Action("bGo")->trigger(); }},
      {"Enter in the tree",
       [](Integration& t) {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
         QApplication::sendEvent(t.window->TreeView1(), &press);
       }},
      {"tree double-click",
       [](Integration& t) { emit t.window->TreeView1()->itemDoubleClicked(t.Node("Negative"), 0); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.how);
    Select("Negative");
    const uint32_t before = Pixel(Work(), 3, 3);
    const int held = window->Undo().UndoCount();
    c.apply(*this);
    EXPECT_EQ(Pixel(Work(), 3, 3), before ^ 0xFFFFFFu);
    EXPECT_EQ(window->Undo().UndoCount(), held + 1);
    EXPECT_EQ(window->StatusText(4), "Negative");
  }
}

TEST_F(Integration, DoubleClickOnACategoryAppliesNothing) {
  emit window->TreeView1()->itemDoubleClicked(Node("Color"), 0);
  EXPECT_EQ(window->Editor().EffectType, -1);
  EXPECT_EQ(window->StatusText(4), "Idle...");
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_EQ(ui.Asked().size(), 0u);
}

TEST_F(Integration, ApplyWithoutAnEffectSaysSo) {
  Action("bGo")->trigger();
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "First Select an Effect");
}

TEST_F(Integration, GaussianBlurAboveFiveRunsWithOneAndTheFieldSaysSo) {
  Select("Gaussian Blur");
  box->eAmtMain->setText(QStringLiteral("9"));
  Action("bGo")->trigger();
  EXPECT_EQ(box->eAmtMain->text(), "1");
  EXPECT_EQ(window->Params().Value(13), 1);
  EXPECT_EQ(window->Undo().UndoCount(), 1);
}

TEST_F(Integration, MirrorFromTheEffectsMenuSelectsAndApplies) {
  FillRamp(Work());
  const TPixelBuffer before = CopyOfWork();
  Action("Effect41")->trigger();
  for (int x : {0, 1, 100, 255}) EXPECT_EQ(Pixel(Work(), x, 7), Pixel(before, 255 - x, 7)) << x;
  EXPECT_EQ(window->Editor().EffectType, 41);
  EXPECT_EQ(window->StatusText(4), "Mirror L/R");
  EXPECT_TRUE(Action("bUndo")->isEnabled());
}

TEST_F(Integration, EffectsMenuItemsAreEnabledExactlyWhenTheirEffectRuns) {
  for (const TEffectEntry& e : EffectCatalogue()) {
    QAction* a = Action(QStringLiteral("Effect%1").arg(e.Id));
    ASSERT_NE(a, nullptr) << e.Id;
    EXPECT_EQ(a->isEnabled(), EffectAvailable(e.Id)) << e.TreeName;
    if (!a->isEnabled()) {
      EXPECT_TRUE(a->toolTip().contains("Not available yet")) << e.TreeName;
    }
  }
  EXPECT_TRUE(Action("Effect15")->isEnabled());
  for (int id : {47, 48, 49}) EXPECT_TRUE(Action(QStringLiteral("Effect%1").arg(id))->isEnabled()) << id;
}

TEST_F(Integration, CircularAsksFirstOnOtherSizesAndCancelKeepsTheImage) {
  Work().Allocate(100, 80, 0, 24);
  FillRamp(Work());
  const TPixelBuffer before = CopyOfWork();
  ui.AnswerMessage(TMsgResult::Cancel).AnswerMessage(TMsgResult::Ok);
  Action("Effect20")->trigger();
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "Circular only works correctly with a 256 x 256 image. OK?");
  EXPECT_EQ(ui.ButtonSets()[0], TMsgButtons::OkCancel);
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_EQ(window->Editor().EffectType, 20);
  Action("Effect20")->trigger();
  EXPECT_EQ(ui.Asked().size(), 2u);
  EXPECT_FALSE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 1);
  EXPECT_EQ(ui.Unanswered(), 0);
}

// The buffer image is black until something fills it: Water with it moves
// the picture by exactly its stored amounts.
TEST_F(Integration, WaterWithTheBufferFromTheMenuShiftsTheImage) {
  FillRamp(Work());
  TPixelBuffer shifted = CopyOfWork();
  shifted.ScrollWrap(64, 100);  // L/R 64, U/D 100
  Action("Effect55")->trigger();
  EXPECT_TRUE(Same(Work(), shifted));
  EXPECT_EQ(window->StatusText(4), "Water with Buffer");
  Action("bUndo")->trigger();
  shifted.ScrollWrap(-64, -100);
  EXPECT_TRUE(Same(Work(), shifted));
}

TEST_F(Integration, LinesNameTheMenuItemOrTheTreeNode) {
  std::vector<std::string> lines;
  window->Editor().Logging = true;
  window->Editor().WriteLog = [&](const std::string& line) { lines.push_back(line); };
  Select("SineWave L/R");
  Action("bGo")->trigger();
  Action("Effect16")->trigger();
  Select("Fisheye");
  box->bGo2->click();
  Action("Effect19")->trigger();
  window->Dispatcher()->Hooks().AskTexture = nullptr;
  Action("Effect28")->trigger();  // no texture dialog here: nothing changes, the line is written
  Action("UnDo1")->trigger();
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "SineWave L/R, Peaks 2, Height 64, Wrap = True",
                       "SineWave Left/Right, Peaks 2, Height 64, Wrap = True",
                       "Fisheye, Magnification 0.75",
                       "FishEye, Magnification 0.75",
                       "Map Texture, Brightness 18, Use Current Texture",
                       "UnDo",
                   }));
  EXPECT_EQ(window->Undo().UndoCount(), 3);
  window->Editor().Logging = false;
}

TEST_F(Integration, SeamlessCommandsChangeTheImageAndCanBeUndone) {
  for (const char* name : {"EdgeMerge16", "EdgeMerge8", "EdgeMerge4", "FourWayFlip1"}) {
    SCOPED_TRACE(name);
    FillRamp(Work());
    const TPixelBuffer before = CopyOfWork();
    QAction* a = Action(QString::fromLatin1(name));
    ASSERT_TRUE(a->isEnabled());
    a->trigger();
    EXPECT_FALSE(Same(Work(), before));
    Action("bUndo")->trigger();
    EXPECT_TRUE(Same(Work(), before));
  }
}

TEST_F(Integration, NewAndEffectsShareOneUndoRing) {
  box->SetBrushColor(0x0000FF);  // red, 0x00BBGGRR
  Action("New1")->trigger();
  EXPECT_EQ(Pixel(Work(), 5, 5), 0xFF0000u);
  Select("Negative");
  box->bGo2->click();
  EXPECT_EQ(Pixel(Work(), 5, 5), 0x00FFFFu);
  EXPECT_EQ(window->Undo().UndoCount(), 2);
  box->bUndo2->click();
  EXPECT_EQ(Pixel(Work(), 5, 5), 0xFF0000u);
  box->bUndo2->click();
  EXPECT_EQ(Pixel(Work(), 5, 5), 0x000000u);
}

TEST_F(Integration, ResizeFromTheContextMenuUsesTheSizeDialogsAnswer) {
  std::vector<std::pair<int, int>> asked;
  window->Dispatcher()->Hooks().AskNewSize = [&](int w, int h, bool smooth) -> std::optional<TNewSize> {
    EXPECT_TRUE(smooth);
    asked.emplace_back(w, h);
    return TNewSize{128, 64};
  };
  QAction* resize = Action("Resize1");
  ASSERT_TRUE(resize->isEnabled());
  resize->trigger();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(256, 256));
  EXPECT_EQ(Work().Width(), 128);
  EXPECT_EQ(Work().Height(), 64);
  EXPECT_EQ(window->StatusText(0), "Width: 128");
  EXPECT_EQ(window->StatusText(1), "Height: 64");
  EXPECT_EQ(window->Editor().EffectType, 39);
}

TEST_F(Integration, DesignYourOwnFromTheMenuRunsTheDesignedKernel) {
  FillRamp(Work());
  const TPixelBuffer before = CopyOfWork();
  int asked = 0;
  window->Dispatcher()->Hooks().AskFilterDesign = [&]() -> std::optional<TFilterDesign> {
    ++asked;
    TFilterDesign negate;  // every neighbour of the centre weighs 0
    negate.e = {"0", "0", "0", "0", "-1", "0", "0", "0", "0"};
    return negate;
  };
  Action("Effect14")->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(Same(Work(), before));
  EXPECT_EQ(window->Editor().EffectType, -1);  // the menu item keeps the selection
}

TEST_F(Integration, ScrollBarsOfTheScrollEffectShiftTheImage) {
  FillRamp(Work());
  const TPixelBuffer before = CopyOfWork();
  Select("Scroll");
  ASSERT_FALSE(box->sbLR->isHidden());
  box->eAmtMain->setText(QStringLiteral("10"));
  box->sbLR->setValue(1);  // right by 10
  EXPECT_EQ(Pixel(Work(), 10, 3), Pixel(before, 0, 3));
  const TPixelBuffer scrolledRight = CopyOfWork();
  box->sbUD->setValue(1);  // down by 10: a whole-row shift
  EXPECT_FALSE(Same(Work(), scrolledRight));
  const int shift = Pixel(Work(), 10, 0) == Pixel(scrolledRight, 10, 10) ? -10 : 10;
  for (int y : {0, 9, 10, 255}) EXPECT_EQ(Pixel(Work(), 10, y), Pixel(scrolledRight, 10, (y - shift + 256) % 256)) << y;
  EXPECT_EQ(window->Undo().UndoCount(), 2);
}

// The centre of one part of a scroll bar, as the style draws it.
QPoint PartOf(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.subControls = QStyle::SC_All;
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

// How far the picture has moved from `before`, right (horizontal) or down,
// modulo its size; -1 when it is not a plain wrap-around shift.
int ShiftOf(const TPixelBuffer& now, const TPixelBuffer& before, bool horizontal) {
  const int size = horizontal ? before.Width() : before.Height();
  for (int shift = 0; shift < size; ++shift) {
    bool all = true;
    for (int y = 0; y < before.Height() && all; y += 7)
      for (int x = 0; x < before.Width() && all; x += 5) {
        const int fx = horizontal ? (x - shift + size) % size : x;
        const int fy = horizontal ? y : (y - shift + size) % size;
        all = Pixel(now, x, y) == Pixel(before, fx, fy);
      }
    if (all) return shift;
  }
  return -1;
}

TEST_F(Integration, ScrollBarsMoveThePictureByScrollAmtPerMovement) {
  FillRamp(Work());
  Select("Scroll");
  box->eAmtMain->setText(QStringLiteral("10"));
  struct Step {
    const char* what;
    bool horizontal;
    QStyle::SubControl part;  // SC_ScrollBarSlider: drag the thumb
    int direction;            // +1 right/down, -1 left/up
  };
  const Step steps[] = {
      {"right arrow", true, QStyle::SC_ScrollBarAddLine, +1},
      {"track right of the thumb", true, QStyle::SC_ScrollBarAddPage, +1},
      {"left arrow", true, QStyle::SC_ScrollBarSubLine, -1},
      {"track left of the thumb", true, QStyle::SC_ScrollBarSubPage, -1},
      {"thumb dragged right", true, QStyle::SC_ScrollBarSlider, +1},
      {"down arrow", false, QStyle::SC_ScrollBarAddLine, +1},
      {"track below the thumb", false, QStyle::SC_ScrollBarAddPage, +1},
      {"up arrow", false, QStyle::SC_ScrollBarSubLine, -1},
      {"track above the thumb", false, QStyle::SC_ScrollBarSubPage, -1},
      {"thumb dragged up", false, QStyle::SC_ScrollBarSlider, -1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    QScrollBar* bar = step.horizontal ? box->sbLR : box->sbUD;
    ASSERT_TRUE(bar->isVisible());
    const TPixelBuffer before = CopyOfWork();
    const int undos = window->Undo().UndoCount();
    const int position = bar->value();
    const QPoint at = PartOf(bar, step.part);
    int moves = 0;
    if (step.part == QStyle::SC_ScrollBarSlider) {
      QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
      QPoint to = at;
      for (int i = 0; i < 3; ++i) {
        to += step.horizontal ? QPoint(4 * step.direction, 0) : QPoint(0, 4 * step.direction);
        QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
      }
      QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, to);
    } else {
      QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
      // Held down, a click does not repeat: one press, one movement.
      EXPECT_FALSE(qobject_cast<TStepScrollBar*>(bar)->Repeats());
      QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
    }
    QApplication::processEvents();
    moves = window->Undo().UndoCount() - undos;  // one snapshot per movement
    ASSERT_GE(moves, 1) << "the bar did not move";
    EXPECT_EQ((bar->value() - position) * step.direction > 0, true);
    const int size = step.horizontal ? before.Width() : before.Height();
    const int expected = ((step.direction * 10 * moves) % size + size) % size;
    EXPECT_EQ(ShiftOf(Work(), before, step.horizontal), expected) << moves << " movements";
    if (step.part != QStyle::SC_ScrollBarSlider) EXPECT_EQ(moves, 1);
  }
}

TEST_F(Integration, ScrollBarsJudgeEachMovementFromWhereTheBarReallyIs) {
  FillRamp(Work());
  Select("Scroll");
  QScrollBar* bar = box->sbLR;
  // A movement with a field that holds no number moves the bar, not the picture.
  box->eAmtMain->setText(QStringLiteral("ten"));
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, PartOf(bar, QStyle::SC_ScrollBarAddLine));
  ASSERT_EQ(bar->value(), 1);
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "'ten' is not a valid integer value");
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  // The next movement, to the left, scrolls left.
  box->eAmtMain->setText(QStringLiteral("10"));
  const TPixelBuffer before = CopyOfWork();
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, PartOf(bar, QStyle::SC_ScrollBarSubLine));
  EXPECT_EQ(ShiftOf(Work(), before, true), 256 - 10);

  // Choosing Scroll again sets both bars back to the middle, so a smaller
  // picture's range cannot move them unseen.
  for (int i = 0; i < 3; ++i) bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->value(), 48);
  Select("Negative");
  Select("Scroll");
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(box->sbUD->value(), 0);
  const TPixelBuffer middle = CopyOfWork();
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, PartOf(bar, QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(ShiftOf(Work(), middle, true), 10);
}

TEST_F(Integration, ToolBoxFollowsItsButtonsAndTheMainWindow) {
  QAction* bTools = Action("bTools");
  QAction* bColor = Action("bColor");
  ASSERT_TRUE(bTools->isEnabled());
  bTools->trigger();
  EXPECT_FALSE(box->isVisible());
  EXPECT_FALSE(window->Editor().ToolboxShown);
  bTools->trigger();
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(window->Editor().ToolboxShown);

  bColor->trigger();
  EXPECT_TRUE(box->ColoursShown());
  EXPECT_EQ(box->height(), TfToolBox::kHeightWithSliders);
  box->bCols2->click();
  EXPECT_FALSE(box->ColoursShown());
  EXPECT_EQ(box->height(), TfToolBox::kMinHeight);

  window->hide();
  EXPECT_FALSE(box->isVisible());
  EXPECT_TRUE(window->Editor().ToolboxShown);
  window->show();
  EXPECT_TRUE(box->isVisible());

  box->close();
  EXPECT_FALSE(window->Editor().ToolboxShown);
  window->hide();
  window->show();
  EXPECT_FALSE(box->isVisible());
}

TEST_F(Integration, SliderPreviewDisablesTheMainWindowUntilOk) {
  FillRamp(Work());
  const TPixelBuffer before = CopyOfWork();
  Action("bColor")->trigger();
  box->Sliders[0]->setValue(400);  // lightness up
  EXPECT_FALSE(window->isEnabled());
  EXPECT_EQ(window->imSine()->Picture().constBits(), window->Editor().dibScratch.Bits());
  EXPECT_TRUE(Same(Work(), before));
  box->bGood->click();
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(window->imSine()->Picture().constBits(), Work().Bits());
  EXPECT_FALSE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 1);

  box->Sliders[1]->setValue(100);
  EXPECT_FALSE(window->isEnabled());
  const TPixelBuffer committed = CopyOfWork();
  box->bBad->click();
  EXPECT_TRUE(window->isEnabled());
  EXPECT_TRUE(Same(Work(), committed));
  EXPECT_EQ(window->Undo().UndoCount(), 1);
}

TEST_F(Integration, CommandsWaitForThePendingSliderPreview) {
  FillRamp(Work());
  Select("Negative");
  const TPixelBuffer before = CopyOfWork();
  Action("bColor")->trigger();
  box->Sliders[0]->setValue(400);
  ASSERT_TRUE(box->Previewing());
  box->bGo2->click();                // disabled while pending
  window->bGoClick();                // Apply from anywhere
  window->EffectMenuClick(41);       // an Effects-menu shortcut
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  ASSERT_EQ(ui.Asked().size(), 2u);
  for (const auto& asked : ui.Asked()) EXPECT_EQ(asked.text, kSlidersPendingText);
  EXPECT_EQ(window->Editor().EffectType, 31);  // the menu item did not select either

  box->bGood->click();  // the sliders' change is kept first ...
  const TPixelBuffer lighter = CopyOfWork();
  EXPECT_FALSE(Same(lighter, before));
  window->bGoClick();  // ... and Apply works on it
  EXPECT_EQ(Pixel(Work(), 3, 4), 0xFFFFFFu - Pixel(lighter, 3, 4));
  EXPECT_EQ(window->Undo().UndoCount(), 2);
}

// Whatever chose the effect (tree, menu item, its shortcut), the tree's
// current node, the Tool Box caption and status panel 4 name the same one.
TEST_F(Integration, EffectsMenuSelectsTheEffectsNodeInTheTree) {
  window->Dispatcher()->Hooks().AskNewSize = [](int, int, bool) { return std::optional<TNewSize>(); };
  window->Dispatcher()->Hooks().AskFilterDesign = [] { return std::optional<TFilterDesign>(); };
  window->Dispatcher()->Hooks().AskTexture = nullptr;  // their dialogs are modal
  window->Dispatcher()->Hooks().DrawGradient = nullptr;
  QTreeWidget* tree = window->TreeView1();
  for (const TEffectEntry& e : EffectCatalogue()) {
    SCOPED_TRACE(e.TreeName);
    Work().Allocate(16, 12, 0, 24);
    FillRamp(Work());
    Select(e.Id == 31 ? "Blur" : "Negative");
    const int before = window->Editor().EffectType;
    QAction* item = Action(QStringLiteral("Effect%1").arg(e.Id));
    ASSERT_NE(item, nullptr);
    if (item->isEnabled()) {
      item->trigger();
    } else {
      window->EffectMenuClick(e.Id);  // not built yet: says so, selects nothing
    }
    const bool selects = item->isEnabled() && !e.MenuKeepsSelection;
    EXPECT_EQ(window->Editor().EffectType, selects ? e.Id : before);
    QTreeWidgetItem* current = tree->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(EffectIdFromName(current->text(0).toStdString()), window->Editor().EffectType);
    EXPECT_EQ(current->parent()->isExpanded(), true);
    const QString name = QString::fromStdString(window->Editor().EffectName);
    EXPECT_EQ(box->lblEffect->Caption(), name);
    EXPECT_EQ(window->StatusText(4), name);
    if (selects) EXPECT_EQ(window->Editor().EffectName, EffectMenuName(e.Id));  // the log's name stays the menu's
  }
}

TEST_F(Integration, TestTilesHidesTheMainWindowUntilTheTesterCloses) {
  for (const char* name : {"TestTiles1", "bPreview"}) {
    SCOPED_TRACE(name);
    QAction* a = Action(QString::fromLatin1(name));
    ASSERT_TRUE(a->isEnabled());
    a->trigger();
    TfTester* tester = window->Tester();
    EXPECT_TRUE(tester->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(box->isVisible());
    tester->btnOK->click();
    EXPECT_FALSE(tester->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(box->isVisible());
  }
}

TEST_F(Integration, ShortcutListAndHelpAreOffered) {
  EXPECT_TRUE(Action("PrintShortcutKeyList1")->isEnabled());
  EXPECT_TRUE(Action("Contents1")->isEnabled());
}

}  // namespace
}  // namespace vell
