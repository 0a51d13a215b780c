#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <cstring>
#include <set>

#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectCatalogue.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {



class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TfVellTile>(&ui);
  }
  void ShowAndStart() {
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
  }
  QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  QMenu* Menu(const char* name) { return window->findChild<QMenu*>(QString::fromLatin1(name)); }
  QTreeWidgetItem* Node(const QString& text) {
    const auto found = window->TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
};

TEST_F(MainWindow, StartsWithABlack256SquareAndIdleStatus) {
  ShowAndStart();
  EXPECT_EQ(window->windowTitle(), "Quilo");
  EXPECT_EQ(window->StatusText(0), "Width: 256");
  EXPECT_EQ(window->StatusText(1), "Height: 256");
  EXPECT_EQ(window->StatusText(4), "Idle...");
  EXPECT_EQ(window->StatusText(5), "Not Logging");
  const QImage& shown = window->imSine()->Picture();
  ASSERT_EQ(shown.size(), QSize(256, 256));
  EXPECT_EQ(shown.format(), QImage::Format_BGR888);
  EXPECT_EQ(shown.bytesPerLine(), 768);
  EXPECT_EQ(shown.constBits(), window->Editor().dibWork.Bits());  // the buffer's own memory
  EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(255, 255), qRgb(0, 0, 0));
  EXPECT_EQ(window->imSine()->size(), QSize(256, 256));
  EXPECT_EQ(window->Editor().EffectType, -1);
  EXPECT_EQ(window->GradientCaption()->aTextStyle(), TTextStyle::tsInset);
  EXPECT_EQ(window->BufferCaption()->aTextStyle(), TTextStyle::tsInset);
  EXPECT_TRUE(ui.Asked().empty());
}

TEST_F(MainWindow, StatusPanelsAreAtLeastTheirNominalWidths) {
  const int widths[6] = {75, 75, 50, 50, 175, 50};
  for (int i = 0; i < 6; ++i) {
    QWidget* panel = window->findChild<QWidget*>(QStringLiteral("stPanel%1").arg(i));
    ASSERT_NE(panel, nullptr) << i;
    EXPECT_GE(panel->sizeHint().width(), widths[i]) << i;  // what each asks of the bar
  }
}

// A narrow window keeps the status panels readable: the activity panel gives
// way first (its text shortened with an ellipsis), the others keep their whole
// texts; squeezed further, each panel shortens its own text and none runs into
// its neighbour or out of the bar.
TEST_F(MainWindow, StatusPanelsStayReadableInANarrowWindow) {
  ShowAndStart();
  window->SetLogging(true);
  const QString activity = QStringLiteral("Width: 1024  Height: 768");
  window->SetStatusText(4, activity);
  QWidget* bar = window->findChild<QWidget*>(QStringLiteral("stBar"));
  ASSERT_NE(bar, nullptr);
  for (int width : {1000, 500, 300, 120}) {
    SCOPED_TRACE(width);
    window->resize(width, 400);
    QApplication::processEvents();
    int right = -1;
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      auto* panel = window->findChild<QWidget*>(QStringLiteral("stPanel%1").arg(i));
      ASSERT_NE(panel, nullptr);
      const QRect inBar(panel->mapTo(bar, QPoint(0, 0)), panel->size());
      EXPECT_GE(inBar.left(), right) << "runs into the panel before";
      right = inBar.right() + 1;
      EXPECT_LE(right, bar->width()) << "runs out of the bar";
      const bool whole = panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(window->StatusText(i));
      if (width >= 500 && i != 4) EXPECT_TRUE(whole);
      if (width >= 1000) EXPECT_TRUE(whole);
    }
  }
}

TEST_F(MainWindow, LoggingIndicatorFollowsTheFlag) {
  window->SetLogging(true);
  EXPECT_EQ(window->StatusText(5), "Logging");
  EXPECT_TRUE(window->Editor().Logging);
  window->SetLogging(false);
  EXPECT_EQ(window->StatusText(5), "Not Logging");
}

TEST_F(MainWindow, TreeHoldsFiveSortedCategoriesAndAll66Effects) {
  QTreeWidget* tree = window->TreeView1();
  EXPECT_EQ(tree->indentation(), 19);
  ASSERT_EQ(tree->topLevelItemCount(), 5);
  const char* categories[5] = {"Color", "Distortions", "Draw", "Filters", "Size/Aspect"};
  std::set<int> ids;
  for (int c = 0; c < 5; ++c) {
    QTreeWidgetItem* cat = tree->topLevelItem(c);
    EXPECT_EQ(cat->text(0), categories[c]);
    EXPECT_EQ(EffectIdFromName(cat->text(0).toStdString()), -1);
    for (int i = 0; i < cat->childCount(); ++i) {
      const QString leaf = cat->child(i)->text(0);
      const int id = EffectIdFromName(leaf.toStdString());
      ASSERT_GE(id, 0) << leaf.toStdString();
      EXPECT_EQ(static_cast<int>(EffectEntry(id)->Category), c) << leaf.toStdString();
      EXPECT_EQ(cat->child(i)->childCount(), 0);
      ids.insert(id);
      if (i > 0) {
        EXPECT_LT(cat->child(i - 1)->text(0).compare(leaf, Qt::CaseInsensitive), 0);
      }
    }
  }
  EXPECT_EQ(ids.size(), 66u);
}

TEST_F(MainWindow, ChoosingNodesSetsTheEffectAndTheActivityPanel) {
  ShowAndStart();
  QTreeWidget* tree = window->TreeView1();
  struct TStep {
    const char* node;
    int id;
    const char* activity;
  };
  const TStep steps[] = {
      {"Negative", 31, "Negative"},
      {"Color", -1, "Idle..."},
      {"Whirl/Pinch", 65, "Whirl/Pinch"},
      {"Hi Pass", 7, "Hi Pass"},  // the tree's name, not the menu's
      {"Size/Aspect", -1, "Idle..."},
  };
  for (const TStep& s : steps) {
    QTreeWidgetItem* node = Node(QString::fromLatin1(s.node));
    ASSERT_NE(node, nullptr) << s.node;
    tree->setCurrentItem(node);
    EXPECT_EQ(window->Editor().EffectType, s.id) << s.node;
    EXPECT_EQ(window->StatusText(4), s.activity) << s.node;
    EXPECT_EQ(window->Editor().EffectName, s.id == -1 ? std::string() : std::string(s.node));
  }
  // A double-click on a category applies nothing and stays idle.
  window->TreeView1DblClick(Node(QStringLiteral("Draw")));
  EXPECT_EQ(window->StatusText(4), "Idle...");
  EXPECT_TRUE(ui.Asked().empty());
}

TEST_F(MainWindow, ExpandButtonTogglesAllBranches) {
  QTreeWidget* tree = window->TreeView1();
  EXPECT_EQ(window->bExpand()->text(), "E");
  EXPECT_EQ(window->bExpand()->toolTip(), "Expand/Collapse Tree branches");
  window->bExpand()->click();
  EXPECT_EQ(window->bExpand()->text(), "C");
  for (int c = 0; c < 5; ++c) EXPECT_TRUE(tree->topLevelItem(c)->isExpanded());
  window->bExpand()->click();
  EXPECT_EQ(window->bExpand()->text(), "E");
  for (int c = 0; c < 5; ++c) EXPECT_FALSE(tree->topLevelItem(c)->isExpanded());
}

TEST_F(MainWindow, MainMenuHasItsMenusInOrder) {
  QStringList titles;
  for (QAction* a : window->menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Gradient", "&Buffer", "&Image", "Effec&ts", "&Pen", "&Options",
                                 "&Help"}));
  struct TItem {
    const char* name;
    const char* caption;
    const char* shortcut;
  };
  const TItem items[] = {
      {"Open1", "&Open", ""},
      {"New1", "&New", ""},
      {"SaveAs1", "&Save As...", ""},
      {"Exit1", "E&xit", ""},
      {"UnDo1", "UnDo", "Ctrl+Z"},
      {"Copy1", "&Copy", "Ctrl+C"},
      {"ReplaceImage1", "Re&place Image", "Ctrl+V"},
      {"Reset1", "&Reset", ""},
      {"ChangeUndoQuantity1", "Change &Undo Quantity", ""},
      {"PasteToImage1", "&Paste To Image", ""},
      {"CopyBuffertoClipboard1", "Cop&y Buffer to Clipboard", ""},
      {"EdgeMerge16", "1/1&6", ""},
      {"FourWayFlip1", "4 Way &Flip", ""},
      {"PromptforSave1", "&Prompt for Save At Termination", ""},
      {"Contents1", "&Contents", ""},
  };
  for (const TItem& i : items) {
    QAction* a = Action(i.name);
    ASSERT_NE(a, nullptr) << i.name;
    EXPECT_EQ(a->text(), i.caption) << i.name;
    EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), i.shortcut) << i.name;
  }
  // Start states.
  EXPECT_TRUE(Action("UnDo1")->isEnabled());  // the menu item stays enabled; the button follows the ring
  EXPECT_FALSE(Action("bUndo")->isEnabled());
  EXPECT_FALSE(Action("PasteToImage1")->isEnabled());
  EXPECT_FALSE(Action("MergeWithImage1")->isEnabled());
  EXPECT_FALSE(Action("PasteBuffertoImage1")->isEnabled());
  EXPECT_TRUE(Action("PromptforSave1")->isChecked());
  EXPECT_FALSE(Action("SaveImagewithLogFileName1")->isChecked());
  EXPECT_TRUE(Action("HideDialogDuringSave1")->isChecked());
  EXPECT_FALSE(Action("ShowDialogDuringSave1")->isChecked());
  EXPECT_TRUE(Action("Exit1")->isEnabled());
  EXPECT_TRUE(Action("Print1")->isEnabled());
}

TEST_F(MainWindow, EffectsMenuHoldsAll66WithTheirShortcuts) {
  QMenu* effects = Menu("Effects1");
  ASSERT_NE(effects, nullptr);
  QStringList subs;
  std::set<int> ids;
  std::set<QString> keys;
  for (QAction* sub : effects->actions()) {
    ASSERT_NE(sub->menu(), nullptr);
    subs << sub->text();
    for (QAction* a : sub->menu()->actions()) {
      const int id = a->data().toInt();
      const TEffectEntry* e = EffectEntry(id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(a->text(), QString::fromUtf8(e->MenuCaption));
      EXPECT_EQ(a->shortcut(), QKeySequence::fromString(QString::fromUtf8(e->Shortcut), QKeySequence::PortableText))
          << e->MenuCaption;
      EXPECT_FALSE(a->shortcut().isEmpty()) << e->MenuCaption;
      EXPECT_EQ(EffectCategoryMenuCaption(e->Category), sub->text().toStdString());
      ids.insert(id);
      keys.insert(a->shortcut().toString());
    }
  }
  EXPECT_EQ(subs, (QStringList{"&Color", "&Distortions", "Dra&w", "&Filters", "&Size/Aspect"}));
  EXPECT_EQ(ids.size(), 66u);
  EXPECT_EQ(keys.size(), 66u);  // no two effects share a key
  EXPECT_EQ(Action("Effect7")->shortcut().toString(QKeySequence::PortableText), "Ctrl+I");
  EXPECT_EQ(Action("Effect7")->text(), "HiPass");
  EXPECT_EQ(Action("Effect60")->shortcut().toString(QKeySequence::PortableText), "Ctrl+Shift+F12");
}

TEST_F(MainWindow, PenMenuIsTwelveRadioItems) {
  QMenu* pen = Menu("Pen1");
  ASSERT_NE(pen, nullptr);
  const QStringList want = {"Normal",     "MaskNotPen", "MaskPen",     "MaskPenNot", "MergeNotPen", "MergePen",
                            "MergePenNot", "NotCopyPen", "NotMaskPen", "NotMergePen", "NotXORPen",  "XORPen"};
  QStringList got;
  for (QAction* a : pen->actions()) {
    // Below the radio items: a separator and the wrap option's check item.
    if (a->isSeparator() || a->objectName() == "WrapDrawing1") continue;
    got << a->text();
    EXPECT_TRUE(a->isCheckable());
    EXPECT_EQ(a->isChecked(), a->text() == "Normal");
  }
  EXPECT_EQ(got, want);
  Action("Pen11")->trigger();
  EXPECT_EQ(window->Editor().PenModeIndex, 11);
  EXPECT_FALSE(Action("Pen0")->isChecked());
  Action("Pen3")->trigger();
  EXPECT_EQ(window->Editor().PenModeIndex, 3);
  EXPECT_FALSE(Action("Pen11")->isChecked());
}

TEST_F(MainWindow, ToolBarHasThirteenButtonsWithHints) {
  QStringList names, hints;
  for (QAction* a : window->ToolBar1()->actions()) {
    if (a->isSeparator()) continue;
    names << a->objectName();
    hints << a->property("hint").toString();
  }
  EXPECT_EQ(names, (QStringList{"bOpen", "bSave", "bCopy", "bPaste", "bTools", "bColor", "bGo", "bUndo", "bPrint",
                                "bPstGrad", "bCpyBufr", "bPstBufr", "bPreview"}));
  EXPECT_EQ(hints[6], "Apply Current Effect");
  EXPECT_EQ(hints[7], "UnDo ");
  EXPECT_EQ(hints[12], "Test Tiles");
  EXPECT_EQ(Action("bGo")->text(), "Apply");
  EXPECT_FALSE(Action("bUndo")->isEnabled());
  EXPECT_FALSE(Action("bOpen")->icon().isNull());
}

TEST_F(MainWindow, ImageContextMenuAndCursors) {
  QStringList items;
  for (QAction* a : window->PopMenu()->actions())
    if (!a->isSeparator()) items << a->text();
  EXPECT_EQ(items, (QStringList{"Color Wheel", "Multi Gradient...", "Rainbow", "Resize..."}));
  for (int id = 10; id <= 16; ++id) {
    const QCursor* c = window->ToolCursor(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->shape(), Qt::BitmapCursor) << id;
  }
  EXPECT_EQ(window->ToolCursor(17), nullptr);
  EXPECT_EQ(window->imSine()->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MainWindow, DisplayImageFollowsTheBufferSize) {
  TPixelBuffer other;
  other.Allocate(40, 30, 0, 24);
  other.Row24(29)[39] = TRGB24{0, 0, 255};
  window->DisplayImage(other);
  EXPECT_EQ(window->StatusText(0), "Width: 40");
  EXPECT_EQ(window->StatusText(1), "Height: 30");
  EXPECT_EQ(window->imSine()->size(), QSize(40, 30));
  EXPECT_EQ(window->imSine()->Picture().pixel(39, 29), qRgb(255, 0, 0));
  window->DisplayImage(window->Editor().dibWork);
  EXPECT_EQ(window->imSine()->size(), QSize(256, 256));

  QImage bitmap;
  TfVellTile::ImageToBitmap(bitmap, other);
  EXPECT_EQ(bitmap.size(), QSize(40, 30));
  EXPECT_EQ(bitmap.pixel(39, 29), qRgb(255, 0, 0));
  EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(MainWindow, EffectBracketSnapshotsShowsBusyAndRedisplays) {
  ShowAndStart();
  window->BeginEffect();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(window->Undo().UndoCount(), 1);
  window->Editor().dibWork.Allocate(64, 32, 0, 24);  // an effect that changes the size
  window->EndEffect();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(window->StatusText(0), "Width: 64");
  EXPECT_EQ(window->StatusText(1), "Height: 32");
  EXPECT_EQ(window->imSine()->Picture().constBits(), window->Editor().dibWork.Bits());
  Action("UnDo1")->trigger();
  EXPECT_EQ(window->StatusText(0), "Width: 256");
}

// --- New, Reset and UnDo ------------------------------------------------------

TEST_F(MainWindow, NewResetAndUndoWalkTheHistory) {
  ShowAndStart();
  TEditor& e = window->Editor();
  QAction* bUndo = Action("bUndo");
  EXPECT_FALSE(bUndo->isEnabled());
  EXPECT_TRUE(Action("UnDo1")->isEnabled());  // with nothing to undo it only redisplays
  Action("UnDo1")->trigger();
  EXPECT_EQ(window->StatusText(0), "Width: 256");

  window->SetStartupFile({});
  ASSERT_TRUE(window->LoadStartupFile(QString::fromLatin1(VELL_TEST_DATA) + "/bmp/bpp24.bmp"));
  const uint8_t opened = e.dibWork.Row24(3)[4].g;
  e.dibWork.Row24(3)[4].g = static_cast<uint8_t>(opened ^ 0xFF);  // a later state

  Action("Reset1")->trigger();  // back to the opened file, not the later state
  EXPECT_EQ(e.dibWork.Row24(3)[4].g, opened);
  EXPECT_TRUE(bUndo->isEnabled());
  EXPECT_EQ(window->Undo().UndoCount(), 1);

  Action("New1")->trigger();  // the brush colour: black until the panel exists
  EXPECT_EQ(e.dibWork.Width(), 13);
  EXPECT_EQ(e.dibWork.Row24(3)[4].g, 0);
  EXPECT_EQ(window->Undo().UndoCount(), 2);

  Action("UnDo1")->trigger();
  EXPECT_EQ(e.dibWork.Row24(3)[4].g, opened);
  Action("UnDo1")->trigger();
  EXPECT_EQ(e.dibWork.Row24(3)[4].g, static_cast<uint8_t>(opened ^ 0xFF));
  EXPECT_FALSE(bUndo->isEnabled());
  EXPECT_EQ(window->StatusText(0), "Width: 13");
  EXPECT_TRUE(ui.Asked().empty());
}

TEST_F(MainWindow, ChangeUndoQuantityAsksAndEmptiesTheRing) {
  Action("New1")->trigger();
  ASSERT_EQ(window->Undo().UndoCount(), 1);
  ui.AnswerInput(std::string("15"));      // the same count: history kept, nothing more asked
  Action("ChangeUndoQuantity1")->trigger();
  EXPECT_EQ(window->Undo().UndoCount(), 1);
  ui.AnswerInput(std::string("4")).AnswerMessage(TMsgResult::No);
  Action("ChangeUndoQuantity1")->trigger();
  EXPECT_EQ(window->Undo().MaxUndo(), 15);
  ui.AnswerInput(std::string("4")).AnswerMessage(TMsgResult::Yes);
  Action("ChangeUndoQuantity1")->trigger();
  EXPECT_EQ(window->Undo().MaxUndo(), 4);
  EXPECT_EQ(window->Editor().MaxUndo, 4);
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_FALSE(Action("bUndo")->isEnabled());
  ui.AnswerInput(std::string("four"));
  Action("ChangeUndoQuantity1")->trigger();
  EXPECT_EQ(ui.Asked().back().text, "'four' is not a valid integer value");
  EXPECT_EQ(window->Undo().MaxUndo(), 4);
  EXPECT_EQ(ui.Unanswered(), 0);
}

TEST_F(MainWindow, UndoQuantityThatCannotFitALargeImageIsRefused) {
  window->Editor().dibWork.Allocate(4096, 4096, 0, 24);
  Action("New1")->trigger();
  ASSERT_EQ(window->Undo().UndoCount(), 1);
  ui.AnswerInput(std::string("999999999"));  // nothing else is asked: no confirmation
  Action("ChangeUndoQuantity1")->trigger();
  ASSERT_FALSE(ui.Asked().empty());
  const std::string told = ui.Asked().back().text;
  EXPECT_EQ(told.rfind("999999999 Undo levels of a 4096 x 4096 image would need ", 0), 0u) << told;
  EXPECT_NE(told.find("Enter at most "), std::string::npos) << told;
  EXPECT_EQ(window->Undo().MaxUndo(), 15);
  EXPECT_EQ(window->Undo().UndoCount(), 1);  // the history is kept
  EXPECT_EQ(ui.Unanswered(), 0);
}

// --- closing -----------------------------------------------------------------

TEST_F(MainWindow, CancelInTheClosingQuestionKeepsTheWindow) {
  ShowAndStart();
  ui.AnswerMessage(TMsgResult::Cancel);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text,
            "Save the Current Image?\r\r(To avoid this prompt, uncheck the menu item under the Options menu)");
  EXPECT_EQ(ui.ButtonSets()[0], TMsgButtons::YesNoCancel);
  EXPECT_EQ(window->StatusText(0), "Width: 256");
}

TEST_F(MainWindow, NoClosesWithoutSaving) {
  ShowAndStart();
  ui.AnswerMessage(TMsgResult::No);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ui.Asked().size(), 1u);
}

TEST_F(MainWindow, YesRunsSaveAsAndACancelledSaveKeepsTheWindow) {
  ShowAndStart();
  ui.AnswerMessage(TMsgResult::Yes).AnswerSave(std::nullopt);
  Action("Exit1")->trigger();
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(ui.Asked().size(), 2u);
  EXPECT_EQ(ui.Asked()[1].kind, "save");
  EXPECT_EQ(ui.Asked()[1].text, "Save File As...");
  EXPECT_EQ(ui.Unanswered(), 0);
}

TEST_F(MainWindow, UncheckedPromptClosesAtOnce) {
  ShowAndStart();
  Action("PromptforSave1")->trigger();
  EXPECT_FALSE(Action("PromptforSave1")->isChecked());
  EXPECT_FALSE(window->Editor().PromptForSave);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(ui.Asked().empty());
}

// --- the command-line file ---------------------------------------------------

TEST_F(MainWindow, StartupFileBecomesTheWorkingAndResetImage) {
  window->SetStartupFile(QString::fromLatin1(VELL_TEST_DATA) + "/bmp/bpp24.bmp");
  ShowAndStart();
  EXPECT_TRUE(ui.Asked().empty());
  EXPECT_EQ(window->StatusText(0), "Width: 13");
  EXPECT_EQ(window->StatusText(1), "Height: 7");
  const TEditor& e = window->Editor();
  ASSERT_EQ(e.dibOriginal.Width(), 13);
  EXPECT_EQ(e.dibScratch.Width(), 13);
  EXPECT_EQ(e.dibScratch.Height(), 7);
  EXPECT_EQ(std::memcmp(e.dibWork.Bits(), e.dibOriginal.Bits(), static_cast<size_t>(e.dibWork.BytesPerLine()) * 7), 0);
  EXPECT_EQ(window->imSine()->size(), QSize(13, 7));
}

TEST_F(MainWindow, UnreadableStartupFileShowsTheErrorAndKeepsBlack) {
  window->SetStartupFile(QString::fromLatin1(VELL_TEST_DATA) + "/bmp/regenerate.sh");
  ShowAndStart();
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_NE(ui.Asked()[0].text.find("regenerate.sh: Unknown picture file format"), std::string::npos);
  EXPECT_EQ(window->StatusText(0), "Width: 256");
  EXPECT_EQ(window->Editor().dibWork.Row24(5)[5].r, 0);
}

}  // namespace
}  // namespace vell
